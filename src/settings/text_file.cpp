#include "settings/text_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "settings/numeric_locale.h"

namespace {

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

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

// A new file beside the target, created with the usual permissions of a new file (the umask
// applies); it takes over those of the file it replaces.
bool CreateTemporary(const std::string& target, int& fd, std::string& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + FormatC(".%ld.%u.tmp", static_cast<long>(::getpid()), counter++);
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat info { };
            if (::stat(target.c_str(), &info) == 0)
                (void)::fchmod(fd, info.st_mode & 07777); // best effort: the content matters more
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Makes the rename itself durable; the content is already on disk, so a failure changes nothing.
void SyncFolderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ReplaceTextFile(const std::string& path, const std::string& text)
{
    const std::string bytes = WithCrLf(text);
    const std::string target = ResolveTarget(path);
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // Renaming over a device or pipe would replace it with a plain file.
        std::FILE* file = std::fopen(target.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && ok;
    }
    if (std::filesystem::exists(status) && ::access(target.c_str(), W_OK) != 0)
        return false;
    int fd = -1;
    std::string temporary;
    if (!CreateTemporary(target, fd, temporary))
        return false;
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    return true;
}
