#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/interchange/OutputTestSupport.h"
#include "tests/support/CFakeServices.h"

inline constexpr int32_t gerberSingle23 = COutputDevice::gerberSingle23;
inline constexpr int32_t gerberSingle24 = COutputDevice::gerberSingle24;
inline constexpr int32_t gerberLayers23 = COutputDevice::gerber23;
inline constexpr int32_t gerberLayers24 = COutputDevice::gerber24;
inline constexpr int32_t excellon = COutputDevice::excellon;

// A layer set of an output job.
struct SetPlan {
    std::string name;
    std::vector<int32_t> layers;
    bool output = true;
};

// A design in a temporary folder whose output jobs the tests set up, with helpers that lay the
// items of a board.
class COutputTestBoard : public ::testing::Test {
protected:
    COutputTestBoard() : temp("wevra-output"), doc(std::make_unique<CWevraDoc>())
    {
        CResourcePack::LoadFirstFound(fs::path(WEVRA_BUILD_DIR) / "bin");
        doc->Design().GetOutputJobs().RemoveAll();
        output = std::make_unique<CTestOutput>(*doc, temp.Path(), "board");
    }
    ~COutputTestBoard() override { CResourcePack::SetCurrent(CResourcePack()); }

    // Appends a job; returns its index.
    int32_t AddJob(int32_t device, const std::string& folder, const std::vector<SetPlan>& sets,
                   CPoint offset = CPoint())
    {
        auto job = std::make_unique<COutput>();
        job->SetJobName("Job " + std::to_string(doc->Design().GetOutputJobs().GetCount()));
        job->SetDevice(COutputDevice::Name(device));
        job->SetDirectory(folder);
        job->SetOffset(offset.x, offset.y);
        for (const SetPlan& plan : sets) {
            auto set = std::make_unique<COutputRec>();
            set->SetDisplayName(plan.name);
            std::array<uint8_t, COutputRec::maxLayers> bytes{};
            for (size_t k = 0; k < plan.layers.size(); ++k)
                bytes[k] = uint8_t(plan.layers[k]);
            set->SetLayerBytes(bytes);
            set->SetOutput(plan.output);
            job->AddItem(std::move(set));
        }
        return doc->Design().GetOutputJobs().AddJob(std::move(job));
    }

    CShapeLib& Cache() { return doc->Design().GetEditableShapeCache(); }
    CPadStackArray& Stacks() { return Cache().GetPadStacks(); }
    CNet& Net(int32_t i) { return *doc->Design().GetNets().GetNet(i); }

    int32_t Stack(const std::string& name, int32_t shape, CRect box, int32_t drill, int32_t layer)
    {
        return Stacks().Add(CPadStack(name, shape, box.left, box.top, box.right, box.bottom, drill,
                                      layer, PADSTACK_KIND_SHAPE_PAD | PADSTACK_KIND_VIA));
    }
    // A run through the points on the layer with a pen of the width (added to the net).
    void Run(int32_t net, const std::vector<CPoint>& points, int32_t layer, int32_t width)
    {
        const int32_t pen = Net(net).AddPen(width);
        for (size_t k = 0; k < points.size(); ++k)
            Net(net).AppendVertex(points[k].x, points[k].y, layer, k == 0 ? 0 : pen);
    }
    void AddText(const std::string& text, CPoint at, int32_t layer, int32_t angle = 0,
                 bool mirrored = false)
    {
        AddTestText(*doc, text, at, layer, angle, mirrored);
    }
    // A plane on the layer over the rectangle, not filled yet.
    void AddPlane(int32_t net, int32_t layer, CRect area)
    {
        auto pour = std::make_unique<CPour>(net, layer, (area.left + area.right) / 2,
                                            (area.top + area.bottom) / 2, CPour::styleSolid, 2015,
                                            6047, 45000);
        const CPoint ring[] = {{area.left, area.top},
                               {area.right, area.top},
                               {area.right, area.bottom},
                               {area.left, area.bottom}};
        for (size_t k = 0; k < std::size(ring); ++k)
            pour->GetOutline().SetAtGrow(int32_t(k), ring[k].x, ring[k].y);
        pour->CloseOutline();
        doc->Design().GetPlanes().push_back(std::move(pour));
    }

    // The board of the acceptance: pads of every shape (one off-centre), turned by quarter and
    // oblique angles, on a top and a mirrored component; tracks of several pens on two nets
    // with vias; drawn lines; a plane; free and component texts.
    void LayEveryItem()
    {
        doc->Design().SetBoardOutlineRect(0, 0, 1024000, 768000);
        const struct {
            const char* name;
            int32_t shape;
            CRect box;
            int32_t drill;
            int32_t layer;
        } pads[] = {
            {"P1", PAD_ROUND, {-7680, -7680, 7680, 7680}, 4000, LAYER_COMMON},
            {"P2", PAD_OVAL, {-12800, -5120, 12800, 5120}, 0, LAYER_TOP},
            {"P3", PAD_SQUARE, {-7680, -7680, 7680, 7680}, 4000, LAYER_COMMON},
            {"P4", PAD_RECTANGLE, {-10240, -5120, 10240, 5120}, 0, LAYER_TOP},
            {"P5", PAD_OCTAGON, {-8960, -8960, 8960, 8960}, 5000, LAYER_COMMON},
            {"P6", PAD_OCTAGON_W, {-12800, -7680, 12800, 7680}, 5000, LAYER_COMMON},
            {"P7", PAD_CONNECTOR, {-5120, -20480, 5120, 20480}, 0, LAYER_TOP},
            {"P8", PAD_DEVICE, {-15360, -10240, 15360, 10240}, 0, LAYER_TOP},
            {"P9", PAD_LINE, {-3840, -3840, 3840, 3840}, 0, LAYER_TOP},
            {"PX", PAD_RECTANGLE, {-2560, -5120, 12800, 5120}, 0, LAYER_TOP},
            {"PR", PAD_ROUND, {-2560, -7680, 12800, 7680}, 0, LAYER_TOP},
        };
        std::vector<int32_t> stacks;
        for (const auto& pad : pads)
            stacks.push_back(Stack(pad.name, pad.shape, pad.box, pad.drill, pad.layer));
        via = Stack("V", PAD_ROUND, CRect(-5120, -5120, 5120, 5120), 2560, LAYER_COMMON);

        const int32_t shape = Cache().AddShape("ALL");
        const int32_t angles[] = {0, 30000, 90000, 45000, 0, 180000, 270000, 15000, 0, 60000, 0};
        for (size_t k = 0; k < stacks.size(); ++k)
            Cache().AddPadToShape(shape, int32_t(k) * 51200, 0, uint16_t(stacks[k]), angles[k]);
        const CPoint frame[] = {
            {-25600, -25600}, {537600, -25600}, {537600, 25600}, {-25600, 25600}, {-25600, -25600}};
        const int32_t pen = Cache().FindOrAddPen(2015);
        for (size_t k = 0; k < std::size(frame); ++k)
            Cache().AddOutlineToShape(shape, frame[k].x, frame[k].y,
                                      uint16_t(LAYER_SILK_TOP * 16 + (k == 0 ? 0 : pen)));
        Cache().RecalcShapeExtent(shape);

        CComponentArray& components = doc->Design().GetComponents();
        EXPECT_TRUE(components.AddComponent("U1", "TOP", shape, 102400, 153600, 0, false));
        EXPECT_TRUE(components.AddComponent("U2", "ANGLED", shape, 102400, 409600, 30000, false));
        EXPECT_TRUE(components.AddComponent("U3", "BOTTOM", shape, 716800, 614400, 90000, true));
        doc->Design().ResetPadNets();

        // Net 0 has fewer pens than net 1: every pen of net 1 is plotted all the same.
        const int32_t net = doc->Design().GetNets().AddNet("GND");
        Net(0).SetPenTable({0, 2015});
        Run(0, {{25600, 25600}, {256000, 25600}}, LAYER_TOP, 2015);
        Run(net, {{25600, 51200}, {256000, 51200}, {307200, 102400}}, LAYER_TOP, 3023);
        Run(net, {{25600, 76800}, {256000, 76800}}, LAYER_TOP, 4031);
        Run(net, {{25600, 102400}, {256000, 102400}}, LAYER_BOTTOM, 5039);
        Run(net, {{25600, 128000}, {256000, 128000}}, LAYER_TOP, 6047);
        Net(net).AppendPadVertex(307200, 102400, via, 0, false);
        Net(0).AppendPadVertex(358400, 102400, via, 0, true);

        CDrawRecArray& lines = doc->Design().GetLines();
        const int32_t linePen = lines.FindOrAddPen(1511);
        lines.AddSegment(12800, 12800, 1011200, 12800, LAYER_SILK_TOP, linePen, 0);

        AddText("Wevra 1", {512000, 51200}, LAYER_SILK_TOP);
        AddText("MIRROR", {512000, 102400}, LAYER_SILK_BOTTOM, 30000, true);
        AddPlane(net, LAYER_BOTTOM, CRect(614400, 51200, 972800, 307200));
    }

    CFakeServices services;
    CTempFolder temp;
    std::unique_ptr<CWevraDoc> doc;
    std::unique_ptr<CTestOutput> output;
    int32_t via = 0;
};
