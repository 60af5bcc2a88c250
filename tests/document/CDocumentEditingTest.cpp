#include "document/CDocumentEditing.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/TwoPadShape.h"

namespace {

class CScriptedArrayDialog : public CDialogService {
public:
    int32_t CopyArray(std::string& xDistance, std::string& yDistance, std::string& columns,
                      std::string& rows, std::string& increment) override
    {
        xDistance = x;
        yDistance = y;
        columns = cols;
        rows = rowCount;
        increment = "1";
        return resultOk;
    }

    std::string x = "0.1";
    std::string y = "0.1";
    std::string cols;
    std::string rowCount;
};

// A drawn line from (10000, 20000) to (30000, 20000) and a text at (50000, 60000).
class CDocCommandsTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        AddItems();
        m_previousDialogs = CDialogService::Set(&dialog);
    }
    void TearDown() override
    {
        CDialogService::Set(m_previousDialogs);
        CDocumentTest::TearDown();
    }

    void AddItems()
    {
        doc->Design().SetUnit(CLengthText::unitInch);
        CDrawRecArray& lines = doc->Design().GetLines();
        lines.AddSegment(10000, 20000, 30000, 20000, LAYER_DRAWING_1, lines.FindOrAddPen(2000), 0);
        CWevraText text;
        text.SetText("T");
        text.SetPosition(CPoint(50000, 60000));
        doc->Design().GetTexts().AddText(&text);
        doc->Session().SelectAll(false);
    }

    // The line's points, then the text's position.
    std::vector<CPoint> Points() const
    {
        std::vector<CPoint> points;
        for (int32_t i = 0; i < doc->Design().GetLines().GetCount(); ++i)
            points.push_back(doc->Design().GetLines().GetPoint(i));
        for (int32_t i = 0; i < doc->Design().GetTexts().GetCount(); ++i)
            points.push_back(doc->Design().GetTexts().GetText(i)->GetPosition());
        return points;
    }

    CScriptedArrayDialog dialog;
    CProgramStrings strings;

private:
    CDialogService* m_previousDialogs = nullptr;
};

TEST_F(CDocCommandsTest, MoveAndRotateTheSelectionAndUndoBoth)
{
    const std::vector<CPoint> start = Points();
    doc->Session().SelectAll(true);
    doc->Session().SetAction(CEditState::actionDragging);
    doc->Editing().MoveSelection(1000, -2000);
    const std::vector<CPoint> moved = {{11000, 18000}, {31000, 18000}, {51000, 58000}};
    EXPECT_EQ(Points(), moved);

    // A quarter turn about the cursor takes (1, 0) to (0, -1).
    doc->Session().SetCursor(CPoint(1000, 0));
    doc->History().SetSnapshotNeeded();
    doc->Editing().RotateSelection90();
    EXPECT_EQ(Points(), (std::vector<CPoint>{{19000, -10000}, {19000, -30000}, {59000, -50000}}));

    doc->History().Undo();
    EXPECT_EQ(Points(), moved);
    doc->History().Undo();
    EXPECT_EQ(Points(), start);
}

TEST_F(CDocCommandsTest, CancellingADragPutsTheSelectionBack)
{
    const std::vector<CPoint> start = Points();
    doc->Session().SelectAll(true);
    doc->Session().SetAnchor(CPoint(0, 0));
    doc->Session().SetCursor(CPoint(5000, 0));
    doc->Session().SetAction(CEditState::actionDragging);
    doc->Editing().MoveSelection(5000, 0);
    doc->Editing().CancelMove();
    EXPECT_EQ(Points(), start);
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{"CWevraDoc::CancelMove"});
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);
}

TEST_F(CDocCommandsTest, CopyArrayRefusesBadCountsAndDistances)
{
    struct Case {
        const char* x;
        const char* y;
        const char* columns;
        const char* rows;
        bool accepted;
        // What the refusal names.
        const char* named = "";
    };
    // 0.0039297 inch is 1006 board units, 0.0039336 inch 1007.
    const Case cases[] = {
        {"0.1", "0.1", "1", "1", false, "Copy array places 1 x 1, outside 2 to 1000"},
        {"0.1", "0.0039336", "1", "2", true},
        {"0.0039297", "0.1", "2", "1", false, "Copy array distance x 0.0039297, outside 0.00394"},
        {"0.1", "0.1", "40", "25", true},
        {"0.1", "0.1", "41", "25", false, "Copy array places 41 x 25, outside 2 to 1000"},
        {"0.1", "0.1", "0", "5", false, "Copy array columns 0, outside 1 to 1000"},
        // 3 x 1431655766 wraps to 2 in 32 bits.
        {"0.1", "0.1", "3", "1431655766", false, "Copy array rows 1431655766, outside 1 to 1000"},
        // A distance that puts the copies beyond where a point can lie.
        {"0.1", "4194.304", "1", "2", false, "Copy array distance y 4194.304, outside 0.00394"},
        {"1", "-0.1", "2", "2", false, "Copy array distance y -0.1, outside"},
    };
    for (const Case& c : cases) {
        doc = std::make_unique<CWevraDoc>();
        AddItems();
        doc->Design().GetLines().SelectAll(true);
        dialog.x = c.x;
        dialog.y = c.y;
        dialog.cols = c.columns;
        dialog.rowCount = c.rows;
        const int64_t places = int64_t(std::stoll(c.columns)) * std::stoll(c.rows);
        services.messages.ClearShown();
        EXPECT_EQ(doc->Editing().CopyArray(), c.accepted) << c.columns << " x " << c.rows;
        EXPECT_EQ(doc->Design().GetLines().GetCount(), c.accepted ? 2 * places : 2);
        EXPECT_EQ(doc->IsModified(), c.accepted);
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), c.accepted ? 0u : 1u) << c.columns << " x " << c.rows;
        if (!c.accepted) {
            EXPECT_NE(shown[0].find(c.named), std::string::npos) << shown[0];
        }
    }
}

TEST_F(CDocCommandsTest, CopyArrayFillsTheGridAndUndoRemovesIt)
{
    doc->Session().SelectAll(true);
    dialog.cols = "3";
    dialog.rowCount = "2";
    ASSERT_TRUE(doc->Editing().CopyArray());
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);

    std::vector<CPoint> texts;
    for (int32_t i = 0; i < doc->Design().GetTexts().GetCount(); ++i)
        texts.push_back(doc->Design().GetTexts().GetText(i)->GetPosition());
    std::vector<CPoint> expected;
    for (int32_t r = 0; r < 2; ++r) {
        for (int32_t c = 0; c < 3; ++c)
            expected.emplace_back(50000 + c * 25600, 60000 + r * 25600);
    }
    const auto byPosition = [](CPoint a, CPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
    std::sort(texts.begin(), texts.end(), byPosition);
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(doc->Design().GetLines().GetCount(), 12);

    doc->History().Undo();
    EXPECT_EQ(doc->Design().GetTexts().GetCount(), 1);
    EXPECT_EQ(doc->Design().GetLines().GetCount(), 2);
}

// A copied block of a component and its track stays one circuit: the copied pads are in the
// nets of the copied tracks that end on them, so the design-rule check finds nothing.
TEST_F(CDocCommandsTest, CopiedComponentsKeepTheNetsOfTheirCopiedTracks)
{
    const int32_t shape = AddTwoPadShape(doc->Design().GetEditableShapeCache());
    CNetArray& nets = doc->Design().GetNets();
    // The pads' edges are 2000 apart: clear of each other by these nets' clearance.
    const int32_t vcc = nets.AddNetWithWidths("VCC", 500, 2000, 500);
    const int32_t gnd = nets.AddNetWithWidths("GND", 500, 2000, 500);
    CComponentArray& components = doc->Design().GetComponents();
    components.AddComponent("R1", "10k", shape, 0, 0, 0, false);
    const CPoint at = components.GetComponent(0)->GetPosition();
    components.GetComponent(0)->ResizePadNets(2);
    components.GetComponent(0)->SetPadNet(0, vcc, nets.GetCount());
    components.GetComponent(0)->SetPadNet(1, gnd, nets.GetCount());
    components.RebuildNetPins();
    nets.GetNet(vcc)->AppendSegment(at.x - 2000, at.y, at.x - 2000, at.y + 20000, LAYER_TOP, 1);
    nets.GetNet(gnd)->AppendSegment(at.x + 2000, at.y, at.x + 2000, at.y + 20000, LAYER_TOP, 1);

    doc->Session().SelectAll(true);
    dialog.cols = "3";
    dialog.rowCount = "1";
    ASSERT_TRUE(doc->Editing().CopyArray());
    ASSERT_EQ(components.GetCount(), 3);
    for (int32_t c = 0; c < 3; ++c) {
        EXPECT_EQ(components.GetComponent(c)->GetPadNet(0), vcc) << c;
        EXPECT_EQ(components.GetComponent(c)->GetPadNet(1), gnd) << c;
    }
    doc->RunCheckAll();
    EXPECT_EQ(nets.GetErrorCount(), 0);
}

// A component copied without any track has nothing to agree with: its pads start unconnected.
TEST_F(CDocCommandsTest, AComponentCopiedAloneHasUnconnectedPads)
{
    const int32_t shape = AddTwoPadShape(doc->Design().GetEditableShapeCache());
    const int32_t vcc = doc->Design().GetNets().AddNet("VCC");
    CComponentArray& components = doc->Design().GetComponents();
    components.AddComponent("R1", "10k", shape, 0, 0, 0, false);
    components.GetComponent(0)->ResizePadNets(2);
    components.GetComponent(0)->SetPadNet(0, vcc, doc->Design().GetNets().GetCount());
    doc->Session().SelectAll(false);
    components.Select(0, true);
    ASSERT_TRUE(doc->Editing().CopySelection());
    ASSERT_EQ(components.GetCount(), 2);
    EXPECT_EQ(components.GetComponent(1)->GetPadNet(0), 0);
}

TEST_F(CDocCommandsTest, GuidelineSnapRangeStepsWithinItsLimits)
{
    CGridArr& grids = doc->Design().GetGridSettings();
    for (int32_t range = 1; range <= 4; ++range) {
        doc->Editing().OnSettingsSnapToGuidelines();
        EXPECT_EQ(grids.GetSnapRange(), range);
    }
    doc->Editing().OnSnapToGuidesIncrement();
    EXPECT_EQ(grids.GetSnapRange(), 4);
    doc->Editing().OnSettingsSnapToGuidelines();
    EXPECT_EQ(grids.GetSnapRange(), 0);
    EXPECT_FALSE(doc->Editing().IsSnapToGuidelinesOn());

    doc->SetModifiedFlag(false);
    doc->Editing().OnSnapToGuidesDecrement();
    EXPECT_EQ(grids.GetSnapRange(), 0);
    EXPECT_FALSE(doc->IsModified());
}

} // namespace
