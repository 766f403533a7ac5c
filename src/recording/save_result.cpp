#include "recording/save_result.h"

#include "recording/save_excel.h"
#include "recording/save_file.h"
#include "settings/file_io.h"

CSaveResult::CSaveResult(const CSettingData& config, int steps, IUserPrompt& prompt)
    : m_config(config)
    , m_steps(steps)
    , m_prompt(prompt)
{
}

bool CSaveResult::Open(const std::string& target)
{
    m_target = target;
    return true;
}

int CSaveResult::SingleColumns() const
{
    return 1 + m_config.SaveDataIndex + m_config.SaveDate + m_config.SaveTime + m_config.SaveJudge + m_config.SaveTemp;
}

int CSaveResult::MuxColumns() const
{
    return 1 + m_config.SaveDataIndex + m_config.SaveDate + m_config.SaveTime + m_config.SaveTemp
        + m_steps * (1 + m_config.SaveJudge + m_config.SaveMuxJudge);
}

void CSaveResult::ClearRow()
{
    m_line.clear();
    m_cell = 0;
}

bool CSaveResult::Record(int number, const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
    const StepTexts& names, const std::string& totalJudge, const std::string& temperature)
{
    if (number == 0) {
        ClearRow();
        if (!WriteHeader(names))
            return false;
    }
    ClearRow();
    if (m_config.SaveDate || m_config.SaveTime) {
        const std::time_t now = std::time(nullptr);
        m_stamp = LocalTimeOf(now);
    }
    return BeginRecord() && WriteIndex(number) && WriteDate() && WriteTime() && WriteTotalJudge(totalJudge)
        && WriteValues(values, comps, judges, temperature) && EndRecord();
}

std::unique_ptr<CSaveResult> CreateRecorder(SaveTarget target, bool muxOn, bool muxScan, const CSettingData& config,
    int steps, IUserPrompt& prompt, const std::string& workbookPath)
{
    if (target == SaveTarget::Excel) {
        if (!muxOn)
            return std::make_unique<CSaveExcelNorm>(config, prompt, workbookPath);
        if (muxScan)
            return std::make_unique<CSaveExcelMuxScan>(config, steps, prompt, workbookPath);
        return std::make_unique<CSaveExcelMuxManual>(config, steps, prompt, workbookPath);
    }
    if (!muxOn)
        return std::make_unique<CSaveFileNorm>(config, steps, prompt);
    if (muxScan)
        return std::make_unique<CSaveFileMuxScan>(config, steps, prompt);
    return std::make_unique<CSaveFileMuxManual>(config, steps, prompt);
}
