#include "model/CWevraFont.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <vector>

#include "framework/CArchiveException.h"
#include "framework/CDeviceContext.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "model/FontSubstitute.h"
#include "model/Geometry.h"

WEVRA_IMPLEMENT_SERIAL(CWevraFont, "CWevraFont", 0)

namespace {

// Keeps the running x of a text far inside int64 however long the text; any stroke beyond the
// int32 range ends up clamped there anyway.
int64_t ClampCursor(int64_t cursor)
{
    constexpr int64_t limit = int64_t(1) << 40;
    return std::clamp(cursor, -limit, limit);
}

// The font keeps letters of code page 437 at 0x80..0x9F: a trade mark sign drawn from its own
// code would come out as an O with diaeresis.
bool IsCp437Place(uint8_t ansi)
{
    return ansi >= 0x80 && ansi <= 0x9F && CWevraFont::FontCode(ansi) == ansi;
}

} // namespace

CWevraFont::CWevraFont() = default;

void CWevraFont::Clear()
{
    m_name.clear();
    m_file.clear();
    m_maxX = 0;
    m_cellHeight = 0;
    m_records.fill(StrokeRec{});
    m_first.fill(0);
    m_end.fill(0);
    m_reach.fill(GlyphReach{});
}

void CWevraFont::MeasureGlyphs()
{
    for (size_t code = 0; code < m_reach.size(); ++code) {
        const Character c = GetCharacter(uint8_t(code));
        GlyphReach& reach = m_reach[code];
        for (int32_t r = c.first; r < c.end; ++r) {
            const StrokeRec record = GetRecord(r);
            reach.maxX = std::max(reach.maxX, record.x);
            reach.maxY = std::max(reach.maxY, record.y);
            reach.drawn = true;
        }
        reach.advance = GetRecord(c.advance).x;
    }
}

std::string CWevraFont::CheckStructure(std::span<const uint8_t> bytes)
{
    if (bytes.size() < fileSize)
        return "it holds " + std::to_string(bytes.size()) + " bytes of the " +
               std::to_string(fileSize) + " of a font";
    constexpr uint8_t knownFlags = StrokeRec::penDown | StrokeRec::characterToggle;
    int32_t characters = 0;
    uint8_t previous = 0;
    for (int32_t n = 0; n < recordCount; ++n) {
        const uint8_t* record = bytes.data() + size_t(n) * recordSize;
        if ((record[2] & ~knownFlags) != 0)
            return "record " + std::to_string(n + 1) + " has a flag of no meaning";
        if (record[0] > maxCellCoordinate || record[1] > maxCellCoordinate)
            return "record " + std::to_string(n + 1) + " lies outside the character cell";
        const uint8_t toggle = record[2] & StrokeRec::characterToggle;
        if (toggle != previous)
            ++characters;
        previous = toggle;
    }
    if (characters < minCharacterCount)
        return "it holds " + std::to_string(characters) + " characters, fewer than the " +
               std::to_string(minCharacterCount) + " of a font";
    return {};
}

bool CWevraFont::Load(const std::filesystem::path& path, std::string* problem)
{
    Clear();
    const auto report = [problem](const std::string& text) {
        if (problem != nullptr)
            *problem = text;
        else
            CServices::Messages().MessageBox(text, "", MB_OK);
        return false;
    };
    std::vector<uint8_t> bytes;
    try {
        bytes = CInputFile::ReadBytes(path, maxFileSize);
    } catch (const CArchiveException&) {
        return report(fontNotFoundText);
    }
    std::string why;
    if (!LoadBytes(bytes, &why))
        return report("The stroke font " + path.string() + " is damaged: " + why + ".");
    m_file = path;
    return true;
}

bool CWevraFont::LoadBytes(std::span<const uint8_t> bytes, std::string* why)
{
    Clear();
    // Texts drawn with a broken font vanish or turn into wild strokes on screen and in the
    // manufacturing files alike.
    const std::string problem = CheckStructure(bytes);
    if (!problem.empty()) {
        if (why != nullptr)
            *why = problem;
        return false;
    }

    for (int32_t i = 1; i <= recordCount; ++i) {
        const size_t at = size_t(i - 1) * recordSize;
        StrokeRec& record = m_records[size_t(i)];
        record.x = int16_t(uint8_t(bytes[at]) * 3);
        record.y = int16_t(uint8_t(bytes[at + 1]) * 3);
        record.flag = uint8_t(bytes[at + 2]);
        m_maxX = std::max<int32_t>(m_maxX, record.x);
    }
    m_cellHeight = loadedCellHeight;

    // A character starts where the toggle bit changes; groups past the 256th all land on 255.
    int32_t code = 0;
    uint8_t previous = 0;
    for (int32_t n = 1; n <= recordCount; ++n) {
        const uint8_t toggle = m_records[size_t(n)].flag & StrokeRec::characterToggle;
        if (toggle == previous)
            continue;
        previous = toggle;
        m_end[size_t(code)] = uint16_t(n - 1);
        if (code < 255)
            ++code;
        m_first[size_t(code)] = uint16_t(n);
    }
    MeasureGlyphs();
    return true;
}

StrokeRec CWevraFont::GetRecord(int32_t index) const
{
    return index >= 1 && index <= recordCount ? m_records[size_t(index)] : StrokeRec{};
}

uint8_t CWevraFont::FontCode(uint8_t ansi)
{
    switch (ansi) {
    case 0xC4:
        return 142; // A with diaeresis
    case 0xD6:
        return 153; // O with diaeresis
    case 0xDC:
        return 154; // U with diaeresis
    case 0xEB:
        return 137; // e with diaeresis
    case 0xEF:
        return 139; // i with diaeresis
    case 0xF6:
        return 148; // o with diaeresis
    case 0xFC:
        return 129; // u with diaeresis
    case 0xFF:
        return 152; // y with diaeresis
    default:
        return ansi;
    }
}

bool CWevraFont::HasGlyph(uint8_t code) const
{
    const Character c = GetCharacter(code);
    return c.first < c.end || GetRecord(c.advance).x > 0;
}

bool CWevraFont::DrawsOwnGlyph(uint8_t ansi) const
{
    return !IsCp437Place(ansi) && HasGlyph(FontCode(ansi));
}

std::string CWevraFont::GlyphCodes(std::string_view text) const
{
    std::string codes;
    codes.reserve(text.size());
    for (char ch : text) {
        const auto ansi = uint8_t(ch);
        const std::string_view substitute = FontSubstitute(ansi);
        if (DrawsOwnGlyph(ansi))
            codes.push_back(char(FontCode(ansi)));
        else if (!substitute.empty())
            codes.append(substitute);
        else if (!IsCp437Place(ansi))
            codes.push_back(ch);
    }
    return codes;
}

std::string CWevraFont::MissingCharacters(std::string_view text) const
{
    constexpr char noBreakSpace = '\xA0';
    std::string missing;
    // Without a font nothing is drawn, which loading it has said already.
    if (!IsLoaded())
        return missing;
    for (char ch : text) {
        if (ch != noBreakSpace && !DrawsOwnGlyph(uint8_t(ch)) &&
            missing.find(ch) == std::string::npos)
            missing.push_back(ch);
    }
    return missing;
}

std::string CWevraFont::DescribeMissing(std::string_view text) const
{
    std::string description;
    for (char ch : MissingCharacters(text)) {
        if (!description.empty())
            description += ", ";
        const std::string_view substitute = FontSubstitute(uint8_t(ch));
        description += "\"" + std::string(1, ch) + "\"";
        description += substitute.empty() ? std::string(" not drawn")
                                          : " as \"" + std::string(substitute) + "\"";
    }
    return description;
}

CWevraFont::Character CWevraFont::GetCharacter(uint8_t code) const
{
    const int32_t first = m_first[code];
    const int32_t end = m_end[code];
    return Character{first, end, first >= end ? first : end};
}

CRect CWevraFont::GetTextRect(std::string_view text, int32_t height) const
{
    if (!IsLoaded())
        return CRect();
    const int64_t k = height / m_cellHeight;
    int64_t right = 0;
    int64_t bottom = 0;
    int64_t cursor = 0;
    for (char code : GlyphCodes(text)) {
        const GlyphReach& reach = m_reach[uint8_t(code)];
        // Coordinates are never below zero: below a zero scale nothing reaches past the origin.
        if (reach.drawn) {
            right = std::max(right, reach.maxX * k + cursor);
            bottom = std::max(bottom, reach.maxY * k);
        }
        cursor = ClampCursor(cursor + reach.advance * k);
    }
    return CRect(0, 0, SaturateToInt(right), SaturateToInt(bottom));
}

void CWevraFont::DrawText(CDeviceContext& dc, std::string_view text, CPoint position,
                          int32_t height, int32_t angle, bool mirrored, CPoint viewOffset,
                          int32_t scale) const
{
    if (!IsLoaded())
        return;
    const int64_t divisor = std::max(scale, 1);
    const int64_t k = height / m_cellHeight;
    int64_t cursor = 0;
    for (char code : GlyphCodes(text)) {
        const Character c = GetCharacter(uint8_t(code));
        for (int32_t r = c.first; r < c.end; ++r) {
            const StrokeRec record = GetRecord(r);
            int64_t px = record.x * k + cursor;
            if (mirrored)
                px = -px;
            const CPoint turned =
                RotatePoint(SaturateToInt(px), SaturateToInt(record.y * k), angle);
            const CPoint pixel(
                SaturateToInt((int64_t(position.x) + viewOffset.x + turned.x) / divisor),
                SaturateToInt((int64_t(position.y) + viewOffset.y + turned.y) / divisor));
            if (record.IsPenDown())
                dc.LineTo(pixel);
            else
                dc.MoveTo(pixel);
        }
        cursor = ClampCursor(cursor + GetRecord(c.advance).x * k);
    }
}

void CWevraFont::Serialize(CArchive&) {}
