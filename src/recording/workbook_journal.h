#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

// One row as the workbook recorders write it: each cell's text with its number format (empty:
// none), and whether it is an acquisition's header row.
struct JournalRow {
    bool Header = false;
    std::vector<std::pair<std::string, std::string>> Cells; // text, format
};

// The journal beside a workbook being written: every row is handed to the system as it is
// recorded, so that a killed program leaves them behind even though the workbook itself is only
// written when it is completed. A completed workbook removes its journal; a journal found later
// belongs to an interrupted capture and its rows are restored into the workbook.
class CWorkbookJournal {
public:
    CWorkbookJournal() = default;
    ~CWorkbookJournal();
    CWorkbookJournal(const CWorkbookJournal&) = delete;
    CWorkbookJournal& operator=(const CWorkbookJournal&) = delete;

    static std::string PathFor(const std::string& workbook) { return workbook + ".journal"; }

    // Hands every whole row of the journal at `path` to `onRow`, in order; a row cut short by the
    // interruption is left out. False when there is no journal there.
    [[nodiscard]] static bool ForEachRow(const std::string& path, const std::function<bool(const JournalRow&)>& onRow);

    // The name of the journal at `path` (see Create); empty when there is none.
    static std::string NameOf(const std::string& path);

    // Starts a new journal that will replace the one at `path` when Commit is called.
    [[nodiscard]] bool Create(const std::string& path);
    // Makes the rows written so far durable and puts the journal in its place.
    [[nodiscard]] bool Commit();
    [[nodiscard]] bool Append(const JournalRow& row);
    // Closes the journal; `remove` deletes it (its workbook is complete).
    void Close(bool remove);
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Name() const { return m_name; }

private:
    static bool ReadName(std::ifstream& file, std::string& name);

    int m_fd = -1; // locked (LockFd) while open: a journal being written is never restored by another capture
    std::string m_name;
    std::string m_path;
    std::string m_pending;
};
