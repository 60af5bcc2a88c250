#include "bench/BoardGenerator.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/CPoint.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

// Pads sit on a 0.1-inch grid, components a pitch apart; each row's nets run in channels below
// it, one slot per net whose pins overlap another's.
constexpr int32_t pitch = 25600;
constexpr int32_t channelTop = 40960;
constexpr int32_t slotPitch = 20480;
constexpr int32_t rowGap = 51200;
constexpr int32_t margin = 102400;
constexpr int32_t stubWidth = 3023;
constexpr int32_t runWidths[] = {2519, 4031, 5039};
constexpr int32_t maxOpenNets = 4;

struct Footprint {
    const char* name;
    const char* prefix;
    const char* type;
    int32_t pads;
    bool smd;
    int32_t weight;
};

constexpr Footprint footprints[] = {
    {"R0805", "R", "10k", 2, true, 40},
    {"SOT23", "Q", "BC847", 3, true, 25},
    {"SIP4", "J", "HDR4", 4, false, 20},
    {"SIP8", "U", "NET8", 8, false, 15},
};

struct RowPad {
    int32_t component;
    int32_t pad;
    CPoint at;
};

struct PlannedNet {
    std::vector<RowPad> pads;
    int32_t target = 2;
    int32_t slot = 0;
};

class CBoardBuilder {
public:
    CBoardBuilder(CWevraDoc& document, const BoardPlan& plan)
        : m_doc(document), m_plan(plan), m_random(plan.seed)
    {
    }

    BoardCounts Build()
    {
        AddPadStacksAndShapes();
        ChooseFootprints();
        const int32_t perRow =
            std::max(1, int32_t(std::ceil(std::sqrt(double(m_plan.components)))));
        int32_t rowY = -margin;
        for (int32_t first = 0; first < m_plan.components; first += perRow) {
            const int32_t last = std::min(first + perRow, m_plan.components);
            const std::vector<RowPad> pads = PlaceRow(first, last, rowY);
            std::vector<PlannedNet> nets = PlanNets(pads);
            const int32_t slots = AssignSlots(nets);
            for (const PlannedNet& net : nets)
                RouteNet(net, rowY - channelTop - net.slot * slotPitch);
            AddText("ROW " + std::to_string(first / perRow + 1), {margin / 4, rowY}, 10078);
            rowY -= channelTop + slots * slotPitch + rowGap;
        }
        AddBoardFurniture(-rowY);
        AddFarNets();
        AddDiagonals(-rowY);
        AddStitchingVias(-rowY);
        m_doc.Design().RebuildNetPins();
        m_doc.Design().GetNets().CalcBoundingBoxes();
        m_doc.Design().GetNets().RecalcAll();
        m_doc.Session().DeselectAll();
        m_counts.components = m_plan.components;
        return m_counts;
    }

private:
    // The engine's output is the same everywhere; the library's distributions are not.
    int32_t Uniform(int32_t lo, int32_t hi)
    {
        return lo + int32_t(m_random() % uint32_t(hi - lo + 1));
    }
    bool Chance(double p) { return double(m_random() >> 8) < p * double(1u << 24); }

    void AddPadStacksAndShapes()
    {
        CShapeLib& cache = m_doc.Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        const int32_t smd = stacks.Add(CPadStack("SMD 1.30x1.00", PAD_RECTANGLE, -6551, -5039, 6551,
                                                 5039, 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        const int32_t tht =
            stacks.Add(CPadStack("CIR 1.60 H0.80", PAD_ROUND, -8063, -8063, 8063, 8063, 8063,
                                 LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        m_via = stacks.Add(CPadStack("VIA 0.80 H0.40", PAD_ROUND, -4031, -4031, 4031, 4031, 4031,
                                     LAYER_COMMON, PADSTACK_KIND_VIA));
        stacks.RecalcAllMasks();
        for (const Footprint& footprint : footprints) {
            const int32_t shape = cache.AddShape(footprint.name);
            for (int32_t k = 0; k < footprint.pads; ++k)
                cache.AddPadToShape(shape, k * pitch, 0, uint16_t(footprint.smd ? smd : tht), 0);
            // The silkscreen frame around the pads, drawn with the library's pen 1.
            const int32_t right = (footprint.pads - 1) * pitch + pitch / 2;
            const CPoint corners[] = {{-pitch / 2, -pitch / 2},
                                      {right, -pitch / 2},
                                      {right, pitch / 2},
                                      {-pitch / 2, pitch / 2},
                                      {-pitch / 2, -pitch / 2}};
            for (size_t k = 0; k < std::size(corners); ++k)
                cache.AddOutlineToShape(shape, corners[k].x, corners[k].y,
                                        uint16_t(LAYER_SILK_TOP * 16 + (k == 0 ? 0 : 1)));
            cache.RecalcShapeExtent(shape);
            m_shapes.push_back(shape);
        }
    }

    void ChooseFootprints()
    {
        int32_t total = 0;
        for (const Footprint& footprint : footprints)
            total += footprint.weight;
        int32_t pads = 0;
        for (int32_t i = 0; i < m_plan.components; ++i) {
            int32_t pick = Uniform(0, total - 1);
            size_t k = 0;
            while (pick >= footprints[k].weight)
                pick -= footprints[k++].weight;
            m_choice.push_back(int32_t(k));
            pads += footprints[k].pads;
        }
        // A pin on a net costs three track vertices: a stub of two and one of the row's run.
        m_connectShare =
            std::clamp(double(m_plan.trackVertices) / (3.0 * std::max(pads, 1)), 0.0, 1.0);
    }

    // Places components first..last-1 left to right; returns their pads in board order.
    std::vector<RowPad> PlaceRow(int32_t first, int32_t last, int32_t rowY)
    {
        CComponentArray& components = m_doc.Design().GetComponents();
        std::vector<RowPad> pads;
        int32_t x = margin;
        for (int32_t i = first; i < last; ++i) {
            const Footprint& footprint = footprints[m_choice[size_t(i)]];
            const int32_t span = (footprint.pads - 1) * pitch;
            // A quarter of the parts turn half round; their origin pad is then the rightmost.
            const bool turned = Chance(0.25);
            // Numbered by the running count, each reference is new: no need to look it up.
            const std::string reference = footprint.prefix + std::to_string(i + 1);
            const int32_t index = components.AppendComponent(
                reference, footprint.type, m_shapes[size_t(m_choice[size_t(i)])],
                turned ? x + span : x, rowY, turned ? 180000 : 0, false);
            components.GetComponent(index)->ResizePadNets(footprint.pads);
            for (int32_t pad = 0; pad < footprint.pads; ++pad)
                pads.push_back({index, pad, components.GetPadPosition(index, pad)});

            x += span + 2 * pitch;
            m_boardWidth = std::max(m_boardWidth, x + margin);
        }
        std::sort(pads.begin(), pads.end(),
                  [](const RowPad& a, const RowPad& b) { return a.at.x < b.at.x; });
        m_boardPads.insert(m_boardPads.end(), pads.begin(), pads.end());
        return pads;
    }

    // Nets of 2 to 5 pins over the row, a few open at a time so that their spans overlap.
    std::vector<PlannedNet> PlanNets(const std::vector<RowPad>& pads)
    {
        std::vector<PlannedNet> done;
        std::vector<PlannedNet> open;
        const int32_t sizes[] = {2, 2, 2, 3, 3, 4, 5};
        for (const RowPad& pad : pads) {
            if (!Chance(m_connectShare))
                continue;
            if (open.empty() || (int32_t(open.size()) < maxOpenNets && Chance(0.4))) {
                open.push_back({{}, sizes[Uniform(0, int32_t(std::size(sizes)) - 1)], 0});
                open.back().pads.push_back(pad);
                continue;
            }
            const size_t k = size_t(Uniform(0, int32_t(open.size()) - 1));
            open[k].pads.push_back(pad);
            if (int32_t(open[k].pads.size()) >= open[k].target) {
                done.push_back(std::move(open[k]));
                open.erase(open.begin() + std::ptrdiff_t(k));
            }
        }
        for (PlannedNet& net : open) {
            if (net.pads.size() >= 2)
                done.push_back(std::move(net));
        }
        std::sort(done.begin(), done.end(), [](const PlannedNet& a, const PlannedNet& b) {
            return a.pads.front().at.x < b.pads.front().at.x;
        });
        return done;
    }

    // The first slot free over the net's span; returns the number of slots used.
    static int32_t AssignSlots(std::vector<PlannedNet>& nets)
    {
        std::vector<int32_t> slotEnds;
        for (PlannedNet& net : nets) {
            const int32_t from = net.pads.front().at.x;
            size_t slot = 0;
            while (slot < slotEnds.size() && slotEnds[slot] + pitch > from)
                ++slot;
            if (slot == slotEnds.size())
                slotEnds.push_back(0);
            slotEnds[slot] = net.pads.back().at.x;
            net.slot = int32_t(slot);
        }
        return int32_t(slotEnds.size());
    }

    void RouteNet(const PlannedNet& planned, int32_t slotY)
    {
        CNetArray& nets = m_doc.Design().GetNets();
        const int32_t index = nets.AddNet("NET" + std::to_string(nets.GetCount()));
        CNet& net = *nets.GetNet(index);
        const int32_t stubPen = net.AddPen(stubWidth);
        const int32_t runPen = net.AddPen(runWidths[index % int32_t(std::size(runWidths))]);
        for (const RowPad& pad : planned.pads) {
            m_doc.Design().SetPadNet(pad.component, pad.pad, index);
            net.AppendVertex(pad.at.x, pad.at.y, LAYER_TOP, 0);
            net.AppendVertex(pad.at.x, slotY, LAYER_TOP, stubPen);
            net.AppendPadVertex(pad.at.x, slotY, m_via, 0, false);
        }
        for (size_t k = 0; k < planned.pads.size(); ++k)
            net.AppendVertex(planned.pads[k].at.x, slotY, LAYER_BOTTOM, k == 0 ? 0 : runPen);
        ++m_counts.nets;
        m_counts.pins += int32_t(planned.pads.size());
        m_counts.vias += int32_t(planned.pads.size());
        m_counts.trackVertices += 3 * int32_t(planned.pads.size());
    }

    void AddText(const std::string& text, CPoint at, int32_t height)
    {
        CWevraText item;
        item.SetText(text);
        item.SetPosition(at);
        item.SetHeight(height);
        item.SetLineWidth(1511);
        item.SetLayer(LAYER_SILK_TOP);
        m_doc.Design().GetTexts().AddText(&item);
    }

    // Nets of pads anywhere on the board, with no tracks of their own.
    void AddFarNets()
    {
        if (m_plan.farNetsEvery <= 0 || m_boardPads.empty())
            return;
        CNetArray& nets = m_doc.Design().GetNets();
        const int32_t count = nets.GetCount() / m_plan.farNetsEvery;
        for (int32_t f = 0; f < count; ++f) {
            const int32_t index = nets.AddNet("FAR" + std::to_string(f));
            const int32_t pins = Uniform(2, 5);
            for (int32_t k = 0; k < pins; ++k) {
                const RowPad& pad =
                    m_boardPads[size_t(Uniform(0, int32_t(m_boardPads.size()) - 1))];
                m_doc.Design().SetPadNet(pad.component, pad.pad, index);
            }
            ++m_counts.nets;
        }
    }

    // Each track runs where x - y is the same, clipped to the board's extent.
    void AddDiagonals(int32_t height)
    {
        CNetArray& nets = m_doc.Design().GetNets();
        const int64_t across = int64_t(m_boardWidth) + height;
        for (int32_t k = 0; k < m_plan.diagonals; ++k) {
            const int64_t u = -height + (2 * k + 1) * across / (2 * int64_t(m_plan.diagonals));
            const int32_t fromX = int32_t(std::max<int64_t>(0, u));
            const int32_t toX = int32_t(std::min<int64_t>(m_boardWidth, u + height));
            const int32_t index = nets.AddNet("DIAG" + std::to_string(k));
            CNet& net = *nets.GetNet(index);
            const int32_t pen = net.AddPen(runWidths[size_t(k) % std::size(runWidths)]);
            net.AppendSegment(fromX, int32_t(fromX - u - height), toX, int32_t(toX - u - height),
                              k % 2 == 0 ? LAYER_TOP : LAYER_BOTTOM, pen, false);
            ++m_counts.nets;
            m_counts.trackVertices += 2;
        }
    }

    void AddStitchingVias(int32_t height)
    {
        const int32_t side = int32_t(std::sqrt(double(std::max(m_plan.stitchingVias, 0))));
        if (side == 0)
            return;
        CNet& ground = *m_doc.Design().GetNets().GetNet(GroundNet());
        for (int32_t row = 0; row < side; ++row) {
            for (int32_t column = 0; column < side; ++column) {
                const int64_t x = (2 * int64_t(column) + 1) * m_boardWidth / (2 * side);
                const int64_t y = (2 * int64_t(row) + 1) * height / (2 * side) - height;
                ground.AppendPadVertex(int32_t(x), int32_t(y), m_via, 0, false);
            }
        }
        m_counts.vias += side * side;
    }

    int32_t GroundNet() const { return m_doc.Design().GetNets().GetCount() > 1 ? 1 : 0; }

    // Outline, a drawn frame with a title, and a hatched ground pour on the ground layer.
    void AddBoardFurniture(int32_t height)
    {
        const int32_t width = m_boardWidth;
        m_doc.Design().SetBoardOutlineRect(0, -height, width, 0);
        m_doc.Design().SetBoardSize(width, height);

        CDrawRecArray& lines = m_doc.Design().GetLines();
        const int32_t pen = lines.FindOrAddPen(2015);
        const int32_t inset = margin / 2;
        const CPoint frame[] = {{inset, -inset},
                                {width - inset, -inset},
                                {width - inset, inset - height},
                                {inset, inset - height},
                                {inset, -inset}};
        for (size_t k = 1; k < std::size(frame); ++k)
            lines.AddSegment(frame[k - 1].x, frame[k - 1].y, frame[k].x, frame[k].y,
                             LAYER_DRAWING_1, pen, 0);
        AddText("GENERATED BOARD", {inset, inset - height + 20000}, 20157);

        auto pour = std::make_unique<CPour>(GroundNet(), LAYER_GROUND, width / 2, -height / 2, 2,
                                            2015, 10078, 45000);
        const CPoint ring[] = {{inset, -inset},
                               {width - inset, -inset},
                               {width - inset, inset - height},
                               {inset, inset - height}};
        for (size_t k = 0; k < std::size(ring); ++k)
            pour->GetOutline().SetAtGrow(int32_t(k), ring[k].x, ring[k].y);
        pour->CloseOutline();
        m_doc.Design().GetPlanes().push_back(std::move(pour));
    }

    CWevraDoc& m_doc;
    const BoardPlan& m_plan;
    std::mt19937 m_random;
    std::vector<int32_t> m_shapes;
    std::vector<int32_t> m_choice;
    double m_connectShare = 0;
    int32_t m_via = 0;
    int32_t m_boardWidth = 0;
    std::vector<RowPad> m_boardPads;
    BoardCounts m_counts;
};

} // namespace

BoardCounts GenerateBoard(CWevraDoc& document, const BoardPlan& plan)
{
    return CBoardBuilder(document, plan).Build();
}

CPour& AddBottomPlane(CWevraDoc& document)
{
    const CPour& ground = *document.Design().GetPlanes().front();
    const CPoint corner = ground.GetOutline()[0];
    auto plane = std::make_unique<CPour>(ground.GetNet(), LAYER_BOTTOM, corner.x + margin / 4,
                                         corner.y - margin / 4, CPour::styleSolid, 2015, 10078, 0);
    for (int32_t k = 0; k < ground.GetOutline().GetSize(); ++k)
        plane->GetOutline().SetAtGrow(k, ground.GetOutline()[k].x, ground.GetOutline()[k].y);
    plane->CloseOutline();
    document.Design().GetPlanes().push_back(std::move(plane));
    return *document.Design().GetPlanes().back();
}
