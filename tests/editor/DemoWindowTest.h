#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPoint>
#include <QTimer>

#include "document/CDesign.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CDocTemplate.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApplication.h"
#include "editor/CWevraView.h"
#include "framework/CCommandRouter.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/editor/MenuItems.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CFakeServices.h"

// The sample design opened in the program's main window, 1000 by 700 pixels, over fake
// services and settings of the test's own.
class CDemoWindowTest : public QtApplicationTest {
protected:
    explicit CDemoWindowTest(const std::string& name) : sandbox(name) {}

    void SetUp() override
    {
        const std::filesystem::path folder = sandbox.root / "designs";
        std::filesystem::create_directories(folder);
        design = folder / "demo.PCB";
        std::filesystem::copy_file(WEVRA_DEMO_DESIGN, design);

        CWevraApplication::Options options;
        options.programFolder = std::filesystem::path(WEVRA_BUILD_DIR) / "bin";
        options.registerFileType = false;
        options.showWindow = false;
        application = std::make_unique<CWevraApplication>(options);
        ASSERT_TRUE(application->InitInstance({design.string()}));
        frame = application->GetMainFrame();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
        document = frame->GetDocTemplate().GetActiveDocument();
        ASSERT_NE(document, nullptr);
        auto* child = dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
        ASSERT_NE(child, nullptr);
        view = child->GetBoardView();
    }

    // The sample is routed in full: the net's tracks go, so that the routing tools have its
    // connections to lay.
    void TakeTracksOfNet(const std::string& name)
    {
        CNetArray& nets = document->Design().GetNets();
        nets.GetNet(nets.FindNet(name))->ClearVertices();
        document->Design().RebuildNetPins();
        nets.RecalcAll();
    }

    // The board view with the keyboard focus, showing the whole board.
    void FocusWholeBoard()
    {
        ASSERT_NE(view, nullptr);
        frame->activateWindow();
        view->setFocus();
        ASSERT_TRUE(frame->GetRouter().Execute(ID_VIEW_ZOOM_ALL));
        QApplication::processEvents();
    }
    // Picks the item from the menu bar as a user does, after checking it is enabled.
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
    // Runs `action` on the dialog once one is up: a popup menu closing first is waited for.
    static void WhenDialog(std::function<void(QWidget*)> action, int triesLeft = 50)
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
    QWidget* Client() const { return view->viewport(); }
    // A move of the mouse as the window system delivers it (QTest moves the platform cursor,
    // which the view itself puts on the snapped cursor, so that a move may never arrive).
    void MoveMouse(QPoint pixel, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, pixel, Client()->mapToGlobal(pixel), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(Client(), &move);
    }
    // The pixel of the view's client area that shows board point (x, y).
    QPoint PixelOf(int64_t x, int64_t y) const
    {
        const CPoint offset = document->View().GetViewOffset();
        const int64_t scale = document->View().GetScale();
        return QPoint(int((x + offset.x) / scale), int((y + offset.y) / scale));
    }

    CFakeServices services;
    CSettingsSandbox sandbox;
    std::filesystem::path design;
    std::unique_ptr<CWevraApplication> application;
    CMainFrame* frame = nullptr;
    CWevraDoc* document = nullptr;
    CWevraView* view = nullptr;
};
