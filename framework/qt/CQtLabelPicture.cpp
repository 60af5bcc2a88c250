#include "framework/qt/CQtLabelPicture.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Source over: each target pixel becomes source + target * (1 - source alpha).
void Blend(QRgb* target, const QRgb* source, int count)
{
    int k = 0;
#if defined(__SSE2__)
    // Four pixels at a time, channel by channel in 16 bits, in the same arithmetic.
    const __m128i lowBytes = _mm_set1_epi32(0x00ff00ff);
    const __m128i full = _mm_set1_epi32(255);
    const __m128i half = _mm_set1_epi16(0x80);
    for (; k + 4 <= count; k += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + k));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + k));
        __m128i alpha = _mm_sub_epi32(full, _mm_srli_epi32(s, 24));
        alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
        __m128i t = _mm_mullo_epi16(_mm_and_si128(d, lowBytes), alpha);
        t = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
        __m128i u = _mm_mullo_epi16(_mm_srli_epi16(d, 8), alpha);
        u = _mm_andnot_si128(lowBytes, _mm_add_epi16(_mm_add_epi16(u, _mm_srli_epi16(u, 8)), half));
        const __m128i blended = _mm_add_epi32(s, _mm_or_si128(t, u));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + k), blended);
    }
#endif
    for (; k < count; ++k)
        target[k] = source[k] + ByteMul(target[k], 255 - qAlpha(source[k]));
}

} // namespace

CQtLabelPicture::CQtLabelPicture(const QImage& drawn, QPoint origin)
{
    QRect box;
    std::vector<uint32_t> rows;
    const int width = std::min(drawn.width(), maxSide);
    for (int y = 0; y < std::min(drawn.height(), maxSide); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        int first = 0;
        int last = width - 1;
        while (first < width && qAlpha(row[first]) == 0)
            ++first;
        while (last >= first && qAlpha(row[last]) == 0)
            --last;
        if (first > last)
            continue;
        const int16_t dx = int16_t(first - origin.x());
        const int16_t dy = int16_t(y - origin.y());
        // Uncovered pixels make up whole fours: the blending then never goes pixel by pixel.
        const int count = (last - first + 4) & ~3;
        rows.push_back(uint32_t(uint16_t(dx)) | uint32_t(uint16_t(dy)) << 16);
        rows.push_back(uint32_t(count));
        rows.insert(rows.end(), row + first, row + last + 1);
        rows.resize(rows.size() + size_t(count - (last - first + 1)), 0);
        box |= QRect(dx, dy, count, 1);
    }
    m_words.reserve(4 + rows.size());
    for (const int side : {box.left(), box.top(), box.right(), box.bottom()})
        m_words.push_back(uint32_t(side));
    m_words.insert(m_words.end(), rows.begin(), rows.end());
}

CQtLabelPicture::Target CQtLabelPicture::TargetOf(QImage& image)
{
    return Target{image.bits(), image.bytesPerLine(), image.rect()};
}

QRect CQtLabelPicture::Box() const
{
    return QRect(QPoint(int(m_words[0]), int(m_words[1])),
                 QPoint(int(m_words[2]), int(m_words[3])));
}

void CQtLabelPicture::LayOver(const Target& target, QPoint at, const QRect& clip) const
{
    const QRect area = clip & target.rect;
    const QRect placed = Box().translated(at);
    if (!area.intersects(placed))
        return;
    const bool whole = area.contains(placed);
    const uint32_t* word = m_words.data() + 4;
    const uint32_t* const end = m_words.data() + m_words.size();
    while (word < end) {
        const int y = at.y() + int16_t(word[0] >> 16);
        int x = at.x() + int16_t(word[0] & 0xffff);
        int count = int(word[1]);
        const uint32_t* source = word + 2;
        word = source + count;
        if (!whole) {
            if (y < area.top() || y > area.bottom())
                continue;
            const int from = std::max(x, area.left());
            const int to = std::min(x + count, area.right() + 1);
            if (from >= to)
                continue;
            source += from - x;
            x = from;
            count = to - from;
        }
        Blend(reinterpret_cast<QRgb*>(target.bits + y * target.stride) + x, source, count);
    }
}

size_t CQtLabelPicture::Bytes() const
{
    return sizeof(*this) + m_words.capacity() * sizeof(uint32_t);
}
