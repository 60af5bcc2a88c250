#include "interchange/CNetlistImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "document/CDocumentHistory.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CViewState.h"
#include "framework/CArchive.h"
#include "framework/CMessageService.h"
#include "interchange/CNameIndex.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CPour.h"
#include "tests/interchange/NetlistTestBoard.h"
#include "tests/support/CScriptedMessageService.h"

namespace {

// One netlist per dialect, each with R1 (10K, 0805), R2 (4k7, 0805) and U1 (LM358, DIP4) and
// the nets GND (U1-4, R1-2), VCC (R2-1, U1-1) and SIG (R1-1, R2-2, U1-2), in that order.
struct Sample {
    const char* dialect;
    const char* netName;
    const char* netText;
    const char* listName;
    const char* listText;
};

const Sample samples[] = {
    {"Calay", "demo.net",
     "/GND U1(4) R1(2)\r\n"
     "/VCC R2(1),\r\n"
     "     U1(1);\r\n"
     "\r\n"
     "/sig R1(1) R2(2)  \r\n"
     "     u1(2)\r\n",
     "demo.cmp",
     "10K                 R1                  0805\r\n"
     "4k7                 R2                  0805   \r\n"
     "\r\n"
     "LM358               u1                  dip4\r\n"},
    {"Mentor", "demo.NET",
     "NET 'GND' U1-4 R1-2\n"
     "NET 'VCC' R2-1 U1-1\n"
     "net 'SIG' R1-1 R2-2\n"
     "NET 'SIG' U1-2\n",
     "demo.Cmp",
     "# Wevra Formatted Netlist for MENTOR Board Station V6\n"
     "# Reference         .... Value Field         Module Field\n"
     "R1                  PART 10K                 0805\n"
     "R2                  PART 4k7                 0805\n"
     "U1                  PART LM358               DIP4\n"},
    {"MultiSim", "demo.net",
     "multiSIM netlist\r\n"
     "*GND\r\n"
     "U1-4,R1-2,\r\n"
     "*   VCC   \r\n"
     "r2-1,U1-1,\r\n"
     "*SIG\r\n"
     "R1-1,R2-2,\r\n"
     "U1-2,\r\n",
     "demo.plc", "R1,10K,0805,;\r\nR2,4k7,0805,;\r\nheader without fields\r\nU1,LM358,DIP4,;\r\n"},
    {"Protel 2.0", "demo.NET",
     "PROTEL NETLIST 2.0\n"
     "[\nDESIGNATOR\nR1\nFOOTPRINT\n0805\nPARTTYPE\n10K\nDESCRIPTION\n]\n"
     "[\nDESIGNATOR\nR2\nFOOTPRINT\n0805\nPARTTYPE\n4k7\n]\n"
     "[\nDESIGNATOR\nU1\nFOOTPRINT\nDIP4\nPARTTYPE\nLM358\n]\n"
     "(\nGND\nu1-4\nR1-2\n)\n"
     "(\nVCC\nR2-1\nU1-1\n)\n"
     "(\nSIG\nR1-1\n  R2-2  \n\nU1-2\n)\n",
     nullptr, nullptr},
    {"Tango", "demo.net",
     "[\r\nR1\r\n0805\r\n10K\r\n]\r\n"
     "[\r\nR2\r\n0805\r\n4k7\r\n]\r\n"
     "[\r\nU1\r\nDIP4\r\nLM358\r\n]\r\n"
     "(\r\nGND\r\nU1-4\r\nR1,2\r\n)\r\n"
     "(\r\nVCC\r\nR2-1\r\nU1-1\r\n)\r\n"
     "(\r\nSIG\r\nR1-1\r\nR2-2\r\nU1-2\r\n)",
     nullptr, nullptr},
};

class CNetlistImportSampleTest : public CNetlistTest, public ::testing::WithParamInterface<Sample> {
protected:
    // The board holds the samples' circuit, components in the order listed.
    void ExpectSampleCircuit() const
    {
        EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1"}));
        const CComponentArray& components = doc->Design().GetComponents();
        EXPECT_EQ(components.GetType(0), "10K");
        EXPECT_EQ(components.GetType(1), "4k7");
        EXPECT_EQ(components.GetType(2), "LM358");
        EXPECT_EQ(components.GetShapeName(0), "0805");
        EXPECT_EQ(components.GetShapeName(2), "DIP4");
        EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"SIG", "GND"}));
        EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"VCC", "SIG"}));
        EXPECT_EQ(PadNets("U1"), (std::vector<std::string>{"VCC", "SIG", "", "GND"}));
        ASSERT_EQ(doc->Design().GetNets().GetCount(), 4);
        EXPECT_EQ(doc->Design().GetNets().GetNet(3)->GetPinCount(), 3);
    }
};

} // namespace

TEST_P(CNetlistImportSampleTest, ImportsIntoANewBoard)
{
    const Sample& sample = GetParam();
    // A folder whose name holds a dot, and extensions in either case.
    const std::filesystem::path net =
        Write(std::string("jobs.2/") + sample.netName, sample.netText);
    if (sample.listName != nullptr)
        Write(std::string("jobs.2/") + sample.listName, sample.listText);

    CNetlistImport import;
    ASSERT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(NetlistFormatName(import.GetFormat()), sample.dialect);
    EXPECT_EQ(import.GetErrorFlags(), 0u);
    EXPECT_TRUE(services.messages.Shown().empty());

    ExpectSampleCircuit();
    const CComponentArray& components = doc->Design().GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        EXPECT_TRUE(components.TestFlag(i, ComponentFlags::fromNetlist));
        EXPECT_LE(components.GetBox(i).bottom, 0);
        EXPECT_GE(components.GetBox(i).left, 0);
    }

    EXPECT_EQ(doc->Design().GetNetlistPath(), net.string());
    EXPECT_GT(doc->Design().GetNetlistTime(), 0);
    EXPECT_FALSE(doc->IsNetlistNewer());
    EXPECT_TRUE(doc->View().IsLeftPaneShown());
    EXPECT_TRUE(doc->View().IsBottomPaneShown());

    const std::filesystem::path report = folder / "jobs.2" / "DEMO IMPORT NETLIST.TXT";
    ASSERT_EQ(services.launcher.openedTextFiles, (std::vector<std::filesystem::path>{report}));
    const std::vector<std::string> lines = Lines(ReadFile(report));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Import Netlist Info: DEMO.PCB");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2].rfind("TimeStamp: ", 0), 0u);
    EXPECT_TRUE(Contains(lines, "Updating project"));
    EXPECT_TRUE(Contains(lines, "Add Component: R1, 10K, 0805"));
    EXPECT_TRUE(Contains(lines, "Add Component: U1, LM358, DIP4"));
    EXPECT_TRUE(Contains(lines, "Add Net: GND"));
    EXPECT_TRUE(Contains(lines, "Add Net: SIG"));
    EXPECT_TRUE(
        Contains(lines, "Load " + std::string(sample.dialect) + " Netlist: " + net.string()));
    // The messages are the report's lines, also in the document's list.
    EXPECT_EQ(doc->Windows().GetMessages().front(), "Updating project");
}

// Editors that save as UTF-8 put a byte order mark before the first line: it is no part of the
// first net, component block or column.
TEST_P(CNetlistImportSampleTest, AByteOrderMarkLosesNothing)
{
    const std::string mark = "\xEF\xBB\xBF";
    const Sample& sample = GetParam();
    const std::filesystem::path net = Write(sample.netName, mark + sample.netText);
    if (sample.listName != nullptr)
        Write(sample.listName, mark + sample.listText);

    CNetlistImport import;
    ASSERT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(NetlistFormatName(import.GetFormat()), sample.dialect);
    EXPECT_EQ(import.GetErrorFlags(), 0u);
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1"}));
    EXPECT_EQ(doc->Design().GetComponents().GetType(0), "10K");
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"SIG", "GND"}));
    EXPECT_EQ(PadNets("U1"), (std::vector<std::string>{"VCC", "SIG", "", "GND"}));
}

// A newcomer copies the help page's examples of a dialect into files of the names shown: they
// load without a word into the circuit the page says they describe.
TEST_P(CNetlistImportSampleTest, TheHelpPagesExamplesLoadAsThePageSays)
{
    const std::string page =
        ReadFile(std::filesystem::path(WEVRA_BUILD_DIR) / "bin" / "help" / "NetlistLoad.htm");
    const std::string open = "<pre class=\"example\" data-dialect=\"" +
                             std::string(GetParam().dialect) + "\" data-file=\"";
    std::filesystem::path net;
    for (size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
        const size_t nameStart = at + open.size();
        const std::string name = page.substr(nameStart, page.find('"', nameStart) - nameStart);
        // The browser drops the line end right after the opening tag.
        const size_t text = page.find(">\n", nameStart) + 2;
        const std::string example = page.substr(text, page.find("</pre>", text) - text);
        ASSERT_EQ(example.find('&'), std::string::npos) << "an entity in the example " << name;
        const std::filesystem::path file = Write(name, example);
        if (name.ends_with(".NET"))
            net = file;
    }
    ASSERT_FALSE(net.empty()) << "the page shows no net file of " << GetParam().dialect;

    CNetlistImport import;
    ASSERT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(NetlistFormatName(import.GetFormat()), GetParam().dialect);
    EXPECT_EQ(import.GetErrorFlags(), 0u);
    EXPECT_TRUE(services.messages.Shown().empty());
    ExpectSampleCircuit();
}

// A file of a line dialect (the net file or its component list) whose last line has no end
// may be cut short: the user is asked, No (the default) changes nothing, Yes reads the last line
// as it stands. Block dialects are not asked: a cut leaves a block open, which is refused.
TEST_P(CNetlistImportSampleTest, AFileEndingInsideALineAsksBeforeAnyChange)
{
    const Sample& sample = GetParam();
    const std::string cutNet = TrimRight(sample.netText);
    if (sample.listName == nullptr) {
        EXPECT_TRUE(CNetlistImport().Run(doc->Link(), Write(sample.netName, cutNet)));
        EXPECT_TRUE(services.messages.Shown().empty());
        return;
    }
    const std::filesystem::path net = folder / sample.netName;
    const std::filesystem::path list = folder / sample.listName;
    for (const bool listCut : {false, true}) {
        SCOPED_TRACE(listCut ? "component list" : "net file");
        Write(sample.netName, listCut ? std::string(sample.netText) : cutNet);
        Write(sample.listName, listCut ? TrimRight(sample.listText) : sample.listText);
        services.messages.ClearShown();
        CNetlistImport refused;
        EXPECT_FALSE(refused.Run(doc->Link(), net));
        const std::string asked = ExpectStoppedAtTheQuestion(refused);
        const std::filesystem::path cutFile = listCut ? list : net;
        EXPECT_NE(asked.find(cutFile.string() + ", line "), std::string::npos) << asked;
        EXPECT_NE(asked.find("cut short"), std::string::npos) << asked;
        const std::vector<std::string> lines = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.starts_with("Warning: The last line has no line end") &&
                   line.find(cutFile.string()) != std::string::npos;
        }));
        EXPECT_TRUE(Contains(lines, "Import Netlist cancelled by the user: nothing was changed"));
    }

    Write(sample.netName, cutNet);
    Write(sample.listName, sample.listText);
    services.messages.QueueAnswer(IDYES);
    ASSERT_TRUE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1"}));
    EXPECT_EQ(PadNets("U1"), (std::vector<std::string>{"VCC", "SIG", "", "GND"}));
}

INSTANTIATE_TEST_SUITE_P(Dialects, CNetlistImportSampleTest, ::testing::ValuesIn(samples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                             std::string name = info.param.dialect;
                             name.erase(std::remove_if(name.begin(), name.end(),
                                                       [](char c) { return !std::isalnum(c); }),
                                        name.end());
                             return name;
                         });

// ---- Detection ----------------------------------------------------------------------------------

namespace {

NetlistFormat Detect(const std::string& text)
{
    CNetlistLines lines(text);
    return CNetlistImport::DetectFormatOfLines(lines);
}

std::string Repeat(const std::string& line, int32_t count)
{
    std::string text;
    for (int32_t i = 0; i < count; ++i)
        text += line;
    return text;
}

} // namespace

TEST(CNetlistDetectionTest, HeadersDecideWithinTheFirst200NonBlankLines)
{
    const std::string tango = Repeat("(\n)\n", 75);
    EXPECT_EQ(Detect(tango + "PROTEL NETLIST 2.0\n"), NETLIST_PROTEL);
    EXPECT_EQ(Detect(Repeat("(\n)\n", 100) + "PROTEL NETLIST 2.0\n"), NETLIST_TANGO);
    // Blank lines and lines of white space do not count toward the 200.
    EXPECT_EQ(Detect(Repeat("(\n \t\n\n)\r\n", 99) + "(\nPROTEL NETLIST 2.0\n"), NETLIST_PROTEL);
    EXPECT_EQ(Detect("[\nmultiSIM\n"), NETLIST_MULTISIM);
    EXPECT_EQ(Detect("[\nMULTISIM\n"), NETLIST_TANGO);
}

TEST(CNetlistDetectionTest, VotesAndTies)
{
    // Ties go to the lower code; no votes give Calay.
    EXPECT_EQ(Detect("/A U1(1)\nNET 'B' U1-2\n"), NETLIST_CALAY);
    EXPECT_EQ(Detect("hello\nworld\n"), NETLIST_CALAY);
    EXPECT_EQ(Detect(""), NETLIST_CALAY);
    EXPECT_EQ(Detect("/A U1(1)\nNET 'B' U1-2\nNET 'C' U1-3\n"), NETLIST_MENTOR);
    EXPECT_EQ(Detect("net 'B' U1-2\n"), NETLIST_MENTOR);
    // A Mentor header needs both quotes; a Calay one a bracket pair.
    EXPECT_EQ(Detect("NET 'A\n/B\n(\n"), NETLIST_TANGO);
    EXPECT_EQ(Detect("/B U1)(\n(\n"), NETLIST_TANGO);
    // A bracket with trailing blanks votes Tango, one after a blank does not.
    EXPECT_EQ(Detect("(   \nNET 'A' U1-1\nNET 'A' U1-2\n ( \n"), NETLIST_MENTOR);
    EXPECT_EQ(Detect("(   \n)\t\nNET 'A' U1-1\n"), NETLIST_TANGO);
}

TEST(CNetlistLinesTest, LineEndsAndNumbers)
{
    CNetlistLines lines(std::string("a\r\nb\n\nc\rd\x1A"));
    std::string line;
    std::vector<std::string> read;
    while (lines.Next(line))
        read.push_back(line + ":" + std::to_string(lines.GetLineNumber()));
    EXPECT_EQ(read, (std::vector<std::string>{"a:1", "b:2", ":3", "c:4", "d:5"}));
    lines.Rewind();
    ASSERT_TRUE(lines.Next(line));
    ASSERT_TRUE(lines.Next(line));
    lines.Unread();
    ASSERT_TRUE(lines.Next(line));
    EXPECT_EQ(line, "b");
    EXPECT_EQ(lines.GetLineNumber(), 2);

    // Lone CRs before a line feed, read again after a step back and from the start.
    CNetlistLines mixed(std::string("x\ry\r\rz\nw\r\n"));
    std::string_view view;
    std::vector<std::string> seen;
    for (int pass = 0; pass < 2; ++pass) {
        while (mixed.Next(view)) {
            seen.emplace_back(view);
            if (seen.size() == 3) {
                mixed.Unread();
                ASSERT_TRUE(mixed.Next(line));
                EXPECT_EQ(line, "");
            }
        }
        mixed.Rewind();
    }
    const std::vector<std::string> once{"x", "y", "", "z", "w"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(seen, twice);

    // Lines of every length from none to far past a pin line's, with every kind of end, the
    // last one without.
    std::string text;
    std::vector<std::string> written;
    for (size_t length = 0; length < 100; ++length) {
        written.push_back(std::string(length, char('a' + length % 26)));
        text += written.back() + (length == 99 ? "" : std::array{"\n", "\r\n", "\r"}[length % 3]);
    }
    CNetlistLines varied(text);
    std::vector<std::string> split;
    while (varied.Next(view))
        split.emplace_back(view);
    EXPECT_EQ(split, written);
    EXPECT_EQ(CNetlistLines(std::string("a\r\nb\r\n\r\nc")).CountLines(), 4);
}

// A UTF-8 file, with or without its byte order mark, reads as the design's Windows-1252; what
// the code page cannot hold reads as '?' and is named with its line, whatever ends the lines.
// A Windows-1252 file (which is no well-formed UTF-8) keeps its bytes.
TEST(CNetlistLinesTest, Utf8IsReadAsTheDesignsCharacterSet)
{
    const auto read = [](const std::string& bytes) {
        CNetlistLines lines(bytes);
        std::string all;
        for (std::string line; lines.Next(line);)
            all += line + "|";
        std::string unplaced;
        for (const CNetlistLines::Unplaced& character : lines.GetUnplaced())
            unplaced += std::to_string(character.line) + ":" +
                        std::to_string(uint32_t(character.codePoint)) + " ";
        return std::tuple{lines.WasUtf8(), all, unplaced, lines.GetUnplacedCount()};
    };
    const std::string text = "(\r\nCTRL\xC3\xA9\r\n\xE2\x82\xAC"
                             "5\rx\n\xE4\xB8\xAD\xF0\x9F\x98\x80\n)";
    const auto expected = std::tuple{true,
                                     std::string("(|CTRL\xE9|\x80"
                                                 "5|x|??|)|"),
                                     std::string("5:20013 5:128512 "), int64_t(2)};
    EXPECT_EQ(read(text), expected);
    EXPECT_EQ(read("\xEF\xBB\xBF" + text), expected);
    // Windows-1252 bytes: kept, also after a byte order mark they do not match (named then).
    EXPECT_EQ(read("4\xB5"
                   "7\r\nCTRL\xE9\r\n"),
              (std::tuple{false,
                          std::string("4\xB5"
                                      "7|CTRL\xE9|"),
                          std::string(), int64_t(0)}));
    EXPECT_EQ(read("\xEF\xBB\xBFR1\n4\xB5"
                   "7\n"),
              (std::tuple{true, std::string("R1|4?7|"), std::string("2:65533 "), int64_t(1)}));
    // Only the first characters are kept to be named; the count goes on.
    std::string many;
    for (int i = 0; i < 30; ++i)
        many += "\xE4\xB8\xAD\n";
    const auto [utf8, all, unplaced, count] = read(many);
    EXPECT_EQ(count, 30);
    EXPECT_EQ(std::count(unplaced.begin(), unplaced.end(), ' '), 20);
    EXPECT_EQ(unplaced.substr(0, 16), "1:20013 2:20013 ");
}

// Names keep the first number given to them, through every growth of the index.
TEST(CNameIndexTest, FirstNumberStaysThroughGrowth)
{
    CNameIndex index;
    for (int32_t i = 0; i < 5000; ++i)
        ASSERT_TRUE(index.Add("U" + std::to_string(i), i));
    EXPECT_FALSE(index.Add("U17", 99));
    EXPECT_TRUE(index.Add("", 5000));
    EXPECT_EQ(index.Size(), 5001u);
    for (int32_t i = 0; i < 5000; ++i)
        ASSERT_EQ(index.Find("U" + std::to_string(i)), i);
    EXPECT_EQ(index.Find(""), 5000);
    EXPECT_EQ(index.Find("U5000"), -1);
    EXPECT_EQ(index.Find("u17"), -1);
    index.Clear();
    EXPECT_EQ(index.Find("U17"), -1);
    EXPECT_TRUE(index.Add("U17", 3));
    EXPECT_EQ(index.Find("U17"), 3);
}

// ---- Failures -----------------------------------------------------------------------------------

TEST_F(CNetlistTest, AReportThatCannotBeWrittenStopsTheRunBeforeAnyChange)
{
    const std::filesystem::path net = Write("demo.net", "/GND R1(1)\n");
    Write("demo.cmp", "10K                 R1                  0805\n");
    std::filesystem::create_directories(folder / "DEMO IMPORT NETLIST.TXT");
    CNetlistImport import;
    EXPECT_FALSE(import.Run(doc->Link(), net));
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("DEMO IMPORT NETLIST.TXT"), std::string::npos);
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());
    EXPECT_EQ(doc->History().GetUndoCount(), 0);
}

TEST_F(CNetlistTest, AMissingComponentListIsNamedAndNothingIsReportedDone)
{
    const std::filesystem::path net = Write("demo.net", "/GND R1(1)\n");
    CNetlistImport import;
    EXPECT_FALSE(import.Run(doc->Link(), net));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].text,
              "'CMP' File not found\n" + (folder / "demo.CMP").string());
    EXPECT_EQ(services.messages.Shown()[0].caption, "Load CMP File");
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());
    const std::vector<std::string> lines = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
    EXPECT_TRUE(Contains(lines, "ERROR: Load Componentlist: " + (folder / "demo.CMP").string()));
}

TEST_F(CNetlistTest, AMissingNetFileStopsBeforeTheComponentList)
{
    Write("demo.cmp", "10K                 R1                  0805\n");
    CNetlistImport import;
    EXPECT_FALSE(import.Run(doc->Link(), folder / "demo.net"));
    EXPECT_EQ(
        services.messages.ShownTexts(),
        (std::vector<std::string>{"'NET' File not found\n" + (folder / "demo.NET").string()}));
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
}

// A net file that is there but cannot be read is not reported as missing.
TEST_F(CNetlistTest, ANetFileThatCannotBeReadSaysWhy)
{
    Write("demo.cmp", "10K                 R1                  0805\n");
    std::filesystem::create_directories(folder / "demo.NET");
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), folder / "demo.net"));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].text,
              "Cannot open \"" + (folder / "demo.NET").string() + "\": it is not a regular file.");
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
}

TEST_F(CNetlistTest, UnreadableLinesAndPinErrorsAreReportedWithTheirLines)
{
    const std::filesystem::path net = Write("demo.net", "/GND R1(2) R9(1) R2(7) junk\n"
                                                        "/N2 R1(0)\n"
                                                        "/N3 R1(2)\n"
                                                        "/0 R2(1)\n");
    Write("demo.cmp", "10K                 R1                  0805\n"
                      "4k7                 R2                  0805\n"
                      "short line\n"
                      "1K                  R3                  NOSUCH\n");
    CNetlistImport import;
    EXPECT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(import.GetErrorFlags(), CNetlistImport::errorUnknownShape | CNetlistImport::errorPin |
                                          CNetlistImport::errorUnreadableLine);
    const std::vector<std::string> lines = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
    EXPECT_TRUE(Contains(lines, "Unreadable line 3: short line"));
    EXPECT_TRUE(Contains(lines, "Shape not Found: R3, 1K, NOSUCH"));
    EXPECT_TRUE(Contains(lines, "Netlist Error Net: GND  Comp: R9  Pin: 1"));
    EXPECT_TRUE(Contains(lines, "Netlist Error Net: GND  Comp: R2  Pin: 7"));
    EXPECT_TRUE(Contains(lines, "Unreadable line 1: JUNK"));
    EXPECT_TRUE(Contains(lines, "Netlist Error Net: N2  Comp: R1  Pin: 0"));
    EXPECT_TRUE(Contains(lines, "Warning: Pin in two Nets: R1-2  Nets: GND, N3  Line: 3"));
    // The last net wins; a net named 0 is renamed after a warning.
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"", "N3"}));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"NET00000", ""}));
    EXPECT_EQ(
        services.messages.ShownTexts(),
        (std::vector<std::string>{"Warning! NET 0 is Reserved by Wevra. Changed to NET00000"}));

    // Loaded again, net 0 is the design's NET00000 while it keeps a pad of it; put on other pads
    // only, it would join a net of its own to them.
    Write("demo.cmp", "10K                 R1                  0805\n"
                      "4k7                 R2                  0805\n");
    for (const bool samePad : {false, true}) {
        SCOPED_TRACE(samePad);
        Write("demo.net", samePad ? "/0 R1(1) R2(1)\n/N3 R1(2)\n" : "/0 R1(1)\n/N3 R1(2)\n");
        services.messages.ClearShown();
        CNetlistImport again;
        EXPECT_EQ(again.Run(doc->Link(), net), samePad);
        ASSERT_EQ(services.messages.Shown().size(), 1u);
        if (samePad) {
            EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"NET00000", "N3"}));
            continue;
        }
        EXPECT_NE(services.messages.Shown()[0].text.find(
                      "line 1 of " + net.string() +
                      ": net 0 would become net NET00000, a net of the design that holds other "
                      "pads (R2-1)"),
                  std::string::npos)
            << services.messages.Shown()[0].text;
        EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"", "N3"}));
        EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"NET00000", ""}));
    }
}

// A reference listed twice in the component list of a first load is asked about before the
// board gets any part: No (the default) changes nothing and shows the report that names both
// lines, as the question says; Yes places the first record only.
TEST_F(CNetlistTest, AReferenceListedTwiceOnAFirstLoadAsksAndNoShowsTheReport)
{
    const std::filesystem::path net = Write("demo.net", "/GND R1(2) R2(2)\r\n");
    Write("demo.cmp", "10K                 R1                  0805\r\n"
                      "4k7                 R2                  0805\r\n"
                      "1K                  R1                  DIP4\r\n");
    CNetlistImport declined;
    EXPECT_FALSE(declined.Run(doc->Link(), net));
    const std::string asked = ExpectStoppedAtTheQuestion(declined);
    EXPECT_NE(asked.find("R1 (lines 1 and 3)"), std::string::npos) << asked;
    EXPECT_NE(asked.find("only the first record is placed"), std::string::npos);
    const std::filesystem::path report = folder / "DEMO IMPORT NETLIST.TXT";
    EXPECT_EQ(services.launcher.openedTextFiles, std::vector<std::filesystem::path>{report});
    const std::vector<std::string> lines = Lines(ReadFile(report));
    EXPECT_TRUE(Contains(lines, "Warning: Reference listed twice: R1, 10K, 0805 (line 1) and R1, "
                                "1K, DIP4 (line 3)"));
    EXPECT_TRUE(Contains(lines, "Import Netlist cancelled by the user: nothing was changed"));

    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2"}));
    EXPECT_EQ(doc->Design().GetComponents().GetShapeName(0), "0805");
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"", "GND"}));
}

// Pads name their nets in 16 bits: a netlist of more nets than that keeps the ones that fit
// and says which it left out, instead of making nets no pin can join.
TEST_F(CNetlistTest, NetsBeyondWhatAPadCanNameAreLeftOutAndNamed)
{
    CNetArray& nets = doc->Design().GetNets();
    while (nets.GetCount() < 65535)
        nets.AddNet("OLD" + std::to_string(nets.GetCount()));
    const std::filesystem::path net =
        Write("demo.net", "/LAST R1(1)\n/OVER1 R1(2) R2(1)\n/OLD7 R2(2)\n/OVER2 R2(1)\n");
    Write("demo.cmp", "10K                 R1                  0805\n"
                      "4k7                 R2                  0805\n");
    CNetlistImport import;
    EXPECT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(nets.GetCount(), 65536);
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"LAST", ""}));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"", "OLD7"}));
    EXPECT_EQ(import.GetErrorFlags(), CNetlistImport::errorPin);

    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("net OVER1 and the new nets after it"),
              std::string::npos);
    const std::vector<std::string> lines = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
    EXPECT_TRUE(Contains(lines, "Netlist Error: Net left out, a design holds 65535 nets: OVER1"));
    EXPECT_TRUE(Contains(lines, "Netlist Error: Net left out, a design holds 65535 nets: OVER2"));
    EXPECT_FALSE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("Netlist Error Net:");
    }));
}

TEST_F(CNetlistTest, MultiSimHeadersFollowingHeadersAndUnclosedPins)
{
    // Pins before the first header have no net to go to, and a header cut at its blank would
    // join nets: the file is refused.
    std::filesystem::path net = Write("demo.net", "multiSIM\n"
                                                  "R1-1,\n"
                                                  "*EMPTY\n"
                                                  "*  SIG   more\n"
                                                  "R1-2,R2-1\n");
    Write("demo.plc", "R1,10K,0805,;\nR2,4k7,0805,;\n");
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    std::vector<std::string> refused = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
    EXPECT_TRUE(Contains(refused, "Netlist Error: line 2 of " + net.string() +
                                      " refused, a pin before the first net header: R1-1,"));
    EXPECT_TRUE(Contains(refused, "Netlist Error: line 4 of " + net.string() +
                                      " refused, a net header holds more than a name: *  SIG   "
                                      "more (a net header: the net's pins are left out)"));

    net = Write("demo.net", "multiSIM\n"
                            "*EMPTY\n"
                            "*  SIG   \n"
                            "R1-2,R2-1\n");
    CNetlistImport import;
    EXPECT_TRUE(import.Run(doc->Link(), net));
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"", "SIG"}));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"", ""}));
    const std::vector<std::string> lines = Lines(ReadFile(folder / "DEMO IMPORT NETLIST.TXT"));
    EXPECT_TRUE(Contains(lines, "Add Net: EMPTY"));
    EXPECT_TRUE(Contains(lines, "Unreadable line 4: R2-1"));
}

namespace {

// Everything a reader finds, one text per finding.
class CRecordingSink : public CNetReaderSink {
public:
    void OnNet(const std::string& name, int32_t line) override
    {
        found.push_back(std::to_string(line) + " net " + name);
    }
    void OnPin(const std::string& reference, const std::string& pin, int32_t line) override
    {
        found.push_back(std::to_string(line) + " pin " + reference + "/" + pin);
    }
    void OnUnreadable(int32_t line, const std::string& text) override
    {
        found.push_back(std::to_string(line) + " bad " + text);
    }

    std::vector<std::string> found;
};

std::vector<std::string> ReadNets(NetlistFormat format, const std::string& text)
{
    CNetlistLines lines(text);
    CRecordingSink sink;
    CNetReader(format, lines, sink).Read();
    return sink.found;
}

std::string WithCrLf(const std::string& text)
{
    std::string result;
    for (char c : text)
        result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

} // namespace

TEST(CNetReaderTest, LineEndsDoNotChangeWhatIsRead)
{
    const std::pair<NetlistFormat, std::string> files[] = {
        {NETLIST_CALAY, "/A R1(1)\n  R2(2)\n"},
        {NETLIST_MENTOR, "NET 'A' R1-1 R2-2\n"},
        {NETLIST_MULTISIM, "*A\nR1-1,R2-2,\n"},
        {NETLIST_TANGO, "(\nA\nR1-1\nR2,2\n)\n"},
    };
    for (const auto& [format, text] : files) {
        const std::vector<std::string> lf = ReadNets(format, text);
        EXPECT_EQ(ReadNets(format, WithCrLf(text)), lf) << text;
        EXPECT_EQ(lf.size(), 3u) << text;
        EXPECT_EQ(lf.back().substr(lf.back().find(' ')), " pin R2/2") << text;
    }
}

TEST(CNetReaderTest, LongNamesAndOddSpacing)
{
    const std::string longName(900, 'N');
    EXPECT_EQ(ReadNets(NETLIST_MENTOR, "NET '" + longName + "'   U1-1\tU2-3  \n"),
              (std::vector<std::string>{"1 net " + longName, "1 pin U1/1", "1 pin U2/3"}));
    // No name is that long: a line holding a longer one is refused, with the name made visible,
    // and the pins of a net whose header was refused go nowhere.
    EXPECT_EQ(ReadNets(NETLIST_CALAY, "/A U1(1)\n/" + std::string(1200, 'N') +
                                          " U2(1)\n U3(1)\n"
                                          "/B U4(1)\n"),
              (std::vector<std::string>{
                  "1 net A", "1 pin U1/1",
                  "2 bad a name longer than 1000 bytes (1200 bytes): " + std::string(80, 'N') +
                      "... (a net header: the net's pins are left out)",
                  "4 net B", "4 pin U4/1"}));
    EXPECT_EQ(ReadNets(NETLIST_CALAY, "/A U1 (1), U2(2);\n"),
              (std::vector<std::string>{"1 net A", "1 pin U1/1", "1 pin U2/2"}));
    EXPECT_EQ(ReadNets(NETLIST_MENTOR, "NET A U1-1\nNET 'B' U1 U2-2\n"),
              (std::vector<std::string>{"1 bad NET A U1-1", "2 net B", "2 bad U1", "2 pin U2/2"}));
    // A block left open ends where the next one starts.
    EXPECT_EQ(ReadNets(NETLIST_PROTEL, "(\nA\nu1-1\n(\nB\nU2-2\n)\n"),
              (std::vector<std::string>{"2 net A", "3 pin U1/1", "5 net B", "6 pin U2/2"}));
}

// The Mentor and MultiSim readers refuse what no name is (a line too long, control bytes) as
// the others do: a refused Mentor line takes its pins with it, a refused MultiSim header the
// pins up to the next header, a refused MultiSim pin line its own pins only.
TEST(CNetReaderTest, MentorAndMultiSimRefuseLinesNoNameHolds)
{
    const std::string longName(1100, 'N');
    const std::string tooLong = "a name longer than 1000 bytes (";
    constexpr char withNul[] = "NET 'B' U3\0-1 U4-1\n";
    EXPECT_EQ(ReadNets(NETLIST_MENTOR, "NET 'A' U1-1\nNET '" + longName + "' U2-1\n" +
                                           std::string(withNul, sizeof withNul - 1) +
                                           "NET 'C' U5-1\n"),
              (std::vector<std::string>{
                  "1 net A", "1 pin U1/1",
                  "2 bad " + tooLong + "1100 bytes): " + std::string(80, 'N') +
                      "... (a net header: the net's pins are left out)",
                  "3 bad it holds control bytes: NET 'B' U3<00>-1 U4-1 (a net header: the net's "
                  "pins are left out)",
                  "4 net C", "4 pin U5/1"}));
    EXPECT_EQ(ReadNets(NETLIST_MULTISIM, "multiSIM\n*A\nU1-1,\n*" + longName +
                                             "\nU2-1,\nU3-1,\n*B\nU4\x01-1,U5-1,\nU6-1,\n"),
              (std::vector<std::string>{
                  "2 net A", "3 pin U1/1",
                  "4 bad " + tooLong + "1100 bytes): " + std::string(80, 'N') +
                      "... (a net header: the net's pins are left out)",
                  "7 net B", "8 bad it holds control bytes: U4<01>-1,U5-1,", "9 pin U6/1"}));
}

// A run long enough shows its progress to the end; Cancel, wherever it comes (among the
// components, among the nets, at the last net), leaves the design, its undo steps and its
// modified flag as they were, for an import and for a forward annotation alike.
TEST_F(CNetlistTest, ALongRunShowsItsProgressAndCancelChangesNothing)
{
    const auto netlist = [](int32_t count, const std::string& type) {
        std::string text;
        for (int32_t i = 1; i <= count; ++i)
            text += "[\nR" + std::to_string(i) + "\n0805\n" + type + "\n]\n";
        for (int32_t i = 1; i <= count; ++i)
            text += "(\nN" + std::to_string(i) + "\nR" + std::to_string(i) + "-1\nR" +
                    std::to_string(i % count + 1) + "-2\n)\n";
        return text;
    };
    const auto cancelledRuns = [&](const std::filesystem::path& net) {
        for (const int32_t steps : {1, 50, 100}) {
            SCOPED_TRACE(steps);
            CArchive before;
            doc->Serialize(before);
            const int32_t undoSteps = doc->History().GetUndoCount();
            const bool modified = doc->IsModified();
            services.progress.cancelAfterSteps = steps;
            CNetlistImport import;
            import.SetProgressDelay(std::chrono::milliseconds(0));
            EXPECT_FALSE(import.Run(doc->Link(), net));
            EXPECT_TRUE(import.WasCancelled());
            EXPECT_FALSE(import.ChangedDesign());
            CArchive after;
            doc->Serialize(after);
            EXPECT_EQ(after.TakeBuffer(), before.TakeBuffer());
            EXPECT_EQ(doc->History().GetUndoCount(), undoSteps);
            EXPECT_EQ(doc->IsModified(), modified);
        }
        services.progress.cancelAfterSteps = -1;
    };

    const std::filesystem::path net = Write("long.net", netlist(40, "10K"));
    cancelledRuns(net);
    EXPECT_TRUE(References().empty());
    CNetlistImport import;
    import.SetProgressDelay(std::chrono::milliseconds(0));
    EXPECT_TRUE(import.Run(doc->Link(), net));
    EXPECT_FALSE(import.WasCancelled());
    const CScriptedProgressService::Window& window = services.progress.Windows().back();
    EXPECT_EQ(window.title, "Import Netlist");
    EXPECT_EQ(window.position, window.upper);
    EXPECT_FALSE(window.open);
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 40);
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"N2", "N1"}));

    const size_t windows = services.progress.Windows().size();
    Write("long.net", netlist(40, "22K"));
    cancelledRuns(net);
    EXPECT_EQ(doc->Design().GetComponents().GetType(0), "10K");
    // A short run opens no window.
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(services.progress.Windows().size(), windows + 3);
    EXPECT_EQ(doc->Design().GetComponents().GetType(0), "22K");
}

// ---- Forward annotation -------------------------------------------------------------------------

namespace {

// A board of R1 (10K, 0805), R2 (4k7, 0805, delete lock), R3 (1K, 0805), U1 (LM358, DIP4,
// replace-shape lock) and U2 (LM358, DIP4, type lock), placed where the user put them.
class CForwardAnnotateTest : public CNetlistTest {
protected:
    void SetUp() override
    {
        CNetlistTest::SetUp();
        Add("R1", "10K", "0805", 0);
        Add("R2", "4k7", "0805", ComponentFlags::lockDelete);
        Add("R3", "1K", "0805", 0);
        Add("U1", "LM358", "DIP4", ComponentFlags::lockReplaceShape);
        Add("U2", "LM358", "DIP4", ComponentFlags::lockType);
        CComponentArray& components = doc->Design().GetComponents();
        components.SetPosition(0, 500000, 600000);
        components.ResetPadArrays();
    }

    void Add(const std::string& reference, const std::string& type, const std::string& shape,
             uint32_t locks)
    {
        CComponentArray& components = doc->Design().GetComponents();
        ASSERT_TRUE(components.AddComponent(
            reference, type, doc->Design().GetShapeCache().FindShape(shape), 0, 0, 0, false));
        components.SetFlag(components.GetCount() - 1, locks, true);
    }

    std::vector<std::string> ReportLines() const
    {
        return Lines(ReadFile(folder / "DEMO FORWARD ANNOTATE.TXT"));
    }
};

const char forwardList[] = "R1                  PART 22K                 0805\n"
                           "U1                  PART LM324               SOT3\n"
                           "U2                  PART LM324               SOT3\n"
                           "C1                  PART 4\xB5"
                           "7                 0805\n"
                           "X1                  PART FOO                 NOSUCH\n";

// The board's parts but R2.
const char keptParts[] = "R1                  PART 10K                 0805\n"
                         "R3                  PART 1K                  0805\n"
                         "U1                  PART LM358               DIP4\n"
                         "U2                  PART LM358               DIP4\n";

} // namespace

TEST_F(CForwardAnnotateTest, ChangesFollowTheLocks)
{
    const std::filesystem::path net =
        Write("demo.net", "NET 'GND' R1-2 C1-2 U2-3\nNET 'VCC' R1-1 U1-1 C1-1\n");
    Write("demo.cmp", forwardList);
    // A routed net through R3, which goes: its tracks stay and lose the pad.
    {
        CComponentArray& components = doc->Design().GetComponents();
        CNetArray& nets = doc->Design().GetNets();
        const int32_t old = nets.AddNet("OLD");
        for (const auto& [reference, pad] :
             {std::pair{"R3", 0}, std::pair{"R1", 0}, std::pair{"R1", 1}, std::pair{"U1", 0}})
            ASSERT_TRUE(components.GetComponent(components.FindByReference(reference))
                            ->SetPadNet(pad, old, nets.GetCount()));
        ASSERT_TRUE(nets.GetNet(old)->AppendSegment(0, 0, 1000, 0, LAYER_TOP, 0, false));
    }
    CNetlistImport import;
    EXPECT_TRUE(import.Run(doc->Link(), net));

    // R3 is gone, R2 stays for its lock, C1 is new, X1 has no shape.
    EXPECT_EQ(References(), (std::vector<std::string>{"C1", "R1", "R2", "U1", "U2"}));
    const CComponentArray& components = doc->Design().GetComponents();
    EXPECT_EQ(components.GetType(1), "22K");
    EXPECT_EQ(components.GetPosition(1), CPoint(500000, 600000));
    EXPECT_EQ(components.GetShapeName(3), "DIP4");
    EXPECT_EQ(components.GetType(3), "LM324");
    EXPECT_EQ(components.GetShapeName(4), "SOT3");
    EXPECT_EQ(components.GetType(4), "LM358");
    EXPECT_TRUE(components.TestFlag(0, ComponentFlags::fromNetlist));
    EXPECT_EQ(PadNets("C1"), (std::vector<std::string>{"VCC", "GND"}));
    EXPECT_EQ(PadNets("U2"), (std::vector<std::string>{"", "", "GND"}));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"", ""}));

    const std::vector<std::string> lines = ReportLines();
    EXPECT_EQ(lines[0], "Forward Annotate Info: DEMO.PCB");
    const std::vector<std::string> expected = {
        "Delete Component: R2, 4k7, 0805",
        "Warning: Delete Ignored by properties: R2",
        "Delete Component: R3, 1K, 0805",
        "Warning: Tracks of net OLD lost their pads: R3-1",
        "Replace Typename: R1, 22K, 0805",
        "Replace Shape: U1, LM324, SOT3",
        "Warning: Replace Shape Ignored by properties: U1",
        "Replace Typename: U1, LM324, SOT3",
        "Replace Shape: U2, LM324, SOT3",
        "Replace Typename: U2, LM324, SOT3",
        "Warning: Replace Typename Ignored by properties: U2",
        "Add    Component: C1, 4\xB5"
        "7, 0805",
        // The stroke font draws the micro sign as a u: the board shows another value.
        "Warning: Type of C1 \"4\xB5"
        "7\": \"\xB5\" as \"u\"",
        "Add    Component: X1, FOO, NOSUCH",
        "Warning: Shape not Found: X1, FOO, NOSUCH",
    };
    std::vector<std::string> items;
    for (const std::string& line : lines) {
        if (line.rfind("Delete", 0) == 0 || line.rfind("Warning", 0) == 0 ||
            line.rfind("Replace", 0) == 0 || line.rfind("Add    ", 0) == 0)
            items.push_back(line);
    }
    EXPECT_EQ(items, expected);
    EXPECT_EQ(services.launcher.openedTextFiles.size(), 1u);
}

TEST_F(CForwardAnnotateTest, PinErrorsMakeTheRunFalse)
{
    const std::filesystem::path net = Write("demo.net", "NET 'GND' R1-2 R3-1\n");
    Write("demo.cmp", forwardList);
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(services.launcher.openedTextFiles.size(), 1u);
}

TEST_F(CForwardAnnotateTest, AMissingOrEmptyFileNeverClearsTheBoard)
{
    const std::vector<std::string> before = References();
    Write("demo.cmp", forwardList);
    // No ".NET": detection fails, nothing is deleted.
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), folder / "demo.net"));
    EXPECT_EQ(References(), before);
    EXPECT_TRUE(Contains(ReportLines(), "ERROR: Open Netlist: " + (folder / "demo.NET").string()));

    // A component list that names nothing.
    Write("demo.net", "NET 'GND' R1-2\n");
    Write("demo.cmp", "# nothing here\n");
    services.messages.ClearShown();
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), folder / "demo.net"));
    EXPECT_EQ(References(), before);
    EXPECT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_TRUE(services.launcher.openedTextFiles.empty());
}

// A netlist cut short looks like a board whose pads lost their nets; both ways in, the design
// must come out byte for byte as it went in.
TEST_F(CForwardAnnotateTest, ANetlistCutInsideABlockIsRefusedAndChangesNothing)
{
    const std::string whole = "[\nR1\n0805\n10K\n]\n[\nR2\n0805\n4k7\n]\n"
                              "(\nGND\nR1-2\nR2-1\n)\n(\nVCC\nR1-1\nR2-2\n)\n";
    struct Cut {
        size_t length;
        int32_t openLine;
    };
    // Inside the first net block; after its last pin with no ")"; inside a component block.
    for (const Cut cut :
         {Cut{whole.find("R2-1"), 11}, Cut{whole.size() - 2, 16}, Cut{whole.find("4k7"), 6}}) {
        SCOPED_TRACE(whole.substr(0, cut.length));
        const std::filesystem::path net = Write("cut.net", whole.substr(0, cut.length));
        for (const bool emptyBoard : {false, true}) {
            SCOPED_TRACE(emptyBoard ? "import" : "forward annotation");
            CWevraDoc* target = doc.get();
            CWevraDoc fresh;
            if (emptyBoard)
                target = &fresh;
            CArchive before;
            target->Serialize(before);
            services.messages.ClearShown();
            CNetlistImport import;
            EXPECT_FALSE(import.Run(target->Link(), net));
            EXPECT_FALSE(import.ChangedDesign());
            CArchive after;
            target->Serialize(after);
            EXPECT_EQ(after.TakeBuffer(), before.TakeBuffer());
            ASSERT_EQ(services.messages.Shown().size(), 1u);
            const std::string& text = services.messages.Shown()[0].text;
            EXPECT_NE(text.find("line " + std::to_string(cut.openLine)), std::string::npos) << text;
            EXPECT_NE(text.find(net.string()), std::string::npos) << text;
        }
    }
    // The whole file goes in (it takes most pads' nets, which the user allows).
    Write("cut.net", whole);
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), folder / "cut.net"));
    EXPECT_EQ(PadNets("R2"), (std::vector<std::string>{"GND", "VCC"}));
}

// A complete netlist may still remove most of a board (a wrong or older file): the user is asked
// with the counts, and No leaves the board as it was.
TEST_F(CForwardAnnotateTest, RemovingMoreThanAQuarterOfTheBoardAsksFirst)
{
    const std::filesystem::path net =
        Write("demo.net", "NET 'GND' R1-2 R3-2 U1-4 U2-4\nNET 'VCC' R1-1 R3-1 U1-1 U2-1\n");
    Write("demo.cmp", keptParts);
    ASSERT_TRUE(CNetlistImport().Run(doc->Link(), net));
    // Deleting R2 alone was no question (and its lock kept it).
    EXPECT_TRUE(services.messages.Shown().empty());
    const std::vector<std::string> board = References();

    // A list naming R1 alone: U1, U2 and R3 would go (R2 is locked), 3 of 5.
    Write("demo.net", "NET 'GND' R1-2\nNET 'VCC' R1-1\n");
    Write("demo.cmp", "R1                  PART 10K                 0805\n");
    // Enter (no answer scripted) is No.
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), net));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO_DEFAULTNO);
    EXPECT_EQ(
        services.messages.Shown()[0].text.rfind(
            "3 of 5 components would be deleted, 6 of 8 pads in nets would lose their net.", 0),
        0u)
        << services.messages.Shown()[0].text;
    EXPECT_EQ(References(), board);
    EXPECT_EQ(PadNets("U1"), (std::vector<std::string>{"VCC", "", "", "GND"}));

    // Every part stays but the nets of three of them are gone: asked too; Yes goes on.
    Write("demo.net", "NET 'GND' R1-2\nNET 'VCC' R1-1\n");
    Write("demo.cmp", keptParts);
    services.messages.ClearShown();
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), net));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(
        services.messages.Shown()[0].text.rfind(
            "0 of 5 components would be deleted, 6 of 8 pads in nets would lose their net.", 0),
        0u);
    EXPECT_EQ(PadNets("U1"), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"VCC", "GND"}));
}

// A pad whose net has a track across it, with no point of the track on the pad, or a filled
// plane over it, is as much joined to that copper as one a track ends on: moving it to another
// net is asked about (No by default, nothing changes). A track of the net that passes beside the
// pad is no question.
TEST_F(CForwardAnnotateTest, APadATrackOfItsNetRunsAcrossIsAskedAboutBeforeItLeaves)
{
    const std::filesystem::path net =
        Write("demo.net", "NET 'GND' R1-1 R1-2 R3-2 U1-4\nNET 'VCC' R3-1 U1-1 U2-1\n");
    Write("demo.cmp", keptParts);
    ASSERT_TRUE(CNetlistImport().Run(doc->Link(), net));
    ASSERT_TRUE(services.messages.Shown().empty());
    // R1's pads lie at (499000, 600000) and (501000, 600000), 1,200 across; the track runs
    // over both, its points 9,000 away; the second track passes 2,000 above them.
    CNetArray& nets = doc->Design().GetNets();
    CNet& ground = *nets.GetNet(nets.FindNet("GND"));
    const int32_t pen = ground.AddPen(250);
    ASSERT_GE(pen, 1);
    ASSERT_TRUE(ground.AppendSegment(490000, 600000, 510000, 600000, LAYER_TOP, pen, false));
    const int32_t undoSteps = doc->History().GetUndoCount();
    doc->SetModifiedFlag(false);

    Write("demo.net", "NET 'GND' R1-1 R3-2 U1-4\nNET 'VCC' R1-2 R3-1 U1-1 U2-1\n");
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), net));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO_DEFAULTNO);
    EXPECT_NE(services.messages.Shown()[0].text.find("R1-2 (GND, to net VCC)"), std::string::npos)
        << services.messages.Shown()[0].text;
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"GND", "GND"}));
    EXPECT_EQ(doc->History().GetUndoCount(), undoSteps);
    EXPECT_FALSE(doc->IsModified());

    ground.ClearVertices();
    ASSERT_TRUE(ground.AppendSegment(490000, 602000, 510000, 602000, LAYER_TOP, pen, false));
    services.messages.ClearShown();
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"GND", "VCC"}));

    // A filled plane of the net on the bottom joins R1-1 as much as a track would.
    auto plane = std::make_unique<CPour>(nets.FindNet("GND"), LAYER_BOTTOM, 485000, 585000,
                                         CPour::styleSolid, 2015, 6047, 45000);
    for (const CPoint corner : {CPoint(480000, 580000), CPoint(520000, 580000),
                                CPoint(520000, 620000), CPoint(480000, 620000)})
        plane->GetOutline().SetAtGrow(plane->GetOutline().GetSize(), corner.x, corner.y);
    doc->Design().GetPlanes().push_back(std::move(plane));
    doc->Planes().RefillAll();
    ASSERT_TRUE(doc->Design().GetPlanes()[0]->HasFill());
    doc->SetModifiedFlag(false);
    Write("demo.net", "NET 'GND' R3-2 U1-4\nNET 'VCC' R1-1 R1-2 R3-1 U1-1 U2-1\n");
    services.messages.ClearShown();
    EXPECT_FALSE(CNetlistImport().Run(doc->Link(), net));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("R1-1 (GND, to net VCC)"), std::string::npos)
        << services.messages.Shown()[0].text;
    EXPECT_EQ(PadNets("R1"), (std::vector<std::string>{"GND", "VCC"}));
    EXPECT_FALSE(doc->IsModified());
}

// What a netlist cannot mean is named before it reaches the design: a reference listed twice
// (the second record would rename the first one's part and leave a part it stands in place of
// to be deleted) is asked about, No by default, and No shows the report that names them; lines
// too long for a name or holding control bytes make the netlist damaged: each is named with the
// file and line, shown so that a report can hold them, and nothing changes.
TEST_F(CForwardAnnotateTest, DoubtfulNetlistLinesAreNamedBeforeTheyChangeTheBoard)
{
    constexpr char vccBlock[] = "(\nVCC\nR2-1\nR2-2\nU1-1\nU1-2\n)\n";
    const std::string blocks = "[\nR1\n0805\n10K\n]\n"
                               "[\nR2\n0805\n4k7\n]\n"
                               "[\nR1\n0805\n100n\n]\n"
                               "[\nU1\nDIP4\nLM358\n]\n"
                               "[\nU2\nDIP4\nLM358\n]\n"
                               "(\nGND\nR1-2\nU1-4\n)\n" +
                               std::string(vccBlock);
    const std::filesystem::path net = Write("demo.net", blocks);
    CArchive before;
    doc->Serialize(before);
    const std::string twice =
        "Warning: Reference listed twice: R1, 10K, 0805 (line 2) and R1, 100n, 0805 (line 12)";
    CNetlistImport refused;
    EXPECT_FALSE(refused.Run(doc->Link(), net));
    EXPECT_FALSE(refused.ChangedDesign());
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_EQ(services.messages.Shown()[0].buttons, MB_YESNO_DEFAULTNO);
    EXPECT_NE(services.messages.Shown()[0].text.find("R1 (lines 2 and 12)"), std::string::npos)
        << services.messages.Shown()[0].text;
    EXPECT_TRUE(Contains(ReportLines(), twice));
    EXPECT_EQ(services.launcher.openedTextFiles,
              std::vector<std::filesystem::path>{folder / "DEMO FORWARD ANNOTATE.TXT"});
    CArchive after;
    doc->Serialize(after);
    EXPECT_EQ(after.TakeBuffer(), before.TakeBuffer());

    // Yes goes on as the list says: R3 goes, the second R1 record renames the first.
    services.messages.QueueAnswer(IDYES);
    EXPECT_TRUE(CNetlistImport().Run(doc->Link(), net));
    EXPECT_EQ(References(), (std::vector<std::string>{"R1", "R2", "U1", "U2"}));
    EXPECT_TRUE(Contains(ReportLines(), twice));
    EXPECT_TRUE(Contains(ReportLines(), "Replace Typename: R1, 100n, 0805"));

    // A net name of 5000 bytes, a NUL inside a pin, a value line of 2000 bytes, a pin that
    // names no part.
    const std::string hostile = "[\nR1\n0805\n10K\n]\n"
                                "[\nR2\n0805\n4k7\n]\n"
                                "[\nU1\nDIP4\nLM358\n]\n"
                                "[\nU2\nDIP4\n" +
                                std::string(2000, 'V') +
                                "\n]\n"
                                "(\nGND\nR1-2\n" +
                                std::string("U1\0-4", 5) +
                                "\nR9-1\n)\n"
                                "(\n" +
                                std::string(5000, 'N') + "\nR1-1\n)\n" + vccBlock;
    Write("demo.net", hostile);
    services.messages.ClearShown();
    services.launcher.openedTextFiles.clear();
    CArchive beforeHostile;
    doc->Serialize(beforeHostile);
    const int32_t undoSteps = doc->History().GetUndoCount();
    // A refused line is a damaged file: nothing is changed, the first such line is named, and
    // the report, which lists them all, is shown.
    CNetlistImport import;
    EXPECT_FALSE(import.Run(doc->Link(), net));
    EXPECT_FALSE(import.ChangedDesign());
    CArchive afterHostile;
    doc->Serialize(afterHostile);
    EXPECT_EQ(afterHostile.TakeBuffer(), beforeHostile.TakeBuffer());
    EXPECT_EQ(doc->History().GetUndoCount(), undoSteps);
    const std::string file = net.string();
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string& told = services.messages.Shown()[0].text;
    EXPECT_EQ(told.rfind("Damaged netlist, nothing was changed", 0), 0u) << told;
    EXPECT_NE(told.find("line 19 of " + file + ": a name longer than 1000 bytes (2000 bytes)"),
              std::string::npos)
        << told;
    const std::filesystem::path reportPath = folder / "DEMO FORWARD ANNOTATE.TXT";
    EXPECT_EQ(services.launcher.openedTextFiles, std::vector<std::filesystem::path>{reportPath});
    const std::string report = ReadFile(reportPath);
    EXPECT_EQ(report.find('\0'), std::string::npos);
    const std::vector<std::string> lines = Lines(report);
    EXPECT_TRUE(Contains(lines, "Netlist Error: line 19 of " + file +
                                    " refused, a name longer than 1000 bytes (2000 bytes): " +
                                    std::string(80, 'V') + "..."));
    EXPECT_TRUE(Contains(lines, "Netlist Error: line 24 of " + file +
                                    " refused, it holds control bytes: U1<00>-4"));
    EXPECT_TRUE(Contains(
        lines, "Netlist Error: line 28 of " + file +
                   " refused, a name longer than 1000 bytes (5000 bytes): " + std::string(80, 'N') +
                   "... (a net header: the net's pins are left out)"));
    EXPECT_TRUE(Contains(lines, "ERROR: Damaged Netlist, nothing was changed"));
    EXPECT_EQ(doc->Design().GetNets().FindNet(std::string(5000, 'N')), -1);
}

// ---- Net alias lookup ---------------------------------------------------------------------------

TEST(CNetAliasTest, PinFieldsAreComparedExactly)
{
    std::vector<std::string> aliases = {"U10,3,GND", "U1,13,GND", "U1,1,3,A", "U1,3,GND"};
    CNetlistImport::AddNetAlias(" vss ", "u1 ", " 3", aliases);
    CNetlistImport::AddNetAlias("AGND", "U1", "3", aliases);
    CNetlistImport::AddNetAlias("X", "U2", "3", aliases);
    EXPECT_EQ(aliases, (std::vector<std::string>{"U10,3,GND", "U1,13,GND", "U1,1,3,A",
                                                 "U1,3,GND,VSS,AGND"}));
}

TEST_F(CNetlistTest, LoadNetsOnlyReadsEveryDialectWithoutChangingTheDesign)
{
    const std::pair<std::string, std::string> files[] = {
        {"calay", "/VSS U1(3)\n/AGND U1(3) U1(1)\n"},
        {"mentor", "NET 'VSS' U1-3\nNET 'AGND' U1-3 U1-1\n"},
        {"multisim", "multiSIM\n*VSS\nU1-3,\n*AGND\nU1-3,U1-1,\n"},
        {"tango", "(\nVSS\nu1,3\n)\n(\nAGND\nU1-3\nU1-1\n)\n"},
    };
    for (const auto& [name, text] : files) {
        const std::filesystem::path net = Write(name + "/board.net", text);
        std::vector<std::string> aliases = {"U1,1,GND", "U1,3,GND", "U1,4,GND"};
        EXPECT_TRUE(CNetlistImport().LoadNetsOnly(doc->Link(), net, aliases)) << name;
        EXPECT_EQ(aliases,
                  (std::vector<std::string>{"U1,1,GND,AGND", "U1,3,GND,VSS,AGND", "U1,4,GND"}))
            << name;
    }
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    EXPECT_EQ(doc->Design().GetNets().GetCount(), 1);
    EXPECT_TRUE(doc->Windows().GetMessages().empty());

    std::vector<std::string> aliases = {"U1,3,GND"};
    EXPECT_FALSE(CNetlistImport().LoadNetsOnly(doc->Link(), folder / "none.net", aliases));
    EXPECT_EQ(aliases, (std::vector<std::string>{"U1,3,GND"}));
    EXPECT_EQ(services.messages.Shown().size(), 1u);
}
