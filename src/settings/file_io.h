#pragma once

#include <string>

// Small POSIX file helpers shared by the settings files and the result recorders.

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
