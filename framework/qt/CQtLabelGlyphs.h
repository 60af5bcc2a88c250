#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "framework/qt/CQtLabelBatch.h"
#include "framework/qt/CQtLabelPieces.h"

class CQtLabelPainter;
class CQtLabelPicture;

// A font's numbers as one thread lays them straight from the font's kept glyphs: a board's first
// paint writes a hundred thousand via numbers, each once, and making a picture of each, keeping
// it and finding it again took most of that paint.
//
// Qt draws a text glyph by glyph, each blended over what lies under it; the kept glyphs laid one
// by one in the text's order give the same pixels. A picture of the whole text, its glyphs put
// together over nothing first, can differ from that by a level where two glyphs share a pixel
// (small sizes, italics) that was not black.
class CQtLabelGlyphs {
public:
    static constexpr int slotCount = CQtLabelPieces::characterCount * CQtLabelPieces::phases;

    // The glyphs that texts were written in but this thread does not hold yet, noted side by side.
    class CMissing {
    public:
        void Note(int slot)
        {
            // Every thread meets the same few glyphs a hundred thousand times: each writes only
            // what is not noted yet, so the noted ones are read side by side.
            if (!Has(slot))
                m_bits[size_t(slot / 64)].fetch_or(uint64_t(1) << (slot % 64),
                                                   std::memory_order_relaxed);
        }
        bool Has(int slot) const
        {
            return (m_bits[size_t(slot / 64)].load(std::memory_order_relaxed) >> (slot % 64) & 1) !=
                   0;
        }
        bool Any() const;

    private:
        std::array<std::atomic<uint64_t>, (slotCount + 63) / 64> m_bits{};
    };

    // `painter` must have kept glyphs (CQtLabelPainter::Pieces).
    explicit CQtLabelGlyphs(const CQtLabelPainter& painter);

    // Whether the design text is written in kept glyphs the font lets be put together
    // (CQtLabelPieces::IsPairUsable) and held here; if so `run` gets them in `ink` and `top` and
    // `bottom` the rows they cover, from the point the text is drawn at. Glyphs not held yet are
    // noted in `missing`. May be asked on several threads at once, not while Hold runs.
    bool Compose(std::string_view text, QRgb ink, CQtLabelBatch::GlyphRun& run, int& top,
                 int& bottom, CMissing& missing) const;
    // Holds the glyphs noted missing, drawn by `painter` where nobody kept them yet.
    void Hold(CQtLabelPainter& painter, const CMissing& missing);

    // The glyphs' pictures by slot, as CQtLabelBatch lays runs from them.
    const CQtLabelPicture* const* Pictures() const { return m_pictures.data(); }

private:
    const CQtLabelPieces& m_pieces;
    int m_reach = 0;
    // Each design byte's index among the kept characters, or -1.
    std::array<int8_t, 256> m_indexes{};
    std::array<const CQtLabelPieces::Piece*, slotCount> m_held{};
    std::array<const CQtLabelPicture*, slotCount> m_pictures{};
};
