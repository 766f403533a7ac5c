#include "recording/workbook_journal.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <unistd.h>

#include "settings/file_io.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kMagic = "VX6207App workbook journal 1";

void Escape(std::string& out, const std::string& text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
}

// Splits a journal line at TABs and undoes the escapes of each field.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back().push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next);
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

} // namespace

CWorkbookJournal::~CWorkbookJournal()
{
    Close(false);
}

bool CWorkbookJournal::ReadName(std::ifstream& file, std::string& name)
{
    std::string line;
    if (!file || !std::getline(file, line) || line.rfind(kMagic, 0) != 0 || file.eof())
        return false;
    name = line.size() > std::strlen(kMagic) + 1 ? line.substr(std::strlen(kMagic) + 1) : std::string();
    return true;
}

std::string CWorkbookJournal::NameOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string name;
    return ReadName(file, name) ? name : std::string();
}

bool CWorkbookJournal::ForEachRow(const std::string& path, const std::function<bool(const JournalRow&)>& onRow)
{
    std::ifstream file(path, std::ios::binary);
    std::string line;
    if (!ReadName(file, line))
        return false;
    while (std::getline(file, line)) {
        if (file.eof())
            break; // no line end: the row was being written when the program ended
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() % 2 == 0 || (fields[0] != "H" && fields[0] != "R"))
            continue;
        JournalRow row;
        row.Header = fields[0] == "H";
        for (size_t i = 1; i + 1 < fields.size(); i += 2)
            row.Cells.emplace_back(fields[i + 1], fields[i]);
        if (!onRow(row))
            return true;
    }
    return true;
}

bool CWorkbookJournal::Create(const std::string& path)
{
    Close(false);
    m_path = path;
    m_pending = path + ".new";
    // A name no other journal has: the completed workbook records it, so that a journal left by a
    // program ended between putting the workbook in place and removing the journal is known as
    // already applied.
    std::random_device random;
    m_name = FormatC("%08x%08x%08x", random(), random(), random());
    m_fd = OpenFd(m_pending, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND);
    if (m_fd < 0 || LockFd(m_fd) == LockOutcome::Busy)
        return false;
    return AppendWhole(m_fd, std::string(kMagic) + "\t" + m_name + "\n");
}

bool CWorkbookJournal::Commit()
{
    if (m_fd < 0 || !SyncFd(m_fd) || !RenameOver(m_pending, m_path))
        return false;
    m_pending.clear();
    return true;
}

bool CWorkbookJournal::Append(const JournalRow& row)
{
    if (m_fd < 0)
        return false;
    std::string line = row.Header ? "H" : "R";
    for (const auto& [text, format] : row.Cells) {
        line.push_back('\t');
        Escape(line, format);
        line.push_back('\t');
        Escape(line, text);
    }
    line.push_back('\n');
    return AppendWhole(m_fd, line);
}

void CWorkbookJournal::Close(bool remove)
{
    if (m_fd < 0)
        return;
    // Removed before the lock goes: no other capture may open the journal while it still holds rows.
    if (m_pending.empty() && remove)
        std::remove(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
    if (!m_pending.empty())
        std::remove(m_pending.c_str()); // never put in place: the journal it was to replace stays
    m_pending.clear();
}
