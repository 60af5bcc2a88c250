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
    std::array<int, maxGlyphs> slotOf{};
    std::array<int, maxGlyphs> starts{};
    const int count = int(text.size());
    int start = 0;
    int previous = -1;
    bool held = true;
    for (int k = 0; k < count; ++k) {
        const int index = m_indexes[uint8_t(text[size_t(k)])];
        if (index < 0 || (previous >= 0 && !m_pieces.IsPairUsable(previous, index)))
            return false;
        starts[size_t(k)] = start;
        slotOf[size_t(k)] = index * CQtLabelPieces::phases + (start & 63);
        if (m_held[size_t(slotOf[size_t(k)])] == nullptr) {
            missing.Note(slotOf[size_t(k)]);
            held = false;
        }
        start += m_pieces.Advance(index);
        previous = index;
    }
    if (!held)
        return false;
    top = INT_MAX;
    bottom = INT_MIN;
    int laid = 0;
    for (int k = 0; k < count; ++k) {
        const CQtLabelPieces::Piece& piece = *m_held[size_t(slotOf[size_t(k)])];
        if (piece.width == 0)
            continue;
        run.glyphs[size_t(laid)] = uint16_t(slotOf[size_t(k)]);
        run.shifts[size_t(laid)] = uint16_t(starts[size_t(k)] >> 6);
        ++laid;
        top = std::min(top, piece.top - m_reach);
        bottom = std::max(bottom, piece.top + piece.height - 1 - m_reach);
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
