#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// Which transport the channel carries.
enum class ChannelMode { None = 0, Lan = 1, Com = 2 };

// Result of waiting for input on the channel.
enum class WaitResult { Ready, Timeout, Broken };

// Why the last OpenCom failed.
enum class OpenError { None, NoPort, InUse, Settings };

// Socket error numbers as the instrument link reports them (the Winsock meanings).
constexpr int kSocketWouldBlock = 10035;
constexpr int kSocketConnAborted = 10053;
constexpr int kSocketConnReset = 10054;
constexpr int kSocketNotConnected = 10057;
constexpr int kSocketShutdown = 10058;
constexpr int kSocketTimedOut = 10060;
constexpr int kSocketConnRefused = 10061;
constexpr int kSocketDisconnected = 10101; // orderly close by the peer

// The byte pipe to the instrument: a serial device or a TCP connection, never both.
// It moves raw bytes only; framing, time-outs and locking belong to CInstrumentLink. Every failure
// is a false result; nothing here shows messages or throws.
class CCommChannel {
public:
    static constexpr size_t kRxBufferSize = 4096;

    CCommChannel();
    ~CCommChannel();
    CCommChannel(const CCommChannel&) = delete;
    CCommChannel& operator=(const CCommChannel&) = delete;

    [[nodiscard]] bool OpenCom(const std::string& path, uint32_t baud);
    [[nodiscard]] bool OpenLan(uint32_t address, int port);
    void Close();

    [[nodiscard]] bool Send(const void* bytes, size_t length, size_t& written);
    [[nodiscard]] bool GetReceivedCount(size_t& count);
    [[nodiscard]] bool Read(void* destination, size_t wanted, size_t& delivered);
    void DrainInput();

    // Blocks until input is pending, the time runs out, or the channel can no longer deliver.
    // Replaces sleep-and-check loops: callers wake as soon as bytes arrive.
    [[nodiscard]] WaitResult WaitForInput(int timeoutMs);

    ChannelMode Mode() const { return m_mode; }
    const std::string& PortPath() const { return m_portPath; }
    int LastSocketError() const { return m_lastSocketError; }
    OpenError LastOpenError() const { return m_openError; }
    uint32_t Baud() const { return m_baud; }
    bool IsSerialOpen() const { return m_com != -1; }
    bool IsSocketOpen() const { return m_socket != -1; }

    // How long OpenLan waits for the peer to accept before it gives up.
    int ConnectTimeoutMs = 5000;
    // How long a LAN send may wait for room in the socket buffer before it fails.
    int SendTimeoutMs = 10000;
    // The input drain waits this long for stragglers after each chunk, and never longer than
    // DrainLimitMs in all, whatever the peer keeps sending.
    int DrainSettleMs = 10;
    int DrainLimitMs = 200;

private:
    [[nodiscard]] bool SendLan(const uint8_t* bytes, size_t length, size_t& written);
    [[nodiscard]] bool ReceiveLan();
    void CloseSocket();
    void CloseSerial();

    std::string m_portPath;
    intptr_t m_com = -1; // the platform's descriptor or handle of the serial port
    ChannelMode m_mode = ChannelMode::None;
    uint8_t m_rxBuffer[kRxBufferSize] {};
    size_t m_rxCount = 0;
    intptr_t m_socket = -1;
    int m_lastSocketError = 0;
    OpenError m_openError = OpenError::None;
    uint32_t m_baud = 9600;
};
