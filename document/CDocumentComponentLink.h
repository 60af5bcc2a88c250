#pragma once

#include <cstdint>

#include "framework/ColorRef.h"
#include "model/CComponentArrayDocument.h"

// The component side of the layer-colour routing of CDocumentNetLink.
class CDocumentComponentLink : public CComponentArrayDocument {
public:
    COLORREF GetLayerColor(int32_t layer, int32_t colorSet) const final
    {
        return LayerColor(layer, colorSet);
    }

    virtual COLORREF LayerColor(int32_t layer, int32_t colorSet) const = 0;
};
