#pragma once

#include <cstdint>
#include <vector>

#include "framework/CRect.h"
#include "model/CCopperShape.h"
#include "model/LayerIds.h"

class CNet;
class CNetDocument;
class CPad;
class CPadStackArray;
class CSpatialGrid;

// Numbers the connected parts (clusters) of one net: every pin not reached yet starts a new
// cluster, which floods through every pin, track segment and pad or via vertex of the net whose
// copper touches copper already reached, on a layer in use. Each pin and vertex reached gets
// the cluster number; copper that reaches no pin keeps 0.
//
// Candidates come from the net's spatial grids, asked over the whole copper box of the item
// flooded from, so that items across cell borders and large pads are never missed. A pad lying
// wholly inside another pad counts as touching it.
class CNetConnectCheck {
public:
    CNetConnectCheck(CNetDocument& document, CNet& net);

    // Returns the number of clusters (also kept as GetClusterCount). Builds the net's grids
    // when the caller has not.
    int32_t Check();
    int32_t GetClusterCount() const { return m_clusterCount; }

private:
    // The copper of pin or vertex `item` on a layer, ready to test against other copper.
    struct PadPlace {
        const CPad* pad = nullptr;
        int32_t x = 0;
        int32_t y = 0;
        bool mirrored = false;
        int32_t angle = 0;
    };

    PadPlace Place(int32_t padStack, int32_t layer, bool mirrored, int32_t x, int32_t y,
                   int32_t angle) const;
    // The pad of a pin or pad/via vertex on a layer as seen from its board side.
    PadPlace PinPad(int32_t pin, int32_t layer) const;
    PadPlace VertexPad(int32_t vertex, int32_t layer) const;
    void SetPadOutline(const PadPlace& place);
    // Whether the outline touches the placed pad, also when one lies inside the other.
    bool Touches(const CCopperShape& outline, const PadPlace& place) const;
    // Whether the outline touches the segment that ends at the drawn vertex.
    bool TouchesSegment(const CCopperShape& outline, int32_t vertex) const;
    bool IsCopperLayerInUse(int32_t layer) const;
    bool IsLayerInUse(int32_t layer) const;

    void ComputeBoxes();
    void FloodFromPin(int32_t pin);
    void FloodFromVertex(int32_t vertex);
    void FloodFromSegment(int32_t vertex);
    void FloodFromVia(int32_t vertex);

    // Stamp an item with the cluster number and put it on the pending stack, once.
    void ReachPin(int32_t pin);
    void ReachVertex(int32_t vertex);
    // Every vertex of the run that holds the drawn vertex.
    void ReachRun(int32_t vertex);

    // The items of the grid's cells over `box` whose own boxes meet it.
    std::vector<uint32_t> Candidates(CSpatialGrid& grid, const CRect& box,
                                     const std::vector<CRect>& boxes) const;
    static bool BoxesMeet(const CRect& a, const CRect& b);

    CNetDocument& m_document;
    CNet& m_net;
    const CPadStackArray& m_padStacks;
    CCopperShape m_outline;
    int32_t m_clusterCount = 0;

    // Copper boxes of pins and vertices (empty rectangle for vertices without copper).
    std::vector<CRect> m_pinBoxes;
    std::vector<CRect> m_vertexBoxes;
    std::vector<bool> m_pinReached;
    std::vector<bool> m_vertexReached;
    std::vector<int32_t> m_pendingPins;
    std::vector<int32_t> m_pendingVertices;
    bool m_layerEnabled[LAYER_COUNT] = {};
};
