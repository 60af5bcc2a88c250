#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "dialogs/CDisplayLayersetDlg.h"
#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CNameDlg.h"
#include "dialogs/CPcbInfoDlg.h"
#include "dialogs/CWevraDialog.h"
#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CConfig.h"
#include "editor/CDocTemplate.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApplication.h"
#include "editor/CWevraView.h"
#include "framework/CMessageService.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CComponentArray.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/editor/MenuItems.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"

namespace fs = std::filesystem;

namespace {

using archive_bytes::Bytes;
using archive_bytes::ReadFile;

// The board view's commands a user reaches from the menus, the toolbar, its combo boxes and
// the keys of the view.
std::vector<uint32_t> ViewCommandIds()
{
    std::vector<uint32_t> ids;
    for (uint32_t id = ID_VIEW_ZOOM_ZOOM; id <= ID_VIEW_ZOOM_WINDOW; ++id)
        ids.push_back(id);
    for (uint32_t id = ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS;
         id <= ID_EDIT_SELECTION_FILTERS_VIAS; ++id)
        ids.push_back(id);
    for (uint32_t id = ID_VIEW_COMPONENTS_PIN_INFO_HIDE;
         id <= ID_VIEW_COMPONENTS_PIN_INFO_SUBNET_MARK; ++id)
        ids.push_back(id);
    for (uint32_t id = ID_VIEW_COMPONENTS_TEXT_HIDE;
         id <= ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT; ++id)
        ids.push_back(id);
    const uint32_t others[] = {ID_VIEW_SCROLL_BARS,
                               ID_VIEW_GRID,
                               ID_VIEW_LONG_CURSOR_CROSSHAIR,
                               ID_VIEW_TOOLTIP_AT_CURSOR,
                               ID_VIEW_AUTO_PANNING,
                               ID_VIEW_HOLES_ALWAYS_VISIBLE,
                               ID_VIEW_UPDATE_ALL_VIEWS,
                               ID_DRAW_REDRAW,
                               ID_OTHER_NOTHING,
                               ID_VIEW_INCHES,
                               ID_VIEW_MIL,
                               ID_VIEW_METRIC,
                               ID_SETTINGS_QUICK_SELECT_GRID_SIZES,
                               ID_EDIT_SELECT_MODE,
                               ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS,
                               ID_EDIT_SELECTION_FILTERS_ONLY_AT_WORKLAYER,
                               ID_EDIT_CANCEL,
                               ID_EDIT_COPY_SELECTION,
                               ID_EDIT_DELETE_SELECTION,
                               ID_EDIT_ROTATE_90,
                               ID_NETLIST_DELETE_ALL_UNUSED_NETS,
                               ID_OTHER_DELETE,
                               ID_END_MODE,
                               ID_VIEW_COMPONENTS_REF_NAMES,
                               ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO,
                               ID_TOOLS_RATSNEST_ACTIVE,
                               ID_TOOLS_DRC_ACTIVE,
                               ID_SETTINGS_PENSTYLE_45_DEGREES,
                               ID_SETTINGS_LOCK_RELATIVE_RULER,
                               ID_TOOLS_AUTOROUTING_PATH_FINDER_1,
                               ID_TOOLS_AUTOROUTING_PATH_FINDER_2,
                               ID_DRAW_NEXT_PEN,
                               ID_DRAW_PREVIOUS_PEN,
                               ID_TOOLBARS_SELECT_LAYER,
                               ID_TOOLBARS_SELECT_NET,
                               ID_TOOLBARS_PAD_STACK_ARRAY,
                               ID_TOOLBARS_SELECT_PEN,
                               ID_PLANES_SELECT_PLANE,
                               ID_PLANES_NEW_PLANE,
                               ID_PLANES_ADD_CIRCLE,
                               ID_PLANES_ADD_POLYLINE,
                               ID_PLANES_ADD_RECTANGLE,
                               ID_PLANES_MOVE_SEEDPOINT,
                               ID_PLANES_EDIT_POLYLINE,
                               ID_PLANES_DELETE_PLANE,
                               ID_PLANES_DELETE_ALL,
                               ID_PLANES_REFILL_ALL,
                               ID_PLANES_REFILL_LAYER,
                               ID_VIEW_PLANES_HATCHVIEW,
                               ID_VIEW_PLANES_HIDE,
                               ID_VIEW_PLANES_WYSIWYG,
                               ID_EDIT_SELECTION_FILTERS_PLANES,
                               ID_PLANES_END_EDIT,
                               ID_BOARD_EDIT_TEXT,
                               ID_BOARD_PLACE_TEXT,
                               ID_TEXT_MODIFY,
                               ID_NETLIST_CONNECT_PINS_TO_NETS,
                               ID_FILE_OPEN_INFOFILES,
                               ID_TOOLS_RUN_SCHEMATIC_APPLICATION};
    ids.insert(ids.end(), std::begin(others), std::end(others));
    return ids;
}

class CViewCommandsMenuTest : public CDemoWindowTest {
protected:
    CViewCommandsMenuTest() : CDemoWindowTest("wevra_view_commands_menu_test") {}

    // Every menu item and toolbar button shows what its command's update twin says.
    std::map<uint32_t, QAction*> CheckItemsFollowTheirUpdateTwins()
    {
        std::map<uint32_t, QAction*> items;
        CollectMenuItems(frame->menuBar()->actions(), items);
        frame->UpdateCommandUI();
        for (QAction* button : frame->GetToolbar().actions()) {
            if (const uint32_t id = CQtCommandBinder::CommandOf(*button)) {
                EXPECT_EQ(button->isEnabled(), frame->GetRouter().Query(id).enabled)
                    << "toolbar " << id;
            }
        }
        for (const auto& [id, action] : items) {
            const CCmdUI ui = frame->GetRouter().Query(id);
            EXPECT_EQ(action->isEnabled(), ui.enabled) << "menu item " << id;
            EXPECT_EQ(action->isChecked(), ui.check != CCmdUI::unchecked) << "menu item " << id;
        }
        return items;
    }

    bool Run(uint32_t id) { return frame->GetRouter().Execute(id); }

    // The next shape dialog makes a new library of that name and closes with the button `end`.
    static void NewLibraryInNextShapeDialog(const char* name, int32_t end)
    {
        WhenModal([name, end](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle().toStdString(), "Shape Library");
            WhenModal([name](QWidget* entry) {
                dialog_test::Type(entry, CNameDlg::idName, name);
                dialog_test::Click(entry, CWevraDialog::idOk);
            });
            dialog_test::Click(dialog, CGetShapeDlg::idGroupNew);
            dialog_test::Click(dialog, end);
        });
    }
    Bytes Saved()
    {
        const fs::path copy = sandbox.root / "copy.PCB";
        EXPECT_TRUE(document->OnSaveDocument(copy.string()));
        return ReadFile(copy);
    }
};

TEST_F(CViewCommandsMenuTest, EveryViewCommandIsReachableAndRunsAsItsItemSays)
{
    const std::map<uint32_t, QAction*> items = CheckItemsFollowTheirUpdateTwins();
    const std::set<uint32_t> hidden = {ID_DRAW_REDRAW,
                                       ID_OTHER_NOTHING,
                                       ID_OTHER_DELETE,
                                       ID_DRAW_NEXT_PEN,
                                       ID_DRAW_PREVIOUS_PEN,
                                       ID_TOOLBARS_SELECT_LAYER,
                                       ID_TOOLBARS_SELECT_NET,
                                       ID_TOOLBARS_SELECT_PEN,
                                       ID_TOOLBARS_PAD_STACK_ARRAY,
                                       ID_PLANES_SELECT_PLANE,
                                       ID_END_MODE,
                                       ID_TEXT_MODIFY};
    for (const uint32_t id : ViewCommandIds()) {
        if (!hidden.contains(id)) {
            EXPECT_TRUE(items.contains(id)) << id << " is on no menu";
        }
    }

    // A design fresh from its file: nothing selected, no plane current (its plane is there to
    // be edited), no dialogs to show.
    ASSERT_EQ(document->Design().GetPlaneCount(), 1);
    EXPECT_TRUE(frame->GetRouter().Query(ID_PLANES_EDIT_POLYLINE).enabled);
    const std::set<uint32_t> disabledAtStart = {
        ID_EDIT_CANCEL,         ID_EDIT_COPY_SELECTION, ID_EDIT_DELETE_SELECTION,
        ID_EDIT_ROTATE_90,      ID_OTHER_DELETE,        ID_END_MODE,
        ID_PLANES_DELETE_PLANE, ID_PLANES_END_EDIT,     ID_TEXT_MODIFY};
    for (const uint32_t id : disabledAtStart)
        EXPECT_FALSE(frame->GetRouter().Query(id).enabled) << id;

    // Zoom in and back out; the whole board in the window.
    const int32_t scale = document->View().GetScale();
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_IN));
    EXPECT_LT(document->View().GetScale(), scale);
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_OUT));
    EXPECT_EQ(document->View().GetScale(), scale);
    ASSERT_TRUE(Run(ID_VIEW_ZOOM_ALL));
    const QSize client = view->viewport()->size();
    const CPoint offset = document->View().GetViewOffset();
    EXPECT_GE(offset.x, 0);
    EXPECT_GE(offset.y, 0);
    EXPECT_LE((int64_t(document->Design().GetBoardWidth()) + offset.x) /
                  document->View().GetScale(),
              client.width());
    EXPECT_LE((int64_t(document->Design().GetBoardHeight()) + offset.y) /
                  document->View().GetScale(),
              client.height());

    // Selection and display settings reach the design and show on their items.
    ASSERT_TRUE(Run(ID_EDIT_SELECT_MODE));
    EXPECT_TRUE(document->Session().IsMode(ID_EDIT_SELECT_MODE));
    ASSERT_TRUE(Run(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS));
    EXPECT_TRUE(document->Session().IsSelectionFilter(CDesignSettings::filterPoints));
    ASSERT_TRUE(Run(ID_VIEW_MIL));
    EXPECT_EQ(document->Session().GetUnit(), 2);
    ASSERT_TRUE(Run(ID_VIEW_COMPONENTS_PIN_INFO_NET_NAMES));
    EXPECT_EQ(document->Design().GetPadInfoMode(), 5);
    ASSERT_TRUE(Run(ID_VIEW_SCROLL_BARS));
    EXPECT_FALSE(view->AreScrollBarsShown());
    QApplication::processEvents();
    const std::map<uint32_t, QAction*> after = CheckItemsFollowTheirUpdateTwins();
    EXPECT_TRUE(after.at(ID_VIEW_MIL)->isChecked());
    EXPECT_TRUE(after.at(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS)->isChecked());
    EXPECT_FALSE(after.at(ID_VIEW_SCROLL_BARS)->isChecked());

    // A plane made, filled and deleted from the menu leaves the design as it was.
    // The design's own plane, filled as Refill All fills it, and its layer chosen in the
    // toolbar: deleting the new plane makes that plane current again, and its layer the work
    // layer.
    ASSERT_TRUE(Run(ID_PLANES_REFILL_ALL));
    QComboBox* layers = frame->GetCombo(CDocumentFrame::layerCombo);
    ASSERT_NE(layers, nullptr);
    const std::string planeLayer =
        document->Design().GetLayers().GetLayerName(document->Design().GetPlane(0).GetLayer());
    layers->setCurrentIndex(
        layers->findText(QString::fromStdString(planeLayer), Qt::MatchStartsWith));
    ASSERT_TRUE(Run(ID_TOOLBARS_SELECT_LAYER));
    ASSERT_EQ(document->Session().GetWorkLayer(), document->Design().GetPlane(0).GetLayer());
    ASSERT_TRUE(Run(ID_EDIT_SELECT_MODE));
    const Bytes before = Saved();
    ASSERT_TRUE(Run(ID_PLANES_NEW_PLANE));
    EXPECT_TRUE(document->Session().IsMode(ID_PLANES_NEW_PLANE));
    // The click in the board, once the view passes clicks on, places it at the cursor.
    document->Session().SetCursor(
        CPoint(document->Design().GetBoardWidth() / 2, document->Design().GetBoardHeight() / 2));
    WhenModal([](QWidget* borderSize) { dialog_test::Click(borderSize, CWevraDialog::idOk); });
    document->Planes().AddFullBoardPlaneAtCursor();
    ASSERT_EQ(document->Design().GetPlaneCount(), 2);
    CheckItemsFollowTheirUpdateTwins();
    ASSERT_TRUE(Run(ID_PLANES_REFILL_ALL));
    EXPECT_FALSE(document->Design().GetPlane(1).GetFillStrokes().IsEmpty());
    services.messages.QueueAnswer(IDYES);
    ASSERT_TRUE(Run(ID_PLANES_DELETE_PLANE));
    EXPECT_EQ(document->Design().GetPlaneCount(), 1);
    ASSERT_TRUE(Run(ID_EDIT_SELECT_MODE));
    const Bytes now = Saved();
    const auto differ = std::mismatch(before.begin(), before.end(), now.begin(), now.end());
    EXPECT_TRUE(differ.first == before.end() && differ.second == now.end())
        << "the design differs from byte " << (differ.first - before.begin()) << " of "
        << before.size() << " (" << now.size() << " now)";

    // Every command that is enabled runs without harm, one after the other.
    for (const uint32_t id : ViewCommandIds()) {
        const bool enabled = frame->GetRouter().Query(id).enabled;
        EXPECT_EQ(Run(id), enabled) << id;
        QApplication::processEvents();
    }
    CheckItemsFollowTheirUpdateTwins();
}

// New Plane after the autorouter makes its plane on the layer the toolbar shows, and Esc in
// its border dialog makes none.
TEST_F(CViewCommandsMenuTest, NewPlaneGoesOnTheLayerTheToolbarShows)
{
    FocusWholeBoard();
    QComboBox* layers = frame->GetCombo(CDocumentFrame::layerCombo);
    ASSERT_NE(layers, nullptr);
    const QString bottom =
        QString::fromStdString(document->Design().GetLayers().GetLayerName(LAYER_BOTTOM));
    layers->setCurrentIndex(layers->findText(bottom, Qt::MatchStartsWith));
    ASSERT_TRUE(Run(ID_TOOLBARS_SELECT_LAYER));
    ASSERT_EQ(document->Session().GetWorkLayer(), LAYER_BOTTOM);
    ASSERT_TRUE(Run(ID_TOOLS_AUTOROUTING_ROUTE_ALL_TOP_AND_BOT_LAYERS));
    QApplication::processEvents();
    EXPECT_TRUE(layers->currentText().startsWith(bottom));
    EXPECT_EQ(document->Session().GetWorkLayer(), LAYER_BOTTOM);

    const int32_t planes = document->Design().GetPlaneCount();
    const QPoint middle(Client()->width() / 2, Client()->height() / 2);
    ASSERT_TRUE(Run(ID_PLANES_NEW_PLANE));
    WhenModal([](QWidget* borderSize) { QTest::keyClick(borderSize, Qt::Key_Escape); });
    QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(document->Design().GetPlaneCount(), planes) << "Esc makes no plane";
    EXPECT_TRUE(document->Session().IsMode(ID_PLANES_NEW_PLANE));

    for (int32_t made = 1; made <= 2; ++made) {
        ASSERT_TRUE(Run(ID_PLANES_NEW_PLANE));
        WhenModal([](QWidget* borderSize) { dialog_test::Click(borderSize, CWevraDialog::idOk); });
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, middle);
        ASSERT_EQ(document->Design().GetPlaneCount(), planes + made);
        const CPour& plane = document->Design().GetPlane(planes + made - 1);
        EXPECT_EQ(plane.GetLayer(), LAYER_BOTTOM) << "plane " << made;
        EXPECT_TRUE(QString::fromStdString(plane.GetName()).endsWith(bottom.mid(3)));
        QApplication::processEvents();
        // A change of tool builds the toolbar anew.
        layers = frame->GetCombo(CDocumentFrame::layerCombo);
        ASSERT_NE(layers, nullptr);
        EXPECT_TRUE(layers->currentText().startsWith(bottom)) << "plane " << made;
        ASSERT_TRUE(Run(ID_EDIT_SELECT_MODE));
    }

    // A set without the bottom layer shows none of the bottom planes, selected or not: the top
    // copper under them stays in sight.
    WhenModal([](QWidget* box) {
        dialog_test::ChooseRow(box, CDisplayLayersetDlg::idList, QStringLiteral("  Copper on Top"),
                               CWevraDialog::idOk);
    });
    ASSERT_TRUE(Run(ID_VIEW_SELECT_LAYERSET));
    ASSERT_EQ(document->Design().GetCurrentLayerSet()->GetDisplayName(), "Copper on Top");
    Client()->setFocus();
    QTest::keyClick(Client(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(document->Design().GetPlane(planes).IsSelected());
    QApplication::processEvents();
    const QImage image = Client()->grab().toImage();
    std::set<QRgb> bottomColors;
    for (const int32_t set : {CComponentDocument::normalSet, CComponentDocument::highlightSet}) {
        const COLORREF color = document->Paint().LayerColor(LAYER_BOTTOM, set);
        bottomColors.insert(qRgb(GetRValue(color), GetGValue(color), GetBValue(color)));
    }
    int32_t bottomPixels = 0;
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            bottomPixels += bottomColors.contains(image.pixel(x, y) | 0xff000000u) ? 1 : 0;
    EXPECT_EQ(bottomPixels, 0) << "bottom copper drawn in a set of the top layer alone";
}

TEST_F(CViewCommandsMenuTest, BoardPropertiesShowsTheDesignSummaryFromTheMenu)
{
    const std::map<uint32_t, QAction*> items = CheckItemsFollowTheirUpdateTwins();
    ASSERT_TRUE(items.contains(ID_BOARD_PROPERTIES));
    QAction* properties = items.at(ID_BOARD_PROPERTIES);
    ASSERT_TRUE(properties->isEnabled());
    std::string nets;
    std::string components;
    WhenModal([&](QWidget* dialog) {
        nets = dialog_test::Text(dialog, CPcbInfoDlg::idNets);
        components = dialog_test::Text(dialog, CPcbInfoDlg::idComponents);
        dialog_test::Click(dialog, CWevraDialog::idOk);
    });
    properties->trigger();
    EXPECT_EQ(nets, std::to_string(document->Design().GetNets().GetCount()));
    EXPECT_EQ(components, std::to_string(document->Design().GetComponents().GetCount()));
}

TEST_F(CViewCommandsMenuTest, CircularPadArrayIsPlacedFromThePadsMenu)
{
    const std::map<uint32_t, QAction*> items = CheckItemsFollowTheirUpdateTwins();
    for (const uint32_t id :
         {ID_SETTINGS_GENERAL_PAD, ID_SETTINGS_VIA, ID_PADS_EDIT_COMPONENT_PADSTACKS,
          ID_VIEW_COMPONENTS_TEXT, ID_PADS_ARRAY_RECTANGULAR, ID_PADS_ARRAY_CIRCULAR,
          ID_SETTINGS_PEN_WIDTH, ID_BOARD_IMPORT_FROM_TEMPLATE}) {
        ASSERT_TRUE(items.contains(id)) << id;
        EXPECT_TRUE(items.at(id)->isEnabled()) << id;
    }
    // Without a selection there is nothing to copy, rotate or give a pen.
    for (const uint32_t id : {ID_EDIT_COPY_RECTANGULAR_ARRAY, ID_EDIT_ROTATE})
        EXPECT_FALSE(items.at(id)->isEnabled()) << id;

    document->Design().SetUnit(0);
    document->Design().SetUserOffset(CPoint(0, 0));
    document->Session().SetCursor(CPoint(512000, 512000));
    CNet& net = *document->Design().GetNets().GetCurrentNet();
    const int32_t before = net.GetVertexCount();
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Place a Circular Array of Pads"));
        EXPECT_EQ(dialog_test::Text(dialog, 1009), "2.0000 inch");
        dialog_test::Type(dialog, 1004, "180");
        dialog_test::Type(dialog, 1005, "4");
        dialog_test::Click(dialog, CWevraDialog::idOk);
    });
    items.at(ID_PADS_ARRAY_CIRCULAR)->trigger();
    ASSERT_EQ(net.GetVertexCount(), before + 5);
    EXPECT_EQ(net.GetVertexPoint(before), CPoint(512000, 640000));
    EXPECT_EQ(net.GetVertexPoint(before + 2), CPoint(640000, 512000));
    EXPECT_EQ(net.GetVertexPoint(before + 4), CPoint(512000, 384000));
    EXPECT_TRUE(document->IsModified());
}

// Components > Edit Shape Library shows the library set in the shape dialog: OK writes what was
// made there to the library file, Cancel reloads the file and so forgets it.
TEST_F(CViewCommandsMenuTest, EditShapeLibraryKeepsWhatOkTakes)
{
    const fs::path file = sandbox.root / "parts.SHP";
    frame->LoadShapeLibraries(file.string());
    std::map<uint32_t, QAction*> items = CheckItemsFollowTheirUpdateTwins();
    QAction* edit = items.at(ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
    ASSERT_TRUE(edit->isEnabled());
    NewLibraryInNextShapeDialog("mine", CWevraDialog::idOk);
    edit->trigger();
    CShapeLibArray saved;
    ASSERT_TRUE(saved.Load(file));
    ASSERT_EQ(saved.GetCount(), 1);
    EXPECT_EQ(saved.GetLib(0)->GetName(), "MINE");

    NewLibraryInNextShapeDialog("other", CWevraDialog::idCancel);
    edit->trigger();
    QApplication::processEvents();
    ASSERT_EQ(frame->GetShapeLibraries().GetCount(), 1);
    EXPECT_EQ(frame->GetShapeLibraries().GetLib(0)->GetName(), "MINE");
}

// A library whose shapes and padstacks hold values no board uses is named when it is loaded, the
// first lines and a count, and kept as the file has them.
TEST_F(CViewCommandsMenuTest, ShapeLibraryValuesNoBoardUsesAreNamedOnLoading)
{
    const fs::path file = sandbox.root / "odd.SHP";
    {
        CShapeLibArray libraries;
        auto library = std::make_unique<CShapeLib>("ODD");
        const int32_t stack = library->GetPadStacks().Add(CPadStack(
            "WILD", PAD_ROUND, -5000, -5000, 5000, 5000, 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        library->GetPadStacks().GetPadStack(stack)->GetPad(LAYER_TOP)->Set(0x94, -5000, -5000, 5000,
                                                                           5000);
        const int32_t shape = library->AddShape("TURNED");
        for (int32_t k = 0; k < 25; ++k)
            library->AddPadToShape(shape, k * 25600, 0, uint16_t(stack), 720000 + k);
        library->RecalcShapeExtent(shape);
        libraries.AddLib(std::move(library));
        libraries.SetPath(file);
        ASSERT_TRUE(libraries.Save());
    }
    services.messages.ClearShown();
    frame->LoadShapeLibraries(file.string());
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string& text = services.messages.Shown()[0].text;
    EXPECT_EQ(services.messages.Shown()[0].caption, file.string());
    EXPECT_EQ(text.rfind("The shape library holds values the program cannot work with", 0), 0u)
        << text;
    EXPECT_NE(text.find("\nLibrary ODD: Padstack "), std::string::npos) << text;
    EXPECT_NE(text.find("\"WILD\" layer 1: shape code 148, outside 1 to 9"), std::string::npos)
        << text;
    EXPECT_NE(
        text.find("\nLibrary ODD: Shape TURNED pad 1: rotation 720000, outside -360000 to 360000"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\n... and 6 more"), std::string::npos) << text;
    const CShapeLib* loaded = frame->GetShapeLibraries().GetLibByName("ODD");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetShape(0)->GetPadRotation(24), 720024);
}

// With no library file set, OK asks where to write the set; the file chosen becomes the user's
// library, kept in the settings for the next start. A cancelled choice writes nothing.
TEST_F(CViewCommandsMenuTest, EditShapeLibraryWithoutAFileAsksWhereToWriteIt)
{
    const std::string configured = frame->GetConfig()->GetLibraryFile();
    // No library to load is named, and so is a library file that is not there.
    frame->LoadShapeLibraries((sandbox.root / "gone.SHP").string());
    frame->LoadShapeLibraries("");
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_EQ(
        services.messages.Shown()[0].text.rfind(
            "The shape library " + (sandbox.root / "gone.SHP").string() + " was not found.", 0),
        0u);
    EXPECT_EQ(services.messages.Shown()[1].text.rfind("No shape library was found in ", 0), 0u);
    services.messages.ClearShown();
    QAction* edit = CheckItemsFollowTheirUpdateTwins().at(ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
    NewLibraryInNextShapeDialog("lost", CWevraDialog::idOk);
    services.fileDialogs.QueueFile(std::nullopt);
    edit->trigger();
    EXPECT_TRUE(frame->GetShapeLibraries().GetPath().empty());
    EXPECT_EQ(frame->GetConfig()->GetLibraryFile(), configured);

    const fs::path file = sandbox.root / "mine.SHP";
    NewLibraryInNextShapeDialog("mine", CWevraDialog::idOk);
    services.fileDialogs.QueueFile(file.string());
    edit->trigger();
    CShapeLibArray saved;
    ASSERT_TRUE(saved.Load(file));
    ASSERT_EQ(saved.GetCount(), 2);
    EXPECT_EQ(saved.GetLib(1)->GetName(), "MINE");
    EXPECT_EQ(frame->GetConfig()->GetLibraryFile(), file.string());
    const std::vector<std::string>& writes = sandbox.settings.writes;
    EXPECT_NE(std::find(writes.begin(), writes.end(), "Files/Library=" + file.string()),
              writes.end());
}

// A library file that cannot be written (an installed one) is named in a message, and OK then
// asks for a file of the user's own, which becomes their library.
TEST_F(CViewCommandsMenuTest, EditShapeLibraryOfAnUnwritableFileAsksForAnother)
{
    const fs::path blocker = sandbox.root / "not-a-folder";
    std::ofstream(blocker) << "a file where the library's folder would be";
    frame->LoadShapeLibraries((blocker / "installed.SHP").string());
    // The file is not there: said when it is loaded.
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    services.messages.ClearShown();
    QAction* edit = CheckItemsFollowTheirUpdateTwins().at(ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
    const fs::path file = sandbox.root / "own.SHP";
    NewLibraryInNextShapeDialog("own", CWevraDialog::idOk);
    services.fileDialogs.QueueFile(file.string());
    edit->trigger();
    // Nothing is written, and no write fails, before the user changed something.
    ASSERT_EQ(services.messages.Shown().size(), 1u) << "after OK only";
    CShapeLibArray saved;
    ASSERT_TRUE(saved.Load(file));
    ASSERT_EQ(saved.GetCount(), 1);
    EXPECT_EQ(saved.GetLib(0)->GetName(), "OWN");
    EXPECT_EQ(frame->GetConfig()->GetLibraryFile(), file.string());
}

TEST_F(CViewCommandsMenuTest, ToolItemsStartTheirToolsFromTheMenus)
{
    std::map<uint32_t, QAction*> items = CheckItemsFollowTheirUpdateTwins();
    const uint32_t tools[] = {ID_COMPONENTS_ADD,
                              ID_COMPONENTS_MOVE_ROTATE,
                              ID_COMPONENTS_COPY,
                              ID_COMPONENTS_REPLACE_PADS,
                              ID_COMPONENTS_EDIT_SHAPE_LIBRARY,
                              ID_PADS_ADD_MANUALLY,
                              ID_PADS_MOVE,
                              ID_PADS_SET_PAD_ORDER,
                              ID_TRACKS_ADD,
                              ID_TRACKS_EDIT,
                              ID_TRACKS_ADD_OR_REMOVE_VIA,
                              ID_TRACKS_CHANGE_TRACKS_WIDTH,
                              ID_TRACKS_ADD_CIRCLES,
                              ID_LINES_ADD,
                              ID_LINES_EDIT,
                              ID_LINES_DELETE_SEGMENTS,
                              ID_NETLIST_UPDATE_FROM_NETPINS,
                              ID_NETLIST_REBUILD_FROM_TRACKS,
                              ID_NETLIST_ALL_NETS_TO_NET_0,
                              ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES,
                              ID_FILE_EXPORT_EXPORT_COMPONENTS_NETNAMES};
    for (const uint32_t id : tools)
        EXPECT_TRUE(items.contains(id)) << id << " is on no menu";

    // A user picks the items; each starts its tool and shows it checked.
    const auto pick = [&](uint32_t id) {
        items = CheckItemsFollowTheirUpdateTwins();
        ASSERT_TRUE(items.at(id)->isEnabled()) << id;
        items.at(id)->trigger();
        QApplication::processEvents();
        items = CheckItemsFollowTheirUpdateTwins();
    };
    document->Session().SetWorkLayer(LAYER_TOP);
    pick(ID_TRACKS_ADD);
    EXPECT_TRUE(document->Session().IsMode(ID_TRACKS_ADD));
    EXPECT_TRUE(items.at(ID_TRACKS_ADD)->isChecked());
    EXPECT_FALSE(items.at(ID_LINES_ADD)->isEnabled()) << "no drawn lines on copper";
    pick(ID_COMPONENTS_MOVE_ROTATE);
    EXPECT_TRUE(document->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));
    EXPECT_FALSE(items.at(ID_TRACKS_ADD)->isChecked());
    pick(ID_PADS_MOVE);
    EXPECT_TRUE(document->Session().IsMode(ID_PADS_MOVE));
    pick(ID_LINES_EDIT);
    EXPECT_TRUE(document->Session().IsMode(ID_LINES_EDIT));
    EXPECT_EQ(document->Session().GetWorkLayer(), LAYER_SILK_TOP);
    EXPECT_FALSE(items.at(ID_TRACKS_ADD)->isEnabled());
    EXPECT_TRUE(items.at(ID_LINES_ADD)->isEnabled());
    pick(ID_TRACKS_EDIT);
    EXPECT_TRUE(document->Session().IsMode(ID_TRACKS_EDIT));
    EXPECT_EQ(document->Session().GetWorkLayer(), LAYER_BOTTOM);
    pick(ID_TRACKS_ADD_CIRCLES);
    EXPECT_TRUE(document->Session().IsMode(ID_TRACKS_ADD_CIRCLES));
    // Taking every net apart is one undo step.
    const Bytes nets = archive_bytes::Store(document->Design().GetNets());
    const Bytes components = archive_bytes::Store(document->Design().GetComponents());
    pick(ID_NETLIST_ALL_NETS_TO_NET_0);
    EXPECT_EQ(document->Design().GetNets().GetCount(), 1);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(archive_bytes::Store(document->Design().GetNets()), nets);
    EXPECT_EQ(archive_bytes::Store(document->Design().GetComponents()), components);
    // Nets afresh from the copper: each rebuilt net's clusters are those a fresh check of the
    // net finds; one undo step again.
    pick(ID_NETLIST_REBUILD_FROM_TRACKS);
    CNetArray& rebuilt = document->Design().GetNets();
    ASSERT_GT(rebuilt.GetCount(), 1);
    for (int32_t n = 1; n < rebuilt.GetCount(); ++n) {
        CNet alone = *rebuilt.GetNet(n);
        alone.CalcClusters(document->Link());
        EXPECT_EQ(rebuilt.GetNet(n)->GetClusterCount(), alone.GetClusterCount()) << n;
        for (int32_t i = 0; i < alone.GetPinCount(); ++i)
            EXPECT_EQ(rebuilt.GetNet(n)->GetPinCluster(i), alone.GetPinCluster(i)) << n;
    }
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(archive_bytes::Store(document->Design().GetNets()), nets);

    // The net-alias report beside the design, opened in the text editor.
    services.messages.QueueAnswer(IDNO);
    pick(ID_FILE_EXPORT_EXPORT_COMPONENTS_NETNAMES);
    const fs::path report = design.parent_path() / "NetAliases.TXT";
    EXPECT_TRUE(fs::exists(report));
    EXPECT_EQ(services.launcher.openedTextFiles, std::vector<fs::path>{report});
}

} // namespace
