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
