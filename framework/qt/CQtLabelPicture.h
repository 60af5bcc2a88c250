#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>

// A text as Qt draws it in one ink over nothing, kept as the rows' runs of covered pixels:
// laid over a 32-bit image it gives the pixels Qt's own drawing of the text there gives, for a
// fraction of the cost. Runs of fully covered pixels of one colour are copied, the smoothed
// edges blended.
class CQtLabelPicture {
public:
    // The covered pixels of `drawn` (premultiplied ARGB), with `origin` in it being the point
    // the text is drawn at.
    CQtLabelPicture(const QImage& drawn, QPoint origin);

    // Source-over onto an image in Format_RGB32 or Format_ARGB32_Premultiplied, inside `clip`,
    // with the text drawn at `at`.
    void LayOver(QImage& image, QPoint at, const QRect& clip) const;

    // The covered pixels' bounds, from the point the text is drawn at.
    const QRect& Box() const { return m_box; }
    size_t Bytes() const;

private:
    struct Run {
        int32_t dx = 0;
        int32_t dy = 0;
        int32_t count = 0;
        bool opaque = false;
        // An opaque run's colour, else the index of its first pixel in m_pixels.
        uint32_t value = 0;
    };
    std::vector<Run> m_runs;
    std::vector<QRgb> m_pixels;
    QRect m_box;
};
