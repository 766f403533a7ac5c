#pragma once

#include <string>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"

// Writes a set of measurement conditions to a settings file and reads one back: the general keys,
// an empty line, the channel keys of the 4-wire tables, an empty line, those of the 2-wire tables.
class CFileManager {
public:
    explicit CFileManager(IUserPrompt& prompt);
    virtual ~CFileManager() = default;

    // Writes the set (ReplaceTextFile): where it can, beside the target and renamed over it, so a
    // failed save never destroys the operator's previous file. False when it cannot be written; no
    // message.
    [[nodiscard]] bool Save(const std::string& path);
    // Replaces the set with the file's content, reconciles its model with currentModel and
    // validates it. Messages for format errors, failed validation and old files go to the prompt.
    [[nodiscard]] bool Load(const std::string& path, int32_t currentModel);
    // The set's text as Save writes it (lines end with "\n" here; the file has CR LF).
    [[nodiscard]] std::string Text();

    MeasSetData Data;
    // Why the last Load failed, for the operator ("no such file or folder", "line 12: incorrect
    // format", ...); empty after a successful one.
    std::string Problem;

private:
    [[nodiscard]] bool BuildText(std::string& text);
    [[nodiscard]] bool ReadLines(std::istream& input, int32_t currentModel, bool& stopQuietly);
    void ReconcileModel(int32_t currentModel);

    IUserPrompt& m_prompt;
};

inline constexpr const char* kIncorrectFormat = "Incorrect format found in Line %d.";
inline constexpr const char* kErrorsInSettings = "Errors found in the save settings.";
inline constexpr const char* kTerminalsAdjusted
    = "The terminal settings of MUX is adjusted.\nBecause it included out of range.";
