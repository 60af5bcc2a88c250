#include "document/CDocumentOutput.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "document/CDocumentDosExport.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentNetlist.h"
#include "document/CJobPrintout.h"
#include "framework/CMessageService.h"
#include "framework/CPrintJob.h"
#include "resources/CommandIds.h"
#include "tests/interchange/GerberTestBoard.h"

namespace {

constexpr int32_t display = COutputDevice::display;
constexpr int32_t barco = COutputDevice::barco24;
constexpr int32_t windows = COutputDevice::windows;

// Everything a file holds; empty when it cannot be read.
std::string FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

class CDocumentOutputRun : public COutputTestBoard {
protected:
    CDocumentOutputRun()
    {
        doc->Design().SetBoardOutlineRect(0, 0, 256000, 256000);
        AddPlane(0, LAYER_BOTTOM, CRect(25600, 25600, 230400, 230400));
        AddJob(display, "", {{"A", {LAYER_TOP}}});
        AddJob(gerberLayers24, "C:\\GERBER", {{"TOP", {LAYER_TOP}}, {"BOTTOM", {LAYER_BOTTOM}}});
        AddJob(excellon, "C:\\EXCELLON",
               {{"D1", {LAYER_DRILL}}, {"D2", {LAYER_DRILL}}, {"D3", {LAYER_DRILL}}});
        AddJob(windows, "", {{"P1", {LAYER_TOP}}, {"P2", {LAYER_BOTTOM}}});
        AddJob(barco, "", {{"B", {LAYER_TOP}}});
        AddJob(gerberSingle24, "C:\\EMPTY", {});
    }

    bool Run(int32_t answer)
    {
        services.listPicker.QueueAnswer(answer);
        return output->RunOutputJob([this] { ++prints; });
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            if (entry.is_regular_file())
                names.push_back(fs::relative(entry.path(), temp.Path()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    int32_t prints = 0;
};

TEST_F(CDocumentOutputRun, CancelChangesNothing)
{
    doc->Design().GetOutputJobs().SetCurrent(3);
    EXPECT_FALSE(Run(-1));
    ASSERT_EQ(services.listPicker.GetShown().size(), 1u);
    const auto& shown = services.listPicker.GetShown()[0];
    EXPECT_EQ(shown.title, "Output Jobs");
    EXPECT_EQ(shown.entries,
              (std::vector<std::string>{"Job 0", "Job 1", "Job 2", "Job 3", "Job 4", "Job 5"}));
    EXPECT_EQ(shown.initial, 3);
    EXPECT_EQ(shown.helpCommandId, int32_t(ID_FILE_OUTPUT));
    EXPECT_EQ(doc->Design().GetOutputJobs().GetCurrent(), 3);
    EXPECT_EQ(doc->Design().GetPlane(0).GetFillStrokes().GetSize(), 0);
    EXPECT_TRUE(Files().empty());
}

// A design without output jobs offers an empty list: whatever comes back, nothing is run.
TEST_F(CDocumentOutputRun, AnEmptyJobListCountsAsCancel)
{
    doc->Design().GetOutputJobs().RemoveAll();
    for (const int32_t answer : {0, -1, 1}) {
        EXPECT_FALSE(Run(answer)) << answer;
        EXPECT_TRUE(services.listPicker.GetShown().back().entries.empty());
    }
    EXPECT_EQ(doc->Design().GetPlane(0).GetFillStrokes().GetSize(), 0);
    EXPECT_EQ(prints, 0);
}

// A device that makes nothing still takes the job as current and fills the planes.
TEST_F(CDocumentOutputRun, DevicesWithoutOutput)
{
    for (const int32_t job : {0, 4, 5}) {
        EXPECT_TRUE(Run(job));
        EXPECT_EQ(doc->Design().GetOutputJobs().GetCurrent(), job);
    }
    EXPECT_GT(doc->Design().GetPlane(0).GetFillStrokes().GetSize(), 0);
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(prints, 0);
}

// A job that wrote its files says where they went.
TEST_F(CDocumentOutputRun, GerberDrillAndPrintJobs)
{
    EXPECT_TRUE(Run(1));
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"GERBER/board/BOARD.TXT", "GERBER/board/BOARD_BOTTOM.GBR",
                                        "GERBER/board/BOARD_TOP.GBR"}));
    const fs::path folder = temp.Path() / "GERBER" / "board";
    EXPECT_EQ(ParserComplaints({folder / "BOARD_TOP.GBR", folder / "BOARD_BOTTOM.GBR"}),
              std::vector<std::string>{});
    EXPECT_TRUE(Run(2));
    EXPECT_EQ(Files().size(), 9u);
    EXPECT_TRUE(fs::exists(temp.Path() / "EXCELLON" / "board" / "board.t03"));
    EXPECT_TRUE(fs::exists(temp.Path() / "EXCELLON" / "board" / "board.e03"));
    EXPECT_EQ(prints, 0);
    const auto& shown = services.messages.Shown();
    ASSERT_EQ(shown.size(), 2u);
    const fs::path folders[] = {folder, temp.Path() / "EXCELLON" / "board"};
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(shown[k].text, "The files were written to the folder\n" + folders[k].string());
        EXPECT_EQ(shown[k].caption, "Job " + std::to_string(k + 1));
        EXPECT_TRUE(shown[k].namesFile);
        EXPECT_EQ(shown[k].icon, MB_ICONINFORMATION);
    }
    // A printout is one print, whatever the number of items.
    EXPECT_TRUE(Run(3));
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(doc->Design().GetOutputJobs().GetCurrent(), 3);
}

// Two jobs writing files of one name into one folder: a job asks before it writes there while
// files of the other are present. No leaves every file as it was; yes leaves the folder to the
// job alone, with no file of the other left over to pass for part of its output.
TEST_F(CDocumentOutputRun, JobsSharingAFolderAskBeforeReplacingEachOthersFiles)
{
    const int32_t silk =
        AddJob(gerberLayers24, "C:\\GERBER", {{"SILK", {LAYER_SILK_TOP}}, {"TOP", {LAYER_TOP}}});
    const int32_t drill = AddJob(excellon, "C:\\EXCELLON", {{"D1", {LAYER_DRILL}}});
    const fs::path gerber = temp.Path() / "GERBER" / "board";
    EXPECT_TRUE(Run(1));
    EXPECT_TRUE(Run(2));
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    services.messages.ClearShown();
    const std::string report = ReadBytes(gerber / "BOARD.TXT");

    // Enter (no answer scripted) is No.
    EXPECT_TRUE(Run(silk));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("\"Job 1\""), std::string::npos);
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO_DEFAULTNO);
    EXPECT_EQ(ReadBytes(gerber / "BOARD.TXT"), report);
    EXPECT_FALSE(fs::exists(gerber / "BOARD_SILK.GBR"));
    EXPECT_TRUE(fs::exists(gerber / "BOARD_BOTTOM.GBR"));

    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(silk));
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(drill));
    // Each yes, then where the files went.
    EXPECT_EQ(services.messages.Shown().size(), 5u);
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"EXCELLON/board/board.e01", "EXCELLON/board/board.t01",
                                        "GERBER/board/BOARD.TXT", "GERBER/board/BOARD_SILK.GBR",
                                        "GERBER/board/BOARD_TOP.GBR"}));
}

// A job run again after a set was renamed or an item dropped finds the files of its names that
// this run does not write, names them and asks: no keeps them beside the new files, yes removes
// them. A file of another design whose name merely starts alike is none of them.
TEST_F(CDocumentOutputRun, FilesOfAnEarlierRunThatThisRunDoesNotWriteAreNamed)
{
    const fs::path gerber = temp.Path() / "GERBER" / "board";
    const fs::path drill = temp.Path() / "EXCELLON" / "board";
    EXPECT_TRUE(Run(1));
    EXPECT_TRUE(Run(2));
    const std::string other = "*\r\nG04 SOURCE = wevra-pcb *\r\nG04 FORMAT = x *\r\n"
                              "G04 TITLE  = BOARD_V2 *\r\n";
    std::ofstream(gerber / "BOARD_V2_TOP.GBR", std::ios::binary) << other;
    COutput& plot = *doc->Design().GetOutputJobs().GetJob(1);
    plot.GetItem(1)->SetDisplayName("BOT");
    doc->Design().GetOutputJobs().GetJob(2)->RemoveItem(2);
    services.messages.ClearShown();

    // Enter (no answer scripted) is No.
    EXPECT_TRUE(Run(1));
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    const auto& asked = services.messages.Shown()[0];
    EXPECT_EQ(asked.buttons, MB_YESNO_DEFAULTNO);
    EXPECT_TRUE(asked.namesFile);
    EXPECT_NE(asked.text.find((gerber / "BOARD_BOTTOM.GBR").string()), std::string::npos)
        << asked.text;
    for (const char* kept : {"BOARD_V2_TOP.GBR", "BOARD_TOP.GBR", "BOARD.TXT"})
        EXPECT_EQ(asked.text.find(kept), std::string::npos) << kept;
    EXPECT_TRUE(fs::exists(gerber / "BOARD_BOTTOM.GBR"));
    EXPECT_TRUE(fs::exists(gerber / "BOARD_BOT.GBR"));

    // Yes to a run that then fails removes nothing: its message says the earlier files stand.
    fs::remove(gerber / "BOARD_TOP.GBR");
    fs::create_directory(gerber / "BOARD_TOP.GBR");
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(1));
    ASSERT_EQ(services.messages.Shown().size(), 4u);
    EXPECT_NE(services.messages.Shown()[3].text.find("No file of this output was replaced"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(gerber / "BOARD_BOTTOM.GBR"));
    fs::remove(gerber / "BOARD_TOP.GBR");

    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(1));
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(2));
    EXPECT_EQ(services.messages.Shown().size(), 8u);
    EXPECT_NE(services.messages.Shown()[6].text.find((drill / "board.t03").string()),
              std::string::npos);
    EXPECT_EQ(Files(), (std::vector<std::string>{
                           "EXCELLON/board/board.e01", "EXCELLON/board/board.e02",
                           "EXCELLON/board/board.t01", "EXCELLON/board/board.t02",
                           "GERBER/board/BOARD.TXT", "GERBER/board/BOARD_BOT.GBR",
                           "GERBER/board/BOARD_TOP.GBR", "GERBER/board/BOARD_V2_TOP.GBR"}));
    // Nothing left over: the next run asks nothing but where the files went.
    EXPECT_TRUE(Run(1));
    EXPECT_EQ(services.messages.Shown().size(), 9u);
}

// A plane that pours no copper is never left out silently: before anything is written or printed
// the job names it and asks; No makes nothing, Yes goes on without it.
TEST_F(CDocumentOutputRun, APlaneThatPoursNoCopperIsNamedBeforeAnythingIsMade)
{
    // Narrower than its pen: no fill fits inside.
    AddPlane(0, LAYER_TOP, CRect(128000, 128000, 129000, 129000));
    doc->Design().GetPlanes().back()->SetName("SLIVER");
    const std::string question =
        "The fill of \"SLIVER\" failed or poured no copper.\nGo on without it?";
    services.messages.QueueAnswer(IDNO);
    EXPECT_TRUE(Run(1));
    ASSERT_EQ(services.messages.ShownTexts(), std::vector<std::string>{question});
    EXPECT_EQ(services.messages.Shown()[0].caption, "Job 1");
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO);
    EXPECT_TRUE(Files().empty());
    services.messages.QueueAnswer(IDNO);
    EXPECT_TRUE(Run(3));
    EXPECT_EQ(prints, 0);
    CJobPrintout printout(doc->Design(), doc->Paint(), doc->Planes(), doc->Windows(),
                          doc->GetDesignName());
    CPrintSetup setup;
    services.messages.QueueAnswer(IDNO);
    EXPECT_FALSE(printout.Prepare(setup));
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>(3, question));

    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(Run(1));
    // The question, then where the files went.
    EXPECT_EQ(services.messages.Shown().size(), 5u);
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"GERBER/board/BOARD.TXT", "GERBER/board/BOARD_BOTTOM.GBR",
                                        "GERBER/board/BOARD_TOP.GBR"}));
    EXPECT_TRUE(doc->Design().GetPlane(0).HasFill());
    EXPECT_FALSE(doc->Design().GetPlane(1).HasFill());
}

// The sample's fab jobs moved by the lowest offset: the photoplots would hold eight digits where
// their format has six, and the drill program likewise. Each job names the first item, says it
// failed instead of where its files went, writes nothing and leaves the design as it was.
TEST_F(CDocumentOutputRun, TheSamplesFabJobsRefuseAnOffsetTheirDigitsCannotHold)
{
    const fs::path design = temp.Path() / "demo.PCB";
    fs::copy_file(WEVRA_DEMO_DESIGN, design);
    ASSERT_TRUE(doc->OnOpenDocument(design.string()));
    COutputArray& jobs = doc->Design().GetOutputJobs();
    CDocumentOutput sample(doc->Design(), doc->Planes(), doc->GetDesignFolder(),
                           doc->GetDesignName());
    const std::pair<std::string, std::string> runs[] = {
        {"GERBER Fab Files, One per Layer",
         "a track of net \"GND\" at (532157, 409600) in the layer set \"TOP_COPPER\" lies at "
         "X-83865293Y-83882080 in the file"},
        {"EXCELLON Fab Drill PROGRAM",
         "a via of net \"GND\" lies at X-83864080Y-83882080 in the drill program"}};
    for (const auto& [name, item] : runs) {
        int32_t job = 0;
        while (job < jobs.GetCount() && jobs.GetJob(job)->GetJobName() != name)
            ++job;
        ASSERT_LT(job, jobs.GetCount()) << name;
        jobs.GetJob(job)->SetOffset(std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::min());
        doc->SetModifiedFlag(false);
        const int32_t undoCount = doc->History().GetUndoCount();
        services.messages.ClearShown();
        services.listPicker.QueueAnswer(job);
        EXPECT_TRUE(sample.RunOutputJob({}));
        ASSERT_EQ(services.messages.Shown().size(), 1u) << name;
        EXPECT_EQ(services.messages.Shown()[0].text,
                  "Error!\nThe job failed and wrote no file: " + item +
                      ", which the fixed digits of the file format cannot hold. Move the item or "
                      "change the job's offset.");
        EXPECT_EQ(services.messages.Shown()[0].caption, name);
        EXPECT_EQ(services.messages.Shown()[0].icon, MB_ICONEXCLAMATION);
        EXPECT_EQ(Files(), std::vector<std::string>{"demo.PCB"}) << name;
        EXPECT_FALSE(doc->IsModified()) << name;
        EXPECT_EQ(doc->History().GetUndoCount(), undoCount) << name;
    }
}

// A job that cannot write one of its files replaces none of them: every other file keeps the
// bytes of the earlier run, no temporary is left beside them, and the message names the file and
// says the earlier files are unchanged. The same job then runs through and changes them.
TEST_F(CDocumentOutputRun, AJobThatCannotWriteOneFileReplacesNone)
{
    LayEveryItem();
    const int32_t plots = AddJob(gerberLayers24, "C:\\FAB",
                                 {{"TOP_COPPER", {LAYER_TOP}},
                                  {"TOP_MASK", {LAYER_MASK_TOP}},
                                  {"TOP_PASTE", {LAYER_PASTE_TOP}},
                                  {"BOTTOM_COPPER", {LAYER_BOTTOM}}});
    const int32_t batch = AddJob(gerberSingle24, "C:\\BATCH", {{"TOP", {LAYER_TOP}}});
    const int32_t drills =
        AddJob(excellon, "C:\\DRILL", {{"D1", {LAYER_DRILL}}, {"D2", {LAYER_DRILL}}});
    const fs::path dos = temp.Path() / "DOS";
    fs::create_directories(dos);
    struct Road {
        std::string name;
        std::function<void()> run;
        // The job's files; the one made unwritable; one the moved component changes.
        std::vector<fs::path> files;
        fs::path blocked, changed;
    };
    const fs::path fab = temp.Path() / "FAB" / "board";
    const fs::path single = temp.Path() / "BATCH" / "board";
    const fs::path drill = temp.Path() / "DRILL" / "board";
    const fs::path set = dos / "board" / "PCB";
    const std::vector<Road> roads = {
        {"photoplots",
         [&] { Run(plots); },
         {fab / "BOARD_TOP_COPPER.GBR", fab / "BOARD_TOP_MASK.GBR", fab / "BOARD_TOP_PASTE.GBR",
          fab / "BOARD_BOTTOM_COPPER.GBR", fab / "BOARD.TXT"},
         fab / "BOARD_TOP_PASTE.GBR",
         fab / "BOARD_TOP_COPPER.GBR"},
        {"plotter batch",
         [&] { Run(batch); },
         {single / "BOARD.GBR", single / "BOARD.TXT"},
         single / "BOARD.TXT",
         single / "BOARD.GBR"},
        {"drill programs",
         [&] { Run(drills); },
         {drill / "board.t01", drill / "board.e01", drill / "board.t02", drill / "board.e02"},
         drill / "board.t02",
         drill / "board.t01"},
        {"DOS set",
         [&] {
             services.fileDialogs.QueueFolder(dos.string());
             CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                temp.Path().string(), "board")
                 .ExportFromUser();
         },
         {set / "BOARD.CNF", set / "BOARD.CMP", set / "BOARD.PLY"},
         set / "BOARD.PLY",
         set / "BOARD.CMP"},
        {"Mentor netlist",
         [&] {
             services.fileDialogs.QueueFile((temp.Path() / "nets.NET").string());
             CDocumentNetlist(*doc).SaveFromUser();
         },
         {temp.Path() / "nets.CMP", temp.Path() / "nets.NET"},
         temp.Path() / "nets.NET",
         temp.Path() / "nets.CMP"},
    };
    CComponentArray& components = doc->Design().GetComponents();
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        components.SetPosition(0, 102400, 153600);
        components.SetName(0, 1, "TOP");
        road.run();
        std::vector<std::string> earlier;
        for (const fs::path& file : road.files)
            earlier.push_back(FileBytes(file));
        ASSERT_TRUE(fs::exists(road.changed));

        components.SetPosition(0, 128000, 179200);
        components.SetName(0, 1, "MOVED");
        fs::remove(road.blocked);
        fs::create_directory(road.blocked);
        services.messages.ClearShown();
        road.run();
        const std::vector<std::string> told = services.messages.ShownTexts();
        ASSERT_EQ(told.size(), 1u) << ::testing::PrintToString(told);
        EXPECT_NE(told[0].find(road.blocked.string()), std::string::npos) << told[0];
        EXPECT_NE(told[0].find("No file of this output was replaced"), std::string::npos);
        for (size_t k = 0; k < road.files.size(); ++k) {
            if (road.files[k] != road.blocked) {
                EXPECT_EQ(FileBytes(road.files[k]), earlier[k]) << road.files[k];
            }
        }
        for (const auto& entry : fs::directory_iterator(road.blocked.parent_path()))
            EXPECT_FALSE(entry.path().string().ends_with("~")) << entry.path();

        fs::remove(road.blocked);
        road.run();
        EXPECT_NE(FileBytes(road.changed),
                  earlier[size_t(std::find(road.files.begin(), road.files.end(), road.changed) -
                                 road.files.begin())]);
    }
}
