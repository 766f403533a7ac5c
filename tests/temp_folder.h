#pragma once

// A fresh folder for one test under the system's temporary folder (any platform); the caller
// removes it. Paths use '/' so they read the same in messages on every platform.
#include <filesystem>
#include <random>
#include <string>

inline std::string MakeTempFolder(const std::string& prefix)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder = base / (prefix + "-" + std::to_string(random() % 100000000));
        if (std::filesystem::create_directory(folder, error))
            return folder.generic_string();
    }
    return base.generic_string();
}
