#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

// Keeps every line the instrument received (without its line end), in memory for tests and, when a
// path is given, in a transcript file flushed after each line.
class CLineRecorder {
public:
    explicit CLineRecorder(const std::string& transcriptPath);
    ~CLineRecorder();
    CLineRecorder(const CLineRecorder&) = delete;
    CLineRecorder& operator=(const CLineRecorder&) = delete;

    [[nodiscard]] bool TranscriptOpen() const { return m_file != nullptr; }
    void Record(const std::string& line);
    [[nodiscard]] std::vector<std::string> Lines() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::FILE* m_file = nullptr;
};
