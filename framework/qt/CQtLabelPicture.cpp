#include "framework/qt/CQtLabelPicture.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// The same for pixels that are the opaque ink times their coverage: the ink times the coverage
// over each target pixel times the rest.
void BlendInk(QRgb* target, const uint8_t* coverage, int count, QRgb ink)
{
    int k = 0;
#if defined(__SSE2__)
    const __m128i lowBytes = _mm_set1_epi32(0x00ff00ff);
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i zero = _mm_setzero_si128();
    const bool white = ink == 0xffffffffu;
    const __m128i inkLow = _mm_set1_epi32(int(ink & 0x00ff00ff));
    const __m128i inkHigh = _mm_set1_epi32(int((ink >> 8) & 0x00ff00ff));
    for (; k + 4 <= count; k += 4) {
        uint32_t four = 0;
        std::memcpy(&four, coverage + k, sizeof(four));
        // A label's rows pass between its glyphs and through their holes: four uncovered
        // pixels blend to themselves.
        if (four == 0)
            continue;
        auto* into = reinterpret_cast<__m128i*>(target + k);
        const __m128i bytes = _mm_cvtsi32_si128(int(four));
        __m128i source;
        __m128i rest;
        if (white) {
            // White times the coverage is the coverage in every channel.
            const __m128i twice = _mm_unpacklo_epi8(bytes, bytes);
            source = _mm_unpacklo_epi16(twice, twice);
            const __m128i wide = _mm_unpacklo_epi8(bytes, zero);
            rest = _mm_sub_epi16(lowBytes, _mm_unpacklo_epi16(wide, wide));
        } else {
            const __m128i alpha = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
            const __m128i both = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
            __m128i sl = _mm_mullo_epi16(inkLow, both);
            sl = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(sl, _mm_srli_epi16(sl, 8)), half), 8);
            __m128i sh = _mm_mullo_epi16(inkHigh, both);
            sh = _mm_andnot_si128(lowBytes,
                                  _mm_add_epi16(_mm_add_epi16(sh, _mm_srli_epi16(sh, 8)), half));
            source = _mm_or_si128(sl, sh);
            rest = _mm_sub_epi16(lowBytes, both);
        }
        const __m128i d = _mm_loadu_si128(into);
        __m128i t = _mm_mullo_epi16(_mm_and_si128(d, lowBytes), rest);
        t = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
        __m128i u = _mm_mullo_epi16(_mm_srli_epi16(d, 8), rest);
        u = _mm_andnot_si128(lowBytes, _mm_add_epi16(_mm_add_epi16(u, _mm_srli_epi16(u, 8)), half));
        _mm_storeu_si128(into, _mm_add_epi32(source, _mm_or_si128(t, u)));
    }
#endif
    for (; k < count; ++k)
        target[k] = ByteMul(ink, coverage[k]) + ByteMul(target[k], 255 - coverage[k]);
}

// Each coverage's pixel in the ink, as Qt writes it: a board's labels come in an ink or two, and
// working it out for every pixel took a third of making a picture.
const QRgb* InkedPixels(QRgb ink)
{
    thread_local struct {
        std::optional<QRgb> ink;
        std::array<QRgb, 256> pixels{};
    } table;
    if (table.ink != ink) {
        for (uint32_t alpha = 0; alpha < 256; ++alpha)
            table.pixels[alpha] = ByteMul(ink, alpha);
        table.ink = ink;
    }
    return table.pixels.data();
}

} // namespace

CQtLabelPicture::CQtLabelPicture(const QImage& drawn, QPoint origin, std::optional<QRgb> ink)
    : CQtLabelPicture(drawn.constBits(), drawn.bytesPerLine(), drawn.size(), origin, ink)
{
}

CQtLabelPicture::CQtLabelPicture(const uchar* bits, qsizetype stride, QSize size, QPoint origin,
                                 std::optional<QRgb> ink)
{
    const int width = std::min(size.width(), maxSide);
    const int height = std::min(size.height(), maxSide);
    const auto rowOf = [bits, stride](int y) {
        return reinterpret_cast<const QRgb*>(bits + y * stride);
    };
    // Each row's covered pixels, from the first to the last. A board's first paint makes a
    // hundred thousand pictures: the room is kept.
    struct Span {
        int y;
        int first;
        int last;
    };
    thread_local std::vector<Span> spans;
    spans.clear();
    // Qt writes a text's pixels as its ink times their coverage; coverage alone then gives
    // them back exactly. Any pixel that is not so keeps every pixel whole.
    bool coverage = ink && qAlpha(*ink) == 255;
    const QRgb* const inked = coverage ? InkedPixels(*ink) : nullptr;
    size_t words = firstRow;
    for (int y = 0; y < height; ++y) {
        const QRgb* row = rowOf(y);
        // Most of a label's rows are clear, and are passed over in a sweep the compiler widens.
        QRgb any = 0;
        for (int x = 0; x < width; ++x)
            any |= row[x];
        if (qAlpha(any) == 0)
            continue;
        int first = 0;
        int last = width - 1;
        while (qAlpha(row[first]) == 0)
            ++first;
        while (qAlpha(row[last]) == 0)
            --last;
        spans.push_back(Span{y, first, last});
        for (int x = first; coverage && x <= last; ++x)
            coverage = row[x] == inked[qAlpha(row[x])];
        // Uncovered pixels make up whole fours: the blending then never goes pixel by pixel.
        words += 2 + size_t((last - first + 4) & ~3);
    }
    if (coverage) {
        words = firstRow;
        for (const Span& span : spans)
            words += 2 + size_t((span.last - span.first + 4) / 4);
    }
    m_words.assign(words, 0);
    QRect box;
    uint32_t* word = m_words.data() + firstRow;
    for (const auto& [y, first, last] : spans) {
        const QRgb* row = rowOf(y);
        const int16_t dx = int16_t(first - origin.x());
        const int16_t dy = int16_t(y - origin.y());
        const int count = (last - first + 4) & ~3;
        *word++ = uint32_t(uint16_t(dx)) | uint32_t(uint16_t(dy)) << 16;
        *word++ = uint32_t(count);
        if (coverage) {
            auto* bytes = reinterpret_cast<uint8_t*>(word);
            for (int x = first; x <= last; ++x)
                bytes[x - first] = uint8_t(qAlpha(row[x]));
            word += count / 4;
        } else {
            std::copy(row + first, row + last + 1, word);
            word += count;
        }
        box |= QRect(dx, dy, count, 1);
    }
    int k = 0;
    for (const int side : {box.left(), box.top(), box.right(), box.bottom()})
        m_words[size_t(k++)] = uint32_t(side);
    m_words[inkWord] = coverage ? *ink : 0;
}

CQtLabelPicture CQtLabelPicture::OfCoverage(const uint8_t* coverage, qsizetype stride, QSize size,
                                            QPoint origin, QRgb ink)
{
    const int width = std::min(size.width(), maxSide);
    const int height = std::min(size.height(), maxSide);
    // The words are laid out as from the inked pixels: each row's covered bytes, from the first
    // to the last, in whole fours.
    thread_local std::vector<std::pair<int, int>> spans;
    spans.resize(size_t(std::max(height, 0)));
    size_t words = firstRow;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = coverage + y * stride;
        int first = 0;
        while (first < width && row[first] == 0)
            ++first;
        int last = width - 1;
        while (last > first && row[last] == 0)
            --last;
        spans[size_t(y)] = {first, last};
        if (first < width)
            words += 2 + size_t((last - first + 4) / 4);
    }
    CQtLabelPicture picture;
    picture.m_words.assign(words, 0);
    // Left, top, right, bottom, rows going down.
    std::array<int, 4> box{0, 0, -1, -1};
    uint32_t* word = picture.m_words.data() + firstRow;
    for (int y = 0; y < height; ++y) {
        const auto [first, last] = spans[size_t(y)];
        if (first >= width)
            continue;
        const int16_t dx = int16_t(first - origin.x());
        const int16_t dy = int16_t(y - origin.y());
        const int count = (last - first + 4) & ~3;
        *word++ = uint32_t(uint16_t(dx)) | uint32_t(uint16_t(dy)) << 16;
        *word++ = uint32_t(count);
        std::memcpy(word, coverage + y * stride + first, size_t(last - first + 1));
        word += count / 4;
        if (box[2] < box[0]) {
            box = {dx, dy, dx + count - 1, dy};
        } else {
            box = {std::min(box[0], int(dx)), box[1], std::max(box[2], dx + count - 1), dy};
        }
    }
    // An empty box is that of a null rectangle.
    for (size_t k = 0; k < box.size(); ++k)
        picture.m_words[k] = uint32_t(box[k]);
    picture.m_words[inkWord] = ink;
    return picture;
}

CQtLabelPicture::Target CQtLabelPicture::TargetOf(QImage& image)
{
    return Target{image.bits(), image.bytesPerLine(), image.rect()};
}

void CQtLabelPicture::LayOver(const Target& target, QPoint at, const QRect& clip, QRgb ink) const
{
    const QRect area = clip & target.rect;
    const QRect placed = Box().translated(at);
    if (!area.intersects(placed))
        return;
    const bool whole = area.contains(placed);
    const uint32_t* word = m_words.data() + firstRow;
    const uint32_t* const end = m_words.data() + m_words.size();
    while (word < end) {
        const int y = at.y() + int16_t(word[0] >> 16);
        int x = at.x() + int16_t(word[0] & 0xffff);
        int count = int(word[1]);
        const uint32_t* source = word + 2;
        word = source + (ink ? count / 4 : count);
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
        QRgb* into = reinterpret_cast<QRgb*>(target.bits + y * target.stride) + x;
        if (ink)
            BlendInk(into, reinterpret_cast<const uint8_t*>(source) + skipped, count, ink);
        else
            Blend(into, source + skipped, count);
    }
}

void CQtLabelPicture::LayWholeIn(const Target& target, QPoint at, QRgb ink) const
{
    const uint32_t* word = m_words.data() + firstRow;
    const uint32_t* const end = m_words.data() + m_words.size();
    while (word < end) {
        const int y = at.y() + int16_t(word[0] >> 16);
        const int x = at.x() + int16_t(word[0] & 0xffff);
        const int count = int(word[1]);
        const auto* coverage = reinterpret_cast<const uint8_t*>(word + 2);
        word += 2 + count / 4;
        BlendInk(reinterpret_cast<QRgb*>(target.bits + y * target.stride) + x, coverage, count,
                 ink);
    }
}

QRgb CQtLabelPicture::Inked(QRgb ink, uint32_t coverage)
{
    return ByteMul(ink, coverage);
}

QRgb CQtLabelPicture::Over(QRgb under, QRgb over)
{
    return over + ByteMul(under, 255 - qAlpha(over));
}

size_t CQtLabelPicture::Bytes() const
{
    return sizeof(*this) + m_words.capacity() * sizeof(uint32_t);
}
