#include "gridctrl/CGridTopHeading.h"

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
constexpr int kAutoScrollMs = 50;

} // namespace

CGridTopHeading::CGridTopHeading(CGridCtrl* grid) : QWidget(grid), m_grid(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollTimer.setInterval(kAutoScrollMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, &CGridTopHeading::AutoScroll);
}

void CGridTopHeading::Update()
{
    if (m_grid->GetLeftCol() != m_lastLeftCol) {
        m_lastLeftCol = m_grid->GetLeftCol();
        update();
    }
}

void CGridTopHeading::paintEvent(QPaintEvent* /*event*/)
{
    m_grid->OnSectionPainted(GS_TOPHEADING);
    QPainter painter(this);
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_defFont != nullptr)
        painter.setFont(*sheet.m_defFont);
    painter.fillRect(rect(), ToQColor(sheet.m_defCell.GetBackColor()));
    std::vector<int> cols;
    for (int col = 0; col < sheet.m_numLockCols; ++col)
        cols.push_back(col);
    for (int col = sheet.m_leftCol; col < sheet.m_numCols; ++col) {
        int x = 0;
        int w = 0;
        if (!m_grid->GetColSpan(col, x, w) || x >= width())
            break;
        cols.push_back(col);
    }
    CGridCell cell;
    for (int row = -int(sheet.m_headingRowHeights.size()); row <= -1; ++row) {
        for (const int col : cols) {
            CRect cellRect;
            if (!m_grid->GetCellRect(col, row, cellRect))
                continue;
            m_grid->GetCell(col, row, cell);
            const bool dragged = col == m_dragCol && m_dropPos >= 0;
            m_grid->GetCellType(cell.GetCellTypeIndex())
                ->OnDraw(painter, cellRect, col, row, cell, dragged, false);
        }
    }
}

bool CGridTopHeading::HitCell(int x, int y, int& col, int& row, CRect& cellRect) const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    for (row = -1; row >= -int(sheet.m_headingRowHeights.size()); --row) {
        int top = 0;
        int h = 0;
        if (m_grid->GetRowSpan(row, top, h) && y >= top && y < top + h)
            break;
    }
    if (row < -int(sheet.m_headingRowHeights.size()))
        return false;
    col = m_grid->ColFromX(x);
    return col >= 0 && m_grid->GetCellRect(col, row, cellRect);
}

void CGridTopHeading::CheckBorder(int x, int y)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    m_armed = SIZE_NONE;
    for (int col = 0; col < sheet.m_numCols; ++col) {
        int left = 0;
        int w = 0;
        if (!m_grid->GetColSpan(col, left, w))
            continue;
        if (left > width())
            break;
        if (std::abs(x - (left + w)) > kBorderReach)
            continue;
        int target = col;
        if (col + 1 < sheet.m_numCols && sheet.m_cols[size_t(col + 1)].width == 0)
            target = col + 1;
        if (m_grid->OnCanSizeCol(target) == 1) {
            m_armed = SIZE_COL;
            m_sizeIndex = target;
            setCursor(sheet.m_sizeWECursor);
            return;
        }
    }
    for (int row = -1; row >= -int(sheet.m_headingRowHeights.size()); --row) {
        int top = 0;
        int h = 0;
        if (m_grid->GetRowSpan(row, top, h) && std::abs(y - (top + h)) <= kBorderReach &&
            m_grid->OnCanSizeTopHeading() == 1) {
            m_armed = SIZE_HEADING_ROW;
            m_sizeIndex = row;
            setCursor(sheet.m_sizeNSCursor);
            return;
        }
    }
    setCursor(sheet.m_arrowCursor);
}

void CGridTopHeading::mousePressEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (!m_grid->GetCellArea()->hasFocus() && !m_grid->IsEditing())
        m_grid->GetCellArea()->setFocus(Qt::MouseFocusReason);
    const CPoint point = ToCPoint(event->position());
    if (event->button() == Qt::LeftButton && m_armed != SIZE_NONE) {
        m_sizing = true;
        m_startPos = m_armed == SIZE_COL ? point.x : point.y;
        m_startSize = m_armed == SIZE_COL ? m_grid->GetColWidth(m_sizeIndex)
                                          : m_grid->GetTopHeadingRowHeight(m_sizeIndex);
        m_startTotal = sheet.m_topHeadingHeight;
        return;
    }
    int col = -1;
    int row = -1;
    CRect cellRect;
    if (!HitCell(point.x, point.y, col, row, cellRect))
        return;
    CGridCell cell;
    CGridCellType* type = m_grid->FetchCell(col, row, cell);
    if (event->button() == Qt::LeftButton) {
        if (m_grid->OnCanHeadingButton(col) != 0)
            m_dragCol = col;
        const int handled = type->OnLClick(col, row, 1, cellRect, point);
        m_grid->OnHeadingClick(col, row, 1, cellRect, point, handled);
    } else if (event->button() == Qt::RightButton) {
        const int handled = type->OnLClick(col, row, 1, cellRect, point);
        m_grid->OnHeadingRClick(col, row, 1, cellRect, point, handled);
        m_grid->ShowPopupMenu(col, row, event->globalPosition().toPoint(), GS_TOPHEADING);
    }
}

void CGridTopHeading::mouseMoveEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    m_pointerX = point.x;
    if (m_sizing && m_armed == SIZE_COL) {
        int newWidth = std::max(0, m_startSize + point.x - m_startPos);
        m_grid->OnColSizing(m_sizeIndex, newWidth);
        sheet.m_cols[size_t(m_sizeIndex)].width = std::max(0, newWidth);
        if (sheet.m_userSizingMode == 1) {
            update();
            m_grid->GetCellArea()->update();
            m_grid->GetCellArea()->SetMarker(QRect(point.x, 0, 2, m_grid->GetCellArea()->height()));
        } else {
            m_grid->RedrawAll();
        }
        return;
    }
    if (m_sizing && m_armed == SIZE_HEADING_ROW) {
        const int delta = point.y - m_startPos;
        const size_t index = size_t(-m_sizeIndex - 1);
        sheet.m_headingRowHeights[index] = std::max(0, m_startSize + delta);
        int total = std::max(0, m_startTotal + delta);
        m_grid->OnTopHeadingSizing(total);
        sheet.m_topHeadingHeight = std::max(0, total);
        m_grid->Layout();
        m_grid->RedrawAll();
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        if (sheet.m_userSizingMode)
            CheckBorder(point.x, point.y);
        return;
    }
    if (m_dragCol >= 0 && sheet.m_columnMoving)
        DragColumn(point.x);
}

void CGridTopHeading::DrawMarker(int x)
{
    if (x < 0)
        m_grid->GetCellArea()->SetMarker(QRect());
    else
        m_grid->GetCellArea()->SetMarker(QRect(x - 1, 0, 2, m_grid->GetCellArea()->height()));
}

void CGridTopHeading::DragColumn(int x)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (x < 0 || x >= width()) {
        // Outside the heading the grid scrolls toward the pointer on a timer, so that the
        // drag never waits in a loop of its own.
        DrawMarker(-1);
        if (!m_scrollTimer.isActive())
            m_scrollTimer.start();
        return;
    }
    m_scrollTimer.stop();
    int col = m_grid->ColFromX(x);
    if (col < 0) {
        col = sheet.m_numCols;
    } else {
        int left = 0;
        int w = 0;
        m_grid->GetColSpan(col, left, w);
        if (x >= left + w / 2)
            ++col;
    }
    col = std::min(col, sheet.m_numCols);
    if (m_dropPos < 0 && (col == m_dragCol || col == m_dragCol + 1))
        return;
    const bool first = m_dropPos < 0;
    m_dropPos = col;
    if (first)
        update();
    int edge = 0;
    int w = 0;
    if (m_dropPos < sheet.m_numCols && m_grid->GetColSpan(m_dropPos, edge, w)) {
        DrawMarker(edge);
    } else if (m_grid->GetColSpan(sheet.m_numCols - 1, edge, w)) {
        DrawMarker(edge + w);
    }
}

void CGridTopHeading::AutoScroll()
{
    if (m_dragCol < 0) {
        m_scrollTimer.stop();
        return;
    }
    if (m_pointerX < 0)
        m_grid->LeftColAction(GM_BACK);
    else if (m_pointerX >= width())
        m_grid->LeftColAction(GM_FORWARD);
    else
        m_scrollTimer.stop();
}

void CGridTopHeading::mouseReleaseEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    m_scrollTimer.stop();
    if (m_sizing) {
        m_sizing = false;
        m_grid->GetCellArea()->SetMarker(QRect());
        if (m_armed == SIZE_COL) {
            const int before = sheet.m_cols[size_t(m_sizeIndex)].width;
            int final = before;
            m_grid->OnColSized(m_sizeIndex, final);
            if (final != before)
                m_grid->SetColWidth(m_sizeIndex, final);
        } else {
            m_grid->OnTopHeadingSized(sheet.m_topHeadingHeight);
        }
        m_armed = SIZE_NONE;
        m_grid->Layout();
        m_grid->RedrawAll();
        return;
    }
    if (event->button() == Qt::RightButton) {
        int col = -1;
        int row = -1;
        CRect cellRect;
        if (HitCell(point.x, point.y, col, row, cellRect)) {
            CGridCell cell;
            const int handled =
                m_grid->FetchCell(col, row, cell)->OnLClick(col, row, 0, cellRect, point);
            m_grid->OnHeadingRClick(col, row, 0, cellRect, point, handled);
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragCol >= 0 && sheet.m_columnMoving) {
        const int from = m_dragCol;
        const int drop = m_dropPos;
        const int final = drop < 0 ? -1 : (drop > from ? drop - 1 : drop);
        DrawMarker(-1);
        m_dragCol = -1;
        m_dropPos = -1;
        if (m_grid->OnHeadingButtonUp(from, final) != 0 && drop >= 0 &&
            m_grid->MoveColumn(from, drop, 1) == GRID_OK)
            m_grid->RedrawAll();
        else
            update();
        return;
    }
    m_dragCol = -1;
    int col = -1;
    int row = -1;
    CRect cellRect;
    if (HitCell(point.x, point.y, col, row, cellRect)) {
        CGridCell cell;
        m_grid->GetCell(col, row, cell);
        const int handled =
            m_grid->GetCellType(cell.GetCellTypeIndex())->OnLClick(col, row, 0, cellRect, point);
        m_grid->OnHeadingClick(col, row, 0, cellRect, point, handled);
    }
}

void CGridTopHeading::mouseDoubleClickEvent(QMouseEvent* event)
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
        m_grid->GetCellType(cell.GetCellTypeIndex())->OnDClick(col, row, cellRect, point);
    m_grid->OnHeadingDoubleClick(col, row, cellRect, point, handled);
}
