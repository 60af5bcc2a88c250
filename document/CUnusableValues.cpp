#include "document/CUnusableValues.h"

#include <cmath>
#include <cstdlib>

#include "document/CDesign.h"
#include "document/CDesignFields.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/ShownLines.h"
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

std::string ScaleText(double scale)
{
    if (std::isnan(scale))
        return "not a number";
    if (std::isinf(scale))
        return scale > 0 ? "infinite" : "-infinite";
    return CNumberText::FormatFixed(scale, 4);
}

// A rectangle inverted is no range of one field: its sides are checked against each other.
void AddPadLines(const CPadStackArray& stacks, const std::string& prefix,
                 std::vector<std::string>& lines)
{
    for (int32_t s = 0; s < stacks.GetCount(); ++s) {
        const CPadStack* stack = stacks.GetPadStack(s);
        if (!stack)
            continue;
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            const CPad* pad = stack->GetPad(layer);
            // The rectangle of a layer without a pad is never used.
            if (!pad || !pad->HasShape())
                continue;
            const CRect& r = pad->GetRect();
            if (r.left > r.right || r.top > r.bottom)
                lines.push_back(prefix + "Padstack " + std::to_string(s + 1) + " \"" +
                                stack->GetName() + "\" layer " + std::to_string(layer) +
                                ": pad rectangle (" + std::to_string(r.left) + ", " +
                                std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
                                std::to_string(r.bottom) + ") inverted");
        }
    }
}

void AddNetLines(const CNetArray& nets, std::vector<std::string>& lines)
{
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const TrackRec& vertex = net.GetVertex(v);
            const int32_t layer = vertex.GetLayer();
            // A via has no layer of its own, and layer 0 stands for every layer.
            if (!vertex.IsPad() && layer != LAYER_COMMON &&
                (layer < LAYER_TOP || layer > LAYER_INNER_12))
                lines.push_back("Net " + net.GetName() + " point " + std::to_string(v + 1) +
                                ": a track on layer " + std::to_string(layer) +
                                ", which holds no copper: it connects nothing");
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
    CDesignFields::AddLines(design, lines);
    AddNetLines(design.GetNets(), lines);
    AddPadLines(design.GetShapeCache().GetPadStacks(), "", lines);
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
    CDesignFields::AddLines(library, prefix, lines);
    AddPadLines(library.GetPadStacks(), prefix, lines);
}

std::string CUnusableValues::Message(const std::vector<std::string>& lines, Holder holder)
{
    if (lines.empty())
        return {};
    return ShownLines(CResString::Load(holder == Holder::library ? IDS_UNUSABLE_LIBRARY_VALUES
                                                                 : IDS_UNUSABLE_DESIGN_VALUES),
                      lines, shownLines);
}
