#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Edit kinds of a column.
enum ListEditKind : uint8_t {
    kEditNone = 0,
    kEditBox = 1,
    kEditDropDown = 2,
    kEditButton = 3,
    kEditCheck = 4,
};

// Notifications of the editable list to its owner (the numbers are the window messages).
enum ListExMessage : int {
    WM_LISTEX_BUTTON = 1224,
    WM_LISTEX_EDIT_END = 1225,
    WM_LISTEX_ACTIVITY = 1227,
    WM_LISTEX_ROW_CHANGED = 1229,
    WM_LISTEX_CELL_CHANGED = 1230,
};

// Choices of one drop-down cell.
struct stComboBoxData {
    static constexpr size_t kMaxItems = 25;
    static constexpr size_t kMaxItemLength = 14;
    int Row = 0;
    int Column = 0;
    std::vector<std::string> Items;
};

struct Rgb {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    bool operator==(const Rgb&) const = default;
};

// What a cell is painted with.
struct CellPaint {
    Rgb Background;
    Rgb Text;
    bool UseWindowColour = false; // true: the window's own background colour instead of Background
};

// How a cell is being drawn.
struct CellPaintState {
    bool ReadOnly = false;
    bool RowSelected = false; // the row the list reports as selected
    bool Focused = false;     // the list is drawn with the focus state
};

// The widget-free part of the editable list: column kinds, choice lists, the current cell, the
// colour codes and how they resolve to colours, and the navigation rules. The Qt list drives it.
class CListCtrlLogic {
public:
    static constexpr Rgb kSelectedRow { 128, 192, 255 };
    static constexpr Rgb kRowFocused { 128, 192, 255 };
    static constexpr Rgb kRowUnfocused { 156, 156, 156 };
    static constexpr Rgb kCellFocused { 255, 192, 128 };
    static constexpr Rgb kCellUnfocused { 255, 216, 176 };
    static constexpr Rgb kBlack { 0, 0, 0 };

    void Init(int controlId);
    void AppendColumnKind(uint8_t kind);
    uint8_t ColumnKind(int column) const;

    [[nodiscard]] bool AddComboItems(int row, int column, const std::string& listText);
    [[nodiscard]] bool RemoveComboItems(int row, int column);
    const stComboBoxData* ComboFor(int row, int column) const;
    void ClearCombos() { ComboData.clear(); }

    void ResetColours();
    [[nodiscard]] bool SetBackColour(int row, int column, uint8_t code);
    [[nodiscard]] bool SetTextColour(int row, int column, uint8_t code);
    uint8_t BackColour(int row, int column) const;
    uint8_t TextColour(int row, int column) const;

    // Colours of a cell painted one by one.
    CellPaint PaintCell(int row, int column, const CellPaintState& state) const;
    // Colours of an unselected row of an editable list, painted as a whole from its first cell.
    CellPaint PaintWholeRow(int row) const;
    // Whether the row's cells are painted one by one (else as a whole).
    static bool PaintsCellByCell(const CellPaintState& state) { return state.ReadOnly || state.RowSelected; }

    // Navigation: the column Left/Right moves to (never 0, never past the last column).
    int ColumnAfterHorizontalMove(int delta) const;
    // The row Up/Down moves to, or -1 when already at the first or last row.
    int RowAfterVerticalMove(int delta, int rowCount) const;

    static bool ColourOf(uint8_t code, bool background, Rgb& colour);

    int ControlId = 0;
    int ColumnCount = 0;
    int RowCount = 0;
    int CurRow = 0;
    int CurCol = 0;
    int ReadOnly = 0;
    std::vector<uint8_t> ColumnKinds;
    std::vector<stComboBoxData> ComboData;
    std::vector<uint8_t> BackColours;
    std::vector<uint8_t> TextColours;

private:
    int CellIndex(int row, int column) const;
};
