#include "framework/qt/CQtLabelPicture.h"

#include <algorithm>

namespace {

// Each channel of a premultiplied pixel times alpha / 255, rounded as Qt's blending rounds.
QRgb ByteMul(QRgb pixel, uint32_t alpha)
{
    uint32_t t = (pixel & 0xff00ff) * alpha;
    t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint32_t u = ((pixel >> 8) & 0xff00ff) * alpha;
    u = (u + ((u >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return u | t;
}

} // namespace

CQtLabelPicture::CQtLabelPicture(const QImage& drawn, QPoint origin)
{
    for (int y = 0; y < drawn.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width();) {
            if (qAlpha(row[x]) == 0) {
                ++x;
                continue;
            }
            Run run;
            run.dx = x - origin.x();
            run.dy = y - origin.y();
            run.opaque = qAlpha(row[x]) == 255;
            const int start = x;
            if (run.opaque) {
                run.value = row[x];
                while (x < drawn.width() && row[x] == row[start])
                    ++x;
            } else {
                run.value = uint32_t(m_pixels.size());
                for (; x < drawn.width() && qAlpha(row[x]) != 0 && qAlpha(row[x]) != 255; ++x)
                    m_pixels.push_back(row[x]);
            }
            run.count = x - start;
            m_box |= QRect(run.dx, run.dy, run.count, 1);
            m_runs.push_back(run);
        }
    }
    m_runs.shrink_to_fit();
    m_pixels.shrink_to_fit();
}

void CQtLabelPicture::LayOver(QImage& image, QPoint at, const QRect& clip) const
{
    const QRect area = clip & image.rect();
    const QRect placed = m_box.translated(at);
    if (!area.intersects(placed))
        return;
    const bool whole = area.contains(placed);
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const Run& run : m_runs) {
        const int y = at.y() + run.dy;
        int x = at.x() + run.dx;
        int count = run.count;
        int skipped = 0;
        if (!whole) {
            if (y < area.top() || y > area.bottom())
                continue;
            const int from = std::max(x, area.left());
            const int to = std::min(x + count, area.right() + 1);
            if (from >= to)
                continue;
            skipped = from - x;
            x = from;
            count = to - from;
        }
        QRgb* target = reinterpret_cast<QRgb*>(bits + y * stride) + x;
        if (run.opaque) {
            std::fill_n(target, count, QRgb(run.value));
            continue;
        }
        const QRgb* source = m_pixels.data() + run.value + skipped;
        for (int k = 0; k < count; ++k)
            target[k] = source[k] + ByteMul(target[k], 255 - qAlpha(source[k]));
    }
}

size_t CQtLabelPicture::Bytes() const
{
    return sizeof(*this) + m_runs.size() * sizeof(Run) + m_pixels.size() * sizeof(QRgb);
}
