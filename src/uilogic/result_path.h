#pragma once

#include <ctime>
#include <string>

// The result file offered when the window opens: the configured folder, the date and time as
// fourteen digits (year, month, day, hour, minute, second), a point and the configured extension.
[[nodiscard]] std::string DefaultResultPath(
    const std::string& folder, const std::string& extension, const std::tm& now);

// The folder and the extension of a result path, as kept in the configuration between runs.
[[nodiscard]] std::string FolderOfPath(const std::string& path);
[[nodiscard]] std::string ExtensionOfPath(const std::string& path);
