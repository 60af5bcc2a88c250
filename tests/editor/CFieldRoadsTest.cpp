#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "dialogs/CBoardSizeDlg.h"
#include "dialogs/CCompTextDlg.h"
#include "dialogs/CConfigGrid.h"
#include "dialogs/CConfigOutput.h"
#include "dialogs/CDesignConfig.h"
#include "dialogs/CEditTextDlg.h"
#include "dialogs/CNetFindReplaceDlg.h"
#include "dialogs/CNetlistGrid.h"
#include "dialogs/CNetlistTableDlg.h"
#include "dialogs/CNewJobDlg.h"
#include "dialogs/CPadstackDlg.h"
#include "dialogs/CPlanePropDlg.h"
#include "dialogs/CPositionDlg.h"
#include "dialogs/CRotationDlg.h"
#include "dialogs/CSelCompTextDlg.h"
#include "dialogs/CSelectPadDlg.h"
#include "dialogs/CSetGridDlg.h"
#include "document/CDesignFields.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "framework/qt/CQtText.h"
#include "gridctrl/CGridCellArea.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

using namespace dialog_test;

constexpr int64_t coordinate = (int64_t(1) << 30) - 1;
constexpr int64_t turn = 360000;

// The sample design in the main window, in inches, its fields set through the dialogs and table
// windows a user sets them with.
class CFieldRoadsTest : public CDemoWindowTest {
protected:
    CFieldRoadsTest() : CDemoWindowTest("wevra_field_roads_test") {}
    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        FocusWholeBoard();
        document->Design().SetUnit(CLengthText::unitInch);
    }

public:
    using CDemoWindowTest::document;
    using CDemoWindowTest::frame;
    using CDemoWindowTest::Pick;
    using CDemoWindowTest::view;
    using CDemoWindowTest::WhenDialog;

    void ClickAt(CPoint at)
    {
        MoveMouse(PixelOf(at.x, at.y));
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, PixelOf(at.x, at.y));
        QApplication::processEvents();
    }
    // The design saved and opened again as File > Open opens it: the messages that shows.
    std::vector<std::string> Reopened()
    {
        services.messages.ClearShown();
        EXPECT_TRUE(document->OnSaveDocument(design.string()));
        CWevraDoc reopened;
        EXPECT_TRUE(reopened.OnOpenDocument(design.string()));
        std::vector<std::string> shown = services.messages.ShownTexts();
        services.messages.ClearShown();
        return shown;
    }
    // Types the texts into the fields of the dialog the command opens, and OK.
    void InDialog(uint32_t command, std::vector<std::pair<int32_t, std::string>> fields)
    {
        WhenDialog([fields](QWidget* dialog) {
            for (const auto& [id, text] : fields)
                Type(dialog, id, text);
            Click(dialog, CWevraDialog::idOk);
        });
        if (command == ID_PLANES_PROPERTIES)
            document->Planes().SetCurrentPlane(0);
        Pick(command);
    }
    // Find and Replace of the netlist table on GND's cell of the column.
    void ReplaceInNetlistTable(int col, const std::string& replacement)
    {
        if (view->GetTableWindow(CWevraView::netlistTable) == nullptr)
            Pick(ID_NETLIST_NETLIST_TABLE);
        auto* table =
            dynamic_cast<CNetlistTableDlg*>(view->GetTableWindow(CWevraView::netlistTable));
        ASSERT_NE(table, nullptr);
        CNetlistGrid& grid = *table->GetNetlistGrid();
        const int row = document->Design().GetNets().FindNet("GND");
        grid.MoveToCell(col, row);
        CRect rect;
        ASSERT_TRUE(grid.GetCellRect(col, row, rect));
        QTest::mouseClick(grid.GetCellArea(), Qt::RightButton, {},
                          QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2));
        ASSERT_TRUE(grid.GetPopupMenu()->isVisible());
        WhenDialog([find = grid.GetText(col, row), replacement](QWidget* dialog) {
            Type(dialog, CNetFindReplaceDlg::idFind, find);
            Type(dialog, CNetFindReplaceDlg::idReplace, replacement);
            Click(dialog, CWevraDialog::idOk);
        });
        grid.GetPopupMenu()->actions()[0]->trigger();
        grid.GetPopupMenu()->hide();
    }
    // A text placed with Place Text and the field typed into its Edit Text dialog; one the
    // dialog refuses is taken back with Esc.
    void PlaceText(int32_t id, const std::string& text)
    {
        Pick(ID_BOARD_PLACE_TEXT);
        WhenDialog([id, text](QWidget* dialog) {
            Type(dialog, id, text);
            Click(dialog, CWevraDialog::idOk);
        });
        const CPoint middle(document->Design().GetBoardWidth() / 2,
                            document->Design().GetBoardHeight() / 2);
        ClickAt(middle);
        if (services.messages.Shown().empty())
            ClickAt(middle);
        else
            QTest::keyClick(view, Qt::Key_Escape);
        Pick(ID_EDIT_SELECT_MODE);
    }
    // Board > Configuration on its page: `act` on the sheet, then OK, or Cancel once a value
    // was refused (OK marks the design modified, whatever changed).
    void InConfiguration(CDesignConfig::Page page, std::function<void(QWidget*)> act)
    {
        WhenDialog([this, page, act](QWidget* sheet) {
            sheet->findChild<QTabWidget*>()->setCurrentIndex(page);
            act(sheet);
            Click(sheet,
                  services.messages.Shown().empty() ? CWevraDialog::idOk : CWevraDialog::idCancel);
        });
        Pick(ID_BOARD_CONFIGURATION);
    }
    // The field typed into Edit of the current output job on the Output page.
    void InJobDialog(int32_t id, const std::string& text)
    {
        InConfiguration(CDesignConfig::pageOutput, [id, text](QWidget* sheet) {
            WhenDialog([id, text](QWidget* dialog) {
                Type(dialog, id, text);
                Click(dialog, CWevraDialog::idOk);
            });
            Click(sheet, CConfigOutput::idEditJob);
        });
    }
    const COutput& Job() const
    {
        const COutputArray& jobs = document->Design().GetOutputJobs();
        return *jobs.GetJob(jobs.GetCurrent());
    }
    // Settings > Via, Edit on the default via, the length typed into the list on the top layer;
    // a padstack with a length refused is cancelled.
    void InPadstackDialog(int32_t id, const std::string& text)
    {
        WhenDialog([this, id, text](QWidget* select) {
            WhenDialog([this, id, text](QWidget* dialog) {
                auto* layers = Find<QComboBox>(dialog, CPadstackDlg::idLayer);
                layers->setCurrentIndex(0);
                emit layers->activated(layers->currentIndex());
                QLineEdit* edit = Find<QComboBox>(dialog, id)->lineEdit();
                edit->setText(CQtText::FromDesignText(text));
                emit edit->editingFinished();
                Click(dialog, services.messages.Shown().empty() ? CWevraDialog::idOk
                                                                : CWevraDialog::idCancel);
            });
            Click(select, CSelectPadDlg::idEdit);
            Click(select, CWevraDialog::idCancel);
        });
        Pick(ID_SETTINGS_VIA);
    }
    const CPad& ViaPad() const
    {
        const CPadStackArray& stacks = document->Design().GetPadStacks();
        return *stacks.GetPadStack(stacks.GetDefault(PADSTACK_KIND_VIA))->GetPad(LAYER_TOP);
    }
    CGridArr& Grids() { return document->Design().GetGridSettings(); }
    const CWevraText& LastText() const
    {
        const CTextArray& texts = document->Design().GetTexts();
        return *texts.GetText(texts.GetCount() - 1);
    }
    CNet& Gnd()
    {
        CNetArray& nets = document->Design().GetNets();
        return *nets.GetNet(nets.FindNet("GND"));
    }
};

// One road to one field: the field's range, written out here so that a range widened in the
// table alone fails; the texts at its ends and just beyond them as typed (empty where the road
// has a narrower limit of its own); how they are typed and the value the design then holds.
struct Road {
    const char* record;
    const char* field;
    int64_t low;
    int64_t high;
    const char* lowest;
    const char* below;
    const char* highest;
    const char* above;
    std::function<void(CFieldRoadsTest&, const std::string&)> enter;
    std::function<int64_t(CFieldRoadsTest&)> value;
    // A new item placed: one refused is taken back with Esc, which marks the design as a Cancel.
    bool places = false;
    // The field table has no row of the field, whose range is the road's own: a job's scale,
    // which opening checks apart, or a pad's size, of which the table holds the sides.
    bool ownRange = false;
};

using T = CFieldRoadsTest;
using S = const std::string&;
const std::vector<Road> roads = {
    {"Plane", "hatch rotation", -turn, turn, "-360", "-360.001", "360", "720",
     [](T& t, S s) {
         t.InDialog(ID_PLANES_PROPERTIES, {{CPlanePropDlg::idHatchRotation, s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetHatchRotation(); }},
    {"Plane", "minimal space", 0, coordinate, "0", "-0.0001", "4194.3039", "7874.016",
     [](T& t, S s) {
         t.InDialog(ID_PLANES_PROPERTIES, {{CPlanePropDlg::idMinSpace, s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetMinSpace(); }},
    // A hatched plane's grid is no finer than its pen: each is typed with the other at its end.
    {"Plane", "pen width", 1007, 10078, "0.004", "0.0039", "0.0393", "0.0394",
     [](T& t, S s) {
         t.document->Design().GetPlanes()[0]->SetStyle(CPour::styleCross);
         t.InDialog(ID_PLANES_PROPERTIES,
                    {{CPlanePropDlg::idPenWidth, s}, {CPlanePropDlg::idHatchGrid, "0.1"}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetPenWidth(); }},
    {"Plane", "hatch grid", 1007, 25600, "0.004", "0.0039", "0.1", "0.1001",
     [](T& t, S s) {
         t.InDialog(ID_PLANES_PROPERTIES,
                    {{CPlanePropDlg::idPenWidth, "0.004"}, {CPlanePropDlg::idHatchGrid, s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetHatchGrid(); }},
    {"Component list", "text height", 0, coordinate, "0", "-0.0001", "4194.3039", "4194.304",
     [](T& t, S s) {
         t.InDialog(ID_COMPONENTS_TEXT_OPTIONS, {{CCompTextDlg::idSizes[0], s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetComponents().GetTextHeight(0); }},
    {"Component list", "text line width", 0, coordinate, "0", "-1", "4194.3039", "4194.304",
     [](T& t, S s) {
         t.InDialog(ID_COMPONENTS_TEXT_OPTIONS, {{CCompTextDlg::idPens[2], s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetComponents().GetTextLineWidth(2); }},
    {"Text", "height", 0, coordinate, "0", "-1", "4194.3039", "4194.304",
     [](T& t, S s) { t.PlaceText(CEditTextDlg::idSize, s); },
     [](T& t) -> int64_t { return t.LastText().GetHeight(); }, true},
    {"Text", "line width", 0, coordinate, "0", "-0.0001", "4194.3039", "4194.304",
     [](T& t, S s) { t.PlaceText(CEditTextDlg::idWidth, s); },
     [](T& t) -> int64_t { return t.LastText().GetLineWidth(); }, true},
    // Find and Replace has a smallest replacement of its own (50 units).
    {"Net", "maximal width", 0, coordinate, "", "", "4194.3039", "4194.304",
     [](T& t, S s) { t.ReplaceInNetlistTable(CNetlistGrid::colMaxWidth, s); },
     [](T& t) -> int64_t { return t.Gnd().GetMaxWidth(); }},
    // The current width becomes the net's widest pen once the maximal width above allows it.
    {"Net", "widest pen", 1, 65511, "", "", "0.2559", "0.25591",
     [](T& t, S s) { t.ReplaceInNetlistTable(CNetlistGrid::colCurrentWidth, s); },
     [](T& t) -> int64_t { return t.Gnd().GetCurrentPenWidth(); }},
    // Set Grid Offset's "Use cursor", then Input Position (X) types the offset.
    {"Header", "user offset x", 0, coordinate, "0", "-0.0001", "4194.3039", "4194.304",
     [](T& t, S s) {
         T::WhenDialog([](QWidget* dialog) { Click(dialog, CWevraDialog::idCancel); });
         t.Pick(ID_SETTINGS_SET_GRID_OFFSET);
         T::WhenDialog([s](QWidget* dialog) {
             Type(dialog, CPositionDlg::idXAbsolute, s);
             Click(dialog, CWevraDialog::idOk);
         });
         QTest::keyClick(t.view, Qt::Key_X);
     },
     [](T& t) -> int64_t { return t.document->Design().GetOrigin().x; }},
    // Set Grid's X, which Y matches.
    {"Grid", "snap x", 1, coordinate, "0.0001", "0", "4194.3039", "4194.304",
     [](T& t, S s) {
         t.InDialog(ID_SETTINGS_SET_GRID, {{CSetGridDlg::idSizeX, s}});
     },
     [](T& t) -> int64_t { return t.Grids().GetSnap(t.Grids().GetCurrentIndex()).cx; }},
    {"Grid", "spacing y", 1, coordinate, "0.0001", "-1", "4194.3039", "5000",
     [](T& t, S s) {
         t.InConfiguration(CDesignConfig::pageGrid, [s](QWidget* sheet) {
             Type(sheet, CConfigGrid::ids[CGridArr::gridText].spacing[2], s);
         });
     },
     [](T& t) -> int64_t { return t.Grids().GetSpacing(CGridArr::gridText).cy; }},
    // Job offsets are typed in inch whatever the design's unit.
    {"Output job", "offset x", -coordinate, coordinate, "-4194.3039", "-4194.304", "4194.3039",
     "5000", [](T& t, S s) { t.InJobDialog(CNewJobDlg::idOffsetX, s); },
     [](T& t) -> int64_t { return t.Job().GetOffsetX(); }},
    // In ten-thousandths.
    {"Output job", "scale", 1000, 10000000, "0.1", "0.0999", "1000", "2000",
     [](T& t, S s) { t.InJobDialog(CNewJobDlg::idScale, s); },
     [](T& t) -> int64_t { return std::llround(t.Job().GetScale() * 10000.0); }, false, true},
    // A round via: the other side follows.
    {"Padstack", "size x", 1, coordinate, "0.0001", "0", "4194.3039", "9000",
     [](T& t, S s) { t.InPadstackDialog(CPadstackDlg::idSizeX, s); },
     [](T& t) -> int64_t { return t.ViaPad().GetWidth(); }, false, true},
    {"Padstack", "offset y", -coordinate, coordinate, "-4194.3039", "-4194.304", "4194.3039",
     "4194.304", [](T& t, S s) { t.InPadstackDialog(CPadstackDlg::idOffsetY, s); },
     [](T& t) -> int64_t { return t.ViaPad().GetOffsetY(); }, false, true},
    // Last: the boards they leave are far larger than the view shows.
    {"Header", "board width", 1, coordinate, "0.0001", "0", "4194.3039", "4194.304",
     [](T& t, S s) {
         t.InDialog(ID_BOARD_BOARD_SIZE_AND_OFFSET,
                    {{CBoardSizeDlg::idSizeX, s}, {CBoardSizeDlg::idSizeY, "4"}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetBoardWidth(); }},
    {"Header", "board height", 1, coordinate, "0.0001", "-1", "4194.3039", "999999",
     [](T& t, S s) {
         t.InDialog(ID_BOARD_BOARD_SIZE_AND_OFFSET,
                    {{CBoardSizeDlg::idSizeX, "4"}, {CBoardSizeDlg::idSizeY, s}});
     },
     [](T& t) -> int64_t { return t.document->Design().GetBoardHeight(); }},
};

// Each road in turn: the table holds the range written here; a text beyond it is refused with a
// message and leaves the value and the modified mark as they were; the ends are taken (to the
// inch's last digit), and the design holding them saves and opens again without a message.
TEST_F(CFieldRoadsTest, EachRoadTakesItsFieldsRangeAndRefusesWhatLiesBeyondIt)
{
    for (const Road& road : roads) {
        SCOPED_TRACE(std::string(road.record) + " " + road.field);
        int listed = 0;
        const auto check = [&](const auto& rows) {
            for (const auto& row : rows) {
                if (std::string(row.record) == road.record && std::string(row.name) == road.field) {
                    ++listed;
                    EXPECT_EQ(row.low, road.low);
                    EXPECT_EQ(row.high, road.high);
                }
            }
        };
        check(CDesignFields::Design());
        check(CDesignFields::Library());
        EXPECT_EQ(listed, road.ownRange ? 0 : 1);
        const auto refused = [&](const std::string& text) {
            SCOPED_TRACE(text);
            services.messages.ClearShown();
            const int64_t before = road.value(*this);
            const bool modified = document->IsModified();
            road.enter(*this, text);
            const std::vector<std::string> shown = services.messages.ShownTexts();
            ASSERT_EQ(shown.size(), 1U);
            EXPECT_NE(shown[0].find(", outside "), std::string::npos) << shown[0];
            EXPECT_EQ(road.value(*this), before);
            EXPECT_TRUE(road.places || document->IsModified() == modified);
        };
        const auto taken = [&](const std::string& text, int64_t end) {
            SCOPED_TRACE(text);
            services.messages.ClearShown();
            road.enter(*this, text);
            // The tool may say what the value does (a plane that finds no room to fill).
            for (const std::string& shown : services.messages.ShownTexts())
                EXPECT_EQ(shown.find(", outside "), std::string::npos) << shown;
            EXPECT_LE(std::abs(road.value(*this) - end), 26) << road.value(*this);
            EXPECT_TRUE(document->IsModified());
            const std::vector<std::string> shown = Reopened();
            EXPECT_TRUE(shown.empty()) << shown[0];
        };
        if (*road.below) {
            refused(road.below);
            taken(road.lowest, road.low);
        }
        refused(road.above);
        taken(road.highest, road.high);
    }
}

// A via turned by a whole turn keeps that angle, which the field table allows: turned by four
// quarter turns or given 360 degrees, it opens again without a message.
TEST_F(CFieldRoadsTest, AViaTurnedAWholeTurnOpensAgainSilently)
{
    for (const auto& row : CDesignFields::Design()) {
        if (std::string(row.record) == "Net" && std::string(row.name) == "via rotation") {
            EXPECT_EQ(row.low, 0);
            EXPECT_EQ(row.high, turn);
        }
    }
    const std::function<void(T&)> turns[] = {
        [](T& t) {
            for (int quarter = 0; quarter < 4; ++quarter)
                t.Pick(ID_EDIT_ROTATE_90);
        },
        [](T& t) {
            T::WhenDialog([](QWidget* dialog) {
                Type(dialog, CRotationDlg::idAngle, "360");
                Click(dialog, CWevraDialog::idOk);
            });
            ASSERT_TRUE(t.frame->GetRouter().Execute(ID_ROTATE_PAD));
        },
    };
    CNetArray& nets = document->Design().GetNets();
    nets.SetCurrentNet(nets.FindNet("GND"));
    int32_t via = 0;
    while (via < Gnd().GetVertexCount() && !Gnd().GetVertex(via).IsPad())
        ++via;
    ASSERT_LT(via, Gnd().GetVertexCount());
    for (const auto& turnWhole : turns) {
        Gnd().SetVertexRotation(via, 0);
        document->Session().SelectAll(true);
        document->SetModifiedFlag(false);
        turnWhole(*this);
        EXPECT_EQ(Gnd().GetVertexRotation(via), turn);
        EXPECT_TRUE(document->IsModified());
        const std::vector<std::string> shown = Reopened();
        EXPECT_TRUE(shown.empty()) << shown[0];
    }
}

// F2 in Move/Rotate Text turns the text in hand a quarter turn: its angle stays within the
// table's range however often and from whichever angle it is turned, and opens again silently.
TEST_F(CFieldRoadsTest, TurningAComponentTextKeepsItsAngleInRange)
{
    const struct {
        int32_t stored;
        int presses;
        int32_t turned;
    } cases[] = {{0, 5, 90000},
                 {270000, 1, 0},
                 {360000, 1, 90000},
                 {-360000, 1, -270000},
                 {2147483647, 1, 173647}};
    CComponentArray& components = document->Design().GetComponents();
    CComponent& u1 = *components.GetComponent(components.FindByReference("U1"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        u1.SetTextAngle(CComponent::textReference, c.stored);
        WhenDialog([](QWidget* dialog) {
            Click(dialog, CSelCompTextDlg::idReference);
            Click(dialog, CWevraDialog::idOk);
        });
        Pick(ID_COMPONENTS_MOVE_ROTATE_TEXT);
        ClickAt(u1.GetTextPoint(CComponent::textReference));
        for (int press = 0; press < c.presses; ++press)
            QTest::keyClick(view, Qt::Key_F2);
        ClickAt(u1.GetTextPoint(CComponent::textReference));
        Pick(ID_EDIT_SELECT_MODE);
        EXPECT_EQ(u1.GetTextAngle(CComponent::textReference), c.turned);
        const std::vector<std::string> shown = Reopened();
        EXPECT_TRUE(shown.empty()) << shown[0];
    }
}

} // namespace
