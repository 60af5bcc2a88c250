#include "analysis/CDrc.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <optional>

#include "analysis/CDrcDocument.h"
#include "analysis/CopperBoxes.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CProgDlg.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "framework/Numeric.h"
#include "model/CFieldRange.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

namespace {

using Kind = CCopperShape::Kind;

// Up to this many items of a net are scanned directly rather than asked of its grid.
constexpr size_t scannedItems = 64;
// Nets that take their turn between two looks at the Cancel button, and pairs of nets tested
// in one go on a thread: enough to keep every thread busy, few enough for a prompt Cancel.
constexpr int32_t netsPerBatch = 512;
constexpr size_t pairsPerChunk = 16;
// A batch holds about this many pairs at most, as nets whose copper overlaps everything (a
// damaged pad size) would pair every net with every other: the next batch takes fewer nets
// when the last one gave many pairs a net.
constexpr size_t pairsPerBatch = size_t(1) << 20;
// Likewise for the work, the items compared and tested: copper reaching across the board (long
// tracks, a net stitched all over) meets many items of many nets. The threads leave the rest of
// a batch, down to the pair in hand, to the listing, net by net with its Cancel, once they did
// this much: the Cancel button waits for a batch.
constexpr uint64_t workPerBatch = uint64_t(1) << 23;
// Copper beyond the coordinates a board uses, such as a track from one end of the coordinate
// range to the other, meets every item of every net, and would compare every net with every
// other at length, listing the same few records again and again. The pairs it is part of
// compare at most this many items for each item of the board, and the few more. A board without
// such copper is checked to its end, however far its nets reach.
constexpr uint64_t comparedPerItem = 64;
constexpr uint64_t minCompared = uint64_t(1) << 20;

int32_t NextBatchNets(size_t pairs, uint64_t work, int32_t nets)
{
    const uint64_t n = uint64_t(std::max(nets, 1));
    const uint64_t byPairs = pairsPerBatch / (pairs / n + 1);
    const uint64_t byWork = workPerBatch / (work / n + 1);
    return int32_t(std::clamp<uint64_t>(std::min(byPairs, byWork), 1, netsPerBatch));
}

bool Beyond(int64_t value)
{
    return value < -FieldRanges::coordinate || value > FieldRanges::coordinate;
}

bool Beyond(CPoint point)
{
    return Beyond(point.x) || Beyond(point.y);
}

uint32_t SignalLayersInUse(const CDrcDocument& document)
{
    uint32_t layers = 0;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (document.IsLayerEnabled(layer))
            layers |= LayerBit(layer);
    }
    return layers;
}

CRect ReachBox(int32_t x, int32_t y, int64_t reach)
{
    return CRect(SaturateToInt(x - reach), SaturateToInt(y - reach), SaturateToInt(x + reach),
                 SaturateToInt(y + reach));
}

CRect Grown(const CRect& box, int64_t by)
{
    return CRect(SaturateToInt(box.left - by), SaturateToInt(box.top - by),
                 SaturateToInt(box.right + by), SaturateToInt(box.bottom + by));
}

CRect Union(const CRect& a, const CRect& b)
{
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

// The same outline with the clearance added around it; only circles, points and tracks grow
// without changing their form.
bool Inflate(const CCopperShape& shape, int32_t by, CCopperShape& grown)
{
    const int64_t radius = int64_t(shape.GetRadius()) + by;
    switch (shape.GetKind()) {
    case Kind::Circle:
    case Kind::Point: {
        const int32_t r = shape.GetKind() == Kind::Point ? 0 : shape.GetRadius();
        grown.SetPad(PAD_ROUND, CRect(-r, -r, r, r), shape.GetCentre().x, shape.GetCentre().y,
                     false, 0, by);
        return true;
    }
    case Kind::Track:
        grown.SetTrack(shape.GetStart().x, shape.GetStart().y, shape.GetEnd().x, shape.GetEnd().y,
                       SaturateToInt(radius));
        return true;
    default:
        return false;
    }
}

bool RingsWithin(std::span<const CPoint> a, std::span<const CPoint> b, int32_t clearance)
{
    if (PolygonsCross(a, b) || PointInPolygon(a[0], b) || PointInPolygon(b[0], a))
        return true;
    for (size_t i = 1; i < a.size(); ++i) {
        for (size_t k = 1; k < b.size(); ++k) {
            if (SegmentsTouch(a[i - 1], a[i], b[k - 1], b[k], clearance, 0))
                return true;
        }
    }
    return false;
}

std::string FormatNetStatus(int32_t number, const std::string& name)
{
    return "Test Net:" + CNumberText::FormatInt(number) + "  " + name;
}

} // namespace

size_t CDrc::PairKeyHash::operator()(const PairKey& key) const
{
    uint64_t h = uint32_t(key.x1);
    h = h * 0x9E3779B97F4A7C15ull ^ uint32_t(key.y1);
    h = h * 0x9E3779B97F4A7C15ull ^ uint32_t(key.x2);
    h = h * 0x9E3779B97F4A7C15ull ^ uint32_t(key.y2);
    return std::hash<uint64_t>()(h);
}

CDrc::CDrc(CDrcDocument& document)
    : m_document(document), m_nets(document.GetNets()),
      m_contact(document.GetPadStacks(), SignalLayersInUse(document))
{
    // Every look-up of a stack walks its layers; nets share a few stacks.
    const CPadStackArray& padStacks = document.GetPadStacks();
    m_stacks.resize(size_t(std::max(padStacks.GetCount(), 0)));
    for (int32_t s = 0; s < int32_t(m_stacks.size()); ++s) {
        StackFacts& facts = m_stacks[size_t(s)];
        facts.layers[0] = m_contact.PadLayers(CopperPad{0, 0, s, 0, false});
        facts.layers[1] = m_contact.PadLayers(CopperPad{0, 0, s, 0, true});
        facts.reach = CNet::PadStackReach(padStacks, s);
        for (int32_t layer = LAYER_COMMON; layer < PADSTACK_LAYER_COUNT; ++layer) {
            if (const CPad* pad = padStacks.GetPad(s, layer)) {
                const CRect& r = pad->GetRect();
                facts.beyond = facts.beyond || Beyond(CPoint(r.left, r.top)) ||
                               Beyond(CPoint(r.right, r.bottom));
            }
        }
    }
}

CDrc::~CDrc() = default;

bool CDrc::WithinClearance(const CCopperShape& a, const CCopperShape& b, int32_t clearance)
{
    if (a.GetKind() == Kind::None || b.GetKind() == Kind::None)
        return false;
    if (!BoxesMeet(Grown(a.GetBounds(), int64_t(clearance) + 1), b.GetBounds()))
        return false;
    CCopperShape grown;
    if (Inflate(a, clearance, grown))
        return CCopperContact::OutlinesTouch(grown, b);
    if (Inflate(b, clearance, grown))
        return CCopperContact::OutlinesTouch(a, grown);
    // Two rings: grown rectangles would have square corners and report copper up to 1.4 times
    // the clearance away, so the edges are measured instead.
    return RingsWithin(a.GetPolygon(), b.GetPolygon(), clearance);
}

void CDrc::TestAll()
{
    const int32_t count = m_nets.GetCount();
    if (count < 2) {
        CServices::Messages().MessageBox(fewNetsText, "", MB_OK, MB_ICONEXCLAMATION);
        return;
    }
    std::vector<std::string>& report = m_document.GetReportLines();
    report.clear();
    m_nets.ClearErrors();
    m_listed.clear();
    m_listedKnown = true;
    const int64_t start = TraceClock();

    // Only nets whose boxes come within the largest clearance can meet: each net asks a grid of
    // the net boxes for those.
    m_items.resize(size_t(count));
    CWorkPool& pool = CWorkPool::Shared();
    pool.ForEach(size_t(count), [&](size_t i) {
        if (!m_items[i] && m_nets.GetNet(int32_t(i))) {
            auto items = std::make_unique<NetItems>();
            CollectItems(int32_t(i), *items);
            m_items[i] = std::move(items);
        }
    });
    int32_t widestClearance = 0;
    uint64_t itemCount = 0;
    std::vector<CRect> boxes;
    std::vector<int32_t> boxNets;
    for (int32_t i = 0; i < count; ++i) {
        const CNet* net = m_nets.GetNet(i);
        if (!net)
            continue;
        const NetItems& items = ItemsOf(i);
        if (!items.hasCopper)
            continue;
        itemCount += items.items.size();
        widestClearance = std::max(widestClearance, net->GetClearance());
        boxes.push_back(items.box);
        boxNets.push_back(i);
    }
    CBoxGrid netBoxes;
    netBoxes.Build(boxes);

    CProgDlg progress;
    progress.Create();
    progress.SetCaption("Test all Nets (" + CNumberText::FormatInt(count) + ")");
    progress.SetRange(1, SaturateToInt(int64_t(progressStep) * count));
    progress.SetStep(progressStep);
    m_cancelled = false;
    m_stopped = false;
    m_crowded = false;
    m_work = 0;
    m_mostWorkBetweenLooks = 0;
    uint64_t workAtLook = 0;
    const auto lookAtCancel = [&] {
        m_mostWorkBetweenLooks = std::max(m_mostWorkBetweenLooks, m_work - workAtLook);
        workAtLook = m_work;
        m_cancelled = m_cancelled || progress.CheckCancelButton();
        return m_cancelled;
    };
    // The listing looks at Cancel inside a net too: the pairs of nets reaching across the board
    // may take long.
    Watch listing;
    listing.look = [&](uint64_t work) {
        m_work += work;
        return lookAtCancel();
    };
    const uint64_t mostCompared = comparedPerItem * itemCount + minCompared;
    uint64_t comparedBeyond = 0;
    int32_t crowdedNet = 0;
    std::vector<std::vector<int32_t>> later;
    std::vector<std::pair<int32_t, int32_t>> pairs;
    std::vector<size_t> firstPair;
    std::vector<std::vector<Finding>> found;
    // Nets take their turns in batches: the pairs of a batch are tested on the pool, then listed
    // net by net, with the progress window and its Cancel, as one thread would.
    // Small at first: how many pairs a net gives is not known yet.
    int32_t batchNets = 16;
    const auto ended = [&] { return m_cancelled || m_stopped || m_crowded; };
    for (int32_t first = 0, end = 0; first + 1 < count && !ended(); first = end) {
        end = std::min(count - 1, first + batchNets);
        later.resize(size_t(end - first));
        pool.ForEach(size_t(end - first), [&](size_t k) {
            LaterNetsNear(first + int32_t(k), netBoxes, boxNets, widestClearance, later[k]);
        });
        pairs.clear();
        firstPair.clear();
        for (int32_t i = first; i < end; ++i) {
            firstPair.push_back(pairs.size());
            for (int32_t j : later[size_t(i - first)])
                pairs.emplace_back(i, j);
        }
        firstPair.push_back(pairs.size());
        found.assign(pairs.size(), {});
        std::vector<uint64_t> comparedOf(pairs.size(), 0);
        // No pair needs more findings than the errors still to be listed. Once the batch has
        // found that many, the threads leave the other pairs; those the listing reaches before
        // it is full are found then, so that the list is the same whatever the threads did. A
        // pair cut short whose findings the listing drops as listed by an earlier pair of the
        // batch is found again with what is listed by then.
        const auto room = [&] {
            return size_t(maxErrors - std::min(m_nets.GetErrorCount(), maxErrors));
        };
        const size_t batchRoom = room();
        std::atomic<size_t> foundInBatch{0};
        std::atomic<uint64_t> workInBatch{0};
        enum : uint8_t { notFound, foundAll, foundCut };
        std::vector<uint8_t> done(pairs.size(), notFound);
        // A pair left unfinished is not found: the listing finds it again.
        const auto findPair = [&](size_t p, Scratch& scratch, size_t limit, Watch& watch) {
            found[p].clear();
            Found into(found[p], limit, &m_listed, watch);
            FindPair(pairs[p].first, pairs[p].second, scratch, into);
            if (!into.left)
                FindPair(pairs[p].second, pairs[p].first, scratch, into);
            done[p] = into.left ? notFound : into.cut ? foundCut : foundAll;
            comparedOf[p] = into.compared;
            if (into.left)
                found[p].clear();
        };
        const size_t chunks = (pairs.size() + pairsPerChunk - 1) / pairsPerChunk;
        pool.ForEach(chunks, [&](size_t chunk) {
            Scratch scratch;
            // Threads adding to the shared count for every pair wait on one another: most pairs
            // find nothing, and what a chunk did is added once, or at each look.
            Watch watch;
            watch.look = [&](uint64_t work) {
                return workInBatch.fetch_add(work, std::memory_order_relaxed) + work > workPerBatch;
            };
            const size_t last = std::min(pairs.size(), (chunk + 1) * pairsPerChunk);
            for (size_t p = chunk * pairsPerChunk; p < last; ++p) {
                // Pairs are mostly found from both sides: twice the room lists about as many.
                if (foundInBatch.load(std::memory_order_relaxed) >= 2 * batchRoom ||
                    workInBatch.load(std::memory_order_relaxed) + watch.work > workPerBatch)
                    break;
                findPair(p, scratch, batchRoom, watch);
                if (done[p] == notFound)
                    break;
                if (!found[p].empty())
                    foundInBatch.fetch_add(found[p].size(), std::memory_order_relaxed);
            }
            workInBatch.fetch_add(watch.work, std::memory_order_relaxed);
        });
        m_work += workInBatch.load();
        batchNets = NextBatchNets(pairs.size(), workInBatch.load(), end - first);
        Scratch scratch;
        for (int32_t i = first; i < end && !ended(); ++i) {
            progress.StepIt();
            progress.SetStatus(FormatNetStatus(i + 1, m_nets.GetNetName(i)));
            for (size_t p = firstPair[size_t(i - first)];
                 p < firstPair[size_t(i - first) + 1] && !ended(); ++p) {
                if (done[p] == notFound)
                    findPair(p, scratch, room(), listing);
                // Still not found only when Cancel left it.
                while (done[p] != notFound) {
                    for (const Finding& finding : found[p]) {
                        Add(finding.layer, finding.first, finding.second);
                        if (m_nets.GetErrorCount() >= maxErrors) {
                            m_stopped = true;
                            break;
                        }
                    }
                    if (done[p] != foundCut || m_stopped)
                        break;
                    findPair(p, scratch, room(), listing);
                }
                std::vector<Finding>().swap(found[p]);
                // Counted as listed, so that the run stops at the same pair on any number of
                // threads.
                const int32_t beyond = m_items[size_t(pairs[p].first)]->beyond    ? pairs[p].first
                                       : m_items[size_t(pairs[p].second)]->beyond ? pairs[p].second
                                                                                  : -1;
                if (beyond >= 0 && done[p] != notFound) {
                    comparedBeyond += comparedOf[p];
                    if (comparedBeyond > mostCompared && !m_stopped) {
                        m_crowded = true;
                        crowdedNet = beyond;
                    }
                }
            }
            m_work += listing.work;
            listing.work = 0;
            if (!m_cancelled)
                lookAtCancel();
        }
    }

    m_items.clear();
    m_document.ShowErrorPane();
    if (m_stopped) {
        const std::string stopped =
            CResString::LoadWith(IDS_DRC_STOPPED, CNumberText::FormatInt(maxErrors));
        report.push_back(stopped);
        CServices::Messages().MessageBox(stopped, reportName, MB_OK, MB_ICONEXCLAMATION);
    }
    if (m_crowded) {
        const std::string stopped =
            CResString::LoadWith(IDS_DRC_TOO_CROWDED, m_nets.GetNetName(crowdedNet));
        report.push_back(stopped);
        CServices::Messages().MessageBox(stopped, reportName, MB_OK, MB_ICONEXCLAMATION);
    }
    report.push_back(TraceElapsed(start, reportName));
}

void CDrc::LaterNetsNear(int32_t i, const CBoxGrid& netBoxes, const std::vector<int32_t>& boxNets,
                         int32_t reach, std::vector<int32_t>& later) const
{
    later.clear();
    if (!m_nets.GetNet(i) || !m_items[size_t(i)]->hasCopper)
        return;
    std::vector<uint32_t> near;
    netBoxes.Query(Grown(m_items[size_t(i)]->box, int64_t(reach) + 1), near);
    for (uint32_t k : near) {
        if (boxNets[k] > i)
            later.push_back(boxNets[k]);
    }
    // The records come in the order of the plain loop over every later net.
    std::sort(later.begin(), later.end());
}

void CDrc::TestNetPair(int32_t a, int32_t b)
{
    if (!m_nets.GetNet(a) || !m_nets.GetNet(b) || a == b)
        return;
    ItemsOf(a);
    ItemsOf(b);
    Scratch scratch;
    std::vector<Finding> found;
    Watch never;
    never.look = [](uint64_t) { return false; };
    Found into(found, SIZE_MAX, nullptr, never);
    FindPair(a, b, scratch, into);
    for (const Finding& finding : found)
        Add(finding.layer, finding.first, finding.second);
}

void CDrc::FindPair(int32_t a, int32_t b, Scratch& scratch, Found& found) const
{
    const CNet* netA = m_nets.GetNet(a);
    const CNet* netB = m_nets.GetNet(b);
    if (!netA || !netB || a == b)
        return;
    const NetItems& itemsA = *m_items[size_t(a)];
    const NetItems& itemsB = *m_items[size_t(b)];
    if (!itemsA.hasCopper || !itemsB.hasCopper)
        return;
    const int32_t clearance = std::max(std::max(netA->GetClearance(), netB->GetClearance()), 0);
    const CRect reachB = Grown(itemsB.box, int64_t(clearance) + 1);
    if (!BoxesMeet(itemsA.box, reachB))
        return;

    // The items of net a that can reach net b at all, each with the items of net b near it on
    // a layer they share, looked up once for every layer. A net spread over the board, such as
    // a ground net, meets most other nets: its grid gives the items near each of them instead
    // of a scan of all.
    scratch.reaching.clear();
    ItemsMeeting(itemsA, reachB, scratch.reaching);
    found.compared += scratch.reaching.size();
    if (found.Work(scratch.reaching.size()))
        return;
    scratch.near.clear();
    scratch.nearStart.clear();
    uint32_t layersNear = 0;
    size_t kept = 0;
    for (uint32_t k : scratch.reaching) {
        const Item& item = itemsA.items[k];
        const size_t from = scratch.near.size();
        ItemsMeeting(itemsB, Grown(item.box, int64_t(clearance) + 1), scratch.near);
        found.compared += scratch.near.size() - from;
        if (found.Work(scratch.near.size() - from + 1))
            return;
        scratch.near.erase(
            std::remove_if(scratch.near.begin() + std::ptrdiff_t(from), scratch.near.end(),
                           [&](uint32_t n) { return (itemsB.items[n].layers & item.layers) == 0; }),
            scratch.near.end());
        if (scratch.near.size() == from)
            continue;
        scratch.reaching[kept++] = k;
        scratch.nearStart.push_back(uint32_t(from));
        layersNear |= item.layers;
    }
    scratch.reaching.resize(kept);
    scratch.nearStart.push_back(uint32_t(scratch.near.size()));

    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        const uint32_t bit = LayerBit(layer);
        if (!m_contact.IsLayerInUse(layer) || (layersNear & bit) == 0)
            continue;
        // Pins, then vias, then tracks of net a, as the records are listed.
        for (ItemKind kind : {ItemKind::Pin, ItemKind::Via, ItemKind::Track}) {
            for (size_t r = 0; r < scratch.reaching.size(); ++r) {
                const Item& item = itemsA.items[scratch.reaching[r]];
                if (item.kind != kind || (item.layers & bit) == 0)
                    continue;
                const std::span<const uint32_t> near(scratch.near.data() + scratch.nearStart[r],
                                                     scratch.near.data() +
                                                         scratch.nearStart[r + 1]);
                // The item's tests are counted at once: counting each would slow the common
                // case.
                if (found.Full() || found.Work(near.size()))
                    return;
                if (kind == ItemKind::Track)
                    TestTrack(a, b, item, layer, clearance, near, found);
                else
                    TestPinOrVia(a, b, item, layer, clearance, near, found);
            }
        }
    }
}

void CDrc::ItemsMeeting(const NetItems& net, const CRect& reach, std::vector<uint32_t>& into)
{
    if (net.items.size() <= scannedItems) {
        for (size_t k = 0; k < net.items.size(); ++k) {
            if (BoxesMeet(net.items[k].box, reach))
                into.push_back(uint32_t(k));
        }
        return;
    }
    const size_t from = into.size();
    net.grid.Query(reach, into);
    std::sort(into.begin() + std::ptrdiff_t(from), into.end());
}

CDrc::NetItems& CDrc::ItemsOf(int32_t net)
{
    if (m_items.size() < size_t(m_nets.GetCount()))
        m_items.resize(size_t(m_nets.GetCount()));
    std::unique_ptr<NetItems>& slot = m_items[size_t(net)];
    if (!slot) {
        slot = std::make_unique<NetItems>();
        CollectItems(net, *slot);
    }
    return *slot;
}

void CDrc::CollectItems(int32_t netIndex, NetItems& into) const
{
    const CNet& net = *m_nets.GetNet(netIndex);
    auto addPad = [&](ItemKind kind, int32_t index, const CopperPad& pad) {
        if (pad.padStack < 0 || pad.padStack >= int32_t(m_stacks.size())) {
            // The table's lookup leaves its "Pad Error in Lib" mark (safe from any thread).
            m_document.GetPadStacks().GetPadStack(pad.padStack);
            return;
        }
        const StackFacts& facts = m_stacks[size_t(pad.padStack)];
        into.beyond = into.beyond || facts.beyond || Beyond(CPoint(pad.x, pad.y));
        Item item;
        item.kind = kind;
        item.index = index;
        item.pad = pad;
        item.layers = facts.layers[pad.mirrored ? 1 : 0];
        if (item.layers == 0)
            return;
        item.box = ReachBox(pad.x, pad.y, int64_t(facts.reach) + 1);
        into.items.push_back(item);
    };
    for (int32_t i = 0; i < net.GetPinCount(); ++i) {
        const NetPinRec& pin = net.GetPin(i);
        addPad(ItemKind::Pin, i, CopperPad{pin.x, pin.y, pin.padStack, pin.angle, pin.side != 0});
    }
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        const TrackRec& rec = net.GetVertex(i);
        if (rec.IsPad()) {
            addPad(ItemKind::Via, i,
                   CopperPad{rec.x, rec.y, rec.GetPadStack(), rec.GetRotation(), rec.IsMirrored()});
            continue;
        }
        if (i == 0 || !rec.IsDrawn() || !m_contact.IsLayerInUse(rec.GetLayer()))
            continue;
        const TrackRec& prev = net.GetVertex(i - 1);
        into.beyond = into.beyond || Beyond(CPoint(prev.x, prev.y)) || Beyond(CPoint(rec.x, rec.y));
        Item item;
        item.kind = ItemKind::Track;
        item.index = i;
        item.layers = LayerBit(rec.GetLayer());
        item.segment = CopperSegment{CPoint(prev.x, prev.y), CPoint(rec.x, rec.y),
                                     net.GetVertexWidth(i) / 2, rec.GetLayer()};
        const int64_t half = int64_t(item.segment.halfWidth) + 1;
        item.box = CRect(SaturateToInt(std::min(prev.x, rec.x) - half),
                         SaturateToInt(std::min(prev.y, rec.y) - half),
                         SaturateToInt(std::max(prev.x, rec.x) + half),
                         SaturateToInt(std::max(prev.y, rec.y) + half));
        into.items.push_back(item);
    }

    into.beyond = into.beyond || Beyond(net.GetClearance());
    std::vector<CRect> boxes;
    for (const Item& item : into.items) {
        into.box = into.hasCopper ? Union(into.box, item.box) : item.box;
        into.hasCopper = true;
        if (into.items.size() > scannedItems)
            boxes.push_back(item.box);
    }
    into.grid.Build(boxes);
}

bool CDrc::Outline(const Item& item, int32_t layer, CCopperShape& outline) const
{
    if (item.kind == ItemKind::Track) {
        const CopperSegment& s = item.segment;
        outline.SetTrack(s.from.x, s.from.y, s.to.x, s.to.y, s.halfWidth);
        return true;
    }
    return m_contact.PadOutline(item.pad, layer, outline);
}

std::string CDrc::PadText(int32_t net, const Item& item) const
{
    const NetPinRec& pin = m_nets.GetNet(net)->GetPin(item.index);
    return "Pad " + m_document.GetComponentReference(pin.component) + "(" +
           CNumberText::FormatInt(int32_t(pin.pad) + 1) + ")";
}

void CDrc::TestPinOrVia(int32_t a, int32_t b, const Item& item, int32_t layer, int32_t clearance,
                        std::span<const uint32_t> near, Found& found) const
{
    CCopperShape outline;
    if (!Outline(item, layer, outline))
        return;
    const CPoint at(item.pad.x, item.pad.y);
    // Named only when it meets something: most items meet nothing.
    std::optional<CNetErrorRec::Item> first;
    const NetItems& itemsB = *m_items[size_t(b)];
    const uint32_t bit = LayerBit(layer);
    // A pin meets the other net's pins, vias and tracks; a via its vias and tracks (its pins
    // meet the via from their own side).
    for (ItemKind kind : {ItemKind::Pin, ItemKind::Via, ItemKind::Track}) {
        if (kind == ItemKind::Pin && item.kind != ItemKind::Pin)
            continue;
        for (uint32_t k : near) {
            if (found.Full())
                return;
            const Item& other = itemsB.items[k];
            if (other.kind != kind || (other.layers & bit) == 0)
                continue;
            CCopperShape otherOutline;
            if (!Outline(other, layer, otherOutline) ||
                !WithinClearance(outline, otherOutline, clearance))
                continue;
            CNetErrorRec::Item second{"Track", b, CPoint(other.pad.x, other.pad.y)};
            if (kind == ItemKind::Pin)
                second.text = PadText(b, other);
            else if (kind == ItemKind::Via)
                second.text = "Via";
            else
                PointToSegmentDistance(other.segment.from, other.segment.to, at, second.position);
            if (!first)
                first = CNetErrorRec::Item{
                    item.kind == ItemKind::Pin ? PadText(a, item) : std::string("Via"), a, at};
            found.findings.push_back(Finding{layer, *first, second});
        }
    }
}

void CDrc::TestTrack(int32_t a, int32_t b, const Item& item, int32_t layer, int32_t clearance,
                     std::span<const uint32_t> near, Found& found) const
{
    CCopperShape outline;
    Outline(item, layer, outline);
    const NetItems& itemsB = *m_items[size_t(b)];
    const CopperSegment& s = item.segment;
    for (uint32_t k : near) {
        if (found.Full())
            return;
        const Item& other = itemsB.items[k];
        if (other.kind != ItemKind::Track || other.segment.layer != layer)
            continue;
        CCopperShape otherOutline;
        Outline(other, layer, otherOutline);
        if (!WithinClearance(outline, otherOutline, clearance))
            continue;
        // The nearest pair of points: an end of one segment and its foot on the other.
        const CopperSegment& t = other.segment;
        CPoint foot[4];
        // A distance across the whole coordinate range saturates to INT32_MIN, which has no
        // 32-bit magnitude.
        const auto distance = [](CPoint a, CPoint b, CPoint p, CPoint& nearest) {
            return std::abs(int64_t(PointToSegmentDistance(a, b, p, nearest)));
        };
        const int64_t d[4] = {
            distance(s.from, s.to, t.from, foot[0]), distance(s.from, s.to, t.to, foot[1]),
            distance(t.from, t.to, s.from, foot[2]), distance(t.from, t.to, s.to, foot[3])};
        const int32_t best = int32_t(std::min_element(d, d + 4) - d);
        const CPoint positions[4][2] = {
            {foot[0], t.from}, {foot[1], t.to}, {s.from, foot[2]}, {s.to, foot[3]}};
        found.findings.push_back(Finding{layer, CNetErrorRec::Item{"Track", a, positions[best][0]},
                                         CNetErrorRec::Item{"Track", b, positions[best][1]}});
    }
}

bool CDrc::Found::Look()
{
    const uint64_t work = watch.work;
    watch.work = 0;
    left = left || watch.look(work);
    cut = cut || left;
    return left;
}

bool CDrc::Found::FullOnceWeeded()
{
    KeySet seen;
    std::erase_if(findings, [&](const Finding& finding) {
        const PairKey key = KeyOf(finding.first.position, finding.second.position);
        return (listed && listed->contains(key)) || !seen.insert(key).second;
    });
    if (findings.size() >= limit) {
        cut = true;
        return true;
    }
    // Weeding again only after as many more keeps the work of weeding in proportion to the
    // findings made.
    weedAt = findings.size() + std::min(limit, SIZE_MAX - findings.size());
    return false;
}

CDrc::PairKey CDrc::KeyOf(CPoint p, CPoint q)
{
    if (std::pair(q.x, q.y) < std::pair(p.x, p.y))
        std::swap(p, q);
    return PairKey{p.x, p.y, q.x, q.y};
}

void CDrc::Add(int32_t layer, const CNetErrorRec::Item& first, const CNetErrorRec::Item& second)
{
    // The net list keeps one record per pair of positions, in either order.
    if (!m_listedKnown) {
        for (int32_t i = 0; i < m_nets.GetErrorCount(); ++i) {
            const CNetErrorRec& error = *m_nets.GetError(i);
            m_listed.insert(KeyOf(error.GetFirst().position, error.GetSecond().position));
        }
        m_listedKnown = true;
    }
    if (!m_listed.insert(KeyOf(first.position, second.position)).second)
        return;
    CNetErrorRec record(first, second);
    record.SetKind(layer);
    m_nets.AddDistinctError(record);
}
