#include "host/startup_settings.h"

#include <filesystem>

#include "commands/communicate_meas_data.h"
#include "link/instrument_link.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"

namespace {

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The configured model's defaults with the model recorded and the MUX unused.
void UseDefaults(MeasSetData& data, int32_t model)
{
    InitMeasSetData(data, model);
    data.ModelCode = model;
    data.MuxOn = 0;
}

} // namespace

StartupSource LoadStartupSettings(
    const CSettingData& config, const std::vector<std::string>& arguments, MeasSetData& data, IUserPrompt& prompt)
{
    UseDefaults(data, config.ModelCode);
    std::string source = config.AutosavePath();
    bool fromCommandLine = false;
    if (!arguments.empty()) {
        const std::string& candidate = arguments.back();
        const std::filesystem::path path(candidate);
        if (path.extension().string() != ".vxf")
            prompt.ShowMessage(kNotVxfFile);
        else if (!FileExists(candidate))
            prompt.ShowMessage(kFileNotFound);
        else {
            source = candidate;
            fromCommandLine = true;
        }
    }
    if (!FileExists(source))
        return StartupSource::Defaults;
    CFileManager file(prompt);
    if (!file.Load(source, config.ModelCode)) {
        prompt.ShowMessage(std::string(kLaunchWithDefaults) + "\n" + source + ": " + file.Problem);
        return StartupSource::Defaults;
    }
    if (file.Data.ModelCode != config.ModelCode) {
        prompt.ShowMessage(kSettingFileModelDiffers);
        return StartupSource::Defaults;
    }
    data = file.Data;
    if (!fromCommandLine)
        return StartupSource::Autosave;
    if (config.ModelCode == 0) {
        prompt.ShowMessage(kSetTheModel);
        return StartupSource::CommandLineNoModel;
    }
    return StartupSource::CommandLine;
}

std::string TransferTextOf(int32_t model)
{
    return "Transferring settings to " + ModelFamilyName(model) + "....";
}

bool TransferStartupSettings(const MeasSetData& data, int32_t configuredModel, CInstrumentLink& link,
    IUserPrompt& prompt, IProgressWindow& progress)
{
    CCommunicateMeasData transfer(prompt, link);
    if (!transfer.CheckModel(data, configuredModel))
        return false;
    progress.ShowProgress(TransferTextOf(configuredModel));
    const bool sent = transfer.WriteAll(data);
    transfer.EndTransfer();
    progress.CloseProgress();
    if (!sent)
        prompt.ShowMessage(kFailedToSendSettings);
    return sent;
}

bool SaveStartupSettings(const CSettingData& config, const MeasSetData& data, IUserPrompt& prompt)
{
    CFileManager file(prompt);
    file.Data = data;
    if (file.Save(config.AutosavePath()))
        return true;
    prompt.ShowMessage(kFailedToSaveSettings);
    return false;
}
