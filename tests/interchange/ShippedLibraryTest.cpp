// The shape library and the template design that ship beside the program, found through the
// settings of a fresh installation, a netlist that names the shipped footprints, and the sample
// design.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/CConfigFiles.h"
#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CWevraDoc.h"
#include "interchange/CNetlistImport.h"
#include "interchange/COutputFiles.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/document/DocTestViews.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path programFolder = fs::path(WEVRA_BUILD_DIR) / "bin";

// The "Files" settings as a fresh installation derives them.
CConfigFiles FreshFiles()
{
    CSettingsSandbox sandbox("shipped-settings");
    CConfigFiles files;
    files.Load(programFolder);
    return files;
}

class ShippedLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const CConfigFiles files = FreshFiles();
        ASSERT_EQ(fs::path(files.m_library), programFolder / "Library" / "Standard.SHP");
        ASSERT_TRUE(set.Load(files.m_library));
        ASSERT_TRUE(set.IsLoaded());
    }

    const CShapeLib* LibraryOf(const std::string& name) const
    {
        for (int32_t i = 0; i < set.GetCount(); ++i)
            if (set.GetLib(i)->FindShape(name) >= 0)
                return set.GetLib(i);
        return nullptr;
    }
    const CShape& Shape(const std::string& name) const
    {
        const CShapeLib* library = LibraryOf(name);
        EXPECT_NE(library, nullptr) << name;
        return *library->GetShape(library->FindShape(name));
    }
    // Pad k (from 1) seen from pad 1.
    CPoint FromPinOne(const std::string& name, int32_t k) const
    {
        const CShape& shape = Shape(name);
        const CPoint one = shape.GetPadPos(0);
        const CPoint pad = shape.GetPadPos(k - 1);
        return CPoint(pad.x - one.x, pad.y - one.y);
    }

    CFakeServices services;
    CShapeLibArray set;
};

// The pin count a footprint's name gives: the number after the family's letters, doubled for
// two-row headers; fixed for the parts whose name carries none.
int32_t PinsOfName(const std::string& name)
{
    static const std::map<std::string, int32_t> fixed = {
        {"SOT-23", 3}, {"SOT23", 3},  {"SOT-223", 4}, {"SOT223", 4},   {"TO-92", 3},
        {"TO92", 3},   {"TO-220", 3}, {"TO220", 3},   {"SOIC16W", 16}, {"SO16W", 16}};
    if (const auto found = fixed.find(name); found != fixed.end())
        return found->second;
    for (const char* two : {"0402", "0603", "0805", "1206", "AXIAL", "RAD"})
        if (name.find(two) != std::string::npos)
            return 2;
    if (name.rfind("HDR2X", 0) == 0)
        return 2 * std::stoi(name.substr(5));
    if (name.rfind("HDR1X", 0) == 0)
        return std::stoi(name.substr(5));
    const size_t digits = name.find_first_of("0123456789");
    return digits == std::string::npos ? -1 : std::stoi(name.substr(digits));
}

double Distance(CPoint a, CPoint b)
{
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

} // namespace

TEST_F(ShippedLibraryTest, HoldsTheFootprintsNetlistsName)
{
    for (const char* name :
         {"0402",    "0603",   "0805",    "1206",   "R0805",   "C1206", "AXIAL0.4",  "RAD0.2",
          "DIP4",    "DIP8",   "DIP14",   "DIP16",  "DIP20",   "DIP24", "DIP28-300", "DIP40",
          "SIP8",    "HDR1X2", "HDR1X20", "HDR2X5", "HDR2X20", "SOIC8", "SO-14",     "SOIC16",
          "SOIC16W", "SOT-23", "SOT-223", "TO-92",  "TO-220",  "TB2",   "IDC10"})
        EXPECT_NE(LibraryOf(name), nullptr) << name;

    int32_t shapes = 0;
    for (int32_t i = 0; i < set.GetCount(); ++i) {
        const CShapeLib& library = *set.GetLib(i);
        for (int32_t k = 0; k < library.GetCount(); ++k) {
            const CShape& shape = *library.GetShape(k);
            ++shapes;
            EXPECT_EQ(shape.GetPadCount(), PinsOfName(shape.GetName())) << shape.GetName();
            // A name found in two libraries would hide one of them from a netlist.
            int32_t holders = 0;
            for (int32_t j = 0; j < set.GetCount(); ++j)
                holders += set.GetLib(j)->FindShape(shape.GetName()) >= 0 ? 1 : 0;
            EXPECT_EQ(holders, 1) << shape.GetName();
        }
    }
    EXPECT_GT(shapes, 100);
}

TEST_F(ShippedLibraryTest, PadsSitOnTheirPackagesGrid)
{
    // DIP8: 0.1 inch along the rows, rows 0.3 inch apart, pin 8 above pin 1.
    EXPECT_EQ(FromPinOne("DIP8", 4), CPoint(76800, 0));
    EXPECT_EQ(FromPinOne("DIP8", 5), CPoint(76800, -76800));
    EXPECT_EQ(FromPinOne("DIP8", 8), CPoint(0, -76800));
    EXPECT_EQ(FromPinOne("DIP40", 40), CPoint(0, -153600));
    EXPECT_EQ(FromPinOne("DIP24-300", 24), CPoint(0, -76800));
    // A drilled footprint is placed by pin 1.
    EXPECT_EQ(Shape("DIP8").GetPadPos(0), CPoint(0, 0));

    // 0805: pad centres 1.90 mm apart on one line; SOT-23: 0.95 mm either side, 2.2 mm rows.
    EXPECT_EQ(FromPinOne("0805", 2), CPoint(19149, 0));
    EXPECT_EQ(FromPinOne("SOT-23", 2), CPoint(19148, 0));
    EXPECT_EQ(FromPinOne("SOT-23", 3), CPoint(9574, -22172));

    // SOIC: 1.27 mm along the rows, 5.4 mm between the pad rows.
    EXPECT_EQ(FromPinOne("SOIC8", 2), CPoint(12800, 0));
    EXPECT_EQ(FromPinOne("SOIC8", 8), CPoint(0, -54424));
    // Two-row headers count across: pin 2 above pin 1, pin 3 beside it.
    EXPECT_EQ(FromPinOne("HDR2X5", 2), CPoint(0, -25600));
    EXPECT_EQ(FromPinOne("HDR2X5", 3), CPoint(25600, 0));
    EXPECT_EQ(FromPinOne("HDR1X4", 4), CPoint(76800, 0));
    EXPECT_EQ(FromPinOne("TO-220", 3), CPoint(51200, 0));
    EXPECT_EQ(FromPinOne("TB3", 3), CPoint(102400, 0));
    EXPECT_EQ(FromPinOne("AXIAL0.4", 2), CPoint(102400, 0));
}

TEST_F(ShippedLibraryTest, EveryFootprintHasCopperOnTheRightSidesAFrameAndPinOneMarked)
{
    for (int32_t i = 0; i < set.GetCount(); ++i) {
        const CShapeLib& library = *set.GetLib(i);
        const CPadStackArray& stacks = library.GetPadStacks();
        for (int32_t k = 0; k < library.GetCount(); ++k) {
            const CShape& shape = *library.GetShape(k);
            const std::string& name = shape.GetName();
            ASSERT_GE(shape.GetPadCount(), 2) << name;
            const int32_t first = shape.GetPadStackIndex(0);
            const bool drilled = stacks.GetPadStack(first)->GetDrill() > 0;
            for (int32_t p = 0; p < shape.GetPadCount(); ++p) {
                const int32_t stack = shape.GetPadStackIndex(p);
                ASSERT_LT(stack, stacks.GetCount()) << name;
                EXPECT_EQ(stacks.GetPadStack(stack)->GetDrill() > 0, drilled) << name;
                EXPECT_NE(stacks.GetPadShape(stack, LAYER_TOP), PAD_UNDEFINED) << name;
                EXPECT_EQ(stacks.GetPadShape(stack, LAYER_BOTTOM) != PAD_UNDEFINED, drilled)
                    << name;
            }
            // Pin 1 of a drilled part has a square pad, unlike pin 2.
            if (drilled) {
                EXPECT_EQ(stacks.GetPadShape(first, LAYER_TOP), PAD_SQUARE) << name;
                EXPECT_NE(stacks.GetPadShape(shape.GetPadStackIndex(1), LAYER_TOP), PAD_SQUARE)
                    << name;
            }

            // Runs on the silkscreen: the frame round every pad, and a mark nearest pin 1.
            std::vector<std::vector<CPoint>> runs;
            for (int32_t v = 0; v < shape.GetOutlineCount(); ++v) {
                ASSERT_EQ(shape.GetOutlineLayer(v), LAYER_SILK_TOP) << name;
                if (shape.GetOutlinePen(v) == 0)
                    runs.emplace_back();
                ASSERT_FALSE(runs.empty()) << name;
                runs.back().push_back(shape.GetOutlinePoint(v));
            }
            ASSERT_FALSE(runs.empty()) << name;
            CRect frame(runs[0][0].x, runs[0][0].y, runs[0][0].x, runs[0][0].y);
            for (const CPoint& point : runs[0])
                frame = CRect(std::min(frame.left, point.x), std::min(frame.top, point.y),
                              std::max(frame.right, point.x), std::max(frame.bottom, point.y));
            for (int32_t p = 0; p < shape.GetPadCount(); ++p) {
                const CPoint at = shape.GetPadPos(p);
                EXPECT_TRUE(at.x > frame.left && at.x < frame.right && at.y > frame.top &&
                            at.y < frame.bottom)
                    << name << " pin " << p + 1;
            }
            bool marked = false;
            for (const std::vector<CPoint>& run : runs) {
                bool nearestOne = true;
                for (const CPoint& point : run)
                    for (int32_t p = 1; p < shape.GetPadCount(); ++p)
                        nearestOne = nearestOne && Distance(point, shape.GetPadPos(0)) <
                                                       Distance(point, shape.GetPadPos(p));
                marked = marked || nearestOne;
            }
            EXPECT_TRUE(marked) << name;
        }
    }
}

TEST(ShippedTemplateTest, FreshSettingsFindItAndItHoldsABoardJobsAndVias)
{
    CFakeServices services;
    CFontFrame frame;
    CDocumentFrame* previous = CDocumentFrame::Set(&frame);
    const CConfigFiles files = FreshFiles();
    EXPECT_EQ(fs::path(files.m_defaultTemplate), programFolder / "Template" / "Template1.PCB");

    CWevraDoc doc;
    ASSERT_TRUE(doc.ReadTemplate(files.m_defaultTemplate));
    EXPECT_TRUE(services.messages.Shown().empty());
    EXPECT_EQ(doc.Design().GetBoardWidth(), 1612598);
    EXPECT_EQ(doc.Design().GetBoardHeight(), 1007874);
    EXPECT_GT(doc.Design().GetBoardOutline().GetSize(), 0);
    EXPECT_GT(doc.Design().GetOutputJobs().GetCount(), 0);
    const CPadStackArray& stacks = doc.Design().GetPadStacks();
    EXPECT_EQ(stacks.GetName(stacks.GetDefault(PADSTACK_KIND_VIA)), "VIA 1.00 H0.80");
    EXPECT_TRUE(stacks.IsVia(stacks.GetDefault(PADSTACK_KIND_VIA)));

    // The printout goes into the design's own folder, and a fresh design's plotter batch is
    // kept as it is.
    const COutputArray& jobs = doc.Design().GetOutputJobs();
    COutputArray fresh;
    fresh.FillDefaultJobs();
    const COutput& freshBatch = *fresh.GetJob(1);
    const fs::path design = "/boards/timer";
    int32_t printouts = 0;
    int32_t batches = 0;
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        const COutput& job = *jobs.GetJob(i);
        SCOPED_TRACE(job.GetJobName());
        if (job.GetDevice() == COutputDevice::Name(COutputDevice::windows)) {
            ++printouts;
            EXPECT_EQ((COutputFiles::Folder(job, "timer", design) / "page").lexically_normal(),
                      design / "page");
        }
        if (job.GetDevice() != freshBatch.GetDevice())
            continue;
        ++batches;
        EXPECT_NE(job.GetJobName(), freshBatch.GetJobName());
        EXPECT_EQ(job.GetDirectory(), freshBatch.GetDirectory());
        EXPECT_EQ(job.GetItemCount(), freshBatch.GetItemCount());
        for (int32_t k = 0; k < std::min(job.GetItemCount(), freshBatch.GetItemCount()); ++k) {
            EXPECT_EQ(job.GetItem(k)->GetDisplayName(), freshBatch.GetItem(k)->GetDisplayName());
            EXPECT_EQ(job.GetItem(k)->GetLayer(0), freshBatch.GetItem(k)->GetLayer(0));
        }
    }
    EXPECT_EQ(printouts, 1);
    EXPECT_EQ(batches, 1);
    CDocumentFrame::Set(previous);
}

namespace {

// The main window's library set: the one the fresh settings name.
class CLibraryFrame : public CFontFrame {
public:
    const CShapeLibArray* GetLibrarySet() const override { return &set; }
    CShapeLibArray set;
};

} // namespace

TEST(ShippedLibraryNetlistTest, ATangoNetlistOfShippedFootprintsPlacesEveryPart)
{
    CFakeServices services;
    CLibraryFrame frame;
    ASSERT_TRUE(frame.set.Load(FreshFiles().m_library));
    CDocumentFrame* previous = CDocumentFrame::Set(&frame);
    CTempFolder temp("shipped-netlist");
    const fs::path net = temp.Path() / "walk.NET";
    fs::copy_file(fs::path(WEVRA_TEST_DATA_DIR) / "walk.NET", net);
    {
        CRecordingViews views;
        CWevraDoc doc;
        doc.SetViews(&views);
        CNetlistImport import;
        ASSERT_TRUE(import.Run(doc.Link(), net));
        EXPECT_EQ(import.GetErrorFlags(), 0u);
        const CComponentArray& components = doc.Design().GetComponents();
        ASSERT_EQ(components.GetCount(), 14);
        for (const std::string& line : doc.Windows().GetMessages())
            EXPECT_EQ(line.find("not Found"), std::string::npos) << line;
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            const CShape* shape =
                doc.Design().GetShapeCache().GetShape(components.GetShapeIndex(i));
            ASSERT_NE(shape, nullptr);
            EXPECT_EQ(shape->GetPadCount(), PinsOfName(shape->GetName()));
        }
        // Every pin the netlist names found its pad: ten nets, each with all its pins.
        EXPECT_EQ(doc.Design().GetNets().GetCount(), 11);
        EXPECT_EQ(
            doc.Design().GetNets().GetNet(doc.Design().GetNets().FindNet("GND"))->GetPinCount(),
            11);
    }
    CDocumentFrame::Set(previous);
}

// The sample design is a board to build: the design-rule check finds nothing, every connection
// is routed, and its plane fills without a fault.
TEST(ShippedSampleTest, PassesTheDesignRuleCheckWithEveryNetRouted)
{
    CFakeServices services;
    CFontFrame frame;
    CDocumentFrame* previous = CDocumentFrame::Set(&frame);
    {
        CRecordingViews views;
        CWevraDoc doc;
        doc.SetViews(&views);
        ASSERT_TRUE(doc.OnOpenDocument(WEVRA_DEMO_DESIGN));
        doc.Planes().RefillAll();
        for (const auto& plane : doc.Design().GetPlanes()) {
            EXPECT_TRUE(plane->HasFill()) << plane->GetName();
            EXPECT_EQ(plane->GetFillErrorCount(), 0) << plane->GetName();
        }
        doc.RunCheckAll();
        // The check leaves every fill as current as the copper it was poured round.
        EXPECT_EQ(doc.Design().FindStalePlane(), nullptr);
        const CNetArray& nets = doc.Design().GetNets();
        for (int32_t i = 0; i < nets.GetErrorCount(); ++i) {
            const CNetErrorRec& error = *nets.GetError(i);
            ADD_FAILURE() << nets.GetNet(error.GetFirst().net)->GetName() << " "
                          << error.GetFirst().text << " at " << error.GetFirst().position.x << ","
                          << error.GetFirst().position.y << " against "
                          << nets.GetNet(error.GetSecond().net)->GetName() << " "
                          << error.GetSecond().text;
        }
        EXPECT_EQ(nets.GetToDoList(), std::vector<std::string>{});
        EXPECT_TRUE(services.messages.Shown().empty());
    }
    CDocumentFrame::Set(previous);
}
