#include "gridctrl/CGridSideHeading.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kBorderReach = 2;

} // namespace

CGridSideHeading::CGridSideHeading(CGridCtrl* grid) : QWidget(grid), m_grid(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGridSideHeading::Update()
{
    if (m_grid->GetTopRow() != m_lastTopRow || m_grid->GetCurrentRow() != m_lastCurRow) {
        m_lastTopRow = m_grid->GetTopRow();
        m_lastCurRow = m_grid->GetCurrentRow();
        update();
    }
}

void CGridSideHeading::paintEvent(QPaintEvent* /*event*/)
{
    m_grid->OnSectionPainted(GS_SIDEHEADING);
    QPainter painter(this);
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_defFont != nullptr)
        painter.setFont(*sheet.m_defFont);
    painter.fillRect(rect(), ToQColor(sheet.m_defCell.GetBackColor()));
    std::vector<int> rows;
    for (int row = 0; row < sheet.m_numLockRows; ++row)
        rows.push_back(row);
    for (int row = sheet.m_topRow; row < sheet.m_numRows; ++row) {
        int y = 0;
        int h = 0;
        if (!m_grid->GetRowSpan(row, y, h) || y >= height())
            break;
        rows.push_back(row);
    }
    CGridCell cell;
    for (int col = -int(sheet.m_headingColWidths.size()); col <= -1; ++col) {
        for (const int row : rows) {
            CRect cellRect;
            if (!m_grid->GetCellRect(col, row, cellRect))
                continue;
            m_grid->FetchCell(col, row, cell)
                ->OnDraw(painter, cellRect, col, row, cell, false, false);
        }
    }
}

bool CGridSideHeading::HitCell(int x, int y, int& col, int& row, CRect& cellRect) const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    for (col = -1; col >= -int(sheet.m_headingColWidths.size()); --col) {
        int left = 0;
        int w = 0;
        if (m_grid->GetColSpan(col, left, w) && x >= left && x < left + w)
            break;
    }
    if (col < -int(sheet.m_headingColWidths.size()))
        return false;
    row = m_grid->RowFromY(y);
    return row >= 0 && m_grid->GetCellRect(col, row, cellRect);
}

void CGridSideHeading::CheckBorder(int x, int y)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    m_armed = SIZE_NONE;
    for (int col = -1; col >= -int(sheet.m_headingColWidths.size()); --col) {
        int left = 0;
        int w = 0;
        if (m_grid->GetColSpan(col, left, w) && std::abs(x - (left + w)) <= kBorderReach &&
            m_grid->OnCanSizeSideHeading() == 1) {
            m_armed = SIZE_HEADING_COL;
            m_sizeIndex = col;
            setCursor(sheet.m_sizeWECursor);
            return;
        }
    }
    for (int row = 0; row < sheet.m_numRows; ++row) {
        int top = 0;
        int h = 0;
        if (!m_grid->GetRowSpan(row, top, h)) {
            if (row >= sheet.m_numLockRows && row >= sheet.m_topRow)
                break;
            continue;
        }
        if (top > height())
            break;
        if (std::abs(y - (top + h)) > kBorderReach)
            continue;
        int target = row;
        if (row + 1 < sheet.m_numRows && m_grid->GetRowHeight(row + 1) == 0)
            target = row + 1;
        if (m_grid->OnCanSizeRow(target) == 1) {
            m_armed = SIZE_ROW;
            m_sizeIndex = target;
            const int uniform = sheet.m_defRowHeight;
            m_uniformK = sheet.m_uniformRowHeight && uniform > 0 ? y / uniform : 0;
            setCursor(sheet.m_sizeNSCursor);
            return;
        }
    }
    setCursor(sheet.m_arrowCursor);
}

void CGridSideHeading::mousePressEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (!m_grid->GetCellArea()->hasFocus() && !m_grid->IsEditing())
        m_grid->GetCellArea()->setFocus(Qt::MouseFocusReason);
    const CPoint point = ToCPoint(event->position());
    if (event->button() == Qt::LeftButton && m_armed != SIZE_NONE) {
        m_sizing = true;
        m_startPos = m_armed == SIZE_ROW ? point.y : point.x;
        m_startSize = m_armed == SIZE_ROW ? m_grid->GetRowHeight(m_sizeIndex)
                                          : m_grid->GetColWidth(m_sizeIndex);
        m_startTotal = sheet.m_sideHeadingWidth;
        return;
    }
    int col = -1;
    int row = -1;
    CRect cellRect;
    if (!HitCell(point.x, point.y, col, row, cellRect))
        return;
    CGridCell cell;
    m_grid->GetCell(col, row, cell);
    const int handled =
        m_grid->GetCellType(cell.GetCellTypeIndex())->OnLClick(col, row, 1, cellRect, point);
    if (event->button() == Qt::LeftButton) {
        m_grid->OnSideHeadingClick(col, row, 1, cellRect, point, handled);
    } else if (event->button() == Qt::RightButton) {
        m_grid->OnSideHeadingRClick(col, row, 1, cellRect, point, handled);
        m_grid->ShowPopupMenu(col, row, event->globalPosition().toPoint(), GS_SIDEHEADING);
    }
}

void CGridSideHeading::mouseMoveEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    if (m_sizing && m_armed == SIZE_ROW) {
        int newHeight = std::max(0, m_startSize + point.y - m_startPos);
        if (sheet.m_uniformRowHeight)
            newHeight = m_uniformK > 0 ? std::max(point.y, 1) / m_uniformK : point.y;
        newHeight = std::max(0, newHeight);
        m_grid->OnRowSizing(m_sizeIndex, newHeight);
        if (sheet.m_uniformRowHeight)
            sheet.m_defRowHeight = std::max(1, newHeight);
        else
            sheet.m_rowHeights[size_t(m_sizeIndex)] = std::max(0, newHeight);
        update();
        m_grid->GetCellArea()->update();
        if (sheet.m_userSizingMode == 1)
            m_grid->GetCellArea()->SetMarker(QRect(0, point.y, m_grid->GetCellArea()->width(), 2));
        return;
    }
    if (m_sizing && m_armed == SIZE_HEADING_COL) {
        const int delta = point.x - m_startPos;
        sheet.m_headingColWidths[size_t(-m_sizeIndex - 1)] = std::max(0, m_startSize + delta);
        int total = std::max(0, m_startTotal + delta);
        m_grid->OnSideHeadingSizing(total);
        sheet.m_sideHeadingWidth = std::max(0, total);
        m_grid->Layout();
        m_grid->RedrawAll();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) && sheet.m_userSizingMode)
        CheckBorder(point.x, point.y);
}

void CGridSideHeading::mouseReleaseEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    if (m_sizing) {
        m_sizing = false;
        m_grid->GetCellArea()->SetMarker(QRect());
        if (m_armed == SIZE_ROW) {
            const int before = m_startSize;
            int final = m_grid->GetRowHeight(m_sizeIndex);
            m_grid->OnRowSized(m_sizeIndex, final);
            if (final != before)
                m_grid->SetRowHeight(m_sizeIndex, final);
        } else {
            m_grid->OnSideHeadingSized(sheet.m_sideHeadingWidth);
        }
        m_armed = SIZE_NONE;
        m_grid->Layout();
        m_grid->RedrawAll();
        return;
    }
    int col = -1;
    int row = -1;
    CRect cellRect;
    if (!HitCell(point.x, point.y, col, row, cellRect))
        return;
    CGridCell cell;
    m_grid->GetCell(col, row, cell);
    const int handled =
        m_grid->GetCellType(cell.GetCellTypeIndex())->OnLClick(col, row, 0, cellRect, point);
    if (event->button() == Qt::LeftButton)
        m_grid->OnSideHeadingClick(col, row, 0, cellRect, point, handled);
    else if (event->button() == Qt::RightButton)
        m_grid->OnSideHeadingRClick(col, row, 0, cellRect, point, handled);
}

void CGridSideHeading::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_armed != SIZE_NONE)
        return;
    const CPoint point = ToCPoint(event->position());
    int col = -1;
    int row = -1;
    CRect cellRect;
    if (!HitCell(point.x, point.y, col, row, cellRect))
        return;
    CGridCell cell;
    m_grid->GetCell(col, row, cell);
    const int handled =
        m_grid->GetCellType(cell.GetCellTypeIndex())->OnLClick(col, row, 0, cellRect, point);
    m_grid->OnSideHeadingDoubleClick(col, row, cellRect, point, handled);
}
