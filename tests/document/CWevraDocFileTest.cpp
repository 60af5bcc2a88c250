#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CEditSession.h"
#include "document/CPadStackUse.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CMailService.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CTempFolder.h"

namespace {

using archive_bytes::Ascii;
using archive_bytes::Bytes;
using archive_bytes::Concat;
using archive_bytes::ReadFile;
using archive_bytes::Str;
using archive_bytes::U16;
using archive_bytes::U32;
using archive_bytes::U8;

// 32-bit words, signed or not.
Bytes Words(std::initializer_list<int64_t> values)
{
    Bytes bytes;
    for (const int64_t value : values)
        bytes = Concat({bytes, U32(uint32_t(value))});
    return bytes;
}

Bytes Class(const std::string& name)
{
    return Concat({U16(0xFFFF), U16(0), U16(uint16_t(name.size())), Ascii(name)});
}

// Where Design() puts a count of 0xFFFFFFFF instead of the real one.
enum HostileCount {
    none,
    planeCount,
    layerCount,
    outlineCount,
    lineCount,
    padStackCount,
    shapeCount,
    componentCount,
    netCount,
    vertexCount,
    jobCount,
    textCount
};

// A small design of a version as that version's files hold it: every setting of the header
// set, one shape without pads and no padstacks in the cache, net 0 alone, and two texts (in
// their older form, without fields, before 8034).
Bytes Design(uint32_t version, HostileCount hostile = none)
{
    const auto count = [hostile](HostileCount site, uint16_t n) {
        return hostile == site ? Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF} : U16(n);
    };
    const auto count32 = [hostile](HostileCount site, uint32_t n) {
        return hostile == site ? Words({0xFFFFFFFF}) : Words({n});
    };
    Bytes header = Words({version});
    for (int64_t i = 0; i < 93; ++i)
        header = Concat({header, Words({i})});
    header = Concat({header,
                     Words({5000, 4000, 10, 20, 600}),
                     Str("N.NET"),
                     Str("T.PCB"),
                     Words({0x10000204}),
                     {0, 1, 1, 0}});
    if (version >= 8033)
        header = Concat({header, Words({2, 15, 0, 100, 200})});
    Bytes font = Concat({Words({-16, 0, 0, 0, 700}), Bytes(8, 0), Ascii("Arial")});
    font.resize(60, 0);
    header = Concat({header, Words({1000, 7, 2, 60000}), font, Words({3})});
    if (version >= 8035)
        header = Concat({header, count(planeCount, 0)});

    const Bytes layers = Concat({Words({1}), U8(0), count(layerCount, 0)});
    const Bytes outline = count(outlineCount, 0);
    const Bytes lines =
        Concat({Words({0, 1, 0, 0}), count32(lineCount, 0), Words({1}), U16(2), U16(0), U16(2015)});
    const Bytes cache =
        Concat({Words({800}), Str("Cache"), Words({0}), U16(2), U16(0), U16(2015), Words({821, 0}),
                count(padStackCount, 0), count(shapeCount, 1), Class("CShape"), Str("SHP"),
                Words({-10, -10, 10, 10}), U16(0), U16(0)});
    const Bytes components = Concat({Bytes(48, 0), count(componentCount, 0)});
    const Bytes nets = Concat({count(netCount, 1), Class("CNet"), U8(0),
                               Words({0, 0, 2519, 25197, 2015, 0, 0, 0, 0, 0, 0}), Str("Zero"),
                               Words({1}), U16(2), U16(0), U16(2519), count(vertexCount, 0)});
    Bytes grids;
    for (int k = 0; k < 3; ++k)
        grids = Concat({grids, Words({25600, 25600, 2560, 2560, 1, 1, 0x808080, 0x404040})});
    const Bytes jobs = Concat({Words({0}), count(jobCount, 0)});
    // The shape's class and object and the net's class and object come first: 0x8005 names
    // the text class.
    const Bytes texts = version >= 8034
                            ? Concat({count32(textCount, 1),
                                      Words({0, 21, 2015, 90000, 10078, 100, 200}), Str("HELLO")})
                            : Concat({count(textCount, 2), Class("CWevraText"), U16(0x8005)});
    if (version >= 8034)
        return Concat(
            {header, layers, outline, lines, cache, components, nets, grids, jobs, jobs, texts});
    return Concat(
        {header, layers, outline, lines, components, cache, nets, grids, jobs, jobs, texts});
}

Bytes Save(CWevraDoc& doc)
{
    CArchive ar;
    doc.Serialize(ar);
    return ar.TakeBuffer();
}

void Load(CWevraDoc& doc, const Bytes& bytes)
{
    CArchive ar(bytes);
    doc.Serialize(ar);
}

std::filesystem::path DemoDesign()
{
    return WEVRA_DEMO_DESIGN;
}

class CDesignFileTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
        CDocumentTest::SetUp();
    }
    void TearDown() override
    {
        CDocumentTest::TearDown();
        CResourcePack::SetCurrent(CResourcePack());
    }

    // Saved, loaded into a new document and saved again: what a save of an opened file gives.
    Bytes Resaved(const Bytes& bytes)
    {
        CWevraDoc reloaded;
        Load(reloaded, bytes);
        return Save(reloaded);
    }
};

TEST_F(CDesignFileTest, OpeningAndSavingADesignKeepsItsBytes)
{
    const Bytes demo = ReadFile(DemoDesign());
    ASSERT_GE(demo.size(), 4u);
    EXPECT_EQ(Bytes(demo.begin(), demo.begin() + 4), (Bytes{0x63, 0x1F, 0x00, 0x00}));
    Load(*doc, demo);
    EXPECT_GT(doc->Design().GetComponents().GetCount(), 0);
    EXPECT_GT(doc->Design().GetNets().GetCount(), 1);
    EXPECT_EQ(doc->Design().GetPlanes().size(), 1u);
    EXPECT_GT(doc->Design().GetTexts().GetCount(), 0);
    EXPECT_EQ(Save(*doc), demo);

    // A new design is normalised by its first load (the kinds pass adds default padstacks),
    // and only by that one.
    CWevraDoc fresh;
    const Bytes once = Resaved(Save(fresh));
    EXPECT_EQ(Resaved(once), once);
    for (const uint32_t version : {8032u, 8033u, 8034u, 8035u}) {
        const Bytes normalised = Resaved(Design(version));
        EXPECT_EQ(Resaved(normalised), normalised) << version;
    }
    EXPECT_TRUE(services.messages.Shown().empty());
}

// Opening checks every net side by side, sharing one table of the padstacks' pads: whatever the
// thread count, each net comes out numbered as a check of it alone numbers it.
TEST_F(CDesignFileTest, OpeningNumbersTheClustersAsALoneCheckOfEachNetDoes)
{
    CWevraDoc source;
    Load(source, ReadFile(DemoDesign()));
    // Cuts in some runs, so that nets fall apart into several clusters.
    CNetArray& sourceNets = source.Design().GetNets();
    int32_t cut = 0;
    for (int32_t n = 1; n < sourceNets.GetCount(); ++n) {
        CNet& net = *sourceNets.GetNet(n);
        for (int32_t v = 1; v < net.GetVertexCount(); ++v) {
            if (net.GetVertex(v).IsDrawn() && net.DeleteSegment(v)) {
                ++cut;
                break;
            }
        }
    }
    ASSERT_GE(cut, 3);
    const Bytes bytes = Save(source);

    const int threadsBefore = CWorkPool::ThreadCount();
    std::vector<std::vector<int32_t>> stamps[2];
    Bytes saved[2];
    for (const int threads : {1, 4}) {
        CWorkPool::SetThreadCount(threads);
        CWevraDoc opened;
        Load(opened, bytes);
        CNetArray& nets = opened.Design().GetNets();
        std::vector<std::vector<int32_t>>& kept = stamps[threads == 1 ? 0 : 1];
        for (int32_t n = 1; n < nets.GetCount(); ++n) {
            CNet& net = *nets.GetNet(n);
            std::vector<int32_t> numbers{net.GetClusterCount()};
            for (int32_t i = 0; i < net.GetPinCount(); ++i)
                numbers.push_back(net.GetPinCluster(i));
            for (int32_t i = 0; i < net.GetVertexCount(); ++i)
                numbers.push_back(net.GetVertexCluster(i));
            kept.push_back(numbers);
            net.CalcClusters(opened.Link());
            EXPECT_EQ(net.GetClusterCount(), numbers[0]) << "net " << n;
            for (int32_t i = 0; i < net.GetPinCount(); ++i)
                EXPECT_EQ(net.GetPinCluster(i), numbers[size_t(1 + i)]) << "net " << n;
            for (int32_t i = 0; i < net.GetVertexCount(); ++i)
                EXPECT_EQ(net.GetVertexCluster(i), numbers[size_t(1 + net.GetPinCount() + i)])
                    << "net " << n;
        }
        saved[threads == 1 ? 0 : 1] = Save(opened);
    }
    CWorkPool::SetThreadCount(threadsBefore);
    EXPECT_EQ(stamps[0], stamps[1]);
    EXPECT_EQ(saved[0], saved[1]);
    EXPECT_TRUE(std::any_of(stamps[0].begin(), stamps[0].end(),
                            [](const std::vector<int32_t>& net) { return net[0] > 1; }));
}

// Long lists of nets and components are read side by side: on four threads a file opens as on
// one, with the same repairs reported, and a damaged one is refused for the first fault in the
// file, with the same words, the open design staying as it was. The damage is late in the net
// list, where runs before it were read already.
TEST_F(CDesignFileTest, OpeningOnManyThreadsGivesWhatOneThreadGives)
{
    CWevraDoc source;
    CNetArray& nets = source.Design().GetNets();
    for (int32_t n = 1; n <= 17000; ++n)
        nets.AddNet("LATE" + std::to_string(n));
    for (int32_t c = 0; c < 17000; ++c)
        source.Design().GetComponents().AddEmpty(-1);
    const Bytes good = Resaved(Save(source));
    // Where the name of a net begins in the file.
    const auto nameAt = [&good](const std::string& name) {
        const Bytes text = Str(name);
        const auto at = std::search(good.begin(), good.end(), text.begin(), text.end());
        EXPECT_NE(at, good.end()) << name;
        return size_t(at - good.begin());
    };
    // A late net names a current pen it lacks; the wide-string form of a name is refused in
    // words of its own.
    Bytes repaired = good;
    repaired[nameAt("LATE12500") + Str("LATE12500").size()] = 99;
    Bytes wide = good;
    const size_t wideAt = nameAt("LATE14000");
    wide[wideAt] = 0xFF;
    wide[wideAt + 1] = 0xFE;
    wide[wideAt + 2] = 0xFF;
    const Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(nameAt("LATE15000")));
    Bytes wideAndCut = wide;
    wideAndCut.resize(cut.size());
    // An early component names a missing shape and a late one has pad nets without pads: the
    // repairs are reported in file order.
    CComponentArray& components = source.Design().GetComponents();
    components.GetComponent(100)->SetShapeIndex(7);
    components.GetComponent(16000)->ResizePadNets(2);
    const Bytes unfitting = Save(source);

    struct Outcome {
        bool opened = false;
        std::vector<std::string> shown;
        Bytes saved;
    };
    const auto open = [this](const Bytes& bytes, int threads) {
        CWorkPool::SetThreadCount(threads);
        services.messages.ClearShown();
        CWevraDoc opened;
        opened.Design().GetNets().AddNet("KEEP");
        const Bytes before = Save(opened);
        CArchive ar(bytes);
        Outcome outcome;
        outcome.opened = opened.LoadFromArchive(ar, "late");
        outcome.shown = services.messages.ShownTexts();
        outcome.saved = Save(opened);
        if (!outcome.opened) {
            EXPECT_EQ(outcome.saved, before) << threads;
        }
        return outcome;
    };
    const int threadsBefore = CWorkPool::ThreadCount();
    const std::string refusal =
        "Unexpected file contents in the design; the design has not been opened.";
    const std::string wideWords = "Wide-character strings are not supported.";
    for (const auto& [bytes, opens, words] : std::vector<std::tuple<Bytes, bool, std::string>>{
             {good, true, ""},
             {repaired, true, "pens or layers"},
             {unfitting, true, "shape.\nThe pad nets"},
             {wide, false, wideWords},
             {cut, false, refusal},
             {wideAndCut, false, wideWords}}) {
        const Outcome one = open(bytes, 1);
        const Outcome four = open(bytes, 4);
        EXPECT_EQ(one.opened, opens) << words;
        EXPECT_EQ(four.opened, one.opened) << words;
        EXPECT_EQ(four.shown, one.shown) << words;
        EXPECT_EQ(four.saved, one.saved) << words;
        if (words.empty()) {
            EXPECT_TRUE(one.shown.empty());
            EXPECT_EQ(one.saved, good);
        } else {
            ASSERT_EQ(one.shown.size(), 1u) << words;
            EXPECT_NE(one.shown[0].find(words), std::string::npos) << one.shown[0];
        }
    }
    CWorkPool::SetThreadCount(threadsBefore);
}

TEST_F(CDesignFileTest, OlderVersionsLoadWithTheDefaultsTheyImply)
{
    for (const uint32_t version : {8032u, 8033u, 8034u, 8035u}) {
        SCOPED_TRACE(version);
        CWevraDoc loaded;
        Load(loaded, Design(version));
        EXPECT_EQ(loaded.GetLoadResult(), 1);
        EXPECT_EQ(loaded.Design().GetStoredColor(CDesignSettings::printColors, 2), 64u);
        EXPECT_EQ(loaded.Design().GetBoardWidth(), 5000);
        EXPECT_EQ(loaded.Design().GetNetlistPath(), "N.NET");
        EXPECT_EQ(loaded.Design().GetNetlistTime(), 1000);
        EXPECT_EQ(loaded.Session().GetUnit(), 2);
        EXPECT_EQ(loaded.Design().GetPadInfoMode(), 3);
        EXPECT_EQ(loaded.Design().GetPinInfoFont().face, "Arial");
        EXPECT_EQ(loaded.Design().GetPinInfoFont().weight, 700);

        const bool viewBlock = version >= 8033;
        EXPECT_EQ(loaded.Design().GetViewFlag(CDesignSettings::viewAutoPanning), viewBlock);
        EXPECT_EQ(loaded.Design().GetDrawingMode(), viewBlock ? 15u : 13u);
        EXPECT_EQ(loaded.Session().GetOrigin(), viewBlock ? CPoint(100, 200) : CPoint(0, 0));

        // The shape comes from the old cache behind the components before 8034.
        ASSERT_EQ(loaded.Design().GetShapeCache().GetCount(), 1);
        EXPECT_EQ(loaded.Design().GetShapeCache().GetShapeName(0), "SHP");
        EXPECT_EQ(loaded.Design().GetShapeCache().GetName(), CShapeLib::cacheName);
        EXPECT_TRUE(loaded.Design().GetPlanes().empty());

        const CTextArray& texts = loaded.Design().GetTexts();
        ASSERT_EQ(texts.GetCount(), version >= 8034 ? 1 : 2);
        EXPECT_EQ(texts.GetText(0)->GetText(), version >= 8034 ? "HELLO" : "");
        EXPECT_EQ(texts.GetText(0)->GetLayer(), 21);
        EXPECT_EQ(texts.GetText(0)->GetHeight(), 10078);
    }
    EXPECT_TRUE(services.messages.Shown().empty());
}

TEST_F(CDesignFileTest, RefusedAndDamagedFilesLeaveTheOpenDesignAlone)
{
    doc->Design().GetNets().AddNet("KEEP");
    const Bytes before = Save(*doc);
    doc->SetModified();
    for (const uint32_t version : {0u, 8031u, 8036u}) {
        Load(*doc, Words({version, 1, 2, 3}));
        EXPECT_EQ(doc->GetLoadResult(), 0);
    }
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>(3, "Not supported fileformat"));
    EXPECT_TRUE(doc->IsModified());

    const auto load = [this](CArchive& ar) { doc->Serialize(ar); };
    archive_bytes::ExpectEveryPrefixFails(Design(8033), load);
    archive_bytes::ExpectEveryPrefixFails(Design(8035), load);
    const Bytes demo = ReadFile(DemoDesign());
    for (size_t n = 0; n < demo.size(); n += 97) {
        CArchive ar(Bytes(demo.begin(), demo.begin() + std::ptrdiff_t(n)));
        EXPECT_THROW(doc->Serialize(ar), CArchiveException) << n;
    }
    for (int site = planeCount; site <= textCount; ++site) {
        CArchive ar(Design(8035, HostileCount(site)));
        EXPECT_THROW(doc->Serialize(ar), CArchiveException) << site;
    }
    EXPECT_EQ(Save(*doc), before);
}

// A wrong count or length leaves bytes unread or reads past a record: such a file is refused
// as damaged, never opened with part of its content dropped, and the open design stays.
TEST_F(CDesignFileTest, DamagedDesignsAreRefused)
{
    doc->Design().GetNets().AddNet("KEEP");
    const Bytes open = Save(*doc);
    const Bytes demo = ReadFile(DemoDesign());
    const auto expectRefused = [&](const Bytes& design, const std::string& what) {
        services.messages.ClearShown();
        CArchive damaged(design);
        EXPECT_FALSE(doc->LoadFromArchive(damaged, "demo")) << what;
        EXPECT_EQ(services.messages.ShownTexts(),
                  std::vector<std::string>{
                      "Unexpected file contents in the design; the design has not been opened."})
            << what;
        EXPECT_EQ(Save(*doc), open) << what;
    };

    Bytes trailing = demo;
    trailing.push_back(0);
    expectRefused(trailing, "a byte after the last record");

    // The length byte of every layer name, one more and one less.
    int found = 0;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        const Bytes name = Str(DefaultLayerName(layer));
        const auto at = std::search(demo.begin(), demo.end(), name.begin(), name.end());
        ASSERT_NE(at, demo.end()) << layer;
        ++found;
        for (const int delta : {-1, 1}) {
            Bytes changed = demo;
            changed[size_t(at - demo.begin())] = uint8_t(name[0] + delta);
            expectRefused(changed, "layer " + std::to_string(layer) + " " + std::to_string(delta));
        }
    }
    EXPECT_EQ(found, LAYER_COUNT);

    // A truncated file names the design too.
    expectRefused(Bytes(demo.begin(), demo.end() - 1), "the last byte missing");
}

TEST_F(CDesignFileTest, IndexesOutOfRangeAreRepairedWithOneWarning)
{
    CWevraDoc broken;
    CNet& zero = *broken.Design().GetNets().GetNet(0);
    zero.AppendPadVertex(1000, 1000, 0, 0, false);
    zero.SetVertexPadType(0, 400);
    const int32_t component = broken.Design().GetComponents().AddEmpty(0);
    broken.Design().GetComponents().SetShapeIndex(component, 77);
    broken.Design().SetUnit(9);
    broken.Design().GetTexts().GetText(broken.Design().GetTexts().AddText(nullptr))->SetLayer(99);
    broken.Design().GetPlanes().push_back(
        std::make_unique<CPour>(55, LAYER_TOP, 0, 0, 1, 2015, 6047, 45000));
    Load(*doc, Save(broken));

    const CNet& net = *doc->Design().GetNets().GetNet(0);
    EXPECT_LT(net.GetVertexPadStack(0), doc->Design().GetShapeCache().GetPadStacks().GetCount());
    EXPECT_EQ(doc->Design().GetComponents().GetShapeIndex(0), -1);
    EXPECT_EQ(doc->Session().GetUnit(), 1);
    EXPECT_EQ(doc->Design().GetPlanes()[0]->GetNet(), -1);
    EXPECT_EQ(doc->Design().GetTexts().GetText(0)->GetLayer(), LAYER_DRAWING_1);
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string& text = services.messages.Shown()[0].text;
    for (const char* part : {"PadStack the design", "named a shape", "settings of this design",
                             "plane of this design", "layer that does not exist"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST_F(CDesignFileTest, LoadingFixesUpTheDesign)
{
    CWevraDoc source;
    source.Design().SetDrawingMode(14);
    source.Design().SetUserOffset(CPoint(-5, 10));
    for (const char* name : {"First", "Second", "x"}) {
        source.Design().GetPlanes().push_back(std::make_unique<CPour>());
        source.Design().GetPlanes().back()->SetName(name);
    }
    const int32_t far = source.Design().GetComponents().AddEmpty(-1);
    source.Design().GetComponents().SetPosition(far, 9000000, 9000000);
    const CTempFolder folder;
    const std::filesystem::path file = folder / "TEMPLATE.PCB";
    ASSERT_TRUE(source.OnSaveDocument(file.string()));

    doc->Design().SetNetlistPath("MINE.NET");
    doc->SetTemplateLoad(true);
    std::unique_ptr<CArchive> ar = CArchive::OpenForLoading(file, CDesignSettings::maxFileSize);
    doc->Serialize(*ar);

    EXPECT_EQ(doc->Design().GetDrawingMode(), CDesignSettings::drawTransparent);
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(0, 10));
    EXPECT_EQ(doc->Design().GetPlanes()[2]->GetName(), "Plane Nr 3");
    EXPECT_TRUE(doc->IsComponentOutsideBoard());
    EXPECT_TRUE(doc->Design().GetComponents().GetComponent(0)->GetFlags() &
                ComponentFlags::fromTemplate);
    EXPECT_EQ(doc->Design().GetNetlistPath(), "MINE.NET");
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CDesignFileTest, OnlyASuccessfulSaveMakesTheDesignUnmodified)
{
    doc->SetModified();
    Save(*doc);
    EXPECT_TRUE(doc->IsModified());

    const CTempFolder folder;
    EXPECT_FALSE(doc->OnSaveDocument((folder / "missing" / "X.PCB").string()));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(services.messages.Shown().size(), 1u);

    const std::filesystem::path file = folder / "SAVED.PCB";
    ASSERT_TRUE(doc->OnSaveDocument(file.string()));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(ReadFile(file), Save(*doc));
}

TEST_F(CDesignFileTest, SavingNeverLosesOrWeakensTheFile)
{
    namespace fs = std::filesystem;
    const CTempFolder folder("wevra-save-safely");
    fs::create_directories(folder / "real");
    const Bytes design = Save(*doc);
    const fs::path real = folder / "real" / "BOARD.PCB";
    {
        CWevraDoc old;
        old.Design().GetNets().AddNet("OLD");
        ASSERT_TRUE(old.OnSaveDocument(real.string()));
    }
    const Bytes oldBytes = ReadFile(real);
    ASSERT_NE(oldBytes, design);

    // Read-only: refused with a message naming the file, which keeps its bytes and mode.
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(real, readOnly);
    doc->SetModified();
    EXPECT_FALSE(doc->OnSaveDocument(real.string()));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find(real.string() + " is read-only"),
              std::string::npos)
        << services.messages.Shown()[0].text;
    EXPECT_EQ(ReadFile(real), oldBytes);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask, readOnly);

    // Through a link: the link stays, its target gets the design and keeps its mode.
    const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(real, ownerOnly);
    const fs::path link = folder / "LINK.PCB";
    fs::create_symlink(fs::path("real") / "BOARD.PCB", link);
    ASSERT_TRUE(doc->OnSaveDocument(link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), design);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask, ownerOnly);

    // A failure names the user's file, never the temporary one.
    services.messages.ClearShown();
    const fs::path missing = folder / "missing" / "X.PCB";
    EXPECT_FALSE(doc->OnSaveDocument(missing.string()));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string& failure = services.messages.Shown()[0].text;
    EXPECT_NE(failure.find(missing.string()), std::string::npos) << failure;
    EXPECT_EQ(failure.find(".tmp~"), std::string::npos) << failure;

    // A pipe is no file to save over: it stays a pipe, and the user learns why.
    services.messages.ClearShown();
    const fs::path pipe = folder / "PIPE.PCB";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(doc->OnSaveDocument(pipe.string()));
    EXPECT_TRUE(fs::is_fifo(pipe));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find("not a regular file"), std::string::npos);
}

// Refusals of a file on disk name it: the user may have many designs open or listed.
TEST_F(CDesignFileTest, RefusedFilesOnDiskAreNamed)
{
    const CTempFolder folder("wevra-refused");
    const std::filesystem::path future = folder / "FUTURE.PCB";
    std::ofstream(future, std::ios::binary) << std::string("\x64\0\0\0\1\2", 6);
    const std::filesystem::path stub = folder / "STUB.PCB";
    std::ofstream(stub, std::ios::binary) << std::string("\x63\x1F", 2);
    CWevraDoc other;
    EXPECT_FALSE(other.OpenDesignFile(future.string()));
    EXPECT_FALSE(other.OpenDesignFile(stub.string()));
    const std::vector<std::string> texts = services.messages.ShownTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Not supported fileformat:\n" + future.string());
    EXPECT_NE(texts[1].find("STUB"), std::string::npos) << texts[1];
}

TEST_F(CDesignFileTest, KindsPassAddsItsStandardPadStacksOnce)
{
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    CPadStackArray& stacks = cache.GetPadStacks();
    stacks.RemoveAll();
    doc->PadStackUse().NormalizePadStackKinds(cache);
    ASSERT_EQ(stacks.GetCount(), 3);
    EXPECT_EQ(stacks.GetPadRect(2, LAYER_TOP).right, MmToUnits(0.5));
    EXPECT_EQ(MmToUnits(1.0), 10078);
    EXPECT_EQ(MmToUnits(0.8), 8062);
    // As on every load: no shape uses the standard shape pad, which is found again rather
    // than made anew.
    for (int pass = 0; pass < 2; ++pass) {
        doc->PadStackUse().NormalizePadStackKinds(cache);
        EXPECT_EQ(stacks.GetCount(), 3);
        EXPECT_EQ(stacks.GetDefault(PADSTACK_KIND_PAD), 0);
        EXPECT_EQ(stacks.GetDefault(PADSTACK_KIND_SHAPE_PAD), 1);
        EXPECT_TRUE(stacks.IsShapePadKind(1));
    }
}

class CRecordingMail : public CMailService {
public:
    bool SendFile(const std::filesystem::path& file) override
    {
        sent = file;
        attached = ReadFile(file);
        return true;
    }
    std::filesystem::path sent;
    Bytes attached;
};

class CInfoDialog : public CDialogService {
public:
    int32_t PcbInfo(const std::string&, const std::string&, const std::string& components,
                    const std::string& pins, const std::string& nets) override
    {
        counts = {components, pins, nets};
        return resultOk;
    }
    std::vector<std::string> counts;
};

TEST_F(CDesignFileTest, SmallServices)
{
    CTempFolder state("wevra-mail");
    CScopedEnv stateHome("XDG_STATE_HOME", state.Path().string());
    CRecordingMail mail;
    CMailService* previousMail = CServices::SetMail(&mail);
    EXPECT_TRUE(doc->OnFileSendMail());
    EXPECT_EQ(mail.attached, Save(*doc));
    // The unsaved design is the user's alone, never in the shared temporary folder.
    EXPECT_EQ(mail.sent, state.Path() / "wevra-pcb" / "mail" / "UnNamed.PCB");
    EXPECT_EQ(std::filesystem::status(mail.sent.parent_path()).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    CServices::SetMail(previousMail);
    // Without a mail program the user is told, not left waiting for a mail window.
    CMailService none;
    previousMail = CServices::SetMail(&none);
    services.messages.ClearShown();
    EXPECT_FALSE(doc->OnFileSendMail());
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_NE(services.messages.ShownTexts()[0].find("could not be mailed"), std::string::npos);
    CServices::SetMail(previousMail);

    CInfoDialog dialog;
    CDialogService* previousDialogs = CDialogService::Set(&dialog);
    doc->Design().GetNets().AddNet("N1");
    doc->OnBoardProperties();
    EXPECT_EQ(dialog.counts, (std::vector<std::string>{"0", "0", "2"}));
    CDialogService::Set(previousDialogs);

    const int32_t updates = views.updates;
    doc->OnToggleTransparentColors();
    EXPECT_TRUE(doc->Design().IsTransparentColors());
    doc->OnToggleTransparentColors();
    EXPECT_FALSE(doc->Design().IsTransparentColors());
    EXPECT_EQ(views.updates, updates + 2);
}

} // namespace
