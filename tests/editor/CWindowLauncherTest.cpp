#include "editor/CWindowLauncher.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include "dialogs/CTextFileWindow.h"
#include "framework/CLauncher.h"
#include "framework/CServices.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

// The program's launcher on a desktop that has no text viewer.
class CNoViewerLauncher : public CWindowLauncher {
public:
    bool OpenTextFile(const std::filesystem::path&) override { return false; }
};

CTextFileWindow* OpenTextWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CTextFileWindow*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

class CWindowLauncherTest : public QtApplicationTest {
protected:
    void SetUp() override { m_previous = CServices::SetLauncher(&launcher); }
    void TearDown() override
    {
        CServices::SetLauncher(m_previous);
        QApplication::closeAllWindows();
    }

    CFakeServices services;
    CNoViewerLauncher launcher;
    CTempFolder folder{"wevra-text-window"};

private:
    CLauncher* m_previous = nullptr;
};

// Without a text viewer the report opens in a window of the program, read-only, with the
// text as written (Windows-1252, CR LF), and Esc closes it; nothing but a missing file is
// reported in a message.
TEST_F(CWindowLauncherTest, AReportTheDesktopCannotShowOpensInAWindowOfTheProgram)
{
    const std::filesystem::path report = folder / "Import.TXT";
    std::ofstream(report, std::ios::binary) << "Gr\xF6\xDF"
                                               "e\r\nR1\t0805\r\n";
    ASSERT_TRUE(CServices::Launcher().ShowTextFile(report));
    EXPECT_TRUE(services.messages.ShownTexts().empty());

    CTextFileWindow* window = OpenTextWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Import.TXT"));
    EXPECT_EQ(window->GetText(), QString::fromUtf8("Größe\nR1\t0805\n"));
    auto* text = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());

    QTest::keyClick(window, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(OpenTextWindow(), nullptr);

    EXPECT_FALSE(CServices::Launcher().ShowTextFile(folder / "missing.TXT"));
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_EQ(OpenTextWindow(), nullptr);
}

} // namespace
