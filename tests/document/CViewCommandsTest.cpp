#include "document/CViewCommands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewCommandHost.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/CSettingsStore.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

// The main window's combo boxes as the document fills them, chosen entry included.
class CComboFrame : public CFontFrame {
public:
    void FillCombo(int32_t id, const std::vector<std::string>& items, int32_t selected) override
    {
        combos[id] = {items, selected};
    }
    void SelectInCombo(int32_t id, int32_t index) override { combos[id].selected = index; }
    std::vector<std::string> GetComboItems(int32_t id) const override
    {
        const auto found = combos.find(id);
        return found == combos.end() ? std::vector<std::string>() : found->second.items;
    }
    int32_t GetComboSelection(int32_t id) const override
    {
        const auto found = combos.find(id);
        return found == combos.end() ? -1 : found->second.selected;
    }

    CShapeLibArray* GetEditableLibrarySet() override { return libraries; }
    void PostCommand(uint32_t id) override { posted.push_back(id); }

    struct Combo {
        std::vector<std::string> items;
        int32_t selected = -1;
    };
    std::map<int32_t, Combo> combos;
    CShapeLibArray* libraries = nullptr;
    std::vector<uint32_t> posted;
};

// The board view's window: its switches and what it was asked to do.
class CRecordingHost : public CViewCommandHost {
public:
    void Redraw(bool full) override { ++(full ? fullRedraws : repaints); }
    bool AreScrollBarsShown() const override { return scrollBars; }
    void SetScrollBarsShown(bool shown) override { scrollBars = shown; }
    bool IsLongCrosshair() const override { return crosshair; }
    void SetLongCrosshair(bool on) override { crosshair = on; }
    bool IsTooltipAtCursor() const override { return tooltip; }
    void SetTooltipAtCursor(bool on) override { tooltip = on; }
    void WarpMouseToCursor() override { ++warps; }
    void TakeFocus() override { ++focusTaken; }

    bool scrollBars = true;
    bool crosshair = true;
    bool tooltip = false;
    int32_t fullRedraws = 0;
    int32_t repaints = 0;
    int32_t warps = 0;
    int32_t focusTaken = 0;
};

// A dialog service that shows the dialogs it is told to and answers OK.
class COfferingDialogs : public CDialogService {
public:
    COfferingDialogs() : m_previous(CDialogService::Set(this)) {}
    ~COfferingDialogs() override { CDialogService::Set(m_previous); }
    bool Offers(Dialog dialog) const override { return dialog == offered; }
    int32_t PlaneProperties(int32_t, const std::vector<std::string>&,
                            const std::vector<std::string>&, PlaneValues& plane) override
    {
        plane.name = "GND";
        return resultOk;
    }

    Dialog offered = Dialog::planeProperties;

private:
    CDialogService* m_previous;
};

class CViewCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousFrame = CDocumentFrame::Set(&frame);
        m_previousSettings = CServices::SetSettings(&settings);
        doc = std::make_unique<CWevraDoc>();
        doc->SetViews(&views);
        views.client = CSize(800, 600);
        doc->Design().SetBoardOutlineRect(0, 0, 400000, 300000);
        commands = std::make_unique<CViewCommands>(*doc, host);
    }
    void TearDown() override
    {
        commands.reset();
        doc.reset();
        CServices::SetSettings(m_previousSettings);
        CDocumentFrame::Set(m_previousFrame);
    }

    bool Enabled(uint32_t id) const { return commands->IsEnabled(id); }
    CCmdUI State(uint32_t id) const
    {
        CCmdUI ui;
        ui.id = id;
        commands->Update(ui);
        return ui;
    }
    void AddComponent()
    {
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        doc->Design().GetComponents().AddEmpty(cache.AddShape("R"));
    }

    CFakeServices services;
    CSettingsStore settings;
    CComboFrame frame;
    CRecordingViews views;
    CRecordingHost host;
    std::unique_ptr<CWevraDoc> doc;
    std::unique_ptr<CViewCommands> commands;

private:
    CDocumentFrame* m_previousFrame = nullptr;
    CSettingsStore* m_previousSettings = nullptr;
};

TEST_F(CViewCommandsTest, ZoomStepsReturnToTheirScaleAndFixedZoomsSetTheirs)
{
    for (const int32_t scale : {1000, 10, 600, 999999}) {
        doc->View().SetScale(scale);
        doc->Session().SetCursor(CPoint(50000, 40000));
        ASSERT_TRUE(commands->Send(ID_VIEW_ZOOM_IN));
        EXPECT_LT(doc->View().GetScale(), scale == 10 ? 11 : scale);
        if (scale >= CViewCommands::zoomOutLimit) {
            EXPECT_FALSE(commands->Send(ID_VIEW_ZOOM_OUT)) << "offered above its limit";
            continue;
        }
        ASSERT_TRUE(commands->Send(ID_VIEW_ZOOM_OUT));
        EXPECT_EQ(doc->View().GetScale(), scale) << "zoom in, then out";
    }
    // A second step out goes on from there: only the step right back returns.
    doc->View().SetScale(1000);
    commands->Send(ID_VIEW_ZOOM_OUT);
    commands->Send(ID_VIEW_ZOOM_OUT);
    EXPECT_EQ(doc->View().GetScale(), 1440);

    const int32_t expected[] = {5000, 2000, 1000, 500, 200};
    for (int32_t i = 0; i < 5; ++i) {
        doc->Session().SetCursor(CPoint(100000, 50000));
        ASSERT_TRUE(commands->Send(ID_VIEW_ZOOM_ZOOM_1 + uint32_t(i)));
        EXPECT_EQ(doc->View().GetScale(), expected[i]);
        EXPECT_EQ(doc->View().GetViewOffset(),
                  CPoint(400 * expected[i] - 100000, 300 * expected[i] - 50000));
    }

    // Zoom... lists the zooms by their keys and runs the one picked.
    services.listPicker.QueueAnswer(6);
    ASSERT_TRUE(commands->Send(ID_VIEW_ZOOM_ZOOM));
    ASSERT_EQ(services.listPicker.GetShown().size(), 1u);
    EXPECT_EQ(services.listPicker.GetShown()[0].entries.size(), 11u);
    EXPECT_EQ(services.listPicker.GetShown()[0].entries[6].substr(0, 3), "1.\t");
    EXPECT_EQ(doc->View().GetScale(), 5000);

    ASSERT_TRUE(commands->Send(ID_VIEW_ZOOM_ALL));
    const int32_t scale = doc->View().GetScale();
    const CPoint offset = doc->View().GetViewOffset();
    EXPECT_LE(400000 / scale, 800);
    EXPECT_LE(300000 / scale, 600);
    EXPECT_GE(offset.x, 0) << "the board's left edge is in the window";
    EXPECT_GE(offset.y, 0);
}

TEST_F(CViewCommandsTest, CommandsThatNeedSomethingAreDisabledWithoutIt)
{
    for (uint32_t id : {ID_EDIT_COPY_SELECTION,
                        ID_EDIT_DELETE_SELECTION,
                        ID_EDIT_ROTATE_90,
                        ID_OTHER_DELETE,
                        ID_END_MODE,
                        ID_EDIT_CANCEL,
                        ID_PLANES_DELETE_PLANE,
                        ID_PLANES_DELETE_ALL,
                        ID_PLANES_REFILL_ALL,
                        ID_PLANES_REFILL_LAYER,
                        ID_PLANES_EDIT_POLYLINE,
                        ID_PLANES_MOVE_SEEDPOINT,
                        ID_PLANES_PROPERTIES,
                        ID_PLANES_END_EDIT,
                        ID_VIEW_PLANES_HIDE,
                        ID_TOOLS_DRC_ACTIVE,
                        ID_TOOLS_RATSNEST_ACTIVE,
                        ID_VIEW_COMPONENTS_TEXT_HIDE,
                        ID_NETLIST_CONNECT_PINS_TO_NETS,
                        ID_BOARD_PLACE_TEXT,
                        ID_TEXT_MODIFY})
        EXPECT_FALSE(Enabled(id)) << id;
    // Running one anyway does nothing.
    const int32_t modes = views.updates;
    EXPECT_FALSE(commands->Send(ID_PLANES_EDIT_POLYLINE));
    EXPECT_EQ(views.updates, modes);

    // A plane that another tool set aside comes back for editing; Delete waits for it.
    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    doc->Planes().AddRectanglePlane(CRect(10000, 10000, 200000, 150000));
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    EXPECT_EQ(doc->Planes().GetCurrentPlane(), nullptr);
    EXPECT_FALSE(Enabled(ID_PLANES_DELETE_PLANE));
    EXPECT_TRUE(Enabled(ID_PLANES_DELETE_ALL));
    ASSERT_TRUE(commands->Send(ID_PLANES_EDIT_POLYLINE));
    EXPECT_TRUE(doc->Session().IsMode(ID_PLANES_EDIT_POLYLINE));
    EXPECT_EQ(doc->Planes().GetCurrentPlane(), &doc->Design().GetPlane(0));
    EXPECT_TRUE(Enabled(ID_PLANES_DELETE_PLANE));
    EXPECT_TRUE(Enabled(ID_PLANES_END_EDIT));
    // Its dialog is offered by no service yet.
    EXPECT_FALSE(Enabled(ID_PLANES_PROPERTIES));
    {
        COfferingDialogs dialogs;
        ASSERT_TRUE(commands->Send(ID_PLANES_PROPERTIES));
        EXPECT_EQ(doc->Design().GetPlane(0).GetName(), "GND");
        dialogs.offered = CDialogService::Dialog::editText;
        EXPECT_TRUE(Enabled(ID_BOARD_PLACE_TEXT));
        EXPECT_FALSE(Enabled(ID_TEXT_MODIFY)) << "nothing is being placed";
    }

    doc->Session().SetWorkLayer(doc->Design().GetPlane(0).GetLayer() == LAYER_TOP ? LAYER_BOTTOM
                                                                                  : LAYER_TOP);
    EXPECT_FALSE(Enabled(ID_PLANES_REFILL_LAYER)) << "no plane lies on the work layer";

    AddComponent();
    EXPECT_TRUE(Enabled(ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT));
}

TEST_F(CViewCommandsTest, DisplayItemsSetTheKindTheyName)
{
    AddComponent();
    const struct {
        uint32_t id;
        int32_t kind;
    } texts[] = {{ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT, 3},
                 {ID_VIEW_COMPONENTS_TEXT_HIDE, 0},
                 {ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT, 2},
                 {ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT, 1}};
    for (const auto& row : texts) {
        ASSERT_TRUE(commands->Send(row.id));
        EXPECT_EQ(doc->Session().GetComponentTextMode(), row.kind) << row.id;
        EXPECT_TRUE(State(row.id).check == CCmdUI::checked && State(row.id).radio);
    }

    ASSERT_TRUE(commands->Send(ID_VIEW_COMPONENTS_PIN_INFO_NET_NAMES));
    EXPECT_EQ(doc->Design().GetPadInfoMode(), 5);
    EXPECT_EQ(State(ID_VIEW_COMPONENTS_PIN_INFO_PIN_NUMBERS).check, CCmdUI::unchecked);

    const struct {
        uint32_t id;
        int32_t unit;
    } units[] = {{ID_VIEW_MIL, 2}, {ID_VIEW_INCHES, 0}, {ID_VIEW_METRIC, 1}};
    for (const auto& row : units) {
        doc->SetModifiedFlag(false);
        ASSERT_TRUE(commands->Send(row.id));
        EXPECT_EQ(doc->Session().GetUnit(), row.unit);
        EXPECT_TRUE(doc->IsModified());
    }

    // Turning the holes on puts the drill layer into the layer set, without making it the
    // layer the tools draw on.
    const int32_t workLayer = doc->Session().GetWorkLayer();
    ASSERT_TRUE(commands->Send(ID_VIEW_HOLES_ALWAYS_VISIBLE));
    EXPECT_TRUE(doc->Design().GetViewFlag(CDesignSettings::viewHolesAlwaysVisible));
    EXPECT_TRUE(doc->Design().GetLayers().IsVisible(LAYER_DRILL));
    EXPECT_EQ(doc->Session().GetWorkLayer(), workLayer);

    // The ratsnest and the online check need two nets.
    EXPECT_FALSE(commands->Send(ID_TOOLS_RATSNEST_ACTIVE));
    doc->Design().GetNets().AddNet("GND");
    ASSERT_TRUE(commands->Send(ID_TOOLS_RATSNEST_ACTIVE));
    EXPECT_TRUE(doc->Session().IsAutoRatsnest());
    ASSERT_TRUE(commands->Send(ID_TOOLS_DRC_ACTIVE));
    EXPECT_TRUE(doc->Design().IsDrcActive());

    ASSERT_TRUE(commands->Send(ID_TOOLS_AUTOROUTING_PATH_FINDER_1));
    ASSERT_TRUE(commands->Send(ID_TOOLS_AUTOROUTING_PATH_FINDER_2));
    EXPECT_FALSE(commands->IsPathFinder1());
    EXPECT_TRUE(commands->IsPathFinder2());
}

TEST_F(CViewCommandsTest, SelectionFiltersAndQuickGrid)
{
    ASSERT_TRUE(commands->Send(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS));
    EXPECT_TRUE(doc->Session().IsSelectionFilter(CDesignSettings::filterPoints));
    EXPECT_FALSE(doc->Session().IsSelectionFilter(CDesignSettings::filterLines));
    EXPECT_TRUE(State(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS).radio);
    ASSERT_TRUE(commands->Send(ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS));
    EXPECT_TRUE(doc->Session().IsSelectionFilter(CDesignSettings::filterElectrical));
    ASSERT_TRUE(commands->Send(ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS));
    EXPECT_FALSE(doc->Design().IsTracksOfComponents());
    // Not while the Select tool is taking something.
    doc->Session().SetAction(CEditState::actionBandOpen);
    EXPECT_FALSE(commands->Send(ID_EDIT_SELECTION_FILTERS_PADS));
    doc->Session().SetAction(CEditState::actionWaiting);

    // Item 2 is a third of a tenth of an inch, truncated, on the grid of the tool.
    doc->Session().SetMode(ID_BOARD_EDIT_TEXT);
    services.listPicker.QueueAnswer(2);
    ASSERT_TRUE(commands->Send(ID_SETTINGS_QUICK_SELECT_GRID_SIZES));
    EXPECT_EQ(doc->Design().GetGridSettings().GetSnap(CGridArr::gridText), CSize(8533, 8533));
    doc->Session().SetMode(ID_VIEW);
    services.listPicker.QueueAnswer(9);
    ASSERT_TRUE(commands->Send(ID_SETTINGS_QUICK_SELECT_GRID_SIZES));
    EXPECT_EQ(doc->Design().GetGridSettings().GetSnap(CGridArr::gridDefault), CSize(800, 800));
    ASSERT_EQ(services.listPicker.GetShown().size(), 2u);
    EXPECT_EQ(services.listPicker.GetShown()[1].entries[0].substr(0, 15), "0.\t1/10 inch  \t");
    EXPECT_EQ(services.listPicker.GetShown()[1].title, "Quick snap to grid");
}

TEST_F(CViewCommandsTest, PlanesAskBeforeTheyGoAndEndModeDropsAnUnplacedCopy)
{
    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    doc->Planes().AddRectanglePlane(CRect(10000, 10000, 200000, 150000));
    ASSERT_TRUE(commands->Send(ID_PLANES_REFILL_ALL));

    services.messages.QueueAnswer(IDNO);
    ASSERT_TRUE(commands->Send(ID_PLANES_DELETE_PLANE));
    EXPECT_EQ(doc->Design().GetPlaneCount(), 1);
    services.messages.QueueAnswer(IDCANCEL);
    ASSERT_TRUE(commands->Send(ID_PLANES_DELETE_ALL));
    EXPECT_EQ(doc->Design().GetPlaneCount(), 1);
    services.messages.QueueAnswer(IDYES);
    ASSERT_TRUE(commands->Send(ID_PLANES_DELETE_PLANE));
    EXPECT_EQ(doc->Design().GetPlaneCount(), 0);
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW)) << "no plane left to edit";

    // The plane tools' menu ends a running vertex drag with End edit.
    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    doc->Planes().AddRectanglePlane(CRect(10000, 10000, 200000, 150000));
    doc->Session().SetMode(ID_PLANES_EDIT_POLYLINE);
    EXPECT_EQ(commands->GetPlaneContextMenu().front(), ID_END_MODE);
    EXPECT_EQ(commands->GetPlaneContextMenu().size(), 16u);
    doc->Session().SetAction(CEditState::actionDragging);
    EXPECT_EQ(commands->GetPlaneContextMenu().front(), ID_PLANES_END_EDIT);

    // A copy of the selection that was never placed goes again with End Mode.
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    doc->Planes().SelectPlane(0, true);
    ASSERT_TRUE(commands->Send(ID_EDIT_COPY_SELECTION));
    EXPECT_EQ(doc->Design().GetPlaneCount(), 2);
    EXPECT_TRUE(doc->Session().IsAction(CEditState::actionPlacingCopy));
    ASSERT_TRUE(commands->Send(ID_END_MODE));
    EXPECT_EQ(doc->Design().GetPlaneCount(), 1);
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);
}

// Each way a plane goes is undone, the plane coming back as it was, filled; planes the undone
// edit did not touch keep their fill.
TEST_F(CViewCommandsTest, DeletedPlanesComeBackWithUndo)
{
    const auto addTwoPlanes = [this] {
        doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
        doc->Planes().AddRectanglePlane(CRect(10000, 10000, 200000, 150000));
        doc->Planes().AddRectanglePlane(CRect(210000, 10000, 390000, 150000)).SetName("GND");
        doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    };
    const struct {
        const char* way;
        uint32_t id;
        int32_t answer;
        int32_t left;
    } ways[] = {{"Delete Selection", ID_EDIT_DELETE_SELECTION, 0, 1},
                {"Del", ID_OTHER_DELETE, 0, 1},
                {"Delete Plane", ID_PLANES_DELETE_PLANE, IDYES, 1},
                {"Delete All", ID_PLANES_DELETE_ALL, IDOK, 0}};
    for (const auto& way : ways) {
        doc = std::make_unique<CWevraDoc>();
        doc->SetViews(&views);
        doc->Design().SetBoardOutlineRect(0, 0, 400000, 300000);
        commands = std::make_unique<CViewCommands>(*doc, host);
        addTwoPlanes();
        const CPointArray outline = doc->Design().GetPlane(1).GetOutline();
        if (way.id == ID_PLANES_DELETE_PLANE) {
            doc->Session().SetMode(ID_PLANES_EDIT_POLYLINE);
            doc->Planes().SetCurrentPlane(1);
        } else {
            doc->Planes().SelectPlane(1, true);
        }
        services.messages.ClearShown();
        if (way.answer != 0)
            services.messages.QueueAnswer(way.answer);
        ASSERT_TRUE(commands->Send(way.id)) << way.way;
        ASSERT_EQ(doc->Design().GetPlaneCount(), way.left) << way.way;
        // With Undo at hand the selection goes without a question.
        EXPECT_EQ(services.messages.Shown().size(), way.answer != 0 ? 1u : 0u) << way.way;
        EXPECT_TRUE(doc->History().CanUndo()) << way.way;

        doc->History().Undo();
        ASSERT_EQ(doc->Design().GetPlaneCount(), 2) << way.way;
        const CPour& back = doc->Design().GetPlane(1);
        EXPECT_EQ(back.GetName(), "GND") << way.way;
        ASSERT_EQ(back.GetOutline().GetSize(), outline.GetSize()) << way.way;
        for (int32_t k = 0; k < outline.GetSize(); ++k)
            EXPECT_EQ(back.GetOutline()[k], outline[k]) << way.way;
        EXPECT_FALSE(back.GetFillPolylines().empty()) << way.way << ": it is shown again";
        EXPECT_FALSE(doc->Design().GetPlane(0).GetFillPolylines().empty()) << way.way;

        doc->History().Redo();
        EXPECT_EQ(doc->Design().GetPlaneCount(), way.left) << way.way;
    }
}

TEST_F(CViewCommandsTest, SchematicApplicationSaysWhenNoneIsConfiguredAndGetsTheSchematic)
{
    ASSERT_TRUE(commands->Send(ID_TOOLS_RUN_SCHEMATIC_APPLICATION));
    EXPECT_TRUE(services.launcher.started.empty());
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("Schematic App. Path"), std::string::npos);

    settings.WriteString("Start-up", "Schematic App. Path", "/opt/schematic/run");
    settings.WriteString("Start-up", "Schematic App. Extension", "SCH");
    ASSERT_TRUE(commands->Send(ID_TOOLS_RUN_SCHEMATIC_APPLICATION));
    CTempFolder folder("wevra_view_commands_test");
    const std::filesystem::path netlist = folder.Path() / "board.v2.NET";
    doc->Design().SetNetlistPath(netlist.string());
    ASSERT_TRUE(commands->Send(ID_TOOLS_RUN_SCHEMATIC_APPLICATION)) << "netlist file missing";
    {
        std::ofstream(netlist) << "x";
    }
    ASSERT_TRUE(commands->Send(ID_TOOLS_RUN_SCHEMATIC_APPLICATION));
    ASSERT_EQ(services.launcher.started.size(), 3u);
    EXPECT_EQ(services.launcher.started[0].program, "/opt/schematic/run");
    EXPECT_EQ(services.launcher.started[0].arguments, std::vector<std::string>{""});
    EXPECT_EQ(services.launcher.started[1].arguments, std::vector<std::string>{""});
    EXPECT_EQ(services.launcher.started[2].arguments,
              std::vector<std::string>{(folder.Path() / "board.v2.SCH").string()});
}

TEST_F(CViewCommandsTest, PinInfoFontIsChosenFromTheDesignsAndKeptWithTheDesign)
{
    const CFontDesc before = doc->Design().GetPinInfoFont();
    ASSERT_TRUE(commands->Send(ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO));
    EXPECT_EQ(doc->Design().GetPinInfoFont(), before) << "cancelled";
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(host.fullRedraws, 0);

    const CFontDesc chosen{"Courier New", -17, CFontDesc::boldWeight, true};
    services.fileDialogs.QueueFont(chosen);
    ASSERT_TRUE(commands->Send(ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO));
    ASSERT_EQ(services.fileDialogs.GetInitialFonts().size(), 2u);
    EXPECT_EQ(services.fileDialogs.GetInitialFonts()[1], before);
    EXPECT_EQ(doc->Design().GetPinInfoFont(), chosen);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(host.fullRedraws, 1);

    // A shorter face leaves none of the longer one's characters behind.
    const CFontDesc shorter{"Sym", -9, CFontDesc::normalWeight, false};
    services.fileDialogs.QueueFont(shorter);
    ASSERT_TRUE(commands->Send(ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO));
    CWevraDoc copy;
    copy.RestoreDesign(doc->SaveDesignBytes());
    EXPECT_EQ(copy.Design().GetPinInfoFont(), shorter);
}

TEST_F(CViewCommandsTest, PenAndLayerCombosChooseByTheirTexts)
{
    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    doc->Windows().FillPenCombo();
    const auto& pens = frame.combos[CDocumentFrame::penCombo];
    ASSERT_GE(pens.items.size(), 2u);
    const int32_t first = pens.selected;
    ASSERT_TRUE(commands->Send(ID_DRAW_NEXT_PEN));
    EXPECT_EQ(doc->Design().GetLines().GetCurrentPen(), first + 2);
    EXPECT_EQ(frame.combos[CDocumentFrame::penCombo].selected, first + 1);

    doc->Windows().FillLayerCombo();
    auto& layers = frame.combos[CDocumentFrame::layerCombo];
    ASSERT_GE(layers.items.size(), 2u);
    layers.selected = 1;
    const std::string chosen = layers.items[1];
    ASSERT_TRUE(commands->Send(ID_TOOLBARS_SELECT_LAYER));
    EXPECT_EQ(doc->Design().GetLayers().GetLayerName(doc->Session().GetWorkLayer()),
              chosen.substr(0, chosen.find('*')));
    EXPECT_EQ(host.focusTaken, 1);
}

// The settings dialogs, answering as the test tells them and remembering what they were shown.
class CSettingsDialogs : public CDialogService {
public:
    CSettingsDialogs() : m_previous(CDialogService::Set(this)) {}
    ~CSettingsDialogs() override { CDialogService::Set(m_previous); }
    bool Offers(Dialog) const override { return true; }
    int32_t BoardSize(std::string& w, std::string& h, bool workspace) override
    {
        shown = {w, h};
        shownWorkspace = workspace;
        w = width;
        h = height;
        return result;
    }
    int32_t SetGrid(int32_t, int32_t& x, int32_t& y, bool& snapOn) override
    {
        x = 3000;
        y = 4000;
        snapOn = !snapOn;
        return result;
    }
    int32_t NetAdd(std::string& name) override
    {
        shown = {name};
        name = netName;
        return result;
    }
    int32_t Position(const std::string& title, int32_t, int32_t& x, int32_t& y) override
    {
        shown = {title};
        shownPoint = CPoint(x, y);
        x += 100;
        y += 200;
        return result;
    }
    int32_t MoveUserOffset(int32_t, const std::vector<PinnedComponent>& components, CSize,
                           CPoint& offset) override
    {
        pinned = components;
        offset = chosen;
        return result;
    }

    int32_t result = resultOk;
    CPoint chosen{5, 7};
    std::string width;
    std::string height;
    std::string netName;
    std::vector<std::string> shown;
    bool shownWorkspace = false;
    CPoint shownPoint;
    std::vector<PinnedComponent> pinned;

private:
    CDialogService* m_previous;
};

TEST_F(CViewCommandsTest, BoardSizeTakesTheTypedSizesOrStartsTheRectangleTool)
{
    EXPECT_FALSE(Enabled(ID_BOARD_BOARD_SIZE_AND_OFFSET)) << "no dialog to show";
    CSettingsDialogs dialogs;
    doc->Design().SetUnit(CLengthText::unitMil);
    dialogs.width = "2000";
    dialogs.height = "1000";
    doc->SetModifiedFlag(false);
    const int32_t undos = doc->History().GetUndoCount();
    ASSERT_TRUE(commands->Send(ID_BOARD_BOARD_SIZE_AND_OFFSET));
    EXPECT_EQ(dialogs.shown[0], CLengthText::FormatLength(CLengthText::unitMil, 400000));
    EXPECT_FALSE(dialogs.shownWorkspace);
    EXPECT_EQ(doc->Design().GetBoardWidth(), 512000);
    EXPECT_EQ(doc->Design().GetBoardHeight(), 256000);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->History().GetUndoCount(), undos + 1);
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));

    // Texts that are no lengths would make a board without an area.
    dialogs.width = "wide";
    ASSERT_TRUE(commands->Send(ID_WORKSPACE_WORKSPACE_SIZE));
    EXPECT_EQ(doc->Design().GetBoardWidth(), 512000);
    EXPECT_EQ(doc->Design().GetBoardHeight(), 256000);

    dialogs.result = CDialogService::resultBoardWindow;
    ASSERT_TRUE(commands->Send(ID_WORKSPACE_WORKSPACE_SIZE));
    EXPECT_TRUE(doc->Session().IsMode(ID_BOARD_BOARD_SIZE_AND_OFFSET));
}

TEST_F(CViewCommandsTest, GridPositionAndGridOffsetDialogs)
{
    CSettingsDialogs dialogs;
    CGridArr& grids = doc->Design().GetGridSettings();
    const int32_t current = grids.GetCurrentIndex();
    const bool snapOn = grids.IsSnapOn(current);
    ASSERT_TRUE(commands->Send(ID_SETTINGS_SET_GRID));
    EXPECT_EQ(grids.GetSnap(current), CSize(3000, 4000));
    EXPECT_NE(grids.IsSnapOn(current), snapOn);

    // The cursor is typed relative to the user offset.
    doc->Design().SetUserOffset(CPoint(1000, 2000));
    doc->Session().SetCursor(CPoint(5000, 5000));
    ASSERT_TRUE(commands->Send(ID_OTHER_INPUT_POSITION));
    EXPECT_EQ(dialogs.shownPoint, CPoint(4000, 3000));
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(5100, 5200));
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(1000, 2000));

    // Without components Set Grid Offset only starts its tool; there the position typed is
    // the offset's.
    ASSERT_TRUE(commands->Send(ID_SETTINGS_SET_GRID_OFFSET));
    EXPECT_TRUE(doc->Session().IsMode(ID_SETTINGS_SET_GRID_OFFSET));
    EXPECT_TRUE(dialogs.pinned.empty());
    ASSERT_TRUE(commands->Send(ID_OTHER_INPUT_POSITION));
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(1100, 2200));
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));

    AddComponent();
    doc->Design().GetComponents().SetName(0, 0, "R5");
    ASSERT_TRUE(commands->Send(ID_SETTINGS_SET_GRID_OFFSET));
    ASSERT_EQ(dialogs.pinned.size(), 1u);
    EXPECT_EQ(dialogs.pinned[0].reference, "R5");
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(5, 7));
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));
    // An offset left of the board, which opening the design would move, is refused and named.
    dialogs.chosen = CPoint(-5, 7);
    services.messages.ClearShown();
    ASSERT_TRUE(commands->Send(ID_SETTINGS_SET_GRID_OFFSET));
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(5, 7));
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
    // "Use cursor": the tool stays to pick the offset on the board.
    dialogs.result = CDialogService::resultCancel;
    ASSERT_TRUE(commands->Send(ID_SETTINGS_SET_GRID_OFFSET));
    EXPECT_TRUE(doc->Session().IsMode(ID_SETTINGS_SET_GRID_OFFSET));
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(5, 7));
}

TEST_F(CViewCommandsTest, AddNetAddsTheNamedNetAndMakesItCurrent)
{
    CSettingsDialogs dialogs;
    const int32_t count = doc->Design().GetNets().GetCount();
    dialogs.netName = "CLK";
    ASSERT_TRUE(commands->Send(ID_NETLIST_ADD_NET));
    ASSERT_EQ(doc->Design().GetNets().GetCount(), count + 1);
    EXPECT_EQ(doc->Design().GetNets().GetNet(count)->GetName(), "CLK");
    EXPECT_EQ(doc->Design().GetNets().GetCurrentIndex(), count);
    EXPECT_FALSE(dialogs.shown[0].empty()) << "a unique name is proposed";
    dialogs.result = CDialogService::resultCancel;
    ASSERT_TRUE(commands->Send(ID_NETLIST_ADD_NET));
    EXPECT_EQ(doc->Design().GetNets().GetCount(), count + 1);
}

// "Get Shape" answering with the first shape of the cache.
class CShapeDialogs : public CDialogService {
public:
    CShapeDialogs() : m_previous(CDialogService::Set(this)) {}
    ~CShapeDialogs() override { CDialogService::Set(m_previous); }
    bool Offers(Dialog dialog) const override { return dialog == Dialog::getShape; }
    int32_t GetShape(CShapeLib&, const ShapeRequest& request, int32_t& shape, std::string& prefix,
                     std::string& type) override
    {
        requests.push_back(request);
        shape = 0;
        prefix = "R";
        type = "1k";
        return resultOk;
    }

    std::vector<ShapeRequest> requests;

private:
    CDialogService* m_previous;
};

TEST_F(CViewCommandsTest, AddAndReplaceShapeChooseTheShapeFirst)
{
    CShapeDialogs dialogs;
    EXPECT_FALSE(Enabled(ID_COMPONENTS_ADD)) << "no shape to choose";
    AddComponent();
    doc->Design().GetComponents().SetName(0, CComponent::textReference, "R1");
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_ADD));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(dialogs.requests[0].replace);
    ASSERT_EQ(dialogs.requests[0].components.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].components[0].reference, "R1");
    EXPECT_EQ(dialogs.requests[0].components[0].shape, "R");
    ASSERT_EQ(doc->Design().GetComponents().GetCount(), 2);
    EXPECT_EQ(doc->Design().GetComponents().GetComponent(1)->GetReference(), "R2");
    EXPECT_EQ(doc->Design().GetComponents().GetComponent(1)->GetName(CComponent::textType), "1k");
    EXPECT_TRUE(doc->Session().IsMode(ID_COMPONENTS_ADD));

    ASSERT_TRUE(commands->Send(ID_COMPONENTS_REPLACE_SHAPE));
    EXPECT_TRUE(dialogs.requests.back().replace);
    EXPECT_TRUE(doc->Session().IsMode(ID_COMPONENTS_REPLACE_SHAPE));
}

// "Shape Library" answering `result`, after adding a shape to the cache when `changeCache`.
class CLibraryDialogs : public CDialogService {
public:
    CLibraryDialogs() : m_previous(CDialogService::Set(this)) {}
    ~CLibraryDialogs() override { CDialogService::Set(m_previous); }
    bool Offers(Dialog dialog) const override { return dialog == Dialog::shapeLibrary; }
    int32_t ShapeLibrary(CShapeLib& cache, CShapeLibArray& libraries, const ShapeRequest&,
                         const std::string&, bool& cacheChanged) override
    {
        if (changeCache)
            cache.AddShape("NEW");
        if (changeLibrary)
            libraries.AddLib(std::make_unique<CShapeLib>());
        cacheChanged = changeCache;
        return result;
    }

    int32_t result = resultOk;
    bool changeCache = false;
    bool changeLibrary = false;

private:
    CDialogService* m_previous;
};

// A changed shape cache marks the design modified; an edit starts in a new document, Cancel
// takes the library back to where it was, and no file is written unless the library changed.
TEST_F(CViewCommandsTest, EditShapeLibraryMarksACacheChangeAndPassesItsResultOn)
{
    CLibraryDialogs dialogs;
    EXPECT_FALSE(Enabled(ID_COMPONENTS_EDIT_SHAPE_LIBRARY)) << "no library set";
    CShapeLibArray libraries;
    frame.libraries = &libraries;
    dialogs.result = CDialogService::resultEditShape;
    dialogs.changeCache = true;
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(frame.posted, std::vector<uint32_t>{ID_FILE_NEW});

    doc->SetModifiedFlag(false);
    CTempFolder folder("wevra-edit-library");
    libraries.SetPath(folder / "mine.SHP");
    dialogs.result = CDialogService::resultCancel;
    dialogs.changeCache = false;
    dialogs.changeLibrary = true;
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(libraries.GetCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "mine.SHP"));
    dialogs.result = CDialogService::resultOk;
    dialogs.changeLibrary = false;
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    EXPECT_FALSE(std::filesystem::exists(folder / "mine.SHP"));
    dialogs.changeLibrary = true;
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    EXPECT_TRUE(std::filesystem::exists(folder / "mine.SHP"));

    // A change to the library installed with the program goes into one of the user's own.
    const std::filesystem::path installed =
        std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / "Library" / "Standard.SHP";
    const std::string shipped = [&installed] {
        std::ifstream in(installed, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_FALSE(shipped.empty());
    libraries.SetPath(installed);
    services.fileDialogs.QueueFile((folder / "own.SHP").string());
    ASSERT_TRUE(commands->Send(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    EXPECT_TRUE(std::filesystem::exists(folder / "own.SHP"));
    EXPECT_EQ(libraries.GetPath(), folder / "own.SHP");
    std::ifstream after(installed, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(after), {}) == shipped);
    frame.libraries = nullptr;
}

} // namespace
