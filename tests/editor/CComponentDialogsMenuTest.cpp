#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "dialogs/CCompCircularDlg.h"
#include "dialogs/CCompPropertiesDlg.h"
#include "dialogs/CCompSetPositionDlg.h"
#include "dialogs/CPositionDlg.h"
#include "dialogs/CSelCompTextDlg.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/CCommandRouter.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/editor/MenuItems.h"

namespace {

using namespace dialog_test;

// The sample design in the main window, its components' dialogs opened as a user opens them:
// from the menus, the board view's context menu and clicks on the board.
class CComponentDialogsMenuTest : public CDemoWindowTest {
protected:
    CComponentDialogsMenuTest() : CDemoWindowTest("wevra_component_dialogs_menu_test") {}

    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        FocusWholeBoard();
        document->Design().SetUnit(CLengthText::unitInch);
        document->Design().SetUserOffset(CPoint(0, 0));
        ASSERT_GE(components().GetCount(), 4);
    }

    CComponentArray& components() { return document->Design().GetComponents(); }

    // A left click on the board point, on the side the component i lies on.
    void ClickOnComponent(int32_t i)
    {
        document->Session().SetWorkLayer(components().IsMirrored(i) ? LAYER_BOTTOM : LAYER_TOP);
        const CPoint at = components().GetCenter(i);
        const QPoint pixel = PixelOf(at.x, at.y);
        QMouseEvent move(QEvent::MouseMove, pixel, Client()->mapToGlobal(pixel), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Client(), &move);
        QTest::mouseClick(Client(), Qt::LeftButton, Qt::NoModifier, pixel);
        QApplication::processEvents();
    }
    // The right button's menu, and a click on its item `id`.
    void ChooseFromContextMenu(uint32_t id)
    {
        bool found = false;
        QTimer::singleShot(0, [id, &found] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr)
                return;
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator() && action->data().toUInt() == id) {
                    found = action->isEnabled();
                    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        });
        const QPoint middle(Client()->width() / 2, Client()->height() / 2);
        QContextMenuEvent rightButton(QContextMenuEvent::Mouse, middle,
                                      Client()->mapToGlobal(middle));
        QApplication::sendEvent(Client(), &rightButton);
        EXPECT_TRUE(found) << id << " is not an enabled item of the context menu";
    }
    // Lifts every lock of the component.
    void Unlock(int32_t i) { components().SetFlag(i, ComponentFlags::allLocks, false); }
};

TEST_F(CComponentDialogsMenuTest, PropertiesAndSetPositionOpenOnTheClickedComponent)
{
    Unlock(0);
    Pick(ID_COMPONENTS_PROPERTIES);
    EXPECT_TRUE(document->Session().IsMode(ID_COMPONENTS_PROPERTIES));
    std::string shown;
    WhenDialog([&shown](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Component Properties"));
        shown = Text(dialog, CCompPropertiesDlg::idReference);
        Type(dialog, CCompPropertiesDlg::idType, "EDITED");
        Click(dialog, CWevraDialog::idOk);
    });
    document->SetModifiedFlag(false);
    ClickOnComponent(0);
    const int32_t edited = components().FindByReference(shown);
    ASSERT_GE(edited, 0) << "no dialog for a component";
    EXPECT_EQ(components().GetType(edited), "EDITED");
    EXPECT_TRUE(document->IsModified());
    ASSERT_TRUE(frame->GetRouter().Execute(ID_EDIT_UNDO));
    EXPECT_NE(document->Design().GetComponents().GetType(edited), "EDITED");

    Unlock(edited);
    Pick(ID_COMPONENTS_SET_POSITION);
    const CPoint before = components().GetPosition(edited);
    WhenDialog([](QWidget* dialog) {
        Type(dialog, CCompSetPositionDlg::idXRelative, "0.1");
        Type(dialog, CCompSetPositionDlg::idYRelative, "-0.2");
        Click(dialog, CWevraDialog::idOk);
    });
    ClickOnComponent(edited);
    EXPECT_EQ(components().GetPosition(edited), CPoint(before.x + 25600, before.y - 51200));
}

// Each dialog that types a place refuses one where the component, or what a tool puts at the
// cursor, would reach beyond the coordinates a board uses, naming the range and changing
// nothing; a far place inside them is taken, and the design opens again without a word.
TEST_F(CComponentDialogsMenuTest, PlacesBeyondTheBoardsCoordinatesAreRefused)
{
    Unlock(0);
    // What the dialog is opened on, to be found unchanged.
    CPoint cursor;
    const auto opened = [this, &cursor] {
        cursor = document->Session().GetCursor();
        document->SetModifiedFlag(false);
    };
    const auto properties = [&](const char* x) {
        Pick(ID_COMPONENTS_PROPERTIES);
        WhenDialog([&opened, x](QWidget* dialog) {
            opened();
            Type(dialog, CCompPropertiesDlg::idX, x);
            Click(dialog, CWevraDialog::idOk);
            // A refused place leaves the dialog open for another.
            if (dialog->isVisible())
                Click(dialog, CWevraDialog::idCancel);
        });
        ClickOnComponent(0);
    };
    const std::function<void()> refusals[] = {
        [&] { properties("5000"); },
        [&] {
            Pick(ID_COMPONENTS_SET_POSITION);
            WhenDialog([&opened](QWidget* dialog) {
                opened();
                Type(dialog, CCompSetPositionDlg::idXAbsolute, "-4194.3");
                Click(dialog, CWevraDialog::idOk);
            });
            ClickOnComponent(0);
        },
        [&] {
            Pick(ID_EDIT_SELECT_MODE);
            WhenDialog([&opened](QWidget* dialog) {
                opened();
                Type(dialog, CPositionDlg::idYAbsolute, "4194.304");
                Click(dialog, CWevraDialog::idOk);
            });
            QTest::keyClick(view, Qt::Key_Y);
        }};
    for (const auto& refuse : refusals) {
        const CPoint place = components().GetPosition(0);
        services.messages.ClearShown();
        refuse();
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(", outside "), std::string::npos) << shown[0];
        EXPECT_EQ(components().GetPosition(0), place);
        EXPECT_EQ(document->Session().GetCursor(), cursor);
        EXPECT_FALSE(document->IsModified());
    }
    services.messages.ClearShown();
    properties("4000");
    EXPECT_EQ(components().GetPosition(0).x, 1024000000);
    EXPECT_TRUE(services.messages.ShownTexts().empty());
    ASSERT_TRUE(document->OnSaveDocument(design.string()));
    CWevraDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(design.string()));
    EXPECT_TRUE(services.messages.ShownTexts().empty());
}

TEST_F(CComponentDialogsMenuTest, MoveArrayCircularPutsTheChosenComponentsOnTheCircle)
{
    for (int32_t i = 0; i < 4; ++i)
        Unlock(i);
    WhenDialog([](QWidget* dialog) {
        using D = CCompCircularDlg;
        auto* available = Find<QListWidget>(dialog, D::idAvailable);
        for (int row = 0; row < 4; ++row)
            available->item(row)->setSelected(true);
        Click(dialog, D::idAdd);
        Type(dialog, D::idXCenter, "2");
        Type(dialog, D::idYCenter, "3");
        Type(dialog, D::idRadius, "1");
        Type(dialog, D::idAnglePer, "90");
        Click(dialog, CWevraDialog::idOk);
    });
    Pick(ID_COMPONENTS_MOVE_ARRAY_CIRCULAR);
    // 0, 90, 180 and 270 degrees about (2 inch, 3 inch), one inch out, each turned a quarter
    // more than the one before.
    EXPECT_EQ(components().GetPosition(0), CPoint(768000, 768000));
    EXPECT_EQ(components().GetPosition(1), CPoint(512000, 512000));
    EXPECT_EQ(components().GetPosition(2), CPoint(256000, 768000));
    EXPECT_EQ(components().GetPosition(3), CPoint(512000, 1024000));
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(components().GetRotation(i), i * 90000) << i;
    EXPECT_TRUE(document->IsModified());
}

TEST_F(CComponentDialogsMenuTest, MoveRotateTextFromTheContextMenuStartsOnTheChosenText)
{
    // The component tools that offer the whole Components list while waiting.
    Pick(ID_COMPONENTS_COPY);
    WhenDialog([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Components Text Selector"));
        Click(dialog, CSelCompTextDlg::idType);
        Click(dialog, CWevraDialog::idOk);
    });
    ChooseFromContextMenu(ID_COMPONENTS_MOVE_ROTATE_TEXT);
    QApplication::processEvents();
    EXPECT_TRUE(document->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE_TEXT));
    EXPECT_EQ(document->Session().GetComponentTextMode(), 2) << "the type texts";
}

} // namespace
