#include "framework/qt/CQtLabelGlyphs.h"

#include <algorithm>
#include <climits>

#include <QChar>

#include "framework/qt/CQtLabelPainter.h"

bool CQtLabelGlyphs::CMissing::Any() const
{
    return std::ranges::any_of(
        m_bits, [](const auto& bits) { return bits.load(std::memory_order_relaxed) != 0; });
}

CQtLabelGlyphs::CQtLabelGlyphs(const CQtLabelPainter& painter)
    : m_pieces(*painter.Pieces()), m_reach(painter.Reach())
{
    for (int byte = 0; byte < 256; ++byte)
        m_indexes[size_t(byte)] = int8_t(CQtLabelPieces::IndexOf(QChar(char16_t(byte))));
}

bool CQtLabelGlyphs::Compose(std::string_view text, QRgb ink, CQtLabelBatch::GlyphRun& run,
                             int& top, int& bottom, CMissing& missing) const
{
    constexpr int maxGlyphs = CQtLabelBatch::GlyphRun::maxGlyphs;
    if (text.empty() || text.size() > size_t(maxGlyphs))
        return false;
    // Where each glyph starts in 64ths of a pixel, as CQtLabelPainter notes them.
    std::array<int8_t, maxGlyphs> indexes{};
    std::array<int, maxGlyphs> starts{};
    const int count = int(text.size());
    if (m_pieces.Place(
            count, [&](int k) { return int(m_indexes[uint8_t(text[size_t(k)])]); }, true,
            indexes.data(), starts.data()) < 0)
        return false;
    std::array<int, maxGlyphs> slotOf{};
    bool held = true;
    for (int k = 0; k < count; ++k) {
        slotOf[size_t(k)] = indexes[size_t(k)] * CQtLabelPieces::phases + (starts[size_t(k)] & 63);
        if (m_held[size_t(slotOf[size_t(k)])] == nullptr) {
            missing.Note(slotOf[size_t(k)]);
            held = false;
        }
    }
    if (!held)
        return false;
    top = INT_MAX;
    bottom = INT_MIN;
    run.left = INT_MAX;
    run.right = INT_MIN;
    int laid = 0;
    for (int k = 0; k < count; ++k) {
        const CQtLabelPieces::Piece& piece = *m_held[size_t(slotOf[size_t(k)])];
        if (piece.width == 0)
            continue;
        const int shift = starts[size_t(k)] >> 6;
        run.glyphs[size_t(laid)] = uint16_t(slotOf[size_t(k)]);
        run.shifts[size_t(laid)] = uint16_t(shift);
        ++laid;
        top = std::min(top, piece.top - m_reach);
        bottom = std::max(bottom, piece.top + piece.height - 1 - m_reach);
        const QRect box = m_pictures[size_t(slotOf[size_t(k)])]->Box();
        run.left = std::min(run.left, box.left() + shift);
        run.right = std::max(run.right, box.right() + shift);
    }
    run.ink = ink;
    run.count = laid;
    if (laid == 0) {
        top = 0;
        bottom = -1;
    }
    return true;
}

void CQtLabelGlyphs::Hold(CQtLabelPainter& painter, const CMissing& missing)
{
    for (int slot = 0; slot < slotCount; ++slot) {
        if (!missing.Has(slot) || m_held[size_t(slot)] != nullptr)
            continue;
        const CQtLabelPieces::Piece& piece =
            painter.Glyph(slot / CQtLabelPieces::phases, slot % CQtLabelPieces::phases);
        m_held[size_t(slot)] = &piece;
        m_pictures[size_t(slot)] = &*piece.picture;
    }
}
