#include "gridctrl/CGridHintWnd.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "gridctrl/CGridCtrl.h"
#include "gridctrl/GridPaint.h"

CGridHintWnd::CGridHintWnd(CGridCtrl* grid)
    : QWidget(grid, Qt::ToolTip | Qt::FramelessWindowHint), m_grid(grid)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_backColor = RGB(255, 255, 224);
}

void CGridHintWnd::ShowAt(int x, int y, int minWidth)
{
    const QFontMetrics metrics(font());
    const int w = std::max(metrics.horizontalAdvance(m_text) + 4, minWidth);
    const int h = metrics.height();
    int left = x;
    if (m_placement & kCenterX)
        left = x - w / 2;
    else if (m_placement & kRightAtX)
        left = x - w;
    int top = y;
    if (m_placement & kCenterY)
        top = y - h / 2;
    else if (m_placement & kBottomAtY)
        top = y - h;
    // Back inside the grid: first off the left and top edges, then off the right and bottom,
    // so that a hint wider than the grid ends at the grid's right edge.
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    if (left + w > m_grid->width())
        left = m_grid->width() - w;
    if (top + h > m_grid->height())
        top = m_grid->height() - h;
    const QPoint screen = m_grid->mapToGlobal(QPoint(left, top));
    setGeometry(screen.x(), screen.y(), w, h);
    if (!isVisible())
        show();
    update();
}

void CGridHintWnd::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(m_backColor));
    painter.setPen(ToQColor(m_textColor));
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}
