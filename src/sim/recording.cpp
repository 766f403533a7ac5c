#include "sim/recording.h"

#include <fstream>

#include "settings/numeric_locale.h"

namespace {

constexpr const char* kFileHeading = "# vx6207-sim recording: KIND MS TEXT (+ connect, > request, < reply, . bytes)";

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool KnownKind(char c)
{
    for (const ERecordKind kind :
        { ERecordKind::Connect, ERecordKind::Request, ERecordKind::Reply, ERecordKind::Fragment }) {
        if (c == static_cast<char>(kind))
            return true;
    }
    return false;
}

} // namespace

std::string EscapeRecorded(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            text += "\\\\";
        else if (byte >= 0x20 && byte < 0x7F)
            text += c;
        else
            text += FormatC("\\x%02X", byte);
    }
    return text;
}

bool UnescapeRecorded(std::string_view text, std::string& bytes)
{
    bytes.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0
            && HexDigit(text[i + 3]) >= 0) {
            bytes += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

std::string FormatRecordEntry(const SimRecordEntry& entry)
{
    std::string line = FormatC("%c %lld", static_cast<char>(entry.Kind), static_cast<long long>(entry.Ms));
    if (entry.Kind != ERecordKind::Connect)
        line += " " + EscapeRecorded(entry.Bytes);
    return line;
}

bool ParseRecordEntry(std::string_view line, SimRecordEntry& entry)
{
    if (line.size() < 3 || !KnownKind(line[0]) || line[1] != ' ')
        return false;
    entry.Kind = static_cast<ERecordKind>(line[0]);
    const std::string_view rest = line.substr(2);
    const size_t space = rest.find(' ');
    int64_t ms = 0;
    if (!ParseInt64C(rest.substr(0, space), ms) || ms < 0)
        return false;
    entry.Ms = ms;
    const std::string_view text = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    if (entry.Kind == ERecordKind::Connect) {
        entry.Bytes.clear();
        return text.empty();
    }
    return UnescapeRecorded(text, entry.Bytes);
}

bool ReadRecording(const std::string& path, std::vector<SimRecordEntry>& entries, std::string& error)
{
    entries.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // the file may have been through an editor that ends lines with CR LF
        if (line.empty() || line.front() == '#')
            continue;
        SimRecordEntry entry;
        if (!ParseRecordEntry(line, entry)) {
            error = FormatC("%s line %d: not a recording entry (KIND MS TEXT)", path.c_str(), number);
            entries.clear();
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

CRecordingWriter::~CRecordingWriter()
{
    if (m_file != nullptr)
        (void)std::fclose(m_file); // every entry was flushed when written
}

bool CRecordingWriter::Open(const std::string& path, std::function<void(const std::string&)> onFailure)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
    m_onFailure = std::move(onFailure);
    m_file = std::fopen(path.c_str(), "wb");
    m_start = std::chrono::steady_clock::now();
    m_failed = m_file == nullptr || std::fprintf(m_file, "%s\n", kFileHeading) < 0 || std::fflush(m_file) != 0;
    return !m_failed;
}

void CRecordingWriter::Write(ERecordKind kind, std::string_view bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_file == nullptr || m_failed)
        return;
    SimRecordEntry entry;
    entry.Kind = kind;
    entry.Ms
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count();
    entry.Bytes = std::string(bytes);
    const std::string line = FormatRecordEntry(entry) + "\n";
    if (std::fwrite(line.data(), 1, line.size(), m_file) == line.size() && std::fflush(m_file) == 0)
        return;
    m_failed = true; // the entries before this one are all in the file; the client is still served
    if (m_onFailure)
        m_onFailure(m_path + ": the recording cannot be written any further; it ends before this point");
}
