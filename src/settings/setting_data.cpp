#include "settings/setting_data.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <SimpleIni.h>

#include "settings/file_io.h"
#include "settings/numeric_locale.h"
#include "settings/text_file.h"

namespace {

// Like the profile functions: leading digits count, anything unreadable is 0. A value that is not
// wholly a number is noted (with the value taken) for the operator.
int32_t ReadInt(const CSimpleIniA& ini, const char* section, const char* key, int32_t fallback,
    std::map<std::string, std::string>& warnings)
{
    const char* text = ini.GetValue(section, key, nullptr);
    if (text == nullptr)
        return fallback;
    size_t used = 0;
    const int64_t value = StrToLongLongC(text, &used);
    const auto result = used == 0 ? 0 : static_cast<int32_t>(value);
    if (used == 0 || used != std::strlen(text))
        warnings[key] = FormatC(kConfigValueNotANumber, key, text, static_cast<int>(result));
    return result;
}

// A value outside its list of choices falls back to the default, with a note for the operator.
int32_t Chosen(
    int32_t value, int32_t choices, int32_t fallback, const char* key, std::map<std::string, std::string>& warnings)
{
    if (value >= 0 && value < choices)
        return value;
    warnings[key] = FormatC(kConfigValueNotAChoice, key, FormatC("%d", static_cast<int>(value)).c_str(),
        FormatC("%d", static_cast<int>(fallback)).c_str());
    return fallback;
}

std::string ReadText(const CSimpleIniA& ini, const char* section, const char* key, const std::string& fallback)
{
    const char* text = ini.GetValue(section, key, nullptr);
    return text == nullptr ? fallback : std::string(text);
}

int32_t Flag(int32_t value)
{
    return value != 0 ? 1 : 0;
}

void SetInt(CSimpleIniA& ini, const char* section, const char* key, int64_t value)
{
    ini.SetValue(section, key, FormatC("%lld", static_cast<long long>(value)).c_str());
}

} // namespace

CSettingData::CSettingData()
    : CSettingData(DecideDataFolder(ExecutablePath()))
{
}

CSettingData::CSettingData(std::string dataFolder)
    : FileDir(dataFolder)
    , DataFolder(std::move(dataFolder))
{
}

std::string CSettingData::DecideDataFolder(const std::string& executablePath)
{
    const size_t slash = executablePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : executablePath.substr(0, slash);
    const std::string installed = InstalledDataFolder(folder);
    return installed.empty() ? folder : installed;
}

bool CSettingData::CheckFile(const std::string& path, std::string& problem)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        problem = path + ": " + FileErrorText(ENOENT);
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        problem = path + ": " + FileErrorText(EISDIR);
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = path + ": " + FileErrorText(errno != 0 ? errno : EACCES);
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    CSimpleIniA ini;
    ini.SetUnicode();
    // A configuration is text: NUL bytes or a failed parse mean some other kind of file.
    if (text.find('\0') != std::string::npos || ini.LoadData(text) < 0) {
        problem = path + ": not a configuration file (Vx6207App.ini layout)";
        return false;
    }
    return true;
}

void CSettingData::Load()
{
    CSimpleIniA ini;
    ini.SetUnicode();
    (void)ini.LoadFile(IniPath().c_str()); // a missing or unreadable file gives the defaults
    LoadWarnings.clear();
    ModelCode = ReadInt(ini, "MODEL", "ModelCode", 0, LoadWarnings);
    ComNo = ReadText(ini, "COMM", "ComNo", "COM1");
    BaudRate = ReadInt(ini, "COMM", "BaudRate", 9600, LoadWarnings);
    IFSelect = ReadInt(ini, "COMM", "IFSelect", 0, LoadWarnings);
    LanIPAddr
        = static_cast<uint32_t>(ReadInt(ini, "COMM", "LanIPAddr", static_cast<int32_t>(3232235521U), LoadWarnings));
    for (int i = 0; i < 4; ++i)
        LanIPOctets[static_cast<size_t>(i)] = static_cast<int32_t>((LanIPAddr >> (24 - 8 * i)) & 0xFFU);
    LanPort = ReadInt(ini, "COMM", "LanPort", 23, LoadWarnings);
    SaveDataIndex = Flag(ReadInt(ini, "SAVE", "SaveDataIndex", 1, LoadWarnings));
    SaveDate = Flag(ReadInt(ini, "SAVE", "SaveDate", 1, LoadWarnings));
    SaveTime = Flag(ReadInt(ini, "SAVE", "SaveTime", 1, LoadWarnings));
    SaveJudge = Flag(ReadInt(ini, "SAVE", "SaveJudge", 1, LoadWarnings));
    SaveMuxJudge = Flag(ReadInt(ini, "SAVE", "SaveMuxJudge", 0, LoadWarnings));
    SaveTemp = Flag(ReadInt(ini, "SAVE", "SaveTemp", 0, LoadWarnings));
    FilterEnable = Flag(ReadInt(ini, "FILTER", "FilterEnable", 0, LoadWarnings));
    FilterTime = ReadInt(ini, "FILTER", "FilterTime", 100, LoadWarnings);
    CsvEnable = ReadInt(ini, "FILE_TYPE", "CsvEnable", 0, LoadWarnings);
    FileDir = ReadText(ini, "FILE_TYPE", "FileDir", DataFolder);
    FileExtension = ReadText(ini, "FILE_TYPE", "FileExtension", "csv");
    if (FileExtension != "csv" && FileExtension != "txt" && FileExtension != "dat") {
        LoadWarnings["FileExtension"] = FormatC(kConfigValueNotAChoice, "FileExtension", FileExtension.c_str(), "csv");
        FileExtension = "csv";
    }
    Decimal = Chosen(ReadInt(ini, "FILE_TYPE", "Decimal", 0, LoadWarnings), 2, 0, "Decimal", LoadWarnings);
    Separator = Chosen(ReadInt(ini, "FILE_TYPE", "Separator", 0, LoadWarnings), 4, 0, "Separator", LoadWarnings);
    LogType = ReadInt(ini, "LOG_TYPE", "LogType", 0, LoadWarnings);
    LogInterval = ReadInt(ini, "LOG_TYPE", "LogInterval", 0, LoadWarnings);
    LogLimit = ReadInt(ini, "LOG_TYPE", "LogLimit", 1, LoadWarnings);
    GetCompRes = Flag(ReadInt(ini, "LOG_TYPE", "GetCompRes", 0, LoadWarnings));
    LiveView = Flag(ReadInt(ini, "VIEW", "LiveView", 1, LoadWarnings));
    TrendPoints = ReadInt(ini, "VIEW", "TrendPoints", kDefaultTrendPoints, LoadWarnings);
    if (TrendPoints < kMinTrendPoints || TrendPoints > kMaxTrendPoints) {
        LoadWarnings["TrendPoints"] = FormatC(kConfigValueNotAChoice, "TrendPoints",
            std::to_string(TrendPoints).c_str(), std::to_string(kDefaultTrendPoints).c_str());
        TrendPoints = kDefaultTrendPoints;
    }
}

template <typename Fill> bool CSettingData::WriteKeys(IUserPrompt& prompt, Fill fill)
{
    CSimpleIniA ini;
    ini.SetUnicode();
    ini.SetSpaces(false);
    (void)ini.LoadFile(IniPath().c_str()); // keys already there stay
    fill(ini);
    std::string text;
    const bool saved = ini.Save(text) >= 0;
    // The file is written with CR LF on every platform; the library already ends lines so on Windows.
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    if (!saved || !ReplaceTextFile(IniPath(), text)) {
        prompt.ShowMessage(kFailedToSaveSettings);
        return false;
    }
    return true;
}

bool CSettingData::Save(IUserPrompt& prompt)
{
    return WriteKeys(prompt, [this](CSimpleIniA& ini) {
        SetInt(ini, "MODEL", "ModelCode", ModelCode);
        ini.SetValue("COMM", "ComNo", ComNo.c_str());
        SetInt(ini, "COMM", "BaudRate", BaudRate);
        SetInt(ini, "COMM", "IFSelect", IFSelect);
        SetInt(ini, "COMM", "LanIPAddr", static_cast<int32_t>(LanIPAddr)); // stored as a signed decimal
        SetInt(ini, "COMM", "LanPort", LanPort);
        SetInt(ini, "SAVE", "SaveDataIndex", SaveDataIndex);
        SetInt(ini, "SAVE", "SaveDate", SaveDate);
        SetInt(ini, "SAVE", "SaveTime", SaveTime);
        SetInt(ini, "SAVE", "SaveJudge", SaveJudge);
        SetInt(ini, "SAVE", "SaveMuxJudge", SaveMuxJudge);
        SetInt(ini, "SAVE", "SaveTemp", SaveTemp);
        SetInt(ini, "FILTER", "FilterEnable", FilterEnable);
        SetInt(ini, "FILTER", "FilterTime", FilterTime);
        SetInt(ini, "FILE_TYPE", "Decimal", Decimal);
        SetInt(ini, "FILE_TYPE", "Separator", Separator);
    });
}

bool CSettingData::SaveWindowKeys(IUserPrompt& prompt)
{
    return WriteKeys(prompt, [this](CSimpleIniA& ini) {
        SetInt(ini, "FILE_TYPE", "CsvEnable", CsvEnable);
        ini.SetValue("FILE_TYPE", "FileDir", FileDir.c_str());
        ini.SetValue("FILE_TYPE", "FileExtension", FileExtension.c_str());
        SetInt(ini, "LOG_TYPE", "LogType", LogType);
        SetInt(ini, "LOG_TYPE", "LogInterval", LogInterval);
        SetInt(ini, "LOG_TYPE", "LogLimit", LogLimit);
        SetInt(ini, "LOG_TYPE", "GetCompRes", GetCompRes);
        SetInt(ini, "VIEW", "LiveView", LiveView);
        SetInt(ini, "VIEW", "TrendPoints", TrendPoints);
    });
}
