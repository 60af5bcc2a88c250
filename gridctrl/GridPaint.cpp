#include "gridctrl/GridPaint.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace {

QPalette::ColorRole RoleOf(int index)
{
    switch (index) {
    case COLOR_WINDOW:
        return QPalette::Base;
    case COLOR_WINDOWTEXT:
        return QPalette::Text;
    case COLOR_HIGHLIGHT:
        return QPalette::Highlight;
    case COLOR_HIGHLIGHTTEXT:
        return QPalette::HighlightedText;
    case COLOR_BTNSHADOW:
        return QPalette::Dark;
    case COLOR_BTNHIGHLIGHT:
        return QPalette::Light;
    case COLOR_INFOBK:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Button;
    }
}

} // namespace

COLORREF GetSysColor(int index)
{
    const QColor color = QGuiApplication::palette().color(QPalette::Active, RoleOf(index));
    return RGB(uint8_t(color.red()), uint8_t(color.green()), uint8_t(color.blue()));
}

void FillRect(QPainter& painter, const CRect& rect, const QColor& color)
{
    if (!rect.IsRectEmpty())
        painter.fillRect(ToQRect(rect), color);
}

void FillRect(QPainter& painter, const CRect& rect, COLORREF color)
{
    FillRect(painter, rect, ToQColor(color));
}

void DrawFocusFrame(QPainter& painter, const CRect& rect)
{
    if (rect.Width() < 1 || rect.Height() < 1)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 0, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1);
    painter.restore();
}
