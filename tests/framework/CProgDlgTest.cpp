#include "framework/CProgDlg.h"

#include <climits>
#include <string>
#include <vector>

#include "framework/CResourcePack.h"
#include "resources/StringIds.h"
#include "tests/support/CFakeServices.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(CProgDlgPercentTest, CountsAgainPast100AndNeverDividesByZero)
{
    struct Case {
        int32_t position;
        int32_t lower;
        int32_t upper;
        std::string text;
    };
    const Case cases[] = {
        {50, 0, 100, "50%"},
        {100, 0, 100, "100%"},
        {110, 0, 100, "10%"},
        {200, 0, 100, "0%"},
        {3, 1, 10, "22%"},
        {0, 0, 0, "100%"},
        {7, 7, 7, "100%"},
        {5, 9, 3, "100%"},
        {INT32_MAX, 0, INT32_MAX, "100%"},
        {0, INT32_MIN, INT32_MAX, "50%"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CProgDlg::PercentText(c.position, c.lower, c.upper), c.text)
            << c.position << " in " << c.lower << ".." << c.upper;
    }
}

TEST(CProgDlgWindowTest, ShowsTitleStatusAndEachStepsPercentage)
{
    CResourcePack pack;
    pack.SetString(IDS_CPROGDLG, "CProgDlg");
    CResourcePack::SetCurrent(pack);
    CFakeServices fakes;
    {
        CProgDlg progress(IDS_CPROGDLG);
        progress.SetRange(0, 30);
        ASSERT_TRUE(progress.Create());
        progress.SetStatus("Test Net:1  GND");
        progress.SetCaption("Build Aperures");
        std::vector<int32_t> before;
        for (int i = 0; i < 4; ++i)
            before.push_back(progress.StepIt());
        EXPECT_EQ(before, (std::vector<int32_t>{0, 10, 20, 30}));
        EXPECT_EQ(progress.GetPos(), 10); // past the end the bar starts over

        const CScriptedProgressService::Window& window = fakes.progress.Windows().at(0);
        EXPECT_EQ(window.title, "CProgDlg");
        EXPECT_EQ(window.steps, 4);
        EXPECT_EQ(window.statusTexts, (Strings{"", "Test Net:1  GND", "Build Aperures"}));
        EXPECT_EQ(window.percentTexts, (Strings{" 0 %", "33%", "66%", "100%", "33%"}));
    }
    EXPECT_FALSE(fakes.progress.Windows().at(0).open);
    CResourcePack::SetCurrent(CResourcePack());
}

// The framework knows no texts of the program: without a caption id the title stays empty.
TEST(CProgDlgWindowTest, NoCaptionIdLeavesTheTitleEmpty)
{
    CResourcePack pack;
    pack.SetString(IDS_CPROGDLG, "CProgDlg");
    CResourcePack::SetCurrent(pack);
    CFakeServices fakes;
    {
        CProgDlg progress;
        ASSERT_TRUE(progress.Create());
        EXPECT_EQ(fakes.progress.Windows().at(0).title, "");
    }
    CResourcePack::SetCurrent(CResourcePack());
}

TEST(CProgDlgCancelTest, ACancelIsSeenOnceByTheNextPoll)
{
    CFakeServices fakes;
    fakes.progress.cancelAfterSteps = 2;
    CProgDlg progress;
    progress.Create();
    progress.SetRange(0, 10);
    progress.SetStep(1);
    std::vector<bool> polls;
    for (int i = 0; i < 4; ++i) {
        progress.StepIt();
        polls.push_back(progress.CheckCancelButton());
    }
    EXPECT_EQ(polls, (std::vector<bool>{false, true, false, false}));
}

TEST(CProgDlgRunningTest, IsRunningFromCreateUntilEveryDialogIsGone)
{
    // Without installed services the headless window shows nothing and is never cancelled.
    CProgDlg outer;
    EXPECT_FALSE(CProgDlg::IsAnyRunning());
    EXPECT_TRUE(outer.Create());
    {
        CProgDlg inner;
        inner.Create();
        inner.StepIt();
        EXPECT_FALSE(inner.CheckCancelButton());
    }
    EXPECT_TRUE(CProgDlg::IsAnyRunning());
    outer.DestroyWindow();
    EXPECT_FALSE(CProgDlg::IsAnyRunning());
}

} // namespace
