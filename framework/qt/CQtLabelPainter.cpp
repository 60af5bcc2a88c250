#include "framework/qt/CQtLabelPainter.h"

#include <algorithm>
#include <cstring>

#include <QFontMetrics>
#include <QTextOption>

CQtLabelPainter::CQtLabelPainter(const QFont& font, const QImage& like)
    : m_font(font), m_dotsPerMeterX(like.dotsPerMeterX()), m_dotsPerMeterY(like.dotsPerMeterY())
{
    const QFontMetrics metrics(font, &like);
    m_reach = std::max(metrics.height(), 1);
    m_ascent = metrics.ascent();
    Grow(8 * m_reach);
    // As drawText lays a text out: left to right on one line, however long.
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    m_layout.setTextOption(option);
    m_layout.setFont(m_painter.font());
    // Else the shaped glyphs go at the end of the layout, and drawing would shape them again.
    m_layout.setCacheEnabled(true);
}

CQtLabelPainter::~CQtLabelPainter()
{
    if (m_painter.isActive())
        m_painter.end();
}

void CQtLabelPainter::Grow(int width)
{
    if (m_painter.isActive())
        m_painter.end();
    m_room = QImage(std::max(width, 2 * m_room.width()), 3 * m_reach,
                    QImage::Format_ARGB32_Premultiplied);
    m_room.setDotsPerMeterX(m_dotsPerMeterX);
    m_room.setDotsPerMeterY(m_dotsPerMeterY);
    m_room.fill(Qt::transparent);
    m_painter.begin(&m_room);
    m_painter.setFont(m_font);
    m_clipWidth = 0;
}

int CQtLabelPainter::LayOut(const QString& text)
{
    // A text measured first is drawn next: it is shaped once for both.
    if (m_line.isValid() && text == m_layout.text())
        return m_advance;
    m_layout.setText(text);
    m_layout.beginLayout();
    m_line = m_layout.createLine();
    m_layout.endLayout();
    // The line's advance keeps its trailing spaces, as the metrics' does, and is rounded alike.
    m_advance = qRound(m_line.horizontalAdvance());
    return m_advance;
}

CQtLabelPicture CQtLabelPainter::Picture(QRgb ink)
{
    const int width = m_advance + 2 * m_reach;
    const int height = 3 * m_reach;
    if (width > m_room.width())
        Grow(width);
    // Pixels past the cell are cut off as on an image of the cell's size.
    if (width != m_clipWidth) {
        m_painter.setClipRect(QRect(0, 0, width, height));
        m_clipWidth = width;
    }
    if (m_painter.pen().color() != QColor::fromRgba(ink))
        m_painter.setPen(QColor::fromRgba(ink));
    // The line puts its baseline its own ascent below the point, which need not be whole
    // pixels: the point is moved so that the baseline lands where drawText puts it.
    if (m_line.isValid())
        m_line.draw(&m_painter, QPointF(m_reach, m_reach + m_ascent - m_line.ascent()));
    uchar* const bits = m_room.bits();
    const qsizetype stride = m_room.bytesPerLine();
    const QPoint origin(m_reach, m_reach);
    CQtLabelPicture picture(bits, stride, QSize(width, height), origin, ink);
    // Only the rows the text covers hold any pixels: premultiplied, an uncovered pixel is 0.
    const QRect box = picture.Box().translated(origin);
    for (int y = std::max(box.top(), 0); y <= std::min(box.bottom(), height - 1); ++y)
        std::memset(bits + y * stride, 0, size_t(width) * sizeof(QRgb));
    return picture;
}
