#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// A text as Qt draws it in one ink over nothing, kept row by row from the first to the last
// covered pixel: laid over a 32-bit image it gives the pixels Qt's own drawing of the text there
// gives, for a fraction of the cost. Pixels are blended a few at a time; an uncovered pixel
// blends to what lies under it, and a fully covered one to itself.
//
// A board lays thousands of labels, each from a picture of its own text: every picture is one
// stream of words, read front to back, so that laying it waits for memory once at most. A
// picture drawn in one ink keeps only each pixel's coverage, a byte where the pixel takes four:
// the ink times the coverage gives the pixel back exactly.
class CQtLabelPicture {
public:
    // The largest picture, in pixels either way, kept as runs.
    static constexpr int maxSide = 0x7fff;

    // The covered pixels of `drawn` (premultiplied ARGB, at most maxSide pixels either way),
    // with `origin` in it being the point the text is drawn at; `ink` (opaque) is the colour
    // the text was drawn in, if it was drawn in one.
    CQtLabelPicture(const QImage& drawn, QPoint origin, std::optional<QRgb> ink = std::nullopt);
    // The same of premultiplied ARGB pixels `size` large, a row every `stride` bytes from `bits`:
    // a hundred thousand labels drawn into one image would otherwise wrap a part of it in an
    // image of its own apiece.
    CQtLabelPicture(const uchar* bits, qsizetype stride, QSize size, QPoint origin,
                    std::optional<QRgb> ink = std::nullopt);

    // The same of a text in the opaque `ink` given by its coverage, a byte a pixel, `size` large,
    // a row every `stride` bytes from `coverage`.
    static CQtLabelPicture OfCoverage(const uint8_t* coverage, qsizetype stride, QSize size,
                                      QPoint origin, QRgb ink);

    // Where a 32-bit image's pixels lie, as the labels laid over it find them.
    struct Target {
        uchar* bits = nullptr;
        qsizetype stride = 0;
        QRect rect;
    };
    static Target TargetOf(QImage& image);

    // Source-over onto the pixels of an image in Format_RGB32 or Format_ARGB32_Premultiplied,
    // inside `clip`, with the text drawn at `at`.
    void LayOver(const Target& target, QPoint at, const QRect& clip) const
    {
        LayOver(target, at, clip, m_words[inkWord]);
    }
    // The same of a picture of coverage, in the opaque `ink` instead of its own: a glyph kept
    // once is laid in whatever ink its labels take.
    void LayOverIn(const Target& target, QPoint at, const QRect& clip, QRgb ink) const
    {
        LayOver(target, at, clip, m_words[inkWord] != 0 ? ink : 0);
    }
    // The same where the caller knows the picture to lie wholly inside the clip and the image:
    // a number's glyphs are laid one after another.
    void LayWholeIn(const Target& target, QPoint at, QRgb ink) const;

    // The covered pixels' bounds, from the point the text is drawn at.
    QRect Box() const
    {
        return QRect(QPoint(int(m_words[0]), int(m_words[1])),
                     QPoint(int(m_words[2]), int(m_words[3])));
    }
    size_t Bytes() const;

    // An opaque ink at a coverage, and a premultiplied pixel laid over another, rounded as Qt's
    // blending rounds.
    static QRgb Inked(QRgb ink, uint32_t coverage);
    static QRgb Over(QRgb under, QRgb over);
    // Asks for the first rows ahead of laying the picture: a board's pictures lie all over
    // memory, and laying one after another would otherwise wait for each in turn.
    void Prefetch() const
    {
#if defined(__GNUC__)
        const uint32_t* words = m_words.data();
        __builtin_prefetch(words);
        __builtin_prefetch(words + 16);
#endif
    }

private:
    CQtLabelPicture() = default;
    // `ink` is 0 when the rows hold whole pixels.
    void LayOver(const Target& target, QPoint at, const QRect& clip, QRgb ink) const;

    // The box (left, top, right, bottom), the ink when the rows hold coverage bytes (else 0:
    // an ink is opaque), then per row a word with the offset of its first pixel (dx in the low
    // half, dy in the high half), a word with its length in pixels (a multiple of four), and
    // its pixels, a word or a byte each.
    std::vector<uint32_t> m_words;
    static constexpr size_t inkWord = 4;
    static constexpr size_t firstRow = 5;
};
