#include "analysis/CPlaneRefill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CResourcePack.h"
#include "framework/CWorkPool.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"
#include "tests/analysis/PlaneBuildBoard.h"
#include "tests/support/CFakeServices.h"

namespace {

// What a fill leaves in its plane, point for point.
struct Outcome {
    std::vector<std::vector<CPoint>> polygons;
    std::vector<FillStroke> strokes;
    int32_t errors = 0;
    CPoint mark;

    bool operator==(const Outcome&) const = default;
};

Outcome OutcomeOf(const CPour& plane)
{
    Outcome outcome;
    for (const auto& polygon : plane.GetFillPolylines())
        outcome.polygons.emplace_back(polygon->GetData(), polygon->GetData() + polygon->GetSize());
    outcome.strokes.assign(plane.GetFillStrokes().begin(), plane.GetFillStrokes().end());
    outcome.errors = plane.GetFillErrorCount();
    outcome.mark = plane.GetErrorMark();
    return outcome;
}

class CPlaneRefillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UsePlaneFillMessages();
        for (int32_t n = 0; n < 3; ++n)
            board.AddNet(2015 + 1000 * n);
        // Rows of pins of both nets and tracks of net 2 on both sides: many holes, thermal
        // reliefs and scan lines.
        const int32_t stacks[] = {board.AddPadStack(PAD_ROUND, -5000, -5000, 5000, 5000),
                                  board.AddPadStack(PAD_OCTAGON, -6000, -6000, 6000, 6000),
                                  board.AddPadStack(PAD_RECTANGLE, -8000, -3000, 8000, 3000)};
        for (int32_t k = 0; k < 400; ++k) {
            const int32_t x = 20000 + (k % 20) * 30000 + (k / 20) % 2 * 9000;
            const int32_t y = 20000 + (k / 20) * 30000;
            board.nets[size_t(1 + k % 2)]->AddPin(x, y, 0, 0, stacks[k % 3], k * 7000, k % 5 == 0,
                                                  3);
        }
        CNet& other = *board.nets[2];
        const int32_t pen = other.AddPen(2500);
        for (int32_t layer : {LAYER_TOP, LAYER_BOTTOM}) {
            for (int32_t row = 0; row < 19; ++row) {
                const int32_t y = 35000 + row * 30000 + (layer == LAYER_TOP ? 0 : 6000);
                other.AppendVertex(40000, y, layer, 0);
                other.AppendVertex(110000, y + 4000, layer, pen);
                other.AppendVertex(180000, y, layer, pen);
            }
        }
    }
    void TearDown() override
    {
        CWorkPool::SetThreadCount(0);
        CResourcePack::SetCurrent(CResourcePack());
    }

    // Fills four planes on three layers: a solid one, a cross hatch, a plane of net 2 over the
    // first one's fill, and one of a net that is missing.
    std::vector<Outcome> Refill(int threads)
    {
        CWorkPool::SetThreadCount(threads);
        board.planes.clear();
        board.AddPlane(1, LAYER_TOP, 0, 0, 610000, 400000);
        CPour& cross = board.AddPlane(1, LAYER_BOTTOM, 0, 0, 610000, 610000, CPour::styleCross);
        cross.SetHatchRotation(30000);
        board.AddPlane(2, LAYER_TOP, 200000, 300000, 610000, 610000, CPour::styleLine, 3000);
        board.AddPlane(9, LAYER_GROUND, 0, 0, 100000, 100000);
        std::vector<CPour*> planes;
        for (const auto& plane : board.planes) {
            plane->SetSeed(
                CPoint(plane->GetOutline()[2].x - 1500, plane->GetOutline()[2].y - 1500));
            planes.push_back(plane.get());
        }
        CPlaneRefill::Run(board, planes);
        std::vector<Outcome> outcomes;
        for (const auto& plane : board.planes)
            outcomes.push_back(OutcomeOf(*plane));
        return outcomes;
    }

    CFakeServices fakes;
    PlaneBuildBoard board;
};

} // namespace

// The fills, their marks and the messages are the same with one thread and with several.
TEST_F(CPlaneRefillTest, SeveralThreadsFillAsOne)
{
    const std::vector<Outcome> one = Refill(1);
    const std::vector<std::string> oneMessages = fakes.messages.ShownTexts();
    const int32_t oneRedraws = board.redraws;
    ASSERT_EQ(one.size(), 4u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(one[k].errors, 0) << "plane " << k;
        EXPECT_GT(one[k].strokes.size(), 100u) << "plane " << k;
        EXPECT_GT(one[k].polygons.size(), 10u) << "plane " << k;
    }
    EXPECT_EQ(oneMessages, std::vector<std::string>{"missing net"});

    for (int threads : {2, 8}) {
        fakes.messages.ClearShown();
        board.redraws = 0;
        EXPECT_TRUE(Refill(threads) == one) << threads << " threads";
        EXPECT_EQ(fakes.messages.ShownTexts(), oneMessages);
        EXPECT_EQ(board.redraws, oneRedraws);
    }
}

// Every plane of a Refill All shows its progress, whatever its layer and however many threads
// there are; Cancel stops the whole refill: the cancelled plane is left without fill, the later
// ones are not started and the status bar names them.
TEST_F(CPlaneRefillTest, EveryPlaneShowsProgressAndCanBeCancelled)
{
    for (int threads : {1, 8}) {
        const size_t before = fakes.progress.Windows().size();
        Refill(threads);
        EXPECT_EQ(fakes.progress.Windows().size() - before, 4u) << threads << " threads";
    }
    for (int threads : {1, 8}) {
        CFakeServices cancelling;
        cancelling.progress.cancelAfterSteps = 0;
        for (int k = 0; k < 3; ++k)
            cancelling.messages.QueueAnswer(IDYES);
        const std::vector<Outcome> outcomes = Refill(threads);
        EXPECT_EQ(cancelling.messages.ShownTexts(), (std::vector<std::string>{"Cancel?"}))
            << threads << " threads";
        EXPECT_EQ(cancelling.progress.Windows().size(), 1u) << threads << " threads";
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_TRUE(outcomes[k].polygons.empty()) << "plane " << k;
            EXPECT_TRUE(outcomes[k].strokes.empty()) << "plane " << k;
        }
        EXPECT_EQ(board.statusBar, "Refill cancelled; not refilled: " + board.planes[1]->GetName() +
                                       ", " + board.planes[2]->GetName() + ", " +
                                       board.planes[3]->GetName());
    }
}
