#include "dialogs/CTableGrid.h"

#include <algorithm>

#include "document/CViewCommandHost.h"
#include "framework/CResString.h"
#include "framework/qt/CQtText.h"
#include "gridctrl/CGridSheetInfo.h"
#include "resources/CommandIds.h"

namespace {

constexpr int headingHeight = 16;
constexpr int rowHeight = 17;
constexpr int fontHeight = 15;
// What the normal cell type adds to a text's width when it measures its best size.
constexpr int cellTextMargin = 6;
constexpr int minColWidth = 10;
constexpr int colWidthMargin = 15;

QFont TableFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(fontHeight);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

CTableGrid::CTableGrid(CViewCommandHost& view, QWidget* parent)
    : CGridCtrl(parent), m_view(view), m_font(TableFont()), m_metrics(m_font)
{
    for (size_t ch = 0; ch < m_asciiAdvance.size(); ++ch)
        m_asciiAdvance[ch] = m_metrics.horizontalAdvance(QChar(char16_t(ch)));
}

CTableGrid::~CTableGrid() = default;

std::vector<std::string> CTableGrid::SplitAtCommas(std::string_view text)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        fields.emplace_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

void CTableGrid::ReportChanged()
{
    m_view.OnCommand(m_dialogId, ID_DRAW_REDRAW);
}

int CTableGrid::TextWidth(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    // A large table has hundreds of thousands of texts: their widths are added up from the
    // characters' advances, which leaves out kerning (a pixel or two that the margin takes).
    int width = 0;
    for (const QChar ch : text) {
        if (ch.unicode() >= m_asciiAdvance.size())
            return m_metrics.horizontalAdvance(text) + cellTextMargin;
        width += m_asciiAdvance[ch.unicode()];
    }
    return width + cellTextMargin;
}

void CTableGrid::SetText(int col, int row, const std::string& text)
{
    const QString shown = CQtText::FromDesignText(text);
    SetCellText(col, row, shown);
    if (col >= 0 && col < int(m_widest.size()))
        m_widest[size_t(col)] = std::max(m_widest[size_t(col)], TextWidth(shown));
}

void CTableGrid::SetRowTexts(int row, const std::vector<std::string>& texts)
{
    const int count = std::min(int(texts.size()), GetNumberCols());
    for (int col = 0; col < count; ++col)
        SetText(col, row, texts[size_t(col)]);
}

std::string CTableGrid::GetText(int col, int row)
{
    return CQtText::ToDesignText(GetCellText(col, row));
}

void CTableGrid::MoveToText(int col, const std::string& text)
{
    int row = 0;
    if (FindFirst(CQtText::FromDesignText(text), col, row, 0) == GRID_OK)
        MoveToCell(col, row);
}

void CTableGrid::SetupColumns(uint32_t headingsId, int sortCol, bool ascending, bool sorting)
{
    m_sortCol = sortCol;
    m_ascending = ascending;
    m_sorting = sorting;
    // The font the system finds for the table's may be taller than the rows were made for: a
    // row that cut its text off would hide underscores and the feet of the digits.
    const int textHeight = m_metrics.height();
    SetTopHeadingHeight(std::max(headingHeight, textHeight + 3));
    SetDefFont(&m_font);
    SetDefRowHeight(std::max(rowHeight, textHeight + 3));
    SetSheetOption(0);
    SetHScrollMode(1);
    SetVScrollMode(1);
    m_sortMarkType = AddCellType(&m_sortMark);

    const std::vector<std::string> headings = SplitAtCommas(CResString::Load(headingsId));
    SetNumberCols(int(headings.size()), 0);
    m_widest.assign(headings.size(), 0);
    for (int col = 0; col < int(headings.size()); ++col) {
        SetText(col, -1, headings[size_t(col)]);
        SetColWidth(col, m_widest[size_t(col)]);
    }
}

void CTableGrid::SetRowCount(int rows)
{
    SetNumberRows(rows, 0);
}

void CTableGrid::FillRows(const std::vector<CTableRow>& rows)
{
    SetRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const CTableRow& texts = rows[size_t(row)];
        SetRowTexts(row, texts.cells);
        for (int col = 0; col < GetNumberCols() && col < 32; ++col)
            if (texts.rightAligned & (1u << col))
                SetCellAlignment(col, row, GA_RIGHT);
    }
}

void CTableGrid::FitColumns()
{
    for (int col = 0; col < int(m_widest.size()); ++col)
        SetColWidth(col, std::max(m_widest[size_t(col)], minColWidth) + colWidthMargin);
}

void CTableGrid::FinishSetup(int lockedCols)
{
    LockColumns(std::min(lockedCols, GetNumberCols()));
    SetSheetMode(2);
    SetSideHeadingWidth(0);
}

void CTableGrid::SetSortMark(int col, bool shown)
{
    SetCellTypeIndex(col, -1, shown ? m_sortMarkType : 0);
    SetCellTypeParam(col, -1, m_ascending ? sortMarkAscending : sortMarkDescending);
    RedrawCell(col, -1);
}

void CTableGrid::SortOnHeading(int col)
{
    if (!m_sorting || col < 0 || col >= GetNumberCols())
        return;
    SetSortMark(m_sortCol, false);
    if (col != m_sortCol) {
        m_sortCol = col;
        m_ascending = true;
    } else {
        m_ascending = !m_ascending;
    }
    SortBy(col, m_ascending ? GRID_SORT_ASCENDING : GRID_SORT_DESCENDING);
    SetSortMark(col, true);
    RedrawAll();
}

int CTableGrid::GetTableWidth() const
{
    int width = GetSheet()->m_sideHeadingWidth;
    for (int col = 0; col < GetNumberCols(); ++col)
        width += GetColWidth(col);
    return width;
}

int CTableGrid::GetTableHeight() const
{
    const CGridSheetInfo& sheet = *GetSheet();
    if (sheet.m_uniformRowHeight)
        return sheet.m_topHeadingHeight + sheet.m_numRows * sheet.m_defRowHeight;
    int height = sheet.m_topHeadingHeight;
    for (int row = 0; row < sheet.m_numRows; ++row)
        height += GetRowHeight(row);
    return height;
}

void CTableGrid::OnFetchCell(int col, int row, CGridCell& cell)
{
    if (col < 0 && row >= 0)
        cell.SetText(QString::number(row + 1));
}

void CTableGrid::OnHeadingClick(int col, int /*row*/, int down, const CRect& /*rect*/,
                                CPoint /*point*/, int /*processed*/)
{
    if (down)
        SortOnHeading(col);
}

int CTableGrid::CompareMissing(const CGridCell* cell1, const CGridCell* cell2)
{
    if (cell1 == nullptr)
        return cell2 != nullptr ? -1 : 0;
    if (cell2 == nullptr)
        return 1;
    return 2;
}

int CTableGrid::CompareNumbers(const CGridCell& cell1, const CGridCell& cell2, int flags)
{
    const double a = cell1.GetNumber();
    const double b = cell2.GetNumber();
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return flags == GRID_SORT_ASCENDING ? order : -order;
}

int CTableGrid::CompareNumberCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    const int missing = CompareMissing(cell1, cell2);
    return missing != 2 ? missing : CompareNumbers(*cell1, *cell2, flags);
}

int CTableGrid::CompareTexts(const CGridCell& cell1, const CGridCell& cell2, int flags)
{
    const bool ascending = flags == GRID_SORT_ASCENDING;
    const bool empty1 = cell1.GetTextLength() == 0;
    const bool empty2 = cell2.GetTextLength() == 0;
    if (empty1 || empty2) {
        if (empty1 && empty2)
            return 0;
        return (empty1 ? 1 : -1) * (ascending ? 1 : -1);
    }
    const int order = cell1.GetText().compare(cell2.GetText());
    const int sign = order < 0 ? -1 : (order > 0 ? 1 : 0);
    return ascending ? sign : -sign;
}
