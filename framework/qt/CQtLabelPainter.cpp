#include "framework/qt/CQtLabelPainter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QFontMetrics>
#include <QGlyphRun>
#include <QTextOption>

namespace {

constexpr QRgb white = 0xffffffffu;

} // namespace

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

    // Lines under or through a text run along all of it, and spacing moves glyphs apart: such a
    // font's texts are always shaped whole.
    if (font.underline() || font.overline() || font.strikeOut() || font.letterSpacing() != 0 ||
        font.wordSpacing() != 0 || font.capitalization() != QFont::MixedCase)
        return;
    CQtLabelPieces& pieces = CQtLabelPieces::Of(font, m_dotsPerMeterX, m_dotsPerMeterY);
    const std::lock_guard<std::mutex> held(pieces.Lock());
    m_pieces = &pieces;
    if (!pieces.IsChecked()) {
        CheckPieces();
        pieces.SetChecked();
    }
    if (!pieces.IsUsable())
        m_pieces = nullptr;
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
    if (Compose(text))
        return m_advance;
    m_composed = false;
    // A text measured first is drawn next: it is shaped once for both.
    if (!m_line.isValid() || text != m_layout.text())
        Shape(text);
    m_advance = m_shapedAdvance;
    return m_advance;
}

void CQtLabelPainter::Shape(const QString& text)
{
    m_layout.setText(text);
    m_layout.beginLayout();
    m_line = m_layout.createLine();
    m_layout.endLayout();
    // The line's advance keeps its trailing spaces, as the metrics' does, and is rounded alike.
    m_shapedAdvance = qRound(m_line.horizontalAdvance());
}

CQtLabelPicture CQtLabelPainter::Picture(QRgb ink)
{
    const int width = m_advance + 2 * m_reach;
    if (width > m_room.width())
        Grow(width);
    if (m_composed) {
        FindPieces();
        if (std::optional<CQtLabelPicture> picture = PutSideBySide(ink, width))
            return std::move(*picture);
        if (const std::optional<QRect> covered = PutTogether(ink, width))
            return TakePicture(*covered, ink);
        m_composed = false;
        if (!m_line.isValid() || m_composedText != m_layout.text())
            Shape(m_composedText);
    }
    DrawShaped(0, ink, width);
    return TakePicture(QRect(0, 0, width, 3 * m_reach), ink);
}

void CQtLabelPainter::DrawShaped(int shift, QRgb ink, int width)
{
    // Pixels past the cell are cut off as on an image of the cell's size.
    if (width != m_clipWidth) {
        m_painter.setClipRect(QRect(0, 0, width, 3 * m_reach));
        m_clipWidth = width;
    }
    if (m_painter.pen().color() != QColor::fromRgba(ink))
        m_painter.setPen(QColor::fromRgba(ink));
    // The line puts its baseline its own ascent below the point, which need not be whole
    // pixels: the point is moved so that the baseline lands where drawText puts it.
    if (m_line.isValid())
        m_line.draw(&m_painter,
                    QPointF(m_reach + shift / 64.0, m_reach + m_ascent - m_line.ascent()));
}

CQtLabelPicture CQtLabelPainter::TakePicture(const QRect& covered, QRgb ink)
{
    uchar* const bits = m_room.bits();
    const qsizetype stride = m_room.bytesPerLine();
    const uchar* const first =
        bits + covered.top() * stride + covered.left() * qsizetype(sizeof(QRgb));
    CQtLabelPicture picture(first, stride, covered.size(),
                            QPoint(m_reach, m_reach) - covered.topLeft(), ink);
    // Only the rows the text covers hold any pixels: premultiplied, an uncovered pixel is 0.
    const QRect box = picture.Box().translated(m_reach, m_reach);
    for (int y = std::max(box.top(), covered.top()); y <= std::min(box.bottom(), covered.bottom());
         ++y)
        std::memset(bits + y * stride + covered.left() * qsizetype(sizeof(QRgb)), 0,
                    size_t(covered.width()) * sizeof(QRgb));
    return picture;
}

bool CQtLabelPainter::Compose(const QString& text)
{
    if (m_pieces == nullptr)
        return false;
    const int advance = NoteGlyphs(text, true);
    if (advance < 0)
        return false;
    m_composed = true;
    m_composedText = text;
    // As the shaped line's advance, a sum of 64ths, is rounded.
    m_advance = qRound(advance / 64.0);
    return true;
}

int CQtLabelPainter::NoteGlyphs(const QString& text, bool usablePairs)
{
    if (text.isEmpty() || text.size() > longestComposed)
        return -1;
    const int advance = m_pieces->Place(
        int(text.size()), [&](int k) { return CQtLabelPieces::IndexOf(text[k]); }, usablePairs,
        m_glyphIndexes.data(), m_glyphStarts.data());
    if (advance >= 0)
        m_glyphCount = int(text.size());
    return advance;
}

void CQtLabelPainter::FindPieces()
{
    // Every glyph is found before any is put down: drawing a new one uses the room.
    for (int k = 0; k < m_glyphCount; ++k)
        m_glyphPieces[size_t(k)] =
            &PieceOf(m_glyphIndexes[size_t(k)], m_glyphStarts[size_t(k)] & 63);
}

CQtLabelPainter::PlacedGlyph CQtLabelPainter::Place(int k, int width) const
{
    const CQtLabelPieces::Piece& piece = *m_glyphPieces[size_t(k)];
    const int at = piece.left + (m_glyphStarts[size_t(k)] >> 6);
    return PlacedGlyph{piece, at, std::max(0, -at), std::min(piece.width, width - at)};
}

std::optional<CQtLabelPicture> CQtLabelPainter::PutSideBySide(QRgb ink, int width)
{
    const int height = 3 * m_reach;
    // Whole rows of a glyph are copied, up to eight bytes past its last pixel.
    constexpr int align = CQtLabelPieces::Piece::align;
    const qsizetype stride = m_room.width() + align;
    if (m_coverage.size() < size_t(stride * height))
        m_coverage.assign(size_t(stride * height), 0);
    uint8_t* const bits = m_coverage.data();
    int left = width;
    int top = height;
    int right = 0;
    int bottom = 0;
    // Glyphs after the last column written need no look at what lies under them.
    int written = -1;
    bool apart = true;
    for (int k = 0; k < m_glyphCount && apart; ++k) {
        const auto [piece, at, from, to] = Place(k, width);
        if (from >= to)
            continue;
        left = std::min(left, at + from);
        right = std::max(right, at + to);
        top = std::min(top, piece.top);
        bottom = std::max(bottom, piece.top + piece.height);
        const bool clear = at + from > written;
        written = std::max(written, at + to - 1);
        const bool whole = from == 0 && to == piece.width;
        for (int r = 0; r < piece.height && apart; ++r) {
            uint8_t* const row = bits + (piece.top + r) * stride + at + from;
            const uint8_t* const coverage =
                piece.coverage.data() + size_t(r) * size_t(piece.stride) + from;
            if (clear && whole) {
                // What lies past the glyph is not written yet: its zeros go over zeros.
                for (int c = 0; c < piece.stride; c += align)
                    std::memcpy(row + c, coverage + c, align);
                continue;
            }
            if (clear) {
                for (int c = 0; c < to - from; ++c)
                    row[c] = coverage[c];
                continue;
            }
            for (int c = 0; c < to - from; ++c) {
                if (coverage[c] == 0)
                    continue;
                if (row[c] != 0) {
                    apart = false;
                    break;
                }
                row[c] = coverage[c];
            }
        }
    }
    std::optional<CQtLabelPicture> picture;
    if (left >= right) {
        // A text of no pixels still has a picture, of nothing.
        picture =
            CQtLabelPicture::OfCoverage(bits, stride, QSize(0, 0), QPoint(m_reach, m_reach), ink);
        return picture;
    }
    uint8_t* const first = bits + top * stride + left;
    if (apart)
        picture = CQtLabelPicture::OfCoverage(first, stride, QSize(right - left, bottom - top),
                                              QPoint(m_reach - left, m_reach - top), ink);
    for (int y = 0; y < bottom - top; ++y)
        std::memset(first + y * stride, 0, size_t(right - left));
    return picture;
}

std::optional<QRect> CQtLabelPainter::PutTogether(QRgb ink, int width)
{
    if (ink != m_inkedFor) {
        for (uint32_t alpha = 0; alpha < 256; ++alpha)
            m_inked[alpha] = CQtLabelPicture::Inked(ink, alpha);
        m_inkedFor = ink;
    }
    uchar* const bits = m_room.bits();
    const qsizetype stride = m_room.bytesPerLine();
    QRect covered;
    bool known = true;
    for (int k = 0; k < m_glyphCount && known; ++k) {
        const auto [piece, left, from, to] = Place(k, width);
        if (from < to)
            covered |= QRect(left + from, piece.top, to - from, piece.height);
        for (int r = 0; r < piece.height && known; ++r) {
            QRgb* const row = reinterpret_cast<QRgb*>(bits + (piece.top + r) * stride);
            const uint8_t* const coverage =
                piece.coverage.data() + size_t(r) * size_t(piece.stride);
            for (int c = from; c < to; ++c) {
                const uint32_t alpha = coverage[c];
                if (alpha == 0)
                    continue;
                QRgb& pixel = row[left + c];
                // As Qt blends a glyph's coverage in an opaque ink; over a pixel already opaque
                // it may correct for gamma instead, which is left to Qt.
                if (pixel == 0 || alpha == 255) {
                    pixel = m_inked[alpha];
                } else if (qAlpha(pixel) == 255) {
                    known = false;
                    break;
                } else {
                    pixel = CQtLabelPicture::Over(pixel, m_inked[alpha]);
                }
            }
        }
    }
    if (!known) {
        for (int y = covered.top(); y <= covered.bottom(); ++y)
            std::memset(bits + y * stride, 0, size_t(width) * sizeof(QRgb));
        return std::nullopt;
    }
    // A text of no pixels still has a picture, of nothing.
    return covered.isEmpty() ? QRect(0, 0, 1, 1) : covered;
}

const CQtLabelPieces::Piece& CQtLabelPainter::PieceOf(int index, int phase)
{
    const CQtLabelPieces::Piece*& found = m_found[size_t(index * CQtLabelPieces::phases + phase)];
    if (found == nullptr) {
        const std::lock_guard<std::mutex> held(m_pieces->Lock());
        found = &KeptPiece(index, phase);
    }
    return *found;
}

const CQtLabelPieces::Piece& CQtLabelPainter::KeptPiece(int index, int phase)
{
    if (const CQtLabelPieces::Piece* kept = m_pieces->Find(index, phase))
        return *kept;
    // Drawn alone in white, a pixel's alpha is the glyph's coverage of it; nothing cuts it
    // short but the room, which a glyph never leaves.
    Shape(QString(QChar(CQtLabelPieces::characters[index])));
    DrawShaped(phase, white, m_room.width());
    uchar* const bits = m_room.bits();
    const qsizetype stride = m_room.bytesPerLine();
    const auto rowOf = [&](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    QRect box;
    for (int y = 0; y < m_room.height(); ++y) {
        const QRgb* row = rowOf(y);
        for (int x = 0; x < m_room.width(); ++x) {
            if (row[x] != 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    constexpr int align = CQtLabelPieces::Piece::align;
    const int pieceStride = (box.width() + align - 1) / align * align;
    CQtLabelPieces::Piece piece{box.left(),  box.top(), box.width(), box.height(),
                                pieceStride, {},        {}};
    piece.coverage.resize(size_t(pieceStride) * size_t(box.height()));
    for (int r = 0; r < box.height(); ++r) {
        QRgb* row = rowOf(box.top() + r);
        for (int c = 0; c < box.width(); ++c)
            piece.coverage[size_t(r * pieceStride + c)] = uint8_t(qAlpha(row[box.left() + c]));
        std::memset(row, 0, size_t(m_room.width()) * sizeof(QRgb));
    }
    // The text is drawn at the room's point (reach, reach).
    piece.picture = CQtLabelPicture::OfCoverage(piece.coverage.data(), pieceStride, box.size(),
                                                QPoint(m_reach, m_reach) - box.topLeft(), white);
    return *m_pieces->Keep(index, phase, std::move(piece));
}

void CQtLabelPainter::CheckPieces()
{
    constexpr int count = CQtLabelPieces::characterCount;
    // Each character is one glyph, whose advance is a whole number of 64ths.
    for (int index = 0; index < count; ++index) {
        Shape(QString(QChar(CQtLabelPieces::characters[index])));
        const QList<QGlyphRun> runs = m_layout.glyphRuns();
        const double advance = m_line.isValid() ? m_line.horizontalAdvance() * 64 : -1;
        if (runs.size() != 1 || runs.front().glyphIndexes().size() != 1 || advance < 0 ||
            advance != double(qRound(advance)))
            return;
        m_pieces->SetAdvance(index, qRound(advance));
    }
    // Then Qt's own pixels of a text against the same put together, in white and in a colour
    // whose blending rounds differently.
    const int height = 3 * m_reach;
    const auto sameAsShaped = [&](const QString& text) {
        const int advance = NoteGlyphs(text, false);
        Shape(text);
        if (qRound(advance / 64.0) != m_shapedAdvance)
            return false;
        const int width = m_shapedAdvance + 2 * m_reach;
        if (width > m_room.width())
            Grow(width);
        // A glyph drawn for the first time draws in the room: all are drawn before the text.
        for (int k = 0; k < m_glyphCount; ++k) {
            const int index = m_glyphIndexes[size_t(k)];
            const int phase = m_glyphStarts[size_t(k)] & 63;
            m_found[size_t(index * CQtLabelPieces::phases + phase)] = &KeptPiece(index, phase);
        }
        FindPieces();
        Shape(text);
        const auto clear = [&] {
            for (int y = 0; y < height; ++y)
                std::memset(m_room.scanLine(y), 0, size_t(width) * sizeof(QRgb));
        };
        for (const QRgb ink : {white, qRgb(200, 120, 40)}) {
            DrawShaped(0, ink, width);
            std::vector<QRgb> shaped;
            for (int y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(m_room.constScanLine(y));
                shaped.insert(shaped.end(), row, row + width);
            }
            clear();
            bool same = PutTogether(ink, width).has_value();
            for (int y = 0; y < height && same; ++y)
                same = std::memcmp(m_room.constScanLine(y), shaped.data() + size_t(y * width),
                                   size_t(width) * sizeof(QRgb)) == 0;
            clear();
            if (!same)
                return false;
        }
        return true;
    };
    // Long runs take glyphs at many phases; should one differ, the font is always shaped.
    for (const char16_t* run : {u"0123456789.-0123456789", u"-9.87654321098765432101"}) {
        if (!sameAsShaped(QString::fromUtf16(run)))
            return;
    }
    for (int first = 0; first < count; ++first) {
        for (int second = 0; second < count; ++second) {
            const QChar pair[] = {QChar(CQtLabelPieces::characters[first]),
                                  QChar(CQtLabelPieces::characters[second])};
            m_pieces->SetPairUsable(first, second, sameAsShaped(QString(pair, 2)));
        }
    }
    m_pieces->SetUsable(true);
}
