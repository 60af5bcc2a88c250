#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "dialogs/CBoardSizeDlg.h"
#include "dialogs/CCompTextDlg.h"
#include "dialogs/CEditTextDlg.h"
#include "dialogs/CNetFindReplaceDlg.h"
#include "dialogs/CNetlistGrid.h"
#include "dialogs/CNetlistTableDlg.h"
#include "dialogs/CPlanePropDlg.h"
#include "dialogs/CSelCompTextDlg.h"
#include "document/CDesign.h"
#include "document/CDesignFields.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "editor/CWevraView.h"
#include "gridctrl/CGridCellArea.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/editor/MenuItems.h"

namespace {

using namespace dialog_test;

constexpr int64_t coordinate = (int64_t(1) << 30) - 1;
constexpr int64_t turn = 360000;

// Runs `action` on the dialog once one is up: a popup menu closing first is waited for.
void WhenDialog(std::function<void(QWidget*)> action, int triesLeft = 50)
{
    QTimer::singleShot(0, [action, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && qobject_cast<QMenu*>(modal) == nullptr) {
            action(modal);
        } else if (triesLeft > 0) {
            WhenDialog(action, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no dialog";
            QApplication::closeAllWindows();
        }
    });
}

// The sample design in the main window, in inches, each field of the design set through the
// dialogs and table windows a user sets it with.
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
    // What the roads below use.
    using CDemoWindowTest::document;

    void Pick(uint32_t id)
    {
        std::map<uint32_t, QAction*> items;
        CollectMenuItems(frame->menuBar()->actions(), items);
        frame->UpdateCommandUI();
        ASSERT_TRUE(items.contains(id)) << id << " is on no menu";
        ASSERT_TRUE(items.at(id)->isEnabled()) << id;
        items.at(id)->trigger();
        QApplication::processEvents();
    }
    void ClickAt(CPoint at)
    {
        const QPoint pixel = PixelOf(at.x, at.y);
        MoveMouse(pixel);
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, pixel);
        QApplication::processEvents();
    }
    CPoint Middle() const
    {
        return CPoint(document->Design().GetBoardWidth() / 2,
                      document->Design().GetBoardHeight() / 2);
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
        const std::string find = grid.GetText(col, row);
        WhenDialog([find, replacement](QWidget* dialog) {
            Type(dialog, CNetFindReplaceDlg::idFind, find);
            Type(dialog, CNetFindReplaceDlg::idReplace, replacement);
            Click(dialog, CWevraDialog::idOk);
        });
        grid.GetPopupMenu()->actions()[0]->trigger();
        grid.GetPopupMenu()->hide();
        QApplication::processEvents();
    }
    void PlaneProperties(int32_t id, const std::string& text)
    {
        document->Planes().SetCurrentPlane(0);
        WhenDialog([id, text](QWidget* dialog) {
            Click(dialog, CPlanePropDlg::idCross);
            Type(dialog, id, text);
            Click(dialog, CWevraDialog::idOk);
        });
        Pick(ID_PLANES_PROPERTIES);
    }
    // A text placed as Place Text places it, with the Edit Text dialog's field typed in; a
    // text the dialog refuses is taken back with Esc.
    void PlaceText(int32_t id, const std::string& text)
    {
        Pick(ID_BOARD_PLACE_TEXT);
        WhenDialog([id, text](QWidget* dialog) {
            Type(dialog, CEditTextDlg::idText, "FIELD");
            Type(dialog, id, text);
            Click(dialog, CWevraDialog::idOk);
        });
        const int32_t before = document->Design().GetTexts().GetCount();
        ClickAt(Middle());
        if (services.messages.Shown().empty())
            ClickAt(Middle());
        else
            QTest::keyClick(view, Qt::Key_Escape);
        Pick(ID_EDIT_SELECT_MODE);
        EXPECT_EQ(document->Design().GetTexts().GetCount(),
                  before + (services.messages.Shown().empty() ? 1 : 0));
    }
    const CWevraText& LastText() const
    {
        const CTextArray& texts = document->Design().GetTexts();
        return *texts.GetText(texts.GetCount() - 1);
    }
};

// One road to one field of the design: the range of the field as the table holds it, written
// out here so that a range widened in the table alone fails, the texts at the ends of the range
// and just beyond them as the user types them, how they are typed, and the value the design
// holds. A road with its own narrower limit at one end (and a message of its own for it) leaves
// that end's texts empty.
struct Road {
    const char* name;
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
    // The road places a new item: one refused is taken back with Esc, which marks the design
    // modified as a Cancel does.
    bool places = false;
};

const std::vector<Road>& Roads()
{
    using T = CFieldRoadsTest;
    static const std::vector<Road> roads = {
        {"PlaneHatchRotation", "Plane", "hatch rotation", -turn, turn, "-360", "-360.001", "360",
         "720",
         [](T& t, const std::string& text) {
             t.PlaneProperties(CPlanePropDlg::idHatchRotation, text);
         },
         [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetHatchRotation(); }},
        {"PlaneMinimalSpace", "Plane", "minimal space", 0, coordinate, "0", "-0.0001", "4194.3039",
         "7874.016",
         [](T& t, const std::string& text) { t.PlaneProperties(CPlanePropDlg::idMinSpace, text); },
         [](T& t) -> int64_t { return t.document->Design().GetPlane(0).GetMinSpace(); }},
        {"TextOptionsHeight", "Component list", "text height", 0, coordinate, "0", "-0.0001",
         "4194.3039", "4194.304",
         [](T& t, const std::string& text) {
             WhenDialog([text](QWidget* dialog) {
                 Type(dialog, CCompTextDlg::idSizes[0], text);
                 Click(dialog, CWevraDialog::idOk);
             });
             t.Pick(ID_COMPONENTS_TEXT_OPTIONS);
         },
         [](T& t) -> int64_t { return t.document->Design().GetComponents().GetTextHeight(0); }},
        {"TextOptionsLineWidth", "Component list", "text line width", 0, coordinate, "0", "-1",
         "4194.3039", "4194.304",
         [](T& t, const std::string& text) {
             WhenDialog([text](QWidget* dialog) {
                 Type(dialog, CCompTextDlg::idPens[2], text);
                 Click(dialog, CWevraDialog::idOk);
             });
             t.Pick(ID_COMPONENTS_TEXT_OPTIONS);
         },
         [](T& t) -> int64_t { return t.document->Design().GetComponents().GetTextLineWidth(2); }},
        {"EditTextHeight", "Text", "height", 0, coordinate, "0", "-1", "4194.3039", "4194.304",
         [](T& t, const std::string& text) { t.PlaceText(CEditTextDlg::idSize, text); },
         [](T& t) -> int64_t { return t.LastText().GetHeight(); }, true},
        {"EditTextLineWidth", "Text", "line width", 0, coordinate, "0", "-0.0001", "4194.3039",
         "4194.304",
         [](T& t, const std::string& text) { t.PlaceText(CEditTextDlg::idWidth, text); },
         [](T& t) -> int64_t { return t.LastText().GetLineWidth(); }, true},
        // Find and Replace has a smallest replacement of its own (50 units), above the table's.
        {"NetlistTableMaxWidth", "Net", "maximal width", 0, coordinate, "", "", "4194.3039",
         "4194.304",
         [](T& t, const std::string& text) {
             t.ReplaceInNetlistTable(CNetlistGrid::colMaxWidth, text);
         },
         [](T& t) -> int64_t {
             CNetArray& nets = t.document->Design().GetNets();
             return nets.GetNet(nets.FindNet("GND"))->GetMaxWidth();
         }},
        // The widest pen of a net, chosen as its current width: after the maximal width above.
        {"NetlistTableCurrentWidth", "Net", "widest pen", 1, 65511, "", "", "0.2559", "0.25591",
         [](T& t, const std::string& text) {
             t.ReplaceInNetlistTable(CNetlistGrid::colCurrentWidth, text);
         },
         [](T& t) -> int64_t {
             CNetArray& nets = t.document->Design().GetNets();
             return nets.GetNet(nets.FindNet("GND"))->GetCurrentPenWidth();
         }},
        // Last: the board they leave is far larger than the view shows.
        {"BoardSizeWidth", "Header", "board width", 1, coordinate, "0.0001", "0", "4194.3039",
         "4194.304",
         [](T& t, const std::string& text) {
             WhenDialog([text](QWidget* dialog) {
                 Type(dialog, CBoardSizeDlg::idSizeX, text);
                 Type(dialog, CBoardSizeDlg::idSizeY, "4");
                 Click(dialog, CWevraDialog::idOk);
             });
             t.Pick(ID_BOARD_BOARD_SIZE_AND_OFFSET);
         },
         [](T& t) -> int64_t { return t.document->Design().GetBoardWidth(); }},
        {"BoardSizeHeight", "Header", "board height", 1, coordinate, "0.0001", "-1", "4194.3039",
         "999999",
         [](T& t, const std::string& text) {
             WhenDialog([text](QWidget* dialog) {
                 Type(dialog, CBoardSizeDlg::idSizeX, "4");
                 Type(dialog, CBoardSizeDlg::idSizeY, text);
                 Click(dialog, CWevraDialog::idOk);
             });
             t.Pick(ID_BOARD_BOARD_SIZE_AND_OFFSET);
         },
         [](T& t) -> int64_t { return t.document->Design().GetBoardHeight(); }},
    };
    return roads;
}

// Each road in turn: the range the table holds for its field is the one written here; a text
// beyond the range is refused with a message naming the field, and leaves the value and the
// modified mark as they were; the ends of the range are taken as typed (to the unit's last
// digit), and the design that holds them saves and opens again without a message.
TEST_F(CFieldRoadsTest, EachRoadTakesItsFieldsRangeAndRefusesWhatLiesBeyondIt)
{
    for (const Road& road : Roads()) {
        SCOPED_TRACE(road.name);
        bool listed = false;
        for (const auto& row : CDesignFields::Design()) {
            if (std::string(row.record) == road.record && std::string(row.name) == road.field) {
                listed = true;
                EXPECT_EQ(row.low, road.low);
                EXPECT_EQ(row.high, road.high);
            }
        }
        EXPECT_TRUE(listed) << road.record << " " << road.field;

        const auto refused = [&](const std::string& text) {
            SCOPED_TRACE(text);
            services.messages.ClearShown();
            const int64_t before = road.value(*this);
            const bool modified = document->IsModified();
            road.enter(*this, text);
            const std::vector<std::string> shown = services.messages.ShownTexts();
            ASSERT_EQ(shown.size(), 1U);
            EXPECT_NE(shown[0].find("outside"), std::string::npos) << shown[0];
            EXPECT_EQ(road.value(*this), before);
            if (!road.places) {
                EXPECT_EQ(document->IsModified(), modified);
            }
            services.messages.ClearShown();
        };
        const auto taken = [&](const std::string& text, int64_t end) {
            SCOPED_TRACE(text);
            services.messages.ClearShown();
            road.enter(*this, text);
            // The tool may say what the value does (a plane that finds no room to fill).
            for (const std::string& shown : services.messages.ShownTexts())
                EXPECT_EQ(shown.find("outside"), std::string::npos) << shown;
            // An inch typed to four decimals is within 26 units of the end.
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

// Move/Rotate Text turns the text in hand a quarter turn at each F2: the angle stays within the
// turn either way the table holds, however often it is turned and from whichever angle the file
// had, and the design opens again without a message.
TEST_F(CFieldRoadsTest, TurningAComponentTextKeepsItsAngleInRange)
{
    struct Case {
        int32_t stored;
        int presses;
        int32_t turned;
    } const cases[] = {
        {0, 5, 90000},         {270000, 1, 0},          {360000, 1, 90000},
        {-360000, 1, -270000}, {2147483647, 1, 173647},
    };
    CComponentArray& components = document->Design().GetComponents();
    const int32_t u1 = components.FindByReference("U1");
    ASSERT_GE(u1, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        components.GetComponent(u1)->SetTextAngle(CComponent::textReference, c.stored);
        WhenDialog([](QWidget* dialog) {
            Click(dialog, CSelCompTextDlg::idReference);
            Click(dialog, CWevraDialog::idOk);
        });
        Pick(ID_COMPONENTS_MOVE_ROTATE_TEXT);
        ClickAt(components.GetComponent(u1)->GetTextPoint(CComponent::textReference));
        for (int press = 0; press < c.presses; ++press)
            QTest::keyClick(view, Qt::Key_F2);
        ClickAt(components.GetComponent(u1)->GetTextPoint(CComponent::textReference));
        Pick(ID_EDIT_SELECT_MODE);
        EXPECT_EQ(components.GetComponent(u1)->GetTextAngle(CComponent::textReference), c.turned);
        if (c.stored >= -turn && c.stored <= turn) {
            const std::vector<std::string> shown = Reopened();
            EXPECT_TRUE(shown.empty()) << shown[0];
        }
    }
}

} // namespace
