// File helpers on POSIX systems.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/file_io.h"

int OpenFd(const std::string& path, int flags, int mode)
{
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

bool SyncFd(int fd)
{
    return ::fsync(fd) == 0;
}

bool RenameOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void KeepOwnerAndMode(int fd, const struct stat& replaced)
{
    // Best effort: only a privileged saver may hand a file to another owner.
    (void)::fchown(fd, replaced.st_uid, replaced.st_gid);
    (void)::fchmod(fd, replaced.st_mode & 07777);
}

bool MayWrite(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

bool FileExists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

long ProcessId()
{
    return static_cast<long>(::getpid());
}

std::tm LocalTimeOf(std::time_t moment)
{
    std::tm local {};
    (void)localtime_r(&moment, &local);
    return local;
}

std::string ExecutablePath()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

void SyncFolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

std::string InstalledDataFolder(const std::string& folder)
{
    // Installed under /usr or /opt, the executable's folder is not writable: the data go to the
    // user's configuration folder.
    if (folder.rfind("/usr/", 0) != 0 && folder.rfind("/opt/", 0) != 0 && folder != "/usr" && folder != "/opt")
        return {};
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr)
        base = std::string(home) + "/.config";
    else
        base = "/tmp";
    std::error_code error;
    const std::string maker = base + "/ZORVI";
    std::filesystem::create_directories(maker, error); // a folder that cannot be made shows up at the save
    const std::string data = maker + "/VX6207App";
    std::filesystem::create_directory(data, error);
    return data;
}

LockOutcome LockFd(int fd)
{
    // Only files are kept to one capture: a device or a pipe (/dev/full, a FIFO a reader drains) is
    // shared by nature.
    struct stat info { };
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode))
        return LockOutcome::Locked;
    // flock, not fcntl: a flock lock belongs to the open file, so another descriptor of the same
    // process (a second capture in one program) is refused too, and closing some other descriptor
    // of the file does not drop it.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        // A file system without locks (some network shares) cannot be guarded; the capture goes on.
        return errno == EWOULDBLOCK ? LockOutcome::Busy : LockOutcome::Locked;
    }
    return LockOutcome::Locked;
}

bool IsFileAt(int fd, const std::string& path)
{
    struct stat open { };
    struct stat named { };
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}
