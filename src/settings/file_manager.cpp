#include "settings/file_manager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/file_items.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

CFileManager::CFileManager(IUserPrompt& prompt)
    : m_prompt(prompt)
{
    InitMeasSetData(Data, 0);
}

std::string CFileManager::Text()
{
    std::string text;
    for (const std::string& key : GeneralFileKeys()) {
        auto item = CreateFileItem(key, Data.ModelCode);
        item->SetTarget(Data);
        text += item->Write(0, 0);
    }
    const std::vector<std::string>& channelKeys = ChannelFileKeys(Data.ModelCode == kModelVx6208);
    for (int table = 0; table < 2; ++table) {
        text += "\n";
        for (int channel = 0; channel < kMuxChannels; ++channel) {
            for (const std::string& key : channelKeys) {
                auto item = CreateFileItem(key, Data.ModelCode);
                item->SetTarget(Data);
                text += item->Write(table, channel);
            }
        }
    }
    return text;
}

bool CFileManager::Save(const std::string& path)
{
    std::string crlf;
    const std::string text = Text();
    crlf.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            crlf.push_back('\r');
        crlf.push_back(c);
    }
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or pipe is written in place: renaming over it would replace it with a file.
        std::FILE* target = std::fopen(path.c_str(), "wb");
        if (target == nullptr)
            return false;
        const bool ok = std::fwrite(crlf.data(), 1, crlf.size(), target) == crlf.size();
        return std::fclose(target) == 0 && ok;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    (void)fchmod(fd, 0644); // an ordinary file, as the operator's other files
    const bool written = WriteAll(fd, crlf) && fsync(fd) == 0;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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
            stopQuietly = true;
            return false;
        }
        item->SetTarget(Data);
        if (!item->Read(line.substr(comma + 1))) {
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
    bool result = false;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        std::ifstream input(path, std::ios::binary);
        if (input.is_open()) {
            bool stopQuietly = false;
            result = ReadLines(input, currentModel, stopQuietly);
            if (stopQuietly)
                return false;
        }
    }
    ReconcileModel(currentModel);
    if (!result)
        return false;
    if (!ValidateMeasSetData(Data)) {
        m_prompt.ShowMessage(kErrorsInSettings);
        return false;
    }
    if (TermAdjusted)
        m_prompt.ShowMessage(kTerminalsAdjusted);
    return true;
}
