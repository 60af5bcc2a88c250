#include "framework/CServices.h"

#include "framework/CArchive.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPrinterService.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(CServicesDefaultTest, MessagesGetTheFirstButtonsAnswer)
{
    struct Case {
        MessageButtons buttons;
        int32_t answer;
    };
    const Case cases[] = {{MB_OK, IDOK},
                          {MB_OKCANCEL, IDOK},
                          {MB_ABORTRETRYIGNORE, IDABORT},
                          {MB_YESNOCANCEL, IDYES},
                          {MB_YESNO, IDYES},
                          {MB_RETRYCANCEL, IDRETRY},
                          {MessageButtons(9), IDOK}};
    for (const Case& c : cases) {
        EXPECT_EQ(
            CServices::Messages().MessageBox("Question?", "Wevra", c.buttons, MB_ICONQUESTION),
            c.answer)
            << int32_t(c.buttons);
    }
}

TEST(CServicesDefaultTest, LauncherStartsNothingAndThereAreNoPrinters)
{
    EXPECT_FALSE(CServices::Launcher().StartProgram("/bin/true", {}));
    EXPECT_FALSE(CServices::Launcher().OpenTextFile("report.txt"));
    EXPECT_EQ(CServices::Printers().DefaultPrinterName(), "");
    EXPECT_FALSE(CServices::Printers().CanOpenPrinter(""));
}

TEST(CServicesFakeTest, FakesAreUsedWhileInstalledAndTheOuterOnesComeBack)
{
    {
        CFakeServices outer;
        outer.printers.defaultPrinter = "Outer";
        {
            CFakeServices inner;
            inner.messages.QueueAnswer(IDNO);
            EXPECT_EQ(CServices::Messages().MessageBox("Reload?", "", MB_YESNO), IDNO);
            EXPECT_EQ(CServices::Messages().MessageBox("Saved.", ""), IDOK);
            EXPECT_EQ(inner.messages.ShownTexts(), (std::vector<std::string>{"Reload?", "Saved."}));
            EXPECT_EQ(CServices::Printers().DefaultPrinterName(), "");
        }
        EXPECT_EQ(CServices::Printers().DefaultPrinterName(), "Outer");
        EXPECT_TRUE(outer.messages.Shown().empty());
    }
    EXPECT_EQ(CServices::Messages().MessageBox("Delete?", "", MB_YESNO), IDYES);
    EXPECT_FALSE(CServices::Launcher().OpenTextFile("report.txt"));
}

// Repairs noted during one load reach the user as one message, each text once.
TEST(CServicesLoadWarningsTest, AreShownOnceTogether)
{
    CFakeServices fakes;
    CArchive ar(std::vector<uint8_t>{});
    CServices::ReportLoadWarnings(ar, "Wevra PCB");
    EXPECT_TRUE(fakes.messages.Shown().empty());

    ar.AddLoadWarning("Pens repaired.");
    ar.AddLoadWarning("Layers repaired.");
    ar.AddLoadWarning("Pens repaired.");
    CServices::ReportLoadWarnings(ar, "Wevra PCB");
    ASSERT_EQ(fakes.messages.Shown().size(), 1u);
    EXPECT_EQ(fakes.messages.Shown()[0].text, "Pens repaired.\nLayers repaired.");
    EXPECT_EQ(fakes.messages.Shown()[0].icon, MB_ICONWARNING);
}

} // namespace

// Without a desktop to open it, a report, the readme or a help page is named in a message
// rather than only on the terminal.
TEST(CLauncherShowTest, FilesThatCannotBeShownAreNamedToTheUser)
{
    CFakeServices services;
    const CTempFolder temp("wevra-launcher");
    const std::filesystem::path report = temp / "REPORT.TXT";
    std::ofstream(report) << "report\n";
    EXPECT_TRUE(services.launcher.ShowTextFile(report));
    EXPECT_TRUE(services.messages.Shown().empty());

    services.launcher.result = false;
    EXPECT_FALSE(services.launcher.ShowTextFile(report));
    EXPECT_FALSE(services.launcher.ShowPage(temp / "gone.htm"));
    EXPECT_EQ(services.messages.ShownTexts(),
              (std::vector<std::string>{
                  report.string() + " could not be opened: the desktop has no program to show it.",
                  (temp / "gone.htm").string() + " could not be opened: it does not exist."}));
    EXPECT_TRUE(services.launcher.openedPages.empty()) << "a missing page is not handed on";
}
