// libFuzzer target: any bytes as a settings file must load or fail cleanly, for a model with the
// A-TC keys and one without.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "settings/file_items.h"
#include "settings/file_manager.h"

namespace {

// Discards every message: the fuzzer looks for crashes and undefined behaviour only.
class CSilentPrompt final : public IUserPrompt {
public:
    void ShowMessage(const std::string&) override { }
    bool AskYesNo(const std::string&) override { return false; }
    bool AskOkCancel(const std::string&) override { return false; }
};

// The one scratch file of this fuzzing process, removed when it exits.
struct CScratchFile {
    std::string Path
        = (std::filesystem::temp_directory_path() / ("vx-fuzz-" + std::to_string(::getpid()) + ".vxf")).string();
    ~CScratchFile() { std::remove(Path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const CScratchFile scratch;
    const std::string& path = scratch.Path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        return 0;
    CSilentPrompt prompt;
    for (const int32_t model : { 8, 2048 }) {
        CFileManager manager(prompt);
        (void)manager.Load(path, model); // either result is fine; only crashes matter
    }
    // Every input starts from the version a fresh process has.
    FileVersion = kCurrentFileVersion;
    TermAdjusted = false;
    return 0;
}
