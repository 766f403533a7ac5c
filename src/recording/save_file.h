#pragma once

#include "recording/save_result.h"

// The text-file recorders: fields joined with the configured separator, values with the
// configured decimal point, each line written with CR LF and handed to the system at once, whole
// or not at all, so that neither a crash nor a full disk leaves half a row. Rows are appended; an existing file is never truncated.
class CSaveFileBase : public CSaveResult {
public:
    CSaveFileBase(const CSettingData& config, int steps, IUserPrompt& prompt);
    ~CSaveFileBase() override;

    bool Open(const std::string& target) override;
    bool Finish() override;

protected:
    bool WriteIndex(int number) override;
    bool WriteDate() override;
    bool WriteTime() override;
    bool WriteTotalJudge(const std::string&) override { return true; }
    bool EndRecord() override;
    bool BeginRecord() override { return true; }
    bool WriteValues(const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
        const std::string& temperature) override;

    virtual int CountColumns() const { return MuxColumns(); }
    // Appends one field, preceded by the placeholder separator unless it is the first.
    void AppendField(const std::string& text);
    // Appends one header word followed by the placeholder separator.
    void AppendHeaderWord(const std::string& word);
    // Number, Date and Time as configured.
    void AppendLeadingHeaderWords();
    // A value with the configured decimal point.
    std::string Decimal(const std::string& value) const;

private:
    int m_fd = -1;
};

class CSaveFileNorm final : public CSaveFileBase {
public:
    using CSaveFileBase::CSaveFileBase;

protected:
    int CountColumns() const override { return SingleColumns(); }
    bool WriteHeader(const StepTexts& names) override;
};

class CSaveFileMuxScan final : public CSaveFileBase {
public:
    using CSaveFileBase::CSaveFileBase;

protected:
    bool WriteHeader(const StepTexts& names) override;
    bool WriteTotalJudge(const std::string& totalJudge) override;
    bool WriteValues(const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
        const std::string& temperature) override;
};

class CSaveFileMuxManual final : public CSaveFileBase {
public:
    using CSaveFileBase::CSaveFileBase;

protected:
    bool WriteHeader(const StepTexts& names) override;
};
