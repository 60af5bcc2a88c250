#include "document/CUnusableValues.h"

#include <cstdlib>

#include "document/CDesign.h"
#include "framework/CNumberText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"

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

std::string FarOutText(CPoint point)
{
    return "position " + PointText(point) + " beyond " +
           std::to_string(CUnusableValues::coordinateLimit) + " on either side";
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
        if (IsFarOut(text.GetPosition()))
            lines.push_back("Text \"" + text.GetText() + "\": " + FarOutText(text.GetPosition()));
    }
    return lines;
}

std::string CUnusableValues::Message(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return {};
    std::string message = "The design holds values the program cannot work with; they are kept as "
                          "they are:";
    for (size_t i = 0; i < lines.size() && i < shownLines; ++i)
        message += "\n" + lines[i];
    if (lines.size() > shownLines)
        message +=
            "\n... and " + CNumberText::FormatInt(int64_t(lines.size() - shownLines)) + " more";
    return message;
}
