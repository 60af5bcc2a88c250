#include "document/CDesignFields.h"

#include <algorithm>
#include <cstdlib>

#include "document/CDesign.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CFieldRange.h"
#include "model/CGridArr.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "model/PenTable.h"

namespace {

using Beyond = CDesignFields::Beyond;
using Visit = CDesignFields::Visit;
namespace Ranges = FieldRanges;

int32_t Narrow(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// x or y of a point: the fields of a point come in pairs.
template <int Axis> int64_t Coordinate(CPoint point)
{
    return Axis == 0 ? point.x : point.y;
}

template <int Axis> CPoint WithCoordinate(CPoint point, int64_t value)
{
    (Axis == 0 ? point.x : point.y) = Narrow(value);
    return point;
}

std::string NetItem(const CNet& net)
{
    return "Net " + net.GetName();
}

std::string PlaneItem(const CPour& plane)
{
    return "Plane " + plane.GetName();
}

std::string JobItem(const COutput& job)
{
    return "Output job \"" + job.GetJobName() + "\"";
}

std::string TextItem(const CWevraText& text)
{
    return "Text \"" + text.GetText() + "\"";
}

std::string ComponentItem(const CComponentArray& components, int32_t i)
{
    return "Component " + components.GetReference(i);
}

const char* const textKinds[] = {"reference", "type", "shape name"};

// ---- The design's records -----------------------------------------------------------------------

template <int Axis> void EachViewOffset(const CDesign& design, const Visit& visit)
{
    visit(Coordinate<Axis>(design.Settings().offset), [] { return std::string("Header"); });
}
template <int Axis> void SetViewOffset(CDesign& design, int64_t value)
{
    design.Settings().offset = WithCoordinate<Axis>(design.Settings().offset, value);
}

template <int Axis> void EachUserOffset(const CDesign& design, const Visit& visit)
{
    visit(Coordinate<Axis>(design.Settings().userOffset), [] { return std::string("Header"); });
}
template <int Axis> void SetUserOffset(CDesign& design, int64_t value)
{
    design.Settings().userOffset = WithCoordinate<Axis>(design.Settings().userOffset, value);
}

template <int Axis> void EachBoardSize(const CDesign& design, const Visit& visit)
{
    visit(Axis == 0 ? design.GetBoardWidth() : design.GetBoardHeight(),
          [] { return std::string("Header"); });
}
template <int Axis> void SetBoardSize(CDesign& design, int64_t value)
{
    design.SetBoardSize(Axis == 0 ? Narrow(value) : design.GetBoardWidth(),
                        Axis == 0 ? design.GetBoardHeight() : Narrow(value));
}

template <int Axis> void EachOutlinePoint(const CDesign& design, const Visit& visit)
{
    const CRec12Array& outline = design.GetBoardOutline();
    for (int32_t i = 0; i < outline.GetSize(); ++i)
        visit(Axis == 0 ? outline[i].x : outline[i].y,
              [&] { return "Board outline point " + std::to_string(i + 1); });
}
template <int Axis> void SetOutlinePoint(CDesign& design, int64_t value)
{
    CRec12Array& outline = design.GetBoardOutline();
    for (int32_t i = 0; i < outline.GetSize(); ++i)
        (Axis == 0 ? outline[i].x : outline[i].y) = Narrow(value);
}

template <int Axis> void EachLinePoint(const CDesign& design, const Visit& visit)
{
    const CDrawRecArray& lines = design.GetLines();
    for (int32_t i = 0; i < lines.GetCount(); ++i)
        visit(Coordinate<Axis>(lines.GetPoint(i)),
              [&] { return "Drawn line point " + std::to_string(i + 1); });
}
template <int Axis> void SetLinePoint(CDesign& design, int64_t value)
{
    CDrawRecArray& lines = design.GetLines();
    for (int32_t i = 0; i < lines.GetCount(); ++i) {
        const CPoint point = WithCoordinate<Axis>(lines.GetPoint(i), value);
        lines.SetPoint(i, point.x, point.y);
    }
}

void EachLinePen(const CDesign& design, const Visit& visit)
{
    const std::vector<uint16_t>& pens = design.GetLines().GetPenTable();
    for (size_t pen = 1; pen < pens.size(); ++pen)
        visit(pens[pen], [&] { return "Drawn line pen " + std::to_string(pen); });
}
void SetLinePen(CDesign& design, int64_t value)
{
    std::vector<uint16_t> pens = design.GetLines().GetPenTable();
    for (size_t pen = 1; pen < pens.size(); ++pen)
        pens[pen] = uint16_t(value);
    design.GetLines().SetPenTable(pens);
}

template <int Axis> void EachTextPosition(const CDesign& design, const Visit& visit)
{
    const CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        visit(Coordinate<Axis>(texts.GetText(i)->GetPosition()),
              [&] { return TextItem(*texts.GetText(i)); });
}
template <int Axis> void SetTextPosition(CDesign& design, int64_t value)
{
    CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        texts.GetText(i)->SetPosition(WithCoordinate<Axis>(texts.GetText(i)->GetPosition(), value));
}

template <bool Height> void EachTextSize(const CDesign& design, const Visit& visit)
{
    const CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i) {
        const CWevraText& text = *texts.GetText(i);
        visit(Height ? text.GetHeight() : text.GetLineWidth(), [&] { return TextItem(text); });
    }
}
template <bool Height> void SetTextSize(CDesign& design, int64_t value)
{
    CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i) {
        if (Height)
            texts.GetText(i)->SetHeight(Narrow(value));
        else
            texts.GetText(i)->SetLineWidth(Narrow(value));
    }
}

void EachTextAngle(const CDesign& design, const Visit& visit)
{
    const CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        visit(texts.GetText(i)->GetAngle(), [&] { return TextItem(*texts.GetText(i)); });
}
void SetTextAngle(CDesign& design, int64_t value)
{
    CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        texts.GetText(i)->SetAngle(Narrow(value));
}

template <int Axis> void EachComponentPosition(const CDesign& design, const Visit& visit)
{
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i)
        visit(Coordinate<Axis>(components.GetPosition(i)),
              [&] { return ComponentItem(components, i); });
}
template <int Axis> void SetComponentPosition(CDesign& design, int64_t value)
{
    CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const CPoint point = WithCoordinate<Axis>(components.GetPosition(i), value);
        components.GetComponent(i)->SetPosition(point.x, point.y);
    }
}

void EachComponentRotation(const CDesign& design, const Visit& visit)
{
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i)
        visit(components.GetComponent(i)->GetRotation(),
              [&] { return ComponentItem(components, i); });
}
void SetComponentRotationWord(CDesign& design, int64_t value)
{
    CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i)
        components.GetComponent(i)->SetRotationWord(uint32_t(value));
}

template <int Axis> void EachComponentTextPoint(const CDesign& design, const Visit& visit)
{
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
            visit(Coordinate<Axis>(components.GetComponent(i)->GetTextPoint(kind)),
                  [&] { return ComponentItem(components, i) + " " + textKinds[kind] + " text"; });
    }
}
template <int Axis> void SetComponentTextPoint(CDesign& design, int64_t value)
{
    CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        CComponent& component = *components.GetComponent(i);
        for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
            component.SetTextPoint(kind, WithCoordinate<Axis>(component.GetTextPoint(kind), value));
    }
}

void EachComponentTextAngle(const CDesign& design, const Visit& visit)
{
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
            visit(components.GetComponent(i)->GetTextAngle(kind),
                  [&] { return ComponentItem(components, i) + " " + textKinds[kind] + " text"; });
    }
}
void SetComponentTextAngle(CDesign& design, int64_t value)
{
    CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
            components.GetComponent(i)->SetTextAngle(kind, Narrow(value));
    }
}

template <bool Height> void EachComponentTextSize(const CDesign& design, const Visit& visit)
{
    const CComponentArray& components = design.GetComponents();
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        visit(Height ? components.GetTextHeight(kind) : components.GetTextLineWidth(kind),
              [&] { return std::string("Component ") + textKinds[kind] + " texts"; });
}
template <bool Height> void SetComponentTextSize(CDesign& design, int64_t value)
{
    CComponentArray& components = design.GetComponents();
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind) {
        if (Height)
            components.SetTextHeight(kind, Narrow(value));
        else
            components.SetTextLineWidth(kind, Narrow(value));
    }
}

// Minimal width, maximal width and clearance of a net.
template <int Which> int32_t NetRule(const CNet& net)
{
    return Which == 0 ? net.GetMinWidth() : Which == 1 ? net.GetMaxWidth() : net.GetClearance();
}
template <int Which> void EachNetRule(const CDesign& design, const Visit& visit)
{
    const CNetArray& nets = design.GetNets();
    for (int32_t n = 1; n < nets.GetCount(); ++n)
        visit(NetRule<Which>(*nets.GetNet(n)), [&] { return NetItem(*nets.GetNet(n)); });
}
template <int Which> void SetNetRule(CDesign& design, int64_t value)
{
    CNetArray& nets = design.GetNets();
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        net.SetWidths(Which == 0 ? Narrow(value) : net.GetMinWidth(),
                      Which == 1 ? Narrow(value) : net.GetMaxWidth(),
                      Which == 2 ? Narrow(value) : net.GetClearance());
    }
}

// A net's tracks are drawn with the pens of its table: the reader gives a table without any
// width a usable one and says so; one wider than the pen tables offer is named.
void EachNetWidestPen(const CDesign& design, const Visit& visit)
{
    const CNetArray& nets = design.GetNets();
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        const std::vector<uint16_t>& pens = nets.GetNet(n)->GetPenTable();
        visit(pens.empty() ? 0 : *std::max_element(pens.begin(), pens.end()),
              [&] { return NetItem(*nets.GetNet(n)); });
    }
}
void SetNetPens(CDesign& design, int64_t value)
{
    CNetArray& nets = design.GetNets();
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        std::vector<uint16_t> pens = nets.GetNet(n)->GetPenTable();
        for (size_t pen = 1; pen < pens.size(); ++pen)
            pens[pen] = uint16_t(value);
        nets.GetNet(n)->SetPenTable(pens);
    }
}

template <int Axis> void EachNetPoint(const CDesign& design, const Visit& visit)
{
    const CNetArray& nets = design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v)
            visit(Coordinate<Axis>(net.GetVertexPoint(v)),
                  [&] { return NetItem(net) + " point " + std::to_string(v + 1); });
    }
}
template <int Axis> void SetNetPoint(CDesign& design, int64_t value)
{
    CNetArray& nets = design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const CPoint point = WithCoordinate<Axis>(net.GetVertexPoint(v), value);
            net.SetVertexPoint(v, point.x, point.y);
        }
    }
}

void EachViaRotation(const CDesign& design, const Visit& visit)
{
    const CNetArray& nets = design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.GetVertex(v).IsPad())
                visit(net.GetVertexRotation(v),
                      [&] { return NetItem(net) + " point " + std::to_string(v + 1); });
        }
    }
}
void SetViaRotation(CDesign& design, int64_t value)
{
    CNetArray& nets = design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.GetVertex(v).IsPad())
                net.SetVertexRotation(v, value);
        }
    }
}

// Spacing x, spacing y, snap x, snap y of a grid record.
template <int Which> void EachGrid(const CDesign& design, const Visit& visit)
{
    const CGridArr& grids = design.GetGridSettings();
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        const CSize size = Which < 2 ? grids.GetSpacing(r) : grids.GetSnap(r);
        visit(Which % 2 == 0 ? size.cx : size.cy, [&] { return "Grid " + std::to_string(r + 1); });
    }
}
template <int Which> void SetGrid(CDesign& design, int64_t value)
{
    CGridArr& grids = design.GetGridSettings();
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        CSize size = Which < 2 ? grids.GetSpacing(r) : grids.GetSnap(r);
        (Which % 2 == 0 ? size.cx : size.cy) = Narrow(value);
        if (Which < 2)
            grids.SetSpacing(r, int32_t(size.cx), int32_t(size.cy));
        else
            grids.SetSnap(r, int32_t(size.cx), int32_t(size.cy));
    }
}

template <int Axis> void EachJobOffset(const CDesign& design, const Visit& visit)
{
    const COutputArray& jobs = design.GetOutputJobs();
    for (int32_t i = 0; i < jobs.GetCount(); ++i)
        visit(Axis == 0 ? jobs.GetJob(i)->GetOffsetX() : jobs.GetJob(i)->GetOffsetY(),
              [&] { return JobItem(*jobs.GetJob(i)); });
}
template <int Axis> void SetJobOffset(CDesign& design, int64_t value)
{
    COutputArray& jobs = design.GetOutputJobs();
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        COutput& job = *jobs.GetJob(i);
        job.SetOffset(Axis == 0 ? Narrow(value) : job.GetOffsetX(),
                      Axis == 0 ? job.GetOffsetY() : Narrow(value));
    }
}

template <int Axis> void EachPlaneOutline(const CDesign& design, const Visit& visit)
{
    for (const auto& plane : design.GetPlanes()) {
        const CPointArray& outline = plane->GetOutline();
        for (int32_t i = 0; i < outline.GetSize(); ++i)
            visit(Coordinate<Axis>(outline[i]),
                  [&] { return PlaneItem(*plane) + " outline point " + std::to_string(i + 1); });
    }
}
template <int Axis> void SetPlaneOutline(CDesign& design, int64_t value)
{
    for (const auto& plane : design.GetPlanes()) {
        CPointArray& outline = plane->GetOutline();
        for (int32_t i = 0; i < outline.GetSize(); ++i)
            outline[i] = WithCoordinate<Axis>(outline[i], value);
    }
}

template <int Axis> void EachPlaneSeed(const CDesign& design, const Visit& visit)
{
    for (const auto& plane : design.GetPlanes())
        visit(Coordinate<Axis>(plane->GetSeed()), [&] { return PlaneItem(*plane) + " seed"; });
}
template <int Axis> void SetPlaneSeed(CDesign& design, int64_t value)
{
    for (const auto& plane : design.GetPlanes())
        plane->SetSeed(WithCoordinate<Axis>(plane->GetSeed(), value));
}

// The plane's number fields, by their accessors.
template <int32_t (CPour::*Get)() const, void (CPour::*Put)(int32_t)>
void EachPlaneValue(const CDesign& design, const Visit& visit)
{
    for (const auto& plane : design.GetPlanes())
        visit(((*plane).*Get)(), [&] { return PlaneItem(*plane); });
}
template <int32_t (CPour::*Get)() const, void (CPour::*Put)(int32_t)>
void SetPlaneValue(CDesign& design, int64_t value)
{
    for (const auto& plane : design.GetPlanes())
        ((*plane).*Put)(Narrow(value));
}

// The two ends of a range of the field table's rows.
#define WEVRA_RANGE(range) Ranges::range.Low(), Ranges::range.High()

#define WEVRA_PLANE_FIELD(get, put)                                                                \
    &EachPlaneValue<&CPour::get, &CPour::put>, &SetPlaneValue<&CPour::get, &CPour::put>

// ---- The shape libraries' records ---------------------------------------------------------------

std::string PadItem(const CPadStackArray& stacks, int32_t s, int32_t layer)
{
    return "Padstack " + std::to_string(s + 1) + " \"" + stacks.GetPadStack(s)->GetName() +
           "\" layer " + std::to_string(layer);
}

// Every pad with a shape: the rectangle and turn of a layer without one are never used.
template <typename Library, typename Action> void ForEachPad(Library& library, Action action)
{
    auto& stacks = library.GetPadStacks();
    for (int32_t s = 0; s < stacks.GetCount(); ++s) {
        auto* stack = stacks.GetPadStack(s);
        if (!stack)
            continue;
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            auto* pad = stack->GetPad(layer);
            if (pad && pad->HasShape())
                action(*pad, s, layer);
        }
    }
}

void EachPadShape(const CShapeLib& library, const Visit& visit)
{
    ForEachPad(library, [&](const CPad& pad, int32_t s, int32_t layer) {
        visit(pad.GetShape(), [&] { return PadItem(library.GetPadStacks(), s, layer); });
    });
}
void SetPadShape(CShapeLib& library, int64_t value)
{
    // Code 0 is no pad at all: the field is then gone, not damaged.
    ForEachPad(library, [&](CPad& pad, int32_t, int32_t) {
        pad.Set(int32_t(uint8_t(value)) == 0 ? pad.GetShape() : int32_t(uint8_t(value)),
                pad.GetRect());
    });
}

void EachPadRotation(const CShapeLib& library, const Visit& visit)
{
    ForEachPad(library, [&](const CPad& pad, int32_t s, int32_t layer) {
        visit(pad.GetRotation(), [&] { return PadItem(library.GetPadStacks(), s, layer); });
    });
}
void SetPadRotation(CShapeLib& library, int64_t value)
{
    ForEachPad(library, [&](CPad& pad, int32_t, int32_t) { pad.SetRotation(Narrow(value)); });
}

// Left, top, right and bottom of a pad's rectangle.
template <int Side> int32_t& RectSide(CRect& rect)
{
    return Side == 0 ? rect.left : Side == 1 ? rect.top : Side == 2 ? rect.right : rect.bottom;
}
template <int Side> void EachPadRect(const CShapeLib& library, const Visit& visit)
{
    ForEachPad(library, [&](const CPad& pad, int32_t s, int32_t layer) {
        CRect rect = pad.GetRect();
        visit(RectSide<Side>(rect), [&] { return PadItem(library.GetPadStacks(), s, layer); });
    });
}
template <int Side> void SetPadRect(CShapeLib& library, int64_t value)
{
    ForEachPad(library, [&](CPad& pad, int32_t, int32_t) {
        CRect rect = pad.GetRect();
        RectSide<Side>(rect) = Narrow(value);
        pad.Set(pad.GetShape(), rect);
    });
}

std::string ShapeItem(const CShape& shape)
{
    return "Shape " + shape.GetName();
}

template <int Axis> void EachShapePad(const CShapeLib& library, const Visit& visit)
{
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        const CShape* shape = library.GetShape(i);
        for (int32_t k = 0; shape && k < shape->GetPadCount(); ++k)
            visit(Axis == 2 ? shape->GetPadRotation(k) : Coordinate<Axis>(shape->GetPadPos(k)),
                  [&] { return ShapeItem(*shape) + " pad " + std::to_string(k + 1); });
    }
}
template <int Axis> void SetShapePad(CShapeLib& library, int64_t value)
{
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        CShape* shape = library.GetShape(i);
        for (int32_t k = 0; shape && k < shape->GetPadCount(); ++k) {
            const ShapePad& pad = shape->GetPads()[size_t(k)];
            CPoint point(pad.x, pad.y);
            int32_t rotation = pad.rotation;
            if (Axis == 2)
                rotation = Narrow(value);
            else
                point = WithCoordinate<Axis>(point, value);
            shape->SetPad(k, point.x, point.y, pad.word, rotation);
        }
    }
}

template <int Axis> void EachShapeOutline(const CShapeLib& library, const Visit& visit)
{
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        const CShape* shape = library.GetShape(i);
        for (int32_t k = 0; shape && k < shape->GetOutlineCount(); ++k)
            visit(Coordinate<Axis>(shape->GetOutlinePoint(k)),
                  [&] { return ShapeItem(*shape) + " outline point " + std::to_string(k + 1); });
    }
}
template <int Axis> void SetShapeOutline(CShapeLib& library, int64_t value)
{
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        CShape* shape = library.GetShape(i);
        for (int32_t k = 0; shape && k < shape->GetOutlineCount(); ++k) {
            const CPoint point = WithCoordinate<Axis>(shape->GetOutlinePoint(k), value);
            shape->SetOutlinePoint(k, point.x, point.y);
        }
    }
}

template <typename Holder>
void AddFieldLines(const std::vector<CDesignFields::Field<Holder>>& fields, const Holder& holder,
                   const std::string& prefix, std::vector<std::string>& lines)
{
    for (const auto& field : fields) {
        if (field.beyond != Beyond::named)
            continue;
        field.each(holder, [&](int64_t value, const CDesignFields::Item& item) {
            if (value < field.low || value > field.high)
                lines.push_back(prefix + item() + ": " + field.name + " " + std::to_string(value) +
                                ", outside " + std::to_string(field.low) + " to " +
                                std::to_string(field.high));
        });
    }
}

} // namespace

const std::vector<CDesignFields::DesignField>& CDesignFields::Design()
{
    // In the order of the file: header, planes, board outline, drawn lines, components, nets,
    // grids, output jobs, texts.
    static const std::vector<DesignField> fields = {
        {"Header", "board width", WEVRA_RANGE(extent), Beyond::named, &EachBoardSize<0>,
         &SetBoardSize<0>},
        {"Header", "board height", WEVRA_RANGE(extent), Beyond::named, &EachBoardSize<1>,
         &SetBoardSize<1>},
        {"Header", "offset x", WEVRA_RANGE(position), Beyond::named, &EachViewOffset<0>,
         &SetViewOffset<0>},
        {"Header", "offset y", WEVRA_RANGE(position), Beyond::named, &EachViewOffset<1>,
         &SetViewOffset<1>},
        {"Header", "user offset x", WEVRA_RANGE(length), Beyond::repaired, &EachUserOffset<0>,
         &SetUserOffset<0>},
        {"Header", "user offset y", WEVRA_RANGE(length), Beyond::repaired, &EachUserOffset<1>,
         &SetUserOffset<1>},
        {"Plane outline", "x", WEVRA_RANGE(position), Beyond::named, &EachPlaneOutline<0>,
         &SetPlaneOutline<0>},
        {"Plane outline", "y", WEVRA_RANGE(position), Beyond::named, &EachPlaneOutline<1>,
         &SetPlaneOutline<1>},
        {"Plane seed", "x", WEVRA_RANGE(position), Beyond::named, &EachPlaneSeed<0>,
         &SetPlaneSeed<0>},
        {"Plane seed", "y", WEVRA_RANGE(position), Beyond::named, &EachPlaneSeed<1>,
         &SetPlaneSeed<1>},
        {"Plane", "style", CPour::styleNone, CPour::styleCross, Beyond::named,
         WEVRA_PLANE_FIELD(GetStyle, SetStyle)},
        {"Plane", "hatch rotation", WEVRA_RANGE(eitherTurn), Beyond::named,
         WEVRA_PLANE_FIELD(GetHatchRotation, SetHatchRotation)},
        {"Plane", "minimal space", WEVRA_RANGE(length), Beyond::named,
         WEVRA_PLANE_FIELD(GetMinSpace, SetMinSpace)},
        {"Plane", "pen width", CPour::minPenWidth, CPour::maxPenWidth, Beyond::repaired,
         WEVRA_PLANE_FIELD(GetPenWidth, SetPenWidth)},
        {"Plane", "hatch grid", CPour::minPenWidth, CPour::maxHatchGrid, Beyond::repaired,
         WEVRA_PLANE_FIELD(GetHatchGrid, SetHatchGrid)},
        {"Plane", "layer", 0, CPour::maxLayer, Beyond::repaired,
         WEVRA_PLANE_FIELD(GetLayer, SetLayer)},
        {"Board outline", "x", WEVRA_RANGE(position), Beyond::named, &EachOutlinePoint<0>,
         &SetOutlinePoint<0>},
        {"Board outline", "y", WEVRA_RANGE(position), Beyond::named, &EachOutlinePoint<1>,
         &SetOutlinePoint<1>},
        {"Drawn line", "x", WEVRA_RANGE(position), Beyond::named, &EachLinePoint<0>,
         &SetLinePoint<0>},
        {"Drawn line", "y", WEVRA_RANGE(position), Beyond::named, &EachLinePoint<1>,
         &SetLinePoint<1>},
        {"Drawn line", "pen width", WEVRA_RANGE(linePen), Beyond::named, &EachLinePen, &SetLinePen},
        {"Component", "x", WEVRA_RANGE(position), Beyond::named, &EachComponentPosition<0>,
         &SetComponentPosition<0>},
        {"Component", "y", WEVRA_RANGE(position), Beyond::named, &EachComponentPosition<1>,
         &SetComponentPosition<1>},
        {"Component", "rotation", WEVRA_RANGE(oneTurn), Beyond::named, &EachComponentRotation,
         &SetComponentRotationWord},
        {"Component", "text x", WEVRA_RANGE(position), Beyond::named, &EachComponentTextPoint<0>,
         &SetComponentTextPoint<0>},
        {"Component", "text y", WEVRA_RANGE(position), Beyond::named, &EachComponentTextPoint<1>,
         &SetComponentTextPoint<1>},
        {"Component", "text angle", WEVRA_RANGE(eitherTurn), Beyond::named, &EachComponentTextAngle,
         &SetComponentTextAngle},
        {"Component list", "text height", WEVRA_RANGE(length), Beyond::named,
         &EachComponentTextSize<true>, &SetComponentTextSize<true>},
        {"Component list", "text line width", WEVRA_RANGE(length), Beyond::named,
         &EachComponentTextSize<false>, &SetComponentTextSize<false>},
        {"Net", "minimal width", WEVRA_RANGE(length), Beyond::named, &EachNetRule<0>,
         &SetNetRule<0>},
        {"Net", "maximal width", WEVRA_RANGE(length), Beyond::named, &EachNetRule<1>,
         &SetNetRule<1>},
        {"Net", "clearance", WEVRA_RANGE(length), Beyond::named, &EachNetRule<2>, &SetNetRule<2>},
        {"Net", "widest pen", WEVRA_RANGE(netPen), Beyond::named, &EachNetWidestPen, &SetNetPens},
        {"Net", "x", WEVRA_RANGE(position), Beyond::named, &EachNetPoint<0>, &SetNetPoint<0>},
        {"Net", "y", WEVRA_RANGE(position), Beyond::named, &EachNetPoint<1>, &SetNetPoint<1>},
        {"Net", "via rotation", WEVRA_RANGE(padTurn), Beyond::named, &EachViaRotation,
         &SetViaRotation},
        {"Grid", "spacing x", WEVRA_RANGE(extent), Beyond::named, &EachGrid<0>, &SetGrid<0>},
        {"Grid", "spacing y", WEVRA_RANGE(extent), Beyond::named, &EachGrid<1>, &SetGrid<1>},
        {"Grid", "snap x", WEVRA_RANGE(extent), Beyond::named, &EachGrid<2>, &SetGrid<2>},
        {"Grid", "snap y", WEVRA_RANGE(extent), Beyond::named, &EachGrid<3>, &SetGrid<3>},
        {"Output job", "offset x", WEVRA_RANGE(position), Beyond::named, &EachJobOffset<0>,
         &SetJobOffset<0>},
        {"Output job", "offset y", WEVRA_RANGE(position), Beyond::named, &EachJobOffset<1>,
         &SetJobOffset<1>},
        {"Text", "x", WEVRA_RANGE(position), Beyond::named, &EachTextPosition<0>,
         &SetTextPosition<0>},
        {"Text", "y", WEVRA_RANGE(position), Beyond::named, &EachTextPosition<1>,
         &SetTextPosition<1>},
        {"Text", "height", WEVRA_RANGE(length), Beyond::named, &EachTextSize<true>,
         &SetTextSize<true>},
        {"Text", "line width", WEVRA_RANGE(length), Beyond::named, &EachTextSize<false>,
         &SetTextSize<false>},
        {"Text", "angle", WEVRA_RANGE(oneTurn), Beyond::repaired, &EachTextAngle, &SetTextAngle},
    };
    return fields;
}

#undef WEVRA_PLANE_FIELD

const std::vector<CDesignFields::LibraryField>& CDesignFields::Library()
{
    static const std::vector<LibraryField> fields = {
        {"Pad", "shape code", PAD_ROUND, PAD_SHAPE_COUNT - 1, Beyond::named, &EachPadShape,
         &SetPadShape},
        {"Pad", "rotation", WEVRA_RANGE(eitherTurn), Beyond::named, &EachPadRotation,
         &SetPadRotation},
        {"Pad", "left", WEVRA_RANGE(position), Beyond::named, &EachPadRect<0>, &SetPadRect<0>},
        {"Pad", "top", WEVRA_RANGE(position), Beyond::named, &EachPadRect<1>, &SetPadRect<1>},
        {"Pad", "right", WEVRA_RANGE(position), Beyond::named, &EachPadRect<2>, &SetPadRect<2>},
        {"Pad", "bottom", WEVRA_RANGE(position), Beyond::named, &EachPadRect<3>, &SetPadRect<3>},
        {"Shape pad", "x", WEVRA_RANGE(position), Beyond::named, &EachShapePad<0>, &SetShapePad<0>},
        {"Shape pad", "y", WEVRA_RANGE(position), Beyond::named, &EachShapePad<1>, &SetShapePad<1>},
        {"Shape pad", "rotation", WEVRA_RANGE(eitherTurn), Beyond::named, &EachShapePad<2>,
         &SetShapePad<2>},
        {"Shape outline", "x", WEVRA_RANGE(position), Beyond::named, &EachShapeOutline<0>,
         &SetShapeOutline<0>},
        {"Shape outline", "y", WEVRA_RANGE(position), Beyond::named, &EachShapeOutline<1>,
         &SetShapeOutline<1>},
    };
    return fields;
}

#undef WEVRA_RANGE

void CDesignFields::AddLines(const CDesign& design, std::vector<std::string>& lines)
{
    AddFieldLines(Design(), design, "", lines);
    AddLines(design.GetShapeCache(), "", lines);
}

void CDesignFields::AddLines(const CShapeLib& library, const std::string& prefix,
                             std::vector<std::string>& lines)
{
    AddFieldLines(Library(), library, prefix, lines);
}
