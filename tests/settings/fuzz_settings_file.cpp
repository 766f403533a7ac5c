// libFuzzer target: any bytes as a settings file must load or fail cleanly.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "settings/file_items.h"
#include "settings/file_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/vx-fuzz-" + std::to_string(getpid()) + ".vxf";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CRecordingPrompt prompt;
    for (const int32_t model : { 8, 2048 }) {
        CFileManager manager(prompt);
        (void)manager.Load(path, model);
    }
    FileVersion = kCurrentFileVersion;
    return 0;
}
