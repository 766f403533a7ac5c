#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "settings/user_prompt.h"

// The application's own configuration, kept in "Vx6207App.ini" in the data folder: the model,
// the communication parameters, what a result record holds, the external-trigger filter, the
// result-file format and the acquisition options kept between runs.
class CSettingData {
public:
    // The data folder of this installation (see DecideDataFolder).
    CSettingData();
    // A given data folder: for the command line and for tests.
    explicit CSettingData(std::string dataFolder);
    virtual ~CSettingData() = default;

    // Reads every key with its default; a missing or unreadable file gives the defaults. A value
    // that is no number, or outside its list of choices, falls back as it always has; LoadWarnings
    // then names the key, for callers that can tell the operator (the command line does).
    void Load();
    // Whether `path` can serve as a configuration file: present, a file, readable, and text in
    // the ini layout; otherwise `problem` names the file and why.
    [[nodiscard]] static bool CheckFile(const std::string& path, std::string& problem);
    // Writes the model, communication, record, filter and file-format keys. Shows
    // "Failed to save settings." and returns false when the file cannot be written.
    [[nodiscard]] bool Save(IUserPrompt& prompt);
    // Writes the keys the main window keeps between runs (destination, folder, extension and the
    // acquisition options); called after a successful Save.
    [[nodiscard]] bool SaveWindowKeys(IUserPrompt& prompt);

    std::string IniPath() const { return IniFile.empty() ? DataFolder + "/Vx6207App.ini" : IniFile; }
    std::string AutosavePath() const { return DataFolder + "/MeasSetData.ini"; }

    // The data folder: beside the executable, or, for an installed executable (under /usr/ or
    // /opt/), $XDG_CONFIG_HOME (else ~/.config) + "/ZORVI/VX6207App", created when missing.
    static std::string DecideDataFolder(const std::string& executablePath);

    int32_t ModelCode = 0;
    std::string ComNo = "COM1";
    int32_t BaudRate = 9600;
    int32_t IFSelect = 0;
    std::array<int32_t, 4> LanIPOctets { 192, 168, 0, 1 };
    uint32_t LanIPAddr = 3232235521U;
    int32_t LanPort = 23;
    int32_t SaveDataIndex = 1;
    int32_t SaveDate = 1;
    int32_t SaveTime = 1;
    int32_t SaveJudge = 1;
    int32_t SaveMuxJudge = 0;
    int32_t SaveTemp = 0;
    int32_t FilterEnable = 0;
    int32_t FilterTime = 100;
    int32_t CsvEnable = 0;
    std::string FileDir;
    std::string FileExtension = "csv";
    int32_t Decimal = 0;
    int32_t Separator = 0;
    int32_t LogType = 0;
    int32_t LogInterval = 0;
    int32_t LogLimit = 1;
    int32_t GetCompRes = 0;
    // The main window's live view: shown or hidden, and how many of the newest readings its
    // trend plot keeps exactly (older ones are kept as min/max buckets).
    int32_t LiveView = 1;
    int32_t TrendPoints = 10000; // kDefaultTrendPoints
    std::string DataFolder;
    // A configuration file named explicitly (the command line's --config); empty: the data folder's.
    std::string IniFile;
    // One note per key whose stored value was not taken as it stands, from the last Load; by key.
    std::map<std::string, std::string> LoadWarnings;

private:
    template <typename Fill> [[nodiscard]] bool WriteKeys(IUserPrompt& prompt, Fill fill);
};

// Message shown when the configuration cannot be written.
inline constexpr const char* kFailedToSaveSettings = "Failed to save settings.";
// Notes on configuration values that were not taken as stored (key, stored value, value used).
inline constexpr const char* kConfigValueNotANumber = "Configuration: %s=%s is not a number; %d is used.";
inline constexpr const char* kConfigValueNotAChoice = "Configuration: %s=%s is not one of its choices; %s is used.";
inline constexpr int32_t kDefaultTrendPoints = 10000;
inline constexpr int32_t kMinTrendPoints = 100;
inline constexpr int32_t kMaxTrendPoints = 1000000;
