// File helpers on Windows: wide-character paths, binary descriptors, MoveFileEx for replacing.
#include <windows.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <process.h>
#include <share.h>

#include "settings/file_io.h"
#include "settings/wide_text_win32.h"

int OpenFd(const std::string& path, int flags, int mode)
{
    // Binary: the text files already hold their CR LF; the C runtime must not add another CR.
    int fd = -1;
    const int permission = (mode & 0200) != 0 ? _S_IREAD | _S_IWRITE : _S_IREAD;
    if (_wsopen_s(&fd, WideOf(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, permission) != 0)
        return -1;
    return fd;
}

bool SyncFd(int fd) { return _commit(fd) == 0; }

bool RenameOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(WideOf(from).c_str(), WideOf(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
        != 0;
}

void KeepOwnerAndMode(int, const struct stat&)
{
    // A new file in the folder takes the folder's permissions; there is no mode to carry over.
}

bool MayWrite(const std::string& path) { return _waccess(WideOf(path).c_str(), 2) == 0; }

bool FileExists(const std::string& path) { return _waccess(WideOf(path).c_str(), 0) == 0; }

long ProcessId() { return static_cast<long>(_getpid()); }

std::tm LocalTimeOf(std::time_t moment)
{
    std::tm local {};
    (void)localtime_s(&local, &moment);
    return local;
}

std::string ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            std::string text = Utf8Of(path);
            std::replace(text.begin(), text.end(), '\\', '/');
            return text;
        }
        path.resize(path.size() * 2);
    }
}

void SyncFolderOf(const std::string&)
{
    // MOVEFILE_WRITE_THROUGH has already made the new name durable.
}

std::string InstalledDataFolder(const std::string& folder)
{
    // Installed under Program Files, the executable's folder is not writable: the data go to the
    // user's roaming application data.
    wchar_t expanded[MAX_PATH] {};
    if (ExpandEnvironmentStringsW(L"%ProgramFiles%", expanded, MAX_PATH) == 0)
        return {};
    std::string programs = Utf8Of(expanded);
    std::replace(programs.begin(), programs.end(), '\\', '/');
    if (programs.empty() || programs.front() == '%' || folder.find(programs) == std::string::npos)
        return {};
    if (ExpandEnvironmentStringsW(L"%APPDATA%", expanded, MAX_PATH) == 0 || expanded[0] == L'%')
        return {};
    std::string base = Utf8Of(expanded);
    std::replace(base.begin(), base.end(), '\\', '/');
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(base + "/ZORVI/VX6207App"), error);
    return base + "/ZORVI/VX6207App";
}
