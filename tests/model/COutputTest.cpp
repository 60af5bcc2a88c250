#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CFakeServices.h"

namespace {

using namespace archive_bytes;

TEST(COutputTest, StoresAsWrittenByHandAndRoundTrips)
{
    CFakeServices fakes;
    fakes.printers.printers = {"P"};
    COutput job;
    job.SetOrientation(COutput::orientationLandscape);
    job.SetUseDefaultPrinter(false);
    job.SetStoredValue(1);
    job.SetOffset(256, -1);
    job.SetJobName("J");
    job.SetPrinterName("P");
    auto rec = std::make_unique<COutputRec>();
    rec->SetDisplayName("S");
    job.AddItem(std::move(rec));

    const Bytes expected = Concat({
        {0x00, 0x00, 0x00, 0x00},                         // current item
        {0x02, 0x00, 0x00, 0x00},                         // flags: landscape
        {0x01, 0x00, 0x00, 0x00},                         // stored value
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}, // scale 1.0
        {0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, // offset 256, -1
        {0x07},
        Ascii("WINDOWS"),
        {0x03},
        Ascii("A:\\"),
        {0x01, 'J', 0x01, 'P'},               // job and printer name
        {0x01, 0x00},                         // one item
        {0xFF, 0xFF, 0x00, 0x00, 0x0A, 0x00}, // new class, schema 0
        Ascii("COutputRec"),
        {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // output, colour
        {0x01, 'S', 0x00},                                // display name, extension
        Bytes(31, 0x00),                                  // layers
        {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // reference layer, flags
    });
    EXPECT_EQ(Store(job), expected);
    COutput loaded;
    Load(loaded, expected);
    EXPECT_EQ(Store(loaded), expected);
    ExpectEveryPrefixFails(expected, [](CArchive& ar) { COutput().Serialize(ar); });

    // A copy takes the settings but no items.
    COutput copy(loaded);
    EXPECT_EQ(Store(copy), Concat({Bytes(expected.begin(), expected.begin() + 44), {0, 0}}));
}

// A stored job with the given current item and items (nullptr for an empty record).
Bytes JobStream(int32_t currentItem, const std::string& device, const std::string& printer,
                uint32_t flags, const std::vector<const COutputRec*>& items)
{
    CArchive ar;
    ar << currentItem << flags << int32_t(0) << 1.0 << int32_t(0) << int32_t(0);
    ar << device << std::string() << std::string() << printer;
    ar.WriteCount(items.size());
    for (const COutputRec* item : items)
        ar.WriteObject(item);
    return ar.TakeBuffer();
}

TEST(COutputTest, LoadChecksThePrinterAndRepairsIndexes)
{
    CFakeServices fakes;
    fakes.printers.printers = {"Laser"};
    fakes.printers.defaultPrinter = "Gone";
    const COutputRec plain;
    COutputRec offLayer, negativeLayer;
    offLayer.SetRefLayer(31);
    negativeLayer.SetRefLayer(-1);
    const struct {
        const char* device;
        const char* printer;
        uint32_t flags, loadedFlags;
        int32_t currentItem;
        std::vector<const COutputRec*> items;
        bool repaired;
    } cases[] = {
        // A printing job whose printer is gone prints on the default printer.
        {"WINDOWS", "Laser", 0x01, 0x01, 1, {&plain, &plain}, false},
        {"WINDOWS", "Gone", 0x02, 0x0A, 0, {}, false},
        {"WINDOWS", "", 0x01, 0x09, 0, {}, false},
        {"DISPLAY", "Gone", 0x01, 0x01, 0, {}, false},
        // Anything that would point outside the job.
        {"DISPLAY", "", 0x01, 0x01, 2, {&plain, &plain}, true},
        {"DISPLAY", "", 0x01, 0x01, -1, {&plain}, true},
        {"DISPLAY", "", 0x01, 0x01, 3, {}, true},
        {"DISPLAY", "", 0x01, 0x01, 0, {&plain, nullptr}, true},
        {"DISPLAY", "", 0x01, 0x01, 0, {&offLayer}, true},
        {"DISPLAY", "", 0x01, 0x01, 0, {&negativeLayer}, true},
    };
    for (const auto& c : cases) {
        COutput loaded;
        Load(loaded, JobStream(c.currentItem, c.device, c.printer, c.flags, c.items));
        SCOPED_TRACE(testing::Message() << c.device << " " << c.printer << " " << c.currentItem);
        EXPECT_EQ(loaded.GetFlags(), c.loadedFlags);
        EXPECT_EQ(loaded.WasRepaired(), c.repaired);
        EXPECT_EQ(loaded.GetCurrentItem(), c.repaired ? 0 : c.currentItem);
        ASSERT_EQ(loaded.GetItemCount(), int32_t(c.items.size()));
        for (int32_t i = 0; i < loaded.GetItemCount(); ++i) {
            ASSERT_NE(loaded.GetItem(i), nullptr);
            EXPECT_EQ(loaded.GetItem(i)->GetRefLayer(), 1);
        }
    }
}

// Removing an item or a job keeps the current one inside the list: the same index where it
// still names one, else the last, and 0 for an empty list; an index outside changes nothing.
TEST(COutputTest, RemovingKeepsTheCurrentIndexInTheList)
{
    COutput job;
    for (int i = 0; i < 3; ++i)
        job.AddItem(nullptr);
    job.SetCurrentItem(2);
    job.RemoveItem(-1);
    job.RemoveItem(3);
    EXPECT_EQ(job.GetItemCount(), 3);
    job.RemoveItem(2);
    EXPECT_EQ(job.GetCurrentItem(), 1);
    job.RemoveItem(0);
    EXPECT_EQ(job.GetCurrentItem(), 0);
    job.RemoveItem(0);
    EXPECT_EQ(job.GetItemCount(), 0);
    EXPECT_EQ(job.GetCurrentItem(), 0);
    EXPECT_EQ(job.GetCurrentRec(), nullptr);

    COutputArray jobs;
    for (const char* name : {"A", "B", "C"}) {
        auto added = std::make_unique<COutput>();
        added->SetJobName(name);
        jobs.AddJob(std::move(added));
    }
    jobs.SetCurrent(1);
    jobs.RemoveJob(0);
    EXPECT_EQ(jobs.GetCurrent(), 1);
    EXPECT_EQ(jobs.GetJob(jobs.GetCurrent())->GetJobName(), "C");
    jobs.RemoveJob(1);
    EXPECT_EQ(jobs.GetCurrent(), 0);
    jobs.RemoveJob(0);
    jobs.RemoveJob(0);
    EXPECT_EQ(jobs.GetCount(), 0);
    EXPECT_EQ(jobs.GetCurrent(), 0);
}

} // namespace
