#include "document/CLayerTable.h"

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CWevraDoc.h"
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

std::vector<CLayerTable::Row> CLayerTable::Rows(CWevraDoc& document)
{
    document.Design().ResetLayerTables();
    const CLayerArray& layers = document.Design().GetLayers();
    std::vector<Row> rows;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        if (!layers.IsEnabled(layer))
            continue;
        Row row;
        row.layer = layer;
        row.row.cells = {
            layers.GetLayerName(layer),
            {},
            {},
            {},
            std::to_string(document.Design().GetLayerCount(CLayerCounts::lineTable, layer)),
            std::to_string(document.Design().GetLayerCount(CLayerCounts::padTable, layer)),
            CodeOf(layers, layer),
            CodeOf(layers, OppositeLayer(layer))};
        for (int32_t set = 0; set < colorSetCount; ++set)
            row.colors[size_t(set)] = document.Design().GetStoredColor(set, layer);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<COLORREF> CLayerTable::EditColor(CWevraDoc& document, int32_t column,
                                               const std::string& layerName)
{
    const int32_t set = column - firstColorColumn;
    if (set < 0 || set >= colorSetCount)
        return std::nullopt;
    // The lookup answers the common layer for a name it does not know: only an exact match
    // may change a colour.
    const CLayerArray& layers = document.Design().GetLayers();
    const int32_t layer = layers.FindLayerByName(layerName);
    if (!layers.IsEnabled(layer) || layers.GetLayerName(layer) != layerName)
        return std::nullopt;
    std::vector<COLORREF> custom;
    for (int32_t i = 0; i < colorSetCount; ++i)
        custom.push_back(document.Design().GetStoredColor(i, layer));
    const std::optional<COLORREF> chosen =
        CServices::ColorChooser().ChooseColor(custom[size_t(set)], custom);
    if (chosen)
        document.SetStoredColor(set, layer, *chosen);
    return chosen;
}
