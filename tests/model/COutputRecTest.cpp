#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "framework/CArchive.h"
#include "model/COutputRec.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using namespace archive_bytes;

// The 31 stored layer bytes: the given layers, then zeros.
Bytes LayerBytes(std::initializer_list<uint8_t> layers)
{
    Bytes bytes(layers);
    bytes.resize(31, 0);
    return bytes;
}

// A stored record with no names, reference layer 0 and the given layer bytes and flags.
Bytes RecordBytes(const Bytes& layers, const Bytes& flags)
{
    return Concat({Bytes(8, 0), {0, 0}, layers, Bytes(4, 0), flags});
}

TEST(COutputRecTest, StoresAsWrittenByHandAndRoundTrips)
{
    COutputRec rec;
    rec.SetDisplayName("Top");
    rec.SetFileExtension(".TOP");
    rec.SetLayers({1, 26});
    rec.SetTextReference(true);
    const Bytes expected = Concat({
        {0x01, 0x00, 0x00, 0x00}, // output
        {0x00, 0x00, 0x00, 0x00}, // colour
        {0x03},                   // display name
        Ascii("Top"),
        {0x04}, // file extension
        Ascii(".TOP"),
        LayerBytes({1, 26}),
        {0x01, 0x00, 0x00, 0x00}, // reference layer
        {0x11, 0x00, 0x00, 0x10}, // flags: Reference, text bits valid
    });
    EXPECT_EQ(Store(rec), expected);
    COutputRec loaded;
    Load(loaded, expected);
    EXPECT_EQ(Store(loaded), expected);
    ExpectEveryPrefixFails(expected, [](CArchive& ar) { COutputRec().Serialize(ar); });

    // Assign takes everything but the reference layer.
    loaded.SetRefLayer(21);
    loaded.Assign(COutputRec());
    EXPECT_EQ(loaded.GetRefLayer(), 21);
    EXPECT_EQ(loaded.GetLayerCount(), 0);
}

TEST(COutputRecTest, OldTextModeConvertsOnLoad)
{
    const struct {
        Bytes stored;
        uint32_t loaded;
    } cases[] = {
        {{0x00, 0x00, 0x00, 0x00}, 0x00000000},
        {{0x01, 0x00, 0x00, 0x00}, 0x10000011},
        {{0x02, 0x00, 0x00, 0x00}, 0x10000042},
        {{0x03, 0x00, 0x00, 0x00}, 0x10000023},
        {{0x05, 0x00, 0x00, 0x00}, 0x00000005},
        {{0x02, 0x11, 0x00, 0x00}, 0x10001142},
        // Already in the current form: kept as it is.
        {{0x02, 0x00, 0x00, 0x10}, 0x10000002},
    };
    for (const auto& c : cases) {
        COutputRec loaded;
        Load(loaded, RecordBytes(LayerBytes({}), c.stored));
        EXPECT_EQ(loaded.GetFlags(), c.loaded) << std::hex << c.loaded;
    }
    COutputRec rec;
    rec.SetPercentIndex(3);
    rec.SetMinDiameterIndex(7);
    EXPECT_EQ(rec.GetHolePercent(), 100);
    EXPECT_EQ(rec.GetHoleMinDiameter(), 6047);
}

// The layer list ends at a 0, at a byte that names no layer, and after 31 layers at the latest.
TEST(COutputRecTest, LayerListStaysWithinItsBytesAndTheLayers)
{
    const struct {
        Bytes layers;
        int32_t count, last;
    } cases[] = {
        {LayerBytes({21, 2, 1, 26}), 4, 26}, {Bytes(31, 5), 31, 5},  {LayerBytes({1, 31, 2}), 1, 1},
        {LayerBytes({30, 255}), 1, 30},      {LayerBytes({}), 0, 0},
    };
    for (const auto& c : cases) {
        COutputRec loaded;
        Load(loaded, RecordBytes(c.layers, Bytes(4, 0)));
        EXPECT_EQ(loaded.GetLayerCount(), c.count);
        EXPECT_EQ(loaded.GetLayer(c.count - 1), c.last);
        EXPECT_EQ(loaded.GetLayer(c.count), 0);
    }
}

} // namespace
