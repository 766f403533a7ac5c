#include "settings/file_io.h"

#include <cerrno>
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
