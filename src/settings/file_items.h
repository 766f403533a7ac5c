#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"

// The settings-file version in force: 3 at start, set by each "FILE_VER" line read, and back to
// 3 by every save. Shared by all loads and saves (user-interface thread only).
extern int32_t FileVersion;
// Set when reading an old file pulled a MUX terminal number into range; cleared by "FILE_VER".
extern bool TermAdjusted;

inline constexpr int32_t kCurrentFileVersion = 3;
inline constexpr const char* kOldVersionNotice = "Program read the old version settings.\nWhen terminal setting of MUX "
                                                 "includes out of the range, \nit is adjusted in the range.";

// One key of the settings file: produces its line (or lines) from a set and parses one line into
// it. The 75 keys are rows of one table (see file_items.cpp); each row names its item class.
class CFileWR {
public:
    virtual ~CFileWR() = default;
    // The key's text for a table (0: 4-wire, 1: 2-wire) and channel index; general keys ignore both.
    virtual std::string Write(int table, int channel) = 0;
    // Parses the text after the key; false is a format error of the line.
    [[nodiscard]] virtual bool Read(const std::string& value) = 0;

    void SetTarget(MeasSetData& data) { m_data = &data; }

protected:
    // Splits at commas into the token list; true when exactly `expected` tokens came out.
    [[nodiscard]] bool Split(const std::string& value, size_t expected);
    static std::string FlagText(int32_t value) { return value != 0 ? "1" : "0"; }

    MeasSetData* m_data = nullptr;
    std::vector<std::string> m_tokens;
};

// The item for a key, or null: unknown keys, and the "MUX_ATC_" keys unless the model is 2048.
// The prompt shows the old-version notice of "FILE_VER" (may be null: no notice).
std::unique_ptr<CFileWR> CreateFileItem(const std::string& key, int32_t modelCode, IUserPrompt* prompt = nullptr);

// Keys in file order.
const std::vector<std::string>& GeneralFileKeys();
const std::vector<std::string>& ChannelFileKeys(bool withAtc);
// The item class that serves a key ("CFileRange" for "RANGE"), empty for an unknown key.
std::string FileItemClassName(const std::string& key);
