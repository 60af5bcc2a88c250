#include <gtest/gtest.h>

#include <cstdint>

#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

CRect PadRect(const CPadStack& stack, int32_t layer)
{
    return stack.GetPad(layer)->GetRect();
}

TEST(CPadTest, SizeChangesKeepOffsetAndSquareLock)
{
    CPad pad(0, PAD_RECTANGLE, CRect(-100, -50, 100, 50));
    pad.SetWidth(1001);
    EXPECT_EQ(pad.GetRect(), CRect(-501, -50, 501, 50));

    // An offset pad keeps its offset: centre at x = 300, offset -600.
    CPad offset(0, PAD_RECTANGLE, CRect(200, -50, 400, 50));
    offset.SetWidth(400);
    EXPECT_EQ(offset.GetRect(), CRect(100, -50, 500, 50));
    EXPECT_EQ(offset.GetOffsetX(), -600);
    offset.SetHeight(300);
    EXPECT_EQ(offset.GetRect(), CRect(100, -150, 500, 150));
    offset.CentreY(-1000);
    EXPECT_EQ(offset.GetRect(), CRect(100, 350, 500, 650));

    // Square-locked shapes follow in the other direction; the others do not.
    CPad round(0, PAD_ROUND, CRect(-500, -500, 500, 500));
    round.SetWidth(2000);
    EXPECT_EQ(round.GetRect(), CRect(-1000, -1000, 1000, 1000));
    round.SetHeight(3001);
    EXPECT_EQ(round.GetRect(), CRect(-1501, -1501, 1501, 1501));

    // SetShape makes a locked shape a centred square of at least 0.5 mm.
    CPad wide(0, PAD_RECTANGLE, CRect(-1500, -500, 1500, 500));
    wide.SetShape(PAD_ROUND);
    EXPECT_EQ(wide.GetRect(), CRect(-2519, -2519, 2519, 2519));
    CPad big(0, PAD_RECTANGLE, CRect(0, -500, 8000, 500));
    big.SetShape(PAD_SQUARE);
    EXPECT_EQ(big.GetRect(), CRect(-4000, -4000, 4000, 4000));
    big.SetShape(PAD_OVAL);
    EXPECT_EQ(big.GetRect(), CRect(-4000, -4000, 4000, 4000));
    EXPECT_EQ(big.GetShape(), PAD_OVAL);
}

TEST(CPadTest, ExtremeRectanglesFromFilesSaturate)
{
    CPad pad(0, PAD_ROUND, CRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_EQ(pad.GetWidth(), INT32_MAX);
    EXPECT_EQ(pad.GetOffsetX(), 1);
    pad.SetWidth(INT32_MAX); // must end, whatever the sides come to
    pad.SetHeight(INT32_MIN);
    CPad far(0, PAD_SQUARE, CRect(INT32_MAX - 10, 0, INT32_MAX, 10));
    far.SetWidth(INT32_MAX);
    EXPECT_EQ(far.GetRect().right, INT32_MAX);
}

TEST(CPadStackTest, ThroughHoleStackHasOuterMaskDrillAndInnerPads)
{
    CPadStack stack("X", PAD_ROUND, -4031, -4031, 4031, 4031, 6047, LAYER_COMMON, 1);
    EXPECT_EQ(PadRect(stack, LAYER_TOP), CRect(-4031, -4031, 4031, 4031));
    EXPECT_EQ(PadRect(stack, LAYER_BOTTOM), CRect(-4031, -4031, 4031, 4031));
    EXPECT_EQ(PadRect(stack, LAYER_MASK_TOP), CRect(-5038, -5038, 5038, 5038));
    EXPECT_EQ(PadRect(stack, LAYER_MASK_BOTTOM), CRect(-5038, -5038, 5038, 5038));
    EXPECT_EQ(PadRect(stack, LAYER_DRILL), CRect(-3023, -3023, 3023, 3023));
    for (int32_t layer = LAYER_GROUND; layer <= LAYER_INNER_12; ++layer)
        EXPECT_EQ(PadRect(stack, layer), CRect(-5038, -5038, 5038, 5038)) << layer;
    EXPECT_FALSE(stack.GetPad(LAYER_PASTE_TOP)->HasShape());
    EXPECT_EQ(stack.GetDrill(), 6046);
    EXPECT_EQ(stack.GetLayerMask(), 0u);
    stack.RecalcMasks();
    EXPECT_EQ(stack.GetLayerMask(), 0x0203FFFFu);
    EXPECT_EQ(stack.GetMirroredLayerMask(), 0x0203FFFFu);
    EXPECT_TRUE(stack.IsPadKind());
    EXPECT_FALSE(stack.IsVia());
    EXPECT_EQ(stack.GetPad(LAYER_COUNT), nullptr);
    EXPECT_EQ(stack.GetPad(-1), nullptr);
}

TEST(CPadStackTest, SurfaceMountStackGetsTopPasteAndMaskOnAnyLayer)
{
    CPadStack top("T", PAD_RECTANGLE, -100, -200, 100, 200, 0, LAYER_TOP, 2);
    top.RecalcMasks();
    EXPECT_EQ(top.GetLayerMask(), 0x00050001u);         // layers 1, 17, 19
    EXPECT_EQ(top.GetMirroredLayerMask(), 0x000A0002u); // layers 2, 18, 20
    EXPECT_EQ(top.GetDrill(), 0);
    EXPECT_EQ(PadRect(top, LAYER_MASK_TOP), CRect(-1107, -1207, 1107, 1207));

    CPadStack bottom("B", PAD_RECTANGLE, -100, -200, 100, 200, 0, LAYER_BOTTOM, 2);
    bottom.RecalcMasks();
    EXPECT_EQ(bottom.GetLayerMask(), 0x00050002u); // layers 2, 17, 19
}

} // namespace
