#include "gridctrl/CGridTopHeading.h"

#include <algorithm>

#include <QMouseEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kAutoScrollMs = 50;

} // namespace

CGridTopHeading::CGridTopHeading(CGridCtrl* grid) : CGridHeading(grid, GS_TOPHEADING, true)
{
    m_scrollTimer.setInterval(kAutoScrollMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, &CGridTopHeading::AutoScroll);
}

void CGridTopHeading::Update()
{
    RepaintOnChange(m_grid->GetLeftCol(), -1);
}

bool CGridTopHeading::IsDragged(int line) const
{
    return line == m_dragCol && m_dropPos >= 0;
}

void CGridTopHeading::CheckBorder(const CPoint& point)
{
    m_armed = SIZE_NONE;
    if (!ArmLineBorder(point) && !ArmHeadingBorder(point))
        setCursor(m_grid->GetSheet()->m_arrowCursor);
}

void CGridTopHeading::mousePressEvent(QMouseEvent* event)
{
    if (BeginSizing(event))
        return;
    const CPoint point = ToCPoint(event->position());
    Hit hit;
    if (!HitCell(point, hit))
        return;
    if (event->button() == Qt::LeftButton) {
        if (m_grid->OnCanHeadingButton(hit.col) != 0)
            m_dragCol = hit.col;
        const int handled = LClick(hit, 1, point);
        m_grid->OnHeadingClick(hit.col, hit.row, 1, hit.rect, point, handled);
    } else if (event->button() == Qt::RightButton) {
        const int handled = LClick(hit, 1, point);
        m_grid->OnHeadingRClick(hit.col, hit.row, 1, hit.rect, point, handled);
        m_grid->ShowPopupMenu(hit.col, hit.row, event->globalPosition().toPoint(), GS_TOPHEADING);
    }
}

void CGridTopHeading::mouseMoveEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    m_pointerX = point.x;
    if (m_sizing && m_armed == SIZE_LINE) {
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
    if (m_sizing && m_armed == SIZE_HEADING) {
        SizeHeading(point);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        if (sheet.m_userSizingMode)
            CheckBorder(point);
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

void CGridTopHeading::EndLineSizing()
{
    // The width was followed live during the drag; only a change made by the hook is applied.
    const int before = m_grid->GetColWidth(m_sizeIndex);
    int sized = before;
    m_grid->OnColSized(m_sizeIndex, sized);
    if (sized != before)
        m_grid->SetColWidth(m_sizeIndex, sized);
}

void CGridTopHeading::mouseReleaseEvent(QMouseEvent* event)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    m_scrollTimer.stop();
    if (EndSizing())
        return;
    if (event->button() == Qt::RightButton) {
        Hit hit;
        if (HitCell(point, hit)) {
            const int handled = LClick(hit, 0, point);
            m_grid->OnHeadingRClick(hit.col, hit.row, 0, hit.rect, point, handled);
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
    Hit hit;
    if (HitCell(point, hit)) {
        const int handled = LClick(hit, 0, point);
        m_grid->OnHeadingClick(hit.col, hit.row, 0, hit.rect, point, handled);
    }
}

void CGridTopHeading::mouseDoubleClickEvent(QMouseEvent* event)
{
    Hit hit;
    if (!DoubleClickHit(event, hit))
        return;
    const CPoint point = ToCPoint(event->position());
    CGridCell cell;
    const int handled =
        m_grid->FetchCell(hit.col, hit.row, cell)->OnDClick(hit.col, hit.row, hit.rect, point);
    m_grid->OnHeadingDoubleClick(hit.col, hit.row, hit.rect, point, handled);
}
