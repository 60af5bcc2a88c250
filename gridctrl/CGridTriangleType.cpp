#include "gridctrl/CGridTriangleType.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "gridctrl/CGridCell.h"
#include "gridctrl/GridPaint.h"

CGridTriangleType::CGridTriangleType()
{
    m_buttonWidth = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void CGridTriangleType::OnDraw(QPainter& painter, const CRect& rect, int col, int row,
                               CGridCell& cell, bool selected, bool current)
{
    CRect inner;
    DrawBorder(painter, rect, inner, cell);
    const CRect area(std::max(inner.left, inner.right - m_buttonWidth), inner.top, inner.right,
                     inner.bottom);
    FillRect(painter, area, cell.GetBackColor());
    const int height = int(rect.Height());
    const int s = std::min(m_buttonWidth / 4, height - 1);
    if (s > 0) {
        const int top = rect.top + height / 2 - s;
        const int bottom = top + 2 * s;
        const int left = area.left + s;
        const int right = area.right - s;
        const int tip = area.left + 2 * s;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        const QPen white(Qt::white, 1);
        const QPen black(Qt::black, 1);
        if (cell.GetCellTypeParam() & kPointUp) {
            painter.setPen(white);
            painter.drawLine(left, bottom, right, bottom);
            painter.drawLine(tip, top, right, bottom);
            painter.setPen(black);
            painter.drawLine(left, bottom, tip, top);
        } else {
            painter.setPen(black);
            painter.drawLine(left, top, right, top);
            painter.drawLine(left, top, tip, bottom);
            painter.setPen(white);
            painter.drawLine(tip, bottom, right, top);
        }
        painter.restore();
    }
    CRect textRect = inner;
    textRect.right = area.left;
    DrawText(painter, textRect, 0, col, row, cell, selected, current);
}
