#pragma once

#include <cstdint>

#include "framework/CPoint.h"
#include "model/CCopperShape.h"

class CPadStackArray;

// Copper that carries a padstack: a component pin, or a pad or via placed as a net vertex.
struct CopperPad {
    int32_t x = 0;
    int32_t y = 0;
    int32_t padStack = 0;
    // The item's angle in 1/1000 degree; each pad turns further by its own rotation.
    int32_t angle = 0;
    // On the other board side: its pads are those of the opposite layers.
    bool mirrored = false;
};

// One drawn track segment.
struct CopperSegment {
    CPoint from;
    CPoint to;
    int32_t halfWidth = 0;
    int32_t layer = 0;
};

// Whether two copper items touch on a signal layer (1..16) in use. The answer never depends on
// which of the two asks, so a flood reaches the same copper in whatever order it visits items.
// Outlines touch when their edges meet or one lies wholly inside the other; outlines whose
// bounding rectangles only share an edge are apart.
class CCopperContact {
public:
    // `layersInUse`: bit L-1 for each signal layer L whose copper counts.
    CCopperContact(const CPadStackArray& padStacks, uint32_t layersInUse);

    bool IsLayerInUse(int32_t layer) const;
    // The layers in use on which the item has copper (bit L-1 for layer L).
    uint32_t PadLayers(const CopperPad& pad) const;
    // The item's pad on the layer as placed on the board; false when it has none there.
    bool PadOutline(const CopperPad& pad, int32_t layer, CCopperShape& outline) const;

    bool PadsTouch(const CopperPad& a, const CopperPad& b) const;
    bool PadTouchesSegment(const CopperPad& pad, const CopperSegment& segment) const;
    bool SegmentsTouch(const CopperSegment& a, const CopperSegment& b) const;

    static bool OutlinesTouch(const CCopperShape& a, const CCopperShape& b);

private:
    const CPadStackArray& m_padStacks;
    uint32_t m_layers;
};
