#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "model/CLayer.h"

// The layer table of a design: one CLayer per layer number, index = number. Lookups by layer
// take any int; a number outside the table reads as a layer that is neither visible nor enabled.
class CLayerArray : public CObject {
    WEVRA_DECLARE_SERIAL(CLayerArray)

public:
    // An empty table; the document fills it with CreateDefault or by loading.
    CLayerArray() = default;

    // The 31 default layers, all enabled and none visible, reference layer 1.
    void CreateDefault();

    int32_t GetCount() const { return static_cast<int32_t>(m_layers.size()); }
    // nullptr outside the table.
    CLayer* GetLayer(int32_t layer);
    const CLayer* GetLayer(int32_t layer) const;

    void SetVisible(int32_t layer, bool on);
    bool IsVisible(int32_t layer) const;
    bool IsEnabled(int32_t layer) const;
    // The stored name with its number in front; outside the table the default name.
    std::string GetLayerName(int32_t layer) const;

    // The reference layer of the current display layer set.
    int32_t GetRefLayer() const { return m_refLayer; }
    void SetRefLayer(int32_t layer) { m_refLayer = layer; }

    // The first layer whose name equals `name`, both without leading white space; 0 (the
    // common layer) when none does.
    int32_t FindLayerByName(const std::string& name) const;

    // Int32 reference layer, the byte, then the layers as an object array. A loaded table
    // always holds the 31 layers numbered by their index: missing or empty entries get their
    // defaults, entries past the last layer are dropped, and numbers follow the index.
    void Serialize(CArchive& ar) override;

private:
    // Kept, stored and copied as it is; nothing in the program reads it.
    uint8_t m_byte = 0;
    int32_t m_refLayer = 1;
    std::vector<std::unique_ptr<CLayer>> m_layers;
};
