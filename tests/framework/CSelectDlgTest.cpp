#include "framework/CSelectDlg.h"

#include <string>
#include <vector>

#include "framework/CMessageService.h"
#include "resources/CommandIds.h"
#include "tests/support/CFakeServices.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(CSelectDlgTest, NothingPickedCountsAsCancelAndKeepsTheChosenIndex)
{
    struct Case {
        const char* what;
        Strings list;
        int32_t chosen;
        int32_t answer; // -2: none queued, the preselected entry is confirmed
        int32_t result;
        int32_t chosenAfter;
    };
    const Strings three = {"Cache", "Pads", "Vias"};
    const Case cases[] = {
        {"empty list", {}, 0, 0, IDCANCEL, 0},
        {"cancelled", three, 1, -1, IDCANCEL, 1},
        {"OK with nothing selected", three, 7, -2, IDCANCEL, 7},
        {"picked", three, 0, 2, IDOK, 2},
    };
    for (const Case& c : cases) {
        CFakeServices fakes;
        if (c.answer != -2)
            fakes.listPicker.QueueAnswer(c.answer);
        CSelectDlg dlg;
        dlg.SetList(c.list);
        dlg.SetChosenIndex(c.chosen);
        EXPECT_EQ(dlg.DoModal(), c.result) << c.what;
        EXPECT_EQ(dlg.GetChosenIndex(), c.chosenAfter) << c.what;
    }
}

TEST(CSelectDlgTest, PreselectTextChoosesAnEntryHoldingItAfterItsFirstCharacter)
{
    const Strings list = {"Cache", "Lib Cache", "Cache2"};
    EXPECT_EQ(CSelectDlg::FindPreselection(list, "Cache", 0), 1);
    EXPECT_EQ(CSelectDlg::FindPreselection(list, "Nothing", 2), 2);

    CFakeServices fakes;
    CSelectDlg dlg;
    dlg.SetList(list);
    dlg.SetPreselect("ache2");
    dlg.SetHelpCommandId(ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetChosenString(), "Cache2");
    EXPECT_EQ(fakes.listPicker.GetShown().at(0).helpCommandId, ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
}

} // namespace
