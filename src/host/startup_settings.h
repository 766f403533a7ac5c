#pragma once

#include <string>
#include <vector>

#include "settings/meas_set_data.h"
#include "settings/setting_data.h"
#include "settings/user_prompt.h"

class CInstrumentLink;

// A window that tells the operator a long transfer is under way (the GUI's message window).
class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;
    virtual void ShowProgress(const std::string& text) = 0;
    virtual void CloseProgress() = 0;
};

inline constexpr const char* kNotVxfFile = "Specified file is not an .vxf file.";
inline constexpr const char* kFileNotFound = "File not found.";
inline constexpr const char* kLaunchWithDefaults = "Program will launch with all default values.";
inline constexpr const char* kSettingFileModelDiffers
    = "The model setting and the model of the setting file are different.";
inline constexpr const char* kSetTheModel = "Set the model.";

// Where the start-up settings came from.
// CommandLineNoModel: the file was loaded, but without a model it is not sent.
enum class StartupSource { Defaults, Autosave, CommandLine, CommandLineNoModel };

// The measurement conditions at start-up: the autosave file in the data folder, or the settings
// file named as the last argument (checked for its ".vxf" extension and its presence). Without a
// usable file the conditions are the configured model's defaults. A file of another model is
// refused for the configured model's defaults. Returns where the conditions came from; a file from
// the command line is to be sent to the instrument (TransferStartupSettings) when a model is set.
[[nodiscard]] StartupSource LoadStartupSettings(
    const CSettingData& config, const std::vector<std::string>& arguments, MeasSetData& data, IUserPrompt& prompt);

// Sends the start-up conditions to the instrument when it is the configured model, with a progress
// window. Nothing is sent to an instrument of another model. True when the settings were sent.
bool TransferStartupSettings(const MeasSetData& data, int32_t configuredModel, CInstrumentLink& link,
    IUserPrompt& prompt, IProgressWindow& progress);

// The progress text of a transfer to a model.
[[nodiscard]] std::string TransferTextOf(int32_t model);

// Writes the conditions to the autosave file; tells the operator when it cannot.
bool SaveStartupSettings(const CSettingData& config, const MeasSetData& data, IUserPrompt& prompt);
