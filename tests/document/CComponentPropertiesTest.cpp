#include "document/CComponentProperties.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "document/CCircularPlacement.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/TwoPadShape.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CProgramStrings.h"

namespace {

using archive_bytes::Bytes;
using Values = CComponentProperties::Values;

// Three components of a two-pad shape, "R1" at (100000, 50000) and "R2", "R3" beside it; the
// user offset at (1000, 2000), lengths in inch.
class CComponentEditTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        const int32_t shape = AddTwoPadShape(doc->Design().GetEditableShapeCache());
        int32_t x = 100000;
        for (const char* reference : {"R1", "R2", "R3"}) {
            const int32_t i = components().AddEmpty(shape);
            components().GetComponent(i)->ResizePadNets(2);
            components().SetPosition(i, x, 50000);
            components().SetName(i, CComponent::textReference, reference);
            for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
                components().ResetTextPosition(i, kind);
            x += 100000;
        }
        components().RebuildNetPins();
        doc->Design().SetUnit(CLengthText::unitInch);
        doc->Design().SetUserOffset(CPoint(1000, 2000));
    }

    CComponentArray& components() { return doc->Design().GetComponents(); }
};

TEST_F(CComponentEditTest, PropertiesShowTheComponentWithItsLocksInverted)
{
    components().SetRotation(0, 45500);
    components().SetFlag(0, ComponentFlags::lockMove | ComponentFlags::fromNetlist, true);
    const Values v = CComponentProperties::Read(doc->Session(), 0);
    EXPECT_EQ(v.reference, "R1");
    EXPECT_EQ(v.shape, "TWO");
    // 99000 and 48000 units from the user offset.
    EXPECT_EQ(v.x, "0.3867 inch");
    EXPECT_EQ(v.y, "0.1875 inch");
    EXPECT_EQ(v.rotation, "45.500");
    EXPECT_EQ(v.group, "0");
    EXPECT_TRUE(v.flags & ComponentFlags::lockMove);
}

TEST_F(CComponentEditTest, PropertiesOkWritesEveryFieldAfterOneUndoState)
{
    const Bytes before = archive_bytes::Store(components());
    components().SetFlag(0, ComponentFlags::lockMove | ComponentFlags::fromTemplate, true);
    Values v = CComponentProperties::Read(doc->Session(), 0);
    v.reference = "  c7 ";
    v.type = "100n";
    v.x = "1";
    v.y = "-0.5";
    v.rotation = "45.0009";
    v.mirrored = true;
    v.group = "3";
    v.cluster = "70000";
    // Move enabled again, Delete locked, the template mark cleared in vain.
    v.flags = ComponentFlags::lockDelete | ComponentFlags::oppositeSilk;
    CComponentProperties::Apply(doc->Session(), 0, v, -1);

    EXPECT_EQ(components().GetReference(0), "C7");
    EXPECT_EQ(components().GetType(0), "100n");
    EXPECT_EQ(components().GetPosition(0), CPoint(256000 + 1000, -128000 + 2000))
        << "placed although it was locked against moving";
    EXPECT_EQ(components().GetRotation(0), 45001);
    EXPECT_TRUE(components().IsMirrored(0));
    EXPECT_EQ(components().GetGroup(0), 3);
    EXPECT_EQ(components().GetCluster(0), 0xFFFF) << "kept within its 16 bits";
    EXPECT_FALSE(components().TestFlag(0, ComponentFlags::lockMove));
    EXPECT_TRUE(components().TestFlag(0, ComponentFlags::lockDelete));
    EXPECT_TRUE(components().TestFlag(0, ComponentFlags::oppositeSilk));
    EXPECT_TRUE(components().TestFlag(0, ComponentFlags::fromTemplate)) << "display only";
    // The pins went along.
    const NetPinRec& pin = doc->Design().GetNets().GetNet(0)->GetPin(0);
    EXPECT_NE(CPoint(pin.x, pin.y), CPoint(100000 - 2000, 50000));

    components().SetFlag(0, ComponentFlags::lockMove | ComponentFlags::fromTemplate, false);
    doc->History().Undo();
    components().SetFlag(0, ComponentFlags::lockMove | ComponentFlags::fromTemplate, false);
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetComponents()), before);
}

// The shown texts are rounded to 1/10000 inch: taking them back would move the component.
TEST_F(CComponentEditTest, PropertiesLeftAsShownChangeNothing)
{
    components().SetPosition(1, 200017, 49999);
    const CPoint text = components().GetComponent(1)->GetTextPoint(CComponent::textReference);
    const Bytes before = archive_bytes::Store(components());
    CComponentProperties::Apply(doc->Session(), 1, CComponentProperties::Read(doc->Session(), 1),
                                -1);
    EXPECT_EQ(archive_bytes::Store(components()), before);
    EXPECT_EQ(components().GetComponent(1)->GetTextPoint(CComponent::textReference), text);

    // A move takes the texts along.
    Values v = CComponentProperties::Read(doc->Session(), 1);
    v.x = "1";
    CComponentProperties::Apply(doc->Session(), 1, v, -1);
    const CPoint moved = components().GetComponent(1)->GetTextPoint(CComponent::textReference);
    EXPECT_EQ(moved.x - text.x, 256000 + 1000 - 200017);
    EXPECT_EQ(moved.y, text.y);
}

TEST_F(CComponentEditTest, ATakenReferenceIsSwapped)
{
    EXPECT_EQ(CComponentProperties::FindOther(doc->Session(), 0, " r2"), 1);
    EXPECT_EQ(CComponentProperties::FindOther(doc->Session(), 0, "R1"), -1) << "its own";
    Values v = CComponentProperties::Read(doc->Session(), 0);
    v.reference = "r2";
    CComponentProperties::Apply(doc->Session(), 0, v, 1);
    EXPECT_EQ(components().GetReference(0), "R2");
    EXPECT_EQ(components().GetReference(1), "R1");
}

CDialogService::CircularPlacement Circle(const char* end, std::vector<int32_t> moved)
{
    CDialogService::CircularPlacement values;
    values.xCenter = "0";
    values.yCenter = "0";
    values.radius = "0.5";
    values.angleBegin = "0";
    values.angleEnd = end;
    values.angleFirst = "10";
    values.anglePer = "90";
    values.moved = std::move(moved);
    return values;
}

TEST_F(CComponentEditTest, CircularPlacementStepsRoundTheCentreInListOrder)
{
    // The centre is typed relative to the user offset.
    const auto c = [](int32_t x, int32_t y) { return CPoint(1000 + x, 2000 + y); };
    EXPECT_EQ(CCircularPlacement::Place(doc->Design(), doc->Session(), Circle("360", {2, 0, 1})),
              3);
    EXPECT_EQ(components().GetPosition(2), c(128000, 0));
    EXPECT_EQ(components().GetRotation(2), 10000);
    EXPECT_EQ(components().GetPosition(0), c(-64000, -110851));
    EXPECT_EQ(components().GetRotation(0), 100000);
    EXPECT_EQ(components().GetPosition(1), c(-64000, 110851));
    EXPECT_EQ(components().GetRotation(1), 190000);

    // Four from 0 to 180 degrees: a quarter circle apart by 45 degrees each.
    components().AddEmpty(0);
    components().SetFlag(3, ComponentFlags::lockMove, true);
    EXPECT_EQ(CCircularPlacement::Place(doc->Design(), doc->Session(), Circle("180", {0, 1, 2, 3})),
              4);
    EXPECT_EQ(components().GetPosition(0), c(128000, 0));
    EXPECT_EQ(components().GetPosition(1), c(90510, -90510));
    EXPECT_EQ(components().GetPosition(2), c(0, -128000));
    EXPECT_EQ(components().GetPosition(3), CPoint(0, 0)) << "locked against moving";
    EXPECT_EQ(components().GetRotation(3), 280000);

    // A circle that would put one beyond the coordinates a board uses moves none, and says so.
    CDialogService::CircularPlacement far = Circle("180", {0, 1, 2});
    far.radius = "5000";
    CProgramStrings strings;
    services.messages.ClearShown();
    EXPECT_EQ(CCircularPlacement::Place(doc->Design(), doc->Session(), far), 0);
    EXPECT_EQ(components().GetPosition(0), c(128000, 0));
    EXPECT_EQ(components().GetRotation(0), 10000);
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_NE(services.messages.ShownTexts()[0].find("Component x 5000"), std::string::npos)
        << services.messages.ShownTexts()[0];
}

TEST_F(CComponentEditTest, CircularPlacementIsOneUndoStepAndPassesOverUnknownIndexes)
{
    const Bytes before = archive_bytes::Store(components());
    doc->History().SaveUndoState();
    EXPECT_EQ(CCircularPlacement::Place(doc->Design(), doc->Session(), Circle("360", {0, 7, -1})),
              1);
    EXPECT_EQ(components().GetPosition(0), CPoint(129000, 2000));
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetComponents()), before);
}

} // namespace
