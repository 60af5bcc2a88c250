#include "framework/qt/CQtLabelPainter.h"

#include <algorithm>
#include <cstring>

CQtLabelPainter::CQtLabelPainter(const QFont& font, const QImage& like)
    : m_font(font), m_metrics(font, &like), m_reach(std::max(m_metrics.height(), 1)),
      m_ascent(m_metrics.ascent()), m_dotsPerMeterX(like.dotsPerMeterX()),
      m_dotsPerMeterY(like.dotsPerMeterY())
{
}

CQtLabelPainter::~CQtLabelPainter()
{
    if (m_painter.isActive())
        m_painter.end();
}

CQtLabelPicture CQtLabelPainter::Picture(const QString& text, int advance, QRgb ink)
{
    const int width = advance + 2 * m_reach;
    const int height = 3 * m_reach;
    if (width > m_room.width() || height > m_room.height()) {
        if (m_painter.isActive())
            m_painter.end();
        m_room = QImage(std::max(width, 2 * m_room.width()), height,
                        QImage::Format_ARGB32_Premultiplied);
        m_room.setDotsPerMeterX(m_dotsPerMeterX);
        m_room.setDotsPerMeterY(m_dotsPerMeterY);
        m_room.fill(Qt::transparent);
        m_painter.begin(&m_room);
        m_painter.setFont(m_font);
        m_clipWidth = 0;
    }
    // Pixels past the cell are cut off as on an image of the cell's size.
    if (width != m_clipWidth) {
        m_painter.setClipRect(QRect(0, 0, width, height));
        m_clipWidth = width;
    }
    if (m_painter.pen().color() != QColor::fromRgba(ink))
        m_painter.setPen(QColor::fromRgba(ink));
    m_painter.drawText(QPoint(m_reach, m_reach + m_ascent), text);
    const QImage drawn(m_room.constBits(), width, height, m_room.bytesPerLine(),
                       QImage::Format_ARGB32_Premultiplied);
    CQtLabelPicture picture(drawn, QPoint(m_reach, m_reach), ink);
    for (int y = 0; y < height; ++y)
        std::memset(m_room.scanLine(y), 0, size_t(width) * sizeof(QRgb));
    return picture;
}
