#include "analysis/TextStrokes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/CWevraFont.h"
#include "model/CWevraText.h"

namespace {

std::vector<std::pair<CPoint, CPoint>> Strokes(const CWevraFont& font, const std::string& text)
{
    CWevraText board;
    board.SetText(text);
    board.SetPosition(CPoint(1000, 2000));
    board.SetHeight(4800);
    std::vector<std::pair<CPoint, CPoint>> strokes;
    ForEachTextStroke(board, font, [&](CPoint from, CPoint to) { strokes.emplace_back(from, to); });
    return strokes;
}

// The copper the plane fill and the router keep clear of is the text the board shows: a
// character without a glyph of its own is its substitute there too.
TEST(TextStrokes, FollowTheSubstitutesOfTheBoardText)
{
    CWevraFont font;
    ASSERT_TRUE(font.Load(std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / CWevraFont::fileName));
    EXPECT_EQ(Strokes(font, "\xC6gis\x99"), Strokes(font, "AEgisTM"));
    EXPECT_FALSE(Strokes(font, "\xC6").empty());
    EXPECT_NE(Strokes(font, "Gr\xF6\xDF"
                            "e"),
              Strokes(font, "Gr\xF6ss"
                            "e"));
}

} // namespace
