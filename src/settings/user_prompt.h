#pragma once

#include <string>
#include <vector>

// How the core speaks to the operator: the GUI shows message boxes, the CLI writes to stderr and
// takes its answers from the command line, tests record the exact texts.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    [[nodiscard]] virtual bool AskYesNo(const std::string& text) = 0;
    [[nodiscard]] virtual bool AskOkCancel(const std::string& text) = 0;
};

// Records every text and answers every question with a fixed reply; for tests and batch runs.
class CRecordingPrompt final : public IUserPrompt {
public:
    explicit CRecordingPrompt(bool answer = true)
        : m_answer(answer)
    {
    }
    void ShowMessage(const std::string& text) override { Texts.push_back(text); }
    bool AskYesNo(const std::string& text) override
    {
        Texts.push_back(text);
        return m_answer;
    }
    bool AskOkCancel(const std::string& text) override
    {
        Texts.push_back(text);
        return m_answer;
    }

    std::vector<std::string> Texts;

private:
    bool m_answer;
};
