#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "model/CPadStack.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

using namespace archive_bytes;
namespace fs = std::filesystem;

// One library "Lib" with one padstack "P" (a top pad) and one shape "S": two pads and a
// closed silkscreen rectangle, already centred.
std::unique_ptr<CShapeLibArray> SmallSet()
{
    auto set = std::make_unique<CShapeLibArray>();
    set->SetName("Set");
    auto lib = std::make_unique<CShapeLib>("Lib");
    CPadStackArray& table = lib->GetPadStacks();
    table.RemoveAll();
    CPadStack stack;
    stack.SetName("P");
    stack.GetPad(LAYER_TOP)->Set(PAD_RECTANGLE, -1000, -1500, 1000, 1500);
    stack.SetShapePadKind(true);
    table.Add(stack);
    const int32_t s = lib->AddShape("S");
    lib->AddPadToShape(s, -5000, 0, 0, 0);
    lib->AddPadToShape(s, 5000, 0, 0, 90000);
    const int32_t corners[][2] = {
        {-7000, -3000}, {7000, -3000}, {7000, 3000}, {-7000, 3000}, {-7000, -3000}};
    for (size_t n = 0; n < std::size(corners); ++n)
        lib->AddOutlineToShape(s, corners[n][0], corners[n][1], n == 0 ? 0x0150 : 0x0151);
    lib->RecalcShapeExtent(s);
    set->AddLib(std::move(lib));
    set->GetFilterHistory().push_back("R*");
    return set;
}

Bytes SmallSetBytes(int32_t version = 802)
{
    Bytes emptyPad(28, 0);
    Bytes padsAfterTop;
    for (int layer = 2; layer < 27; ++layer)
        padsAfterTop = Concat({padsAfterTop, emptyPad});
    // clang-format off
    return Concat({
        I32(version), Str("Set"), I32(0), I32(0), I32(0),         // set: name, current, two words
        U16(1), U16(0xFFFF), U16(0), U16(9), Ascii("CShapeLib"),  // one library, a new class
        I32(800), Str("Lib"), I32(0),                             // library: name, current shape
        U16(2), U16(0), U16(2015),                                // pens
        I32(821), I32(0),                                         // padstack table, defaults
        U16(1), U16(0xFFFF), U16(1), U16(9), Ascii("CPadStack"),  // one padstack, a new class
        I32(2), Str("P"),                                         // kinds, name
        emptyPad,                                                 // layer 0
        I32(0), I32(0), I32(PAD_RECTANGLE), I32(-1000), I32(-1500), I32(1000), I32(1500), // layer 1
        padsAfterTop,                                             // layers 2..26
        U16(1), U16(0xFFFF), U16(0), U16(6), Ascii("CShape"),     // one shape, a new class
        Str("S"), I32(-7000), I32(-3000), I32(7000), I32(3000),   // name, extent
        U16(2),                                                   // pads
        U16(0), U16(0), I32(0), I32(-5000), I32(0),
        U16(0), U16(0), I32(90000), I32(5000), I32(0),
        U16(5),                                                   // outline
        U16(0x0150), U16(0), I32(-7000), I32(-3000),
        U16(0x0151), U16(0), I32(7000), I32(-3000),
        U16(0x0151), U16(0), I32(7000), I32(3000),
        U16(0x0151), U16(0), I32(-7000), I32(3000),
        U16(0x0151), U16(0), I32(-7000), I32(-3000),
        U16(1), Str("R*"),                                        // filter history
    });
    // clang-format on
}

class CShapeLibArrayFile : public ::testing::Test {
protected:
    CTempFolder folder{"wevra-shapes"};
    CFakeServices services;
};

TEST_F(CShapeLibArrayFile, StoresTheHandWrittenBytesAndReadsThemBackUnchanged)
{
    std::unique_ptr<CShapeLibArray> set = SmallSet();
    EXPECT_EQ(Store(*set), SmallSetBytes());
    EXPECT_TRUE(set->IsLoaded());

    const fs::path path = folder / "Lib.SHP";
    WriteFile(path, SmallSetBytes());
    CShapeLibArray loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_TRUE(loaded.IsLoaded());
    EXPECT_EQ(loaded.GetPath(), path);
    EXPECT_TRUE(services.messages.Shown().empty());
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(ReadFile(path), SmallSetBytes());
    EXPECT_FALSE(fs::exists(folder / "Lib.SHP.tmp~"));

    ExpectEveryPrefixFails(SmallSetBytes(), [](CArchive& ar) {
        CShapeLibArray prefix;
        prefix.Serialize(ar);
    });
}

TEST_F(CShapeLibArrayFile, AForeignOrDamagedFileChangesNothing)
{
    const fs::path own = folder / "Own.SHP";
    WriteFile(own, SmallSetBytes());
    CShapeLibArray set;
    ASSERT_TRUE(set.Load(own));

    const fs::path foreign = folder / "Foreign.SHP";
    const Bytes foreignBytes = SmallSetBytes(801);
    WriteFile(foreign, foreignBytes);
    EXPECT_THROW(set.Load(foreign), CArchiveException);
    EXPECT_EQ(set.GetPath(), own);
    EXPECT_TRUE(set.IsLoaded());
    EXPECT_EQ(set.GetLibName(0), "Lib");

    const fs::path damaged = folder / "Damaged.SHP";
    Bytes damagedBytes = SmallSetBytes();
    damagedBytes.resize(damagedBytes.size() - 3);
    WriteFile(damaged, damagedBytes);
    EXPECT_THROW(set.Load(damaged), CArchiveException);
    EXPECT_EQ(set.GetPath(), own);

    // Bytes after the last record, or a count one less than the libraries stored, would be
    // lost by the next save.
    Bytes trailing = SmallSetBytes();
    trailing.push_back(0);
    Bytes fewer = SmallSetBytes();
    fewer[4 + 4 + 12] = 0;
    for (const Bytes& bytes : {trailing, fewer}) {
        WriteFile(damaged, bytes);
        EXPECT_THROW(set.Load(damaged), CArchiveException);
        EXPECT_EQ(set.GetPath(), own);
        EXPECT_EQ(set.GetCount(), 1);
    }
    WriteFile(damaged, damagedBytes);

    // The next save goes to the set's own file; the others stay as they were.
    set.SetName("Changed");
    ASSERT_TRUE(set.Save());
    EXPECT_EQ(ReadFile(foreign), foreignBytes);
    EXPECT_EQ(ReadFile(damaged), damagedBytes);
    EXPECT_NE(ReadFile(own), SmallSetBytes());

    // A file not there yet is made by the next save.
    const fs::path fresh = folder / "New.SHP";
    EXPECT_FALSE(set.Load(fresh));
    EXPECT_EQ(set.GetPath(), fresh);
    EXPECT_TRUE(set.Save());
    EXPECT_TRUE(fs::exists(fresh));

    CShapeLibArray unsaved;
    EXPECT_FALSE(unsaved.Save());
    EXPECT_FALSE(unsaved.Load(folder / "missing" / "x.SHP"));
    EXPECT_FALSE(unsaved.Save());
}

TEST(CShapeLibArrayLookup, NoMatchIsNone)
{
    CShapeLibArray set;
    EXPECT_EQ(set.FindLib("Lib"), -1);
    EXPECT_EQ(set.GetLibByName("Lib"), nullptr);
    set.AddLib(std::make_unique<CShapeLib>("Lib"));
    set.AddLib(std::make_unique<CShapeLib>("Other"));
    EXPECT_EQ(set.FindLib("other"), -1);
    EXPECT_EQ(set.GetLibByName("Other"), set.GetLib(1));
}

} // namespace
