#include "document/CToolCommands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocCommandMap.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CCmdUI.h"
#include "model/CAngleText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CTrackTool.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/TwoPadShape.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using archive_bytes::Bytes;

constexpr int32_t scale = 10;
constexpr int32_t grid = 3200;

// Shows the dialogs it is told to; Rotation takes the typed angle.
class CShowingDialogs : public CDialogService {
public:
    bool Offers(Dialog dialog) const override
    {
        for (const Dialog shown : offered)
            if (shown == dialog)
                return true;
        return false;
    }
    int32_t Rotation(std::string& angle, bool&) override
    {
        shownAngles.push_back(angle);
        angle = typedAngle;
        return resultOk;
    }

    std::vector<Dialog> offered;
    std::vector<std::string> shownAngles;
    std::string typedAngle = "45";
};

// A board with a via to place, one two-pad component (its pads on nets "A" and
// "B") and the top layer to work on; the commands as the document's command map holds them.
class CToolCommandsTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previousDialogs = CDialogService::Set(&dialogs);
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        stacks.RemoveAll();
        const int32_t via = stacks.Add(CPadStack("V", PAD_ROUND, -2000, -2000, 2000, 2000, 3023,
                                                 LAYER_COMMON, PADSTACK_KIND_VIA));
        stacks.SetDefault(PADSTACK_KIND_VIA, via);
        const int32_t shape = AddTwoPadShape(cache);
        doc->Design().GetNets().AddNet("A");
        doc->Design().GetNets().AddNet("B");
        CComponentArray& components = doc->Design().GetComponents();
        const int32_t c = components.AddEmpty(shape);
        components.GetComponent(c)->ResizePadNets(2);
        components.GetComponent(c)->SetPadNet(0, 1, 3);
        components.GetComponent(c)->SetPadNet(1, 2, 3);
        components.SetPosition(c, 100 * grid, 100 * grid);
        components.RebuildNetPins();
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        doc->Session().SetWorkLayer(LAYER_TOP);
        commands = std::make_unique<CDocCommandMap>(*doc);
    }
    void TearDown() override
    {
        commands.reset();
        CDialogService::Set(m_previousDialogs);
        CDocumentTest::TearDown();
    }

    CCmdUI Query(uint32_t id) const
    {
        CCmdUI ui;
        ui.id = id;
        EXPECT_TRUE(commands->Update(ui)) << id << " has no update twin";
        return ui;
    }
    bool Enabled(uint32_t id) const { return Query(id).enabled; }
    bool Checked(uint32_t id) const { return Query(id).check != CCmdUI::unchecked; }
    // As a menu runs it: nothing when disabled.
    bool Run(uint32_t id) const { return Enabled(id) && commands->Execute(id); }

    CShowingDialogs dialogs;
    std::unique_ptr<CDocCommandMap> commands;

private:
    CDialogService* m_previousDialogs = nullptr;
};

TEST_F(CToolCommandsTest, EachToolItemStartsItsModeAndIsCheckedWhileItRuns)
{
    const uint32_t tools[] = {ID_COMPONENTS_COPY,
                              ID_COMPONENTS_DELETE,
                              ID_COMPONENTS_MIRROR,
                              ID_COMPONENTS_MOVE_ROTATE,
                              ID_COMPONENTS_REPLACE_PADS,
                              ID_COMPONENTS_ROTATE_90_DEGR,
                              ID_COMPONENTS_SNAP_TO_GRID,
                              ID_TRACKS_ADD,
                              ID_TRACKS_EDIT,
                              ID_TRACKS_ADD_OR_REMOVE_VIA,
                              ID_TRACKS_CHANGE_TRACKS_WIDTH,
                              ID_TRACKS_COPY_TRACKS,
                              ID_TRACKS_DELETE_TRACKS,
                              ID_TRACKS_DELETE_SEGMENTS,
                              ID_PADS_COPY,
                              ID_PADS_DELETE,
                              ID_PADS_MOVE,
                              ID_PADS_REPLACE,
                              ID_PADS_SET_PAD_ORDER,
                              ID_PADS_ADD_MANUALLY};
    for (const uint32_t id : tools) {
        doc->Session().SetWorkLayer(LAYER_TOP);
        ASSERT_TRUE(Run(id)) << id;
        EXPECT_EQ(doc->Session().GetMode(), id);
        EXPECT_TRUE(Checked(id)) << id;
        EXPECT_FALSE(Checked(ID_LINES_EDIT)) << id;
    }
    // Change Width is the toolbar's Change Tracks Width.
    ASSERT_TRUE(Run(ID_CHANGE_WIDTH));
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_CHANGE_TRACKS_WIDTH);

    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    for (const uint32_t id :
         {ID_LINES_ADD, ID_LINES_EDIT, ID_LINES_CHANGE_LINE_WIDTH, ID_LINES_COPY_LINES,
          ID_LINES_DELETE_LINES, ID_LINES_DELETE_SEGMENTS}) {
        ASSERT_TRUE(Run(id)) << id;
        EXPECT_EQ(doc->Session().GetMode(), id);
        EXPECT_TRUE(Checked(id)) << id;
    }
}

TEST_F(CToolCommandsTest, ItemsAreDisabledWhereTheirToolCouldDoNothing)
{
    // Tracks on copper, lines off it; each family's Edit brings the work layer over.
    for (const uint32_t id : {ID_TRACKS_ADD, ID_TRACKS_DELETE_SEGMENTS, ID_CHANGE_WIDTH})
        EXPECT_TRUE(Enabled(id)) << id;
    for (const uint32_t id : {ID_LINES_ADD, ID_LINES_DELETE_SEGMENTS})
        EXPECT_FALSE(Enabled(id)) << id;
    ASSERT_TRUE(Run(ID_LINES_EDIT));
    EXPECT_EQ(doc->Session().GetWorkLayer(), LAYER_SILK_TOP);
    EXPECT_EQ(doc->Session().GetSelectionFilter(),
              CDesignSettings::filterNonElectrical | CDesignSettings::filterPoints);
    EXPECT_FALSE(Enabled(ID_TRACKS_ADD));
    EXPECT_TRUE(Enabled(ID_LINES_ADD));
    ASSERT_TRUE(Run(ID_TRACKS_EDIT));
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_EDIT);
    EXPECT_EQ(doc->Session().GetWorkLayer(), LAYER_BOTTOM);
    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    ASSERT_TRUE(Run(ID_PADS_ADD_MANUALLY));
    EXPECT_EQ(doc->Session().GetWorkLayer(), LAYER_TOP);

    // Items whose tool opens a dialog the program cannot show stay off.
    const uint32_t needDialogs[] = {
        ID_COMPONENTS_ROTATE,  ID_COMPONENTS_SET_POSITION, ID_COMPONENTS_PROPERTIES,
        ID_TRACKS_ADD_CIRCLES, ID_TRACKS_ADD_ELLIPSES,     ID_TRACKS_ADD_RECTANGLES,
        ID_PADS_ROTATE};
    for (const uint32_t id : needDialogs)
        EXPECT_FALSE(Enabled(id)) << id;
    dialogs.offered = {CDialogService::Dialog::getShape, CDialogService::Dialog::rotation,
                       CDialogService::Dialog::compSetPosition,
                       CDialogService::Dialog::compProperties, CDialogService::Dialog::inputSizes};
    for (const uint32_t id : needDialogs)
        EXPECT_TRUE(Enabled(id)) << id;

    // Components items need components; the selection's commands need a selection.
    EXPECT_FALSE(Enabled(ID_CONTEXT_COMPONENTS_MIRROR));
    EXPECT_FALSE(Enabled(ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES));
    doc->Design().GetComponents().SelectAll(true);
    doc->Design().GetComponents().DeleteSelected();
    EXPECT_FALSE(Enabled(ID_COMPONENTS_MOVE_ROTATE));
    EXPECT_FALSE(Enabled(ID_FILE_EXPORT_EXPORT_COMPONENTS_NETNAMES));
    // Nothing to place without a padstack.
    doc->Design().GetEditableShapeCache().GetPadStacks().RemoveAll();
    EXPECT_FALSE(Enabled(ID_PADS_ADD_MANUALLY));
}

TEST_F(CToolCommandsTest, StartingAnotherToolFinishesTheTrackBeingDrawn)
{
    CTrackTool& tool = doc->Design().GetNets().GetTrackTool();
    ASSERT_TRUE(Run(ID_TRACKS_ADD));
    doc->Session().CursorFromPixel(0, 0);
    tool.OnTrackToolClick(doc->Session());
    doc->Session().CursorFromPixel(10 * grid / scale, 0);
    tool.OnTrackToolMouseMove(doc->Session());
    ASSERT_TRUE(tool.IsEditing());

    ASSERT_TRUE(Run(ID_COMPONENTS_MOVE_ROTATE));
    EXPECT_EQ(doc->Session().GetMode(), ID_COMPONENTS_MOVE_ROTATE);
    EXPECT_FALSE(tool.IsEditing()) << "no backup left for a later Esc to put back";
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetVertexCount(), 2);
    // The run was an edit of its own.
    doc->History().Undo();
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetVertexCount(), 0);
}

TEST_F(CToolCommandsTest, EndModeRunsTheToolsOwnEndStep)
{
    // A component tool waiting ends into Move/Rotate, and Move/Rotate into the idle tool.
    ASSERT_TRUE(Run(ID_COMPONENTS_COPY));
    ASSERT_TRUE(CToolCommands::EndToolStep(*doc));
    EXPECT_EQ(doc->Session().GetMode(), ID_COMPONENTS_MOVE_ROTATE);
    ASSERT_TRUE(CToolCommands::EndToolStep(*doc));
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
    EXPECT_FALSE(CToolCommands::EndToolStep(*doc)) << "not a tool of these menus";

    ASSERT_TRUE(Run(ID_PADS_MOVE));
    ASSERT_TRUE(CToolCommands::EndToolStep(*doc));
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
}

TEST_F(CToolCommandsTest, PlusAndMinusInChangeTracksWidthStepThePen)
{
    CTrackTool& tool = doc->Design().GetNets().GetTrackTool();
    ASSERT_TRUE(Run(ID_TRACKS_CHANGE_TRACKS_WIDTH));
    tool.OnTrackChar(doc->Session(), '+');
    tool.OnTrackChar(doc->Session(), '-');
    EXPECT_EQ(views.viewCommands, (std::vector<uint32_t>{ID_DRAW_NEXT_PEN, ID_DRAW_PREVIOUS_PEN}));
    // Elsewhere they step along the net's vertices.
    views.viewCommands.clear();
    ASSERT_TRUE(Run(ID_TRACKS_EDIT));
    tool.OnTrackChar(doc->Session(), '+');
    EXPECT_TRUE(views.viewCommands.empty());
}

TEST_F(CToolCommandsTest, SelectionCommandsActAtOnceAndAreUndoneByOneUndo)
{
    CComponentArray& components = doc->Design().GetComponents();
    const Bytes before = archive_bytes::Store(*components.GetComponent(0));
    components.SelectAll(true);
    ASSERT_TRUE(Run(ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR));
    EXPECT_EQ(components.GetRotation(0), 90000);
    components.SelectAll(true);
    ASSERT_TRUE(Run(ID_CONTEXT_COMPONENTS_MIRROR));
    EXPECT_TRUE(components.IsMirrored(0));
    doc->History().Undo();
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*doc->Design().GetComponents().GetComponent(0)), before);

    // The pads' copper becomes net 0 tracks.
    doc->Design().GetComponents().SelectAll(true);
    ASSERT_TRUE(Run(ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES));
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
}

TEST_F(CToolCommandsTest, NetlistRebuildsKeepAnUndoState)
{
    const Bytes before = archive_bytes::Store(doc->Design().GetNets());
    ASSERT_TRUE(Run(ID_NETLIST_ALL_NETS_TO_NET_0));
    EXPECT_NE(archive_bytes::Store(doc->Design().GetNets()), before);
    EXPECT_TRUE(doc->IsModified());
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetNets()), before);
    ASSERT_TRUE(Run(ID_NETLIST_UPDATE_FROM_NETPINS));
    ASSERT_TRUE(Run(ID_NETLIST_REBUILD_FROM_TRACKS));
}

TEST_F(CToolCommandsTest, PadRotationGoesToNewPadsAndToTheSelectedOnes)
{
    dialogs.offered = {CDialogService::Dialog::rotation};
    CTrackTool& tool = doc->Design().GetNets().GetTrackTool();
    ASSERT_TRUE(Run(ID_PADS_ROTATE));
    EXPECT_EQ(doc->Session().GetMode(), ID_PADS_ROTATE);
    ASSERT_EQ(dialogs.shownAngles.size(), 1u);
    EXPECT_EQ(tool.GetPadAngle(), 45000);

    doc->Session().SetCursor(CPoint(10 * grid, 10 * grid));
    ASSERT_TRUE(tool.AddViaAtCursor(doc->Session()));
    CNet& net = *doc->Design().GetNets().GetCurrentNet();
    const int32_t via = net.GetVertexCount() - 1;
    const Bytes before = archive_bytes::Store(net);
    net.SelectAllVertices(true);
    dialogs.typedAngle = "90";
    ASSERT_TRUE(Run(ID_ROTATE_PAD));
    EXPECT_EQ(dialogs.shownAngles.back(), CAngleText::Format(45000));
    EXPECT_EQ(net.GetVertexRotation(via), 90000);
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*doc->Design().GetNets().GetCurrentNet()), before);
}

} // namespace
