#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "acquisition/step_arrays.h"
#include "settings/setting_data.h"
#include "temp_folder.h"

// A temporary folder removed with the object.
class CTempFolder {
public:
    CTempFolder()
    {
        m_path = MakeTempFolder("vx-recording");
    }
    ~CTempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Splits a file into lines at CR LF (a bare LF is kept in the line so a wrong ending shows).
inline std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    size_t end = 0;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// A CSV field reader honouring double quotes, as a spreadsheet would read the file.
inline std::vector<std::string> SplitCsv(const std::string& line, char separator)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

// Capture items all off except those named.
inline CSettingData ConfigWith(bool number, bool date, bool time, bool judge, bool muxJudge, bool temp)
{
    CSettingData config("/tmp");
    config.SaveDataIndex = number;
    config.SaveDate = date;
    config.SaveTime = time;
    config.SaveJudge = judge;
    config.SaveMuxJudge = muxJudge;
    config.SaveTemp = temp;
    return config;
}
