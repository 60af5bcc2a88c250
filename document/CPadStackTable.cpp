#include "document/CPadStackTable.h"

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CPadStackUse.h"
#include "document/CWevraDoc.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"

namespace {

constexpr int32_t lastPadLayer = 26;
// Width, height and the two offsets.
constexpr uint32_t lengthColumns = 0x3C0;

std::string Purpose(const CPadStackArray& stacks, int32_t stack)
{
    if (stacks.IsPadKind(stack))
        return "GENERAL";
    return stacks.IsShapePadKind(stack) ? "SHAPE" : "VIA";
}

} // namespace

std::vector<CTableRow> CPadStackTable::Rows(const CWevraDoc& document, const CShapeLib& source)
{
    // Counting marks the cache's shape padstacks; a read-only table leaves the design as it is.
    CShapeLib library(source);
    library.CountPadStackUse(document.PadStackUse());
    const CPadStackArray& stacks = library.GetPadStacks();
    const CLayerArray& layers = document.Design().GetLayers();
    const int32_t unit = document.Session().GetUnit();
    const auto length = [unit](int32_t value) { return CLengthText::FormatLength(unit, value); };

    std::vector<CTableRow> rows;
    for (int32_t stack = 0; stack < stacks.GetCount(); ++stack) {
        const std::string number = std::to_string(stack + 1);
        CTableRow general;
        general.cells = {number, Purpose(stacks, stack), stacks.GetName(stack),
                         std::to_string(library.GetPadStackUse(stack))};
        general.cells.resize(size_t(columnCount));
        rows.push_back(std::move(general));
        for (int32_t layer = 1; layer <= lastPadLayer; ++layer) {
            if (!layers.IsEnabled(layer))
                continue;
            CTableRow line;
            line.cells = {number,
                          {},
                          {},
                          {},
                          layers.GetLayerName(layer),
                          stacks.GetPadShapeName(stack, layer),
                          length(stacks.GetPadWidth(stack, layer)),
                          length(stacks.GetPadHeight(stack, layer)),
                          length(stacks.GetPadOffsetX(stack, layer)),
                          length(stacks.GetPadOffsetY(stack, layer))};
            line.rightAligned = lengthColumns;
            rows.push_back(std::move(line));
        }
    }
    CTableRow last;
    last.cells.resize(size_t(columnCount));
    last.cells[0] = " ";
    rows.push_back(std::move(last));
    return rows;
}

std::string CPadStackTable::DefaultName(const CWevraDoc& document, const CShapeLib& library)
{
    const CPadStackArray& stacks = library.GetPadStacks();
    return stacks.GetName(stacks.GetDefault(document.Session().GetDefaultPadStackKind()));
}
