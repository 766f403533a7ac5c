#include "uilogic/list_ctrl_logic.h"

#include <algorithm>

void CListCtrlLogic::Init(int controlId)
{
    ControlId = controlId;
    ColumnCount = 0;
    RowCount = 0;
    CurRow = 0;
    CurCol = 0;
}

void CListCtrlLogic::AppendColumnKind(uint8_t kind)
{
    ColumnKinds.push_back(kind);
    ++ColumnCount;
}

uint8_t CListCtrlLogic::ColumnKind(int column) const
{
    if (column < 0 || static_cast<size_t>(column) >= ColumnKinds.size())
        return kEditNone;
    return ColumnKinds[static_cast<size_t>(column)];
}

bool CListCtrlLogic::AddComboItems(int row, int column, const std::string& listText)
{
    stComboBoxData data;
    data.Row = row;
    data.Column = column;
    size_t start = 0;
    while (start < listText.size()) {
        const size_t end = listText.find(';', start);
        if (end == std::string::npos)
            return false; // a part after the last ";"
        const std::string item = listText.substr(start, end - start);
        if (item.size() > stComboBoxData::kMaxItemLength || data.Items.size() == stComboBoxData::kMaxItems)
            return false;
        data.Items.push_back(item);
        start = end + 1;
    }
    // A cell's choices follow the owner's state (a range list after low power is switched on):
    // a new list replaces the cell's old one, so the editor never offers a stale list.
    for (stComboBoxData& existing : ComboData) {
        if (existing.Row == row && existing.Column == column) {
            existing = std::move(data);
            return true;
        }
    }
    ComboData.push_back(std::move(data));
    return true;
}

bool CListCtrlLogic::RemoveComboItems(int row, int column)
{
    const auto found = std::find_if(ComboData.begin(), ComboData.end(),
        [&](const stComboBoxData& data) { return data.Row == row && data.Column == column; });
    if (found == ComboData.end())
        return false;
    ComboData.erase(found);
    return true;
}

const stComboBoxData* CListCtrlLogic::ComboFor(int row, int column) const
{
    for (const stComboBoxData& data : ComboData) {
        if (data.Row == row && data.Column == column)
            return &data;
    }
    return nullptr;
}

void CListCtrlLogic::ResetColours()
{
    const size_t cells = static_cast<size_t>(std::max(ColumnCount, 0)) * static_cast<size_t>(std::max(RowCount, 0));
    BackColours.assign(cells, 0);
    TextColours.assign(cells, 0);
}

int CListCtrlLogic::CellIndex(int row, int column) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return -1;
    const size_t index = static_cast<size_t>(row) * static_cast<size_t>(ColumnCount) + static_cast<size_t>(column);
    return index < BackColours.size() ? static_cast<int>(index) : -1;
}

bool CListCtrlLogic::SetBackColour(int row, int column, uint8_t code)
{
    const int index = CellIndex(row, column);
    if (index < 0)
        return false;
    BackColours[static_cast<size_t>(index)] = code;
    return true;
}

bool CListCtrlLogic::SetTextColour(int row, int column, uint8_t code)
{
    const int index = CellIndex(row, column);
    if (index < 0)
        return false;
    TextColours[static_cast<size_t>(index)] = code;
    return true;
}

uint8_t CListCtrlLogic::BackColour(int row, int column) const
{
    const int index = CellIndex(row, column);
    return index < 0 ? 0 : BackColours[static_cast<size_t>(index)];
}

uint8_t CListCtrlLogic::TextColour(int row, int column) const
{
    const int index = CellIndex(row, column);
    return index < 0 ? 0 : TextColours[static_cast<size_t>(index)];
}

bool CListCtrlLogic::ColourOf(uint8_t code, bool background, Rgb& colour)
{
    switch (code) {
    case 2: colour = { 255, 0, 0 }; return true;
    case 3: colour = { 0, 255, 0 }; return true;
    case 4: colour = { 0, 0, 255 }; return true;
    case 5: colour = { 255, 255, 255 }; return true;
    case 6: colour = { 0, 0, 0 }; return background; // as a text code it is the default black
    case 7: colour = { 255, 255, 0 }; return true;
    case 8: colour = { 192, 192, 192 }; return true;
    case 9: colour = { 210, 210, 210 }; return true;
    default: return false;
    }
}

CellPaint CListCtrlLogic::PaintCell(int row, int column, const CellPaintState& state) const
{
    CellPaint paint;
    paint.Text = kBlack;
    Rgb text;
    if (ColourOf(TextColour(row, column), false, text))
        paint.Text = text;
    const uint8_t back = BackColour(row, column);
    if (ColourOf(back, true, paint.Background))
        return paint;
    const Rgb rowColour = state.Focused ? kRowFocused : kRowUnfocused;
    const Rgb cellColour = state.Focused ? kCellFocused : kCellUnfocused;
    if (column == 0) {
        if (row == CurRow)
            paint.Background = rowColour;
        else
            paint.UseWindowColour = true;
    } else if (row != CurRow) {
        paint.UseWindowColour = true;
    } else if (column == CurCol && back != 1) {
        paint.Background = cellColour;
    } else {
        paint.Background = rowColour;
    }
    return paint;
}

CellPaint CListCtrlLogic::PaintWholeRow(int row) const
{
    CellPaint paint;
    paint.Text = kBlack;
    Rgb text;
    if (ColourOf(TextColour(row, 0), false, text))
        paint.Text = text;
    if (!ColourOf(BackColour(row, 0), true, paint.Background))
        paint.UseWindowColour = true;
    return paint;
}

int CListCtrlLogic::ColumnAfterHorizontalMove(int delta) const
{
    return std::clamp(CurCol + delta, 1, std::max(ColumnCount - 1, 1));
}

int CListCtrlLogic::RowAfterVerticalMove(int delta, int rowCount) const
{
    const int row = CurRow + delta;
    if (row < 0 || row >= rowCount)
        return -1;
    return row;
}
