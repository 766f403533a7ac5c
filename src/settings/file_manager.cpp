#include "settings/file_manager.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "settings/file_io.h"
#include "settings/file_items.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/text_file.h"

CFileManager::CFileManager(IUserPrompt& prompt)
    : m_prompt(prompt)
{
    InitMeasSetData(Data, 0);
}

bool CFileManager::BuildText(std::string& text)
{
    text.clear();
    const auto append = [this, &text](const std::string& key, int table, int channel) {
        auto item = CreateFileItem(key, Data.ModelCode);
        if (item == nullptr)
            return false;
        item->SetTarget(Data);
        text += item->Write(table, channel);
        return true;
    };
    for (const std::string& key : GeneralFileKeys()) {
        if (!append(key, 0, 0))
            return false;
    }
    const std::vector<std::string>& channelKeys = ChannelFileKeys(Data.ModelCode == kModelVx6208);
    for (int table = 0; table < 2; ++table) {
        text += "\n";
        for (int channel = 0; channel < kMuxChannels; ++channel) {
            for (const std::string& key : channelKeys) {
                if (!append(key, table, channel))
                    return false;
            }
        }
    }
    return true;
}

std::string CFileManager::Text()
{
    std::string text;
    return BuildText(text) ? text : std::string {};
}

bool CFileManager::Save(const std::string& path)
{
    std::string text;
    if (!BuildText(text))
        return false;
    return ReplaceTextFile(path, text);
}

bool CFileManager::ReadLines(std::istream& input, int32_t currentModel, bool& stopQuietly)
{
    std::string line;
    int number = 0;
    while (std::getline(input, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t comma = line.find(',');
        if (line.empty() || comma == std::string::npos)
            continue;
        auto item = CreateFileItem(line.substr(0, comma), currentModel, &m_prompt);
        if (item == nullptr) {
            Problem
                = FormatC("line %d: unknown key \"%s\"", number, line.substr(0, std::min<size_t>(comma, 40)).c_str());
            stopQuietly = true;
            return false;
        }
        item->SetTarget(Data);
        if (!item->Read(line.substr(comma + 1))) {
            Problem = FormatC("line %d: incorrect format", number);
            m_prompt.ShowMessage(FormatC(kIncorrectFormat, number));
            return false;
        }
    }
    return !input.bad();
}

void CFileManager::ReconcileModel(int32_t currentModel)
{
    if (FileVersion == 0 || FileVersion == 1)
        Data.ModelCode = (currentModel & 8) != 0 ? currentModel : kModelVx6207;
    else if (Data.ModelCode != currentModel && SameModelFamily(Data.ModelCode, currentModel))
        Data.ModelCode = currentModel;
    if (!IsMuxModel(Data.ModelCode))
        Data.MuxOn = 0;
}

bool CFileManager::Load(const std::string& path, int32_t currentModel)
{
    InitMeasSetData(Data, 0);
    Problem.clear();
    bool result = false;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_regular_file(status)) {
        std::ifstream input(path, std::ios::binary);
        if (input.is_open()) {
            bool stopQuietly = false;
            result = ReadLines(input, currentModel, stopQuietly);
            if (stopQuietly)
                return false;
            if (!result && Problem.empty())
                Problem = "the file could not be read";
        } else {
            Problem = FileErrorText(errno);
        }
    } else {
        Problem = std::filesystem::is_directory(status) ? FileErrorText(EISDIR)
            : std::filesystem::exists(status)           ? "not a regular file"
                                                        : FileErrorText(error ? error.value() : ENOENT);
    }
    ReconcileModel(currentModel);
    if (!result)
        return false;
    if (!ValidateMeasSetData(Data)) {
        Problem = "the settings are out of range";
        m_prompt.ShowMessage(kErrorsInSettings);
        return false;
    }
    if (TermAdjusted)
        m_prompt.ShowMessage(kTerminalsAdjusted);
    return true;
}
