#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>

#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CDocTemplate.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApplication.h"
#include "editor/CWevraView.h"
#include "tests/document/SettingsTestSupport.h"
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

    CFakeServices services;
    CSettingsSandbox sandbox;
    std::filesystem::path design;
    std::unique_ptr<CWevraApplication> application;
    CMainFrame* frame = nullptr;
    CWevraDoc* document = nullptr;
    CWevraView* view = nullptr;
};
