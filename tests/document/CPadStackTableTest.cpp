#include "document/CPadStackTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CDesign.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "tests/document/DocTestViews.h"

namespace {

using Cells = std::vector<std::string>;

// A library of two padstacks: "SMD, 1" (10 by 20 mil on top, used twice by one shape) and
// "VIA" (unused).
class CPadStackTableTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        doc->Design().SetUnit(CLengthText::unitMil);
        CPadStackArray& stacks = library.GetPadStacks();
        stacks.RemoveAll();
        const int32_t smd = stacks.Add(CPadStack("SMD, 1", PAD_RECTANGLE, -1280, -2560, 1280, 2560,
                                                 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        stacks.Add(
            CPadStack("VIA", PAD_ROUND, -2560, -2560, 2560, 2560, 1280, 0, PADSTACK_KIND_VIA));
        const int32_t shape = library.AddShape("TWO");
        library.AddPadToShape(shape, -2560, 0, uint16_t(smd), 0);
        library.AddPadToShape(shape, 2560, 0, uint16_t(smd), 0);
    }
    void EnableOnly(std::vector<int32_t> enabled)
    {
        for (int32_t layer = 1; layer < LAYER_COUNT; ++layer)
            doc->Design().GetLayers().GetLayer(layer)->SetEnabled(
                std::find(enabled.begin(), enabled.end(), layer) != enabled.end());
    }

    CShapeLib library{"Parts"};
};

} // namespace

TEST_F(CPadStackTableTest, GeneralRowThenOneRowPerEnabledLayer)
{
    EnableOnly({LAYER_TOP, LAYER_BOTTOM});
    const std::vector<CTableRow> rows = CPadStackTable::Rows(*doc, library);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].cells, (Cells{"1", "SHAPE", "SMD, 1", "2", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[0].rightAligned, 0u);
    EXPECT_EQ(rows[1].cells, (Cells{"1", "", "", "", " 1 Signal Top", "Rectangle", "10 mil",
                                    "20 mil", "0 mil", "0 mil"}));
    EXPECT_EQ(rows[1].rightAligned, 0x3C0u);
    EXPECT_EQ(rows[2].cells[4], " 2 Signal Bottom");
    EXPECT_EQ(rows[2].cells[6], "0 mil");
    EXPECT_EQ(rows[3].cells, (Cells{"2", "VIA", "VIA", "0", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[5].cells[5], "Round");
    EXPECT_EQ(rows[6].cells, (Cells{" ", "", "", "", "", "", "", "", "", ""}));
}

TEST_F(CPadStackTableTest, EdgesOfTheTable)
{
    // No board layer in use: the general rows only.
    EnableOnly({});
    std::vector<CTableRow> rows = CPadStackTable::Rows(*doc, library);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].cells[0], "2");

    // An empty library: the closing blank row only.
    library.GetPadStacks().RemoveAll();
    rows = CPadStackTable::Rows(*doc, library);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cells[0], " ");
}

// Showing the cache's table counts its use without marking the design's padstacks.
TEST_F(CPadStackTableTest, TheDesignIsLeftAlone)
{
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    cache.GetPadStacks().RemoveAll();
    const int32_t pad = cache.GetPadStacks().Add(
        CPadStack("P", PAD_SQUARE, -1000, -1000, 1000, 1000, 0, LAYER_TOP, PADSTACK_KIND_PAD));
    cache.AddPadToShape(cache.AddShape("ONE"), 0, 0, uint16_t(pad), 0);
    const std::vector<CTableRow> rows = CPadStackTable::Rows(*doc, cache);
    EXPECT_EQ(rows[0].cells[1], "GENERAL");
    EXPECT_EQ(rows[0].cells[3], "0");
    EXPECT_FALSE(cache.GetPadStacks().IsShapePadKind(pad));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(CPadStackTable::DefaultName(*doc, cache), "P");
}
