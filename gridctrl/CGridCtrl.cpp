#include "gridctrl/CGridCtrl.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "gridctrl/CGridArrowType.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCheckBoxType.h"
#include "gridctrl/CGridCornerButton.h"
#include "gridctrl/CGridDropListBox.h"
#include "gridctrl/CGridDropListType.h"
#include "gridctrl/CGridEdit.h"
#include "gridctrl/CGridHScroll.h"
#include "gridctrl/CGridHintWnd.h"
#include "gridctrl/CGridMemDataSource.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridSheetTabs.h"
#include "gridctrl/CGridSideHeading.h"
#include "gridctrl/CGridTopHeading.h"
#include "gridctrl/CGridVScroll.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kUniformRowLimit = 64000;
constexpr int kMaxCols = 32000;
constexpr int kMaxHeadingSize = 1024;
constexpr int kMaxSheets = 1024;
constexpr int kFirstPopupCommand = 1000;

QString EditText(const QWidget* edit)
{
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(edit))
        return plain->toPlainText();
    if (const auto* line = qobject_cast<const QLineEdit*>(edit))
        return line->text();
    return QString();
}

void SetEditText(QWidget* edit, const QString& text)
{
    if (auto* plain = qobject_cast<QPlainTextEdit*>(edit))
        plain->setPlainText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->setText(text);
}

// Scales heading sizes to a new total, each rounded; the outermost one (the last) takes what
// the others leave, which is also where the whole total goes when the old total was 0.
void ScaleSizes(std::vector<int>& sizes, int oldTotal, int newTotal)
{
    if (sizes.empty())
        return;
    int sum = 0;
    for (size_t i = 0; i + 1 < sizes.size(); ++i) {
        sizes[i] = oldTotal > 0 ? int(std::lround(double(sizes[i]) * newTotal / oldTotal)) : 0;
        sum += sizes[i];
    }
    if (sum > newTotal) {
        for (size_t i = 0; i + 1 < sizes.size(); ++i)
            sizes[i] = 0;
        sum = 0;
    }
    sizes.back() = newTotal - sum;
}

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_builtInTypes.push_back(std::make_unique<CGridCellType>());
    m_builtInTypes.push_back(std::make_unique<CGridDropListType>());
    m_builtInTypes.push_back(std::make_unique<CGridCheckBoxType>());
    m_builtInTypes.push_back(std::make_unique<CGridArrowType>());
    for (const auto& type : m_builtInTypes)
        AddCellType(type.get());
    m_sheets.push_back(std::make_unique<CGridSheetInfo>());
    m_sheet = m_sheets.front().get();
    m_sheet->m_dataSource->SetGrid(this);
    m_menu = new QMenu(this);
    connect(m_menu, &QMenu::triggered, this, [this](QAction* action) {
        const int id = action->data().toInt();
        if (id >= kFirstPopupCommand)
            OnPopupCommand(m_menuCol, m_menuRow, m_menuSection, id);
    });
    CreateChildren();
    RebuildPens();
}

CGridCtrl::~CGridCtrl()
{
    // The children call back into the grid (an edit losing its focus): they go while the grid
    // is still whole.
    m_destroying = true;
    m_editing = false;
    const auto children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        delete child;
}

void CGridCtrl::CreateChildren()
{
    m_cellArea = new CGridCellArea(this);
    m_topHeading = new CGridTopHeading(this);
    m_sideHeading = new CGridSideHeading(this);
    m_corner = new CGridCornerButton(this);
    m_tabs = new CGridSheetTabs(this);
    m_vScroll = new CGridVScroll(this);
    m_hScroll = new CGridHScroll(this);
    m_hint = new CGridHintWnd(this);
    m_edit = new CGridEdit(this);
    m_edit->hide();
}

void CGridCtrl::RebuildPens()
{
    m_highlightPen = QPen(ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)), 1);
    m_shadowPen = QPen(ToQColor(GetSysColor(COLOR_BTNSHADOW)), 1);
}

int CGridCtrl::Create(QWidget* parent, const CRect& rect)
{
    setParent(parent);
    setGeometry(ToQRect(rect));
    show();
    Layout();
    OnGridSetup();
    OnSheetSetup(0);
    Layout();
    return 1;
}

int CGridCtrl::CreateFromDialogItem(QWidget* placeholder)
{
    if (placeholder == nullptr || placeholder->parentWidget() == nullptr)
        return 0;
    placeholder->hide();
    return Create(placeholder->parentWidget(), ToCRect(placeholder->geometry()));
}

// ---------------------------------------------------------------------------------------------
// Cells

CGridDataSource* CGridCtrl::SourceOf(int col, int& sourceCol) const
{
    sourceCol = col;
    if (col >= 0 && col < m_sheet->m_numCols) {
        const CGridSheetInfo::Column& column = m_sheet->m_cols[size_t(col)];
        sourceCol = column.sourceCol;
        if (column.source != nullptr)
            return column.source;
    }
    return m_sheet->m_dataSource;
}

CGridCell* CGridCtrl::GetColDefault(int col)
{
    if (col >= 0 && col < m_sheet->m_numCols && m_sheet->m_cols[size_t(col)].defCell)
        return m_sheet->m_cols[size_t(col)].defCell.get();
    return &m_sheet->m_defCell;
}

int CGridCtrl::GetCell(int col, int row, CGridCell& cell)
{
    cell.Clear();
    cell.CopyFrom(*GetColDefault(col));
    if (row < m_sheet->m_numRows) {
        int sourceCol = col;
        CGridDataSource* source = SourceOf(col, sourceCol);
        source->GetCell(sourceCol, row, cell);
    }
    OnFetchCell(col, row, cell);
    if (CGridCellProvider* provider = cell.GetProvider())
        provider->OnProvideCell(cell);
    if (const CGridCell* style = cell.GetStyleCell(); style != nullptr && style != &cell)
        cell.MergeFrom(*style);
    return GRID_OK;
}

CGridCellType* CGridCtrl::FetchCell(int col, int row, CGridCell& cell)
{
    GetCell(col, row, cell);
    return GetCellType(cell.GetCellTypeIndex());
}

int CGridCtrl::SetCell(int col, int row, const CGridCell& cell)
{
    CGridCell stored(cell);
    OnStoreCell(col, row, stored);
    int sourceCol = col;
    CGridDataSource* source = SourceOf(col, sourceCol);
    return source->SetCell(sourceCol, row, stored);
}

QString CGridCtrl::GetCellText(int col, int row)
{
    CGridCell cell;
    GetCell(col, row, cell);
    const QString text = cell.GetText();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

template <class Apply> int CGridCtrl::ChangeCell(int col, int row, Apply apply)
{
    // Only what the source holds is changed and stored back, so column defaults stay defaults.
    m_scratch.Clear();
    int sourceCol = col;
    SourceOf(col, sourceCol)->GetCell(sourceCol, row, m_scratch);
    apply(m_scratch);
    return SetCell(col, row, m_scratch);
}

int CGridCtrl::SetCellText(int col, int row, const QString& text)
{
    return ChangeCell(col, row, [&text](CGridCell& cell) { cell.SetText(text); });
}

int CGridCtrl::SetCellLabel(int col, int row, const QString& label)
{
    return ChangeCell(col, row, [&label](CGridCell& cell) { cell.SetLabel(label); });
}

int CGridCtrl::SetCellBackColor(int col, int row, COLORREF color)
{
    return ChangeCell(col, row, [color](CGridCell& cell) { cell.SetBackColor(color); });
}

int CGridCtrl::SetCellAlignment(int col, int row, uint16_t alignment)
{
    return ChangeCell(col, row, [alignment](CGridCell& cell) { cell.SetAlignment(alignment); });
}

int CGridCtrl::SetCellTypeIndex(int col, int row, int index)
{
    return ChangeCell(col, row, [index](CGridCell& cell) { cell.SetCellTypeIndex(index); });
}

int CGridCtrl::SetCellTypeParam(int col, int row, int param)
{
    return ChangeCell(col, row, [param](CGridCell& cell) { cell.SetCellTypeParam(param); });
}

// ---------------------------------------------------------------------------------------------
// Rows, columns and sizes

int CGridCtrl::GetNumberRows() const
{
    return m_sheet->m_numRows;
}

int CGridCtrl::GetNumberCols() const
{
    return m_sheet->m_numCols;
}

int CGridCtrl::SetNumberRows(int count, int redraw)
{
    if (count < 0)
        return GRID_OUT_OF_RANGE;
    CGridSheetInfo& sheet = *m_sheet;
    if (count > kUniformRowLimit && !sheet.m_uniformRowHeight)
        SetUniformRowHeight(1);
    if (!sheet.m_uniformRowHeight)
        sheet.m_rowHeights.resize(size_t(count), sheet.m_defRowHeight);
    sheet.m_numRows = count;
    sheet.m_numLockRows = std::min(sheet.m_numLockRows, count);
    Layout();
    sheet.m_topRow = std::clamp(sheet.m_topRow, sheet.m_numLockRows,
                                std::max(sheet.m_numLockRows, sheet.m_maxTopRow));
    sheet.m_selRow = std::min(sheet.m_selRow, count - 1);
    sheet.m_curRow = std::min(sheet.m_curRow, count - 1);
    if (sheet.m_curRow < 0 && count > 0) {
        sheet.m_curRow = 0;
        sheet.m_selRow = 0;
    }
    if (redraw)
        Notify();
    return GRID_OK;
}

int CGridCtrl::SetNumberCols(int count, int redraw)
{
    if (count < 0 || count > kMaxCols)
        return GRID_OUT_OF_RANGE;
    CGridSheetInfo& sheet = *m_sheet;
    const int old = int(sheet.m_cols.size());
    sheet.m_cols.resize(size_t(count));
    for (int col = old; col < count; ++col) {
        CGridSheetInfo::Column& column = sheet.m_cols[size_t(col)];
        column.width = sheet.m_defColWidth;
        column.source = nullptr;
        column.defCell = std::make_unique<CGridCell>(sheet.m_defCell);
        column.sourceCol = col;
    }
    sheet.m_numCols = count;
    sheet.m_numLockCols = std::min(sheet.m_numLockCols, count);
    Layout();
    sheet.m_leftCol = std::clamp(sheet.m_leftCol, sheet.m_numLockCols,
                                 std::max(sheet.m_numLockCols, sheet.m_maxLeftCol));
    sheet.m_selCol = std::min(sheet.m_selCol, count - 1);
    sheet.m_curCol = std::min(sheet.m_curCol, count - 1);
    if (sheet.m_curCol < 0 && count > 0) {
        sheet.m_curCol = 0;
        sheet.m_selCol = 0;
    }
    if (redraw)
        Notify();
    return GRID_OK;
}

int CGridCtrl::AppendRow()
{
    const int result = m_sheet->m_dataSource->AppendRow();
    if (result == 0)
        SetNumberRows(m_sheet->m_numRows + 1);
    return result;
}

int CGridCtrl::AppendCol()
{
    const int result = m_sheet->m_dataSource->AppendCol();
    if (result == 0)
        SetNumberCols(m_sheet->m_numCols + 1);
    return result;
}

int CGridCtrl::SetColWidth(int col, int width)
{
    if (col < 0)
        return SetSideHeadingColWidth(col, width);
    if (col >= m_sheet->m_numCols)
        return GRID_OUT_OF_RANGE;
    if (width < 0)
        return GRID_REFUSED;
    m_sheet->m_cols[size_t(col)].width = width;
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::GetColWidth(int col) const
{
    if (col < 0) {
        const size_t index = size_t(-col - 1);
        return index < m_sheet->m_headingColWidths.size() ? m_sheet->m_headingColWidths[index] : 0;
    }
    return col < m_sheet->m_numCols ? m_sheet->m_cols[size_t(col)].width : 0;
}

int CGridCtrl::SetDefRowHeight(int height)
{
    if (height < 1 || height > kMaxHeadingSize)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_defRowHeight = height;
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::RowHeightAt(int row) const
{
    if (m_sheet->m_uniformRowHeight || row < 0 || row >= int(m_sheet->m_rowHeights.size()))
        return m_sheet->m_defRowHeight;
    return m_sheet->m_rowHeights[size_t(row)];
}

int CGridCtrl::GetRowHeight(int row) const
{
    if (row < 0 || row >= m_sheet->m_numRows)
        return 0;
    return RowHeightAt(row);
}

int CGridCtrl::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= m_sheet->m_numRows)
        return GRID_OUT_OF_RANGE;
    if (m_sheet->m_uniformRowHeight)
        m_sheet->m_defRowHeight = std::clamp(height, 1, kMaxHeadingSize);
    else
        m_sheet->m_rowHeights[size_t(row)] = std::max(height, 0);
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetUniformRowHeight(int on)
{
    m_sheet->m_uniformRowHeight = on ? 1 : 0;
    m_sheet->m_rowHeights.clear();
    if (!on)
        m_sheet->m_rowHeights.assign(size_t(m_sheet->m_numRows), m_sheet->m_defRowHeight);
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetTopHeadingHeight(int height)
{
    if (height < 0 || height > kMaxHeadingSize)
        return GRID_OUT_OF_RANGE;
    ScaleSizes(m_sheet->m_headingRowHeights, m_sheet->m_topHeadingHeight, height);
    m_sheet->m_topHeadingHeight = height;
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetSideHeadingWidth(int width)
{
    if (width < 0 || width > kMaxHeadingSize)
        return GRID_OUT_OF_RANGE;
    ScaleSizes(m_sheet->m_headingColWidths, m_sheet->m_sideHeadingWidth, width);
    m_sheet->m_sideHeadingWidth = width;
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetSideHeadingColCount(int count)
{
    if (count < 1 || count > 64)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_headingColWidths.resize(size_t(count), m_sheet->m_defColWidth);
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetSideHeadingColWidth(int col, int width)
{
    const size_t index = size_t(-col - 1);
    if (col >= 0 || index >= m_sheet->m_headingColWidths.size())
        return GRID_OUT_OF_RANGE;
    if (width < 0 || width > kMaxHeadingSize)
        return GRID_REFUSED;
    m_sheet->m_headingColWidths[index] = width;
    if (m_sheet->m_headingColWidths.size() == 1) {
        m_sheet->m_sideHeadingWidth = width;
        Layout();
    }
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetTopHeadingRowHeight(int row, int height)
{
    const size_t index = size_t(-row - 1);
    if (row >= 0 || index >= m_sheet->m_headingRowHeights.size())
        return GRID_OUT_OF_RANGE;
    if (height < 0 || height > kMaxHeadingSize)
        return GRID_REFUSED;
    m_sheet->m_headingRowHeights[index] = height;
    if (m_sheet->m_headingRowHeights.size() == 1) {
        m_sheet->m_topHeadingHeight = height;
        Layout();
    }
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::GetTopHeadingRowHeight(int row) const
{
    const size_t index = size_t(-row - 1);
    if (row >= 0 || index >= m_sheet->m_headingRowHeights.size())
        return 0;
    return m_sheet->m_headingRowHeights[index];
}

int CGridCtrl::BestFit(int firstCol, int lastCol, int rows, int flags)
{
    if (firstCol < 0 || firstCol >= m_sheet->m_numCols)
        return 1;
    if (lastCol < 0 || lastCol >= m_sheet->m_numCols)
        return 2;
    if (lastCol < firstCol)
        return 3;
    const int limit =
        m_sheet->m_gridWidth > 0 ? m_sheet->m_gridWidth - m_sheet->m_vScrollWidth : 300;
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(font());
    CGridCell cell;
    for (int col = firstCol; col <= lastCol; ++col) {
        int widest = 3;
        auto measure = [&](int row) {
            GetCell(col, row, cell);
            if (m_sheet->m_joinCells && cell.IsPropertySet(GCP_JOIN))
                return;
            QSize size;
            GetCellType(cell.GetCellTypeIndex())->GetBestSize(painter, size, cell);
            widest = std::max(widest, size.width());
        };
        if (flags & 1) {
            for (int row = -1; row >= -int(m_sheet->m_headingRowHeights.size()); --row)
                measure(row);
        }
        const int scan = std::min(rows, m_sheet->m_numRows);
        for (int row = 0; row < scan; ++row)
            measure(row);
        m_sheet->m_cols[size_t(col)].width = widest > limit ? limit : widest + 2;
    }
    Layout();
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::LockColumns(int count)
{
    if (count < 0 || count > m_sheet->m_numCols)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_numLockCols = count;
    m_sheet->m_leftCol = count;
    RecomputeLimits();
    Notify();
    return GRID_OK;
}

int CGridCtrl::LockRows(int count)
{
    if (count < 0 || count > m_sheet->m_numRows)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_numLockRows = count;
    m_sheet->m_topRow = count;
    RecomputeLimits();
    Notify();
    return GRID_OK;
}

int CGridCtrl::MoveColumn(int from, int to, int before)
{
    const int count = m_sheet->m_numCols;
    if (from < 0 || from >= count || to < 0 || to > count || (!before && to >= count))
        return GRID_OUT_OF_RANGE;
    int target = before ? to : to + 1;
    if (target > from)
        --target;
    auto& cols = m_sheet->m_cols;
    CGridSheetInfo::Column moved = std::move(cols[size_t(from)]);
    cols.erase(cols.begin() + from);
    cols.insert(cols.begin() + target, std::move(moved));
    Layout();
    RedrawAll();
    return GRID_OK;
}

// ---------------------------------------------------------------------------------------------
// Sheet settings

int CGridCtrl::AddDataSource(CGridDataSource* source)
{
    if (source == nullptr)
        return -1;
    m_dataSources.push_back(source);
    source->SetGrid(this);
    source->SetId(int(m_dataSources.size()));
    return int(m_dataSources.size());
}

int CGridCtrl::SetDefFont(const QFont* font)
{
    if (font == nullptr)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_defFont = font;
    RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetSheetMode(int mode)
{
    if (mode < 0 || mode > 3)
        return GRID_OUT_OF_RANGE;
    m_sheet->m_drawingMode = mode;
    return GRID_OK;
}

int CGridCtrl::SetSheetOption(int on)
{
    m_sheet->m_sheetOption = on ? 1 : 0;
    if (on)
        RedrawAll();
    return GRID_OK;
}

int CGridCtrl::SetVScrollMode(int mode)
{
    m_sheet->m_vScrollMode = mode;
    m_vScroll->Update(true);
    return GRID_OK;
}

int CGridCtrl::SetHScrollMode(int mode)
{
    m_sheet->m_hScrollMode = mode;
    m_hScroll->Update(true);
    return GRID_OK;
}

void CGridCtrl::EnablePopupMenu(int on)
{
    m_sheet->m_enablePopupMenu = on ? 1 : 0;
}

int CGridCtrl::SetNumberSheets(int count)
{
    if (count < 1 || count > kMaxSheets)
        return GRID_OUT_OF_RANGE;
    const int old = int(m_sheets.size());
    if (count < old) {
        m_sheets.resize(size_t(count));
        if (m_currentSheet >= count) {
            m_currentSheet = -1;
            SetSheetNumber(count - 1);
        }
        return GRID_OK;
    }
    for (int index = old; index < count; ++index) {
        m_sheets.push_back(std::make_unique<CGridSheetInfo>());
        m_sheets.back()->m_dataSource->SetGrid(this);
        CGridSheetInfo* const previous = m_sheet;
        m_sheet = m_sheets.back().get();
        OnSheetSetup(index);
        m_sheet = previous;
    }
    return GRID_OK;
}

int CGridCtrl::SetSheetNumber(int index, int redraw)
{
    if (index < 0 || index >= int(m_sheets.size()))
        return GRID_OUT_OF_RANGE;
    const int tabWidth = m_sheet != nullptr && m_currentSheet >= 0 ? m_sheet->m_tabWidth : 0;
    m_currentSheet = index;
    m_sheet = m_sheets[size_t(index)].get();
    m_sheet->m_tabWidth = tabWidth;
    m_sheet->m_prevLeftCol = -1;
    m_sheet->m_prevTopRow = -1;
    m_cellArea->setFocus();
    Layout();
    if (redraw)
        RedrawAll();
    return GRID_OK;
}

// ---------------------------------------------------------------------------------------------
// Cell types

int CGridCtrl::AddCellType(CGridCellType* type)
{
    if (type == nullptr)
        return -1;
    const int index = int(m_cellTypes.size());
    m_cellTypes.push_back(type);
    type->SetGrid(this, index);
    return index;
}

CGridCellType* CGridCtrl::GetCellType(int index) const
{
    if (index <= 0 || index >= int(m_cellTypes.size()) || m_cellTypes[size_t(index)] == nullptr)
        return m_cellTypes.front();
    return m_cellTypes[size_t(index)];
}

// ---------------------------------------------------------------------------------------------
// Geometry

void CGridCtrl::RecomputeLimits()
{
    CGridSheetInfo& sheet = *m_sheet;
    sheet.m_lockColWidth = 0;
    for (int col = 0; col < sheet.m_numLockCols; ++col)
        sheet.m_lockColWidth += sheet.m_cols[size_t(col)].width;
    sheet.m_lockRowHeight = 0;
    for (int row = 0; row < sheet.m_numLockRows; ++row)
        sheet.m_lockRowHeight += RowHeightAt(row);

    const int height = sheet.m_gridHeight - sheet.m_lockRowHeight;
    sheet.m_maxTopRow = sheet.m_numLockRows;
    int sum = 0;
    for (int row = sheet.m_numRows - 1; row >= sheet.m_numLockRows; --row) {
        sum += RowHeightAt(row);
        if (sum > height)
            break;
        sheet.m_maxTopRow = row;
    }
    if (sheet.m_numRows > 0)
        sheet.m_maxTopRow = std::min(sheet.m_maxTopRow, sheet.m_numRows - 1);

    const int width = sheet.m_gridWidth - sheet.m_lockColWidth;
    sheet.m_maxLeftCol = sheet.m_numLockCols;
    sum = 0;
    for (int col = sheet.m_numCols - 1; col >= sheet.m_numLockCols; --col) {
        sum += sheet.m_cols[size_t(col)].width;
        if (sum > width)
            break;
        sheet.m_maxLeftCol = col;
    }
    if (sheet.m_numCols > 0)
        sheet.m_maxLeftCol = std::min(sheet.m_maxLeftCol, sheet.m_numCols - 1);
    sheet.m_bottomRow = LastFullyVisibleRowFrom(sheet.m_topRow);
    sheet.m_rightCol = LastFullyVisibleColFrom(sheet.m_leftCol);
}

int CGridCtrl::LastFullyVisibleRowFrom(int top) const
{
    const int height = m_sheet->m_gridHeight - m_sheet->m_lockRowHeight;
    int last = top;
    int sum = 0;
    for (int row = top; row < m_sheet->m_numRows; ++row) {
        sum += RowHeightAt(row);
        if (sum > height)
            break;
        last = row;
    }
    return last;
}

int CGridCtrl::LastFullyVisibleColFrom(int left) const
{
    const int width = m_sheet->m_gridWidth - m_sheet->m_lockColWidth;
    int last = left;
    int sum = 0;
    for (int col = left; col < m_sheet->m_numCols; ++col) {
        sum += m_sheet->m_cols[size_t(col)].width;
        if (sum > width)
            break;
        last = col;
    }
    return last;
}

int CGridCtrl::TopRowShowing(int row) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (row < sheet.m_numLockRows)
        return sheet.m_topRow;
    if (row < sheet.m_topRow)
        return row;
    if (row <= LastFullyVisibleRowFrom(sheet.m_topRow))
        return sheet.m_topRow;
    const int height = sheet.m_gridHeight - sheet.m_lockRowHeight;
    int top = row;
    int sum = RowHeightAt(row);
    while (top - 1 >= sheet.m_numLockRows && sum + RowHeightAt(top - 1) <= height) {
        --top;
        sum += RowHeightAt(top);
    }
    return top;
}

int CGridCtrl::LeftColShowing(int col) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (col < sheet.m_numLockCols)
        return sheet.m_leftCol;
    if (col < sheet.m_leftCol)
        return col;
    if (col <= LastFullyVisibleColFrom(sheet.m_leftCol))
        return sheet.m_leftCol;
    const int width = sheet.m_gridWidth - sheet.m_lockColWidth;
    int left = col;
    int sum = sheet.m_cols[size_t(col)].width;
    while (left - 1 >= sheet.m_numLockCols && sum + sheet.m_cols[size_t(left - 1)].width <= width) {
        --left;
        sum += sheet.m_cols[size_t(left)].width;
    }
    return left;
}

bool CGridCtrl::GetColSpan(int col, int& x, int& width) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (col < 0) {
        const int index = -col - 1;
        if (index >= int(sheet.m_headingColWidths.size()))
            return false;
        x = sheet.m_sideHeadingWidth;
        for (int i = 0; i <= index; ++i)
            x -= sheet.m_headingColWidths[size_t(i)];
        width = sheet.m_headingColWidths[size_t(index)];
        return true;
    }
    if (col >= sheet.m_numCols)
        return false;
    if (col < sheet.m_numLockCols) {
        x = 0;
        for (int c = 0; c < col; ++c)
            x += sheet.m_cols[size_t(c)].width;
    } else {
        if (col < sheet.m_leftCol)
            return false;
        x = sheet.m_lockColWidth;
        for (int c = sheet.m_leftCol; c < col; ++c) {
            x += sheet.m_cols[size_t(c)].width;
            if (x >= sheet.m_gridWidth)
                return false;
        }
    }
    width = sheet.m_cols[size_t(col)].width;
    return x < std::max(sheet.m_gridWidth, 1);
}

bool CGridCtrl::GetRowSpan(int row, int& y, int& height) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (row < 0) {
        const int index = -row - 1;
        if (index >= int(sheet.m_headingRowHeights.size()))
            return false;
        y = sheet.m_topHeadingHeight;
        for (int i = 0; i <= index; ++i)
            y -= sheet.m_headingRowHeights[size_t(i)];
        height = sheet.m_headingRowHeights[size_t(index)];
        return true;
    }
    if (row >= sheet.m_numRows)
        return false;
    if (row < sheet.m_numLockRows) {
        y = 0;
        for (int r = 0; r < row; ++r)
            y += RowHeightAt(r);
    } else {
        if (row < sheet.m_topRow)
            return false;
        y = sheet.m_lockRowHeight;
        for (int r = sheet.m_topRow; r < row; ++r) {
            y += RowHeightAt(r);
            if (y >= sheet.m_gridHeight)
                return false;
        }
    }
    height = RowHeightAt(row);
    return y < std::max(sheet.m_gridHeight, 1);
}

bool CGridCtrl::GetCellRect(int col, int row, CRect& rect) const
{
    int x = 0;
    int width = 0;
    int y = 0;
    int height = 0;
    if (!GetColSpan(col, x, width) || !GetRowSpan(row, y, height))
        return false;
    rect = CRect(x, y, x + width, y + height);
    return true;
}

int CGridCtrl::ColFromX(int x) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (x < 0)
        return -1;
    int right = 0;
    for (int col = 0; col < sheet.m_numLockCols; ++col) {
        right += sheet.m_cols[size_t(col)].width;
        if (x < right)
            return col;
    }
    for (int col = sheet.m_leftCol; col < sheet.m_numCols && right <= x; ++col) {
        right += sheet.m_cols[size_t(col)].width;
        if (x < right)
            return col;
    }
    return -1;
}

int CGridCtrl::RowFromY(int y) const
{
    const CGridSheetInfo& sheet = *m_sheet;
    if (y < 0)
        return -1;
    int bottom = 0;
    for (int row = 0; row < sheet.m_numLockRows; ++row) {
        bottom += RowHeightAt(row);
        if (y < bottom)
            return row;
    }
    for (int row = sheet.m_topRow; row < sheet.m_numRows && bottom <= y; ++row) {
        bottom += RowHeightAt(row);
        if (y < bottom)
            return row;
    }
    return -1;
}

bool CGridCtrl::CellFromPoint(CPoint point, int& col, int& row) const
{
    col = -1;
    row = -1;
    if (point.x >= m_sheet->m_gridWidth || point.y >= m_sheet->m_gridHeight)
        return false;
    const int foundCol = ColFromX(point.x);
    const int foundRow = RowFromY(point.y);
    if (foundCol < 0 || foundRow < 0)
        return false;
    col = foundCol;
    row = foundRow;
    return true;
}

void CGridCtrl::Layout()
{
    CGridSheetInfo& sheet = *m_sheet;
    m_redrawEnabled = false;
    const int w = width();
    const int h = height();
    const int s = sheet.m_sideHeadingWidth;
    const int t = sheet.m_topHeadingHeight;
    int k = sheet.m_tabWidth;
    if (k > 0)
        k = std::max(std::min(k, w - s - 30), 4);

    auto colsFitWithin = [&](int room) {
        int sum = 0;
        for (const auto& column : sheet.m_cols) {
            sum += column.width;
            if (sum > room)
                return false;
        }
        return true;
    };
    auto rowsFitWithin = [&](int room) {
        int sum = 0;
        for (int row = 0; row < sheet.m_numRows; ++row) {
            sum += RowHeightAt(row);
            if (sum > room)
                return false;
        }
        return true;
    };
    const bool colsFit = colsFitWithin(w - s);
    const bool rowsFit = rowsFitWithin(h - t);
    const bool tabsShown = k > 0;
    int v = sheet.m_vScrollWidth;
    int b = sheet.m_hScrollHeight;
    if (rowsFit && ((colsFit && !tabsShown) || rowsFitWithin(h - t - b)))
        v = 0;
    if (colsFit && !tabsShown && (rowsFit || colsFitWithin(w - s - v)))
        b = 0;

    CRect cellArea(s, t, w - v, h - b);
    CRect topHeading(s, 0, w - v, t);
    CRect sideHeading(0, t, s, h - b);
    CRect corner(0, 0, s, t);
    CRect vScroll(w - v, 0, w, h - b);
    CRect tabs(0, h - b, k, h);
    CRect hScroll(k, h - b, w - v, h);
    OnLayoutChildren(cellArea, topHeading, sideHeading, corner, vScroll, hScroll, tabs);
    sheet.m_cellAreaRect = cellArea;
    sheet.m_topHeadingRect = topHeading;
    sheet.m_sideHeadingRect = sideHeading;
    sheet.m_cornerRect = corner;
    sheet.m_vScrollRect = vScroll;
    sheet.m_hScrollRect = hScroll;
    sheet.m_tabsRect = tabs;
    sheet.m_gridWidth = int(cellArea.Width());
    sheet.m_gridHeight = int(cellArea.Height());
    auto place = [](QWidget* child, const CRect& rect) {
        child->setGeometry(ToQRect(rect));
        child->setVisible(!rect.IsRectEmpty());
    };
    place(m_cellArea, cellArea);
    place(m_topHeading, topHeading);
    place(m_sideHeading, sideHeading);
    place(m_corner, corner);
    place(m_vScroll, vScroll);
    place(m_hScroll, hScroll);
    place(m_tabs, tabs);
    RecomputeLimits();
    m_vScroll->Update(true);
    m_hScroll->Update(true);
    m_redrawEnabled = true;
}

// ---------------------------------------------------------------------------------------------
// Cursor and view

int CGridCtrl::GetCurrentCol() const
{
    return m_sheet->m_curCol;
}

int CGridCtrl::GetCurrentRow() const
{
    return m_sheet->m_curRow;
}

int CGridCtrl::GetTopRow() const
{
    return m_sheet->m_topRow;
}

int CGridCtrl::GetLeftCol() const
{
    return m_sheet->m_leftCol;
}

int CGridCtrl::CheckRowRange(int& row, bool /*keyboard*/)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (row >= sheet.m_numRows) {
        const int wanted = row - sheet.m_numRows + 1;
        int answer = 0;
        const int result = sheet.m_dataSource->OnAddRowsRequest(sheet.m_numRows, wanted, answer);
        OnPastLastRow(sheet.m_numRows, wanted, result == 0 ? answer : result);
        if (row >= sheet.m_numRows) {
            if (sheet.m_curRow == sheet.m_numRows - 1)
                return GRID_OUT_OF_RANGE;
            row = sheet.m_numRows - 1;
        }
    }
    if (row < 0)
        row = 0;
    return GRID_OK;
}

int CGridCtrl::MoveCurrentRow(int row)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (row == sheet.m_curRow)
        return GRID_OK;
    if (CheckRowRange(row, sheet.m_mouseState == CGridSheetInfo::MS_NONE) != GRID_OK)
        return GRID_OUT_OF_RANGE;
    if (row == sheet.m_curRow)
        return GRID_OK;
    if (!OnCanMoveCell(sheet.m_curCol, sheet.m_curRow, sheet.m_curCol, row))
        return GRID_REFUSED;
    const int top = TopRowShowing(row);
    if (top != sheet.m_topRow &&
        !OnCanScroll(sheet.m_leftCol, sheet.m_leftCol, sheet.m_topRow, top))
        return GRID_REFUSED;
    sheet.m_curRow = row;
    sheet.m_topRow = top;
    Notify();
    return GRID_OK;
}

int CGridCtrl::MoveCurrentCol(int col)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (col == sheet.m_curCol)
        return GRID_OK;
    if (col >= sheet.m_numCols) {
        if (sheet.m_curCol == sheet.m_numCols - 1)
            return GRID_OUT_OF_RANGE;
        col = sheet.m_numCols - 1;
    }
    if (col < 0)
        col = 0;
    if (col == sheet.m_curCol || col >= sheet.m_numCols)
        return col == sheet.m_curCol ? GRID_OK : GRID_OUT_OF_RANGE;
    if (!OnCanMoveCell(sheet.m_curCol, sheet.m_curRow, col, sheet.m_curRow))
        return GRID_REFUSED;
    const int left = LeftColShowing(col);
    if (left != sheet.m_leftCol &&
        !OnCanScroll(sheet.m_leftCol, left, sheet.m_topRow, sheet.m_topRow))
        return GRID_REFUSED;
    sheet.m_curCol = col;
    sheet.m_leftCol = left;
    Notify();
    return GRID_OK;
}

int CGridCtrl::MoveTopRow(int row)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (row == sheet.m_topRow)
        return GRID_OK;
    row = std::clamp(row, sheet.m_numLockRows, std::max(sheet.m_numLockRows, sheet.m_maxTopRow));
    if (row == sheet.m_topRow)
        return GRID_OK;
    if (!OnCanScroll(sheet.m_leftCol, sheet.m_topRow, sheet.m_leftCol, row))
        return GRID_REFUSED;
    sheet.m_topRow = row;
    Notify();
    return GRID_OK;
}

int CGridCtrl::MoveLeftCol(int col)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (col == sheet.m_leftCol)
        return GRID_OK;
    col = std::clamp(col, sheet.m_numLockCols, std::max(sheet.m_numLockCols, sheet.m_maxLeftCol));
    if (col == sheet.m_leftCol)
        return GRID_OK;
    if (!OnCanScroll(sheet.m_leftCol, sheet.m_topRow, col, sheet.m_topRow))
        return GRID_REFUSED;
    sheet.m_leftCol = col;
    Notify();
    return GRID_OK;
}

int CGridCtrl::RowPageTarget(int from, int direction) const
{
    const int height = m_sheet->m_gridHeight - m_sheet->m_lockRowHeight;
    int row = from;
    int sum = 0;
    for (;;) {
        const int next = row + direction;
        if (next < 0)
            break;
        sum += next < m_sheet->m_numRows ? RowHeightAt(next) : m_sheet->m_defRowHeight;
        if (sum > height || m_sheet->m_defRowHeight <= 0)
            break;
        row = next;
    }
    return row == from ? from + direction : row;
}

int CGridCtrl::ColPageTarget(int from, int direction) const
{
    const int width = m_sheet->m_gridWidth - m_sheet->m_lockColWidth;
    int col = from;
    int sum = 0;
    for (;;) {
        const int next = col + direction;
        if (next < 0 || next >= m_sheet->m_numCols)
            break;
        sum += m_sheet->m_cols[size_t(next)].width;
        if (sum > width)
            break;
        col = next;
    }
    return col == from ? from + direction : col;
}

int CGridCtrl::CurrentRowAction(int code)
{
    const int row = m_sheet->m_curRow;
    switch (code) {
    case GM_BACK:
        return MoveCurrentRow(row - 1);
    case GM_FORWARD:
        return MoveCurrentRow(row + 1);
    case GM_PAGE_BACK:
        return MoveCurrentRow(RowPageTarget(row, -1));
    case GM_PAGE_FORWARD:
        return MoveCurrentRow(RowPageTarget(row, 1));
    case GM_FIRST:
        return MoveCurrentRow(0);
    case GM_LAST:
        return MoveCurrentRow(m_sheet->m_numRows - 1);
    default:
        return GRID_OUT_OF_RANGE;
    }
}

int CGridCtrl::CurrentColAction(int code)
{
    const int col = m_sheet->m_curCol;
    switch (code) {
    case GM_BACK:
        return MoveCurrentCol(col - 1);
    case GM_FORWARD:
        return MoveCurrentCol(col + 1);
    case GM_PAGE_BACK:
        return MoveCurrentCol(ColPageTarget(col, -1));
    case GM_PAGE_FORWARD:
        return MoveCurrentCol(ColPageTarget(col, 1));
    case GM_FIRST:
        return MoveCurrentCol(0);
    case GM_LAST:
        return MoveCurrentCol(m_sheet->m_numCols - 1);
    default:
        return GRID_OUT_OF_RANGE;
    }
}

int CGridCtrl::TopRowAction(int code)
{
    const int top = m_sheet->m_topRow;
    switch (code) {
    case GM_BACK:
        return MoveTopRow(top - 1);
    case GM_FORWARD:
        return MoveTopRow(top + 1);
    case GM_PAGE_BACK:
        return MoveTopRow(RowPageTarget(top, -1));
    case GM_PAGE_FORWARD:
        return MoveTopRow(RowPageTarget(top, 1));
    case GM_FIRST:
        return MoveTopRow(m_sheet->m_numLockRows);
    case GM_LAST:
        return MoveTopRow(m_sheet->m_maxTopRow);
    default:
        return GRID_OUT_OF_RANGE;
    }
}

int CGridCtrl::LeftColAction(int code)
{
    const int left = m_sheet->m_leftCol;
    switch (code) {
    case GM_BACK:
        return MoveLeftCol(left - 1);
    case GM_FORWARD:
        return MoveLeftCol(left + 1);
    case GM_PAGE_BACK:
        return MoveLeftCol(ColPageTarget(left, -1));
    case GM_PAGE_FORWARD:
        return MoveLeftCol(ColPageTarget(left, 1));
    case GM_FIRST:
        return MoveLeftCol(m_sheet->m_numLockCols);
    case GM_LAST:
        return MoveLeftCol(m_sheet->m_maxLeftCol);
    default:
        return GRID_OUT_OF_RANGE;
    }
}

int CGridCtrl::MoveToCell(int col, int row)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (col == sheet.m_curCol && row == sheet.m_curRow)
        return GRID_OK;
    if (col < 0 || col >= sheet.m_numCols)
        return GRID_OUT_OF_RANGE;
    if (CheckRowRange(row, false) != GRID_OK)
        return GRID_OUT_OF_RANGE;
    if (col == sheet.m_curCol && row == sheet.m_curRow)
        return GRID_OK;
    if (sheet.m_dataSource->OnCanMoveCell(sheet.m_selCol, sheet.m_selRow, col, row) != 1)
        return GRID_REFUSED;
    if (!OnCanMoveCell(sheet.m_curCol, sheet.m_curRow, col, row))
        return GRID_REFUSED;
    const int top = TopRowShowing(row);
    const int left = LeftColShowing(col);
    if ((top != sheet.m_topRow || left != sheet.m_leftCol) &&
        !OnCanScroll(sheet.m_leftCol, left, sheet.m_topRow, top))
        return GRID_REFUSED;
    sheet.m_curCol = col;
    sheet.m_curRow = row;
    sheet.m_topRow = top;
    sheet.m_leftCol = left;
    Notify();
    return GRID_OK;
}

void CGridCtrl::Notify()
{
    CGridSheetInfo& sheet = *m_sheet;
    // Multi-selection is never switched on here: the selection is the current cell.
    sheet.m_selCol = sheet.m_curCol;
    sheet.m_selRow = sheet.m_curRow;
    const int oldCol = sheet.m_prevSelCol;
    const int oldRow = sheet.m_prevSelRow;
    const int oldLeft = sheet.m_prevLeftCol;
    const int oldTop = sheet.m_prevTopRow;
    sheet.m_prevSelCol = sheet.m_selCol;
    sheet.m_prevSelRow = sheet.m_selRow;
    sheet.m_prevLeftCol = sheet.m_leftCol;
    sheet.m_prevTopRow = sheet.m_topRow;
    const bool colChanged = oldCol != sheet.m_selCol;
    const bool rowChanged = oldRow != sheet.m_selRow;
    if (colChanged) {
        sheet.m_dataSource->OnColChanged(oldCol, sheet.m_selCol);
        OnColChange(oldCol, sheet.m_selCol);
    }
    if (rowChanged) {
        sheet.m_dataSource->OnRowChanged(oldRow, sheet.m_selRow);
        OnRowChange(oldRow, sheet.m_selRow);
    }
    if (colChanged || rowChanged)
        OnCellChange(oldCol, sheet.m_selCol, oldRow, sheet.m_selRow);
    if (oldLeft != sheet.m_leftCol)
        OnLeftColChange(oldLeft, sheet.m_leftCol);
    if (oldTop != sheet.m_topRow)
        OnTopRowChange(oldTop, sheet.m_topRow);
    KeepFindWindowClear();
    if (colChanged || rowChanged) {
        CGridCell cell;
        if (oldCol >= 0 && oldRow >= 0 && oldRow < sheet.m_numRows) {
            GetCell(oldCol, oldRow, cell);
            GetCellType(cell.GetCellTypeIndex())->OnKillFocus(oldCol, oldRow, cell);
        }
        if (sheet.m_selCol >= 0 && sheet.m_selRow >= 0) {
            GetCell(sheet.m_selCol, sheet.m_selRow, cell);
            GetCellType(cell.GetCellTypeIndex())->OnSetFocus(sheet.m_selCol, sheet.m_selRow, cell);
        }
    }
    UpdateChildren();
}

void CGridCtrl::UpdateChildren()
{
    RecomputeLimits();
    m_cellArea->update();
    m_corner->update();
    m_topHeading->Update();
    m_sideHeading->Update();
    m_vScroll->Update();
    m_hScroll->Update();
}

void CGridCtrl::KeepFindWindowClear()
{
    QWidget* window = m_findWindow.data();
    if (window == nullptr || !window->isVisible())
        return;
    CRect cell;
    if (!GetCellRect(m_sheet->m_curCol, m_sheet->m_curRow, cell))
        return;
    const QPoint origin = m_cellArea->mapToGlobal(QPoint(0, 0));
    CRect cellOnScreen(cell.left + origin.x(), cell.top + origin.y(), cell.right + origin.x(),
                       cell.bottom + origin.y());
    CRect place = ToCRect(window->frameGeometry());
    if (m_sheet->m_findWindowPlacement == 1) {
        const int height = int(place.Height());
        place.top = cellOnScreen.bottom + 30;
        place.bottom = place.top + height;
    }
    const CRect overlap = CRect::Intersection(place, cellOnScreen);
    if (!overlap.IsRectEmpty()) {
        const QRect screen = window->screen() != nullptr ? window->screen()->geometry()
                                                         : QRect(0, 0, 1 << 15, 1 << 15);
        // Each way, far enough to clear the whole cell, not only by the size of the overlap
        // (which can leave the window over the cell's other part).
        const int right = cellOnScreen.right + 5 - place.left;
        const int down = cellOnScreen.bottom + 5 - place.top;
        const int left = place.right - cellOnScreen.left + 5;
        const int up = place.bottom - cellOnScreen.top + 5;
        auto shifted = [&place](int x, int y) {
            return CRect(place.left + x, place.top + y, place.right + x, place.bottom + y);
        };
        if (shifted(right, 0).right <= screen.right() + 1)
            place = shifted(right, 0);
        else if (shifted(0, down).bottom <= screen.bottom() + 1)
            place = shifted(0, down);
        else if (shifted(-left, 0).left >= screen.left())
            place = shifted(-left, 0);
        else
            place = shifted(0, -up);
    }
    OnMoveFindWindow(place, cellOnScreen);
    window->move(place.left, place.top);
}

// ---------------------------------------------------------------------------------------------
// Redrawing and painting

void CGridCtrl::RedrawAll()
{
    RecomputeLimits();
    m_cellArea->update();
    m_topHeading->update();
    m_sideHeading->update();
    m_corner->update();
    m_tabs->update();
    m_vScroll->Update(true);
    m_hScroll->Update(true);
}

void CGridCtrl::RedrawCell(int col, int row)
{
    CRect rect;
    if (!GetCellRect(col, row, rect))
        return;
    QWidget* window = col < 0 && row < 0 ? static_cast<QWidget*>(m_corner)
                      : col < 0          ? static_cast<QWidget*>(m_sideHeading)
                      : row < 0          ? static_cast<QWidget*>(m_topHeading)
                                         : static_cast<QWidget*>(m_cellArea);
    window->update(ToQRect(rect));
}

void CGridCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CGridCtrl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(GetSysColor(COLOR_BTNFACE)));
}

void CGridCtrl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (!m_editing)
        m_cellArea->setFocus(event->reason());
}

void CGridCtrl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        for (auto& sheet : m_sheets)
            sheet->m_defCell.SetBackColor(GetSysColor(COLOR_BTNFACE));
        RebuildPens();
    }
}

COLORREF CGridCtrl::OnGetBackColor(int section)
{
    return GetSysColor(section == GS_CELLAREA ? COLOR_WINDOW : COLOR_BTNFACE);
}

void CGridCtrl::OnDrawFocusRect(QPainter& painter, const CRect& rect)
{
    DrawFocusFrame(painter, CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1));
}

int CGridCtrl::OnHintText(int col, int row, int /*section*/, QString& text)
{
    text = QStringLiteral("Col:%1 Row:%2").arg(col).arg(row);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Popup menu

void CGridCtrl::ClearMenu()
{
    m_menu->clear();
}

int CGridCtrl::AddMenuItem(int id, const QString& text)
{
    if (text.isEmpty() || id == -1) {
        m_menu->addSeparator();
        return 0;
    }
    QAction* action = m_menu->addAction(text);
    action->setData(id);
    return 0;
}

int CGridCtrl::ShowPopupMenu(int col, int row, const QPoint& screenPoint, int section)
{
    if (!m_sheet->m_enablePopupMenu)
        return 1;
    if (!OnPopupOpen(col, row, section))
        return 2;
    m_menuCol = col;
    m_menuRow = row;
    m_menuSection = section;
    if (m_menu->isEmpty())
        return 3;
    m_menu->popup(screenPoint);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Find and sort

int CGridCtrl::FindFirst(const QString& text, int& col, int& row, int flags)
{
    int sourceCol = col;
    SourceOf(col, sourceCol);
    const int result = m_sheet->m_dataSource->FindFirst(text, sourceCol, row, flags);
    col = sourceCol;
    return result;
}

int CGridCtrl::FindNext(const QString& text, int& col, int& row, int flags)
{
    int sourceCol = col;
    SourceOf(col, sourceCol);
    const int result = m_sheet->m_dataSource->FindNext(text, sourceCol, row, flags);
    col = sourceCol;
    return result;
}

int CGridCtrl::SortBy(int col, int flags)
{
    return SortByColumns(&col, 1, flags);
}

int CGridCtrl::SortByColumns(const int* cols, int count, int flags)
{
    if (cols == nullptr || count <= 0)
        return GRID_OUT_OF_RANGE;
    std::vector<int> sourceCols(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        SourceOf(cols[i], sourceCols[size_t(i)]);
    const int result = m_sheet->m_dataSource->SortByColumns(sourceCols.data(), count, flags);
    RedrawAll();
    return result;
}

int CGridCtrl::OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    if (flags & GRID_SORT_DESCENDING)
        std::swap(cell1, cell2);
    if (cell1 == nullptr)
        return cell2 != nullptr ? -1 : 0;
    if (cell2 == nullptr)
        return 1;
    if (cell1->GetTextLength() == 0)
        return cell2->GetTextLength() > 0 ? -1 : 0;
    const int type = cell1->GetDataType();
    if (type == 2 || type == 3 || type == 5) {
        const double a = cell1->GetNumber();
        const double b = cell2->GetNumber();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    const int order = cell1->GetText().compare(cell2->GetText());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CGridCtrl::OnFindReplace(const FindRequest& request)
{
    if (m_findDialog.isNull())
        return 0;
    if (request.action == FindRequest::Closing) {
        m_findActive = false;
        return 1;
    }
    m_findActive = true;
    const int flags = (request.wholeWord ? 0 : 1) | (request.matchCase ? 0 : 2) |
                      (request.down ? 0 : 4) | (m_searchWholeSheet ? 8 : 0);
    int col = m_sheet->m_selCol;
    int row = m_sheet->m_selRow;
    switch (request.action) {
    case FindRequest::Replace:
        SetCellText(col, row, request.replaceText);
        RedrawCell(col, row);
        [[fallthrough]];
    case FindRequest::FindNext:
        if (FindNext(request.findText, col, row, flags) != 0) {
            CServices::Messages().MessageBox("Item not found", "Not Found");
            m_findDialog->activateWindow();
            return 0;
        }
        MoveToCell(col, row);
        return 0;
    case FindRequest::ReplaceAll: {
        if (request.findText == request.replaceText)
            return 0;
        // Each cell is replaced once: a replacement that still matches is not found again.
        std::set<std::pair<int, int>> replaced;
        while (FindNext(request.findText, col, row, flags) == 0 &&
               replaced.insert({col, row}).second) {
            MoveToCell(col, row);
            SetCellText(col, row, request.replaceText);
            RedrawCell(col, row);
        }
        return 0;
    }
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// In-cell editing

int CGridCtrl::StartEdit(uint32_t key)
{
    CGridSheetInfo& sheet = *m_sheet;
    if (m_editing)
        return GRID_REFUSED;
    const int col = sheet.m_selCol;
    const int row = sheet.m_selRow;
    if (col < 0 || row < 0 || col >= sheet.m_numCols || row >= sheet.m_numRows)
        return GRID_OUT_OF_RANGE;
    m_editing = true;
    CGridCell cell;
    GetCell(col, row, cell);
    CGridCellType* type = GetCellType(cell.GetCellTypeIndex());
    if (!type->m_editable || cell.GetReadOnly() != 0) {
        m_editing = false;
        return GRID_OUT_OF_RANGE;
    }
    CRect rect;
    if (!GetCellRect(col, row, rect)) {
        m_editing = false;
        return GRID_OUT_OF_RANGE;
    }
    rect.right -= 1;
    rect.bottom -= 1;
    type->GetEditRect(rect);
    QWidget* edit = m_edit;
    SetEditText(edit, cell.GetText());
    if (sheet.m_dataSource->OnEditPlace(col, row, edit) != 1 || !OnEditPlace(col, row, edit) ||
        edit == nullptr) {
        m_editing = false;
        return GRID_OUT_OF_RANGE;
    }
    m_editCol = col;
    m_editRow = row;
    m_editWnd = edit;
    m_editCancelled = false;
    m_editContinue = false;
    if (edit != m_edit)
        edit->installEventFilter(this);
    SetEditText(edit, cell.GetText());
    const QFont* font = cell.GetFont() != nullptr ? cell.GetFont() : sheet.m_defFont;
    edit->setFont(font != nullptr ? *font : m_cellArea->font());
    if (edit->parentWidget() != m_cellArea)
        edit->setParent(m_cellArea);
    edit->setGeometry(ToQRect(rect));
    if (edit == m_edit)
        m_edit->Begin(int(rect.Width()), int(rect.Height()));
    edit->show();
    edit->raise();
    edit->setFocus(Qt::OtherFocusReason);
    if (key >= 1) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(char16_t(key))));
        QCoreApplication::sendEvent(edit, &press);
    }
    return GRID_OK;
}

bool CGridCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editWnd.data() && watched != m_edit && event->type() == QEvent::FocusOut)
        EditLostFocus(QApplication::focusWidget(), static_cast<QFocusEvent*>(event)->reason());
    return QWidget::eventFilter(watched, event);
}

void CGridCtrl::EditLostFocus(QWidget* focus, Qt::FocusReason reason)
{
    if (!m_editing || m_ending || m_destroying)
        return;
    // A popup (the context menu, a drop list) borrows the focus; the edit goes on after it.
    if (reason == Qt::PopupFocusReason || qobject_cast<CGridDropListBox*>(focus) != nullptr)
        return;
    if (focus != nullptr && focus == m_editWnd.data())
        return;
    const bool insideGrid = focus != nullptr && (focus == this || isAncestorOf(focus));
    if (m_sheet->m_endEditOnFocusLoss && !insideGrid)
        m_editCancelled = true;
    EndEdit();
}

void CGridCtrl::EditKeyEnd(int colStep, int rowStep, bool cancel)
{
    if (!m_editing || m_ending)
        return;
    m_editCancelled = cancel;
    m_editContinue = !cancel;
    if (m_editContinue) {
        m_edit->m_nextCol = m_editCol + colStep;
        m_edit->m_nextRow = m_editRow + rowStep;
    }
    if (EndEdit() && !m_editing)
        m_cellArea->setFocus(Qt::OtherFocusReason);
}

bool CGridCtrl::EndEdit()
{
    QWidget* edit = m_editWnd.data();
    if (edit == nullptr) {
        m_editing = false;
        return true;
    }
    m_ending = true;
    const QString text = EditText(edit);
    const int col = m_editCol;
    const int row = m_editRow;
    const bool cancelled = m_editCancelled;
    const bool accepted =
        m_sheet->m_dataSource->OnEditFinish(col, row, edit, text, cancelled) == 1 &&
        OnEditFinish(col, row, edit, text, cancelled) != 0;
    if (!accepted) {
        // Editing goes on. The focus comes back once the change that took it away is over, so
        // a refusal never starts another end while this one runs.
        m_editCancelled = false;
        m_editContinue = false;
        MoveToCell(col, row);
        m_ending = false;
        QPointer<QWidget> guard(edit);
        QTimer::singleShot(0, this, [this, guard] {
            if (guard && m_editing && m_editWnd == guard)
                guard->setFocus(Qt::OtherFocusReason);
        });
        return false;
    }
    m_editing = false;
    if (edit != m_edit)
        edit->removeEventFilter(this);
    edit->hide();
    m_editWnd = nullptr;
    if (!cancelled) {
        SetCellText(col, row, text);
        RedrawCell(col, row);
    }
    m_ending = false;
    if (m_editContinue && edit == m_edit) {
        m_editContinue = false;
        ContinueEdit(m_edit->m_nextCol, m_edit->m_nextRow);
    }
    return true;
}

void CGridCtrl::ContinueEdit(int nextCol, int nextRow)
{
    const int cols = m_sheet->m_numCols;
    const int rows = m_sheet->m_numRows;
    if (cols <= 0 || rows <= 0)
        return;
    nextCol = nextCol < 0 ? cols - 1 : (nextCol >= cols ? 0 : nextCol);
    nextRow = nextRow < 0 ? rows - 1 : (nextRow >= rows ? 0 : nextRow);
    if (m_sheet->m_dataSource->OnEditContinue(m_editCol, m_editRow, nextCol, nextRow) != 1 ||
        !OnEditContinue(m_editCol, m_editRow, nextCol, nextRow))
        return;
    if (MoveToCell(nextCol, nextRow) != GRID_OK)
        return;
    StartEdit(0);
}
