#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "analysis/CBoxGrid.h"
#include "analysis/CCopperContact.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CCopperShape.h"
#include "model/CNetErrorRec.h"

class CDrcDocument;
class CNetArray;

// The design-rule check of all nets: copper of two different nets (pins, pads and vias, track
// segments) on a signal layer in use that comes closer than the larger of the two nets'
// clearances becomes an error record in the net list. Made for one run and dropped after it.
//
// Each net's items are collected once, with the box their copper covers, into a grid of boxes of
// the check's own; an item asks the other net's grid over its box grown by the clearance, so
// every item that can come near it is tested, however large its pad or wherever the two lie
// across cell borders. The pairs of nets are tested side by side on the work pool; the records
// are listed in the same order whatever the number of threads. Distances are measured between the
// real outlines (round, oval, rectangular and octagonal pads, connector and device pads by their
// rectangle, segments with round ends), and copper lying inside other copper counts as a violation
// too.
class CDrc {
public:
    static constexpr char fewNetsText[] = "DRC Error! Minimal 2 Nets.";
    static constexpr char reportName[] = "DRC Test All";
    static constexpr int32_t progressStep = 10;
    // A run stops once it has listed this many errors: copper of a damaged size that overlaps
    // everything would otherwise list every pair of pads on the board.
    static constexpr int32_t maxErrors = 10000;

    explicit CDrc(CDrcDocument& document);
    ~CDrc();
    CDrc(const CDrc&) = delete;
    CDrc& operator=(const CDrc&) = delete;

    // Replaces the net list's error records by those of every pair of nets, both ways round,
    // with a progress window whose Cancel ends the run after the net in hand, or inside it once
    // its pairs took long (that pair's records are left out); appends the elapsed-time line to
    // the report lines and shows the error pane. Fewer than 2 nets: a message and nothing else.
    // A run that reaches maxErrors stops there and says so, in a message and in the report
    // lines. So does a run in which copper beyond the coordinates a board uses, which only a
    // damaged file holds, meets far more copper than the board holds; any other board is checked to
    // its end, however far its nets reach.
    void TestAll();
    // The items of net a against the items of net b; adds the records not yet listed.
    void TestNetPair(int32_t a, int32_t b);
    bool WasCancelled() const { return m_cancelled; }
    bool WasStopped() const { return m_stopped; }
    // The run stopped as copper beyond the coordinates a board uses met far more copper than a
    // board holds.
    bool WasCrowded() const { return m_crowded; }
    // Items compared and tested in the last TestAll, on all threads; and the most of them made
    // between two looks at Cancel, which keeps Cancel prompt whatever the board.
    uint64_t WorkDone() const { return m_work; }
    uint64_t MostWorkBetweenLooks() const { return m_mostWorkBetweenLooks; }

    // Whether two outlines come within `clearance` of each other (or overlap).
    static bool WithinClearance(const CCopperShape& a, const CCopperShape& b, int32_t clearance);

private:
    enum class ItemKind : uint8_t { Pin, Via, Track };
    struct Item {
        ItemKind kind = ItemKind::Pin;
        int32_t index = 0;
        // Signal layers in use on which the item has copper (bit L-1 for layer L).
        uint32_t layers = 0;
        CRect box;
        CopperPad pad;
        CopperSegment segment;
    };
    struct NetItems {
        std::vector<Item> items;
        // Only for nets of more items than are scanned directly.
        CBoxGrid grid;
        // Union of the item boxes; empty when the net has no copper.
        CRect box;
        bool hasCopper = false;
        // A position, size or clearance of its copper lies beyond the coordinates a board uses.
        bool beyond = false;
    };
    struct StackFacts {
        // Signal layers in use with copper, as placed and mirrored.
        uint32_t layers[2] = {0, 0};
        int32_t reach = 0;
        bool beyond = false;
    };
    // Counts the work of a thread, or of the listing, and asks `look` every so much of it
    // whether to leave the pair in hand unfinished: a thread when its batch did its share, the
    // listing when Cancel was pressed.
    struct Watch {
        static constexpr uint64_t lookEvery = uint64_t(1) << 16;
        // Work since the last look.
        uint64_t work = 0;
        std::function<bool(uint64_t work)> look;
    };
    // A record found, not yet listed: records are listed in the order of the plain loop over
    // the pairs, whichever thread found them.
    struct Finding {
        int32_t layer = 0;
        CNetErrorRec::Item first;
        CNetErrorRec::Item second;
    };
    struct PairKey {
        int32_t x1, y1, x2, y2;
        bool operator==(const PairKey&) const = default;
    };
    struct PairKeyHash {
        size_t operator()(const PairKey& key) const;
    };
    using KeySet = std::unordered_set<PairKey, PairKeyHash>;
    // The findings of one pair of nets as they are made, up to `limit` of them that listing
    // keeps. Listing drops a record whose positions are listed already (the same clash on the
    // other layer, or found again from the other net's side): counting those would end the pair
    // before records that are listed.
    struct Found {
        std::vector<Finding>& findings;
        size_t limit = SIZE_MAX;
        // The records listed before the pair's turn; none outside TestAll.
        const KeySet* listed = nullptr;
        // The findings are weeded of those listing would drop once they reach this many.
        size_t weedAt = SIZE_MAX;
        // The pair has more findings than were kept.
        bool cut = false;
        // Items of either net looked at for the other, whatever the limit.
        uint64_t compared = 0;
        Watch& watch;
        // The watch said to leave the pair: its findings are not all there (and it counts as
        // cut, so that no more are made).
        bool left = false;

        Found(std::vector<Finding>& into, size_t most, const KeySet* before, Watch& by)
            : findings(into), limit(most), listed(before), weedAt(most), watch(by)
        {
        }
        // Whether the findings hold `limit` that will be listed, or the pair is left; weeds
        // them when due. Asked for every item compared, so the common answer is given here.
        bool Full() { return cut || (findings.size() >= weedAt && FullOnceWeeded()); }
        bool FullOnceWeeded();
        // Counts `amount` of work; true once the pair is left.
        bool Work(uint64_t amount) { return (watch.work += amount) >= Watch::lookEvery && Look(); }
        bool Look();
    };
    // Working lists of one thread.
    struct Scratch {
        std::vector<uint32_t> reaching;
        // The items of the other net near reaching[r] are near[nearStart[r] .. nearStart[r + 1]).
        std::vector<uint32_t> near;
        std::vector<uint32_t> nearStart;
    };

    NetItems& ItemsOf(int32_t net);
    void CollectItems(int32_t net, NetItems& into) const;
    // The later nets whose boxes come within `reach` of net i's, in index order.
    void LaterNetsNear(int32_t i, const CBoxGrid& netBoxes, const std::vector<int32_t>& boxNets,
                       int32_t reach, std::vector<int32_t>& later) const;
    // What TestNetPair lists, found without listing it, into `found`; the items of both nets are
    // collected.
    void FindPair(int32_t a, int32_t b, Scratch& scratch, Found& found) const;
    // Appends the items of the net whose boxes meet `reach`, in item order.
    static void ItemsMeeting(const NetItems& net, const CRect& reach, std::vector<uint32_t>& into);
    bool Outline(const Item& item, int32_t layer, CCopperShape& outline) const;
    std::string PadText(int32_t net, const Item& item) const;

    // `near`: the items of net b near the item, in item order. Both stop once `found` is full.
    void TestPinOrVia(int32_t a, int32_t b, const Item& item, int32_t layer, int32_t clearance,
                      std::span<const uint32_t> near, Found& found) const;
    void TestTrack(int32_t a, int32_t b, const Item& item, int32_t layer, int32_t clearance,
                   std::span<const uint32_t> near, Found& found) const;
    void Add(int32_t layer, const CNetErrorRec::Item& first, const CNetErrorRec::Item& second);
    static PairKey KeyOf(CPoint p, CPoint q);

    CDrcDocument& m_document;
    CNetArray& m_nets;
    CCopperContact m_contact;
    // Per pad stack number.
    std::vector<StackFacts> m_stacks;
    std::vector<std::unique_ptr<NetItems>> m_items;
    KeySet m_listed;
    bool m_listedKnown = false;
    bool m_cancelled = false;
    bool m_stopped = false;
    bool m_crowded = false;
    uint64_t m_work = 0;
    uint64_t m_mostWorkBetweenLooks = 0;
};
