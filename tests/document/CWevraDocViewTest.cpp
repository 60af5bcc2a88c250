#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/Rec12.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;

using CViewServicesTest = CDocumentTest;

TEST_F(CViewServicesTest, NetlistIsNewerOnlyWhenItsFileIsNewer)
{
    const CTempFolder folder("wevra-netlist");
    const fs::path netlist = folder / "BOARD.NET";
    std::ofstream(netlist) << "netlist";
    constexpr int64_t written = 1700000000;
    fs::last_write_time(netlist, std::chrono::file_clock::from_sys(
                                     std::chrono::sys_seconds(std::chrono::seconds(written))));

    const struct {
        std::string path;
        int64_t stamp;
        bool newer;
    } rows[] = {
        {netlist.string(), written - 1, true},    {netlist.string(), written, false},
        {netlist.string(), written + 100, false}, {(folder / "MISSING.NET").string(), 0, false},
        {folder.Path().string(), 0, false},       {"", 0, false},
    };
    for (const auto& row : rows) {
        doc->Design().SetNetlistPath(row.path);
        doc->Design().SetNetlistTime(row.stamp);
        EXPECT_EQ(doc->IsNetlistNewer(), row.newer) << row.path << " " << row.stamp;
    }
}

TEST_F(CViewServicesTest, CentreAndBoardOutline)
{
    views.client = CSize(800, 600);
    doc->View().CenterOn(1000, 2000);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(239000, 178000));
    EXPECT_TRUE(doc->IsModified());

    doc->Design().SetBoardOutlineRect(100, 200, 50000, 60000);
    const CRec12Array& outline = doc->Design().GetBoardOutline();
    ASSERT_EQ(outline.GetSize(), 5);
    EXPECT_EQ(outline[0], (Rec12{100, 200, 0}));
    EXPECT_EQ(outline[2], (Rec12{50000, 60000, 1}));
    EXPECT_EQ(outline[4], (Rec12{100, 200, 1}));
    EXPECT_EQ(doc->Design().GetBoardWidth(), 50000);
    EXPECT_EQ(doc->Design().GetBoardHeight(), 60000);
}

std::unique_ptr<CPour> Plane(int32_t x)
{
    auto plane = std::make_unique<CPour>(0, 1, 0, 0, 1, 3023, 6047, 0);
    plane->StartSquareAtCursor(1, CPoint(x, 0));
    return plane;
}

// Net 1 has no pins; net 2, named `used`, holds the one pad of the one component.
CNetArray& EmptyNetBelowAUsedOne(CWevraDoc& doc, const std::string& used)
{
    CShapeLib& cache = doc.Design().GetEditableShapeCache();
    const int32_t shape = cache.AddShape("R");
    cache.AddPadToShape(shape, 0, 0, 1, 0);
    CComponentArray& components = doc.Design().GetComponents();
    components.GetComponent(components.AddEmpty(shape))->ResizePadNets(1);
    CNetArray& nets = doc.Design().GetNets();
    nets.AddNet("EMPTY");
    nets.AddNet(used);
    doc.Design().SetPadNet(0, 0, 2);
    doc.Design().RebuildNetPins();
    return nets;
}

// The current plane index keeps naming its plane, also while parked by another tool.
TEST_F(CViewServicesTest, DeletingPlanesKeepsTheCurrentPlane)
{
    const struct {
        int32_t current;
        std::vector<int32_t> selected;
        int32_t after;
    } rows[] = {
        {2, {0}, 1},
        {2, {3}, 2},
        {2, {2}, CEditState::noPlane},
        {3 - CEditState::planeIndexPark, {0, 1}, 1 - CEditState::planeIndexPark},
        {1 - CEditState::planeIndexPark, {1}, CEditState::noPlane},
        {CEditState::noPlane, {0, 2}, CEditState::noPlane},
    };
    for (const auto& row : rows) {
        doc->Design().GetPlanes().clear();
        for (int32_t i = 0; i < 4; ++i)
            doc->Design().GetPlanes().push_back(Plane(i * 100000));
        for (const int32_t i : row.selected)
            doc->Design().GetPlanes()[size_t(i)]->SetSelected(true);
        doc->Session().SetPlaneIndex(row.current);
        const int32_t undoCount = doc->History().GetUndoCount();
        doc->SetModifiedFlag(false);

        EXPECT_TRUE(doc->Editing().DeleteSelection());
        EXPECT_EQ(doc->Design().GetPlanes().size(), 4 - row.selected.size());
        EXPECT_EQ(doc->Session().GetPlaneIndex(), row.after) << row.current;
        EXPECT_EQ(doc->History().GetUndoCount(), undoCount + 1)
            << "a snapshot also for planes alone";
        EXPECT_TRUE(doc->IsModified());
    }
}

TEST_F(CViewServicesTest, DeleteUnusedNetsKeepsNetsWithPins)
{
    CNetArray& nets = EmptyNetBelowAUsedOne(*doc, "USED");
    nets.SetCurrentNet(2);
    nets.AddError(CNetErrorRec({"Track", 1, CPoint(0, 0)}, {"Track", 2, CPoint(5, 5)}));
    doc->SetModifiedFlag(false);

    doc->Cleanup().DeleteUnusedNets();
    ASSERT_EQ(nets.GetCount(), 2);
    EXPECT_EQ(nets.GetNetName(1), "USED");
    EXPECT_EQ(doc->Design().GetComponentPadNets(0), std::vector<int32_t>{1});
    EXPECT_EQ(nets.GetErrorCount(), 0);
    EXPECT_EQ(nets.GetCurrentIndex(), 0);
    EXPECT_EQ(frame.netItems.size(), 2u);
    EXPECT_GT(views.updates, 0);
    EXPECT_TRUE(doc->IsModified()) << "nets went: the design changed";
}

// Deleting an empty net renumbers the nets above it and the planes on them; an Undo that
// brings the old nets back has to bring the planes' old numbers back with them, and Redo the new.
TEST_F(CViewServicesTest, UndoBringsBackThePlaneNetsOfRenumberedNets)
{
    CNetArray& nets = EmptyNetBelowAUsedOne(*doc, "GND");
    doc->Design().GetPlanes().clear();
    doc->Design().GetPlanes().push_back(Plane(0));
    doc->Design().GetPlanes().push_back(Plane(100000));
    doc->Design().GetPlanes()[0]->SetNet(2);
    doc->Design().GetPlanes()[1]->SetNet(-1);

    doc->History().SaveUndoState();
    doc->Cleanup().DeleteUnusedNets();
    ASSERT_EQ(nets.GetCount(), 2);
    ASSERT_EQ(doc->Design().GetPlanes()[0]->GetNet(), 1);

    doc->History().Undo();
    ASSERT_EQ(doc->Design().GetNets().GetCount(), 3);
    EXPECT_EQ(doc->Design().GetNets().GetNetName(2), "GND");
    EXPECT_EQ(doc->Design().GetPlanes()[0]->GetNet(), 2) << "the plane follows its net back";
    EXPECT_EQ(doc->Design().GetPlanes()[1]->GetNet(), -1);
    doc->History().Redo();
    EXPECT_EQ(doc->Design().GetPlanes()[0]->GetNet(), 1);

    // A plane added after the snapshot goes with the Undo; the others get their nets back.
    doc->History().SaveUndoState();
    doc->Design().GetPlanes().push_back(Plane(200000));
    doc->Design().GetPlanes()[0]->SetNet(0);
    doc->History().Undo();
    ASSERT_EQ(doc->Design().GetPlanes().size(), 2u);
    EXPECT_EQ(doc->Design().GetPlanes()[0]->GetNet(), 1);
}

// The sheet works on a copy of the grids and may move the display layer set.
class CScriptedDesignConfig : public CDialogService {
public:
    int32_t DesignConfig(const DesignParts& parts, int32_t firstPage, CGridArr& grids) override
    {
        page = firstPage;
        sheetSnap = grids.GetSnap(0).cx;
        grids.SetSnap(0, 1234, 1234);
        parts.design.GetDisplaySets().GetJob(0)->SetCurrentItem(5);
        return answer;
    }
    int32_t answer = resultOk;
    int32_t page = -1;
    int32_t sheetSnap = 0;
};

TEST_F(CViewServicesTest, DesignConfigTakesTheGridsOnlyOnOk)
{
    COutput& display = *doc->Design().GetDisplaySets().GetJob(0);
    display.SetCurrentItem(2);
    CScriptedDesignConfig sheet;
    CDialogService* previous = CDialogService::Set(&sheet);

    sheet.answer = CDialogService::resultCancel;
    EXPECT_FALSE(doc->EditDesignConfig(2));
    EXPECT_EQ(sheet.page, 2);
    EXPECT_EQ(sheet.sheetSnap, 3200);
    EXPECT_EQ(doc->Design().GetGridSettings().GetSnap(0).cx, 3200);
    EXPECT_EQ(display.GetCurrentItem(), 2);

    sheet.answer = CDialogService::resultOk;
    EXPECT_TRUE(doc->EditDesignConfig(0));
    EXPECT_EQ(doc->Design().GetGridSettings().GetSnap(0).cx, 1234);
    EXPECT_EQ(display.GetCurrentItem(), 2);
    CDialogService::Set(previous);

    EXPECT_FALSE(doc->EditDesignConfig(0)) << "without a dialog service nothing is shown";
}

} // namespace
