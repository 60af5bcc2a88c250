#include "document/CPenTables.h"

#include <algorithm>

#include "document/CDesign.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CDrawRecArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr char libraryTitle[] = "Width";
constexpr char allNetsTitle[] = "Select Default Pen Width";
constexpr char netTitle[] = "Pen width for net:";
constexpr char linesTitle[] = "Line Width";
constexpr char changeNetQuestion[] = "Change Pen width at this Net?";
constexpr char changeAllQuestion[] = "Change Pen diameter on all Nets?";

bool HasRoom(const std::vector<uint16_t>& table, int32_t width)
{
    return FindPenWidth(table, width) >= 0 || int32_t(table.size()) < CPenTables::maxEntries;
}

bool Ask(const char* question)
{
    return CServices::Messages().MessageBox(question, CResString::Load(IDS_APP_TITLE), MB_OKCANCEL,
                                            MB_ICONQUESTION) == IDOK;
}

} // namespace

CPenTables::CPenTables(CDesign& design, const CEditSession& session, CDocumentEditing& editing,
                       CDocumentWindows& windows, CShapeLib* library, bool allNets)
    : m_design(design), m_session(session), m_editing(editing), m_windows(windows),
      m_library(library), m_allNets(allNets)
{
}

CPenTables::Kind CPenTables::GetKind() const
{
    if (m_library)
        return Kind::library;
    const int32_t layer = m_session.GetWorkLayer();
    return IsCopperLayer(layer) || layer == LAYER_DRILL ? Kind::copper : Kind::lines;
}

int32_t CPenTables::GetUnit() const
{
    return m_session.GetUnit();
}

std::string CPenTables::GetTitle() const
{
    switch (GetKind()) {
    case Kind::library:
        return std::string(libraryTitle) + " " + m_library->GetName();
    case Kind::copper:
        if (m_allNets)
            return allNetsTitle;
        return std::string(netTitle) + " " + m_design.GetNets().GetCurrentNet()->GetName();
    case Kind::lines:
        break;
    }
    return linesTitle;
}

const std::vector<uint16_t>& CPenTables::Table() const
{
    switch (GetKind()) {
    case Kind::library:
        return m_library->GetPens();
    case Kind::copper:
        return m_design.GetNets().GetNet(0)->GetPenTable();
    case Kind::lines:
        break;
    }
    return m_design.GetLines().GetPenTable();
}

std::vector<int32_t> CPenTables::GetRows() const
{
    const std::vector<uint16_t>& table = Table();
    const bool copper = GetKind() == Kind::copper;
    const CNet& net = *m_design.GetNets().GetCurrentNet();
    std::vector<int32_t> rows;
    for (int32_t pen = 1; pen < int32_t(table.size()); ++pen) {
        if (!copper ||
            (table[size_t(pen)] >= net.GetMinWidth() && table[size_t(pen)] <= net.GetMaxWidth()))
            rows.push_back(pen);
    }
    return rows;
}

int32_t CPenTables::PenOf(int32_t row) const
{
    const std::vector<int32_t> rows = GetRows();
    return row >= 0 && row < int32_t(rows.size()) ? rows[size_t(row)] : -1;
}

int32_t CPenTables::RowOfWidth(int32_t width) const
{
    const std::vector<int32_t> rows = GetRows();
    const std::vector<uint16_t>& table = Table();
    for (size_t r = 0; r < rows.size(); ++r) {
        if (table[size_t(rows[r])] == width)
            return int32_t(r);
    }
    return -1;
}

int32_t CPenTables::GetWidth(int32_t row) const
{
    const int32_t pen = PenOf(row);
    return pen < 0 ? 0 : Table()[size_t(pen)];
}

int32_t CPenTables::GetUseCount(int32_t row) const
{
    const int32_t pen = PenOf(row);
    if (pen < 0)
        return 0;
    switch (GetKind()) {
    case Kind::library:
        return m_library->CountPenUse(pen);
    case Kind::copper:
        return m_design.GetNets().CountWidthUse(0, GetWidth(row));
    case Kind::lines:
        break;
    }
    return m_design.GetLines().CountPenUse(pen);
}

std::string CPenTables::GetRowText(int32_t row) const
{
    return CNumberText::FormatInt(row + 1) + ",  " +
           CLengthText::FormatLength(m_session.GetUnit(), GetWidth(row)) + ",  " +
           CNumberText::FormatInt(GetUseCount(row));
}

int32_t CPenTables::GetCurrentRow() const
{
    int32_t pen = 0;
    switch (GetKind()) {
    case Kind::library:
        pen = m_library->GetCurPen();
        break;
    case Kind::copper:
        pen = m_design.GetNets().GetNet(0)->GetCurrentPen();
        break;
    case Kind::lines:
        pen = m_design.GetLines().GetCurrentPen();
        break;
    }
    const std::vector<int32_t> rows = GetRows();
    const auto found = std::find(rows.begin(), rows.end(), pen);
    return found == rows.end() ? -1 : int32_t(found - rows.begin());
}

bool CPenTables::IsCurrentNetBoard() const
{
    return m_session.GetCurrentNetIndex() == 0;
}

bool CPenTables::CanAdd() const
{
    return int32_t(Table().size()) < maxEntries;
}

bool CPenTables::CanDelete(int32_t row) const
{
    if (PenOf(row) < 0 || GetUseCount(row) != 0)
        return false;
    switch (GetKind()) {
    case Kind::library:
        return false;
    case Kind::copper:
        return IsCurrentNetBoard();
    case Kind::lines:
        break;
    }
    return true;
}

void CPenTables::Select(int32_t row)
{
    const int32_t pen = PenOf(row);
    if (pen < 0)
        return;
    const int32_t width = GetWidth(row);
    if (GetKind() == Kind::library) {
        m_library->FindOrAddPen(width);
    } else {
        if (GetKind() == Kind::copper)
            m_design.GetNets().GetNet(0)->SetCurrentPen(pen);
        m_editing.SelectPen(pen);
        if (m_session.IsMode(ID_EDIT_SELECT_MODE)) {
            m_design.GetLines().SetPenWidthOnSelection(width);
            m_design.GetNets().SetWidthOfSelection(width);
        } else if (GetKind() == Kind::lines) {
            m_design.GetLines().SetPenWidthOnSelection(width);
        }
    }
    m_windows.RedrawBoardViews();
}

int32_t CPenTables::Accept(int32_t width) const
{
    const int32_t unit = m_session.GetUnit();
    if (!CFieldRange{minWidth, maxWidth}.TakeLength(unit, width, "Pen width"))
        return -1;
    if (GetKind() != Kind::copper)
        return width;
    const CNet& net = *m_design.GetNets().GetCurrentNet();
    const int32_t low = net.GetMinWidth();
    const int32_t high = std::max(low, net.GetMaxWidth());
    const int32_t taken = std::clamp(width, low, high);
    if (taken != width)
        CServices::Messages().MessageBox(
            CResString::LoadWith(IDS_VALUE_BROUGHT_WITHIN,
                                 "Pen width " + CLengthText::FormatLength(unit, width) +
                                     ", outside net " + net.GetName() + "'s widths " +
                                     CLengthText::FormatLength(unit, low) + " to " +
                                     CLengthText::FormatLength(unit, high) + ", is " +
                                     CLengthText::FormatLength(unit, taken)),
            "", MB_OK, MB_ICONEXCLAMATION);
    return taken;
}

int32_t CPenTables::Add(int32_t typed)
{
    const int32_t width = Accept(typed);
    if (width < 0)
        return GetCurrentRow();
    CDrawRecArray& lines = m_design.GetLines();
    switch (GetKind()) {
    case Kind::copper:
        if (AddCopper(width) < 0)
            return GetCurrentRow();
        break;
    case Kind::library:
        if (!HasRoom(m_library->GetPens(), width) || !HasRoom(lines.GetPenTable(), width))
            return GetCurrentRow();
        m_library->FindOrAddPen(width);
        lines.FindOrAddPen(width);
        break;
    case Kind::lines:
        if (!HasRoom(lines.GetPenTable(), width))
            return GetCurrentRow();
        lines.FindOrAddPen(width);
        break;
    }
    m_windows.RedrawBoardViews();
    return RowOfWidth(width);
}

int32_t CPenTables::AddCopper(int32_t width)
{
    CNetArray& nets = m_design.GetNets();
    CNet& board = *nets.GetNet(0);
    if (board.FindPen(width) >= 1)
        return -1;
    CNet& net = *nets.GetCurrentNet();
    // Both tables take the width or neither does.
    if (!HasRoom(board.GetPenTable(), width) || !HasRoom(net.GetPenTable(), width))
        return -1;
    board.AddPen(width);
    board.MergePens();
    if (&net != &board) {
        net.AddPen(width);
        net.MergePens();
    }
    return board.FindPen(width);
}

int32_t CPenTables::Change(int32_t row, int32_t typed)
{
    const int32_t oldWidth = GetWidth(row);
    const int32_t width = Accept(typed);
    if (PenOf(row) < 0 || width < 0 || width == oldWidth)
        return row;
    switch (GetKind()) {
    case Kind::copper:
        if (ChangeCopper(oldWidth, width) < 0)
            return row;
        break;
    case Kind::library:
        ReplaceLibraryWidth(oldWidth, width);
        break;
    case Kind::lines:
        ReplaceLineWidth(oldWidth, width);
        break;
    }
    m_windows.RedrawBoardViews();
    const int32_t changed = RowOfWidth(width);
    return changed >= 0 ? changed : row;
}

int32_t CPenTables::ChangeCopper(int32_t oldWidth, int32_t width)
{
    CNetArray& nets = m_design.GetNets();
    CNet& board = *nets.GetNet(0);
    if (!IsCurrentNetBoard()) {
        CNet& net = *nets.GetCurrentNet();
        if (!HasRoom(board.GetPenTable(), width) || !HasRoom(net.GetPenTable(), width))
            return -1;
        if (net.CountPenUse(oldWidth) > 0 && !Ask(changeNetQuestion))
            return -1;
        if (net.FindPen(oldWidth) >= 1)
            net.ReplacePenWidth(oldWidth, width);
        else
            net.AddPen(width);
        board.AddPen(width);
        net.MergePens();
        board.MergePens();
        return 0;
    }
    if (nets.CountWidthUse(0, oldWidth) == 0) {
        board.ReplacePenWidth(oldWidth, width);
        board.MergePens();
        return 0;
    }
    if (!Ask(changeAllQuestion))
        return -1;
    nets.ReplacePenWidthAll(oldWidth, width);
    return 0;
}

void CPenTables::ReplaceLineWidth(int32_t oldWidth, int32_t width)
{
    CDrawRecArray& lines = m_design.GetLines();
    std::vector<uint16_t> table = lines.GetPenTable();
    std::replace(table.begin() + 1, table.end(), uint16_t(oldWidth), uint16_t(width));
    lines.SetPenTable(table);
    lines.SortPens();
}

// The library's outline keeps its pen numbers; the board's drawn lines are not the library's.
void CPenTables::ReplaceLibraryWidth(int32_t oldWidth, int32_t width)
{
    std::vector<uint16_t> table = m_library->GetPens();
    std::replace(table.begin() + 1, table.end(), uint16_t(oldWidth), uint16_t(width));
    m_library->SetPens(table);
    m_library->SortPens();
}

int32_t CPenTables::Delete(int32_t row)
{
    if (!CanDelete(row))
        return row;
    const int32_t pen = PenOf(row);
    if (GetKind() == Kind::copper)
        m_design.GetNets().GetNet(0)->DeletePen(pen);
    else
        m_design.GetLines().RemovePen(pen);
    m_windows.RedrawBoardViews();
    // The entry above, or the new first entry when the first one went.
    const int32_t count = int32_t(GetRows().size());
    return count == 0 ? -1 : std::clamp(row - 1, 0, count - 1);
}

void CPenTables::Confirm(int32_t row)
{
    if (!m_allNets || PenOf(row) < 0)
        return;
    const int32_t width = GetWidth(row);
    CNetArray& nets = m_design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n)
        nets.GetNet(n)->SelectPenByWidth(width);
}
