#pragma once

#include <ctime>
#include <string>
#include <sys/stat.h>

// Small file helpers shared by the settings files and the result recorders. The platform's parts
// (how a file is opened, flushed and renamed over another) live in file_io_posix.cpp or
// file_io_win32.cpp; descriptors are the C runtime's on both.

// Opens a file (UTF-8 path) as the flags say; binary, and not inherited by child processes.
[[nodiscard]] int OpenFd(const std::string& path, int flags, int mode = 0666);
// Flushes an open file's content to the disk.
[[nodiscard]] bool SyncFd(int fd);
// Puts `from` in place of `to` in one step, replacing it when it exists.
[[nodiscard]] bool RenameOver(const std::string& from, const std::string& to);
// Gives a new file the replaced file's mode and, where the system permits it, its owner.
void KeepOwnerAndMode(int fd, const struct stat& replaced);
// Whether the process may write the existing file.
[[nodiscard]] bool MayWrite(const std::string& path);
[[nodiscard]] bool FileExists(const std::string& path);
[[nodiscard]] long ProcessId();
// Local time of a moment, thread-safe.
[[nodiscard]] std::tm LocalTimeOf(std::time_t moment);
// The running executable's full path; empty when the system does not tell.
[[nodiscard]] std::string ExecutablePath();
// The data folder of an installed copy run from `executableFolder`, created as needed; empty when
// the executable does not run from an installed location (the data then live beside it).
[[nodiscard]] std::string InstalledDataFolder(const std::string& executableFolder);

// Writes every byte, resuming after interrupted and short writes; false when the system refuses.
[[nodiscard]] bool WriteAllFd(int fd, const std::string& bytes);

// Appends one record to a file opened for appending: the record lands whole or not at all. When the
// system refuses part of it (a full disk, a file size limit), the file is cut back to where it
// ended before, so that a reader never meets half a row. False when the record was not written.
[[nodiscard]] bool AppendWhole(int fd, const std::string& record);

// Flushes a file's content to the disk; false when it cannot be opened or flushed.
[[nodiscard]] bool SyncFile(const std::string& path);

// Flushes the folder holding `path`, which makes a rename or a new name in it durable. Best effort:
// the content is already on disk, so a failure changes nothing.
void SyncFolderOf(const std::string& path);

// The operator's words for a file error number (errno): "no such file or folder", "is a folder",
// "permission denied", "the disk is full", or the system's own text.
[[nodiscard]] std::string FileErrorText(int error);

// How taking a file lock ended.
enum class LockOutcome {
    Locked,
    Busy, // another capture (of this or another process) holds it
    Failed, // the file could not be opened (errno tells why)
};

// An exclusive lock of the operating system on a file, held while the object lives. It dies with
// its process, so a capture that was killed never blocks the next one, and it is tied to the file
// itself, not to its name: a file renamed while locked stays locked under its new name.
class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Release(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Opens the file at `path` (created when `create`; a missing file is then Locked with nothing
    // to hold when not) and locks it without waiting.
    [[nodiscard]] LockOutcome Acquire(const std::string& path, bool create);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Locks an open descriptor exclusively without waiting; Busy when another descriptor holds it. The
// lock goes when the descriptor is closed.
[[nodiscard]] LockOutcome LockFd(int fd);
// Whether the open descriptor is the file that `path` names now.
[[nodiscard]] bool IsFileAt(int fd, const std::string& path);
// The message of a result file that another capture is writing.
[[nodiscard]] std::string InUseText(const std::string& path);
