#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/instrument_link.h"
#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"

// The base of every command object: one group of instrument settings moved between a MeasSetData
// and the instrument (SendSetting writes the group or performs an action, ReadSetting asks for it
// and stores the answers). Objects are made by number, used for one operation and deleted.
class CCommunicateVx {
public:
    // `settings` is null for the action-only commands.
    CCommunicateVx(CInstrumentLink& link, IUserPrompt& prompt, MeasSetData* settings);
    virtual ~CCommunicateVx() = default;
    CCommunicateVx(const CCommunicateVx&) = delete;
    CCommunicateVx& operator=(const CCommunicateVx&) = delete;

    [[nodiscard]] virtual bool SendSetting() = 0;
    [[nodiscard]] virtual bool ReadSetting() = 0;

    // The shared queries: each sends its line and, only when the send succeeded, waits up to
    // 1,000 ms for the reply. False (reply empty) when the send failed or no reply came.
    [[nodiscard]] bool Query(const std::string& header, std::string& reply);
    [[nodiscard]] bool QueryIndexed(const std::string& header, int n, std::string& reply);
    [[nodiscard]] bool QueryWithText(const std::string& header, const std::string& text, std::string& reply);
    [[nodiscard]] bool QueryMuxAdjust(int channel, std::string& reply);

    // Splits the text at commas outside quotes into Tokens(); true when it holds exactly `expected` fields.
    [[nodiscard]] bool SplitReply(const std::string& text, size_t expected);
    const std::vector<std::string>& Tokens() const { return m_tokens; }

    // Result word of the commands that have one (the zero-adjust poll); 0 at construction.
    int32_t Status() const { return m_status; }
    MeasSetData* Settings() const { return m_settings; }

protected:
    [[nodiscard]] bool SendLine(const std::string& line) { return m_link.SendCommand(line); }
    // Pattern 1: "%s %d" with 1 or 0; the read asks "header?" and looks for ON (500 ms).
    [[nodiscard]] bool SendSwitch(const std::string& header, int32_t value);
    [[nodiscard]] bool ReadSwitch(const std::string& header, int32_t& value);
    // Pattern 2: "%s %s" with the vocabulary text at `position`; the read compares the whole
    // reply with the texts first..first+count-1 and gives the offset of the equal one.
    [[nodiscard]] bool SendChoice(const std::string& header, int position);
    [[nodiscard]] bool ReadChoice(const std::string& header, int first, int count, int& offset);
    // Pattern 3 reads: the whole reply as a number in the "C" convention; false when it is none.
    [[nodiscard]] bool QueryDouble(const std::string& header, double& value);
    // A decimal reply in integer steps of 1/scale, rounded to the nearest step; false when the
    // reply is no number or the step lies outside [low, high] (nothing is stored then).
    [[nodiscard]] bool QueryScaled(const std::string& header, double scale, int64_t low, int64_t high, int64_t& step);
    // An integer reply within [low, high].
    [[nodiscard]] bool QueryBounded(const std::string& header, int64_t low, int64_t high, int64_t& value);

    // The token at a position as a number (0 when it is missing or not a number).
    [[nodiscard]] double TokenDouble(size_t index) const;
    [[nodiscard]] int64_t TokenInteger(size_t index) const;
    // The token as an integer within [low, high]; false when it is missing, no number or outside.
    [[nodiscard]] bool TokenBounded(size_t index, int64_t low, int64_t high, int64_t& value) const;

    int32_t ModelCode() const { return m_settings != nullptr ? m_settings->ModelCode : 0; }

    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    MeasSetData* m_settings;
    std::vector<std::string> m_tokens;
    int32_t m_status = 0;

private:
    [[nodiscard]] bool SendAndReceive(const std::string& line, std::string& reply);
};

// The VX6207 group: every model code with the value 8 set as a bit (8, 9, 10, 12).
[[nodiscard]] inline bool Vx6207GroupModel(int32_t modelCode) { return (modelCode & 8) != 0; }

// A decimal value in integer steps of 1/scale, rounded to the nearest step (a value such as 1.001
// is not exact in binary, so truncation would lose a step); false when the value is no finite
// number or the step lies outside [low, high].
[[nodiscard]] bool ScaledStep(double value, double scale, int64_t low, int64_t high, int64_t& step);

// The largest 32-bit signed value: what the instrument takes as "no adjustment value".
inline constexpr int64_t kNoAdjustValue = 2147483647;
