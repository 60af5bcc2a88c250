#include "document/CDocumentNetlist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/CConfigFiles.h"
#include "document/CDesignBackup.h"
#include "document/CDocumentHistory.h"
#include "document/CViewState.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetErrorRec.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "tests/interchange/NetlistTestBoard.h"
#include "tests/support/ArchiveBytes.h"

namespace {

namespace fs = std::filesystem;

// The main window's settings: backups into a folder of the test's own, netlists from another.
class CSettingsFrame : public CFontFrame {
public:
    const CConfigFiles* GetConfigFiles() const override { return &files; }

    CConfigFiles files;
};

constexpr char calayNets[] = "/GND U1(4) R1(2)\r\n/VCC R2(1) U1(1)\r\n";
constexpr char calayList[] = "10K                 R1                  0805\r\n"
                             "4k7                 R2                  0805\r\n"
                             "LM358               U1                  DIP4\r\n";

// A board of R1, R2 and U1 with the nets GND and VCC, loaded from a Calay netlist and saved.
class CDocumentNetlistTest : public CNetlistTest {
protected:
    void SetUp() override
    {
        CNetlistTest::SetUp();
        m_previousFrame = CDocumentFrame::Set(&settings);
        settings.files.m_backupDirectory = (folder / "bak").string();
        settings.files.m_netlistDirectory = (folder / "nets").string();
        fs::create_directories(folder / "nets");
        doc->SetDesignPath((folder / "amp.PCB").string());
        const fs::path net = Write("board/amp.net", calayNets);
        Write("board/amp.cmp", calayList);
        ASSERT_TRUE(CDocumentNetlist(*doc).Load(net.string()));
        ASSERT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1"}));
        doc->SetModifiedFlag(false);
        services.messages.ClearShown();
    }
    void TearDown() override
    {
        CDocumentFrame::Set(m_previousFrame);
        CNetlistTest::TearDown();
    }

    CSettingsFrame settings;

private:
    CDocumentFrame* m_previousFrame = nullptr;
};

// One netlist per dialect for the same board: its files, the first of them the net file.
struct DialectFiles {
    const char* dialect;
    std::vector<std::pair<std::string, std::string>> files;
};

const DialectFiles dialects[] = {
    {"Calay", {{"d.net", calayNets}, {"d.cmp", calayList}}},
    {"Mentor",
     {{"d.net", "NET 'GND' U1-4 R1-2\nNET 'VCC' R2-1 U1-1\n"},
      {"d.cmp", "# Wevra Formatted Netlist for MENTOR Board Station V6\n"
                "R1                  PART 10K                 0805\n"
                "R2                  PART 4k7                 0805\n"
                "U1                  PART LM358               DIP4\n"}}},
    {"MultiSim",
     {{"d.net", "multiSIM\n*GND\nU1-4,R1-2,\n*VCC\nR2-1,U1-1,\n"},
      {"d.plc", "R1,10K,0805,;\nR2,4k7,0805,;\nU1,LM358,DIP4,;\n"}}},
    {"Protel",
     {{"d.net", "PROTEL NETLIST 2.0\n[\nDESIGNATOR\nR1\nFOOTPRINT\n0805\nPARTTYPE\n10K\n]\n"
                "[\nDESIGNATOR\nR2\nFOOTPRINT\n0805\nPARTTYPE\n4k7\n]\n"
                "[\nDESIGNATOR\nU1\nFOOTPRINT\nDIP4\nPARTTYPE\nLM358\n]\n"
                "(\nGND\nU1-4\nR1-2\n)\n(\nVCC\nR2-1\nU1-1\n)\n"}}},
    {"Tango",
     {{"d.net", "[\r\nR1\r\n0805\r\n10K\r\n]\r\n[\r\nR2\r\n0805\r\n4k7\r\n]\r\n"
                "[\r\nU1\r\nDIP4\r\nLM358\r\n]\r\n(\r\nGND\r\nU1-4\r\nR1-2\r\n)\r\n"
                "(\r\nVCC\r\nR2-1\r\nU1-1\r\n)\r\n"}}},
};

} // namespace

// A damaged file of a netlist (emptied, zeroed, cut inside its first line) is refused before
// anything changes: the board keeps its components and nets and is not marked modified.
TEST_F(CDocumentNetlistTest, DamagedNetlistsLeaveTheBoardAsItWas)
{
    const archive_bytes::Bytes before = archive_bytes::Store(*doc);
    using Damage = std::string (*)(const std::string&);
    const std::pair<const char*, Damage> damages[] = {
        {"empty", [](const std::string&) { return std::string(); }},
        {"zeroed", [](const std::string& text) { return std::string(text.size(), '\0'); }},
        {"cut", [](const std::string& text) { return text.substr(0, 3); }},
    };
    for (const DialectFiles& set : dialects) {
        for (size_t damaged = 0; damaged < set.files.size(); ++damaged) {
            for (const auto& [kind, damage] : damages) {
                const std::string subfolder =
                    std::string(set.dialect) + "/" + kind + std::to_string(damaged) + "/";
                SCOPED_TRACE(subfolder + set.files[damaged].first);
                for (size_t i = 0; i < set.files.size(); ++i) {
                    const auto& [name, text] = set.files[i];
                    Write(subfolder + name, i == damaged ? damage(text) : text);
                }
                CDocumentNetlist(*doc).Load((folder / subfolder / "d.net").string());
                EXPECT_TRUE(archive_bytes::Store(*doc) == before);
                EXPECT_FALSE(doc->IsModified());
            }
        }
    }
}

TEST_F(CDocumentNetlistTest, TheUserLoadIsBackedUpClearsTheErrorMarksAndAFailureIsNoChange)
{
    doc->Design().GetNets().AddError(CNetErrorRec());
    const fs::path net = Write("board/amp.net", "/GND U1(4) R1(2) R2(2)\r\n/VCC R2(1) U1(1)\r\n");
    EXPECT_TRUE(CDocumentNetlist(*doc).LoadChosen(net.string()));
    const std::string series =
        CDesignBackup::SeriesTitle("amp", folder.string(), (folder / "bak").string());
    EXPECT_TRUE(fs::exists(folder / "bak" / CDesignBackup::BackupFileName(series, 1)));
    EXPECT_EQ(doc->Design().GetNets().GetErrorCount(), 0);
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "GND"}));
    EXPECT_TRUE(doc->IsModified());

    // A netlist that cannot be found changes nothing, so the design stays as saved.
    doc->SetModifiedFlag(false);
    EXPECT_FALSE(CDocumentNetlist(*doc).LoadChosen((folder / "gone.net").string()));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1"}));

    // A backup folder that takes no file (read-only, full): the user learns why and chooses;
    // Enter keeps the design as it is and says the load was not done.
    fs::create_directories(folder / "bak" / (series + " BAK.tmp") / "x");
    const fs::path moved = Write("board/amp.net", "/GND U1(4) R1(2)\r\n/VCC R2(1) U1(1) R2(2)\r\n");
    services.messages.ClearShown();
    EXPECT_FALSE(CDocumentNetlist(*doc).LoadChosen(moved.string()));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string asked = services.messages.Shown()[0].text;
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO_DEFAULTNO);
    EXPECT_NE(asked.find((folder / "bak" / series).string() + " BAK "), std::string::npos) << asked;
    EXPECT_NE(asked.find("\" could not be written: "), std::string::npos) << asked;
    EXPECT_NE(asked.find("Load the netlist without a backup?"), std::string::npos) << asked;
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "GND"}));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->View().GetInfoText(), "Netlist not loaded: the backup could not be written");
    // Yes loads, and Undo still takes the load back.
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(CDocumentNetlist(*doc).LoadChosen(moved.string()));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "VCC"}));
    doc->History().Undo();
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "GND"}));
}

TEST_F(CDocumentNetlistTest, ReloadingMovesNoCopperAndUndoBringsBackTheDesignAsItWas)
{
    // Shapes of an older library, anchored away from where the library anchors them today.
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    for (int32_t i = 0; i < cache.GetCount(); ++i) {
        cache.GetShape(i)->Offset(5000, -3000);
        cache.RecalcShapeExtent(i);
    }
    const auto copper = [this] {
        const CShapeLib& shapes = doc->Design().GetShapeCache();
        std::vector<std::pair<int32_t, int32_t>> pads;
        const CComponentArray& components = doc->Design().GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            const CComponent& component = *components.GetComponent(i);
            for (int32_t pad = 0; pad < component.GetPadCount(shapes); ++pad) {
                const CPoint at = component.GetPadPosition(pad, shapes);
                pads.emplace_back(at.x, at.y);
            }
        }
        return pads;
    };
    const auto placed = copper();
    const archive_bytes::Bytes before = archive_bytes::Store(*doc);
    const std::string netlist = doc->Design().GetNetlistPath();

    // The design's own netlist again: nothing on the board moves.
    ASSERT_TRUE(CDocumentNetlist(*doc).Load((folder / "board/amp.net").string()));
    EXPECT_EQ(copper(), placed);
    doc->History().Undo();
    EXPECT_TRUE(archive_bytes::Store(*doc) == before);

    // A netlist that changes the board, and the design it names, is undone as a whole.
    const fs::path other =
        Write("other/amp2.net", "/GND U1(4) R1(2) R3(2)\r\n/VCC R2(1) U1(1)\r\n");
    Write("other/amp2.cmp",
          std::string(calayList) + "1K                  R3                  DIP4\r\n");
    ASSERT_TRUE(CDocumentNetlist(*doc).Load(other.string()));
    ASSERT_EQ(References(), (std::vector<std::string>{"R1", "R2", "R3", "U1"}));
    EXPECT_EQ(copper().size(), placed.size() + 4);
    doc->History().Undo();
    EXPECT_TRUE(archive_bytes::Store(*doc) == before);
    EXPECT_EQ(doc->Design().GetNetlistPath(), netlist);
}

TEST_F(CDocumentNetlistTest, ANetlistWhoseFolderTakesNoReportIsImportedWithTheReportBesideTheDesign)
{
    // What the folder refuses to take, even from a user who could write anywhere.
    fs::create_directories(folder / "board" / "AMP FORWARD ANNOTATE.TXT" / "x");
    const fs::path net = Write("board/amp.net", "/GND U1(4) R1(2) R2(2)\r\n/VCC R2(1) U1(1)\r\n");
    EXPECT_TRUE(CDocumentNetlist(*doc).Load(net.string()));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "GND"}));
    EXPECT_TRUE(fs::is_regular_file(folder / "AMP FORWARD ANNOTATE.TXT"));
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    const std::string told = services.messages.ShownTexts()[0];
    EXPECT_NE(told.find((folder / "AMP FORWARD ANNOTATE.TXT").string()), std::string::npos) << told;
}

// The file dialogs start at the design's netlist; a design without one starts in the
// configured netlist folder.
TEST_F(CDocumentNetlistTest, TheDialogsStartInTheNetlistFolder)
{
    EXPECT_FALSE(CDocumentNetlist(*doc).ChooseNetlist());
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), (folder / "board").string());

    doc->Design().SetNetlistPath("");
    EXPECT_FALSE(CDocumentNetlist(*doc).ChooseNetlist());
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), (folder / "nets").string());
    EXPECT_FALSE(CDocumentNetlist(*doc).SaveFromUser());
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders().back(), (folder / "nets").string());
}
