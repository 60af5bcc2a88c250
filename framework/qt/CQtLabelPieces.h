#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QChar>
#include <QFont>
#include <QString>

#include "framework/qt/CQtLabelPicture.h"

// The glyphs numbers are written with, each as Qt draws it alone in one font, at each 64th of a
// pixel it may start at: a board's first paint writes a hundred thousand via numbers, and
// putting their glyphs together costs a fraction of laying out and drawing each text. Kept once
// for the whole program per font and resolution, filled by the label painters that use them.
class CQtLabelPieces {
public:
    // The characters whose glyphs are kept.
    static constexpr char16_t characters[] = u"0123456789.-";
    static constexpr int characterCount = int(std::size(characters)) - 1;
    // Starting points a pixel holds: Qt places glyphs in 64ths.
    static constexpr int phases = 64;

    // One glyph's covered pixels in a label painter's room, as drawn at its origin plus the
    // phase; its coverage row by row, each row a whole number of eight bytes, the bytes past
    // its width 0.
    struct Piece {
        static constexpr int align = 8;
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        int stride = 0;
        std::vector<uint8_t> coverage;
        // The same as a picture of coverage, from the point its text is drawn at: numbers are
        // laid glyph by glyph from these.
        std::optional<CQtLabelPicture> picture;
    };

    // The pieces of `font` laid on a device of the given resolution, the same for every caller.
    static CQtLabelPieces& Of(const QFont& font, int dotsPerMeterX, int dotsPerMeterY);

    // The index of `character` among the kept ones, or -1.
    static int IndexOf(QChar character);

    // Held while the pieces are looked up, filled or checked.
    std::mutex& Lock() { return m_lock; }

    // Whether the font's characters were checked: by the first painter that met the font.
    bool IsChecked() const { return m_checked; }
    void SetChecked() { m_checked = true; }
    // Whether the font is put together from pieces at all.
    bool IsUsable() const { return m_usable; }
    void SetUsable(bool usable) { m_usable = usable; }
    // A character's advance in 64ths of a pixel.
    int Advance(int index) const { return m_advances[size_t(index)]; }
    void SetAdvance(int index, int advance) { m_advances[size_t(index)] = advance; }
    // Whether the glyphs of two characters written one after the other may be put together:
    // not when the font moves either of them for the other.
    bool IsPairUsable(int first, int second) const
    {
        return m_pairs[size_t(first * characterCount + second)];
    }
    void SetPairUsable(int first, int second, bool usable)
    {
        m_pairs[size_t(first * characterCount + second)] = usable;
    }

    // Notes where each of `count` characters written one after another (the k-th is kept
    // character indexAt(k)) starts, in 64ths of a pixel, in `indexes` and `starts`; gives their
    // advance, or -1 where a character is not kept or (with `usablePairs`) two are not to be put
    // together.
    template <class IndexAt>
    int Place(int count, IndexAt indexAt, bool usablePairs, int8_t* indexes, int* starts) const
    {
        int start = 0;
        int previous = -1;
        for (int k = 0; k < count; ++k) {
            const int index = indexAt(k);
            if (index < 0 || (usablePairs && previous >= 0 && !IsPairUsable(previous, index)))
                return -1;
            indexes[k] = int8_t(index);
            starts[k] = start;
            start += Advance(index);
            previous = index;
        }
        return start;
    }

    // The piece of a character at a phase, null until it is drawn; drawn pieces stay.
    const Piece* Find(int index, int phase) const
    {
        return m_pieces[size_t(index * phases + phase)].get();
    }
    const Piece* Keep(int index, int phase, Piece piece);

private:
    std::mutex m_lock;
    bool m_checked = false;
    bool m_usable = false;
    std::array<int, characterCount> m_advances{};
    std::array<bool, characterCount * characterCount> m_pairs{};
    std::array<std::unique_ptr<const Piece>, characterCount * phases> m_pieces;
};
