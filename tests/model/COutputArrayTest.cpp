#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CResourcePack.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "resources/StringIds.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"

namespace {

using namespace archive_bytes;

struct ExpectedRec {
    const char* name;
    const char* extension;
    std::vector<int32_t> layers;
    int32_t refLayer;
};

struct ExpectedJob {
    const char* name;
    const char* device;
    const char* directory;
    const char* printer;
    int32_t storedValue;
    bool color;
};

void ExpectJob(const COutput& job, const ExpectedJob& want, const std::vector<ExpectedRec>& records)
{
    SCOPED_TRACE(want.name);
    EXPECT_EQ(job.GetJobName(), want.name);
    EXPECT_EQ(job.GetDevice(), want.device);
    EXPECT_EQ(job.GetDirectory(), want.directory);
    EXPECT_EQ(job.GetPrinterName(), want.printer);
    EXPECT_EQ(job.GetStoredValue(), want.storedValue);
    EXPECT_EQ(job.GetScale(), 1.0);
    EXPECT_EQ(job.GetOffsetX() | job.GetOffsetY() | job.GetCurrentItem(), 0);
    EXPECT_EQ(job.GetOrientation(), COutput::orientationPortrait);
    ASSERT_EQ(job.GetItemCount(), int32_t(records.size()));
    for (int32_t i = 0; i < job.GetItemCount(); ++i) {
        const COutputRec& rec = *job.GetItem(i);
        const ExpectedRec& wantRec = records[size_t(i)];
        std::vector<int32_t> layers;
        for (int32_t k = 0; k < rec.GetLayerCount(); ++k)
            layers.push_back(rec.GetLayer(k));
        EXPECT_EQ(rec.GetDisplayName(), wantRec.name);
        EXPECT_EQ(rec.GetFileExtension(), wantRec.extension) << wantRec.name;
        EXPECT_EQ(layers, wantRec.layers) << wantRec.name;
        EXPECT_EQ(rec.GetRefLayer(), wantRec.refLayer) << wantRec.name;
        EXPECT_TRUE(rec.IsOutput());
        EXPECT_EQ(rec.IsColor(), want.color);
        EXPECT_EQ(rec.GetFlags(), 0u);
    }
}

class COutputArrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CResourcePack pack;
        pack.SetString(IDS_UNNAMED, "UnNamed");
        CResourcePack::SetCurrent(pack);
        fakes.printers.printers = {"Office Laser"};
        fakes.printers.defaultPrinter = "Office Laser";
    }
    void TearDown() override { CResourcePack::SetCurrent(CResourcePack()); }

    CFakeServices fakes;
};

TEST_F(COutputArrayTest, SetsAndJobsOfANewDesign)
{
    COutputArray list;
    list.FillDefaultJobs();
    list.FillDisplaySets();
    ASSERT_EQ(list.GetCount(), 1);
    ExpectJob(*list.GetJob(0), {"", "DISPLAY", "", "", 0, true},
              {
                  {"*Custom", "", {21, 2, 1, 26}, 2},
                  {"Copper on Top", "", {1, 26}, 1},
                  {"Copper on Bottom", "", {2, 26}, 2},
                  {"Copper on Top and Bottom", "", {1, 2, 26}, 2},
                  {"Silkscreen", "", {21, 26}, 21},
                  {"All Layers on Top", "", {1, 17, 21, 26}, 1},
                  {"All Layers on Bottom", "", {2, 18, 22, 26}, 2},
                  {"All Layers", "", {1, 2, 17, 21, 18, 22, 26}, 2},
              });

    list.FillDefaultJobs();
    ASSERT_EQ(list.GetCount(), 3);
    ExpectJob(*list.GetJob(0), {"Printing", "WINDOWS", "A:\\", "Office Laser", 1, false},
              {
                  {"Signal Top", ".TOP", {1, 26}, 1},
                  {"Signal Bottom", ".BOT", {2, 26}, 1},
                  {"Soldermask Bottom", ".SMB", {18}, 1},
                  {"Silkscreen Top", ".SST", {21}, 1},
              });
    ExpectJob(*list.GetJob(1),
              {"GERBER Plot and Drill", "GERBER RS-274X, Inch, 2.4, Single File, Leading Zero",
               "C:\\GERBER", "", 0, false},
              {
                  {"SIGNAL TOP", "", {1}, 1},
                  {"SIGNAL BOTTOM", "", {2}, 1},
                  {"SILKSCREEN TOP", "", {21}, 1},
                  {"SILKSCREEN BOTTOM", "", {22}, 1},
                  {"SOLDERMASK TOP", "", {17}, 1},
                  {"SOLDERMASK BOTTOM", "", {18}, 1},
                  {"DRILL PROGRAM", "", {26}, 1},
              });
    ExpectJob(*list.GetJob(2),
              {"EXCELLON Drill PROGRAM", "EXCELLON, Inch, 2.4, Leading Zero", "C:\\EXCELLON", "", 0,
               false},
              {{"DRILL PROGRAM", "", {26}, 1}});

    list.SetCurrent(2);
    EXPECT_EQ(list.GetCurrent(), 2);
    list.SetCurrent(5);
    EXPECT_EQ(list.GetCurrent(), 0);
}

TEST_F(COutputArrayTest, StoresAsWrittenByHandAndRoundTrips)
{
    COutputArray list;
    auto display = std::make_unique<COutput>();
    display->SetDevice("DISPLAY");
    display->SetDirectory("");
    list.AddJob(std::move(display));
    const Bytes expected = Concat({
        {0x00, 0x00, 0x00, 0x00},             // current job
        {0x01, 0x00},                         // one job
        {0xFF, 0xFF, 0x00, 0x00, 0x07, 0x00}, // new class, schema 0
        Ascii("COutput"),
        {0x00, 0x00, 0x00, 0x00},                         // current item
        {0x09, 0x00, 0x00, 0x00},                         // portrait, default printer
        {0x00, 0x00, 0x00, 0x00},                         // stored value
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}, // scale 1.0
        Bytes(8, 0x00),                                   // offset
        {0x07},
        Ascii("DISPLAY"),
        {0x00, 0x00, 0x00, 0x00, 0x00}, // folder, job and printer name, no items
    });
    EXPECT_EQ(Store(list), expected);

    // The sets of a new design come back byte for byte, with no warning.
    for (bool jobs : {false, true}) {
        COutputArray filled;
        jobs ? filled.FillDefaultJobs() : filled.FillDisplaySets();
        filled.SetCurrent(filled.GetCount() - 1);
        const Bytes stored = Store(filled);
        COutputArray loaded;
        Load(loaded, stored);
        EXPECT_EQ(Store(loaded), stored);
        ExpectEveryPrefixFails(stored, [](CArchive& ar) { COutputArray().Serialize(ar); });
    }
    EXPECT_TRUE(fakes.messages.Shown().empty());
}

// Two jobs pointing outside themselves under a current job past the list: all repaired, with
// one warning noted for the loader to show.
TEST_F(COutputArrayTest, LoadRepairsIndexesWithOneWarning)
{
    COutputArray list;
    list.FillDefaultJobs();
    list.GetJob(1)->GetItem(2)->SetRefLayer(40);
    Bytes stored = Store(list);
    stored[0] = 3;  // current job
    stored[19] = 9; // current item of the first job, after its class tag

    COutputArray loaded;
    CArchive ar(stored);
    loaded.Serialize(ar);
    EXPECT_TRUE(fakes.messages.Shown().empty());
    EXPECT_EQ(ar.GetLoadWarnings().size(), 1u);
    EXPECT_EQ(loaded.GetCurrent(), 0);
    EXPECT_TRUE(loaded.GetJob(0)->WasRepaired());
    EXPECT_TRUE(loaded.GetJob(1)->WasRepaired());
    EXPECT_EQ(loaded.GetJob(0)->GetCurrentItem(), 0);
    EXPECT_EQ(loaded.GetJob(1)->GetItem(2)->GetRefLayer(), 1);
}

} // namespace
