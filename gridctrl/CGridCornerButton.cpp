#include "gridctrl/CGridCornerButton.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kEdge = 4;

} // namespace

CGridCornerButton::CGridCornerButton(CGridCtrl* grid) : QWidget(grid), m_grid(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGridCornerButton::paintEvent(QPaintEvent* /*event*/)
{
    m_grid->OnSectionPainted(GS_CORNER);
    QPainter painter(this);
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    painter.fillRect(rect(), ToQColor(sheet.m_defCell.GetBackColor()));
    if (sheet.m_defFont != nullptr)
        painter.setFont(*sheet.m_defFont);
    CGridCell cell;
    m_grid->FetchCell(-1, -1, cell)
        ->OnDraw(painter, CRect(0, 0, width(), height()), -1, -1, cell, false, false);
}

void CGridCornerButton::mouseMoveEvent(QMouseEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    if (m_sizing) {
        if (m_sizeWidth) {
            int widthNow = std::clamp(point.x, 0, 1024);
            m_grid->OnSideHeadingSizing(widthNow);
            m_grid->SetSideHeadingWidth(std::clamp(widthNow, 0, 1024));
        } else {
            int heightNow = std::clamp(point.y, 0, 1024);
            m_grid->OnTopHeadingSizing(heightNow);
            m_grid->SetTopHeadingHeight(std::clamp(heightNow, 0, 1024));
        }
        return;
    }
    if (event->buttons() != Qt::NoButton || !sheet.m_userSizingMode)
        return;
    m_sizeWidth = point.x > width() - kEdge && m_grid->OnCanSizeSideHeading() == 1;
    m_sizeHeight = !m_sizeWidth && point.y > height() - kEdge && m_grid->OnCanSizeTopHeading() == 1;
    setCursor(m_sizeWidth    ? sheet.m_sizeWECursor
              : m_sizeHeight ? sheet.m_sizeNSCursor
                             : sheet.m_arrowCursor);
}

void CGridCornerButton::mousePressEvent(QMouseEvent* event)
{
    const CPoint point = ToCPoint(event->position());
    const CRect whole(0, 0, width(), height());
    if (event->button() == Qt::LeftButton) {
        if (m_sizeWidth || m_sizeHeight) {
            m_sizing = true;
            return;
        }
        m_grid->OnCornerClick(1, whole, point, 0);
    } else if (event->button() == Qt::RightButton) {
        m_grid->OnCornerRClick(1, whole, point, 0);
        m_grid->ShowPopupMenu(-1, -1, event->globalPosition().toPoint(), GS_CORNER);
    }
}

void CGridCornerButton::mouseReleaseEvent(QMouseEvent* event)
{
    const CPoint point = ToCPoint(event->position());
    const CRect whole(0, 0, width(), height());
    if (m_sizing) {
        m_sizing = false;
        if (m_sizeWidth)
            m_grid->OnSideHeadingSized(m_grid->GetSheet()->m_sideHeadingWidth);
        else
            m_grid->OnTopHeadingSized(m_grid->GetSheet()->m_topHeadingHeight);
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_grid->OnCornerClick(0, whole, point, 0);
    else if (event->button() == Qt::RightButton)
        m_grid->OnCornerRClick(0, whole, point, 0);
}

void CGridCornerButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_grid->OnCornerDoubleClick(CRect(0, 0, width(), height()), ToCPoint(event->position()), 0);
}
