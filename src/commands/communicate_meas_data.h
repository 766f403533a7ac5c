#pragma once

#include <functional>
#include <memory>
#include <span>

#include "commands/communicate_vx.h"
#include "settings/file_manager.h" // kErrorsInSettings, the message of a record that fails validation

inline constexpr const char* kModelMismatch = "The model setting and the model of the connection destination are different.";
inline constexpr const char* kFailedToSendSettings = "Failed to send settings.";

// Moves a whole MeasSetData between the application and the instrument by running fixed lists of
// command numbers against its own working copy. Every sequence connects first and disconnects
// last, so the link is closed between sequences. Destroying the object runs EndTransfer.
class CCommunicateMeasData {
public:
    explicit CCommunicateMeasData(IUserPrompt& prompt, CInstrumentLink& link = InstrumentLink());
    ~CCommunicateMeasData();
    CCommunicateMeasData(const CCommunicateMeasData&) = delete;
    CCommunicateMeasData& operator=(const CCommunicateMeasData&) = delete;

    // Connects, identifies and disconnects. True when an instrument of the maker answered with a
    // known model; the record then carries that model's code and is otherwise unchanged.
    [[nodiscard]] bool CheckConnection(MeasSetData& record);
    // The model check of the callers before a transfer: true when the connected instrument is of
    // the configured model; shows kModelMismatch when it is of another one.
    [[nodiscard]] bool CheckModel(const MeasSetData& record, int32_t configuredModel);
    // Validates and sends the record: the MUX lists when its MuxOn is set, else the front list.
    [[nodiscard]] bool WriteAll(MeasSetData record);
    // Reads the instrument's settings (MUX or front, as the instrument has it selected) into the
    // record; a failure leaves the record untouched and the link closed.
    [[nodiscard]] bool ReadAll(MeasSetData& record);
    // ":MUX:VAR:SET:END" when the link is still open, then disconnect.
    void EndTransfer();

    // Lines sent so far of the lines the transfer is expected to send, reported after each line
    // of WriteAll and ReadAll (the MUX tables take seconds) and once more with done == total at
    // their end. The count to do is an estimate; done never passes it.
    using ProgressFn = std::function<void(size_t done, size_t total)>;
    void SetProgress(ProgressFn progress) { m_progress = std::move(progress); }
    // The lines a write (or read) of the record's list is expected to take, connect and end included.
    [[nodiscard]] static size_t ExpectedLines(const MeasSetData& record, bool write);

    // A command object of the number, working on this object's working copy when its class
    // takes a record.
    [[nodiscard]] std::unique_ptr<CCommunicateVx> CreateCommand(int number);

    // The copy every command created here reads and writes.
    MeasSetData& Working() { return *m_working; }

    // The front list for a model: 3 to 27, 28 and 29 on the extended models, without the
    // low-power commands on the VX6208.
    [[nodiscard]] static std::vector<int> FrontList(int32_t modelCode);

private:
    enum class EOperation { Send, Read };

    // Runs the numbers in order; stops at the first failure unless results are ignored.
    [[nodiscard]] bool Run(std::span<const int> numbers, EOperation operation, bool ignoreResults = false);
    [[nodiscard]] bool RunNumber(int number, EOperation operation);
    // Counts the lines of one transfer while it runs; reports the end when it goes.
    class CProgressScope;

    IUserPrompt& m_prompt;
    CInstrumentLink& m_link;
    std::unique_ptr<MeasSetData> m_working; // large: kept off the caller's stack
    std::unique_ptr<CCommunicateVx> m_current;
    ProgressFn m_progress;
};
