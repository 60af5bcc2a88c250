#include <gtest/gtest.h>

#include <cstdint>

#include "model/CNet.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

// The kept margins must be what working them out each time gives, whatever the order of the
// questions: square and slanted angles of the same stack share nothing, and a pad turned on
// its own makes the square angles the slanted ones.
TEST(CPadStackReaches, MarginsAreThoseWorkedOutEachTime)
{
    CPadStackArray stacks;
    const int32_t plain = stacks.Add(
        CPadStack("R", PAD_RECTANGLE, -2000, -500, 2000, 500, 0, LAYER_TOP, PADSTACK_KIND_PAD));
    const int32_t turned = stacks.Add(
        CPadStack("T", PAD_RECTANGLE, -2000, -500, 2000, 500, 0, LAYER_TOP, PADSTACK_KIND_PAD));
    for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer)
        stacks.GetPadStack(turned)->GetPad(layer)->SetRotation(45000);
    const int32_t angles[] = {0,      45000,  90000,   -90000, 30000, 360000,
                              -45000, 180000, 2250000, 0,      45000, -2250000};
    CPadStackReaches reaches(stacks);
    for (const int32_t stack : {plain, turned, 0, plain, turned, -1, stacks.GetCount() + 3}) {
        for (const int32_t angle : angles)
            EXPECT_EQ(reaches.Margin(stack, angle), CNet::PadStackMargin(stacks, stack, angle))
                << stack << " " << angle;
    }
    EXPECT_NE(reaches.Margin(plain, 0), reaches.Margin(plain, 45000));
    EXPECT_NE(reaches.Margin(turned, 0), reaches.Margin(plain, 0));
}

} // namespace
