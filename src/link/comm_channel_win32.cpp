// Serial ports with the Win32 communications API and TCP with Winsock 2.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <thread>

#include "link/os_channel.h"
#include "settings/wide_text_win32.h"
#include "settings/winsock_win32.h"

namespace os_channel {
namespace {

constexpr int kBitsPerCharacter = 10; // start bit, 8 data bits, stop bit
constexpr int kPollSliceMs = 5; // how finely a serial wait looks for input

HANDLE Port(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
SOCKET Sock(Handle handle) { return static_cast<SOCKET>(handle); }

// "COM3" opens as "\\.\COM3", which also reaches ports numbered above 9.
std::wstring DevicePath(const std::string& path)
{
    const std::wstring wide = WideOf(path);
    return wide.rfind(L"\\\\.\\", 0) == 0 ? wide : L"\\\\.\\" + wide;
}

bool Configure(HANDLE port, uint32_t baud)
{
    DCB dcb {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb))
        return false;
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    if (!SetCommState(port, &dcb))
        return false;
    // Reads return at once with what has arrived; waits are done by SerialWait with a deadline.
    COMMTIMEOUTS timeouts {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return SetCommTimeouts(port, &timeouts) != 0;
}

bool QueueCounts(HANDLE port, DWORD& in, DWORD& out)
{
    DWORD errors = 0;
    COMSTAT status {};
    if (!ClearCommError(port, &errors, &status))
        return false;
    in = status.cbInQue;
    out = status.cbOutQue;
    return true;
}

int MsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<int64_t>(left.count(), 0));
}

WaitResult Select(SOCKET socket, bool write, int timeoutMs)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval limit { timeoutMs / 1000, (timeoutMs % 1000) * 1000 };
    const int ready = ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &limit);
    if (ready == 0)
        return WaitResult::Timeout;
    return ready < 0 ? WaitResult::Broken : WaitResult::Ready;
}

} // namespace

OpenError SerialOpen(const std::string& path, uint32_t baud, Handle& handle)
{
    handle = kNoHandle;
    const HANDLE port = CreateFileW(DevicePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? OpenError::InUse : OpenError::NoPort;
    }
    if (GetFileType(port) != FILE_TYPE_CHAR) {
        CloseHandle(port);
        return OpenError::NoPort;
    }
    if (!Configure(port, baud)) {
        CloseHandle(port);
        return OpenError::Settings;
    }
    (void)PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    handle = reinterpret_cast<Handle>(port);
    return OpenError::None;
}

void SerialClose(Handle handle)
{
    if (handle != kNoHandle)
        CloseHandle(Port(handle));
}

void SerialDiscardInput(Handle handle) { (void)PurgeComm(Port(handle), PURGE_RXCLEAR | PURGE_RXABORT); }

bool SerialWrite(
    Handle handle, const uint8_t* bytes, size_t length, uint32_t baud, std::chrono::steady_clock::time_point deadline)
{
    COMMTIMEOUTS timeouts {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(std::max(MsUntil(deadline), 1));
    if (!SetCommTimeouts(Port(handle), &timeouts))
        return false;
    DWORD written = 0;
    if (!WriteFile(Port(handle), bytes, static_cast<DWORD>(length), &written, nullptr) || written != length)
        return false;
    // Until the driver's queue has gone out at the line speed, bounded by the deadline.
    for (;;) {
        DWORD in = 0;
        DWORD out = 0;
        if (!QueueCounts(Port(handle), in, out) || out == 0)
            return true;
        const int left = MsUntil(deadline);
        if (left == 0)
            return false;
        const int64_t transmitMs = int64_t { out } * kBitsPerCharacter * 1000 / std::max<uint32_t>(baud, 1) + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(transmitMs, left)));
    }
}

bool SerialPending(Handle handle, size_t& count)
{
    DWORD in = 0;
    DWORD out = 0;
    if (!QueueCounts(Port(handle), in, out))
        return false;
    count = in;
    return true;
}

long SerialRead(Handle handle, void* destination, size_t wanted)
{
    DWORD read = 0;
    if (!ReadFile(Port(handle), destination, static_cast<DWORD>(wanted), &read, nullptr))
        return -1;
    return static_cast<long>(read);
}

WaitResult SerialWait(Handle handle, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        size_t pending = 0;
        if (!SerialPending(handle, pending))
            return WaitResult::Broken; // the adapter was pulled
        if (pending > 0)
            return WaitResult::Ready;
        const int left = MsUntil(deadline);
        if (left == 0)
            return WaitResult::Timeout;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kPollSliceMs)));
    }
}

Handle SocketConnect(uint32_t address, int port, int timeoutMs, int& error)
{
    if (!StartWinsock()) {
        error = WSAGetLastError();
        return kNoHandle;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) {
        error = WSAGetLastError();
        return kNoHandle;
    }
    u_long nonBlocking = 1;
    (void)ioctlsocket(socket, FIONBIO, &nonBlocking);
    sockaddr_in peer {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(port));
    peer.sin_addr.s_addr = htonl(address);
    bool connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && WSAGetLastError() != WSAEWOULDBLOCK) {
        error = WSAGetLastError();
    } else if (!connected) {
        const WaitResult ready = Select(socket, true, timeoutMs);
        int status = 0;
        int size = sizeof status;
        if (ready != WaitResult::Ready
            || getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&status), &size) != 0 || status != 0)
            error = ready == WaitResult::Timeout ? kSocketTimedOut : (status != 0 ? status : WSAGetLastError());
        else
            connected = true;
    }
    if (!connected) {
        closesocket(socket);
        return kNoHandle;
    }
    const BOOL on = TRUE;
    (void)setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<Handle>(socket);
}

void SocketClose(Handle socket, bool abortive)
{
    if (abortive) {
        (void)shutdown(Sock(socket), SD_SEND);
        const linger abort { 1, 0 };
        (void)setsockopt(Sock(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    }
    closesocket(Sock(socket));
}

long SocketSend(Handle socket, const uint8_t* bytes, size_t length, int& error)
{
    const int n = ::send(Sock(socket), reinterpret_cast<const char*>(bytes), static_cast<int>(length), 0);
    if (n != SOCKET_ERROR)
        return n;
    error = WSAGetLastError();
    return -1;
}

long SocketReceive(Handle socket, uint8_t* destination, size_t room, int& error)
{
    const int n = ::recv(Sock(socket), reinterpret_cast<char*>(destination), static_cast<int>(room), 0);
    if (n != SOCKET_ERROR)
        return n;
    error = WSAGetLastError();
    return -1;
}

void SocketWaitWritable(Handle socket, int timeoutMs) { (void)Select(Sock(socket), true, timeoutMs); }

WaitResult SocketWait(Handle socket, int timeoutMs) { return Select(Sock(socket), false, std::max(timeoutMs, 0)); }

bool ParseIpv4(const std::string& text, uint32_t& address)
{
    in_addr parsed {};
    if (InetPtonA(AF_INET, text.c_str(), &parsed) != 1)
        return false;
    address = ntohl(parsed.s_addr);
    return true;
}

} // namespace os_channel
