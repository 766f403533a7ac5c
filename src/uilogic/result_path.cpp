#include "uilogic/result_path.h"

#include "settings/numeric_locale.h"

std::string DefaultResultPath(const std::string& folder, const std::string& extension, const std::tm& now)
{
    return folder
        + FormatC("/%04d%02d%02d%02d%02d%02d.", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour,
            now.tm_min, now.tm_sec)
        + extension;
}

std::string FolderOfPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ExtensionOfPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}
