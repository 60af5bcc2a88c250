#include <gtest/gtest.h>

#include <cstdint>

#include "framework/CArchive.h"
#include "model/CShape.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using namespace archive_bytes;

TEST(CShapeRecords, IndexPenAndLayerReplaceOnlyTheirBits)
{
    CShape shape("S");
    shape.AddPad(0, 0, 0, 0);
    shape.SetPad(0, 10, 20, 0xFE05, 900);
    shape.SetPadStackIndex(0, 512 + 7);
    EXPECT_EQ(shape.GetPads()[0].word, 0xFE07);
    EXPECT_EQ(shape.GetPadStackIndex(0), 7);
    EXPECT_EQ(shape.GetPadRotation(0), 900);
    EXPECT_EQ(shape.GetPadPos(0), CPoint(10, 20));

    shape.AddOutlineVertex(1, 2, uint16_t(0xFE00 | (21 << 4) | 3));
    EXPECT_EQ(shape.GetOutlinePen(0), 3);
    EXPECT_EQ(shape.GetOutlineLayer(0), 21);
    shape.SetOutlinePen(0, 5);
    shape.SetOutlineLayer(0, 33);
    EXPECT_EQ(shape.GetOutline()[0].word, 0xFE00 | (1 << 4) | 5);
    // A pen the 4 bits cannot hold becomes the last they can, never a move-to.
    shape.SetOutlinePen(0, 20);
    EXPECT_EQ(shape.GetOutlinePen(0), 15);
}

class CShapeStorage : public ::testing::Test {
protected:
    static CShape TwoRecordShape()
    {
        CShape shape("AB");
        shape.SetExtent(CRect(-1, -2, 3, 4));
        shape.AddPad(-5000, 0, 2, 90000);
        shape.AddOutlineVertex(-7000, -3000, 0x0150);
        return shape;
    }

    // clang-format off
    const Bytes twoRecordBytes = Concat({
        {2, 'A', 'B'}, I32(-1), I32(-2), I32(3), I32(4),         // name, extent
        U16(1), U16(2), U16(0), I32(90000), I32(-5000), I32(0),  // one pad
        U16(1), U16(0x0150), U16(0), I32(-7000), I32(-3000),     // one outline vertex
    });
    // clang-format on
};

TEST_F(CShapeStorage, StoresTheRecordsFieldByField)
{
    CShape shape = TwoRecordShape();
    EXPECT_EQ(Store(shape), twoRecordBytes);

    CShape empty("E");
    EXPECT_EQ(Store(empty), Concat({{1, 'E'}, I32(0), I32(0), I32(0), I32(0), U16(0), U16(0)}));
}

TEST_F(CShapeStorage, LoadsWhatItStoresAndFailsOnEveryPrefix)
{
    CShape loaded("old");
    loaded.AddPad(1, 1, 1, 1);
    Load(loaded, twoRecordBytes);
    EXPECT_EQ(Store(loaded), twoRecordBytes);

    ExpectEveryPrefixFails(twoRecordBytes, [](CArchive& ar) {
        CShape shape;
        shape.Serialize(ar);
    });

    // A failed load leaves the shape as it was.
    CShape kept = TwoRecordShape();
    CArchive ar(Bytes(twoRecordBytes.begin(), twoRecordBytes.end() - 1));
    EXPECT_THROW(kept.Serialize(ar), CArchiveException);
    EXPECT_EQ(Store(kept), twoRecordBytes);
}

} // namespace
