#include "document/CUnusableValues.h"

#include <cmath>
#include <cstdlib>

#include "document/CDesign.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
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
#include "model/CShapeLibArray.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"

namespace {

bool IsFarOut(CPoint point)
{
    return std::llabs(point.x) > CUnusableValues::coordinateLimit ||
           std::llabs(point.y) > CUnusableValues::coordinateLimit;
}

std::string PointText(CPoint point)
{
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

std::string LimitText()
{
    return std::to_string(CUnusableValues::coordinateLimit);
}

std::string FarOutText(CPoint point)
{
    return "position " + PointText(point) + " beyond " + LimitText() + " on either side";
}

bool IsFarOut(int64_t length)
{
    return std::llabs(length) > CUnusableValues::coordinateLimit;
}

// A size no board has: below 0 or beyond the coordinate range.
bool IsUnusableSize(int64_t size)
{
    return size < 0 || size > CUnusableValues::coordinateLimit;
}

std::string DegreesText(int32_t angle)
{
    return CNumberText::FormatFixed(angle / 1000.0, 3);
}

std::string ScaleText(double scale)
{
    if (std::isnan(scale))
        return "not a number";
    if (std::isinf(scale))
        return scale > 0 ? "infinite" : "-infinite";
    return CNumberText::FormatFixed(scale, 4);
}

void AddPadLines(const CPadStackArray& stacks, const std::string& prefix,
                 std::vector<std::string>& lines)
{
    for (int32_t s = 0; s < stacks.GetCount(); ++s) {
        const CPadStack* stack = stacks.GetPadStack(s);
        if (!stack)
            continue;
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            const CPad* pad = stack->GetPad(layer);
            // The rectangle and turn of a layer without a pad are never used.
            if (!pad || !pad->HasShape())
                continue;
            const std::string what = prefix + "Padstack " + std::to_string(s + 1) + " \"" +
                                     stack->GetName() + "\" layer " + std::to_string(layer);
            if (pad->GetShape() >= PAD_SHAPE_COUNT)
                lines.push_back(what + ": pad shape code " + std::to_string(pad->GetShape()) +
                                ", which names no shape");
            if (std::abs(int64_t(pad->GetRotation())) > CUnusableValues::rotationLimit)
                lines.push_back(what + ": pad turned " + DegreesText(pad->GetRotation()) +
                                " degrees, more than a full turn");
            const CRect& r = pad->GetRect();
            const std::string rect = "pad rectangle (" + std::to_string(r.left) + ", " +
                                     std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
                                     std::to_string(r.bottom) + ")";
            if (r.left > r.right || r.top > r.bottom)
                lines.push_back(what + ": " + rect + " inverted");
            const int64_t limit = CUnusableValues::coordinateLimit;
            if (std::llabs(r.left) >= limit || std::llabs(r.top) >= limit ||
                std::llabs(r.right) >= limit || std::llabs(r.bottom) >= limit)
                lines.push_back(what + ": " + rect + " at or beyond " + LimitText() +
                                " on either side");
        }
    }
}

void AddNetLines(const CNetArray& nets, std::vector<std::string>& lines)
{
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const TrackRec& vertex = net.GetVertex(v);
            const std::string what = "Net " + net.GetName() + " point " + std::to_string(v + 1);
            const int32_t layer = vertex.GetLayer();
            // A via has no layer of its own, and layer 0 stands for every layer.
            if (!vertex.IsPad() && layer != LAYER_COMMON &&
                (layer < LAYER_TOP || layer > LAYER_INNER_12))
                lines.push_back(what + ": a track on layer " + std::to_string(layer) +
                                ", which holds no copper: it connects nothing");
            if (IsFarOut(net.GetVertexPoint(v)))
                lines.push_back(what + ": " + FarOutText(net.GetVertexPoint(v)));
        }
    }
    const int32_t beyond = nets.GetCount() - CComponent::padNetNumbers;
    if (beyond > 0)
        lines.push_back(CNumberText::FormatInt(beyond) + " nets from net " +
                        nets.GetNetName(CComponent::padNetNumbers) +
                        " on: no pad can be in them, a pad names nets up to number " +
                        std::to_string(CComponent::padNetNumbers - 1));
}

} // namespace

std::vector<std::string> CUnusableValues::Lines(const CDesign& design)
{
    std::vector<std::string> lines;
    AddNetLines(design.GetNets(), lines);
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        if (IsFarOut(components.GetPosition(i)))
            lines.push_back("Component " + components.GetReference(i) + ": " +
                            FarOutText(components.GetPosition(i)));
    }
    const CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i) {
        const CWevraText& text = *texts.GetText(i);
        const std::string what = "Text \"" + text.GetText() + "\": ";
        if (IsFarOut(text.GetPosition()))
            lines.push_back(what + FarOutText(text.GetPosition()));
        if (IsUnusableSize(text.GetHeight()) || IsUnusableSize(text.GetLineWidth()))
            lines.push_back(what + "height " + std::to_string(text.GetHeight()) +
                            " and line width " + std::to_string(text.GetLineWidth()) +
                            ", below 0 or beyond " + LimitText());
    }
    const CDrawRecArray& drawn = design.GetLines();
    for (int32_t i = 0; i < drawn.GetCount(); ++i) {
        if (IsFarOut(drawn.GetPoint(i)))
            lines.push_back("Drawn line point " + std::to_string(i + 1) + ": " +
                            FarOutText(drawn.GetPoint(i)));
    }
    for (const auto& plane : design.GetPlanes()) {
        const CPointArray& outline = plane->GetOutline();
        for (int32_t i = 0; i < outline.GetSize(); ++i) {
            if (IsFarOut(outline[i]))
                lines.push_back("Plane " + plane->GetName() + " outline point " +
                                std::to_string(i + 1) + ": " + FarOutText(outline[i]));
        }
        if (IsFarOut(plane->GetSeed()))
            lines.push_back("Plane " + plane->GetName() + " seed: " + FarOutText(plane->GetSeed()));
    }
    AddShapeLibLines(design.GetShapeCache(), "", lines);

    if (design.GetBoardWidth() < 1 || design.GetBoardHeight() < 1 ||
        IsFarOut(design.GetBoardWidth()) || IsFarOut(design.GetBoardHeight()))
        lines.push_back("Board size " + std::to_string(design.GetBoardWidth()) + " x " +
                        std::to_string(design.GetBoardHeight()) + ": below 1 or beyond " +
                        LimitText());
    const CGridArr& grids = design.GetGridSettings();
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        const CSize spacing = grids.GetSpacing(r);
        const CSize snap = grids.GetSnap(r);
        for (int64_t length : {spacing.cx, spacing.cy, snap.cx, snap.cy}) {
            if (length < 1 || IsFarOut(length)) {
                lines.push_back("Grid " + std::to_string(r + 1) + ": spacing " +
                                std::to_string(spacing.cx) + " x " + std::to_string(spacing.cy) +
                                ", snap " + std::to_string(snap.cx) + " x " +
                                std::to_string(snap.cy) + ", below 1 or beyond " + LimitText());
                break;
            }
        }
    }
    const COutputArray& jobs = design.GetOutputJobs();
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        const COutput* job = jobs.GetJob(i);
        const double scale = job ? job->GetScale() : 1.0;
        // Written so that a scale that is not a number is caught as well.
        if (!(scale >= minScale && scale <= maxScale))
            lines.push_back("Output job \"" + job->GetJobName() + "\": scale " + ScaleText(scale) +
                            ", outside " + ScaleText(minScale) + " to " + ScaleText(maxScale));
    }
    return lines;
}

std::vector<std::string> CUnusableValues::Lines(const CShapeLibArray& libraries)
{
    std::vector<std::string> lines;
    for (int32_t i = 0; i < libraries.GetCount(); ++i) {
        if (const CShapeLib* library = libraries.GetLib(i))
            AddShapeLibLines(*library, "Library " + library->GetName() + ": ", lines);
    }
    return lines;
}

void CUnusableValues::AddShapeLibLines(const CShapeLib& library, const std::string& prefix,
                                       std::vector<std::string>& lines)
{
    AddPadLines(library.GetPadStacks(), prefix, lines);
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        const CShape* shape = library.GetShape(i);
        if (!shape)
            continue;
        const std::string what = prefix + "Shape " + shape->GetName();
        for (int32_t k = 0; k < shape->GetPadCount(); ++k) {
            const std::string pad = what + " pad " + std::to_string(k + 1) + ": ";
            if (std::abs(int64_t(shape->GetPadRotation(k))) > rotationLimit)
                lines.push_back(pad + "turned " + DegreesText(shape->GetPadRotation(k)) +
                                " degrees, more than a full turn");
            if (IsFarOut(shape->GetPadPos(k)))
                lines.push_back(pad + FarOutText(shape->GetPadPos(k)));
        }
        for (int32_t k = 0; k < shape->GetOutlineCount(); ++k) {
            if (IsFarOut(shape->GetOutlinePoint(k)))
                lines.push_back(what + " outline point " + std::to_string(k + 1) + ": " +
                                FarOutText(shape->GetOutlinePoint(k)));
        }
    }
}

std::string CUnusableValues::Message(const std::vector<std::string>& lines, Holder holder)
{
    if (lines.empty())
        return {};
    std::string message = CResString::Load(holder == Holder::library ? IDS_UNUSABLE_LIBRARY_VALUES
                                                                     : IDS_UNUSABLE_DESIGN_VALUES);
    for (size_t i = 0; i < lines.size() && i < shownLines; ++i)
        message += "\n" + lines[i];
    if (lines.size() > shownLines)
        message +=
            "\n... and " + CNumberText::FormatInt(int64_t(lines.size() - shownLines)) + " more";
    return message;
}
