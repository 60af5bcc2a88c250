#include "analysis/CConnectTracer.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <string>

#include "analysis/CPadPairsTried.h"
#include "analysis/CTracerDocument.h"
#include "analysis/CUnionFind.h"
#include "analysis/CopperBoxes.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetArrayDocument.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

namespace {

uint32_t SignalLayersInUse(const CTracerDocument& document)
{
    uint32_t layers = 0;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (document.IsLayerEnabled(layer))
            layers |= LayerBit(layer);
    }
    return layers;
}

// The first drawing pen (1 on) of the width; pen 0 only ever starts a run.
int32_t FindDrawingPen(const std::vector<uint16_t>& pens, int32_t width)
{
    for (size_t p = 1; p < pens.size(); ++p) {
        if (pens[p] == width)
            return int32_t(p);
    }
    return -1;
}

void AddUnique(std::vector<uint16_t>& widths, int32_t width)
{
    if (std::find(widths.begin(), widths.end(), width) == widths.end())
        widths.push_back(uint16_t(width));
}

void ShowWarning(uint32_t text)
{
    CServices::Messages().MessageBox(CResString::Load(text), "", MB_OK, MB_ICONWARNING);
}

// The net takes the pen table; every drawn vertex keeps its width, the current pen too when
// the table still has it.
void KeepOnlyPens(CNet& net, const std::vector<uint16_t>& pens)
{
    const int32_t currentWidth = net.GetCurrentPenWidth();
    std::vector<int32_t> widths(size_t(net.GetVertexCount()), -1);
    for (int32_t v = 0; v < net.GetVertexCount(); ++v)
        widths[size_t(v)] = net.GetVertexPen(v) >= 1 ? net.GetVertexWidth(v) : -1;
    net.SetPenTable(pens);
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        if (widths[size_t(v)] >= 0)
            net.SetVertexPen(v, std::max(FindDrawingPen(pens, widths[size_t(v)]), 0));
    }
    net.SetCurrentPen(std::max(FindDrawingPen(pens, currentWidth), 0));
}

} // namespace

CConnectTracer::CConnectTracer(CTracerDocument& document)
    : m_document(document), m_nets(document.GetNets()),
      m_contact(document.GetPadStacks(), SignalLayersInUse(document)),
      m_padSetOf(size_t(std::max(document.GetPadStacks().GetCount(), 0)) * 2, -1), m_padSets(1)
{
}

// ---- Operations ---------------------------------------------------------------------------------

bool CConnectTracer::AllNetsToNet0()
{
    if (!ClearToNetZero())
        return false;
    m_nets.CalcBoundingBoxes();
    return true;
}

bool CConnectTracer::RebuildFromTracks()
{
    if (!ClearToNetZero())
        return false;
    CollectItems();

    // A flood from each pin not reached yet, in pin order, reaches the pin's whole group of
    // joined items, since every pin lets it pass; and a group is named by its smallest item,
    // which is its first pin when it has one.
    CUnionFind groups(m_boxes.size());
    const std::vector<Joined> joined = JoinTouchingItems(groups);
    const CNet& zero = *m_nets.GetNet(0);
    std::vector<int32_t> groupNet(m_pins.size(), 0);
    int32_t net = 0;
    // The names made so far are numbers below this one.
    int64_t nextNumber = 1;
    for (uint32_t i = 0; i < uint32_t(m_pins.size()); ++i) {
        if (groups.Find(i) != i)
            continue;
        if (net == maxNet) {
            ShowWarning(IDS_TRACER_TOO_MANY_NETS);
            break;
        }
        ++net;
        // The first number from the net's own on that no net bears yet. Every number below the
        // next one is taken already (net 0's name can take one of them), so the search starts
        // there and has only net 0's name left to step over.
        int64_t number = std::max<int64_t>(net, nextNumber);
        std::string name = std::to_string(number);
        while (name == zero.GetName())
            name = std::to_string(++number);
        nextNumber = number + 1;
        const int32_t index = m_nets.AddNetWithWidths(name, zero.GetMinWidth(), zero.GetMaxWidth(),
                                                      zero.GetClearance());
        // Net 0's pen numbers stay valid for the copper the net takes.
        m_nets.GetNet(index)->SetPenTable(zero.GetPenTable());
        groupNet[i] = index;
    }
    for (size_t item = 0; item < m_stamps.size(); ++item) {
        const uint32_t group = groups.Find(uint32_t(item));
        m_stamps[item] = group < groupNet.size() ? groupNet[group] : 0;
    }
    // Each pin names one component pad, so its pad takes the pin's own net.
    for (size_t i = 0; i < m_pins.size(); ++i)
        m_pins[i].net = m_stamps[i];
    // Pads named twice take the later net, as when the nets were flooded one after another.
    const std::vector<int32_t> pinOrder = InNetOrder(0, int32_t(m_pins.size()), net + 1);
    for (int32_t i : pinOrder) {
        if (m_stamps[size_t(i)] != 0)
            m_document.SetPadNet(m_pins[size_t(i)].component, m_pins[size_t(i)].padIndex,
                                 m_stamps[size_t(i)]);
    }
    DistributeVertices();
    Finish(&joined);
    return true;
}

bool CConnectTracer::UpdateFromNetPins()
{
    if (!GatherIntoNetZero())
        return false;
    m_document.RebuildNetPins();
    CollectItems();

    const CNet& zero = *m_nets.GetNet(0);
    std::vector<std::vector<int32_t>> ownPins(size_t(m_nets.GetCount()));
    for (int32_t i = 0; i < int32_t(m_pins.size()); ++i)
        ownPins[size_t(m_pins[size_t(i)].net)].push_back(i);
    for (int32_t n = 1; n < m_nets.GetCount(); ++n) {
        CNet& net = *m_nets.GetNet(n);
        const int32_t width = net.GetCurrentPenWidth();
        net.SetPenTable(zero.GetPenTable());
        Flood(ownPins[size_t(n)], n);
        net.SelectPenByWidth(width);
    }
    DistributeVertices();
    Finish();
    return true;
}

// ---- Gathering into net 0 -----------------------------------------------------------------------

bool CConnectTracer::GatherIntoNetZero()
{
    if (!TakeWidthsIntoNetZero())
        return false;
    MoveCopperIntoNetZero();
    return true;
}

bool CConnectTracer::TakeWidthsIntoNetZero()
{
    const CNet& zero = *m_nets.GetNet(0);
    std::vector<uint16_t> missing;
    // The pens whose widths net 0 lacks, worked out again only when a net's table differs from
    // the one before: most nets share one table.
    std::vector<uint16_t> lastTable;
    uint32_t lacking = 0;
    for (int32_t n = 1; n < m_nets.GetCount(); ++n) {
        PrefetchNet(n + netsAhead);
        const CNet& net = *m_nets.GetNet(n);
        // Only the vertices drawn with a width net 0 lacks can add to the list; most nets have
        // none.
        if (n == 1 || net.GetPenTable() != lastTable) {
            lastTable = net.GetPenTable();
            lacking = 0;
            for (int32_t p = 1; p < std::min(net.GetPenCount(), CNet::maxPenCount); ++p) {
                const int32_t width = net.GetPenWidth(p);
                if (width > 0 && FindDrawingPen(zero.GetPenTable(), width) < 0)
                    lacking |= 1u << p;
            }
        }
        for (int32_t v = 1; lacking != 0 && v < net.GetVertexCount(); ++v) {
            const int32_t pen = net.GetVertexPen(v);
            // Width 0 is pen 0's: such a vertex can only become a run start.
            if (pen >= 1 && (lacking >> pen & 1u) != 0)
                AddUnique(missing, net.GetPenWidth(pen));
        }
    }
    return AddWidthsToNetZero(missing);
}

void CConnectTracer::MoveCopperIntoNetZero()
{
    CNet& zero = *m_nets.GetNet(0);
    m_document.DeselectAll();
    const std::vector<uint16_t>& pens = zero.GetPenTable();
    int64_t total = zero.GetVertexCount();
    for (int32_t n = 1; n < m_nets.GetCount(); ++n)
        total += m_nets.GetNet(n)->GetVertexCount();
    zero.ReserveVertices(total);
    // Net 0's pen for each pen of a net, worked out again only when a net's table differs from
    // the one before: most nets share one table.
    std::vector<uint16_t> mappedTable;
    std::array<int32_t, CNet::maxPenCount> penOf{};
    for (int32_t n = 1; n < m_nets.GetCount(); ++n) {
        PrefetchNet(n + netsAhead);
        CNet& net = *m_nets.GetNet(n);
        if (n == 1 || net.GetPenTable() != mappedTable) {
            mappedTable = net.GetPenTable();
            // A pen past the table has width 0.
            penOf.fill(std::max(FindDrawingPen(pens, 0), 0));
            for (int32_t p = 1; p < std::min(net.GetPenCount(), CNet::maxPenCount); ++p)
                penOf[size_t(p)] = std::max(FindDrawingPen(pens, net.GetPenWidth(p)), 0);
        }
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            // A block never starts by drawing from the vertex before it in net 0.
            const int32_t pen = net.GetVertexPen(v);
            zero.AppendCopy(net.GetVertex(v), v > 0 && pen >= 1 ? penOf[size_t(pen)] : 0);
        }
        net.ClearVertices();
    }
}

bool CConnectTracer::AddWidthsToNetZero(const std::vector<uint16_t>& missing)
{
    CNet& zero = *m_nets.GetNet(0);
    if (size_t(zero.GetPenCount()) + missing.size() > size_t(CNetArray::maxNetZeroPens)) {
        // Widths that no copper of net 0 draws with may make room.
        std::vector<uint16_t> drawn;
        for (int32_t v = 0; v < zero.GetVertexCount(); ++v) {
            if (zero.GetVertexPen(v) >= 1)
                AddUnique(drawn, zero.GetVertexWidth(v));
        }
        std::vector<uint16_t> kept{0};
        for (int32_t p = 1; p < zero.GetPenCount(); ++p) {
            const int32_t width = zero.GetPenWidth(p);
            if (std::find(drawn.begin(), drawn.end(), width) != drawn.end() &&
                FindDrawingPen(kept, width) < 0)
                kept.push_back(uint16_t(width));
        }
        if (kept.size() + missing.size() > size_t(CNetArray::maxNetZeroPens)) {
            ShowWarning(IDS_TRACER_PENS_FULL);
            return false;
        }
        ShowWarning(IDS_TOO_MANY_PENS);
        KeepOnlyPens(zero, kept);
    }
    for (uint16_t width : missing)
        zero.AddPen(width);
    if (zero.GetCurrentPen() == 0 && zero.GetPenCount() > 1)
        zero.SetCurrentPen(1);
    return true;
}

bool CConnectTracer::ClearToNetZero()
{
    if (!TakeWidthsIntoNetZero())
        return false;
    // The pins go to net 0 before the copper does: the box net 0 is given with them then spans
    // only its own copper, not all of it. Its box is worked out when the copper has its nets
    // again.
    m_document.ResetPadNets();
    m_document.RebuildNetPins();
    MoveCopperIntoNetZero();
    // Every net but net 0 is now without pins and copper.
    m_nets.DeleteEmptyNets(false);
    return true;
}

void CConnectTracer::PrefetchNet(int32_t n) const
{
#if defined(__GNUC__)
    if (n >= m_nets.GetCount())
        return;
    const CNet& net = *m_nets.GetNet(n);
    const char* at = reinterpret_cast<const char*>(&net);
    for (size_t offset = 0; offset < sizeof(CNet); offset += cacheLine)
        __builtin_prefetch(at + offset);
    // The net asked for last time has come in by now: its lists are asked for in turn.
    if (n - netsAhead / 2 >= 1) {
        const CNet& earlier = *m_nets.GetNet(n - netsAhead / 2);
        __builtin_prefetch(earlier.GetPenTable().data());
        if (earlier.GetVertexCount() > 0)
            __builtin_prefetch(&earlier.GetVertex(0));
    }
#else
    (void)n;
#endif
}

// ---- Items and their grid -----------------------------------------------------------------------

int32_t CConnectTracer::PadStackReach(int32_t padStack)
{
    if (padStack < 0)
        return 0;
    if (size_t(padStack) >= m_reach.size())
        m_reach.resize(size_t(padStack) + 1, -1);
    int32_t& reach = m_reach[size_t(padStack)];
    if (reach < 0)
        reach = CNet::PadStackReach(m_document.GetPadStacks(), padStack);
    return reach;
}

void CConnectTracer::CollectItems()
{
    m_pins.clear();
    int32_t pinCount = 0;
    for (int32_t n = 0; n < m_nets.GetCount(); ++n)
        pinCount += m_nets.GetNet(n)->GetPinCount();
    m_pins.reserve(size_t(pinCount));
    for (int32_t n = 0; n < m_nets.GetCount(); ++n) {
        const CNet& net = *m_nets.GetNet(n);
        for (int32_t i = 0; i < net.GetPinCount(); ++i) {
            const NetPinRec& rec = net.GetPin(i);
            m_pins.push_back({{rec.x, rec.y, rec.padStack, rec.angle, rec.side != 0},
                              rec.component,
                              rec.pad,
                              n,
                              rec.layerMask});
        }
    }
    CNet& zero = *m_nets.GetNet(0);
    m_vertices = zero.TakeVertices();

    // One pass over the items: their boxes, and the grid's choice of them. Items that cannot
    // touch anything stay out of the grid: no flood or pair test needs them.
    const size_t items = m_pins.size() + m_vertices.size();
    m_boxes.clear();
    m_boxes.reserve(items);
    m_widths.clear();
    m_widths.reserve(m_vertices.size());
    m_gridItems.clear();
    m_gridItems.reserve(items);
    const auto choose = [this](const CRect& box) {
        if (!IsEmptyBox(box))
            m_gridItems.push_back(uint32_t(m_boxes.size()));
        m_boxes.push_back(box);
    };
    for (const Pin& pin : m_pins) {
        choose(BoxAround(pin.pad.x, pin.pad.y, PadStackReach(pin.pad.padStack)));
        PreparePadSet(pin.pad);
    }
    for (int32_t v = 0; v < int32_t(m_vertices.size()); ++v) {
        const TrackRec& rec = m_vertices[size_t(v)];
        const int32_t pen = rec.GetPen();
        m_widths.push_back(pen >= 1 ? zero.GetPenWidth(pen) : 0);
        if (rec.IsPad()) {
            choose(BoxAround(rec.x, rec.y, PadStackReach(rec.GetPadStack())));
            PreparePadSet(VertexPad(v));
        } else if (IsDrawn(v)) {
            const TrackRec& prev = m_vertices[size_t(v) - 1];
            const CRect box = BoxAlong(prev.x, prev.y, rec.x, rec.y, m_widths[size_t(v)]);
            if (m_contact.IsLayerInUse(rec.GetLayer()))
                choose(box);
            else
                m_boxes.push_back(box);
        } else {
            // A run start has no copper of its own.
            m_boxes.push_back(NoCopperBox());
        }
    }
    m_stamps.assign(m_boxes.size(), 0);
    // Two items to a cell: an item lies in fewer cells, so there is less to file and to read.
    m_grid.Build(m_boxes, m_gridItems, 2);
}

bool CConnectTracer::CanTouch(int32_t item) const
{
    if (IsPin(item))
        return true;
    const int32_t vertex = VertexOf(item);
    const TrackRec& rec = m_vertices[size_t(vertex)];
    return rec.IsPad() || (IsDrawn(vertex) && m_contact.IsLayerInUse(rec.GetLayer()));
}

bool CConnectTracer::Touch(int32_t a, int32_t b) const
{
    const auto padOf = [this](int32_t item, CopperPad& pad) {
        if (IsPin(item)) {
            pad = m_pins[size_t(item)].pad;
            return true;
        }
        if (!m_vertices[size_t(VertexOf(item))].IsPad())
            return false;
        pad = VertexPad(VertexOf(item));
        return true;
    };
    CopperPad padA;
    CopperPad padB;
    const bool aIsPad = padOf(a, padA);
    const bool bIsPad = padOf(b, padB);
    if (aIsPad && bIsPad)
        return PadsTouch(padA, padB);
    if (aIsPad)
        return PadTouchesSegment(padA, Segment(VertexOf(b)));
    if (bIsPad)
        return PadTouchesSegment(padB, Segment(VertexOf(a)));
    return m_contact.SegmentsTouch(Segment(VertexOf(a)), Segment(VertexOf(b)));
}

std::vector<CConnectTracer::Joined> CConnectTracer::JoinTouchingItems(CUnionFind& groups) const
{
    std::vector<Joined> joined;
    // A run goes whole, from its start to its last drawn vertex. A pad it starts at meets it
    // only where the pad has copper on the run's layer, which the contacts below find.
    for (int32_t v = 1; v < int32_t(m_vertices.size()); ++v) {
        if (m_vertices[size_t(v)].IsDrawn() && !m_vertices[size_t(v) - 1].IsPad())
            groups.Join(uint32_t(ItemOf(v)), uint32_t(ItemOf(v - 1)));
    }
    // Each pair is tested once, from its first item, and not at all when the two are joined
    // already: the groups come out the same, only fewer contacts are worked out.
    constexpr size_t block = 512;
    const size_t count = m_gridItems.size();
    std::vector<std::vector<Joined>> joinedInBlock((count + block - 1) / block);
    CWorkPool::Shared().ForEach(joinedInBlock.size(), [&](size_t b) {
        std::vector<uint32_t> found;
        const size_t end = std::min(count, (b + 1) * block);
        for (size_t k = b * block; k < end; ++k) {
            const uint32_t item = m_gridItems[k];
            found.clear();
            m_grid.Query(m_boxes[item], found);
            for (uint32_t other : found) {
                if (other <= k)
                    continue;
                const uint32_t otherItem = m_gridItems[other];
                if (groups.Find(item) != groups.Find(otherItem) &&
                    Touch(int32_t(item), int32_t(otherItem))) {
                    groups.Join(item, otherItem);
                    joinedInBlock[b].push_back({item, otherItem});
                }
            }
        }
    });
    for (const std::vector<Joined>& pairs : joinedInBlock)
        joined.insert(joined.end(), pairs.begin(), pairs.end());
    return joined;
}

CClusterHints CConnectTracer::HintsFrom(const std::vector<Joined>& joined) const
{
    const int32_t netCount = m_nets.GetCount();
    std::vector<const CNet*> nets(size_t(netCount), nullptr);
    std::vector<int32_t> itemCounts(size_t(netCount), 0);
    for (int32_t n = 1; n < netCount; ++n) {
        const CNet& net = *m_nets.GetNet(n);
        nets[size_t(n)] = &net;
        itemCounts[size_t(n)] = net.GetPinCount() + net.GetVertexCount();
    }
    // Each net holds the pins and then the vertices stamped with it, each in item order, and
    // the pins come first among the items: an item's place in its net is the count of the items
    // before it stamped alike.
    std::vector<int32_t> local(m_stamps.size(), 0);
    std::vector<int32_t> seen(size_t(netCount), 0);
    for (size_t item = 0; item < m_stamps.size(); ++item) {
        int32_t& count = seen[size_t(m_stamps[item])];
        if (!IsPin(int32_t(item)) && NeedsOwnStart(VertexOf(int32_t(item))))
            ++count;
        local[item] = count++;
    }
    std::vector<CClusterHints::Link> links;
    links.reserve(joined.size());
    for (const Joined& pair : joined) {
        const int32_t n = m_stamps[pair.a];
        if (n > 0 && m_stamps[pair.b] == n)
            links.push_back({n, local[pair.a], local[pair.b]});
    }
    return CClusterHints(nets, itemCounts, links);
}

bool CConnectTracer::IsDrawn(int32_t vertex) const
{
    return vertex > 0 && m_vertices[size_t(vertex)].IsDrawn();
}

CopperPad CConnectTracer::VertexPad(int32_t vertex) const
{
    const TrackRec& rec = m_vertices[size_t(vertex)];
    return {rec.x, rec.y, rec.GetPadStack(), rec.GetRotation(), rec.IsMirrored()};
}

CopperSegment CConnectTracer::Segment(int32_t vertex) const
{
    const TrackRec& from = m_vertices[size_t(vertex) - 1];
    const TrackRec& to = m_vertices[size_t(vertex)];
    return {CPoint(from.x, from.y), CPoint(to.x, to.y), m_widths[size_t(vertex)] >> 1,
            to.GetLayer()};
}

bool CConnectTracer::IsOpen(uint32_t item) const
{
    if (m_stamps[item] != 0)
        return false;
    // Pins of other nets stop the flood; pads of no net pass it on.
    if (IsPin(int32_t(item))) {
        const int32_t net = m_pins[item].net;
        return net == 0 || net == m_net;
    }
    return true;
}

const std::vector<uint32_t>& CConnectTracer::Candidates(int32_t item)
{
    m_candidates.clear();
    const CRect& box = m_boxes[size_t(item)];
    if (IsEmptyBox(box))
        return m_candidates;
    m_found.clear();
    m_grid.Query(box, m_found);
    for (uint32_t k : m_found) {
        const uint32_t other = m_gridItems[k];
        if (IsOpen(other))
            m_candidates.push_back(other);
    }
    return m_candidates;
}

// ---- Contacts -----------------------------------------------------------------------------------

const CConnectTracer::PadSet& CConnectTracer::PadsOf(const CopperPad& pad) const
{
    if (pad.padStack < 0 || size_t(pad.padStack) * 2 >= m_padSetOf.size())
        return m_padSets.front();
    const int32_t index = m_padSetOf[size_t(pad.padStack) * 2 + (pad.mirrored ? 1 : 0)];
    return index >= 0 ? m_padSets[size_t(index)] : m_padSets.front();
}

void CConnectTracer::PreparePadSet(const CopperPad& pad)
{
    if (pad.padStack < 0 || size_t(pad.padStack) * 2 >= m_padSetOf.size())
        return;
    int32_t& index = m_padSetOf[size_t(pad.padStack) * 2 + (pad.mirrored ? 1 : 0)];
    if (index >= 0)
        return;
    index = int32_t(m_padSets.size());
    PadSet& set = m_padSets.emplace_back();
    const CPadStackArray& stacks = m_document.GetPadStacks();
    for (int32_t layer = LAYER_TOP; layer <= LAYER_INNER_12; ++layer) {
        if (!m_contact.IsLayerInUse(layer))
            continue;
        const CPad* found =
            stacks.GetPad(pad.padStack, pad.mirrored ? OppositeLayer(layer) : layer);
        if (!found)
            continue;
        set.layers |= LayerBit(layer);
        for (int32_t before = LAYER_TOP; before < layer; ++before) {
            const CPad* same = set.pads[size_t(before)];
            if (same && same->GetShape() == found->GetShape() &&
                same->GetRect() == found->GetRect() &&
                same->GetRotation() == found->GetRotation()) {
                found = same;
                break;
            }
        }
        set.pads[size_t(layer)] = found;
    }
}

bool CConnectTracer::PadOutline(const CopperPad& pad, const CPad& found, CCopperShape& outline)
{
    // The pad turns with its item and by its own rotation, as it is drawn.
    const int32_t angle = int32_t((int64_t(pad.angle) + found.GetRotation()) % FULL_TURN);
    outline.SetPad(found.GetShape(), found.GetRect(), pad.x, pad.y, pad.mirrored, angle, 0);
    return outline.GetKind() != CCopperShape::Kind::None;
}

bool CConnectTracer::PadsTouch(const CopperPad& a, const CopperPad& b) const
{
    const PadSet& padsA = PadsOf(a);
    const PadSet& padsB = PadsOf(b);
    uint32_t common = padsA.layers & padsB.layers;
    CPadPairsTried tried;
    CCopperShape outlineA;
    CCopperShape outlineB;
    while (common != 0) {
        const int32_t layer = std::countr_zero(common) + 1;
        common &= common - 1;
        const CPad* padA = padsA.pads[size_t(layer)];
        const CPad* padB = padsB.pads[size_t(layer)];
        if (!tried.Add(padA, padB))
            continue;
        if (PadOutline(a, *padA, outlineA) && PadOutline(b, *padB, outlineB) &&
            CCopperContact::OutlinesTouch(outlineA, outlineB))
            return true;
    }
    return false;
}

bool CConnectTracer::PadTouchesSegment(const CopperPad& pad, const CopperSegment& segment) const
{
    if (!m_contact.IsLayerInUse(segment.layer))
        return false;
    const CPad* found = PadsOf(pad).pads[size_t(segment.layer)];
    CCopperShape outline;
    if (!found || !PadOutline(pad, *found, outline))
        return false;
    CCopperShape track;
    track.SetTrack(segment.from.x, segment.from.y, segment.to.x, segment.to.y, segment.halfWidth);
    return CCopperContact::OutlinesTouch(outline, track);
}

// ---- Flood --------------------------------------------------------------------------------------

void CConnectTracer::Flood(const std::vector<int32_t>& startPins, int32_t net)
{
    m_net = net;
    for (int32_t pin : startPins) {
        if (m_stamps[size_t(pin)] != 0)
            continue;
        m_pending.clear();
        Reach(pin);
        // Explicit stack: long runs and chains of pads never deepen the call stack.
        while (!m_pending.empty()) {
            const int32_t item = m_pending.back();
            m_pending.pop_back();
            if (!CanTouch(item))
                continue;
            for (uint32_t other : Candidates(item)) {
                if (m_stamps[other] == 0 && Touch(item, int32_t(other)))
                    Reach(int32_t(other));
            }
        }
    }
}

void CConnectTracer::Stamp(int32_t item)
{
    if (m_stamps[size_t(item)] != 0)
        return;
    m_stamps[size_t(item)] = m_net;
    m_pending.push_back(item);
}

void CConnectTracer::Reach(int32_t item)
{
    if (IsPin(item)) {
        Stamp(item);
        return;
    }
    const int32_t vertex = VertexOf(item);
    if (!m_vertices[size_t(vertex)].IsPad()) {
        ReachRun(vertex);
        return;
    }
    Stamp(item);
}

void CConnectTracer::ReachRun(int32_t vertex)
{
    int32_t start = vertex;
    while (start > 0 && m_vertices[size_t(start)].IsDrawn())
        --start;
    if (m_vertices[size_t(start)].IsPad())
        ++start;
    int32_t end = vertex;
    while (end + 1 < int32_t(m_vertices.size()) && m_vertices[size_t(end) + 1].IsDrawn())
        ++end;
    for (int32_t v = start; v <= end; ++v)
        Stamp(ItemOf(v));
}

// ---- Moving the copper to its nets
// ----------------------------------------------------------------

bool CConnectTracer::NeedsOwnStart(int32_t vertex) const
{
    return IsDrawn(vertex) &&
           m_stamps[size_t(ItemOf(vertex - 1))] != m_stamps[size_t(ItemOf(vertex))];
}

std::vector<int32_t> CConnectTracer::InNetOrder(int32_t first, int32_t end, int32_t nets) const
{
    std::vector<int32_t> start(size_t(nets) + 1, 0);
    for (int32_t item = first; item < end; ++item)
        ++start[size_t(m_stamps[size_t(item)]) + 1];
    for (size_t n = 1; n < start.size(); ++n)
        start[n] += start[n - 1];
    std::vector<int32_t> order(size_t(end - first));
    for (int32_t item = first; item < end; ++item)
        order[size_t(start[size_t(m_stamps[size_t(item)])]++)] = item;
    return order;
}

void CConnectTracer::DistributeVertices()
{
    m_nets.GetNet(0)->ClearVertices();
    HandPinsToNets();
    const int32_t nets = m_nets.GetCount();
    const std::vector<int32_t> order =
        InNetOrder(int32_t(m_pins.size()), int32_t(m_stamps.size()), nets);
    std::vector<size_t> start(size_t(nets) + 1, 0);
    for (int32_t item : order)
        ++start[size_t(m_stamps[size_t(item)]) + 1];
    for (size_t n = 1; n < start.size(); ++n)
        start[n] += start[n - 1];
    // Each net takes only its own vertices, so the nets fill side by side; its box is worked out
    // while its copper is still at hand.
    const CNetArrayDocument* document = m_nets.GetDocument();
    constexpr size_t netsPerBlock = 64;
    CWorkPool::Shared().ForEach((size_t(nets) + netsPerBlock - 1) / netsPerBlock, [&](size_t b) {
        std::optional<CPadStackReaches> margins;
        if (document)
            margins.emplace(document->GetPadStacks());
        const size_t end = std::min(size_t(nets), (b + 1) * netsPerBlock);
        for (size_t n = b * netsPerBlock; n < end; ++n) {
            CNet& target = *m_nets.GetNet(int32_t(n));
            target.ReserveVertices(int64_t(start[n + 1] - start[n]));
            for (size_t k = start[n]; k < start[n + 1]; ++k) {
                const int32_t vertex = VertexOf(order[k]);
                const TrackRec& rec = m_vertices[size_t(vertex)];
                if (NeedsOwnStart(vertex)) {
                    TrackRec runStart = rec;
                    runStart.x = m_vertices[size_t(vertex) - 1].x;
                    runStart.y = m_vertices[size_t(vertex) - 1].y;
                    target.AppendCopy(runStart, 0);
                }
                // Every table starts as a copy of net 0's, so the pen numbers hold.
                target.AppendCopy(rec, rec.IsPad() ? 0 : rec.GetPen());
            }
            if (margins)
                target.CalcBoundingBox(*margins);
        }
    });
}

void CConnectTracer::HandPinsToNets()
{
    m_nets.ClearAllPins();
    std::vector<int32_t> counts(size_t(m_nets.GetCount()), 0);
    for (const Pin& pin : m_pins)
        ++counts[size_t(pin.net)];
    for (size_t n = 0; n < counts.size(); ++n) {
        if (counts[n] > 0)
            m_nets.GetNet(int32_t(n))->ReservePins(counts[n]);
    }
    for (const Pin& pin : m_pins) {
        m_nets.GetNet(pin.net)->AddPin(pin.pad.x, pin.pad.y, pin.component, pin.padIndex,
                                       pin.pad.padStack, pin.pad.angle, pin.pad.mirrored,
                                       pin.layerMask);
    }
}

void CConnectTracer::Finish(const std::vector<Joined>* joined)
{
    m_nets.GetNet(0)->SetCurrentVertex(0);
    m_document.DeselectAll();
    if (!joined) {
        m_nets.RecalcAll();
        return;
    }
    const CClusterHints hints = HintsFrom(*joined);
    // The hints name items of the nets as they are now: they go before anything else changes.
    struct Withdraw {
        CTracerDocument& document;
        ~Withdraw() { document.SetClusterHints(nullptr); }
    } withdraw{m_document};
    m_document.SetClusterHints(&hints);
    m_nets.RecalcAll();
}
