#include "document/CDocumentPlanes.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "document/CStatusLine.h"
#include "framework/CResourcePack.h"
#include "framework/VirtualKeys.h"
#include "model/CDialogService.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "model/CPour.h"
#include "model/FillStroke.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CRecordingDC.h"

namespace {

class CScriptedPlaneDialogs : public CDialogService {
public:
    int32_t BorderSize(const std::vector<std::string>& choices, std::string& chosen) override
    {
        offered = choices;
        chosen = choices.back();
        return borderAnswer;
    }
    int32_t PlaneProperties(int32_t, const std::vector<std::string>&,
                            const std::vector<std::string>&, PlaneValues& plane) override
    {
        shownRotation = plane.hatchRotation;
        if (layer > 0) {
            plane.layer = layer;
            return resultOk;
        }
        plane.name = "GND";
        plane.style = CPour::styleCross;
        plane.hatchRotation = "30.5";
        return resultOk;
    }

    std::vector<std::string> offered;
    std::string shownRotation;
    int32_t borderAnswer = resultOk;
    // Only moves the plane to this layer when above 0.
    int32_t layer = 0;
};

class CDocPlanesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousFrame = CDocumentFrame::Set(&frame);
        doc = std::make_unique<CWevraDoc>();
        doc->SetViews(&views);
        doc->Design().SetBoardOutlineRect(0, 0, 400000, 300000);
        doc->SetModifiedFlag(false);
    }
    void TearDown() override
    {
        doc.reset();
        CDocumentFrame::Set(m_previousFrame);
    }

    std::vector<CPoint> Outline(const CPour& plane) const
    {
        std::vector<CPoint> points;
        for (int32_t k = 0; k < plane.GetOutline().GetSize(); ++k)
            points.push_back(plane.GetOutline()[k]);
        return points;
    }

    CFakeServices services;
    CFontFrame frame;
    CRecordingViews views;
    std::unique_ptr<CWevraDoc> doc;

private:
    CDocumentFrame* m_previousFrame = nullptr;
};

TEST_F(CDocPlanesTest, EachWayOfCreatingGivesItsOutline)
{
    const CPour& full = doc->Planes().AddFullBoardPlane(CPoint(1000, 1000), 1007);
    EXPECT_EQ(Outline(full),
              (std::vector<CPoint>{
                  {1007, 1007}, {398993, 1007}, {398993, 298993}, {1007, 298993}, {1007, 1007}}));
    EXPECT_EQ(doc->Session().GetMode(), ID_PLANES_EDIT_POLYLINE);

    const CPour& rect = doc->Planes().AddRectanglePlane(CRect(10000, 20000, 60000, 80000));
    EXPECT_EQ(Outline(rect),
              (std::vector<CPoint>{
                  {10000, 20000}, {60000, 20000}, {60000, 80000}, {10000, 80000}, {10000, 20000}}));
    EXPECT_EQ(rect.GetSeed(), CPoint(13033, 23033));

    // A 2 mm wide box: 48 points on the circle and the closing copy of the first.
    const CPour& circle = doc->Planes().AddCirclePlane(CRect(100000, 100000, 120156, 120156));
    const std::vector<CPoint> ring = Outline(circle);
    ASSERT_EQ(ring.size(), 49u);
    EXPECT_EQ(ring.front(), CPoint(120156, 110078));
    EXPECT_EQ(ring[12], CPoint(110078, 100000));
    EXPECT_EQ(ring.back(), ring.front());
    EXPECT_EQ(circle.GetSeed(), CPoint(110078, 110078));

    const CPour& poly = doc->Planes().AddPolylinePlane(CPoint(200000, 150000));
    const CRect box = poly.GetOutlineRect();
    EXPECT_EQ(box.right - box.left, CPour::squareSide);
    EXPECT_EQ((box.left + box.right) / 2, 200000);
    EXPECT_EQ(doc->Session().GetMode(), ID_PLANES_EDIT_POLYLINE);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);

    EXPECT_EQ(doc->Design().GetPlaneCount(), 4);
    EXPECT_EQ(doc->Session().GetPlaneIndex(), 3);
    EXPECT_EQ(circle.GetName().substr(0, 4), "03. ");
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(CDocPlanesTest, FullBoardPlaneWithoutRectangularOutlineUsesTheBoardSize)
{
    doc->Design().SetBoardOutlineRect(0, 0, 50000, 40000);
    const_cast<CRec12Array&>(doc->Design().GetBoardOutline()).RemoveAt(2, 3);
    ASSERT_LT(doc->Design().GetBoardOutline().GetSize(), 5);
    const CPour& plane = doc->Planes().AddFullBoardPlane(CPoint(5000, 5000), 2015);
    EXPECT_EQ(Outline(plane),
              (std::vector<CPoint>{
                  {2015, 2015}, {47985, 2015}, {47985, 37985}, {2015, 37985}, {2015, 2015}}));
}

TEST_F(CDocPlanesTest, PlaneOnBottomLayerIsNamedAfterIt)
{
    doc->Planes().AddRectanglePlane(CRect(0, 0, 20000, 20000));
    ASSERT_TRUE(doc->Session().SetWorkLayer(2));
    const CPour& plane = doc->Planes().AddRectanglePlane(CRect(0, 0, 20000, 20000));
    EXPECT_EQ(plane.GetName(), "02. Signal Bottom");

    doc->Planes().SelectPlane(1, true);
    doc->Planes().CopySelectedPlanes();
    ASSERT_EQ(doc->Design().GetPlaneCount(), 3);
    EXPECT_EQ(doc->Design().GetPlane(2).GetName(), "03. Signal Bottom");
    EXPECT_TRUE(doc->Design().GetPlane(2).IsSelected());
    EXPECT_FALSE(doc->Design().GetPlane(1).IsSelected());
}

TEST_F(CDocPlanesTest, DeletingKeepsTheCurrentPlaneValid)
{
    EXPECT_FALSE(doc->Planes().DeleteCurrentPlane());
    for (int32_t k = 0; k < 3; ++k)
        doc->Planes().AddRectanglePlane(CRect(0, 0, 20000 + k, 20000));
    doc->Planes().SetCurrentPlane(2);
    ASSERT_TRUE(doc->Planes().DeleteCurrentPlane());
    EXPECT_EQ(doc->Session().GetPlaneIndex(), 1);
    EXPECT_GE(doc->History().GetUndoCount(), 1);

    doc->Planes().SelectPlane(0, true);
    doc->Planes().DeleteSelectedPlanes();
    ASSERT_EQ(doc->Design().GetPlaneCount(), 1);
    EXPECT_EQ(doc->Session().GetPlaneIndex(), 0);
    ASSERT_NE(doc->Planes().GetCurrentPlane(), nullptr);

    ASSERT_TRUE(doc->Planes().DeleteCurrentPlane());
    EXPECT_EQ(doc->Planes().GetCurrentPlane(), nullptr);
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
    EXPECT_FALSE(doc->Planes().MovePlaneSeed(CPoint(100, 100)));
}

TEST_F(CDocPlanesTest, DeleteAllSavesUndoAndMarksModified)
{
    doc->Planes().AddRectanglePlane(CRect(0, 0, 20000, 20000));
    doc->SetModifiedFlag(false);
    const int32_t undoBefore = doc->History().GetUndoCount();
    doc->Planes().DeleteAllPlanes();
    EXPECT_EQ(doc->Design().GetPlaneCount(), 0);
    EXPECT_EQ(doc->Planes().GetCurrentPlane(), nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_GT(doc->History().GetUndoCount(), undoBefore);
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
}

TEST_F(CDocPlanesTest, RefillAfterMovingTheSeedChangesTheFill)
{
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(10000, 10000, 90000, 90000));
    plane.SetSeed(CPoint(150000, 150000));
    doc->Planes().RebuildPlane(doc->Session().GetPlaneIndex());
    EXPECT_TRUE(plane.GetFillPolylines().empty());

    EXPECT_FALSE(doc->Planes().MovePlaneSeed(CPoint(150000, 150000)));
    ASSERT_TRUE(doc->Planes().MovePlaneSeed(CPoint(50000, 50000)));
    EXPECT_EQ(plane.GetSeed(), CPoint(50000, 50000));
    EXPECT_FALSE(plane.GetFillPolylines().empty());
}

// A hatch rotation anywhere in the 32-bit range hatches as the same rotation within one turn
// does, and the refill leaves the modified mark and the Undo list as that one does.
TEST_F(CDocPlanesTest, RefillAllHatchesEveryRotationAsItsTurnWithinOneTurn)
{
    struct Case {
        int32_t style;
        int32_t rotation;
        int32_t withinTurn;
    };
    const Case cases[] = {
        {CPour::styleLine, std::numeric_limits<int32_t>::min(), 276352},
        {CPour::styleCross, std::numeric_limits<int32_t>::min(), 276352},
        {CPour::styleCross, std::numeric_limits<int32_t>::max(), 83647},
        {CPour::styleCross, 360000, 0},
    };
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(20000, 20000, 380000, 280000));
    doc->SetModifiedFlag(false);
    const auto refill = [&](int32_t style, int32_t rotation) {
        plane.SetStyle(style);
        plane.SetHatchRotation(rotation);
        doc->Planes().RefillAll();
        EXPECT_EQ(plane.GetFillErrorCount(), 0);
        EXPECT_EQ(plane.GetHatchRotation(), rotation);
        return std::vector<FillStroke>(plane.GetFillStrokes().begin(),
                                       plane.GetFillStrokes().end());
    };
    for (const Case& c : cases) {
        const std::vector<FillStroke> expected = refill(c.style, c.withinTurn);
        const bool modified = doc->IsModified();
        const int32_t undoCount = doc->History().GetUndoCount();
        ASSERT_GT(expected.size(), 10u) << c.rotation;
        EXPECT_EQ(refill(c.style, c.rotation), expected) << c.style << " " << c.rotation;
        EXPECT_EQ(doc->IsModified(), modified);
        EXPECT_EQ(doc->History().GetUndoCount(), undoCount);
    }
}

TEST_F(CDocPlanesTest, OutlineEditKeepsThreeCornersAndEscRestores)
{
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(0, 0, 40000, 40000));
    doc->Session().SetMode(ID_PLANES_EDIT_POLYLINE);
    const std::vector<CPoint> before = Outline(plane);
    doc->Session().SetCursor(CPoint(40000, 0));
    ASSERT_TRUE(doc->Planes().PlaneEditClick());
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    doc->Session().SetCursor(CPoint(30000, 5000));
    doc->Planes().PlaneEditMouseMove();
    EXPECT_NE(Outline(plane), before);
    EXPECT_TRUE(doc->Planes().PlaneEditKey(VK_ESCAPE));
    EXPECT_EQ(Outline(plane), before);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);

    doc->Session().SetCursor(CPoint(40000, 0));
    ASSERT_TRUE(doc->Planes().PlaneEditClick());
    EXPECT_TRUE(doc->Planes().PlaneEditKey(VK_DELETE));
    EXPECT_EQ(plane.GetOutline().GetSize(), 4);
    EXPECT_FALSE(doc->Planes().PlaneEditKey(VK_DELETE));
    EXPECT_EQ(plane.GetOutline().GetSize(), 4);
}

TEST_F(CDocPlanesTest, DialogsGiveBorderAndProperties)
{
    CScriptedPlaneDialogs dialogs;
    CDialogService* previous = CDialogService::Set(&dialogs);
    EXPECT_FALSE(doc->Planes().EditPlaneProperties());
    doc->Session().SetCursor(CPoint(50000, 50000));
    // Cancelled, the border dialog makes no plane.
    dialogs.borderAnswer = CDialogService::resultCancel;
    EXPECT_EQ(doc->Planes().AddFullBoardPlaneAtCursor(), nullptr);
    EXPECT_EQ(doc->Design().GetPlaneCount(), 0);
    EXPECT_FALSE(doc->IsModified());
    dialogs.borderAnswer = CDialogService::resultOk;
    ASSERT_NE(doc->Planes().AddFullBoardPlaneAtCursor(), nullptr);
    CPour& plane = *doc->Design().GetPlanes()[0];
    EXPECT_EQ(dialogs.offered.size(), 7u);
    EXPECT_EQ(plane.GetOutline()[0], CPoint(10078, 10078));
    EXPECT_EQ(plane.GetSeed(), CPoint(50000, 50000));

    EXPECT_TRUE(doc->Planes().EditPlaneProperties());
    EXPECT_EQ(dialogs.shownRotation, "45.000");
    EXPECT_EQ(plane.GetName(), "GND");
    EXPECT_EQ(plane.GetStyle(), CPour::styleCross);
    EXPECT_EQ(plane.GetHatchRotation(), 30500);

    // A name the program gave follows the plane to its new layer; one the user gave stays.
    if (doc->Planes().AddFullBoardPlaneAtCursor() == nullptr) {
        CDialogService::Set(previous);
        FAIL() << "no second plane";
    }
    CPour& second = *doc->Design().GetPlanes()[1];
    const int32_t from = second.GetLayer();
    const int32_t to = from == LAYER_TOP ? LAYER_BOTTOM : LAYER_TOP;
    const std::string fromName = doc->Design().GetLayers().GetLayerName(from);
    const std::string toName = doc->Design().GetLayers().GetLayerName(to);
    EXPECT_EQ(second.GetName(), "02. " + fromName.substr(3));
    dialogs.layer = to;
    EXPECT_TRUE(doc->Planes().EditPlaneProperties());
    EXPECT_EQ(second.GetLayer(), to);
    EXPECT_EQ(second.GetName(), "02. " + toName.substr(3));
    doc->Planes().SetCurrentPlane(0);
    EXPECT_TRUE(doc->Planes().EditPlaneProperties());
    EXPECT_EQ(plane.GetName(), "GND");
    CDialogService::Set(previous);
}

} // namespace

// A fill made before the copper changed is never passed for the plane's copper: the board shows
// its outline dashed, the status line names it and Test All lists it, until it is filled again.
// Undo and Redo change the copper as the edit did.
TEST_F(CDocPlanesTest, AFillOlderThanTheCopperIsToldUntilRefilled)
{
    // The texts come from the language pack beside the program.
    CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    struct PackReset {
        ~PackReset() { CResourcePack::SetCurrent(CResourcePack()); }
    } packReset;
    CNetArray& nets = doc->Design().GetNets();
    const int32_t signal = nets.AddNet("SIG");
    nets.AddNet("OTHER");
    doc->Session().SetWorkLayer(LAYER_BOTTOM);
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(20000, 20000, 380000, 280000));
    plane.SetName("GROUND");
    doc->Session().SetPlaneIndex(-1);
    ASSERT_TRUE(plane.HasFill());
    const auto told = [&] {
        CRecordingDC dc;
        EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        int32_t dashed = 0;
        for (const std::string& line : dc.Lines())
            dashed += line == "SelectPen dash 1 0x00FFFFFF" ? 1 : 0;
        std::vector<std::string> listed;
        for (int32_t i = 0; i < nets.GetErrorCount(); ++i) {
            const CNetErrorRec& error = *nets.GetError(i);
            if (error.GetFirst().text == "Plane needs Refill")
                listed.push_back(error.GetSecond().text + " " + std::to_string(error.GetKind()));
        }
        return std::to_string(dashed) + " dashed, status \"" +
               CStatusLine::Format(doc->Design(), doc->Session(), doc->View())[0] +
               "\", listed:" + (listed.empty() ? std::string() : " " + listed[0]);
    };
    const std::string current = "0 dashed, status \"\", listed:";
    const std::string stale = "1 dashed, status \"Plane needs Refill: GROUND\", listed: GROUND " +
                              std::to_string(LAYER_BOTTOM);
    EXPECT_EQ(told(), current);

    // Routed across it as the autorouter does, after the snapshot of the edit.
    doc->History().EditIfChanged([&] {
        CNet& net = *nets.GetNet(signal);
        const int32_t pen = net.AddPen(3023);
        net.AppendVertex(50000, 150000, LAYER_BOTTOM, 0);
        net.AppendVertex(350000, 150000, LAYER_BOTTOM, pen);
        return true;
    });
    doc->RunCheckAll();
    EXPECT_EQ(told(), stale);
    doc->Planes().RefillAll();
    EXPECT_EQ(told(), current);

    doc->History().Undo();
    doc->RunCheckAll();
    EXPECT_EQ(told(), stale);
    doc->Planes().RefillLayer(LAYER_BOTTOM);
    doc->RunCheckAll();
    EXPECT_EQ(told(), current);
    doc->History().Redo();
    doc->RunCheckAll();
    EXPECT_EQ(told(), stale);
    doc->Planes().RebuildPlane(0);
    doc->RunCheckAll();
    EXPECT_EQ(told(), current);
}
