#include "framework/CServices.h"

#include "framework/CArchive.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPrinterService.h"
#include "framework/CWorkPool.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CScriptedMessageService.h"
#include "tests/support/CTempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
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
                          {MB_YESNO_DEFAULTNO, IDNO},
                          {MB_OKCANCEL_DEFAULTCANCEL, IDCANCEL},
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

// Work on the pool's threads never opens a window: what it tells the user is shown on the
// calling thread once the work is done, in the order of the items; a question, which would need
// an answer there and then, and any call from a thread of no pool work are refused loudly.
TEST(CServicesThreadTest, MessagesFromPoolWorkAreShownAfterItOnTheCallingThread)
{
    const int savedThreads = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(4);
    CFakeServices fakes;
    // The fake notes the thread of each message it shows.
    std::vector<std::thread::id> threads;
    struct CThreadNotingMessages : CScriptedMessageService {
        std::vector<std::thread::id>* threads = nullptr;
        int32_t MessageBox(const std::string& text, const std::string& caption,
                           MessageButtons buttons, MessageIcon icon) override
        {
            threads->push_back(std::this_thread::get_id());
            return CScriptedMessageService::MessageBox(text, caption, buttons, icon);
        }
    } noting;
    noting.threads = &threads;
    CMessageService* const previous = CServices::SetMessages(&noting);

    std::atomic<size_t> shownDuringWork{0};
    CWorkPool::Shared().ForEach(64, [&](size_t i) {
        // Slow enough for every helper to take items.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (i % 8 == 0) {
            EXPECT_EQ(CServices::Messages().MessageBox("Item " + std::to_string(i), "", MB_OK,
                                                       MB_ICONWARNING),
                      IDOK);
        }
        shownDuringWork.fetch_add(noting.Shown().size());
    });
    EXPECT_EQ(shownDuringWork.load(), 0u);
    EXPECT_EQ(noting.ShownTexts(),
              (std::vector<std::string>{"Item 0", "Item 8", "Item 16", "Item 24", "Item 32",
                                        "Item 40", "Item 48", "Item 56"}));
    for (const std::thread::id thread : threads)
        EXPECT_EQ(thread, std::this_thread::get_id());
    noting.ClearShown();

    // A question from the pool: the work fails with the question named, and nothing is shown
    // but the messages told before it.
    try {
        CWorkPool::Shared().ForEach(8, [&](size_t i) {
            if (i == 0)
                CServices::Messages().MessageBox("Told first", "");
            if (i == 5)
                CServices::Messages().MessageBox("Cancel the fill?", "", MB_YESNO);
        });
        ADD_FAILURE() << "a question from a worker was answered";
    } catch (const std::logic_error& refused) {
        EXPECT_NE(std::string(refused.what()).find("Cancel the fill?"), std::string::npos);
    }
    EXPECT_EQ(noting.ShownTexts(), std::vector<std::string>{"Told first"});
    noting.ClearShown();

    // A thread of its own is refused whatever it asks.
    bool refused = false;
    std::thread([&refused] {
        try {
            CServices::Messages().MessageBox("From nowhere", "");
        } catch (const std::logic_error&) {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(noting.Shown().empty());

    CServices::SetMessages(previous);
    CWorkPool::SetThreadCount(savedThreads);
}
