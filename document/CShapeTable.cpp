#include "document/CShapeTable.h"

#include "document/CDesign.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"

namespace {

// Width, x and y.
constexpr uint32_t lengthColumns = 0x38;

} // namespace

std::vector<CTableRow> CShapeTable::Rows(const CDesign& design, const CShapeLib& library)
{
    const CLayerArray& layers = design.GetLayers();
    const CPadStackArray& stacks = library.GetPadStacks();
    const int32_t unit = design.GetUnit();
    const auto length = [unit](int32_t value) { return CLengthText::FormatLength(unit, value); };

    std::vector<CTableRow> rows;
    for (int32_t i = 0; i < library.GetCount(); ++i) {
        const CShape& shape = *library.GetShape(i);
        const std::string number = std::to_string(i + 1);
        for (int32_t pin = 0; pin < shape.GetPadCount(); ++pin) {
            const CPoint at = shape.GetPadPos(pin);
            const int32_t stack = shape.GetPadStackIndex(pin);
            rows.push_back({{number,
                             shape.GetName(),
                             "Pin " + std::to_string(pin + 1),
                             {},
                             length(at.x),
                             length(at.y),
                             std::to_string(stack + 1),
                             stacks.GetName(stack)},
                            lengthColumns});
        }
        for (int32_t vertex = 0; vertex < shape.GetOutlineCount(); ++vertex) {
            const CPoint at = shape.GetOutlinePoint(vertex);
            const int32_t pen = shape.GetOutlinePen(vertex);
            const int32_t layer = shape.GetOutlineLayer(vertex);
            rows.push_back(
                {{number, shape.GetName(), pen == 0 ? "MoveTo" : "LineTo",
                  pen == 0 ? std::string() : length(library.GetPenWidth(pen)), length(at.x),
                  length(at.y), std::to_string(layer), layers.GetLayerName(layer)},
                 lengthColumns});
        }
    }
    return rows;
}
