#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "model/StrokeRec.h"

class CArchive;
class CDeviceContext;

// The stroke font every board text is drawn and measured with, so that texts look the same on
// screen, on paper and in photoplots at any size and angle. Read from the font file; not part
// of the design. Characters are scaled by text height / cell height (integer division), so a
// text lower than the cell height collapses to its start point.
class CWevraFont : public CObject {
    WEVRA_DECLARE_SERIAL(CWevraFont)

public:
    static constexpr char fileName[] = "Wevrapf1.dat";
    static constexpr int32_t recordCount = 4000;
    static constexpr size_t recordSize = 3;
    static constexpr size_t fileSize = size_t(recordCount) * recordSize;
    static constexpr int32_t loadedCellHeight = 48;
    static constexpr char fontNotFoundText[] = "Font not found";
    // Bytes past the 4000th record are never used; a file far longer is no font.
    static constexpr uintmax_t maxFileSize = 1024 * 1024;

    // An empty font: it draws nothing and measures every text as an empty rectangle.
    CWevraFont();

    // Replaces the font by the file's. A file that cannot be read (missing, no regular file,
    // larger than maxFileSize) gives "Font not found"; one that fails CheckStructure is refused
    // with the file named; either leaves the font empty. The problem goes to `problem` when
    // given, else into a message. Only the first 4000 records count.
    bool Load(const std::filesystem::path& path, std::string* problem = nullptr);
    // The same from the bytes of a font file; `why` says what is wrong with them.
    bool LoadBytes(std::span<const uint8_t> bytes, std::string* why);
    // A font file whose strokes would draw board texts wrongly or not at all: shorter than its
    // 4000 records, a flag of no meaning, a stroke point outside the character cell, or fewer
    // characters than the printable ASCII set needs. Empty when the bytes are a sound font.
    static std::string CheckStructure(std::span<const uint8_t> bytes);

    bool IsLoaded() const { return m_cellHeight >= minUsableCellHeight; }
    const std::string& GetName() const { return m_name; }
    const std::filesystem::path& GetFile() const { return m_file; }
    int32_t GetMaxX() const { return m_maxX; }
    int32_t GetCellHeight() const { return m_cellHeight; }

    // Records 1..4000 hold the file's records; 0 and any other index read as a zero record.
    StrokeRec GetRecord(int32_t index) const;
    uint16_t GetFirstRecord(uint8_t code) const { return m_first[code]; }
    uint16_t GetEndRecord(uint8_t code) const { return m_end[code]; }

    // The font's place of a Windows letter: the letters with diaeresis the font holds sit at
    // their code page 437 codes.
    static uint8_t FontCode(uint8_t ansi);
    // The font codes a text is drawn and measured with: each character's own glyph, or, when
    // the font holds none for it, its substitute ("ss" for sharp s, the base letter of an
    // accented one), so that no character a user typed vanishes from the board. Codes
    // 0x80..0x9F of the font hold code page 437 letters, never the Windows characters of those
    // codes, which always take their substitutes.
    std::string GlyphCodes(std::string_view text) const;
    // The characters of a text, each once in the order they first appear, that the font draws
    // by a substitute or not at all. A no-break space drawn as a space is drawn as it is; a font
    // that is not loaded lacks nothing (loading it told why it draws nothing).
    std::string MissingCharacters(std::string_view text) const;
    // What a text's missing characters come out as, for a warning: each as '"<c>" as "<drawn>"'
    // or '"<c>" not drawn', separated by ", "; empty when nothing is missing.
    std::string DescribeMissing(std::string_view text) const;

    // The box of a text at a height, from (0, 0) at its start point to the right end of its
    // widest stroke and the lowest point; y grows downward.
    CRect GetTextRect(std::string_view text, int32_t height) const;

    // Draws the text's strokes with the selected pen: each stroke point scaled, mirrored (x
    // negated), rotated by `angle` (1/1000 degree) about the text position, moved there, then
    // mapped to device pixels as (board + view offset) / scale.
    void DrawText(CDeviceContext& dc, std::string_view text, CPoint position, int32_t height,
                  int32_t angle, bool mirrored, CPoint viewOffset, int32_t scale) const;

    // The font is never stored with a design.
    void Serialize(CArchive& ar) override;

private:
    static constexpr int32_t minUsableCellHeight = 10;
    // The farthest a stroke point of a character reaches in the file's units, and the fewest
    // characters a font holds (through '~').
    static constexpr uint8_t maxCellCoordinate = 32;
    static constexpr int32_t minCharacterCount = 127;

    // The records a character draws, [first, end), and the one holding its advance width.
    struct Character {
        int32_t first;
        int32_t end;
        int32_t advance;
    };
    Character GetCharacter(uint8_t code) const;
    // A glyph draws something or at least moves on, as a space does.
    bool HasGlyph(uint8_t code) const;
    // Whether the font draws the Windows character with a glyph of its own.
    bool DrawsOwnGlyph(uint8_t ansi) const;

    void Clear();
    // How far each glyph's points reach, for measuring texts without walking their strokes;
    // on a font just cleared.
    void MeasureGlyphs();

    std::string m_name;
    std::filesystem::path m_file;
    int32_t m_maxX = 0;
    int32_t m_cellHeight = 0;
    // Slot 0 stays zero; the file's records are 1..4000.
    std::array<StrokeRec, size_t(recordCount) + 1> m_records{};
    std::array<uint16_t, 256> m_first{};
    std::array<uint16_t, 256> m_end{};
    // The greatest coordinates of a glyph's points, and its advance width: a board of many
    // components measures every component's texts when they are added.
    struct GlyphReach {
        bool drawn = false;
        int16_t maxX = 0;
        int16_t maxY = 0;
        int16_t advance = 0;
    };
    std::array<GlyphReach, 256> m_reach{};
};
