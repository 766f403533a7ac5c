#pragma once

#include <cstdint>
#include <deque>
#include <string>

// The errors the instrument reports in its error queue, numbered as SCPI numbers them.
enum class ESimError : int {
    None = 0,
    ParameterNotAllowed = -108,
    MissingParameter = -109,
    UndefinedHeader = -113,
    DataOutOfRange = -222,
    IllegalParameterValue = -224,
    QueueOverflow = -350,
};

// The answer to ":SYSTem:ERRor?" for one error: number and text ("-113,\"Undefined header\"").
[[nodiscard]] std::string ErrorText(ESimError error);

// The IEEE 488.2 status model: the standard event status register with its enable mask, the
// service request enable mask and the error queue, which the status byte summarises.
class CStatusModel {
public:
    static constexpr size_t kQueueSize = 10;
    // Event register bits.
    static constexpr int kOperationComplete = 0x01;
    static constexpr int kQueryError = 0x04;
    static constexpr int kDeviceError = 0x08;
    static constexpr int kExecutionError = 0x10;
    static constexpr int kCommandError = 0x20;
    static constexpr int kPowerOn = 0x80;
    // Status byte bits.
    static constexpr int kErrorQueueSummary = 0x04;
    static constexpr int kEventSummary = 0x20;
    static constexpr int kMasterSummary = 0x40;

    // Queues the error and sets its class's event bit; a full queue ends with -350 instead.
    void Push(ESimError error);
    // The oldest error as ":SYSTem:ERRor?" answers it ("0,\"No error\"" when none), removed.
    [[nodiscard]] std::string PopError();
    [[nodiscard]] size_t ErrorCount() const { return m_queue.size(); }

    // "*ESR?": the event register, cleared by reading it.
    [[nodiscard]] int TakeEvents();
    void SetEvent(int bits) { m_events |= bits; }
    [[nodiscard]] int EventEnable() const { return m_eventEnable; }
    void SetEventEnable(int mask) { m_eventEnable = mask & 0xFF; }
    [[nodiscard]] int ServiceEnable() const { return m_serviceEnable; }
    void SetServiceEnable(int mask) { m_serviceEnable = mask & 0xBF; } // bit 6 cannot be enabled
    [[nodiscard]] int StatusByte() const;
    // "*CLS": the event register and the error queue; the enable masks stay.
    void Clear();

private:
    int m_events = kPowerOn;
    int m_eventEnable = 0;
    int m_serviceEnable = 0;
    std::deque<ESimError> m_queue;
};
