#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "framework/qt/CQtLabelPicture.h"

// Draws texts in one font into label pictures, through one image and painter kept from text to
// text: a board's first paint makes a hundred thousand pictures, and a painter and an image
// apiece took most of it. Qt keeps a font's engines per thread, so each thread that draws
// labels has a painter of its own, made with a font of its own.
class CQtLabelPainter {
public:
    // `font` is used by this painter's thread only; `like` is the device the labels are laid on,
    // whose resolution the text is laid out for.
    CQtLabelPainter(const QFont& font, const QImage& like);
    CQtLabelPainter(const CQtLabelPainter&) = delete;
    CQtLabelPainter& operator=(const CQtLabelPainter&) = delete;
    ~CQtLabelPainter();

    int Advance(const QString& text) const { return m_metrics.horizontalAdvance(text); }
    // The text as Qt draws it in `ink` with its cell's top left at the picture's origin, cut to
    // its cell `advance` wide and the cell's height around it: glyphs may overhang their cell
    // by a little on either side.
    CQtLabelPicture Picture(const QString& text, int advance, QRgb ink);

private:
    QFont m_font;
    QFontMetrics m_metrics;
    int m_reach = 1;
    // Asked once: every question to the metrics locks Qt's font database, which the threads
    // drawing labels side by side would otherwise queue for.
    int m_ascent = 0;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
    // Kept clear between texts; grown for a wider text.
    QImage m_room;
    QPainter m_painter;
    // The cell the painter clips to, 0 for none yet: texts of a board are mostly as wide as the
    // one before.
    int m_clipWidth = 0;
};
