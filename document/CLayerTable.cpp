#include "document/CLayerTable.h"

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "framework/CColorChooserService.h"
#include "framework/CServices.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/LayerMaps.h"

namespace {

std::string CodeOf(const CLayerArray& layers, int32_t layer)
{
    const CLayer* entry = layers.GetLayer(layer);
    return entry ? entry->GetCode() : std::string();
}

} // namespace

std::vector<CLayerTable::Row> CLayerTable::Rows(CDesign& design)
{
    design.ResetLayerTables();
    const CLayerArray& layers = design.GetLayers();
    std::vector<Row> rows;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        if (!layers.IsEnabled(layer))
            continue;
        Row row;
        row.layer = layer;
        row.row.cells = {layers.GetLayerName(layer),
                         {},
                         {},
                         {},
                         std::to_string(design.GetLayerCount(CLayerCounts::lineTable, layer)),
                         std::to_string(design.GetLayerCount(CLayerCounts::padTable, layer)),
                         CodeOf(layers, layer),
                         CodeOf(layers, OppositeLayer(layer))};
        for (int32_t set = 0; set < colorSetCount; ++set)
            row.colors[size_t(set)] = design.GetStoredColor(set, layer);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<COLORREF> CLayerTable::EditColor(const CDesign& design, int32_t column,
                                               const std::string& layerName,
                                               const StoreColor& store)
{
    const int32_t set = column - firstColorColumn;
    if (set < 0 || set >= colorSetCount)
        return std::nullopt;
    // The lookup answers the common layer for a name it does not know: only an exact match
    // may change a colour.
    const CLayerArray& layers = design.GetLayers();
    const int32_t layer = layers.FindLayerByName(layerName);
    if (!layers.IsEnabled(layer) || layers.GetLayerName(layer) != layerName)
        return std::nullopt;
    std::vector<COLORREF> custom;
    for (int32_t i = 0; i < colorSetCount; ++i)
        custom.push_back(design.GetStoredColor(i, layer));
    const std::optional<COLORREF> chosen =
        CServices::ColorChooser().ChooseColor(custom[size_t(set)], custom);
    if (chosen)
        store(set, layer, *chosen);
    return chosen;
}
