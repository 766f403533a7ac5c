#include "settings/text_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h> // close, ftruncate

#include "settings/file_io.h"
#include "settings/numeric_locale.h"

namespace {

// Settings files have CR LF line ends on every platform, so that they move between installs.
std::string WithCrLf(const std::string& text)
{
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            crlf.push_back('\r');
        crlf.push_back(c);
    }
    return crlf;
}

// A save through a symbolic link replaces the file it points to and keeps the link.
std::string ResolveTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

// A new file beside the target that takes over the replaced file's mode and, where the system
// permits it, its owner and group. False when the folder takes no new file (read-only).
bool CreateTemporary(const std::string& target, const struct stat* replaced, int& fd, std::string& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + FormatC(".%ld.%u.tmp", ProcessId(), counter++);
        fd = OpenFd(name, O_WRONLY | O_CREAT | O_EXCL);
        if (fd >= 0) {
            if (replaced != nullptr)
                KeepOwnerAndMode(fd, *replaced);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Rewrites the file itself: its inode, links, owner and mode stay as they are.
bool WriteInPlace(const std::string& target, const std::string& bytes, bool sync)
{
    const int fd = OpenFd(target, O_WRONLY | O_CREAT);
    if (fd < 0)
        return false;
    bool written = WriteAllFd(fd, bytes);
    // Cut after writing, not before: a failed write leaves the old tail rather than nothing.
    written = written && (!sync || ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0);
    written = written && (!sync || SyncFd(fd));
    return ::close(fd) == 0 && written;
}

} // namespace

bool ReplaceTextFile(const std::string& path, const std::string& text)
{
    const std::string bytes = WithCrLf(text);
    const std::string target = ResolveTarget(path);
    struct stat info { };
    const bool exists = ::stat(target.c_str(), &info) == 0;
    // Renaming over a device or pipe would replace it with a plain file.
    if (exists && !S_ISREG(info.st_mode))
        return WriteInPlace(target, bytes, false);
    if (exists && !MayWrite(target))
        return false;
    int fd = -1;
    std::string temporary;
    // A rename would split a file with several links; a folder that takes no new file (read-only)
    // can still have its writable files rewritten.
    if ((exists && info.st_nlink > 1) || !CreateTemporary(target, exists ? &info : nullptr, fd, temporary))
        return WriteInPlace(target, bytes, true);
    const bool written = WriteAllFd(fd, bytes) && SyncFd(fd);
    if (::close(fd) != 0 || !written || !RenameOver(temporary, target)) {
        std::remove(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}
