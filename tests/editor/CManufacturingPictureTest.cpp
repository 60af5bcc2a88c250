#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <QImage>
#include <QPainter>

#include "document/CDesignSettings.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CViewState.h"
#include "framework/qt/CQtDeviceContext.h"
#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CCopperShape.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "tests/document/DocTestViews.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/interchange/OutputTestSupport.h"

namespace {

// Board units per pixel of both pictures, 500 dots per inch: a tenth of an inch is 50 pixels,
// so that the painter's whole pixels fall on the board's grid.
constexpr int32_t scale = 512;
constexpr int32_t dotsPerInch = 500;

// Which pixels of a picture are copper (or silkscreen).
struct Mask {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> on;

    bool At(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && on[size_t(y) * width + x] != 0;
    }
    int32_t Count() const { return int32_t(std::count(on.begin(), on.end(), 1)); }
};

// The pixels of `a` with no pixel of `b` at most one pixel away.
std::vector<QPoint> Unmatched(const Mask& a, const Mask& b)
{
    std::vector<QPoint> lost;
    for (int32_t y = 0; y < a.height; ++y) {
        for (int32_t x = 0; x < a.width; ++x) {
            if (!a.At(x, y))
                continue;
            bool near = false;
            for (int32_t dy = -1; dy <= 1 && !near; ++dy) {
                for (int32_t dx = -1; dx <= 1 && !near; ++dx)
                    near = b.At(x + dx, y + dy);
            }
            if (!near)
                lost.emplace_back(x, y);
        }
    }
    return lost;
}

std::string Describe(const std::vector<QPoint>& points)
{
    std::string text = std::to_string(points.size()) + " pixels, first:";
    for (size_t k = 0; k < points.size() && k < 8; ++k)
        text += " (" + std::to_string(points[k].x()) + "," + std::to_string(points[k].y()) + ")";
    return text;
}

// The drill program's hits ("X012000Y003000") in file units: 1/10000 inch, y up.
std::vector<QPoint> DrillHits(const std::string& program)
{
    std::vector<QPoint> hits;
    for (const std::string& line : SplitLines(program)) {
        const size_t y = line.find('Y');
        if (line.rfind('X', 0) == 0 && y != std::string::npos)
            hits.emplace_back(std::stoi(line.substr(1, y - 1)), std::stoi(line.substr(y + 1)));
    }
    return hits;
}

} // namespace

// The manufacturing files show the board as the view does: each copper and silkscreen file,
// as gerbv renders it, has the pixels the board painter gives that layer alone at the same
// scale and origin, and every drill hit lands in copper on both sides.
class CManufacturingPictureTest : public QtApplicationFixture<CDocumentTest> {
protected:
    CManufacturingPictureTest() : temp("wevra-pictures") {}

    void SetUp() override
    {
        CDocumentTest::SetUp();
        output = std::make_unique<CTestOutput>(*doc, temp.Path(), "board");
    }

    // The view shows the layers as they are plotted: no pad labels, reference names, grid or
    // current net.
    void PlotView()
    {
        doc->Design().SetPadInfoMode(0);
        doc->Design().SetViewFlag(CDesignSettings::viewReferenceNames, false);
        doc->Design().GetGridSettings().SetMode(doc->Design().GetGridSettings().GetCurrentIndex(),
                                                CGridArr::modeInvisible);
        doc->Design().GetNets().SetCurrentNet(0);
    }

    // The view as the pictures are compared: plotted as above, and every plane filled.
    void PrepareView()
    {
        PlotView();
        doc->Planes().RefillAll();
    }

    // Writes the per-layer Gerber job and the drill job, then compares.
    void CheckOutput()
    {
        PrepareView();
        const struct {
            const char* name;
            int32_t layer;
        } sets[] = {{"TOP", LAYER_TOP},
                    {"BOTTOM", LAYER_BOTTOM},
                    {"SILK TOP", LAYER_SILK_TOP},
                    {"SILK BOTTOM", LAYER_SILK_BOTTOM}};
        COutputArray& jobs = doc->Design().GetOutputJobs();
        jobs.RemoveAll();
        auto gerber = std::make_unique<COutput>();
        gerber->SetDevice(COutputDevice::Name(COutputDevice::gerber24));
        gerber->SetDirectory("");
        for (const auto& set : sets) {
            auto item = std::make_unique<COutputRec>();
            item->SetDisplayName(set.name);
            item->SetLayers({set.layer});
            item->SetTextReference(true);
            gerber->AddItem(std::move(item));
        }
        const int32_t gerberJob = jobs.AddJob(std::move(gerber));
        auto drill = std::make_unique<COutput>();
        drill->SetDevice(COutputDevice::Name(COutputDevice::excellon));
        drill->SetDirectory("");
        auto item = std::make_unique<COutputRec>();
        item->SetLayers({LAYER_DRILL});
        drill->AddItem(std::move(item));
        const int32_t drillJob = jobs.AddJob(std::move(drill));

        CGerberWriter writer(*output);
        ASSERT_EQ(writer.Write(gerberJob), 1);
        CDrillOut drillOut;
        ASSERT_TRUE(drillOut.Write(drillJob, 0, *output));
        const std::vector<fs::path> gerbers = Gerbers(writer);
        ASSERT_EQ(gerbers.size(), std::size(sets));
        EXPECT_EQ(ParserComplaints(gerbers), std::vector<std::string>{});

        std::vector<Mask> files;
        for (size_t k = 0; k < std::size(sets); ++k) {
            SCOPED_TRACE(sets[k].name);
            files.push_back(ComparePicture(gerbers[k], sets[k].layer));
        }
        CheckDrillHits(drillOut.GetWrittenFiles()[0], files[0], files[1]);
    }

    static std::vector<fs::path> Gerbers(const CGerberWriter& writer)
    {
        std::vector<fs::path> gerbers;
        for (const fs::path& file : writer.GetWrittenFiles()) {
            if (file.extension() == ".GBR")
                gerbers.push_back(file);
        }
        return gerbers;
    }

    // gerbv's picture of the file against the painter's picture of the layer; gerbv's pixels.
    Mask ComparePicture(const fs::path& gerber, int32_t layer)
    {
        // gerbv smooths the edges: a painted pixel must be touched by the file's copper, a pixel
        // the file mostly covers must be painted.
        const QImage rendered = GerbvImage(gerber);
        const Mask file = Threshold(rendered, 127);
        const Mask painted = PainterMask(layer);
        EXPECT_EQ(file.width, painted.width);
        EXPECT_EQ(file.height, painted.height);
        if (file.width != painted.width || file.height != painted.height)
            return file;
        EXPECT_EQ(Describe(Unmatched(painted, Threshold(rendered, 63))), Describe({}))
            << "painted, not in the file";
        EXPECT_EQ(Describe(Unmatched(Threshold(rendered, 191), painted)), Describe({}))
            << "in the file, not painted";
        return file;
    }

    // gerbv reads the drill program, and every hit lands in copper on both sides.
    void CheckDrillHits(const fs::path& drill, const Mask& top, const Mask& bottom)
    {
        EXPECT_TRUE(GerbvComplaints(drill, "drill", temp.Path() / "exported.drl").empty());
        const std::vector<QPoint> hits = DrillHits(ReadBytes(drill));
        EXPECT_FALSE(hits.empty());
        EXPECT_GT(top.Count(), 1000);
        for (const QPoint& hit : hits) {
            // 1/10000 inch is 25.6 board units; the file's y grows upwards from the board's
            // lower edge.
            const int32_t x = int32_t(hit.x() * 25.6 / scale);
            const int32_t y = int32_t((doc->Design().GetBoardHeight() - hit.y() * 25.6) / scale);
            EXPECT_TRUE(top.At(x, y)) << "top, hit at pixel " << x << "," << y;
            EXPECT_TRUE(bottom.At(x, y)) << "bottom, hit at pixel " << x << "," << y;
        }
    }

    // The board painter's picture of the layer alone (with the component references), at the
    // scale from the board's origin: the pixels in the layer's colour.
    Mask PainterMask(int32_t layer)
    {
        const int32_t width = doc->Design().GetBoardWidth() / scale;
        const int32_t height = doc->Design().GetBoardHeight() / scale;
        views.client = CSize(width, height);
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        COutputRec& set = *doc->Design().GetCurrentLayerSet();
        set.SetLayers({layer});
        // The component references are plotted on the silkscreens only.
        set.SetTextReference(layer == LAYER_SILK_TOP || layer == LAYER_SILK_BOTTOM);
        set.SetTextType(false);
        set.SetTextShape(false);
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            CQtDeviceContext dc(painter);
            EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        }
        const COLORREF color = doc->Paint().LayerColor(layer, 0);
        const QRgb rgb = qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
        Mask mask{width, height, std::vector<uint8_t>(size_t(width) * height)};
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                mask.on[size_t(y) * width + x] = image.pixel(x, y) == rgb ? 1 : 0;
        }
        return mask;
    }

    // gerbv's picture of the file: the board's area from its lower left corner, white on black.
    QImage GerbvImage(const fs::path& file)
    {
        const int32_t width = doc->Design().GetBoardWidth() / scale;
        const int32_t height = doc->Design().GetBoardHeight() / scale;
        const fs::path png = file.string() + ".png";
        const std::string errors = CommandOutput(
            "gerbv -x png -a -B 0 -D " + std::to_string(dotsPerInch) + " -O 0x0 -W " +
            std::to_string(double(width) / dotsPerInch) + "x" +
            std::to_string(double(height) / dotsPerInch) + " -b '#000000' -f '#FFFFFFFF' -o '" +
            png.string() + "' '" + file.string() + "' 2>&1 >/dev/null");
        EXPECT_EQ(errors, "") << file;
        QImage image(QString::fromStdString(png.string()));
        EXPECT_FALSE(image.isNull()) << png;
        return image;
    }

    // The pixels brighter than `level`.
    static Mask Threshold(const QImage& image, int level)
    {
        Mask mask{image.width(), image.height(),
                  std::vector<uint8_t>(size_t(image.width()) * image.height())};
        for (int32_t y = 0; y < mask.height; ++y) {
            for (int32_t x = 0; x < mask.width; ++x)
                mask.on[size_t(y) * mask.width + x] = qRed(image.pixel(x, y)) > level ? 1 : 0;
        }
        return mask;
    }

    // Pads of the common shapes, turned by 30 and 45 degrees and off their centre, on a plain,
    // a turned and a mirrored component; tracks on both sides; a plane on the bottom with vias
    // and a component of its net inside, whose pins it joins by thermal reliefs; texts on copper
    // and silkscreen, drawn lines and the outline.
    void MakeGeneratedBoard()
    {
        doc->Design().SetBoardOutlineRect(0, 0, 1024000, 768000);
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        const auto stack = [&](const char* name, int32_t shape, CRect box, int32_t drill,
                               int32_t layer) {
            return stacks.Add(CPadStack(name, shape, box.left, box.top, box.right, box.bottom,
                                        drill, layer, PADSTACK_KIND_SHAPE_PAD | PADSTACK_KIND_VIA));
        };
        const struct {
            int32_t stack;
            int32_t angle;
        } pads[] = {
            {stack("RND", PAD_ROUND, {-10240, -10240, 10240, 10240}, 5120, LAYER_COMMON), 0},
            {stack("SQ", PAD_SQUARE, {-8960, -8960, 8960, 8960}, 5120, LAYER_COMMON), 45000},
            {stack("OV", PAD_OVAL, {-15360, -7680, 15360, 7680}, 5120, LAYER_COMMON), 30000},
            {stack("RC", PAD_RECTANGLE, {-12800, -6400, 12800, 6400}, 0, LAYER_TOP), 45000},
            {stack("OFF", PAD_RECTANGLE, {-5120, -6400, 15360, 6400}, 0, LAYER_TOP), 30000},
            {stack("OV2", PAD_OVAL, {-15360, -7680, 15360, 7680}, 0, LAYER_TOP), 90000},
        };
        const int32_t via = stack("VIA", PAD_ROUND, {-6400, -6400, 6400, 6400}, 3200, LAYER_COMMON);
        stacks.RecalcAllMasks();

        const int32_t shape = cache.AddShape("PARTS");
        for (size_t k = 0; k < std::size(pads); ++k)
            cache.AddPadToShape(shape, int32_t(k) * 51200, 0, uint16_t(pads[k].stack),
                                pads[k].angle);
        const CPoint frame[] = {
            {-25600, -25600}, {281600, -25600}, {281600, 25600}, {-25600, 25600}, {-25600, -25600}};
        const int32_t pen = cache.FindOrAddPen(2015);
        for (size_t k = 0; k < std::size(frame); ++k)
            cache.AddOutlineToShape(shape, frame[k].x, frame[k].y,
                                    uint16_t(LAYER_SILK_TOP * 16 + (k == 0 ? 0 : pen)));
        cache.RecalcShapeExtent(shape);
        // Placed above the board, where a netlist parks them, then moved onto it.
        CComponentArray& components = doc->Design().GetComponents();
        constexpr int32_t park = 1024000;
        ASSERT_TRUE(components.AddComponent("U1", "PLAIN", shape, 204800, 153600 - park, 0, false));
        ASSERT_TRUE(
            components.AddComponent("U2", "TURNED", shape, 204800, 409600 - park, 30000, false));
        ASSERT_TRUE(
            components.AddComponent("U3", "MIRRORED", shape, 716800, 435200 - park, 45000, true));
        // Inside the plane: its pins on the plane's net join it through thermal reliefs.
        ASSERT_TRUE(
            components.AddComponent("U4", "IN PLANE", shape, 665600, 204800 - park, 0, false));
        components.MoveAll(0, park);
        ASSERT_EQ(components.GetPosition(2), CPoint(716800, 435200));
        components.SelectAll(false);
        doc->Design().ResetPadNets();

        CNetArray& nets = doc->Design().GetNets();
        CNet& ground = *nets.GetNet(nets.AddNet("GND"));
        const auto run = [](CNet& net, std::initializer_list<CPoint> points, int32_t layer,
                            int32_t width) {
            const int32_t p = net.AddPen(width);
            int32_t k = 0;
            for (const CPoint point : points)
                net.AppendVertex(point.x, point.y, layer, k++ == 0 ? 0 : p);
        };
        // Every pin on the net, as a netlist would have it: the view shows pins on no net apart.
        for (int32_t c = 0; c < components.GetCount(); ++c) {
            for (int32_t p = 0; p < int32_t(std::size(pads)); ++p)
                doc->Design().SetPadNet(c, p, nets.FindNet("GND"));
        }
        doc->Design().RebuildNetPins();
        run(ground, {{51200, 256000}, {460800, 256000}, {563200, 153600}}, LAYER_TOP, 5039);
        run(ground, {{51200, 307200}, {716800, 307200}, {716800, 204800}}, LAYER_BOTTOM, 3023);
        ground.AppendPadVertex(716800, 204800, via, 0, false);
        ground.AppendPadVertex(870400, 153600, via, 0, false);
        auto plane = std::make_unique<CPour>(nets.FindNet("GND"), LAYER_BOTTOM, 640000, 100000,
                                             CPour::styleSolid, 2015, 6047, 45000);
        const CPoint ring[] = {
            {614400, 76800}, {972800, 76800}, {972800, 332800}, {614400, 332800}};
        for (size_t k = 0; k < std::size(ring); ++k)
            plane->GetOutline().SetAtGrow(int32_t(k), ring[k].x, ring[k].y);
        plane->CloseOutline();
        doc->Design().GetPlanes().push_back(std::move(plane));

        AddTestText(*doc, "WEVRA TOP", {51200, 51200}, LAYER_SILK_TOP);
        AddTestText(*doc, "COPPER", {51200, 563200}, LAYER_TOP);
        AddTestText(*doc, "UNDER", {256000, 640000}, LAYER_BOTTOM, 0, true);
        AddTestText(*doc, "BACK 30", {768000, 563200}, LAYER_SILK_BOTTOM, 30000, true);
        CDrawRecArray& lines = doc->Design().GetLines();
        lines.AddSegment(25600, 716800, 998400, 716800, LAYER_SILK_TOP, lines.FindOrAddPen(1511),
                         0);
        lines.AddSegment(25600, 742400, 409600, 600000, LAYER_SILK_BOTTOM, lines.FindOrAddPen(3023),
                         0);

        doc->Design().GetTexts().SelectAll(false);
    }

    CTempFolder temp;
    std::unique_ptr<CTestOutput> output;
};

TEST_F(CManufacturingPictureTest, SampleDesign)
{
    ASSERT_TRUE(doc->OnOpenDocument(WEVRA_DEMO_DESIGN));
    doc->Design().GetTexts().SelectAll(false);
    CheckOutput();
}

TEST_F(CManufacturingPictureTest, GeneratedBoard)
{
    MakeGeneratedBoard();
    CheckOutput();
}

// The sample design carries the output jobs a new design takes from the shipped template: the fab
// job writes one Gerber file per layer and one of the board outline alone, each named so that a
// board house's tools tell its layer, and the drill job its program into the same folder; each
// layer's file shows what the painter shows of that layer, the outline runs along the board's
// edge, and every drill hit lands in copper on both sides. The reports beside them do not make
// a board house's tools take any Gerber file for another layer.
TEST_F(CManufacturingPictureTest, TemplateFabJobOnTheSampleDesign)
{
    ASSERT_TRUE(doc->OnOpenDocument(WEVRA_DEMO_DESIGN));
    doc->Design().GetTexts().SelectAll(false);
    {
        CWevraDoc shipped;
        ASSERT_TRUE(shipped.ReadTemplate(
            (fs::path(WEVRA_BUILD_DIR) / "bin" / "Template" / "Template1.PCB").string()));
        const COutputArray& theirs = shipped.Design().GetOutputJobs();
        const COutputArray& ours = doc->Design().GetOutputJobs();
        ASSERT_EQ(ours.GetCount(), theirs.GetCount());
        EXPECT_EQ(ours.GetCurrent(), theirs.GetCurrent());
        for (int32_t i = 0; i < ours.GetCount(); ++i) {
            EXPECT_EQ(ours.GetJob(i)->GetJobName(), theirs.GetJob(i)->GetJobName());
            EXPECT_EQ(ours.GetJob(i)->GetDevice(), theirs.GetJob(i)->GetDevice());
            EXPECT_EQ(ours.GetJob(i)->GetDirectory(), theirs.GetJob(i)->GetDirectory());
            EXPECT_EQ(ours.GetJob(i)->GetItemCount(), theirs.GetJob(i)->GetItemCount());
        }
    }
    PrepareView();
    // A new design offers the fab job first.
    const COutputArray& jobs = doc->Design().GetOutputJobs();
    const int32_t fab = jobs.GetCurrent();
    ASSERT_EQ(jobs.GetJob(fab)->GetDevice(), COutputDevice::Name(COutputDevice::gerber24));
    int32_t drillJob = -1;
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        if (jobs.GetJob(i)->GetDevice() == COutputDevice::Name(COutputDevice::excellon))
            drillJob = i;
    }
    ASSERT_GE(drillJob, 0);

    CTestOutput design(*doc, temp.Path(), "demo");
    CGerberWriter writer(design);
    ASSERT_EQ(writer.Write(fab), 1);
    CDrillOut drillOut;
    ASSERT_TRUE(drillOut.Write(drillJob, 0, design));
    const std::vector<fs::path> gerbers = Gerbers(writer);
    const COutput& job = *jobs.GetJob(fab);
    ASSERT_EQ(int32_t(gerbers.size()), job.GetItemCount());
    const fs::path drill = drillOut.GetWrittenFiles()[0];
    for (const fs::path& file : gerbers) {
        EXPECT_EQ(file.parent_path(), drill.parent_path());
        EXPECT_EQ(file.filename().string().find(' '), std::string::npos) << file;
    }
    EXPECT_EQ(ParserComplaints(gerbers), std::vector<std::string>{});

    // What a board house's tools take each file for: the layer its name tells, and what it holds.
    // Every file of the folder, as a fab's upload of it would show them together.
    std::string command =
        "node '" + (fs::path(WEVRA_GERBER_CHECK).parent_path() / "identify.js").string() + "'";
    int32_t reports = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(drill.parent_path())) {
        command += " '" + entry.path().string() + "'";
        const std::string name = entry.path().filename().string();
        reports += name == "demo.e01" || name == "DEMO.TXT" ? 1 : 0;
    }
    EXPECT_EQ(reports, 2);
    std::map<std::string, std::string> identified;
    for (const std::string& line : SplitLines(CommandOutput(command + " 2>&1"))) {
        const size_t tab = line.find('\t');
        identified[line.substr(0, tab)] = tab == std::string::npos ? line : line.substr(tab + 1);
    }
    EXPECT_EQ(identified[drill.filename().string()], "null\tnull\tdrill");

    const std::map<int32_t, std::string> layerNames = {{LAYER_TOP, "copper\ttop"},
                                                       {LAYER_BOTTOM, "copper\tbottom"},
                                                       {LAYER_MASK_TOP, "soldermask\ttop"},
                                                       {LAYER_MASK_BOTTOM, "soldermask\tbottom"},
                                                       {LAYER_PASTE_TOP, "solderpaste\ttop"},
                                                       {LAYER_PASTE_BOTTOM, "solderpaste\tbottom"},
                                                       {LAYER_SILK_TOP, "silkscreen\ttop"},
                                                       {LAYER_SILK_BOTTOM, "silkscreen\tbottom"}};
    Mask top;
    Mask bottom;
    int32_t outlines = 0;
    for (int32_t k = 0; k < job.GetItemCount(); ++k) {
        const COutputRec& set = *job.GetItem(k);
        SCOPED_TRACE(set.GetDisplayName());
        const fs::path& file = gerbers[size_t(k)];
        if (set.GetLayerCount() == 0) {
            ++outlines;
            EXPECT_EQ(identified[file.filename().string()], "outline\tall\tgerber");
            // Every stroke lies on the board's edge, and it runs along all four sides.
            const Mask edge = Threshold(GerbvImage(file), 127);
            int32_t inside = 0;
            for (int32_t y = 0; y < edge.height; ++y) {
                for (int32_t x = 0; x < edge.width; ++x) {
                    const int32_t margin =
                        std::min({x, y, edge.width - 1 - x, edge.height - 1 - y});
                    inside += edge.At(x, y) && margin > 2 ? 1 : 0;
                }
            }
            EXPECT_EQ(inside, 0);
            EXPECT_GE(edge.Count(), 2 * (edge.width + edge.height));
            continue;
        }
        ASSERT_EQ(set.GetLayerCount(), 1);
        const int32_t layer = set.GetLayer(0);
        ASSERT_EQ(layerNames.count(layer), 1u) << layer;
        EXPECT_EQ(identified[file.filename().string()], layerNames.at(layer) + "\tgerber");
        const Mask picture = ComparePicture(file, layer);
        if (layer == LAYER_TOP)
            top = picture;
        if (layer == LAYER_BOTTOM)
            bottom = picture;
    }
    EXPECT_EQ(outlines, 1);
    CheckDrillHits(drill, top, bottom);
}

// A track routed through the plane after its fill: File > Output fills the plane again, so that
// the copper file is what the painter shows after a refill, the plane keeping its clearance round
// the track; after Undo the files are the first ones again.
TEST_F(CManufacturingPictureTest, TrackRoutedThroughAFilledPlane)
{
    MakeGeneratedBoard();
    PlotView();
    doc->Planes().RefillAll();
    COutputArray& jobs = doc->Design().GetOutputJobs();
    jobs.RemoveAll();
    auto gerber = std::make_unique<COutput>();
    gerber->SetDevice(COutputDevice::Name(COutputDevice::gerber24));
    gerber->SetDirectory("C:\\PLOTS");
    for (const auto& [name, layer] :
         {std::pair("TOP", LAYER_TOP), std::pair("BOTTOM", LAYER_BOTTOM)}) {
        auto item = std::make_unique<COutputRec>();
        item->SetDisplayName(name);
        item->SetLayers({layer});
        gerber->AddItem(std::move(item));
    }
    const int32_t job = jobs.AddJob(std::move(gerber));
    // Every file of a run of the job, by name; the folder is emptied for the next run.
    const fs::path folder = temp.Path() / "PLOTS";
    const auto run = [&] {
        services.listPicker.QueueAnswer(job);
        EXPECT_TRUE(output->RunOutputJob(nullptr));
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file())
                files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
        }
        fs::remove_all(folder);
        return files;
    };
    const std::map<std::string, std::string> first = run();
    ASSERT_EQ(first.size(), 3u);

    // Across the plane, as the autorouter lays it: after the snapshot of the edit.
    CNetArray& nets = doc->Design().GetNets();
    doc->History().EditIfChanged([&] {
        CNet& signal = *nets.GetNet(nets.AddNet("SIG"));
        const int32_t pen = signal.AddPen(3023);
        signal.AppendVertex(700000, 110000, LAYER_BOTTOM, 0);
        signal.AppendVertex(1000000, 110000, LAYER_BOTTOM, pen);
        return true;
    });
    const std::map<std::string, std::string> routed = run();
    ASSERT_EQ(routed.size(), 3u);
    const auto bottom = std::find_if(routed.begin(), routed.end(), [](const auto& file) {
        return file.first.find("BOTTOM") != std::string::npos;
    });
    ASSERT_NE(bottom, routed.end());
    const fs::path copper = temp.Path() / "routed_bottom.gbr";
    std::ofstream(copper, std::ios::binary) << bottom->second;
    EXPECT_EQ(ParserComplaints({copper}), std::vector<std::string>{});
    doc->Planes().RefillAll();
    // The painter draws the plane as the refill leaves it: round the track at its clearance.
    ComparePicture(copper, LAYER_BOTTOM);

    doc->History().Undo();
    const std::map<std::string, std::string> undone = run();
    std::vector<std::string> changed;
    for (const auto& [name, bytes] : first) {
        if (!undone.contains(name) || undone.at(name) != bytes)
            changed.push_back(name);
    }
    EXPECT_EQ(changed, std::vector<std::string>{}) << "not as before the track";
    EXPECT_EQ(undone.size(), first.size());
}

// Accented letters keep their accents in the photoplot: each accent's strokes lie above its
// letter (the cedilla below), where the plain letter leaves the film empty, and the file shows
// what the painter shows.
TEST_F(CManufacturingPictureTest, AccentsArePlottedWithTheirLetters)
{
    doc->Design().SetBoardOutlineRect(0, 0, 1024000, 307200);
    const struct {
        const char* accented;
        const char* plain;
        bool below;
    } letters[] = {
        {"\xE9", "e", false}, {"\xE8", "e", false}, {"\xEA", "e", false}, {"\xE0", "a", false},
        {"\xE1", "a", false}, {"\xE2", "a", false}, {"\xE5", "a", false}, {"\xF1", "n", false},
        {"\xFC", "u", false}, {"\xE7", "c", true},  {"\xC9", "E", false}, {"\xC0", "A", false},
        {"\xC5", "A", false}, {"\xD1", "N", false}, {"\xDC", "U", false}, {"\xC7", "C", true}};
    constexpr int32_t pitch = 51200;
    constexpr int32_t accentedRow = 51200;
    constexpr int32_t plainRow = 153600;
    for (size_t k = 0; k < std::size(letters); ++k) {
        const int32_t x = 25600 + int32_t(k) * pitch;
        AddTestText(*doc, letters[k].accented, {x, accentedRow}, LAYER_SILK_TOP);
        AddTestText(*doc, letters[k].plain, {x, plainRow}, LAYER_SILK_TOP);
    }
    doc->Design().GetTexts().SelectAll(false);
    PlotView();

    COutputArray& jobs = doc->Design().GetOutputJobs();
    jobs.RemoveAll();
    auto gerber = std::make_unique<COutput>();
    gerber->SetDevice(COutputDevice::Name(COutputDevice::gerber24));
    gerber->SetDirectory("");
    auto item = std::make_unique<COutputRec>();
    item->SetDisplayName("SILK TOP");
    item->SetLayers({LAYER_SILK_TOP});
    gerber->AddItem(std::move(item));
    CGerberWriter writer(*output);
    ASSERT_EQ(writer.Write(jobs.AddJob(std::move(gerber))), 1);
    const std::vector<fs::path> gerbers = Gerbers(writer);
    ASSERT_EQ(gerbers.size(), 1u);
    EXPECT_EQ(ParserComplaints(gerbers), std::vector<std::string>{});
    const Mask film = ComparePicture(gerbers[0], LAYER_SILK_TOP);

    // The first and last rows with film in a letter's cell, in pixels from the cell's top.
    const auto rows = [&film](int32_t x, int32_t y) {
        std::pair<int32_t, int32_t> extent{1000, -1};
        for (int32_t dy = -10; dy < pitch / scale; ++dy) {
            for (int32_t dx = -10; dx < pitch / scale - 10; ++dx) {
                if (film.At(x / scale + dx, y / scale + dy)) {
                    extent.first = std::min(extent.first, dy);
                    extent.second = std::max(extent.second, dy);
                }
            }
        }
        return extent;
    };
    for (size_t k = 0; k < std::size(letters); ++k) {
        SCOPED_TRACE(letters[k].plain);
        const int32_t x = 25600 + int32_t(k) * pitch;
        const auto accented = rows(x, accentedRow);
        const auto plain = rows(x, plainRow);
        ASSERT_GE(plain.second, 0);
        // An accent two font units clear of its letter: at this height more than 4 pixels.
        if (letters[k].below)
            EXPECT_GT(accented.second, plain.second + 4);
        else
            EXPECT_LT(accented.first, plain.first - 4);
    }
}
