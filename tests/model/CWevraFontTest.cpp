#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CWevraFont.h"
#include "model/FontSubstitute.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;
using archive_bytes::Bytes;
using archive_bytes::ReadFile;
using archive_bytes::WriteFile;

const fs::path builtFont = fs::path(WEVRA_BUILD_DIR) / "bin" / CWevraFont::fileName;

// Width and height of a text by the file format's own rule, straight from the file's bytes:
// characters are the runs of equal bit 7 from code 0 on, the last record of a run is the
// advance, coordinates are the bytes times 3, scaled by height / 48.
CRect MeasureFromBytes(const Bytes& file, const std::vector<int>& codes, int64_t height)
{
    std::vector<std::vector<size_t>> groups(1);
    uint8_t previous = 0;
    for (size_t at = 0; at + 3 <= file.size(); at += 3) {
        const uint8_t bit = file[at + 2] & 0x80;
        if (bit != previous)
            groups.emplace_back();
        previous = bit;
        groups.back().push_back(at);
    }
    const int64_t k = height / 48;
    int64_t right = 0;
    int64_t bottom = 0;
    int64_t cursor = 0;
    for (int code : codes) {
        const std::vector<size_t>& group = groups.at(size_t(code));
        for (size_t i = 0; i + 1 < group.size(); ++i) {
            right = std::max(right, file[group[i]] * 3 * k + cursor);
            bottom = std::max(bottom, file[group[i] + 1] * 3 * k);
        }
        cursor += file[group.back()] * 3 * k;
    }
    return CRect(0, 0, int32_t(right), int32_t(bottom));
}

class CWevraFontFiles : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const Bytes& bytes) const
    {
        const fs::path path = m_folder / name;
        WriteFile(path, bytes);
        return path;
    }

    CTempFolder m_folder{"wevra-font"};
    CFakeServices m_fakes;
};

TEST(CWevraFontBuilt, FileHasTheFormatsSizeAndMeasuresByItsRecords)
{
    const Bytes file = ReadFile(builtFont);
    ASSERT_EQ(file.size(), CWevraFont::fileSize);

    CWevraFont font;
    ASSERT_TRUE(font.Load(builtFont));
    EXPECT_EQ(font.GetCellHeight(), 48);
    EXPECT_EQ(font.GetFile(), builtFont);

    const CRect hello = MeasureFromBytes(file, {'H', 'E', 'L', 'L', 'O'}, 4800);
    EXPECT_GT(hello.right, 0);
    EXPECT_EQ(font.GetTextRect("HELLO", 4800), hello);
    // Every printable character in one text, at heights that scale up, to nothing and below
    // zero, where a glyph's farthest point is its least coordinate.
    std::string printable;
    std::vector<int> printableCodes;
    for (int code = 0x20; code < 0x7F; ++code) {
        printable += char(code);
        printableCodes.push_back(code);
    }
    for (const int32_t height : {4800, 47, -4800, -130})
        EXPECT_EQ(font.GetTextRect(printable, height),
                  MeasureFromBytes(file, printableCodes, height))
            << height;

    // A capital is exactly as tall as the text height: 48 of the cell's 48 units.
    int32_t top = 1000;
    int32_t bottom = 0;
    for (int32_t r = font.GetFirstRecord('H'); r < font.GetEndRecord('H'); ++r) {
        top = std::min<int32_t>(top, font.GetRecord(r).y);
        bottom = std::max<int32_t>(bottom, font.GetRecord(r).y);
    }
    EXPECT_EQ((bottom - top) * (4800 / 48), 4800);

    // Letters with diaeresis measure at their code-page-437 places, as they are drawn.
    const std::string windowsLetters = "\xC4\xD6\xDC\xEB\xEF\xF6\xFC\xFF";
    const std::vector<int> fontCodes = {142, 153, 154, 137, 139, 148, 129, 152};
    for (size_t i = 0; i < fontCodes.size(); ++i) {
        const CRect expected = MeasureFromBytes(file, {fontCodes[i]}, 4800);
        EXPECT_GT(expected.right, 0) << fontCodes[i];
        EXPECT_EQ(font.GetTextRect(windowsLetters.substr(i, 1), 4800), expected) << i;
    }
}

TEST(CWevraFontBuilt, DrawsTheStrokesOfAGlyph)
{
    CWevraFont font;
    ASSERT_TRUE(font.Load(builtFont));
    // The L is a stroke down from (3, 3) to (3, 19) and on to (12, 19) in font units, i.e.
    // (9, 9), (9, 57), (36, 57) scaled by 3; at height 4800 each unit is 100 board units.
    CRecordingDC dc;
    font.DrawText(dc, "L", CPoint(1000, 2000), 4800, 0, false, CPoint(500, -500), 10);
    EXPECT_EQ(dc.Lines(),
              (std::vector<std::string>{"MoveTo 240 240", "LineTo 240 720", "LineTo 510 720"}));

    // Mirrored, x is negated before the quarter turn (x, y) -> (y, -x).
    dc.Clear();
    font.DrawText(dc, "L", CPoint(1000, 2000), 4800, 90000, true, CPoint(500, -500), 10);
    EXPECT_EQ(dc.Lines(),
              (std::vector<std::string>{"MoveTo 240 240", "LineTo 720 240", "LineTo 720 510"}));

    // Below the cell height every point collapses onto the start point.
    dc.Clear();
    font.DrawText(dc, "L", CPoint(1000, 2000), 47, 0, false, CPoint(0, 0), 1);
    EXPECT_EQ(dc.Lines(), (std::vector<std::string>{"MoveTo 1000 2000", "LineTo 1000 2000",
                                                    "LineTo 1000 2000"}));
}

// Every character of Windows-1252 a user can type leaves its mark on the board: its own glyph,
// or a substitute where the font has none. Only control codes, DEL and the five codes the code
// page leaves free are not typed.
TEST(CWevraFontBuilt, EveryTypableCharacterIsDrawn)
{
    CWevraFont font;
    ASSERT_TRUE(font.Load(builtFont));
    const auto strokes = [&font](const std::string& text) {
        CRecordingDC dc;
        font.DrawText(dc, text, CPoint(), 4800, 0, false, CPoint(), 1);
        return dc.Lines();
    };
    for (int code = 0x20; code <= 0xFF; ++code) {
        if (code == 0x7F || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 ||
            code == 0x9D)
            continue;
        const std::string character(1, char(code));
        if (code == 0x20 || code == 0xA0) {
            EXPECT_GT(font.GetTextRect("I" + character + "I", 4800).right,
                      font.GetTextRect("II", 4800).right)
                << std::hex << code;
            continue;
        }
        const std::vector<std::string> drawn = strokes(character);
        EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(),
                                [](const std::string& line) { return line.starts_with("LineTo"); }))
            << std::hex << code;
        EXPECT_GT(font.GetTextRect("I" + character, 4800).right, font.GetTextRect("I", 4800).right)
            << std::hex << code;
    }

    // Letters the font holds keep their glyph, accented ones with their accent, the sharp s its
    // own; the others read as their usual spelling, and a sign at a code where the font keeps a
    // letter of code page 437 never takes that letter's look.
    const std::string accented = "\xC0\xC1\xC2\xC3\xC4\xC5\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD1"
                                 "\xD2\xD3\xD4\xD5\xD6\xD9\xDA\xDB\xDC\xDD\xDF\xE0\xE1\xE2\xE3\xE4"
                                 "\xE5\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF1\xF2\xF3\xF4\xF5\xF6"
                                 "\xF9\xFA\xFB\xFC\xFD\xFF";
    EXPECT_EQ(font.MissingCharacters(accented), "");
    for (char letter : accented) {
        const std::string drawn(1, letter);
        EXPECT_NE(strokes(drawn), strokes(std::string(FontSubstitute(uint8_t(letter)))))
            << std::hex << int(uint8_t(letter));
    }
    EXPECT_EQ(strokes("\x99"), strokes("TM"));
    EXPECT_EQ(strokes("\x9A"), strokes("s"));
    EXPECT_EQ(font.GetTextRect("\xC6", 4800), font.GetTextRect("AE", 4800));

    // What a warning names: each character drawn by a substitute or not at all, once.
    EXPECT_EQ(font.MissingCharacters("\xC6\x99x\xC6\xA0\x99\x01"), "\xC6\x99\x01");
    EXPECT_EQ(font.DescribeMissing("\xC6\x99\x01"),
              "\"\xC6\" as \"AE\", \"\x99\" as \"TM\", \"\x01\" not drawn");
}

TEST_F(CWevraFontFiles, MissingFontIsReportedAndLeavesTheFontEmpty)
{
    CWevraFont font;
    ASSERT_TRUE(font.Load(builtFont));
    EXPECT_FALSE(font.Load(m_folder / "missing.dat"));
    EXPECT_FALSE(font.Load(m_folder.Path()));
    EXPECT_EQ(m_fakes.messages.ShownTexts(),
              (std::vector<std::string>{"Font not found", "Font not found"}));

    EXPECT_FALSE(font.IsLoaded());
    EXPECT_EQ(font.GetTextRect("HELLO", 4800), CRect(0, 0, 0, 0));
    CRecordingDC dc;
    font.DrawText(dc, "HELLO", CPoint(0, 0), 4800, 0, false, CPoint(0, 0), 1);
    EXPECT_TRUE(dc.Lines().empty());
}

TEST_F(CWevraFontFiles, DamagedFontsAreRefusedByNameAndLongFilesReadTheirFirstRecords)
{
    // Long: bytes past the 4000th record are ignored.
    CWevraFont font;
    Bytes built = ReadFile(builtFont);
    ASSERT_EQ(built.size(), CWevraFont::fileSize);
    Bytes longFile = built;
    longFile.insert(longFile.end(), 30, 0xFF);
    ASSERT_TRUE(font.Load(Write("long.dat", longFile)));
    EXPECT_TRUE(font.IsLoaded());
    EXPECT_TRUE(m_fakes.messages.ShownTexts().empty());

    // Each of these would draw every board text wrongly or not at all, on screen and in the
    // manufacturing files: refused by name, and the font stays empty.
    Bytes flagged = built;
    flagged[3 * 10 + 2] |= 0x40;
    Bytes wild = built;
    wild[3 * 20] = 0xFF;
    Bytes toggling(CWevraFont::fileSize, 0);
    for (size_t r = 0; r < size_t(CWevraFont::recordCount); ++r)
        toggling[r * 3 + 2] = (r % 2 == 0) ? 0x81 : 0x01;
    Bytes fewCharacters(CWevraFont::fileSize, 0);
    const std::pair<const char*, Bytes> damaged[] = {
        {"empty.dat", Bytes()},     {"cut.dat", Bytes(built.begin(), built.begin() + 600)},
        {"flagged.dat", flagged},   {"wild.dat", wild},
        {"few.dat", fewCharacters},
    };
    for (const auto& [name, bytes] : damaged) {
        m_fakes.messages.ClearShown();
        const std::filesystem::path file = Write(name, bytes);
        EXPECT_FALSE(font.Load(file)) << name;
        EXPECT_FALSE(font.IsLoaded()) << name;
        ASSERT_EQ(m_fakes.messages.ShownTexts().size(), 1u) << name;
        EXPECT_EQ(m_fakes.messages.ShownTexts()[0].rfind(
                      "The stroke font " + file.string() + " is damaged: ", 0),
                  0u)
            << m_fakes.messages.ShownTexts()[0];
    }
    // Every record a character of its own within the cell passes; any text still draws within
    // the table, groups past the 256th landing on code 255.
    for (size_t r = 0; r < size_t(CWevraFont::recordCount); ++r)
        toggling[r * 3] = toggling[r * 3 + 1] = 20;
    ASSERT_TRUE(font.Load(Write("toggling.dat", toggling)));
    EXPECT_EQ(font.GetFirstRecord(255), CWevraFont::recordCount);
    std::string everyCode;
    for (int c = 1; c < 256; ++c)
        everyCode.push_back(char(c));
    CRecordingDC dc;
    font.DrawText(dc, everyCode, CPoint(0, 0), 48, 0, false, CPoint(0, 0), 1);
    EXPECT_LE(font.GetTextRect(everyCode, 48).bottom, 48);
}

} // namespace
