#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

struct zip;

// One cell of a workbook read back: a number (dates and times are numbers with a date format),
// a text or a truth value, with the number format that shows it.
struct WorkbookCell {
    enum class Kind { Number, Text, Boolean };
    int Column = 1; // 1-based
    Kind Type = Kind::Text;
    double Number = 0;
    std::string Text;
    std::string FormatCode; // a custom number format; empty with FormatIndex for a built-in one
    int FormatIndex = 0;    // the built-in number format, 0 = General
};

// Reads an .xlsx workbook (a zip archive of XML parts) sheet by sheet, row by row, so that a
// workbook of any length is read in constant memory. It also judges whether the workbook can be
// carried over into a new file without losing anything a reader of it would miss: values and
// number formats can; formulas, charts, drawings, comments, cell styling and foreign extra sheets
// cannot.
class CWorkbookReader {
public:
    CWorkbookReader() = default;
    ~CWorkbookReader();
    CWorkbookReader(const CWorkbookReader&) = delete;
    CWorkbookReader& operator=(const CWorkbookReader&) = delete;

    // Opens the workbook and reads its structure, strings and styles. False when it is no workbook.
    [[nodiscard]] bool Open(const std::string& path);

    struct Sheet {
        std::string Name;
        std::string Part; // the sheet's XML part inside the archive
    };
    const std::vector<Sheet>& Sheets() const { return m_sheets; }
    // Empty when the workbook can be carried over; else why not.
    const std::string& Problem() const { return m_problem; }

    using RowHandler = std::function<bool(int row, const std::vector<WorkbookCell>& cells)>;
    // Hands every row holding a value to `onRow`, in order. False when the sheet cannot be read,
    // holds something that cannot be carried over (Problem() then says what), or `onRow` refuses.
    [[nodiscard]] bool ReadRows(size_t sheet, const RowHandler& onRow);

    // A custom document property of the workbook (a text); empty when it has none of that name.
    std::string Property(const std::string& name) const;

    // The custom document property that marks a workbook as written by this system's recorders.
    static constexpr const char* kOwnerProperty = "Recorder";
    static constexpr const char* kOwnerValue = "VX6207App";
    // The property naming the journal whose rows the workbook already holds.
    static constexpr const char* kJournalProperty = "Journal";

private:
    struct Style {
        int NumberFormat = 0;
        bool Plain = true; // default font, fill and border
    };
    [[nodiscard]] bool ReadPart(const std::string& part, void* parser, bool required);
    [[nodiscard]] bool ReadStructure();
    void ReadStrings();
    void ReadStyles();
    void ReadProperties();
    void CheckEntries();

    zip* m_archive = nullptr;
    std::vector<Sheet> m_sheets;
    std::vector<std::string> m_strings;
    std::vector<Style> m_styles;
    std::map<int, std::string> m_formatCodes;
    std::map<std::string, std::string> m_properties;
    std::string m_problem;
    friend struct CSheetParser;
};
