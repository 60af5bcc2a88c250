#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using namespace archive_bytes;

// A layer table stream with the given layers (nullptr for an empty record).
Bytes TableStream(const std::vector<const CLayer*>& layers)
{
    CArchive ar;
    ar << int32_t(1) << uint8_t(0);
    ar.WriteCount(layers.size());
    for (const CLayer* layer : layers)
        ar.WriteObject(layer);
    return ar.TakeBuffer();
}

// The 13 int32 after the strings of a default layer: two zeros, seven times 2519, two zeros,
// not visible, enabled.
const Bytes kDefaultInts = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // two zeros
    0xD7, 0x09, 0x00, 0x00, 0xD7, 0x09, 0x00, 0x00, 0xD7, 0x09, 0x00, 0x00, // 2519 x 3
    0xD7, 0x09, 0x00, 0x00, 0xD7, 0x09, 0x00, 0x00, 0xD7, 0x09, 0x00, 0x00, // 2519 x 3
    0xD7, 0x09, 0x00, 0x00,                                                 // 2519
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                         // two zeros
    0x00, 0x00, 0x00, 0x00,                                                 // visible
    0x01, 0x00, 0x00, 0x00,                                                 // enabled
};

class CLayerArrayTest : public ::testing::Test {
protected:
    void SetUp() override { table.CreateDefault(); }
    CLayerArray table;
};

TEST_F(CLayerArrayTest, CreateDefaultGivesAllLayersEnabledNoneVisible)
{
    ASSERT_EQ(table.GetCount(), LAYER_COUNT);
    EXPECT_EQ(table.GetRefLayer(), LAYER_TOP);
    for (int32_t i = 0; i < LAYER_COUNT; ++i) {
        EXPECT_TRUE(table.IsEnabled(i)) << i;
        EXPECT_FALSE(table.IsVisible(i)) << i;
        EXPECT_EQ(table.GetLayer(i)->GetNumber(), i);
        EXPECT_EQ(table.GetLayer(i)->GetLibName(), "NoLibName");
    }
    EXPECT_EQ(table.GetLayerName(0), " 0 Common Layer");
    EXPECT_EQ(table.GetLayer(0)->GetCode(), "COM");
    EXPECT_EQ(table.GetLayerName(14), "14 Signal Inner 10");
    EXPECT_EQ(table.GetLayer(14)->GetCode(), "I10");
    EXPECT_EQ(table.GetLayerName(26), "26 Drill Programm");
    EXPECT_EQ(table.GetLayer(30)->GetCode(), "DW4");

    // A second call starts over.
    table.SetVisible(3, true);
    table.GetLayer(4)->SetEnabled(false);
    table.SetRefLayer(9);
    table.CreateDefault();
    EXPECT_EQ(table.GetCount(), LAYER_COUNT);
    EXPECT_FALSE(table.IsVisible(3));
    EXPECT_TRUE(table.IsEnabled(4));
    EXPECT_EQ(table.GetRefLayer(), LAYER_TOP);
}

TEST_F(CLayerArrayTest, LayersOutsideTheTableHaveDefinedAnswers)
{
    for (int32_t layer : {-1, 31, 1000}) {
        table.SetVisible(layer, true);
        EXPECT_FALSE(table.IsVisible(layer));
        EXPECT_FALSE(table.IsEnabled(layer));
        EXPECT_EQ(table.GetLayer(layer), nullptr);
        EXPECT_EQ(table.GetLayerName(layer), "31 Drawing 5");
    }
    EXPECT_EQ(DefaultLayerName(31), "31 Drawing 5");
    EXPECT_EQ(DefaultLayerName(-7), "31 Drawing 5");
    EXPECT_EQ(DefaultLayerName(19), "19 Solder Paste Top");
}

TEST_F(CLayerArrayTest, FindLayerByNameIgnoresLeadingBlanksOnly)
{
    const struct {
        const char* name;
        int32_t expected;
    } cases[] = {
        {"17 Soldermask Top", 17}, {" 1 Signal Top", 1}, {"1 Signal Top", 1},
        {"\t 2 Signal Bottom", 2}, {"Signal Top", 0},    {"17 soldermask top", 0},
        {"17 Soldermask Top ", 0}, {"30 Drawing 4", 30}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table.FindLayerByName(c.name), c.expected) << '"' << c.name << '"';
}

TEST(LayerMapsTest, OppositeBitAndCopper)
{
    const struct {
        int32_t layer, opposite;
        uint32_t bit;
        bool copper;
    } cases[] = {
        {0, 0, 0xFFFFFFFFu, false},   {1, 2, 0x00000001u, true},    {2, 1, 0x00000002u, true},
        {3, 3, 0x00000004u, true},    {16, 16, 0x00008000u, true},  {17, 18, 0x00010000u, false},
        {18, 17, 0x00020000u, false}, {19, 20, 0x00040000u, false}, {20, 19, 0x00080000u, false},
        {21, 22, 0x00100000u, false}, {22, 21, 0x00200000u, false}, {23, 24, 0x00400000u, false},
        {24, 23, 0x00800000u, false}, {25, 25, 0x01000000u, false}, {26, 26, 0x02000000u, true},
        {27, 27, 0x04000000u, false}, {30, 30, 0x20000000u, false}, {31, 31, 0x40000000u, false},
        {32, 32, 0x00000000u, false}, {-1, -1, 0x00000000u, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OppositeLayer(c.layer), c.opposite) << c.layer;
        EXPECT_EQ(LayerBit(c.layer), c.bit) << c.layer;
        EXPECT_EQ(IsCopperLayer(c.layer), c.copper) << c.layer;
    }
}

TEST(CLayerTest, SwitchesReportWhetherTheyChanged)
{
    CLayer layer(5, "IN1", " 5 Signal Inner 1", true);
    EXPECT_TRUE(layer.IsVisible());
    EXPECT_EQ(layer.SetVisible(true), 0);
    EXPECT_EQ(layer.SetVisible(false), 1);
    EXPECT_FALSE(layer.IsVisible());
    EXPECT_EQ(layer.SetEnabled(true), 0);
    EXPECT_EQ(layer.SetEnabled(false), 1);
    EXPECT_FALSE(layer.IsEnabled());
}

TEST_F(CLayerArrayTest, StoredBytes)
{
    const Bytes expectedStart = Concat({
        {0x01, 0x00, 0x00, 0x00}, // reference layer
        {0x00},                   // the byte
        {0x1F, 0x00},             // 31 layers
        {0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00},
        Ascii("CLayer"),
        {0x00, 0x00, 0x00, 0x00, 0x0F},
        Ascii(" 0 Common Layer"),
        {0x03},
        Ascii("COM"),
        {0x09},
        Ascii("NoLibName"),
        kDefaultInts,
        {0x01, 0x80}, // the class seen before
        {0x01, 0x00, 0x00, 0x00, 0x0D},
        Ascii(" 1 Signal Top"),
        {0x03},
        Ascii("TOP"),
        {0x09},
        Ascii("NoLibName"),
        kDefaultInts,
        {0x01, 0x80},
    });
    const Bytes bytes = Store(table);
    ASSERT_GE(bytes.size(), expectedStart.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + expectedStart.size()), expectedStart);

    // Then nothing but 31 records of 71 bytes plus their names, each after its 2-byte tag
    // (the first one's is part of the 12-byte class header).
    size_t names = 0;
    for (int32_t i = 0; i < LAYER_COUNT; ++i)
        names += table.GetLayerName(i).size();
    EXPECT_EQ(bytes.size(), 7 + 12 - 2 + 31 * (2 + 71) + names);
}

TEST_F(CLayerArrayTest, RoundTripGivesEqualBytesAndState)
{
    table.SetRefLayer(4);
    table.SetVisible(2, true);
    table.GetLayer(5)->SetEnabled(false);
    const Bytes bytes = Store(table);

    CLayerArray loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.GetRefLayer(), 4);
    EXPECT_TRUE(loaded.IsVisible(2));
    EXPECT_FALSE(loaded.IsEnabled(5));
    EXPECT_EQ(Store(loaded), bytes);

    // The layer record accepts any schema word.
    Bytes otherSchema = bytes;
    otherSchema[9] = 0x05;
    CLayerArray other;
    Load(other, otherSchema);
    EXPECT_EQ(other.GetLayerName(30), "30 Drawing 4");
}

TEST_F(CLayerArrayTest, EveryPrefixFailsAndLeavesTheTableAsItWas)
{
    const Bytes bytes = Store(table);
    CLayerArray target;
    target.CreateDefault();
    target.SetRefLayer(7);
    target.SetVisible(3, true);
    for (size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_THROW(Load(target, Bytes(bytes.begin(), bytes.begin() + length)), CArchiveException)
            << length;
        ASSERT_EQ(target.GetCount(), LAYER_COUNT);
        ASSERT_EQ(target.GetRefLayer(), 7);
        ASSERT_TRUE(target.IsVisible(3));
    }
}

class CLayerArrayRepairTest : public ::testing::Test {
protected:
    void ExpectDefault(const CLayerArray& loaded, int32_t layer)
    {
        ASSERT_NE(loaded.GetLayer(layer), nullptr) << layer;
        EXPECT_EQ(loaded.GetLayer(layer)->GetNumber(), layer);
        EXPECT_EQ(loaded.GetLayerName(layer), DefaultLayerName(layer));
        EXPECT_FALSE(loaded.IsVisible(layer));
        EXPECT_TRUE(loaded.IsEnabled(layer));
    }
    CLayerArray loaded;
};

TEST_F(CLayerArrayRepairTest, MissingLayersGetTheirDefaults)
{
    const CLayer zero(0, "AAA", "zero", true);
    const CLayer one(1, "BBB", "one", false);
    Load(loaded, TableStream({&zero, &one}));
    ASSERT_EQ(loaded.GetCount(), LAYER_COUNT);
    EXPECT_EQ(loaded.GetLayerName(0), "zero");
    EXPECT_TRUE(loaded.IsVisible(0));
    EXPECT_EQ(loaded.GetLayerName(1), "one");
    for (int32_t i = 2; i < LAYER_COUNT; ++i)
        ExpectDefault(loaded, i);

    Load(loaded, TableStream({}));
    ASSERT_EQ(loaded.GetCount(), LAYER_COUNT);
    ExpectDefault(loaded, 0);
}

// An empty record or a 32nd layer would be lost without a word: the table is refused and the
// one in use stays as it was.
TEST_F(CLayerArrayRepairTest, EmptyRecordsAndExtraLayersAreRefused)
{
    std::vector<std::unique_ptr<CLayer>> owned;
    for (int32_t i = 0; i < LAYER_COUNT + 1; ++i)
        owned.push_back(std::make_unique<CLayer>(i, "X", "layer " + std::to_string(i), false));
    const auto records = [&owned](size_t count, size_t empty) {
        std::vector<const CLayer*> list;
        for (size_t i = 0; i < count; ++i)
            list.push_back(i == empty ? nullptr : owned[i].get());
        return list;
    };
    loaded.CreateDefault();
    loaded.SetVisible(5, true);
    for (const size_t empty : {size_t(0), size_t(3), size_t(LAYER_COUNT - 1)})
        EXPECT_THROW(Load(loaded, TableStream(records(size_t(LAYER_COUNT), empty))),
                     CArchiveException)
            << empty;
    EXPECT_THROW(Load(loaded, TableStream(records(size_t(LAYER_COUNT) + 1, SIZE_MAX))),
                 CArchiveException);
    ASSERT_EQ(loaded.GetCount(), LAYER_COUNT);
    EXPECT_TRUE(loaded.IsVisible(5));
    EXPECT_EQ(loaded.GetLayerName(3), DefaultLayerName(3));

    Load(loaded, TableStream(records(size_t(LAYER_COUNT), SIZE_MAX)));
    EXPECT_EQ(loaded.GetLayerName(30), "layer 30");
}

TEST_F(CLayerArrayRepairTest, NumbersFollowTheIndex)
{
    std::vector<std::unique_ptr<CLayer>> owned;
    std::vector<const CLayer*> records;
    for (int32_t i = 0; i < LAYER_COUNT; ++i) {
        owned.push_back(std::make_unique<CLayer>(30 - i, "X", "layer " + std::to_string(i), false));
        records.push_back(owned.back().get());
    }
    Load(loaded, TableStream(records));
    for (int32_t i = 0; i < LAYER_COUNT; ++i)
        EXPECT_EQ(loaded.GetLayer(i)->GetNumber(), i);
    EXPECT_EQ(loaded.FindLayerByName("layer 12"), 12);
}

} // namespace
