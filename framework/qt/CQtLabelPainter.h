#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include "framework/qt/CQtLabelPicture.h"

// Draws texts in one font into label pictures, through one image and painter kept from text to
// text: a board's first paint makes a hundred thousand pictures, and a painter and an image
// apiece took most of it. Qt keeps a font's engines per thread, so each thread that draws
// labels has a painter of its own, made with a font of its own.
//
// A text is shaped once for both its advance and its pixels. Measuring it and drawing it apart
// shaped it twice, and each shaping locks Qt's font database, which the threads drawing labels
// side by side queued for.
class CQtLabelPainter {
public:
    // `font` is used by this painter's thread only; `like` is the device the labels are laid on,
    // whose resolution the text is laid out for.
    CQtLabelPainter(const QFont& font, const QImage& like);
    CQtLabelPainter(const CQtLabelPainter&) = delete;
    CQtLabelPainter& operator=(const CQtLabelPainter&) = delete;
    ~CQtLabelPainter();

    // Shapes the text for the next Picture(), unless it was the last one shaped; its advance, as
    // QFontMetrics::horizontalAdvance gives it.
    int LayOut(const QString& text);
    // The text last laid out (none before the first), as Qt's own drawText draws it in `ink` with
    // its cell's top left at the picture's origin, cut to its cell and the cell's height around it:
    // glyphs may overhang their cell by a little on either side.
    CQtLabelPicture Picture(QRgb ink);

private:
    // Begins the painter on a room at least `width` pixels wide.
    void Grow(int width);

    QFont m_font;
    int m_reach = 1;
    // Asked once: every question to the metrics locks Qt's font database.
    int m_ascent = 0;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
    // Kept clear between texts; grown for a wider text.
    QImage m_room;
    QPainter m_painter;
    // Kept from text to text, with the font the painter resolved for the room, as drawText
    // shapes with.
    QTextLayout m_layout;
    QTextLine m_line;
    int m_advance = 0;
    // The cell the painter clips to, 0 for none yet: texts of a board are mostly as wide as the
    // one before.
    int m_clipWidth = 0;
};
