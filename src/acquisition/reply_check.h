#pragma once

#include <string>

// Whether a reply has the form of the measurement request that asked for it. A reply that does
// not (noise on the line, a cut-off number, a missing or extra field) is never taken as a reading.
enum class ReplyForm {
    Value, // ":FETCh?" and ":READ?": one value
    ValueAndJudge, // the LIMit forms: value and comparator judgement
    Channel, // one MUX channel: value, comparator judgement and channel judgement
    ScanState, // "SCAN:STATe?": 0 or 1
    TotalJudge, // the total judgement of a scan: PASS, FAIL, ERR or OFF
    InputBits, // "io:input?": the input port as hexadecimal digits
};

[[nodiscard]] bool IsMeasurementReply(const std::string& reply, ReplyForm form);
