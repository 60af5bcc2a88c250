#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/CCheckPadTable.h"
#include "analysis/CClusterHints.h"
#include "framework/CRect.h"
#include "model/CCopperShape.h"
#include "model/CSpatialGrid.h"
#include "model/LayerIds.h"

class CNet;
class CNetDocument;
class CPad;
class CPadStackArray;

// Numbers the connected parts (clusters) of one net: every pin not reached yet starts a new
// cluster, which floods through every pin, track segment and pad or via vertex of the net whose
// copper touches copper already reached, on a layer in use. Each pin and vertex reached gets
// the cluster number; copper that reaches no pin keeps 0.
//
// Candidates are the items whose copper boxes meet the whole copper box of the item flooded
// from, so that items across cell borders and large pads are never missed. A pad lying wholly
// inside another pad counts as touching it. What a flood reaches does not depend on the order
// it visits items in, so the candidates may come in any order.
class CNetConnectCheck {
public:
    // Nets of up to this many pins and vertices are scanned whole; larger ones are asked of
    // grids laid over their copper. Both give the same clusters.
    static constexpr size_t scannedItems = 48;

    // A check in a batch over many nets is handed the batch's table of pads; without one it
    // works out the pads of the stacks it meets.
    CNetConnectCheck(CNetDocument& document, CNet& net, size_t scanLimit = scannedItems,
                     const CCheckPadTable* padTable = nullptr);
    ~CNetConnectCheck();
    CNetConnectCheck(const CNetConnectCheck&) = delete;
    CNetConnectCheck& operator=(const CNetConnectCheck&) = delete;

    // Returns the number of clusters (also kept as GetClusterCount). Where the hints know the net
    // and show it joined whole, the net's copper is not asked again; the clusters come out the
    // same with or without them.
    int32_t Check(const CClusterHints* hints = nullptr);
    int32_t GetClusterCount() const { return m_clusterCount; }

private:
    using LayerPads = CCheckPadTable::LayerPads;
    using PadSet = CCheckPadTable::PadSet;
    // A pin or a pad/via vertex: where it sits and the pads it has.
    struct PadItem {
        int32_t x = 0;
        int32_t y = 0;
        int32_t angle = 0;
        bool mirrored = false;
        const LayerPads* pads = nullptr;
    };

    const PadSet& PadSetOf(int32_t padStack, bool mirrored);
    const LayerPads& PadsOf(int32_t padStack, bool mirrored)
    {
        return PadSetOf(padStack, mirrored).pads;
    }
    int32_t ReachOf(int32_t padStack) { return PadSetOf(padStack, false).reach; }
    PadItem PinItem(int32_t pin);
    PadItem VertexItem(int32_t vertex);
    void SetPadOutline(CCopperShape& outline, const PadItem& item, const CPad& pad) const;
    // The flooded item's own pad outlined in m_outline; kept while the same pad is asked again.
    const CCopperShape& OwnOutline(const PadItem& own, const CPad& pad);
    // Whether the outline touches the item's pad, also when one lies inside the other.
    bool Touches(const CCopperShape& outline, const PadItem& item, const CPad& pad) const;
    // Whether the pads of the two items touch on a copper layer in use, outlined from `own`.
    bool PadsTouch(const PadItem& own, const PadItem& other);
    // Whether the outline touches the segment that ends at the drawn vertex.
    bool TouchesSegment(const CCopperShape& outline, int32_t vertex) const;
    bool IsCopperLayerInUse(int32_t layer) const;
    bool IsLayerInUse(int32_t layer) const;

    void ComputeBoxes();
    void IndexItems();
    void ClearClusters();
    // Floods every pin not reached yet, each starting a new cluster.
    void FloodAll();
    // Floods from the first pin along the hinted links alone, taking a touching pair at its
    // word; true when that reached every pin and vertex.
    bool FloodAlong(const CClusterHints::NetLinks& links);
    CRect VertexBox(int32_t vertex);
    void FloodFromPin(int32_t pin);
    void FloodFromVertex(int32_t vertex);
    void FloodFromSegment(int32_t vertex);
    void FloodFromVia(int32_t vertex);

    // Stamp an item with the cluster number and put it on the pending stack, once.
    void ReachPin(int32_t pin);
    void ReachVertex(int32_t vertex);
    // Every vertex of the run that holds the drawn vertex, but a pad it starts at.
    void ReachRun(int32_t vertex);

    // The pins and the vertices not reached yet whose boxes meet `box`.
    void FindCandidates(const CRect& box);

    CNetDocument& m_document;
    CNet& m_net;
    const CPadStackArray& m_padStacks;
    CCopperShape m_outline;
    const CPad* m_outlinedPad = nullptr;
    int32_t m_clusterCount = 0;

    // The lists below, sized per net: a thread's checks one after the other reuse them.
    struct Buffers;
    // The lists of the last check that ended on this thread, for the next one.
    static std::unique_ptr<Buffers>& SpareBuffers();
    std::unique_ptr<Buffers> m_buffers;
    // Copper boxes of pins and vertices (empty rectangle for vertices without copper).
    std::vector<CRect>& m_pinBoxes;
    std::vector<CRect>& m_vertexBoxes;
    // The pads of each pin and pad vertex as placed (null for other vertices).
    std::vector<const LayerPads*>& m_pinPads;
    std::vector<const LayerPads*>& m_vertexPads;
    std::vector<uint8_t>& m_pinReached;
    std::vector<uint8_t>& m_vertexReached;
    // Pins and vertices stamped so far.
    size_t m_reachedCount = 0;
    std::vector<int32_t>& m_pendingPins;
    std::vector<int32_t>& m_pendingVertices;
    std::vector<uint32_t>& m_pinCandidates;
    std::vector<uint32_t>& m_vertexCandidates;
    // Larger nets ask grids laid from the top left corner of their copper.
    size_t m_scanLimit;
    bool m_indexed = false;
    CSpatialGrid& m_pinGrid;
    CSpatialGrid& m_vertexGrid;
    int64_t m_originX = 0;
    int64_t m_originY = 0;
    const CCheckPadTable* m_padTable;
    // Without a table, nets mostly use a few padstacks; their pads are looked up once (each set
    // on its own: items keep pointing at them while more are added).
    std::vector<std::unique_ptr<PadSet>>& m_padSets;
    // Per entry of m_padSets, its stack and side (stack * 2 + mirrored): a short list to look
    // through, where the sets themselves are large.
    std::vector<int64_t>& m_padSetKeys;
    // Asked of the document only when needed: a flood along hints mostly never needs them.
    void KnowLayers();
    bool m_layersKnown = false;
    bool m_layerEnabled[LAYER_COUNT] = {};
};
