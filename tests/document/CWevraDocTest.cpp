#include "document/CWevraDoc.h"
#include "document/CDocumentLink.h"
#include "document/CShapeSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentViews.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPadStackUse.h"
#include "document/CUndoSnapshot.h"
#include "document/CViewState.h"
#include "framework/CArchive.h"
#include "framework/CResString.h"
#include "framework/CResourcePack.h"
#include "interchange/PlyRecord.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CScriptedLayermap.h"
#include "tests/support/CTempFolder.h"

namespace {

using archive_bytes::Bytes;
namespace fs = std::filesystem;

const fs::path binFolder = fs::path(WEVRA_BUILD_DIR) / "bin";

// The main window as the document sees it, recording what it is asked to show.
class CFakeFrame : public CDocumentFrame {
public:
    fs::path GetProgramFolder() const override { return programFolder; }
    std::span<const uint8_t> GetBuiltInFont() const override { return builtInFont; }
    std::vector<uint8_t> builtInFont;
    std::string GetLibraryFile() const override { return "/libs/parts.SHP"; }
    void HidePanes() override { panesHidden = true; }
    void PostCommand(uint32_t id) override { posted.push_back(id); }
    void AddToRecentFiles(const std::string& path) override { recent.push_back(path); }
    bool HasCombo(int32_t) const override { return true; }
    void FillCombo(int32_t id, const std::vector<std::string>& items, int32_t selected) override
    {
        combos[id] = {items, selected};
    }
    bool IsShapeEditRequested() const override { return shapeRequest; }
    void ClearShapeEditRequest() override { shapeRequest = false; }
    const CShapeLib* GetEditedShapeLibrary() const override { return edited; }
    void EndShapeEdit(const CShapeLib& library) override
    {
        ended = std::make_unique<CShapeLib>(library);
    }

    struct Combo {
        std::vector<std::string> items;
        int32_t selected = -1;
    };
    fs::path programFolder = binFolder;
    bool panesHidden = false;
    std::vector<uint32_t> posted;
    std::vector<std::string> recent;
    std::map<int32_t, Combo> combos;
    bool shapeRequest = false;
    const CShapeLib* edited = nullptr;
    std::unique_ptr<CShapeLib> ended;
};

class CAnsweringViews : public CDocumentViews {
public:
    bool SaveModifiedDesign() override
    {
        ++asked;
        return false;
    }
    int32_t asked = 0;
};

class CDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousFrame = CDocumentFrame::Set(&frame);
        CResourcePack::LoadFirstFound(binFolder);
    }
    void TearDown() override
    {
        CDocumentFrame::Set(m_previousFrame);
        CResourcePack::SetCurrent(CResourcePack());
    }

    CFakeServices services;
    CFakeFrame frame;

private:
    CDocumentFrame* m_previousFrame = nullptr;
};

// ---- Defaults -----------------------------------------------------------------------------------

TEST_F(CDocTest, NewDesignHasTheDefaults)
{
    CWevraDoc doc;
    EXPECT_EQ(doc.Design().GetBoardWidth(), 1000);
    EXPECT_EQ(doc.Design().GetBoardHeight(), 800);
    EXPECT_EQ(doc.View().GetScale(), 600);
    EXPECT_EQ(doc.Session().GetMode(), 33183u);
    EXPECT_TRUE(doc.Session().IsAction(1));
    EXPECT_EQ(doc.Session().GetSelectionFilter(), 0x10000204u);
    EXPECT_EQ(doc.Session().GetUnit(), 1);
    EXPECT_EQ(doc.Design().GetPadInfoMode(), 1);
    EXPECT_EQ(doc.Session().GetPlaneIndex(), -1000000);
    EXPECT_EQ(doc.Session().GetCurrentComponentIndex(), -1);
    EXPECT_EQ(doc.History().GetUndoIndex(), -1);
    EXPECT_EQ(doc.Design().GetShapeCache().GetName(), "Cache");
    EXPECT_EQ(doc.Design().GetDisplaySets().GetJob(0)->GetItemCount(), 8);
    EXPECT_GT(doc.Design().GetOutputJobs().GetCount(), 0);
    EXPECT_EQ(doc.Session().GetWorkLayer(), 2);
    EXPECT_EQ(doc.GetTitle(), "Design] - [ ->View");

    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::screenColors, 1), RGB(0, 196, 0));
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::screenColors, 26), RGB(128, 128, 128));
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::screenColors, 5), RGB(165, 165, 165));
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::highlightColors, 22), RGB(0, 255, 255));
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::highlightColors, 26),
              RGB(192, 192, 192));
    EXPECT_EQ(doc.Design().GetStoredColor(CDesignSettings::printColors, 2), RGB(196, 0, 0));

    const struct {
        int32_t group;
        const char* name;
        int32_t spacing;
    } groups[] = {{0, "G0", 0}, {1, "G1", 1007}, {10, "G10", 10078}, {255, "G255", 257007}};
    for (const auto& g : groups) {
        EXPECT_EQ(doc.Design().GetNetGroupName(g.group), g.name);
        EXPECT_EQ(doc.Design().GetNetGroupSpacing(g.group), g.spacing) << g.name;
    }
    EXPECT_EQ(doc.Design().GetNetGroupName(256), "");
}

TEST_F(CDocTest, StrokeFontComesFromTheProgramFolderSetting)
{
    {
        CWevraDoc doc;
        EXPECT_TRUE(doc.Design().GetFont().IsLoaded());
        EXPECT_TRUE(services.messages.Shown().empty());
    }
    const CTempFolder empty("wevra-no-font");
    frame.programFolder = empty.Path();
    CWevraDoc doc;
    EXPECT_FALSE(doc.Design().GetFont().IsLoaded());
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{"Font not found"});
    EXPECT_EQ(doc.Design().GetBoardWidth(), 1000);

    // A damaged font beside a program that carries its own: the program's font draws, and the
    // user learns which file failed.
    const fs::path damaged = empty.Path() / CWevraFont::fileName;
    archive_bytes::WriteFile(damaged, Bytes(100, 0x7F));
    frame.builtInFont = archive_bytes::ReadFile(binFolder / CWevraFont::fileName);
    CWevraDoc fallback;
    EXPECT_TRUE(fallback.Design().GetFont().IsLoaded());
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_EQ(services.messages.ShownTexts()[1].rfind(
                  "The stroke font " + damaged.string() + " is damaged: ", 0),
              0u);
    EXPECT_NE(services.messages.ShownTexts()[1].find("own stroke font"), std::string::npos);

    // Every design loads the font: the user is told once, not once a design (start-up made one
    // for the program and one for the design it opened).
    CWevraDoc another;
    EXPECT_TRUE(another.Design().GetFont().IsLoaded());
    EXPECT_EQ(services.messages.ShownTexts().size(), 2u);
}

// ---- Opening and naming -------------------------------------------------------------------------

// A DOS design set of an empty board of 1000 x 500 DOS units: the corner marks alone.
void WriteEmptyDosSet(const std::filesystem::path& folder, const std::string& title)
{
    const int32_t w = 1000;
    const int32_t h = 500;
    const int32_t marks[12][3] = {{246, -8, 0},        {-8, -8, 1},       {-8, 246, 1},
                                  {-8, h - 246, 0},    {-8, h + 8, 1},    {246, h + 8, 1},
                                  {w - 246, h + 8, 0}, {w + 8, h + 8, 1}, {w + 8, h - 246, 1},
                                  {w + 8, 246, 0},     {w + 8, -8, 1},    {w - 246, -8, 1}};
    std::string bytes;
    for (const auto& mark : marks)
        PlyRecord::Line(0, mark[0], mark[1], mark[2], 15, 0, false).AppendTo(bytes);
    std::ofstream(folder / (title + ".ply"), std::ios::binary) << bytes;
    std::ofstream(folder / (title + ".cmp"), std::ios::binary) << "";
    std::ofstream(folder / (title + ".cnf"), std::ios::binary) << "4.85\r\n";
}

TEST_F(CDocTest, OpensByExtension)
{
    CScriptedLayermap layermap;
    CWevraDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument("/nowhere/board.txt"));
    EXPECT_TRUE(services.messages.Shown().empty());
    EXPECT_FALSE(doc.OnOpenDocument("/nowhere/board.PLY")) << "no DOS set there";
    EXPECT_EQ(doc.Design().GetNetlistPath(), "/nowhere/board.NET");
    ASSERT_EQ(services.messages.ShownTexts().size(), 2u);
    EXPECT_EQ(services.messages.ShownTexts()[1], "'CMP' File not found");

    EXPECT_FALSE(doc.OnOpenDocument("/nowhere/missing.PCB"));
    EXPECT_EQ(services.messages.Shown().size(), 3u);

    CTempFolder temp("wevra-dos-open");
    const std::filesystem::path folder = temp.Path() / "d.x";
    std::filesystem::create_directories(folder);
    WriteEmptyDosSet(folder, "Board");
    const std::string ply = (folder / "Board.ply").string();
    EXPECT_TRUE(doc.OnOpenDocument(ply));
    // The configuration of one line lost its tables, which is said.
    ASSERT_EQ(services.messages.Shown().size(), 4u);
    EXPECT_EQ(services.messages.ShownTexts()[3].rfind((folder / "Board.cnf").string() + ": ", 0),
              0u);
    EXPECT_EQ(doc.Design().GetBoardWidth(), 1000 * 200);
    EXPECT_EQ(doc.Design().GetBoardHeight(), 500 * 200);
    EXPECT_EQ(doc.Design().GetNetlistPath(), (folder / "Board.NET").string());
    EXPECT_EQ(doc.GetPathNameRef(), ply);
    EXPECT_EQ(doc.GetTitle(), "Design] - [Board ->View");

    doc.SetDesignPath("");
    EXPECT_EQ(doc.GetPathNameRef(), (folder / "Board.PCB").string());
    EXPECT_EQ(frame.recent.back(), (folder / "Board.PCB").string());
    EXPECT_EQ(doc.GetDesignName(), "Board");
    EXPECT_EQ(doc.GetDesignFolder(), folder.string());
}

// An untitled design must not become ".PCB" in the current folder.
TEST_F(CDocTest, UntitledDesignKeepsNoPath)
{
    CWevraDoc doc;
    doc.SetDesignPath("");
    EXPECT_EQ(doc.GetPathNameRef(), "");
    EXPECT_TRUE(frame.recent.empty());
}

class CScriptedNewPcb : public CDialogService {
public:
    int32_t NewPcb(CWevraDoc&) override { return resultOk; }
};

TEST_F(CDocTest, NewDesignNeedsTheDialogsOk)
{
    CWevraDoc doc;
    EXPECT_FALSE(doc.OnNewDocument());
    CScriptedNewPcb dialogs;
    CDialogService* previous = CDialogService::Set(&dialogs);
    EXPECT_TRUE(doc.OnNewDocument());
    CDialogService::Set(previous);
    EXPECT_TRUE(frame.panesHidden);
    EXPECT_FALSE(doc.IsShapeDocument());
}

TEST_F(CDocTest, TitleShowsToolAndGridOffset)
{
    CWevraDoc doc;
    doc.SetDesignPath("/d/BOARD.PCB");
    doc.Session().SetMode(ID_EDIT_SELECT_MODE);
    EXPECT_EQ(doc.GetTitle(), "Design] - [BOARD ->Select");
    doc.Design().SetUserOffset(CPoint(1008, 0));
    doc.Session().SetMode(ID_SETTINGS_SET_GRID_OFFSET);
    EXPECT_EQ(doc.GetTitle(), "Design] - [BOARD ->Set Grid Offset(0.100 mm.,0.000 mm.)");
}

TEST_F(CDocTest, SaveModifiedAsksOnlyForAModifiedDesign)
{
    CAnsweringViews views;
    CWevraDoc doc;
    doc.SetViews(&views);
    EXPECT_TRUE(doc.SaveModified());
    doc.SetModified();
    EXPECT_TRUE(doc.IsDirty());
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(views.asked, 1);
}

// ---- Toolbar combos and layer tables ------------------------------------------------------------

TEST_F(CDocTest, CombosListLayersNetsAndPens)
{
    CWevraDoc doc;
    const auto& layers = frame.combos[CDocumentFrame::layerCombo];
    ASSERT_EQ(layers.items.size(), 30u);
    EXPECT_EQ(layers.selected, 1) << "work layer 2";
    EXPECT_EQ(layers.items[0].back(), '*');
    EXPECT_NE(layers.items[2].back(), '*');
    EXPECT_EQ(layers.items[20].back(), '*');
    EXPECT_EQ(doc.Session().GetSelectableLayerMask(),
              (1u << 0) | (1u << 1) | (1u << 20) | (1u << 25));
    EXPECT_EQ(frame.combos[CDocumentFrame::padStackCombo].items.size(),
              size_t(doc.Design().GetShapeCache().GetPadStacks().GetCount()));

    // Board widths outside net 0's own limits.
    CNetArray& nets = doc.Design().GetNets();
    nets.GetNet(0)->AddPen(1007);
    nets.GetNet(0)->AddPen(30000);
    const size_t boardWidths = size_t(nets.GetNet(0)->GetPenCount() - 1);
    doc.Windows().FillPenCombo();
    const auto& pens = frame.combos[CDocumentFrame::penCombo].items;
    ASSERT_EQ(pens.size(), boardWidths) << "net 0 lists every board width";
    EXPECT_EQ(pens.front(), "0.200 mm.");
    EXPECT_EQ(pens[boardWidths - 2], "0.100 mm.");
    EXPECT_EQ(pens.back(), "2.977 mm.");
    EXPECT_EQ(frame.combos[CDocumentFrame::penCombo].selected, 0);

    nets.SetCurrentNet(nets.AddNetWithWidths("N1", 2000, 26000, 2015));
    doc.Windows().FillPenCombo();
    EXPECT_EQ(frame.combos[CDocumentFrame::penCombo].items.size(), boardWidths - 2);
    doc.Windows().FillNetCombo();
    EXPECT_EQ(frame.combos[CDocumentFrame::netCombo].items.size(), 2u);
    EXPECT_EQ(frame.combos[CDocumentFrame::netCombo].selected, 1);
}

TEST_F(CDocTest, LayerTablesCountEveryCollection)
{
    CWevraDoc doc;
    doc.Design().GetLines().AddSegment(0, 0, 1000, 0, 21, 1, 0);
    CNet& zero = *doc.Design().GetNets().GetNet(0);
    zero.AppendSegment(0, 0, 1000, 0, 1, 1, false);
    zero.AppendPadVertex(500, 500, 0, 0, false);
    doc.Design().ResetLayerTables();

    const CPadStackArray& stacks = doc.Design().GetShapeCache().GetPadStacks();
    const int32_t padOnTop = stacks.GetPad(0, 1) ? 1 : 0;
    int32_t pads = 0;
    for (int32_t layer = 0; layer < 27; ++layer)
        pads += stacks.GetPad(0, layer) ? 1 : 0;
    EXPECT_EQ(doc.Design().GetLayerCount(CLayerCounts::lineTable, 21), 2);
    EXPECT_EQ(doc.Design().GetLayerCount(CLayerCounts::lineTable, 1), 2);
    EXPECT_EQ(doc.Design().GetLayerCount(CLayerCounts::lineTable, 0), 4);
    EXPECT_EQ(doc.Design().GetLayerCount(CLayerCounts::padTable, 0), pads);
    EXPECT_EQ(doc.Design().GetLayerObjectCount(1), 2 + padOnTop);
}

// ---- Undo ---------------------------------------------------------------------------------------

// The four collections a snapshot holds, as they store themselves.
Bytes State(CWevraDoc& doc)
{
    CArchive ar;
    doc.Design().GetLines().Serialize(ar);
    doc.Design().GetTexts().Serialize(ar);
    doc.Design().GetComponents().Serialize(ar);
    doc.Design().GetNets().Serialize(ar);
    return ar.TakeBuffer();
}

// Edit k touches all four collections, so every state differs from the others.
void Edit(CWevraDoc& doc, int32_t k)
{
    doc.History().SaveUndoState();
    doc.Design().GetLines().AddSegment(0, k * 100, 1000, k * 100, 21, 1, 0);
    doc.Design().GetTexts().AddText(nullptr);
    doc.Design().GetComponents().AddEmpty(-1);
    doc.Design().GetNets().AddNet("N" + std::to_string(k));
    doc.Session().SelectAll(false);
}

class CUndoTest : public CDocTest {
protected:
    // states[k] is the state before edit k; the last one the state after every edit.
    void Edits(int32_t count)
    {
        for (int32_t k = 0; k < count; ++k) {
            states.push_back(State(doc));
            Edit(doc, k);
        }
        states.push_back(State(doc));
    }

    CWevraDoc doc;
    std::vector<Bytes> states;
};

TEST_F(CUndoTest, SevenEditsKeepTheLastSix)
{
    Edits(7);
    EXPECT_EQ(doc.History().GetUndoCount(), 6);
    EXPECT_TRUE(doc.History().CanUndo());
    EXPECT_FALSE(doc.History().CanRedo());

    // Undo keeps the current state for Redo, which takes a sixth place of its own.
    for (int32_t k = 6; k >= 2; --k) {
        doc.History().Undo();
        EXPECT_EQ(State(doc), states[size_t(k)]) << "undo to the state before edit " << k;
    }
    EXPECT_FALSE(doc.History().CanUndo());
    doc.History().Undo();
    EXPECT_EQ(State(doc), states[2]) << "the first states are gone";

    for (int32_t k = 2; k <= 7; ++k) {
        doc.History().Redo();
        EXPECT_EQ(State(doc), states[size_t(k)]) << "redo to state " << k;
    }
    EXPECT_FALSE(doc.History().CanRedo());
}

TEST_F(CUndoTest, NewEditDropsTheRedoTail)
{
    Edits(3);
    doc.History().Undo();
    doc.History().Undo();
    EXPECT_EQ(State(doc), states[1]);
    EXPECT_TRUE(doc.History().CanRedo());

    Edit(doc, 10);
    EXPECT_FALSE(doc.History().CanRedo());
    EXPECT_EQ(doc.History().GetUndoCount(), 2);
    doc.History().Undo();
    EXPECT_EQ(State(doc), states[1]) << "the state before the new edit";
    doc.History().Redo();
    EXPECT_NE(State(doc), states[1]);
}

TEST_F(CUndoTest, PushesOnlyWhenASnapshotIsNeeded)
{
    doc.History().Undo();
    EXPECT_EQ(doc.History().GetUndoCount(), 0);
    doc.History().PushUndo(CUndoSnapshot::maskAll);
    EXPECT_EQ(doc.History().GetUndoCount(), 0);
    // A drag holds its snapshot back until it ends, and leaves it only when it changed the
    // design.
    doc.Session().SetAction(CEditState::actionDragging);
    doc.History().PushUndoForSelection();
    doc.Session().SetAction(CEditState::actionWaiting);
    EXPECT_EQ(doc.History().GetUndoCount(), 0);
    EXPECT_FALSE(doc.IsModified());
    doc.Session().SetAction(CEditState::actionDragging);
    doc.History().PushUndoForSelection();
    Edit(doc, 1);
    doc.Session().SetAction(CEditState::actionWaiting);
    EXPECT_EQ(doc.History().GetUndoCount(), 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.History().IsSnapshotNeeded());
}

// An edit that turns out to change nothing leaves no step to undo, keeps what Redo can bring
// back and leaves the design unmodified; one that changes something is a step like any other.
TEST_F(CUndoTest, AnEditThatChangesNothingLeavesNoStep)
{
    Edits(3);
    doc.History().Undo();
    doc.SetModifiedFlag(false);
    const int32_t steps = doc.History().GetUndoCount();
    EXPECT_FALSE(doc.History().EditIfChanged([] { return false; }));
    EXPECT_EQ(doc.History().GetUndoCount(), steps);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.History().CanRedo());
    doc.History().Redo();
    EXPECT_EQ(State(doc), states[3]);

    doc.History().Undo();
    EXPECT_TRUE(doc.History().EditIfChanged([this] {
        doc.Design().GetNets().AddNet("CHANGED");
        return true;
    }));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.History().CanRedo());
    doc.History().Undo();
    EXPECT_EQ(State(doc), states[2]) << "the state before the edit";
}

// Table windows, tools and the document itself keep pointers to the collections.
TEST_F(CUndoTest, RestoresIntoTheDocumentsOwnCollections)
{
    const CNetArray* nets = &doc.Design().GetNets();
    const CComponentArray* components = &doc.Design().GetComponents();
    Edits(3);
    doc.Session().SetCurrentComponent(2);
    doc.History().Undo();
    doc.History().Undo();
    EXPECT_EQ(&doc.Design().GetNets(), nets);
    EXPECT_EQ(&doc.Design().GetComponents(), components);
    EXPECT_EQ(doc.Design().GetNets().GetDocument(), static_cast<CNetArrayDocument*>(&doc.Link()));
    EXPECT_EQ(doc.Design().GetComponents().GetCount(), 1);
    EXPECT_EQ(doc.Session().GetCurrentComponentIndex(), -1) << "the current component is gone";
    doc.Design().GetNets().RecalcAll();
}

Bytes Reloaded(const Bytes& design)
{
    CWevraDoc reloaded;
    CArchive ar(design);
    EXPECT_TRUE(reloaded.LoadFromArchive(ar, "reloaded"));
    return reloaded.SaveDesignBytes();
}

// A paste replaces the whole design. Undo and Redo across it bring back whole designs, and the
// edits on either side are restored into the design they were made in.
TEST_F(CUndoTest, PasteOfAWholeDesignIsOneStep)
{
    {
        CArchive normalised(doc.SaveDesignBytes());
        ASSERT_TRUE(doc.LoadFromArchive(normalised, "first"));
    }
    Edits(1);
    CWevraDoc other;
    other.Design().SetBoardSize(777000, 555000);
    Edit(other, 5);
    Edit(other, 6);

    // The design before the paste comes back as it loads, with what loading derives afresh.
    std::vector<Bytes> designs{Reloaded(doc.SaveDesignBytes())};
    CArchive pasted(other.SaveDesignBytes());
    ASSERT_TRUE(doc.PasteDesign(pasted, "pasted"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Design().GetBoardWidth(), 777000);
    designs.push_back(doc.SaveDesignBytes());
    Edit(doc, 7);
    designs.push_back(doc.SaveDesignBytes());

    for (size_t k = designs.size() - 1; k-- > 0;) {
        ASSERT_TRUE(doc.History().CanUndo());
        doc.History().Undo();
        EXPECT_EQ(doc.SaveDesignBytes(), designs[k]) << "undo to design " << k;
    }
    doc.History().Undo();
    EXPECT_EQ(State(doc), states[0]) << "the edit before the paste";
    doc.History().Redo();
    for (size_t k = 0; k < designs.size(); ++k) {
        EXPECT_EQ(doc.SaveDesignBytes(), designs[k]) << "redo to design " << k;
        doc.History().Redo();
    }
    EXPECT_FALSE(doc.History().CanRedo());
}

// ---- Clean --------------------------------------------------------------------------------------

TEST_F(CDocTest, CleanRemovesUnusedShapesAndUndoBringsBackShapesAndComponentsTogether)
{
    CWevraDoc doc;
    CShapeLib& cache = doc.Design().GetEditableShapeCache();
    for (const char* name : {"S0", "S1", "S2", "S3"})
        cache.AddShape(name);
    CComponentArray& components = doc.Design().GetComponents();
    components.AddEmpty(3);
    components.AddEmpty(1);
    doc.SetModifiedFlag(false);

    CDialogService::CleanChoices choices;
    choices.unusedNets = false;
    choices.unusedPads = false;
    choices.minimalPadSize = false;
    doc.Cleanup().Clean(choices);
    ASSERT_EQ(cache.GetCount(), 2);
    EXPECT_EQ(cache.GetShapeName(0), "S1");
    EXPECT_EQ(cache.GetShapeName(1), "S3");
    EXPECT_EQ(components.GetShapeIndex(0), 1);
    EXPECT_EQ(components.GetShapeIndex(1), 0);
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.History().CanUndo());
    doc.History().Undo();
    ASSERT_EQ(doc.Design().GetShapeCache().GetCount(), 4);
    EXPECT_EQ(&doc.Design().GetShapeCache(), &cache);
    EXPECT_EQ(doc.Design().GetShapeCache().GetShapeName(components.GetShapeIndex(0)), "S3");
    EXPECT_EQ(doc.Design().GetShapeCache().GetShapeName(components.GetShapeIndex(1)), "S1");
    doc.History().Redo();
    EXPECT_EQ(doc.Design().GetShapeCache().GetCount(), 2);
    EXPECT_EQ(doc.Design().GetShapeCache().GetShapeName(components.GetShapeIndex(0)), "S3");
}

TEST_F(CDocTest, CleanGivesDrilledPadstacksTheirBorderAndLeavesTheOthers)
{
    CWevraDoc doc;
    CPadStackArray& stacks = doc.Design().GetEditableShapeCache().GetPadStacks();
    auto width = [&stacks](int32_t stack, int32_t layer) {
        const CPad* pad = stacks.GetPad(stack, layer);
        return pad != nullptr ? pad->GetWidth() : -1;
    };
    int32_t drilled = -1;
    int32_t plain = -1;
    for (int32_t i = 0; i < stacks.GetCount(); ++i) {
        const bool hasDrill = stacks.GetPad(i, LAYER_DRILL) != nullptr;
        (hasDrill ? drilled : plain) = i;
    }
    ASSERT_GE(drilled, 0);
    const int32_t drill = width(drilled, LAYER_DRILL);
    const int32_t top = width(drilled, LAYER_TOP);
    std::vector<int32_t> plainWidths;
    if (plain >= 0) {
        for (int32_t layer = 1; layer <= LAYER_DRILL; ++layer)
            plainWidths.push_back(width(plain, layer));
    }

    CDialogService::CleanChoices choices;
    choices.unusedNets = false;
    choices.unusedShapes = false;
    choices.unusedPads = false;
    choices.border = 2015;
    doc.Cleanup().Clean(choices);
    EXPECT_NEAR(width(drilled, 3), drill + 2 * 2015, 2);
    EXPECT_NEAR(width(drilled, 16), drill + 2 * 2015, 2);
    EXPECT_EQ(width(drilled, LAYER_TOP), top);
    for (size_t i = 0; i < plainWidths.size(); ++i)
        EXPECT_EQ(width(plain, int32_t(i) + 1), plainWidths[i]);
}

// ---- Shape documents ----------------------------------------------------------------------------

class CShapeDocTest : public CDocTest {
protected:
    void SetUp() override
    {
        CDocTest::SetUp();
        library.SetName("Parts");
        library.AddShape("DIP2");
        const int32_t s = library.AddShape("SO2");
        library.AddPadToShape(s, -10000, 0, 1, 0);
        library.AddPadToShape(s, 10000, 0, 1, 90000);
        library.AddOutlineToShape(s, -20000, -6000, Word(21, 0));
        library.AddOutlineToShape(s, 20000, -6000, Word(21, 1));
        library.AddOutlineToShape(s, -5000, 3000, Word(1, 0));
        library.AddOutlineToShape(s, 5000, 3000, Word(1, 1));
        library.RecalcShapeExtent(s);
        library.SetCurShape(s);
        frame.edited = &library;
        frame.shapeRequest = true;
    }

    static uint16_t Word(int32_t layer, int32_t pen)
    {
        ShapeOutlineVertex vertex;
        vertex.SetLayer(layer);
        vertex.SetPen(pen);
        return vertex.word;
    }

    CShapeLib library;
};

TEST_F(CShapeDocTest, ShapeIsLaidOutOnItsOwnBoard)
{
    CWevraDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(frame.shapeRequest);
    EXPECT_TRUE(doc.IsShapeDocument());
    EXPECT_EQ(doc.GetPathNameRef(), "/libs/SHAPES - Parts - SO2");
    EXPECT_EQ(doc.GetTitle(), "Design] - [SHAPES - Parts - SO2 ->Lines Draw");
    EXPECT_TRUE(frame.recent.empty());
    EXPECT_EQ(doc.Session().GetSelectionFilter(), 0x30000201u);
    EXPECT_EQ(doc.Session().GetMode(), ID_LINES_ADD);
    EXPECT_EQ(doc.Session().GetDefaultPadStackKind(), CEditState::kindShapePad);
    EXPECT_EQ(doc.Session().GetWorkLayer(), 21);
    EXPECT_EQ(doc.GetDefaultMenu(), CShapeSource::menuResource);
    EXPECT_EQ(frame.posted, (std::vector<uint32_t>{ID_VIEW_LEFT_PANE, ID_VIEW_ZOOM_ALL}));

    const CRect extent = library.GetShapeExtent(1);
    const CPoint shift(12800 - extent.left, 12800 - extent.top);
    EXPECT_EQ(doc.Session().GetOrigin(), shift);
    EXPECT_EQ(doc.Design().GetBoardWidth(), extent.Width() + 25600);
    EXPECT_EQ(doc.Design().GetBoardHeight(), extent.Height() + 25600);
    EXPECT_EQ(doc.Design().GetBoardOutline().GetSize(), 5);
    EXPECT_EQ(doc.Design().GetLines().GetCount(), 2);
    EXPECT_EQ(doc.Design().GetLines().GetPoint(0), CPoint(shift.x - 20000, shift.y - 6000));
    const CNet& zero = *doc.Design().GetNets().GetNet(0);
    ASSERT_EQ(zero.GetVertexCount(), 4);
    EXPECT_EQ(zero.GetVertexLayer(1), 1);
    EXPECT_TRUE(zero.IsPadVertex(3));
    EXPECT_EQ(zero.GetVertexRotation(3), 90000);
    EXPECT_EQ(zero.GetPenTable(), library.GetPens());
    EXPECT_EQ(doc.Design().GetLines().GetPenTable(), library.GetPens());

    doc.SetModified();
    EXPECT_TRUE(doc.SaveModified()) << "never asks";
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CShapeDocTest, EmptyShapeOpensOnATwoInchBoard)
{
    library.SetCurShape(0);
    CWevraDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.Design().GetBoardWidth(), 512000);
    EXPECT_EQ(doc.Design().GetBoardHeight(), 512000);
    EXPECT_EQ(doc.Session().GetOrigin(), CPoint(256000, 256000));
}

// Closing writes the shape back into the library it was made from, at its own place, even
// when the main window has moved on to another library.
TEST_F(CShapeDocTest, ClosingWritesTheShapeBackWhereItCameFrom)
{
    auto doc = std::make_unique<CWevraDoc>();
    ASSERT_TRUE(doc->OnNewDocument());
    CShapeLib other("Other");
    other.AddShape("X");
    frame.edited = &other;

    doc->OnCloseDocument();
    ASSERT_TRUE(frame.ended);
    EXPECT_EQ(frame.ended->GetName(), "Parts");
    EXPECT_EQ(archive_bytes::Store(*frame.ended->GetShape(1)),
              archive_bytes::Store(*library.GetShape(1)))
        << "an unchanged shape comes back unchanged";
    EXPECT_EQ(frame.ended->GetShape(0)->GetOutlineCount(), 0);

    doc = std::make_unique<CWevraDoc>();
    frame.edited = &library;
    frame.shapeRequest = true;
    ASSERT_TRUE(doc->OnNewDocument());
    const CPoint origin = doc->Session().GetOrigin();
    doc->Design().GetLines().AddSegment(origin.x, origin.y, origin.x + 3000, origin.y, 22, 1, 0);
    doc->OnCloseDocument();
    const CShape& shape = *frame.ended->GetShape(1);
    ASSERT_EQ(shape.GetOutlineCount(), 6);
    EXPECT_EQ(shape.GetOutlinePoint(2), CPoint(0, 0));
    EXPECT_EQ(shape.GetOutlineLayer(3), 22);
    EXPECT_EQ(shape.GetPadCount(), 2);
}

// ---- What the collections ask of the design -----------------------------------------------------

TEST_F(CDocTest, PadStackKindsPassSeparatesNetPadsAndMakesDefaults)
{
    CWevraDoc doc;
    CShapeLib& cache = doc.Design().GetEditableShapeCache();
    CPadStackArray& stacks = cache.GetPadStacks();
    const int32_t count = stacks.GetCount();
    cache.AddPadToShape(cache.AddShape("S"), 0, 0, 5, 0);
    CNet& zero = *doc.Design().GetNets().GetNet(0);
    zero.AppendPadVertex(0, 0, 5, 0, false);
    zero.AppendPadVertex(100, 0, 5, 0, false);
    doc.PadStackUse().NormalizePadStackKinds(cache);

    // The copy for the net pads, then a via, which the standard table lacks.
    ASSERT_EQ(stacks.GetCount(), count + 2);
    EXPECT_EQ(stacks.GetName(count + 1), "VIA 1.00 H0.80");
    EXPECT_EQ(zero.GetVertexPadStack(0), count);
    EXPECT_EQ(zero.GetVertexPadStack(1), count);
    EXPECT_TRUE(stacks.IsShapePadKind(5));
    EXPECT_TRUE(stacks.IsPadKind(count));
    EXPECT_FALSE(stacks.IsShapePadKind(count));
    EXPECT_NE(stacks.GetName(count), stacks.GetName(5));
    EXPECT_TRUE(stacks.IsShapePadKind(stacks.GetDefault(CEditState::kindShapePad)));

    stacks.RemoveAll();
    zero.ClearVertices();
    cache.DeleteShape(0);
    doc.PadStackUse().NormalizePadStackKinds(cache);
    ASSERT_EQ(stacks.GetCount(), 3);
    EXPECT_EQ(stacks.GetName(0), "CIR 1.60 H0.80");
    EXPECT_EQ(stacks.GetName(1), "CIR 1.60 H0.80__A");
    EXPECT_EQ(stacks.GetName(2), "VIA 1.00 H0.80");
    EXPECT_EQ(stacks.GetDefault(CEditState::kindPad), 0);
    EXPECT_EQ(stacks.GetDefault(CEditState::kindShapePad), 1);
    EXPECT_EQ(stacks.GetDefault(CEditState::kindVia), 2);
    EXPECT_TRUE(stacks.IsVia(2));
    EXPECT_EQ(stacks.GetPadWidth(0, 1), 2 * 8062);
    EXPECT_EQ(stacks.GetPadWidth(2, 26), 8062);
    EXPECT_TRUE(services.messages.Shown().empty());
}

// A net pad naming a padstack past the end of the loaded table takes the default pad, with one
// warning; the last padstack of the table is no such pad.
TEST_F(CDocTest, LoadGivesNetPadsOfNoPadstackTheDefaultPad)
{
    CWevraDoc doc;
    const CPadStackArray& stacks = doc.Design().GetShapeCache().GetPadStacks();
    const int32_t count = stacks.GetCount();
    CNet& zero = *doc.Design().GetNets().GetNet(0);
    zero.AppendPadVertex(0, 0, count - 1, 0, false);
    zero.AppendVertex(0, 100, 1, 0);
    const std::string repaired = CResString::Load(IDS_NET_PADSTACK_REPAIRED);
    {
        CArchive ar(Bytes{});
        doc.Design().RepairLoadedIndexes(ar);
        EXPECT_TRUE(ar.GetLoadWarnings().empty());
    }
    zero.AppendPadVertex(100, 0, count, 0, false);
    CArchive ar(Bytes{});
    doc.Design().RepairLoadedIndexes(ar);
    EXPECT_EQ(ar.GetLoadWarnings(), std::vector<std::string>{repaired});
    EXPECT_EQ(zero.GetVertexPadStack(0), count - 1);
    EXPECT_EQ(zero.GetVertexPadStack(2), stacks.GetDefault(PADSTACK_KIND_PAD));
}

TEST_F(CDocTest, RenumberedNetsReachPadsAndPlanes)
{
    CWevraDoc doc;
    CShapeLib& cache = doc.Design().GetEditableShapeCache();
    const int32_t shape = cache.AddShape("R");
    cache.AddPadToShape(shape, 0, 0, 1, 0);
    cache.AddPadToShape(shape, 100, 0, 1, 0);
    CComponentArray& components = doc.Design().GetComponents();
    CComponent& component = *components.GetComponent(components.AddEmpty(shape));
    component.ResizePadNets(2);
    doc.Design().GetNets().AddNet("A");
    doc.Design().GetNets().AddNet("B");
    doc.Design().SetPadNet(0, 0, 2);
    doc.Design().SetPadNet(0, 1, 1);
    doc.Design().GetPlanes().push_back(std::make_unique<CPour>(2, 1, 0, 0, 1, 3023, 6047, 45000));
    doc.Design().GetPlanes().push_back(std::make_unique<CPour>(-1, 1, 0, 0, 1, 3023, 6047, 45000));

    doc.Design().RenumberNets({0, 0, 1});
    EXPECT_EQ(doc.Design().GetComponentPadNets(0), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(doc.Design().GetPlanes()[0]->GetNet(), 1);
    EXPECT_EQ(doc.Design().GetPlanes()[1]->GetNet(), -1) << "a plane without a net keeps none";

    doc.Design().GetComponents().AddEmpty(7);
    CArchive ar(Bytes{});
    doc.Design().RepairComponentsAfterLoad(ar);
    EXPECT_EQ(doc.Design().GetComponents().GetShapeIndex(1), -1);
    EXPECT_FALSE(ar.GetLoadWarnings().empty());
}

} // namespace
