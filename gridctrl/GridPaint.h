#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>

class QPainter;

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/ColorRef.h"

// The desktop colours the grid paints its furniture with, by the numbers cells and hooks use
// for them; the values come from the application's palette at the time they are asked for, so
// a palette change reaches every cell that did not set its own colour.
enum GridSysColor : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_INFOBK = 24
};

COLORREF GetSysColor(int index);

inline QColor ToQColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

inline QRect ToQRect(const CRect& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

inline CRect ToCRect(const QRect& rect)
{
    return CRect(rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height());
}

// Fills left <= x < right, top <= y < bottom; nothing for an empty rectangle.
void FillRect(QPainter& painter, const CRect& rect, COLORREF color);
void FillRect(QPainter& painter, const CRect& rect, const QColor& color);
// The dotted focus frame just inside the rectangle.
void DrawFocusFrame(QPainter& painter, const CRect& rect);

inline CPoint ToCPoint(const QPointF& point)
{
    return CPoint(int(point.x()), int(point.y()));
}
