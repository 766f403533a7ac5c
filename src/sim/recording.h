#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A recording of sessions with an instrument, as text with one entry a line:
//   KIND MS TEXT
// KIND is '+' (a client connected; no text), '>' (a line from the client, without its line end),
// '<' (a line from the instrument, which ended it with CR LF) or '.' (bytes from the instrument
// without a CR LF at their end: a line ended otherwise, or the rest when the connection closed).
// MS counts milliseconds from the start of the recording. TEXT keeps printable ASCII as it is and
// writes a backslash as \\ and any other byte as \xHH. Lines starting with '#' are comments.
enum class ERecordKind : char { Connect = '+', Request = '>', Reply = '<', Fragment = '.' };

struct SimRecordEntry {
    ERecordKind Kind = ERecordKind::Request;
    int64_t Ms = 0;
    std::string Bytes; // unescaped
};

[[nodiscard]] std::string EscapeRecorded(std::string_view bytes);
// False when the text holds a backslash that starts no escape.
[[nodiscard]] bool UnescapeRecorded(std::string_view text, std::string& bytes);

// One entry as a line of the file (without its line end), and back; false for a malformed line.
[[nodiscard]] std::string FormatRecordEntry(const SimRecordEntry& entry);
[[nodiscard]] bool ParseRecordEntry(std::string_view line, SimRecordEntry& entry);

// Reads a whole recording; on failure error names the line ("t.rec line 3: ...") and entries is empty.
[[nodiscard]] bool ReadRecording(const std::string& path, std::vector<SimRecordEntry>& entries, std::string& error);

// Writes a recording as the exchanges happen, each entry flushed at once so that a killed proxy
// loses nothing it forwarded. Thread-safe.
class CRecordingWriter {
public:
    CRecordingWriter() = default;
    ~CRecordingWriter();
    CRecordingWriter(const CRecordingWriter&) = delete;
    CRecordingWriter& operator=(const CRecordingWriter&) = delete;

    // Creates (or empties) the file; the clock of the entries starts here. onFailure is told once
    // when a later write fails (a full disk): the recording is incomplete from there on.
    [[nodiscard]] bool Open(const std::string& path, std::function<void(const std::string&)> onFailure);
    void Write(ERecordKind kind, std::string_view bytes);

private:
    std::mutex m_mutex;
    std::string m_path;
    std::function<void(const std::string&)> m_onFailure;
    std::FILE* m_file = nullptr;
    bool m_failed = false;
    std::chrono::steady_clock::time_point m_start;
};
