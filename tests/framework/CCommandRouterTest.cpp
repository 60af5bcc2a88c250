#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/CCommandRouter.h"
#include "framework/CCommandTarget.h"

namespace {

class CCommandRouterTest : public ::testing::Test {
protected:
    CCommandRouterTest()
    {
        router.SetChain([this] { return std::vector<const CCommandTarget*>{&view, &frame}; });
    }

    CCommandTarget view;
    CCommandTarget frame;
    CCommandRouter router;
    std::vector<uint32_t> ran;
};

TEST_F(CCommandRouterTest, FirstTargetOfTheChainHandlesTheCommand)
{
    view.OnCommand(1, [this] { ran.push_back(10); });
    frame.OnCommand(1, [this] { ran.push_back(20); });
    frame.OnCommand(2, [this] { ran.push_back(21); });

    EXPECT_TRUE(router.Execute(1));
    EXPECT_TRUE(router.Execute(2));
    EXPECT_FALSE(router.Execute(3));
    EXPECT_EQ(ran, (std::vector<uint32_t>{10, 21}));
}

TEST_F(CCommandRouterTest, CommandWithoutUpdateHandlerIsEnabledOnlyWhenHandled)
{
    frame.OnCommand(1, [] {});
    EXPECT_TRUE(router.Query(1).enabled);
    EXPECT_FALSE(router.Query(2).enabled);
}

TEST_F(CCommandRouterTest, DisabledCommandNeverRuns)
{
    bool enabled = false;
    frame.OnCommand(1, [this] { ran.push_back(1); });
    // The view decides the state although the frame runs the command.
    view.OnUpdate(1, [&enabled](CCmdUI& ui) {
        ui.Enable(enabled);
        ui.SetRadio(true);
        ui.SetText("One");
    });

    EXPECT_FALSE(router.Execute(1));
    EXPECT_TRUE(ran.empty());
    enabled = true;
    EXPECT_TRUE(router.Execute(1));
    EXPECT_EQ(ran.size(), 1u);

    CCmdUI ui = router.Query(1);
    EXPECT_TRUE(ui.radio);
    EXPECT_EQ(ui.check, CCmdUI::checked);
    EXPECT_EQ(ui.text, "One");
}

TEST_F(CCommandRouterTest, RangesPassTheIdAndLaterRegistrationsReplaceOverlaps)
{
    frame.OnCommandRange(100, 107, [this](uint32_t id) { ran.push_back(id); });
    frame.OnCommand(103, [this] { ran.push_back(1); });

    for (uint32_t id : {99u, 100u, 103u, 107u, 108u})
        router.Execute(id);
    // 103 replaced the whole range it overlapped.
    EXPECT_EQ(ran, (std::vector<uint32_t>{1}));

    frame.OnCommandRange(200, 203, [this](uint32_t id) { ran.push_back(id); });
    frame.OnCommandRange(210, 211, [this](uint32_t id) { ran.push_back(id); });
    ran.clear();
    for (uint32_t id : {200u, 203u, 204u, 211u})
        router.Execute(id);
    EXPECT_EQ(ran, (std::vector<uint32_t>{200, 203, 211}));
}

TEST(CCommandRouter, EmptyChainRunsNothing)
{
    CCommandRouter router;
    EXPECT_FALSE(router.Query(1).enabled);
    EXPECT_FALSE(router.Execute(1));
}

} // namespace
