#include "gridctrl/CGridSideHeading.h"

#include <algorithm>

#include <QMouseEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

CGridSideHeading::CGridSideHeading(CGridCtrl* grid) : CGridHeading(grid, GS_SIDEHEADING, false) {}

void CGridSideHeading::Update()
{
    RepaintOnChange(m_grid->GetTopRow(), m_grid->GetCurrentRow());
}

void CGridSideHeading::CheckBorder(const CPoint& point)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    m_armed = SIZE_NONE;
    if (ArmHeadingBorder(point))
        return;
    if (ArmLineBorder(point)) {
        const int uniform = sheet.m_defRowHeight;
        m_uniformK = sheet.m_uniformRowHeight && uniform > 0 ? point.y / uniform : 0;
        return;
    }
    setCursor(sheet.m_arrowCursor);
}

void CGridSideHeading::mousePressEvent(QMouseEvent* event)
{
    if (BeginSizing(event))
        return;
    const CPoint point = ToCPoint(event->position());
    Hit hit;
    if (!HitCell(point, hit))
        return;
    const int handled = LClick(hit, 1, point);
    if (event->button() == Qt::LeftButton) {
        m_grid->OnSideHeadingClick(hit.col, hit.row, 1, hit.rect, point, handled);
    } else if (event->button() == Qt::RightButton) {
        m_grid->OnSideHeadingRClick(hit.col, hit.row, 1, hit.rect, point, handled);
        m_grid->ShowPopupMenu(hit.col, hit.row, event->globalPosition().toPoint(), GS_SIDEHEADING);
    }
}

void CGridSideHeading::mouseMoveEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    if (m_sizing && m_armed == SIZE_LINE) {
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
    if (m_sizing && m_armed == SIZE_HEADING) {
        SizeHeading(point);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) && sheet.m_userSizingMode)
        CheckBorder(point);
}

void CGridSideHeading::EndLineSizing()
{
    int height = m_grid->GetRowHeight(m_sizeIndex);
    m_grid->OnRowSized(m_sizeIndex, height);
    if (height != m_startSize)
        m_grid->SetRowHeight(m_sizeIndex, height);
}

void CGridSideHeading::mouseReleaseEvent(QMouseEvent* event)
{
    if (EndSizing())
        return;
    const CPoint point = ToCPoint(event->position());
    Hit hit;
    if (!HitCell(point, hit))
        return;
    const int handled = LClick(hit, 0, point);
    if (event->button() == Qt::LeftButton)
        m_grid->OnSideHeadingClick(hit.col, hit.row, 0, hit.rect, point, handled);
    else if (event->button() == Qt::RightButton)
        m_grid->OnSideHeadingRClick(hit.col, hit.row, 0, hit.rect, point, handled);
}

void CGridSideHeading::mouseDoubleClickEvent(QMouseEvent* event)
{
    Hit hit;
    if (!DoubleClickHit(event, hit))
        return;
    const CPoint point = ToCPoint(event->position());
    const int handled = LClick(hit, 0, point);
    m_grid->OnSideHeadingDoubleClick(hit.col, hit.row, hit.rect, point, handled);
}
