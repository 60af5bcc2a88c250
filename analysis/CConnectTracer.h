#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "analysis/CBoxGrid.h"
#include "analysis/CClusterHints.h"
#include "analysis/CCopperContact.h"
#include "framework/CRect.h"
#include "model/LayerIds.h"
#include "model/TrackRec.h"

class CNetArray;
class CPad;
class CTracerDocument;
class CUnionFind;

// Decides which copper belongs to which net by flooding over touching copper: pins, track
// segments and pads or vias. Made for one operation and dropped after it.
//
// Every operation first gathers the copper of all nets into net 0, each vertex kept with its
// width. When net 0's pen table cannot take the widths of the other nets (after dropping the
// widths no copper of net 0 draws with), the user is told and the operation changes nothing:
// it returns false. The flood keeps its marks and its pending items to itself, so neither the
// number of nets nor the length of runs and pad chains meets a limit of its own.
class CConnectTracer {
public:
    // A pad names its net in 16 bits; further groups of pins stay in net 0.
    static constexpr int32_t maxNet = 65535;

    explicit CConnectTracer(CTracerDocument& document);
    CConnectTracer(const CConnectTracer&) = delete;
    CConnectTracer& operator=(const CConnectTracer&) = delete;

    // Net 0 alone is left, holding all copper and every pin; every pad is on no net.
    bool AllNetsToNet0();
    // Nets afresh from the copper alone: each group of pins joined by copper becomes a net,
    // named by the first free number from its own number on, with the copper it reaches.
    // Copper that reaches no pin stays in net 0, as do the groups past maxNet (with a
    // message).
    bool RebuildFromTracks();
    // The nets and the pads' nets stay; each net, in net order, takes from net 0 the copper
    // its own pins reach (through pads of no net too, never through another net's pads).
    bool UpdateFromNetPins();

private:
    struct Pin {
        CopperPad pad;
        int32_t component = 0;
        int32_t padIndex = 0;
        int32_t net = 0;
        // The pin's layers, kept for handing it back to a net.
        uint32_t layerMask = 0;
    };

    // Nets lie apart on the heap: a pass over all of them asks for net n's record (and for the
    // lists of a net asked for before) some places ahead of its turn.
    static constexpr int32_t netsAhead = 8;
    static constexpr size_t cacheLine = 64;
    void PrefetchNet(int32_t n) const;

    bool GatherIntoNetZero();
    // The widths of the other nets' copper join net 0's pen table; false, changing nothing,
    // when there is no room.
    bool TakeWidthsIntoNetZero();
    // Every vertex of the other nets is appended to net 0, net by net, with net 0's pen of
    // its width, and deselected.
    void MoveCopperIntoNetZero();
    // Net 0's pen table takes the widths, dropping widths none of its copper draws with when
    // they do not fit; false, with a message and nothing changed, when they still do not.
    bool AddWidthsToNetZero(const std::vector<uint16_t>& missing);
    // Gathers, leaves every pad on no net and deletes every net but net 0.
    bool ClearToNetZero();

    // The pins of every net and net 0's vertices, their boxes and the grid over those that
    // can touch other copper. Net 0 hands its vertices over: it is left without copper or
    // pins until the copper is distributed.
    void CollectItems();
    int32_t PadStackReach(int32_t padStack);
    // Pins, pads and vias, and drawn segments on layers in use: what has copper to touch with.
    bool CanTouch(int32_t item) const;
    // Whether the copper of two items that can touch meets; the same whichever comes first.
    bool Touch(int32_t a, int32_t b) const;
    // Two items the tracer found touching.
    struct Joined {
        uint32_t a = 0;
        uint32_t b = 0;
    };
    // Joins the vertices of every run and every pair of touching items; the pairs are found on
    // the work pool. A pad a run starts at is joined with it only where their copper touches.
    // Every pin stays open: for rebuilding from tracks only. Returns the pairs whose contact
    // joined two groups.
    std::vector<Joined> JoinTouchingItems(CUnionFind& groups) const;
    // The joined pairs as links between the items of the nets now holding them, for the
    // cluster check.
    CClusterHints HintsFrom(const std::vector<Joined>& joined) const;
    // Floods from each start pin not reached yet, stamping what it reaches with `net`.
    void Flood(const std::vector<int32_t>& startPins, int32_t net);
    // Stamps the item (and the rest of its run) and puts it on the pending stack.
    void Reach(int32_t item);
    // Every vertex of the run, but a pad it starts at.
    void ReachRun(int32_t vertex);
    void Stamp(int32_t item);
    // The items whose boxes meet the item's box, not reached yet and open to the flood.
    const std::vector<uint32_t>& Candidates(int32_t item);
    bool IsOpen(uint32_t item) const;

    // The pads of a padstack on the signal layers in use, as an item on one board side sees
    // them; layers whose pads have the same form share one.
    struct PadSet {
        uint32_t layers = 0;
        std::array<const CPad*, LAYER_INNER_12 + 1> pads{};
    };
    // Looks the pad's padstack up for its side, once; CollectItems does it for every item, so
    // that the contact tests only read (from any thread).
    void PreparePadSet(const CopperPad& pad);
    const PadSet& PadsOf(const CopperPad& pad) const;
    // As CCopperContact answers them, with each padstack's pads looked up once and layers with
    // the same pads on both items tried once.
    bool PadsTouch(const CopperPad& a, const CopperPad& b) const;
    bool PadTouchesSegment(const CopperPad& pad, const CopperSegment& segment) const;
    static bool PadOutline(const CopperPad& pad, const CPad& found, CCopperShape& outline);

    bool IsPin(int32_t item) const { return item < int32_t(m_pins.size()); }
    int32_t VertexOf(int32_t item) const { return item - int32_t(m_pins.size()); }
    int32_t ItemOf(int32_t vertex) const { return vertex + int32_t(m_pins.size()); }
    bool IsDrawn(int32_t vertex) const;
    CopperPad VertexPad(int32_t vertex) const;
    CopperSegment Segment(int32_t vertex) const;

    // A drawn vertex that goes to another net than the pad its run starts at needs a start of
    // its own there, at the pad.
    bool NeedsOwnStart(int32_t vertex) const;
    // The items first..end-1 ordered by their stamps (below `nets`), each net's in item order.
    std::vector<int32_t> InNetOrder(int32_t first, int32_t end, int32_t nets) const;
    // Hands every vertex stamped with a net to that net, in net 0's order, and every pin to its
    // net (HandPinsToNets); net 0 keeps the rest. Each net's box is worked out as it is filled.
    void DistributeVertices();
    // The pins collected at the start go to the nets in their `net`, each net's in the order
    // they were collected: the order of the components and their pads, as the pads' nets would
    // lay them out afresh, without working out a pad's place again.
    void HandPinsToNets();
    // Clusters and ratsnest afresh; the pairs joined, when given, hint the clusters.
    void Finish(const std::vector<Joined>* joined = nullptr);

    CTracerDocument& m_document;
    CNetArray& m_nets;
    CCopperContact m_contact;
    int32_t m_net = 0;

    // The pins of every net in net order, each net's in its own order; a pin's `net` is the net
    // it ends in.
    std::vector<Pin> m_pins;
    std::vector<TrackRec> m_vertices;
    // Pen widths of net 0's vertices, 0 for pads and run starts.
    std::vector<int32_t> m_widths;
    // Per item (pins first, then vertices): the box its copper can reach, empty without copper,
    // and the net that reached it (0: not reached).
    std::vector<CRect> m_boxes;
    std::vector<int32_t> m_stamps;
    std::vector<int32_t> m_pending;
    std::vector<uint32_t> m_candidates;
    // Per padstack: how far its pads reach from the origin; -1 until asked.
    std::vector<int32_t> m_reach;
    // Per padstack and side (stack * 2 + mirrored): its entry in m_padSets, -1 until asked. The
    // first entry has no pads, for numbers naming no padstack.
    std::vector<int32_t> m_padSetOf;
    std::deque<PadSet> m_padSets;
    // The boxes of the items that can touch, fitted to where the copper lies; grid entry k
    // stands for item m_gridItems[k], in increasing item order.
    CBoxGrid m_grid;
    std::vector<uint32_t> m_gridItems;
    std::vector<uint32_t> m_found;
};
