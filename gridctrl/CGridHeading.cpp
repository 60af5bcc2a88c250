#include "gridctrl/CGridHeading.h"

#include <algorithm>
#include <cstdlib>

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

CGridHeading::CGridHeading(CGridCtrl* grid, int section, bool linesAlongX)
    : QWidget(grid), m_grid(grid), m_section(section), m_linesAlongX(linesAlongX)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CGridHeading::Along(const CPoint& point) const
{
    return m_linesAlongX ? point.x : point.y;
}

int CGridHeading::Across(const CPoint& point) const
{
    return m_linesAlongX ? point.y : point.x;
}

int CGridHeading::Extent() const
{
    return m_linesAlongX ? width() : height();
}

int CGridHeading::LineCount() const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    return m_linesAlongX ? sheet.m_numCols : sheet.m_numRows;
}

int CGridHeading::LockedLines() const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    return m_linesAlongX ? sheet.m_numLockCols : sheet.m_numLockRows;
}

int CGridHeading::FirstLine() const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    return m_linesAlongX ? sheet.m_leftCol : sheet.m_topRow;
}

int CGridHeading::LineSize(int line) const
{
    return m_linesAlongX ? m_grid->GetColWidth(line) : m_grid->GetRowHeight(line);
}

bool CGridHeading::LineSpan(int line, int& start, int& size) const
{
    return m_linesAlongX ? m_grid->GetColSpan(line, start, size)
                         : m_grid->GetRowSpan(line, start, size);
}

int CGridHeading::HeadingCount() const
{
    return int(HeadingSizes().size());
}

int CGridHeading::HeadingSize(int index) const
{
    return m_linesAlongX ? m_grid->GetTopHeadingRowHeight(index) : m_grid->GetColWidth(index);
}

bool CGridHeading::HeadingSpan(int index, int& start, int& size) const
{
    return m_linesAlongX ? m_grid->GetRowSpan(index, start, size)
                         : m_grid->GetColSpan(index, start, size);
}

std::vector<int>& CGridHeading::HeadingSizes() const
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    return m_linesAlongX ? sheet.m_headingRowHeights : sheet.m_headingColWidths;
}

int& CGridHeading::HeadingTotal() const
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    return m_linesAlongX ? sheet.m_topHeadingHeight : sheet.m_sideHeadingWidth;
}

void CGridHeading::CellOf(int line, int heading, int& col, int& row) const
{
    col = m_linesAlongX ? line : heading;
    row = m_linesAlongX ? heading : line;
}

void CGridHeading::RepaintOnChange(int first, int current)
{
    if (first != m_lastFirst || current != m_lastCurrent) {
        m_lastFirst = first;
        m_lastCurrent = current;
        update();
    }
}

void CGridHeading::paintEvent(QPaintEvent* /*event*/)
{
    m_grid->OnSectionPainted(m_section);
    QPainter painter(this);
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_defFont != nullptr)
        painter.setFont(*sheet.m_defFont);
    painter.fillRect(rect(), ToQColor(sheet.m_defCell.GetBackColor()));
    std::vector<int> lines;
    for (int line = 0; line < LockedLines(); ++line)
        lines.push_back(line);
    for (int line = FirstLine(); line < LineCount(); ++line) {
        int start = 0;
        int size = 0;
        if (!LineSpan(line, start, size) || start >= Extent())
            break;
        lines.push_back(line);
    }
    CGridCell cell;
    for (int heading = -HeadingCount(); heading <= -1; ++heading) {
        for (const int line : lines) {
            int col = 0;
            int row = 0;
            CellOf(line, heading, col, row);
            CRect cellRect;
            if (!m_grid->GetCellRect(col, row, cellRect))
                continue;
            m_grid->FetchCell(col, row, cell)
                ->OnDraw(painter, cellRect, col, row, cell, IsDragged(line), false);
        }
    }
}

bool CGridHeading::HitCell(const CPoint& point, Hit& hit) const
{
    int heading = -1;
    for (; heading >= -HeadingCount(); --heading) {
        int start = 0;
        int size = 0;
        if (HeadingSpan(heading, start, size) && Across(point) >= start &&
            Across(point) < start + size)
            break;
    }
    if (heading < -HeadingCount())
        return false;
    const int line = m_linesAlongX ? m_grid->ColFromX(point.x) : m_grid->RowFromY(point.y);
    CellOf(line, heading, hit.col, hit.row);
    return line >= 0 && m_grid->GetCellRect(hit.col, hit.row, hit.rect);
}

int CGridHeading::LClick(const Hit& hit, int down, const CPoint& point)
{
    CGridCell cell;
    return m_grid->FetchCell(hit.col, hit.row, cell)
        ->OnLClick(hit.col, hit.row, down, hit.rect, point);
}

bool CGridHeading::DoubleClickHit(QMouseEvent* event, Hit& hit) const
{
    return event->button() == Qt::LeftButton && m_armed == SIZE_NONE &&
           HitCell(ToCPoint(event->position()), hit);
}

bool CGridHeading::ArmLineBorder(const CPoint& point)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    const int count = LineCount();
    for (int line = 0; line < count; ++line) {
        int start = 0;
        int size = 0;
        if (!LineSpan(line, start, size)) {
            // Lines scrolled off before the first are skipped; past it nothing more is shown.
            if (line >= LockedLines() && line >= FirstLine())
                break;
            continue;
        }
        if (start > Extent())
            break;
        if (std::abs(Along(point) - (start + size)) > kBorderReach)
            continue;
        // A hidden line right after the border is the one the drag brings back.
        int target = line;
        if (line + 1 < count && LineSize(line + 1) == 0)
            target = line + 1;
        const int can = m_linesAlongX ? m_grid->OnCanSizeCol(target) : m_grid->OnCanSizeRow(target);
        if (can == 1) {
            m_armed = SIZE_LINE;
            m_sizeIndex = target;
            setCursor(m_linesAlongX ? sheet.m_sizeWECursor : sheet.m_sizeNSCursor);
            return true;
        }
    }
    return false;
}

bool CGridHeading::ArmHeadingBorder(const CPoint& point)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    for (int heading = -1; heading >= -HeadingCount(); --heading) {
        int start = 0;
        int size = 0;
        if (!HeadingSpan(heading, start, size) ||
            std::abs(Across(point) - (start + size)) > kBorderReach)
            continue;
        const int can =
            m_linesAlongX ? m_grid->OnCanSizeTopHeading() : m_grid->OnCanSizeSideHeading();
        if (can == 1) {
            m_armed = SIZE_HEADING;
            m_sizeIndex = heading;
            setCursor(m_linesAlongX ? sheet.m_sizeNSCursor : sheet.m_sizeWECursor);
            return true;
        }
    }
    return false;
}

bool CGridHeading::BeginSizing(QMouseEvent* event)
{
    if (!m_grid->GetCellArea()->hasFocus() && !m_grid->IsEditing())
        m_grid->GetCellArea()->setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || m_armed == SIZE_NONE)
        return false;
    const CPoint point = ToCPoint(event->position());
    m_sizing = true;
    m_startPos = m_armed == SIZE_LINE ? Along(point) : Across(point);
    m_startSize = m_armed == SIZE_LINE ? LineSize(m_sizeIndex) : HeadingSize(m_sizeIndex);
    m_startTotal = HeadingTotal();
    return true;
}

void CGridHeading::SizeHeading(const CPoint& point)
{
    const int delta = Across(point) - m_startPos;
    HeadingSizes()[size_t(-m_sizeIndex - 1)] = std::max(0, m_startSize + delta);
    int total = std::max(0, m_startTotal + delta);
    if (m_linesAlongX)
        m_grid->OnTopHeadingSizing(total);
    else
        m_grid->OnSideHeadingSizing(total);
    HeadingTotal() = std::max(0, total);
    m_grid->Layout();
    m_grid->RedrawAll();
}

bool CGridHeading::EndSizing()
{
    if (!m_sizing)
        return false;
    m_sizing = false;
    m_grid->GetCellArea()->SetMarker(QRect());
    if (m_armed == SIZE_LINE)
        EndLineSizing();
    else if (m_linesAlongX)
        m_grid->OnTopHeadingSized(HeadingTotal());
    else
        m_grid->OnSideHeadingSized(HeadingTotal());
    m_armed = SIZE_NONE;
    m_grid->Layout();
    m_grid->RedrawAll();
    return true;
}
