#include <gtest/gtest.h>

#include <memory>

#include "framework/CArchive.h"
#include "model/CLine.h"
#include "model/CNetErrorRec.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using namespace archive_bytes;

const Bytes errorBytes = Concat({
    {0x01, 0x00, 0x00, 0x00}, // kind 1
    {0x05},
    Ascii("Track"),
    {0x02, 0x00, 0x00, 0x00},                         // net 2
    {0x10, 0x27, 0x00, 0x00, 0xF0, 0xD8, 0xFF, 0xFF}, // 10000, -10000
    {0x0B},
    Ascii("Pad P08(12)"),
    {0x07, 0x00, 0x00, 0x00},                         // net 7
    {0x20, 0x4E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // 20000, 0
});

TEST(CNetErrorRecTest, StoresAsWrittenByHandAndReadsBack)
{
    CNetErrorRec record({"Track", 2, {10000, -10000}}, {"Pad P08(12)", 7, {20000, 0}});
    EXPECT_EQ(Store(record), errorBytes);

    CNetErrorRec loaded;
    loaded.SetKind(5);
    Load(loaded, errorBytes);
    EXPECT_EQ(loaded.GetKind(), 1);
    EXPECT_EQ(loaded.GetFirst(), record.GetFirst());
    EXPECT_EQ(loaded.GetSecond(), record.GetSecond());

    ExpectEveryPrefixFails(errorBytes, [](CArchive& ar) {
        CNetErrorRec partial;
        partial.Serialize(ar);
    });
}

TEST(CNetErrorRecTest, LineRecordReadsWhereAStreamNamesIt)
{
    const Bytes stream = Concat({
        {0xFF, 0xFF, 0x00, 0x00, 0x05, 0x00},
        Ascii("CLine"),
        {0x01, 0x00, 0x0A, 0x00, 0x00, 0x00, 0xEC, 0xFF, 0xFF, 0xFF}, // one point (10, -20)
    });
    CArchive ar(stream);
    std::unique_ptr<CLine> line = ar.ReadObjectOf<CLine>();
    ASSERT_TRUE(line);
    ASSERT_EQ(line->GetPoints().GetSize(), 1);
    EXPECT_EQ(line->GetPoints()[0], CPoint(10, -20));

    CArchive out;
    out.WriteObject(line.get());
    EXPECT_EQ(out.GetBuffer(), stream);
}

} // namespace
