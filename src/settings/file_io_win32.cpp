// File helpers on Windows: wide-character paths, binary descriptors, MoveFileEx for replacing.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <process.h>

#include "settings/file_io.h"
#include "settings/wide_text_win32.h"

namespace {

// The C runtime's error number for what CreateFileW reported, so that callers word it alike.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

// The lock covers one byte far beyond any content, so that readers of the file (a viewer, a
// spreadsheet) are not kept from its data while a capture holds it.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

bool SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION first {};
    BY_HANDLE_FILE_INFORMATION second {};
    return GetFileInformationByHandle(a, &first) != 0 && GetFileInformationByHandle(b, &second) != 0
        && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh
        && first.nFileIndexLow == second.nFileIndexLow;
}

} // namespace

int OpenFd(const std::string& path, int flags, int)
{
    // Through CreateFileW rather than the C runtime's open: the file may then be renamed or
    // removed while it is open, as the journal and the replaced files need (POSIX allows it).
    const int access = flags & (_O_RDONLY | _O_WRONLY | _O_RDWR);
    const DWORD rights = access == _O_RDONLY ? GENERIC_READ
        : access == _O_WRONLY                ? GENERIC_WRITE
                                             : GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    if ((flags & _O_CREAT) != 0)
        disposition = (flags & _O_EXCL) != 0 ? CREATE_NEW : (flags & _O_TRUNC) != 0 ? CREATE_ALWAYS : OPEN_ALWAYS;
    else if ((flags & _O_TRUNC) != 0)
        disposition = TRUNCATE_EXISTING;
    const HANDLE file = CreateFileW(WideOf(path).c_str(), rights,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return -1;
    }
    // Binary: the text files already hold their CR LF; the C runtime must not add another CR.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), (flags & (_O_APPEND | _O_RDONLY)) | _O_BINARY);
    if (fd < 0)
        CloseHandle(file);
    return fd;
}

bool SyncFd(int fd)
{
    return _commit(fd) == 0;
}

bool RenameOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(WideOf(from).c_str(), WideOf(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
        != 0;
}

void KeepOwnerAndMode(int, const struct stat&)
{
    // A new file in the folder takes the folder's permissions; there is no mode to carry over.
}

bool MayWrite(const std::string& path)
{
    return _waccess(WideOf(path).c_str(), 2) == 0;
}

bool FileExists(const std::string& path)
{
    return _waccess(WideOf(path).c_str(), 0) == 0;
}

long ProcessId()
{
    return static_cast<long>(_getpid());
}

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

LockOutcome LockFd(int fd)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE)
        return LockOutcome::Failed;
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return LockOutcome::Locked; // a device or a pipe is shared by nature
    OVERLAPPED where {};
    where.Offset = 0;
    where.OffsetHigh = kLockOffsetHigh;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0)
        return LockOutcome::Locked;
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockOutcome::Busy : LockOutcome::Locked;
}

bool IsFileAt(int fd, const std::string& path)
{
    const auto open = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    const HANDLE named = CreateFileW(WideOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    const bool same = open != INVALID_HANDLE_VALUE && SameFile(open, named);
    CloseHandle(named);
    return same;
}
