#include "settings/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h> // read, write, lseek, ftruncate, close: the C runtime has them everywhere

bool WriteAllFd(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool AppendWhole(int fd, const std::string& record)
{
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0)
        return false;
    if (WriteAllFd(fd, record))
        return true;
    const int writeError = errno;
    // Nothing more can be done when the cut fails too; the caller reports the failed write.
    while (::ftruncate(fd, end) != 0 && errno == EINTR) { }
    errno = writeError;
    return false;
}

bool SyncFile(const std::string& path)
{
    const int fd = OpenFd(path, O_RDWR);
    if (fd < 0)
        return false;
    const bool synced = SyncFd(fd);
    return ::close(fd) == 0 && synced;
}

std::string FileErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return "no such file or folder";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case EISDIR:
        return "is a folder";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    case ENOSPC:
        return "the disk is full";
    case EFBIG:
        return "the file has reached the largest size allowed";
    case EBUSY:
        return "the file is in use";
    case ENAMETOOLONG:
        return "the name is too long";
    default:
        return std::strerror(error);
    }
}

std::string InUseText(const std::string& path)
{
    return path + ": another capture is writing this file";
}

LockOutcome CFileLock::Acquire(const std::string& path, bool create)
{
    Release();
    // A file renamed away between the open and the lock (a capture completing its workbook) is
    // not the file at `path` any more: open the name again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = OpenFd(path, create ? O_RDWR | O_CREAT : O_RDWR);
        if (fd < 0)
            return !create && errno == ENOENT ? LockOutcome::Locked : LockOutcome::Failed;
        const LockOutcome outcome = LockFd(fd);
        if (outcome == LockOutcome::Locked && !IsFileAt(fd, path)) {
            ::close(fd);
            continue;
        }
        if (outcome != LockOutcome::Locked) {
            ::close(fd);
            return outcome;
        }
        m_fd = fd;
        return outcome;
    }
    return LockOutcome::Busy;
}

void CFileLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor is what lets the lock go
    m_fd = -1;
}
