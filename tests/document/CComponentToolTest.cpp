#include "model/CComponentTool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CToolDocument.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/TwoPadShape.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using archive_bytes::Bytes;

constexpr int32_t scale = 10;
// The component tools snap to the block grid.
constexpr int32_t grid = 25600;

// The dialogs the component tool opens, answered from members.
class CComponentDialogs : public CDialogService {
public:
    int32_t GetShape(CShapeLib&, const ShapeRequest&, int32_t& shape, std::string& prefix,
                     std::string& type) override
    {
        shape = shapeIndex;
        prefix = shapePrefix;
        type = shapeType;
        return resultOk;
    }
    int32_t Rotation(std::string& angle, bool& absolute) override
    {
        shownAngle = angle;
        angle = typedAngle;
        absolute = typedAbsolute;
        return resultOk;
    }

    int32_t CompProperties(CToolDocument& document, int32_t component) override
    {
        ++propertiesShown;
        if (propertiesResult == resultOk)
            document.GetComponents().SetName(component, CComponent::textType, "edited");
        return propertiesResult;
    }
    int32_t CompSetPosition(int32_t, const PinnedComponent& component, CPoint center, CPoint,
                            int32_t& dx, int32_t& dy) override
    {
        shownPins = component.pins;
        shownCenter = center;
        dx = offset.x;
        dy = offset.y;
        return resultOk;
    }

    int32_t shapeIndex = 0;
    std::string shapePrefix = "R";
    std::string shapeType = "1k";
    std::string shownAngle;
    std::string typedAngle = "0";
    bool typedAbsolute = true;
    int32_t propertiesResult = resultOk;
    int32_t propertiesShown = 0;
    std::vector<CPoint> shownPins;
    CPoint shownCenter;
    CPoint offset;
};

// One two-pad shape on the top layer in the cache and two components of it, at (20 grid,
// 20 grid) and (40 grid, 20 grid); the view at scale 10, the top layer to work on.
class CComponentToolTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previousDialogs = CDialogService::Set(&dialogs);
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        cache.GetPadStacks().RemoveAll();
        const int32_t shape = AddTwoPadShape(cache);
        dialogs.shapeIndex = shape;
        for (int32_t x : {20 * grid, 40 * grid}) {
            const int32_t i = components().AddEmpty(shape);
            components().GetComponent(i)->ResizePadNets(2);
            components().SetPosition(i, x, 20 * grid);
        }
        components().RebuildNetPins();
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        doc->Session().SetWorkLayer(LAYER_TOP);
    }
    void TearDown() override
    {
        CDialogService::Set(m_previousDialogs);
        CDocumentTest::TearDown();
    }

    CComponentArray& components() { return doc->Design().GetComponents(); }
    CComponentTool& tool() { return components().GetComponentTool(); }
    void MoveTo(int32_t x, int32_t y)
    {
        // The view passes a move on only when the snapped cursor moved.
        if (doc->Session().CursorFromPixel(x / scale, y / scale))
            tool().OnToolMouseMove(doc->Session());
    }
    void Click(int32_t x, int32_t y)
    {
        MoveTo(x, y);
        tool().OnComponentClick(doc->Session());
    }

    CComponentDialogs dialogs;

private:
    CDialogService* m_previousDialogs = nullptr;
};

TEST_F(CComponentToolTest, EscWhileMovingPutsTheComponentBack)
{
    doc->Session().SetMode(ID_COMPONENTS_MOVE_ROTATE);
    Click(20 * grid, 20 * grid);
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    MoveTo(25 * grid, 22 * grid);
    EXPECT_EQ(components().GetPosition(0), CPoint(25 * grid, 22 * grid));
    tool().OnToolKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(components().GetPosition(0), CPoint(20 * grid, 20 * grid));
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(components().GetSelectedCount(), 0);
}

TEST_F(CComponentToolTest, AMoveIsUndoneByOneUndo)
{
    const Bytes before = archive_bytes::Store(components());
    doc->Session().SetMode(ID_COMPONENTS_MOVE_ROTATE);
    Click(20 * grid, 20 * grid);
    MoveTo(25 * grid, 20 * grid);
    MoveTo(30 * grid, 25 * grid);
    tool().OnToolKeyDown(doc->Session(), VK_RETURN);
    EXPECT_EQ(components().GetPosition(0), CPoint(30 * grid, 25 * grid));
    const NetPinRec& pin = doc->Design().GetNets().GetNet(0)->GetPin(0);
    EXPECT_EQ(CPoint(pin.x, pin.y), CPoint(30 * grid - 2000, 25 * grid)) << "pins follow";
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetComponents()), before);
}

TEST_F(CComponentToolTest, RotateByQuarterTurnsAndByTheDialog)
{
    doc->Session().SetMode(ID_COMPONENTS_ROTATE_90_DEGR);
    Click(40 * grid, 20 * grid);
    EXPECT_EQ(components().GetRotation(1), 90000);
    doc->History().Undo();
    EXPECT_EQ(doc->Design().GetComponents().GetRotation(1), 0);

    doc->Session().SetMode(ID_COMPONENTS_ROTATE);
    dialogs.typedAngle = "30";
    dialogs.typedAbsolute = false;
    components().SetRotation(0, 10000);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(dialogs.shownAngle, "10.000");
    EXPECT_EQ(components().GetRotation(0), 40000) << "relative: turned by the angle";
}

// Relative rotation by the dialog turns each selected component by the angle from its own
// rotation, instead of giving them all one absolute angle.
TEST_F(CComponentToolTest, RelativeRotationOfTheSelectionKeepsEachOwnAngle)
{
    components().SetRotation(0, 10000);
    components().SetRotation(1, 20000);
    components().SelectAll(true);
    dialogs.typedAngle = "5";
    dialogs.typedAbsolute = false;
    tool().RotateSelectedDialog(doc->Session());
    EXPECT_EQ(components().GetRotation(0), 15000);
    EXPECT_EQ(components().GetRotation(1), 25000);
    EXPECT_FALSE(tool().IsAbsoluteRotation());

    dialogs.typedAngle = "90";
    dialogs.typedAbsolute = true;
    tool().RotateSelectedDialog(doc->Session());
    EXPECT_EQ(components().GetRotation(0), 90000);
    EXPECT_EQ(components().GetRotation(1), 90000);
}

TEST_F(CComponentToolTest, AddPlacesNewComponentsUntilTheStepEnds)
{
    doc->Session().SetMode(ID_COMPONENTS_ADD);
    Click(60 * grid, 20 * grid);
    ASSERT_EQ(components().GetCount(), 3);
    EXPECT_EQ(components().GetReference(2), "R1");
    EXPECT_EQ(components().GetType(2), "1k");
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    MoveTo(60 * grid, 30 * grid);
    EXPECT_EQ(components().GetPosition(2), CPoint(60 * grid, 30 * grid));
    Click(60 * grid, 30 * grid);
    MoveTo(70 * grid, 30 * grid);
    ASSERT_EQ(components().GetCount(), 4);
    EXPECT_EQ(components().GetPosition(3), CPoint(70 * grid, 30 * grid));
    tool().EndToolStep(doc->Session());
    EXPECT_EQ(components().GetCount(), 3) << "the floating copy goes";
    EXPECT_EQ(components().GetPosition(2), CPoint(60 * grid, 30 * grid));
}

TEST_F(CComponentToolTest, DeleteAndMirrorAreEachUndoneByOneUndo)
{
    const Bytes before = archive_bytes::Store(components());
    doc->Session().SetMode(ID_COMPONENTS_DELETE);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(components().GetCount(), 1);
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetComponents()), before);

    doc->Session().SetMode(ID_COMPONENTS_MIRROR);
    Click(20 * grid, 20 * grid);
    EXPECT_TRUE(doc->Design().GetComponents().IsMirrored(0));
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetComponents()), before);
}

TEST_F(CComponentToolTest, EscWhileWaitingStepsBackToMoveThenIdle)
{
    doc->Session().SetMode(ID_COMPONENTS_DELETE);
    tool().OnToolKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(doc->Session().GetMode(), ID_COMPONENTS_MOVE_ROTATE);
    tool().OnToolKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
}

TEST_F(CComponentToolTest, SetPositionMovesByTheTypedOffsetUnlessLockedAgainstMoving)
{
    doc->Design().SetUserOffset(CPoint(grid, 0));
    dialogs.offset = CPoint(grid, 2 * grid);
    const CPoint center = components().GetCenter(0);
    doc->Session().SetMode(ID_COMPONENTS_SET_POSITION);
    doc->SetModifiedFlag(false);
    Click(20 * grid, 20 * grid);
    // The points as the user reads them, from the user offset.
    EXPECT_EQ(dialogs.shownPins,
              (std::vector<CPoint>{{19 * grid - 2000, 20 * grid}, {19 * grid + 2000, 20 * grid}}));
    EXPECT_EQ(dialogs.shownCenter, CPoint(center.x - grid, center.y));
    EXPECT_EQ(components().GetPosition(0), CPoint(21 * grid, 22 * grid));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(components().GetSelectedCount(), 0);

    components().SetFlag(1, ComponentFlags::lockMove, true);
    dialogs.shownPins.clear();
    Click(40 * grid, 20 * grid);
    EXPECT_TRUE(dialogs.shownPins.empty()) << "no dialog for a locked component";
    EXPECT_EQ(components().GetPosition(1), CPoint(40 * grid, 20 * grid));
}

TEST_F(CComponentToolTest, PropertiesCancelledLeaveNoUndoStep)
{
    doc->Session().SetMode(ID_COMPONENTS_PROPERTIES);
    dialogs.propertiesResult = CDialogService::resultCancel;
    const int32_t snapshots = doc->History().GetUndoCount();
    doc->SetModifiedFlag(false);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(dialogs.propertiesShown, 1);
    EXPECT_EQ(doc->History().GetUndoCount(), snapshots);
    EXPECT_FALSE(doc->IsModified());

    dialogs.propertiesResult = CDialogService::resultOk;
    Click(40 * grid, 20 * grid);
    EXPECT_EQ(components().GetType(1), "edited");
    EXPECT_TRUE(doc->IsModified());
}

} // namespace
