#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/meas_set_data.h"
#include "temp_folder.h"

class CSettingsFolder {
public:
    CSettingsFolder()
    {
        m_path = MakeTempFolder("vx-settings");
    }
    ~CSettingsFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_path + "/" + name, std::ios::binary) << text;
        return m_path + "/" + name;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
};

// The defaults of a model with the model recorded, as a settings dialog holds them.
inline MeasSetData Defaults(int32_t model)
{
    MeasSetData data;
    InitMeasSetData(data, model);
    data.ModelCode = model;
    return data;
}
