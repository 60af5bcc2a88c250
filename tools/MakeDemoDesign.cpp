// Writes the sample design examples/demo.PCB: a small timer board built through the model's
// own operations, so that the sample always matches the current design file format. The file
// is written as a design that went through one save and load, which is what opening and saving
// it gives again byte for byte. Any message the design code shows fails the tool.
//
// Usage: MakeDemoDesign <output.PCB>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/CPoint.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tools/DesignFileTool.h"
#include "tools/FabOutputJobs.h"

namespace {

constexpr int32_t pitch = 25600;    // 0.1 inch
constexpr int32_t smdPitch = 20157; // 2.0 mm
constexpr int32_t boardWidth = 32 * pitch;
constexpr int32_t boardHeight = 20 * pitch;

struct PadRef {
    int32_t component;
    int32_t pad;
};

class CDemoBuilder {
public:
    explicit CDemoBuilder(CWevraDoc& doc) : m_doc(doc) {}

    void Build()
    {
        MakeFootprints();
        PlaceComponents();
        MakeNets();
        RouteTracks();
        AddFurniture();
        MoveOntoBoard();
        m_doc.Design().RebuildNetPins();
        m_doc.Design().GetNets().CalcBoundingBoxes();
        m_doc.Design().GetNets().RecalcAll();
        m_doc.Session().DeselectAll();
        // The sample writes what a board house takes, as a design made from the template does.
        ShapeOutputJobs(m_doc.Design().GetOutputJobs());
        // The layer table keeps the work layer of the shown layer set, as a paint would set it,
        // so opening the sample, looking at it and saving it changes nothing.
        if (const COutputRec* set = m_doc.Design().GetCurrentLayerSet())
            m_doc.Design().GetLayers().SetRefLayer(set->GetRefLayer());
    }

private:
    void MakeFootprints()
    {
        CShapeLib& cache = m_doc.Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        const int32_t tht =
            stacks.Add(CPadStack("CIR 1.60 H0.80", PAD_ROUND, -8063, -8063, 8063, 8063, 8062,
                                 LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        const int32_t square =
            stacks.Add(CPadStack("SQR 1.60 H0.80", PAD_SQUARE, -8063, -8063, 8063, 8063, 8062,
                                 LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        const int32_t smd =
            stacks.Add(CPadStack("TOP RCT W1.20_H1.40", PAD_RECTANGLE, -6047, -7055, 6047, 7055, 0,
                                 LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        m_via = stacks.Add(CPadStack("VIA 0.80 H0.40", PAD_ROUND, -4031, -4031, 4031, 4031, 4031,
                                     LAYER_COMMON, PADSTACK_KIND_VIA));
        stacks.RecalcAllMasks();

        // Pin 1 of the DIP is square; pins run anticlockwise seen from the top.
        m_dip = cache.AddShape("DIP8");
        for (int32_t k = 0; k < 8; ++k) {
            const CPoint at = k < 4 ? CPoint(k * pitch, 0) : CPoint((7 - k) * pitch, -3 * pitch);
            cache.AddPadToShape(m_dip, at.x, at.y, uint16_t(k == 0 ? square : tht), 0);
        }
        AddFrame(cache, m_dip, CPoint(-pitch / 2, -3 * pitch - pitch / 2),
                 CPoint(3 * pitch + pitch / 2, pitch / 2));

        m_chip = cache.AddShape("R0805");
        cache.AddPadToShape(m_chip, 0, 0, uint16_t(smd), 0);
        cache.AddPadToShape(m_chip, smdPitch, 0, uint16_t(smd), 0);
        AddFrame(cache, m_chip, CPoint(-pitch / 2, -pitch / 2),
                 CPoint(smdPitch + pitch / 2, pitch / 2));

        m_header = cache.AddShape("HDR3");
        for (int32_t k = 0; k < 3; ++k)
            cache.AddPadToShape(m_header, k * pitch, 0, uint16_t(k == 0 ? square : tht), 0);
        AddFrame(cache, m_header, CPoint(-pitch / 2, -pitch / 2),
                 CPoint(2 * pitch + pitch / 2, pitch / 2));

        for (const int32_t shape : {m_dip, m_chip, m_header})
            cache.RecalcShapeExtent(shape);
    }

    // A silkscreen rectangle drawn with the library's pen 1.
    static void AddFrame(CShapeLib& cache, int32_t shape, CPoint from, CPoint to)
    {
        const CPoint corners[] = {from, {to.x, from.y}, to, {from.x, to.y}, from};
        for (size_t k = 0; k < std::size(corners); ++k)
            cache.AddOutlineToShape(shape, corners[k].x, corners[k].y,
                                    uint16_t(LAYER_SILK_TOP * 16 + (k == 0 ? 0 : 1)));
    }

    void PlaceComponents()
    {
        Place("U1", "NE555", m_dip, 12 * pitch, -8 * pitch, 0);
        Place("R1", "10k", m_chip, 20 * pitch, -12 * pitch, 0);
        Place("R2", "47k", m_chip, 20 * pitch, -8 * pitch, 0);
        Place("C1", "10n", m_chip, 20 * pitch, -4 * pitch, 0);
        Place("C2", "100n", m_chip, 7 * pitch, -4 * pitch, 90000);
        Place("J1", "HDR3", m_header, 3 * pitch, -15 * pitch, 0);
    }

    void Place(const std::string& reference, const std::string& type, int32_t shape, int32_t x,
               int32_t y, int32_t rotation)
    {
        CComponentArray& components = m_doc.Design().GetComponents();
        components.AddComponent(reference, type, shape, x, y, rotation, false);
        const int32_t index = components.GetCount() - 1;
        components.GetComponent(index)->ResizePadNets(
            int32_t(m_doc.Design().GetShapeCache().GetShape(shape)->GetPadCount()));
        m_components.push_back(index);
    }

    PadRef Pad(int32_t component, int32_t pin) const
    {
        return {m_components[size_t(component)], pin - 1};
    }
    CPoint At(const PadRef& pad) const
    {
        return m_doc.Design().GetComponents().GetPadPosition(pad.component, pad.pad);
    }

    void MakeNets()
    {
        enum { u1, r1, r2, c1, c2, j1 };
        AddNet("GND", {Pad(u1, 1), Pad(c1, 2), Pad(c2, 2), Pad(j1, 3)});
        AddNet("VCC", {Pad(u1, 8), Pad(u1, 4), Pad(r1, 1), Pad(j1, 1)});
        AddNet("DIS", {Pad(u1, 7), Pad(r1, 2), Pad(r2, 1)});
        AddNet("THR", {Pad(u1, 6), Pad(u1, 2), Pad(r2, 2), Pad(c1, 1)});
        AddNet("CTRL", {Pad(u1, 5), Pad(c2, 1)});
        AddNet("OUT", {Pad(u1, 3), Pad(j1, 2)});
    }

    void AddNet(const std::string& name, const std::vector<PadRef>& pads)
    {
        const int32_t net = m_doc.Design().GetNets().AddNet(name);
        for (const PadRef& pad : pads)
            m_doc.Design().SetPadNet(pad.component, pad.pad, net);
    }

    CNet& Net(const std::string& name)
    {
        CNetArray& nets = m_doc.Design().GetNets();
        return *nets.GetNet(nets.FindNet(name));
    }

    // A run on one layer through the points, with a pen of that width.
    static void Run(CNet& net, int32_t layer, int32_t width, const std::vector<CPoint>& points)
    {
        const int32_t pen = net.AddPen(width);
        for (size_t k = 0; k < points.size(); ++k)
            net.AppendVertex(points[k].x, points[k].y, layer, k == 0 ? 0 : pen);
    }

    // A point on the half-pitch grid, as the board is laid out above its own place.
    static CPoint Grid(int32_t halfPitchesX, int32_t halfPitchesY)
    {
        return CPoint(halfPitchesX * (pitch / 2), halfPitchesY * (pitch / 2));
    }

    // A via of the net at the point, where the run before it ends and the next one starts.
    void AddVia(CNet& net, CPoint at) { net.AppendPadVertex(at.x, at.y, m_via, 0, false); }

    // Every connection is routed, and no track comes near a pad or track of another net: the
    // sample passes the design-rule check, and a board made from it works. The top side takes
    // the runs to the chip parts; the runs that would cross them go on the bottom side, round
    // the pins of the DIP.
    void RouteTracks()
    {
        enum { u1, r1, r2, c1, c2, j1 };
        const CPoint u1p2 = At(Pad(u1, 2));
        const CPoint u1p3 = At(Pad(u1, 3));
        const CPoint u1p4 = At(Pad(u1, 4));
        const CPoint u1p5 = At(Pad(u1, 5));
        const CPoint u1p6 = At(Pad(u1, 6));
        const CPoint u1p7 = At(Pad(u1, 7));
        const CPoint u1p8 = At(Pad(u1, 8));
        const CPoint r1p1 = At(Pad(r1, 1));
        const CPoint r1p2 = At(Pad(r1, 2));
        const CPoint r2p1 = At(Pad(r2, 1));
        const CPoint r2p2 = At(Pad(r2, 2));
        const CPoint c1p1 = At(Pad(c1, 1));
        const CPoint c1p2 = At(Pad(c1, 2));
        const CPoint c2p1 = At(Pad(c2, 1));
        const CPoint c2p2 = At(Pad(c2, 2));
        const CPoint j1p1 = At(Pad(j1, 1));
        const CPoint j1p2 = At(Pad(j1, 2));
        // Between the DIP's two rows of pins, and beside them.
        const int32_t betweenRows = Grid(0, -19).y;
        const int32_t aboveRows = Grid(0, -13).y;

        // OUT leaves the DIP above its pins and comes to the header from above.
        Run(Net("OUT"), LAYER_TOP, 4031,
            {u1p3,
             {u1p3.x, aboveRows},
             {Grid(20, 0).x, aboveRows},
             Grid(20, -28),
             {j1p2.x, Grid(0, -28).y},
             j1p2});

        // VCC runs below the header and up to pin 8, on to R1 through a via that takes pin 4
        // from the bottom side.
        CNet& vcc = Net("VCC");
        const CPoint vccVia(Grid(34, 0).x, r1p1.y);
        Run(vcc, LAYER_TOP, 5039,
            {j1p1, {j1p1.x, Grid(0, -33).y}, {u1p8.x, Grid(0, -33).y}, {u1p8.x, r1p1.y}, u1p8});
        Run(vcc, LAYER_TOP, 5039, {{u1p8.x, r1p1.y}, vccVia});
        AddVia(vcc, vccVia);
        Run(vcc, LAYER_TOP, 5039, {vccVia, r1p1});
        Run(vcc, LAYER_BOTTOM, 5039, {u1p4, {vccVia.x, u1p4.y}, vccVia});

        // DIS goes out between the rows to R1 and R2.
        CNet& dis = Net("DIS");
        const CPoint disBranch(Grid(38, 0).x, betweenRows);
        Run(dis, LAYER_TOP, 3023,
            {u1p7, {u1p7.x, betweenRows}, disBranch, {r1p2.x, betweenRows}, r1p2});
        Run(dis, LAYER_TOP, 3023, {disBranch, {disBranch.x, r2p1.y}, r2p1});

        // THR joins pins 6 and 2 between the rows on the bottom side, and R2 and C1 through a
        // via beyond R2.
        CNet& thr = Net("THR");
        const int32_t thrRow = Grid(0, -12).y;
        const CPoint thrVia(Grid(45, 0).x, thrRow);
        Run(thr, LAYER_TOP, 3023, {r2p2, {r2p2.x, thrRow}, thrVia});
        AddVia(thr, thrVia);
        Run(thr, LAYER_BOTTOM, 3023, {thrVia, {u1p2.x, thrRow}, u1p2});
        Run(thr, LAYER_BOTTOM, 3023, {u1p6, {u1p6.x, betweenRows}, {u1p2.x, betweenRows}, u1p2});
        Run(thr, LAYER_TOP, 3023, {c1p1, {c1p1.x, thrRow}, {r2p2.x, thrRow}});

        // CTRL goes under the DIP on the bottom side and comes up through a via beside C2.
        CNet& ctrl = Net("CTRL");
        const CPoint ctrlVia(Grid(18, 0).x, c2p1.y);
        Run(ctrl, LAYER_BOTTOM, 3023,
            {u1p5, {u1p5.x, Grid(0, -26).y}, {ctrlVia.x, Grid(0, -26).y}, ctrlVia});
        AddVia(ctrl, ctrlVia);
        Run(ctrl, LAYER_TOP, 3023, {ctrlVia, c2p1});

        // Ground runs on the bottom side round the parts to the header; the chip parts come down
        // to it through vias of their own. The plane there joins it too.
        CNet& gnd = Net("GND");
        const CPoint u1p1 = At(Pad(u1, 1));
        const CPoint j1p3 = At(Pad(j1, 3));
        const int32_t gndRow = Grid(0, -5).y;
        const CPoint c1Via(Grid(44, 0).x, c1p2.y);
        // Below C2's ground pad, on the half-pitch grid.
        const CPoint c2Via(c2p2.x, Grid(0, -12).y);
        Run(gnd, LAYER_TOP, 5039, {c1p2, c1Via});
        AddVia(gnd, c1Via);
        Run(gnd, LAYER_TOP, 5039, {c2p2, c2Via});
        AddVia(gnd, c2Via);
        Run(gnd, LAYER_BOTTOM, 5039, {c1Via, {c1Via.x, gndRow}, {u1p1.x, gndRow}, u1p1});
        Run(gnd, LAYER_BOTTOM, 5039, {{u1p1.x, gndRow}, {j1p3.x, gndRow}, {j1p3.x, c2Via.y}, j1p3});
        Run(gnd, LAYER_BOTTOM, 5039, {c2Via, {j1p3.x, c2Via.y}});
    }

    void AddFurniture()
    {
        m_doc.Design().SetBoardSize(boardWidth, boardHeight);

        CDrawRecArray& lines = m_doc.Design().GetLines();
        const int32_t pen = lines.FindOrAddPen(2015);
        const int32_t inset = pitch / 2;
        const CPoint frame[] = {{inset, -inset},
                                {boardWidth - inset, -inset},
                                {boardWidth - inset, inset - boardHeight},
                                {inset, inset - boardHeight},
                                {inset, -inset}};
        for (size_t k = 1; k < std::size(frame); ++k)
            lines.AddSegment(frame[k - 1].x, frame[k - 1].y, frame[k].x, frame[k].y,
                             LAYER_DRAWING_1, pen, 0);

        AddText("WEVRA PCB DEMO", {2 * pitch, -18 * pitch}, 15118);
        AddText("555 TIMER", {22 * pitch, -18 * pitch}, 10078);

        // A ground plane over the bottom side, 1 mm inside the board edge, seeded in a corner
        // no bottom track passes.
        const int32_t border = 10078;
        auto plane = std::make_unique<CPour>(m_doc.Design().GetNets().FindNet("GND"), LAYER_BOTTOM,
                                             2 * pitch, -2 * pitch, 1, 2015, 6047, 45000);
        plane->SetName("01. GND");
        const CPoint ring[] = {{border, -border},
                               {boardWidth - border, -border},
                               {boardWidth - border, border - boardHeight},
                               {border, border - boardHeight}};
        for (size_t k = 0; k < std::size(ring); ++k)
            plane->GetOutline().SetAtGrow(int32_t(k), ring[k].x, ring[k].y);
        plane->CloseOutline();
        m_doc.Design().GetPlanes().push_back(std::move(plane));
    }

    // New components are parked above the board (y <= 0), where a netlist puts them, so the
    // board is laid out there and then moved, as an engineer would place it, to the board's
    // own place (0, 0)-(width, height).
    void MoveOntoBoard()
    {
        m_doc.Design().GetComponents().MoveAll(0, boardHeight);
        m_doc.Design().GetNets().MoveAll(0, boardHeight);
        m_doc.Design().GetLines().OffsetAll(0, boardHeight);
        CTextArray& texts = m_doc.Design().GetTexts();
        for (int32_t i = 0; i < texts.GetCount(); ++i)
            texts.GetText(i)->Offset(0, boardHeight);
        for (const auto& plane : m_doc.Design().GetPlanes())
            plane->Move(0, boardHeight);
        m_doc.Design().SetBoardOutlineRect(0, 0, boardWidth, boardHeight);
        m_doc.Planes().RebuildPlane(0);
    }

    void AddText(const std::string& text, CPoint at, int32_t height)
    {
        CWevraText item;
        item.SetText(text);
        item.SetPosition(at);
        item.SetHeight(height);
        item.SetLineWidth(2015);
        item.SetLayer(LAYER_SILK_TOP);
        m_doc.Design().GetTexts().AddText(&item);
    }

    CWevraDoc& m_doc;
    int32_t m_dip = 0;
    int32_t m_chip = 0;
    int32_t m_header = 0;
    int32_t m_via = 0;
    std::vector<int32_t> m_components;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Usage: MakeDemoDesign <output.PCB>\n";
        return 2;
    }
    CFailingMessages messages("MakeDemoDesign");
    CServices::SetMessages(&messages);
    // The texts of any message come from the language pack beside the tool.
    CResourcePack::LoadFirstFound(CDocumentFrame::Get().GetProgramFolder());

    CWevraDoc built;
    CDemoBuilder(built).Build();
    if (!WriteAsReopened(built, argv[1], "MakeDemoDesign"))
        return 1;
    CServices::SetMessages(nullptr);
    return messages.shown ? 1 : 0;
}
