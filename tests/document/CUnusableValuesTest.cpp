#include "document/CUnusableValues.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "analysis/CDrc.h"
#include "analysis/CPlaneBuild.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentPlanes.h"
#include "interchange/CGerberWriter.h"
#include "tests/interchange/GerberTestBoard.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
constexpr int32_t highest = std::numeric_limits<int32_t>::max();
constexpr int32_t beyond = int32_t(1) << 30;

// Designs holding values no board would use, written to a file and opened as File > Open opens
// them: every command computes with them without undefined behaviour and with work bounded by
// what the board holds, and the values stay as the file has them.
class CUnusableValuesTest : public COutputTestBoard {
protected:
    // Saves the design and opens the file in a document of its own, which replaces it.
    void Reopen()
    {
        const std::string file = (temp.Path() / "far.PCB").string();
        ASSERT_TRUE(doc->OnSaveDocument(file));
        output.reset();
        doc = std::make_unique<CWevraDoc>();
        services.messages.ClearShown();
        ASSERT_TRUE(doc->OnOpenDocument(file));
        output = std::make_unique<CTestOutput>(*doc, temp.Path(), "board");
    }

    bool Shown(const std::string& part) const
    {
        for (const std::string& text : services.messages.ShownTexts()) {
            if (text.find(part) != std::string::npos)
                return true;
        }
        return false;
    }

    // The bytes of every file the job writes.
    uintmax_t WriteGerber(int32_t job)
    {
        CGerberWriter writer(*output);
        EXPECT_EQ(writer.Write(job), 1);
        uintmax_t bytes = 0;
        for (const fs::path& file : writer.GetWrittenFiles())
            bytes += fs::file_size(file);
        EXPECT_FALSE(writer.GetWrittenFiles().empty());
        return bytes;
    }
};

// Distances between tracks that span the whole coordinate range saturate, and a pad from one end
// of the range to the other is plotted with its outline saturated: DRC Test All and the Gerber
// job compute every value without overflow, and the job, whose format holds no such coordinate,
// names the first track beyond it and writes nothing.
TEST_F(CUnusableValuesTest, TracksAndPadsAtTheEndsOfTheRangeAreCheckedAndPlotted)
{
    CNetArray& nets = doc->Design().GetNets();
    const std::vector<std::vector<CPoint>> runs[] = {
        {{{lowest, 0}, {highest, 0}, {lowest, 0}}, {{lowest + 1, 5}, {highest, 5}}},
        {{{0, lowest}, {0, highest}, {0, lowest}}, {{5, lowest + 1}, {5, highest}}},
        {{{beyond, beyond},
          {-beyond, -beyond},
          {beyond, -beyond},
          {-beyond, beyond},
          {beyond, beyond}}},
        {{{-beyond, beyond},
          {beyond, -beyond},
          {-beyond, -beyond},
          {beyond, beyond},
          {-beyond, beyond}}},
    };
    std::vector<int32_t> added;
    for (const auto& net : runs) {
        added.push_back(nets.AddNet("N" + std::to_string(added.size())));
        for (const std::vector<CPoint>& run : net)
            Run(added.back(), run, LAYER_TOP, 2015);
    }
    const int32_t huge =
        Stack("HUGE", PAD_RECTANGLE, CRect(lowest, lowest, highest, highest), 0, LAYER_TOP);
    ASSERT_TRUE(Net(added[0]).AppendPadVertex(1000, 1000, huge, 30000, false));
    const int32_t job = AddJob(gerberLayers24, "", {{"TOP", {LAYER_TOP}}});
    Reopen();
    EXPECT_TRUE(Shown("outside -1073741823 to 1073741823"));

    doc->Analysis().TestAllNets();
    const int32_t errors = doc->Design().GetNets().GetErrorCount();
    EXPECT_GT(errors, 0);
    EXPECT_LE(errors, CDrc::maxErrors);
    services.messages.ClearShown();
    CGerberWriter writer(*output);
    EXPECT_EQ(writer.Write(job), 0);
    EXPECT_TRUE(writer.GetWrittenFiles().empty());
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{
                  "Error!\nThe job failed and wrote no file: a track of net \"N0\" at "
                  "(-2147483648, 0) in the layer set \"TOP\" lies at X-83886080Y000031 in the "
                  "file, which the fixed digits of the file format cannot hold. Move the item or "
                  "change the job's offset."});

    // Nothing the checks and the output compute is written back into the design.
    EXPECT_FALSE(doc->IsModified());
    const CNet& first = *doc->Design().GetNets().GetNet(added[0]);
    EXPECT_EQ(first.GetVertexPoint(0), CPoint(lowest, 0));
    EXPECT_EQ(first.GetVertexPoint(1), CPoint(highest, 0));
    const CPad* pad = doc->Design().GetPadStacks().GetPadStack(huge)->GetPad(LAYER_TOP);
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->GetRect(), CRect(lowest, lowest, highest, highest));
}

// Pads that overlap every other pad of the board, and planes far larger than any board: DRC
// Test All stops at its bound of errors, the fill leaves such a plane alone, and the Gerber
// job stays the size of the board's real copper; each says what it stopped.
TEST_F(CUnusableValuesTest, PadsAndPlanesOfDamagedSizesTakeBoundedWork)
{
    doc->Design().SetBoardOutlineRect(0, 0, 1024000, 768000);
    const int32_t huge =
        Stack("HUGE", PAD_RECTANGLE, CRect(-beyond, -beyond, beyond, beyond), 0, LAYER_TOP);
    CNetArray& nets = doc->Design().GetNets();
    // Every pair of these nets meets: far more pairs than the check lists.
    constexpr int32_t netCount = 20000;
    for (int32_t i = 0; i < netCount; ++i) {
        const int32_t net = nets.AddNet("H" + std::to_string(i));
        ASSERT_TRUE(Net(net).AppendPadVertex(25600 + i * 25, 25600, huge, 0, false));
    }
    const int32_t ground = nets.AddNet("GND");
    // The solid fill's lines, 1008 units apart, could cross this plane more often than the bound
    // allows; the other reaches from one end of the range to the other.
    const int32_t side = int32_t(CPlaneBuild::maxHatchLines / 2 * 1100);
    AddPlane(ground, LAYER_BOTTOM, CRect(0, 0, side, side));
    AddPlane(ground, LAYER_BOTTOM, CRect(lowest, lowest, highest, highest));
    const int32_t job = AddJob(gerberLayers24, "", {{"BOTTOM", {LAYER_BOTTOM}}});
    std::vector<std::vector<CPoint>> outlines;
    for (const auto& plane : doc->Design().GetPlanes()) {
        outlines.emplace_back();
        for (int32_t k = 0; k < plane->GetOutline().GetSize(); ++k)
            outlines.back().push_back(plane->GetOutline()[k]);
    }
    Reopen();

    // The check's peak memory: it once held the pairs of 512 nets at a time, 200 million here.
    const auto peakMegabytes = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024;
    };
    const long before = peakMegabytes();
    doc->Analysis().TestAllNets();
    EXPECT_LT(peakMegabytes() - before, 256);
    // And a line for each plane that needs its fill.
    EXPECT_EQ(doc->Design().GetNets().GetErrorCount(), CDrc::maxErrors + 2);
    EXPECT_TRUE(Shown("DRC Test All stopped after 10000 errors"));
    const std::vector<std::string>& report = doc->Analysis().GetReportLines();
    EXPECT_TRUE(std::any_of(report.begin(), report.end(), [](const std::string& line) {
        return line.find("stopped after 10000 errors") != std::string::npos;
    }));

    services.messages.ClearShown();
    doc->Planes().RefillAll();
    EXPECT_TRUE(Shown("The plane is too large to fill"));
    for (const auto& plane : doc->Design().GetPlanes()) {
        EXPECT_EQ(plane->GetFillStrokes().GetSize(), 0);
        EXPECT_TRUE(plane->GetFillPolylines().empty());
    }
    // The board's own copper, not a hatching of the planes: the sample's files are tens of
    // kilobytes.
    EXPECT_LT(WriteGerber(job), uintmax_t(1) << 20);

    // The outlines stay as the file has them.
    ASSERT_EQ(doc->Design().GetPlanes().size(), outlines.size());
    for (size_t i = 0; i < outlines.size(); ++i) {
        const CPointArray& outline = doc->Design().GetPlanes()[i]->GetOutline();
        ASSERT_EQ(size_t(outline.GetSize()), outlines[i].size());
        for (int32_t k = 0; k < outline.GetSize(); ++k)
            EXPECT_EQ(outline[k], outlines[i][size_t(k)]);
    }
    EXPECT_FALSE(doc->IsModified());
}

} // namespace
