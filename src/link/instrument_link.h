#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/comm_channel.h"

// Configured interface; any value other than Lan opens the serial port.
enum class InterfaceKind : int32_t { Com = 0, Lan = 1 };

// Why the last attempt to reach the instrument failed, as far as the link can tell.
enum class ConnectFault { None, NoPort, PortInUse, NoConnection, NoReply, NoLineEnd, Echo, NotInstrument };

// One row per serial port found by the last port listing; the lists always have one length.
struct PortTableData {
    std::vector<std::string> FriendlyNames;
    std::vector<std::string> PortNames;
    std::vector<std::string> SerialNumbers;
    std::vector<std::string> Labels;
    std::vector<uint32_t> BaudRates;
    std::vector<ConnectFault> Faults; // why the last search found no instrument on the port

    void Clear();
    size_t Size() const { return FriendlyNames.size(); }
};

// Set by the connect sequence from the connected model; read by the MUX commands.
extern std::atomic<bool> MuxSupported;

// The one connection to the instrument: opening the configured interface, the line protocol
// (a command is one line ended by CR LF, a reply is read up to its first CR), the reply time-out,
// the non-blocking line collector of the measurement threads and the lock that keeps the
// user-interface thread and a measurement thread from interleaving their traffic.
class CInstrumentLink {
public:
    // A reply that grows past this many received bytes without a CR is abandoned as timed out: a
    // peer that never ends its line must not hold the caller (and the lock) forever.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    CInstrumentLink() = default;
    ~CInstrumentLink() { Close(); }
    CInstrumentLink(const CInstrumentLink&) = delete;
    CInstrumentLink& operator=(const CInstrumentLink&) = delete;

    [[nodiscard]] bool Open();
    [[nodiscard]] bool OpenPort(const std::string& port, uint32_t baud);
    void Close();

    [[nodiscard]] bool SendCommand(const std::string& text);
    [[nodiscard]] std::string ReceiveReply(bool& timedOut, int timeoutMs);
    [[nodiscard]] bool PollLine();
    [[nodiscard]] bool QueryContains(
        const std::string& header, bool& found, const char* expected, bool addQuestionMark);

    // A bare CR LF under the lock, without drain or reset of the line state (sent before "*idn?").
    [[nodiscard]] bool SendBareLine();

    // Waits up to timeoutMs for input without taking the lock: for the one measurement thread,
    // which owns the link while it runs, instead of sleep-and-poll steps.
    [[nodiscard]] WaitResult WaitForInput(int timeoutMs) { return m_channel.WaitForInput(timeoutMs); }

    // Resets the line collector before a new measurement.
    void ResetLine();

    // Sets the configured address from its four octets (first octet most significant).
    void SetIpOctets(const std::array<int32_t, 4>& octets);

    CCommChannel& Channel() { return m_channel; }
    const CCommChannel& Channel() const { return m_channel; }

    // Waits the instrument needs after some commands (it applies them in the background), scaled
    // by PausePercent: a simulated instrument needs none, so its tests set 0.
    void Pause(int ms) const;
    int PausePercent = 100;

    // Set by Open, ReceiveReply and Identify: why the instrument could not be reached, and how
    // many bytes the last reply wait received (bytes without a CR are a line-end mismatch).
    ConnectFault LastFault = ConnectFault::None;
    size_t LastReplyBytes = 0;

    // Set when a reply wait ran out (or a caller gave a reply up): the missing reply may still be on
    // its way, so the next reply cannot be trusted to answer the next request until the line has
    // been resynchronised (link/resync.h). Cleared by Open, Close and a resynchronisation.
    bool OutOfStep = false;

    // The device path opened for a serial port name: names that are not paths live under /dev.
    static std::string DevicePathOf(const std::string& port);

    // Called on the sending thread after each line SendCommand handed to the channel; the settings
    // transfers count their lines with it. Empty while nobody watches.
    std::function<void()> LineSent;

    int32_t IsOpen = 0;
    int32_t CrSeen = 0;
    int32_t LfSeen = 0;
    std::string LineText;
    PortTableData PortTable;
    int32_t SearchDone = 0;

    // Configuration, copied from the application configuration at start-up.
    std::string ComPort;
    uint32_t BaudRate = 9600;
    std::string SerialNumber = "--------";
    InterfaceKind Interface = InterfaceKind::Com;
    std::array<int32_t, 4> IpOctets { 192, 168, 0, 1 };
    uint32_t IpAddress = 0xC0A80001;
    int32_t TcpPort = 23;

private:
    [[nodiscard]] bool OpenChannel(const std::string& port, uint32_t baud, bool usePortTable);
    [[nodiscard]] bool CollectChunk(std::string& reply, bool& complete, size_t& received);

    CCommChannel m_channel;
    std::mutex m_lock;
};

// The process-wide link, constructed on first use and kept to the end of the process.
CInstrumentLink& InstrumentLink();
