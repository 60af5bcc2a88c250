#pragma once

#include <cstdint>

#include "framework/ColorRef.h"
#include "model/CNetArrayDocument.h"

// The nets and the components both ask the document for a layer colour, with the colour set
// and the layer in opposite order. CDocumentLink answers both through LayerColor, which this
// base and CDocumentComponentLink route each question to.
class CDocumentNetLink : public CNetArrayDocument {
public:
    COLORREF GetLayerColor(int32_t colorSet, int32_t layer) const final
    {
        return LayerColor(layer, colorSet);
    }

    // Colour set 0 holds the ordinary colours, set 1 the highlight colours.
    virtual COLORREF LayerColor(int32_t layer, int32_t colorSet) const = 0;
};
