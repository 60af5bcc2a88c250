#include <gtest/gtest.h>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CLeftPaneList.h"
#include "document/CPaneSelection.h"
#include "document/CViewState.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"

namespace {

class CLeftPaneListTest : public CDocumentTest {
protected:
    // Two pins apart in a net whose name holds a blank, three in another net.
    void AddNets()
    {
        CNetArray& nets = doc->Design().GetNets();
        CNet& bus = *nets.GetNet(nets.AddNet("DATA BUS"));
        bus.AddPin(0, 0, 0, 0, 0, 0, false, 0x3);
        bus.AddPin(50000, 0, 1, 0, 0, 0, false, 0x3);
        CNet& clock = *nets.GetNet(nets.AddNet("CLK"));
        for (int32_t pin = 0; pin < 3; ++pin)
            clock.AddPin(pin * 100000, 200000, pin, 1, 0, 0, false, 0x3);
        nets.RecalcAll();
        nets.BuildToDoList();
        nets.SetCurrentNet(0);
    }

    // One component on the board and one beside it.
    void AddComponents()
    {
        doc->Design().SetBoardOutlineRect(0, 0, 100000, 100000);
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        const int32_t shape = cache.AddShape("R");
        cache.AddPadToShape(shape, 0, 0, 1, 0);
        CComponentArray& components = doc->Design().GetComponents();
        components.SetPosition(components.AddEmpty(shape), 50000, 50000);
        components.SetPosition(components.AddEmpty(shape), 300000, 50000);
        components.RecalcAllRects();
    }

    std::vector<int32_t> Selected() const
    {
        std::vector<int32_t> selected;
        for (int32_t i = 0; i < doc->Design().GetComponents().GetCount(); ++i) {
            if (doc->Design().GetComponents().IsSelected(i))
                selected.push_back(i);
        }
        return selected;
    }
};

TEST_F(CLeftPaneListTest, TrackToolsListTheNetsAndRowsLeadToTheirNet)
{
    AddComponents();
    AddNets();
    CLeftPaneList list(doc->Design(), doc->Session(), doc->View(), doc->Windows());
    EXPECT_EQ(list.ChooseMode(), CLeftPaneList::modeComponents);
    EXPECT_EQ(list.GetScrollRows(), 3);

    doc->Session().SetMode(ID_TRACKS_ADD);
    ASSERT_EQ(list.ChooseMode(), CLeftPaneList::modeNets);
    ASSERT_EQ(list.GetRowCount(), 2);
    EXPECT_EQ(list.GetScrollRows(), 4);
    const CLeftPaneList::NetRow bus = list.GetNetRow(1);
    EXPECT_EQ(bus.toDo, "2");
    EXPECT_EQ(bus.name, "DATA BUS");
    EXPECT_EQ(bus.pins, "2");
    EXPECT_EQ(list.GetTotalText(), "Total: 5");

    // The row keeps its net: a blank in the name does not lose it.
    list.PickRow(1);
    EXPECT_EQ(doc->Design().GetNets().GetCurrentIndex(), 1);
    list.PickRow(0);
    EXPECT_EQ(doc->Design().GetNets().GetCurrentIndex(), 2);
    EXPECT_TRUE(doc->Design().GetNets().RefreshLeftPane(1));

    doc->Session().SetMode(ID_TRACKS_EDIT);
    EXPECT_EQ(list.ChooseMode(), CLeftPaneList::modeNets);
}

TEST_F(CLeftPaneListTest, PickedComponentIsReadyToPlaceInMoveRotate)
{
    AddComponents();
    CLeftPaneList list(doc->Design(), doc->Session(), doc->View(), doc->Windows());
    list.ChooseMode();
    EXPECT_FALSE(list.GetComponentRow(0).outsideBoard);
    EXPECT_TRUE(list.GetComponentRow(1).outsideBoard);

    doc->Windows().ShowLeftPane(true);
    list.PickRow(0);
    EXPECT_TRUE(Selected().empty()) << "only the Move/Rotate tool picks";

    doc->Session().SetMode(ID_COMPONENTS_MOVE_ROTATE);
    list.PickRow(0);
    EXPECT_EQ(Selected(), std::vector<int32_t>{0});
    EXPECT_EQ(doc->Session().GetCurrentComponentIndex(), 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    list.PickRow(1);
    EXPECT_EQ(Selected(), std::vector<int32_t>{1});
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionMoveFromPane);

    doc->Session().SetMode(ID_VIEW);
    list.StartMoveFromPane(0);
    EXPECT_TRUE(doc->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));
    EXPECT_EQ(Selected(), std::vector<int32_t>{0});
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionMoveFromPane);

    views.client = CSize(200, 100);
    doc->View().SetScale(2000);
    list.CentreOnComponent(1);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(300000, 50000));
    EXPECT_EQ(doc->View().GetScale(), 400);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(100 * 400 - 300000, 50 * 400 - 50000));

    EXPECT_TRUE(list.ToggleRatsnest(1));
    EXPECT_TRUE(list.IsRatsnestShown(1));
    EXPECT_TRUE(list.GetComponentRow(1).ratsnestShown);
    EXPECT_TRUE(list.ToggleRatsnest(1));
    EXPECT_FALSE(list.IsRatsnestShown(1));
}

TEST_F(CLeftPaneListTest, EmptyListsActOnNothing)
{
    CLeftPaneList list(doc->Design(), doc->Session(), doc->View(), doc->Windows());
    list.ChooseMode();
    doc->Windows().ShowLeftPane(true);
    doc->Session().SetMode(ID_COMPONENTS_MOVE_ROTATE);
    const CPoint cursor = doc->Session().GetCursor();
    list.PickRow(0);
    list.CentreOnComponent(0);
    list.StartMoveFromPane(0);
    EXPECT_FALSE(list.ToggleRatsnest(0));
    EXPECT_FALSE(list.IsRatsnestShown(0));
    EXPECT_EQ(doc->Session().GetCurrentComponentIndex(), -1);
    EXPECT_EQ(doc->Session().GetCursor(), cursor);

    CPaneSelection selection;
    EXPECT_EQ(selection.RowAt(0, 40, 14), -1);
    EXPECT_FALSE(selection.Select(0));
    EXPECT_FALSE(selection.MoveByKey(VK_DOWN, 10));
    EXPECT_EQ(selection.GetValidSelected(), -1);
}

TEST(CPaneSelection, ClicksAndKeysStayInTheList)
{
    CPaneSelection selection;
    selection.SetCount(30);
    // The header row picks the first row; below the last row the last.
    EXPECT_EQ(selection.RowAt(0, 5, 14), 0);
    EXPECT_EQ(selection.RowAt(0, 14, 14), 0);
    EXPECT_EQ(selection.RowAt(0, 28, 14), 1);
    EXPECT_EQ(selection.RowAt(140, 0, 14), 9);
    EXPECT_EQ(selection.RowAt(0, 5000, 14), 29);

    struct Step {
        uint32_t key;
        int32_t row;
    };
    const Step steps[] = {{VK_NEXT, 10},  {VK_NEXT, 20}, {VK_NEXT, 29}, {VK_DOWN, 29}, {VK_UP, 28},
                          {VK_PRIOR, 18}, {VK_HOME, 0},  {VK_UP, 0},    {VK_END, 29}};
    selection.Select(0);
    for (const Step& step : steps) {
        EXPECT_TRUE(selection.MoveByKey(step.key, 10));
        EXPECT_EQ(selection.GetSelected(), step.row) << step.key;
    }
    EXPECT_FALSE(selection.MoveByKey(VK_RETURN, 10));

    // Row r is drawn from (r + 1) row heights on, in a 70-pixel client area.
    EXPECT_EQ(CPaneSelection::ScrollToShow(2, 0, 70, 14), 0);
    EXPECT_EQ(CPaneSelection::ScrollToShow(5, 0, 70, 14), 28);
    EXPECT_EQ(CPaneSelection::ScrollToShow(1, 140, 70, 14), 28);
    EXPECT_EQ(CPaneSelection::ScrollToShow(-1, 42, 70, 14), 42);
}

} // namespace
