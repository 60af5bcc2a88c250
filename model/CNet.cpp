#include "model/CNet.h"
#include "framework/Numeric.h"
#include "model/PenTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "framework/CArchive.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CLengthText.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/Ratsnest.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CNet, "CNet", 0)

namespace {

int32_t ClampWidth(int32_t width)
{
    return std::clamp(width, 0, CNet::maxPenWidth);
}

// Negative angles wrap into 0..359999, those above a full turn into 1..360000: a full turn
// stays a full turn.
uint32_t NormalizedRotation(int64_t angle)
{
    if (angle < 0)
        angle += ((FULL_TURN - 1 - angle) / FULL_TURN) * FULL_TURN;
    else if (angle > FULL_TURN)
        angle -= ((angle - 1) / FULL_TURN) * FULL_TURN;
    return uint32_t(angle);
}

void SetBit(uint32_t& flags, uint32_t bit, bool on)
{
    flags = on ? (flags | bit) : (flags & ~bit);
}

} // namespace

CNet::CNet() = default;

std::unique_ptr<CNet> CNet::MakeForReading()
{
    return std::unique_ptr<CNet>(new CNet(Blank{}));
}

CNet::CNet(const std::string& name) : m_name(name) {}

CNet::CNet(const std::string& name, int32_t minWidth, int32_t maxWidth, int32_t clearance)
    : m_name(name), m_minWidth(minWidth), m_maxWidth(maxWidth), m_clearance(clearance)
{
    int32_t width = m_pens[1];
    if (width < minWidth)
        width = minWidth;
    if (width > maxWidth)
        width = maxWidth;
    m_pens[1] = uint16_t(ClampWidth(width));
}

// ---- Vertices ----------------------------------------------------------------------------------

CPoint CNet::GetCurrentVertexPoint() const
{
    if (m_vertices.IsEmpty())
        return {};
    return GetVertexPoint(m_currentVertex);
}

void CNet::SetVertexPoint(int32_t i, int32_t x, int32_t y)
{
    m_vertices[i].x = x;
    m_vertices[i].y = y;
    MarkChanged();
    m_boxChanged = true;
    GrowBox(x, y);
}

int32_t CNet::GetVertexWidth(int32_t i) const
{
    return GetPenWidth(GetVertexPen(i));
}

bool CNet::SetVertexPen(int32_t i, int32_t pen)
{
    TrackRec& rec = m_vertices[i];
    if (rec.IsPad() || !IsUsablePen(pen))
        return false;
    rec.penLayer = uint16_t((rec.penLayer & ~TrackRec::penMask) | uint32_t(pen));
    return true;
}

bool CNet::SetVertexLayer(int32_t i, int32_t layer)
{
    TrackRec& rec = m_vertices[i];
    if (rec.IsPad() || !IsUsableLayer(layer))
        return false;
    rec.penLayer =
        uint16_t((rec.penLayer & ~TrackRec::layerMask) | (uint32_t(layer) << TrackRec::layerShift));
    return true;
}

bool CNet::SetVertexPadType(int32_t i, int32_t padStack)
{
    if (!IsUsablePadStack(padStack))
        return false;
    m_vertices[i].penLayer = uint16_t(TrackRec::padBit | uint32_t(padStack));
    return true;
}

void CNet::SetVertexRotation(int32_t i, int64_t angle)
{
    TrackRec& rec = m_vertices[i];
    rec.flags = (rec.flags & ~TrackRec::rotationMask) | NormalizedRotation(angle);
}

void CNet::SetVertexMirrored(int32_t i, bool on)
{
    SetBit(m_vertices[i].flags, TrackRec::flagMirrored, on);
}

bool CNet::GetVertexChangeMark(int32_t i) const
{
    return (m_vertices[i].flags & TrackRec::flagChangeMark) != 0;
}

void CNet::SetVertexChangeMark(int32_t i, bool on)
{
    SetBit(m_vertices[i].flags, TrackRec::flagChangeMark, on);
}

bool CNet::IsVertexAutorouted(int32_t i) const
{
    return (m_vertices[i].flags & TrackRec::flagAutorouted) != 0;
}

void CNet::SetVertexAutorouted(int32_t i, bool on)
{
    SetBit(m_vertices[i].flags, TrackRec::flagAutorouted, on);
}

void CNet::SetVertexCluster(int32_t i, int32_t cluster)
{
    m_vertices[i].cluster = uint16_t(cluster);
}

int32_t CNet::SelectVertex(int32_t i, bool on)
{
    TrackRec& rec = m_vertices[i];
    if (rec.IsSelected() == on)
        return 0;
    SetBit(rec.flags, TrackRec::flagSelected, on);
    int32_t& counter = rec.IsPad() ? m_selectedPads : m_selectedTracks;
    counter += on ? 1 : -1;
    return 1;
}

int32_t CNet::SelectAllVertices(bool on)
{
    // Every selected vertex is counted, so a net with none counted has none to clear: a design
    // deselected whole after a load or an edit walks only the nets that had a selection.
    if (!on && GetSelectedCount() == 0)
        return 0;
    for (TrackRec& rec : m_vertices)
        SetBit(rec.flags, TrackRec::flagSelected, on);
    if (on) {
        m_selectedPads = CountPadVertices();
        m_selectedTracks = CountTrackVertices();
    } else {
        m_selectedPads = 0;
        m_selectedTracks = 0;
    }
    return GetSelectedCount();
}

int32_t CNet::CountTrackVertices() const
{
    return int32_t(std::count_if(m_vertices.begin(), m_vertices.end(),
                                 [](const TrackRec& rec) { return !rec.IsPad(); }));
}

int32_t CNet::CountPadVertices() const
{
    return GetVertexCount() - CountTrackVertices();
}

// ---- Adding and removing vertices ---------------------------------------------------------------

TrackRec CNet::MakeTrackVertex(int32_t x, int32_t y, int32_t layer, int32_t pen) const
{
    TrackRec rec = TrackRec::Blank();
    rec.x = x;
    rec.y = y;
    rec.penLayer = uint16_t((uint32_t(layer) << TrackRec::layerShift) | uint32_t(pen));
    rec.cluster = uint16_t(m_activeCluster);
    return rec;
}

TrackRec CNet::MakePadVertex(int32_t x, int32_t y, int32_t padStack, int32_t rotation,
                             bool mirrored) const
{
    TrackRec rec = TrackRec::Blank();
    rec.x = x;
    rec.y = y;
    rec.penLayer = uint16_t(TrackRec::padBit | uint32_t(padStack));
    rec.flags |= NormalizedRotation(rotation);
    SetBit(rec.flags, TrackRec::flagMirrored, mirrored);
    rec.cluster = uint16_t(m_activeCluster);
    return rec;
}

void CNet::InsertRecords(int32_t i, std::initializer_list<TrackRec> records)
{
    int32_t at = std::clamp(i, 0, GetVertexCount());
    for (const TrackRec& rec : records) {
        m_vertices.InsertAt(at, rec);
        m_boxChanged = true;
        GrowBox(rec.x, rec.y);
        ++at;
    }
    MarkChanged();
}

bool CNet::AppendVertex(int32_t x, int32_t y, int32_t layer, int32_t pen)
{
    if (!InsertVertexAt(GetVertexCount(), x, y, layer, pen))
        return false;
    m_currentVertex = GetVertexCount() - 1;
    return true;
}

void CNet::InsertBlankVertex(int32_t i)
{
    i = std::max(i, 0);
    if (i >= GetVertexCount())
        m_vertices.InsertAt(GetVertexCount(), TrackRec::Blank(), i + 1 - GetVertexCount());
    else
        m_vertices.InsertAt(i, TrackRec::Blank());
    MarkChanged();
}

bool CNet::InsertVertexAt(int32_t i, int32_t x, int32_t y, int32_t layer, int32_t pen)
{
    if (!IsUsableLayer(layer) || !IsUsablePen(pen))
        return false;
    InsertRecords(i, {MakeTrackVertex(x, y, layer, pen)});
    return true;
}

bool CNet::InsertSegmentAt(int32_t i, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                           int32_t pen)
{
    if (!IsUsableLayer(layer) || !IsUsablePen(pen))
        return false;
    InsertRecords(i, {MakeTrackVertex(x1, y1, layer, 0), MakeTrackVertex(x2, y2, layer, pen)});
    return true;
}

bool CNet::InsertPadVertexAt(int32_t i, int32_t x, int32_t y, int32_t padStack, int32_t rotation,
                             bool mirrored)
{
    if (!IsUsablePadStack(padStack))
        return false;
    InsertRecords(i, {MakePadVertex(x, y, padStack, rotation, mirrored)});
    return true;
}

bool CNet::AppendPadVertex(int32_t x, int32_t y, int32_t padStack, int32_t rotation, bool mirrored)
{
    if (!InsertPadVertexAt(GetVertexCount(), x, y, padStack, rotation, mirrored))
        return false;
    m_currentVertex = GetVertexCount() - 1;
    return true;
}

bool CNet::AppendCopy(const TrackRec& rec, int32_t pen)
{
    TrackRec copy;
    if (rec.IsPad()) {
        copy = MakePadVertex(rec.x, rec.y, rec.GetPadStack(), rec.GetRotation(), rec.IsMirrored());
    } else {
        if (!IsUsableLayer(rec.GetLayer()) || !IsUsablePen(pen))
            return false;
        copy = MakeTrackVertex(rec.x, rec.y, rec.GetLayer(), pen);
    }
    constexpr uint32_t kept = TrackRec::flagAutorouted | TrackRec::flagChangeMark;
    copy.flags = (copy.flags & ~kept) | (rec.flags & kept);
    m_vertices.Add(copy);
    m_boxChanged = true;
    GrowBox(copy.x, copy.y);
    MarkChanged();
    m_currentVertex = GetVertexCount() - 1;
    return true;
}

bool CNet::AppendTrackVertex(int32_t x, int32_t y, int32_t layer, int32_t pen)
{
    if (!AppendVertex(x, y, layer, pen))
        return false;
    SetVertexAutorouted(m_currentVertex, true);
    return true;
}

bool CNet::AppendSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t pen,
                         bool autorouted)
{
    const int32_t at = GetVertexCount();
    if (!InsertSegmentAt(at, x1, y1, x2, y2, layer, pen))
        return false;
    SetVertexAutorouted(at, autorouted);
    SetVertexAutorouted(at + 1, autorouted);
    m_currentVertex = at + 1;
    return true;
}

bool CNet::InsertVertexAfterCurrent(int32_t x, int32_t y)
{
    if (m_vertices.IsEmpty() || IsPadVertex(m_currentVertex))
        return false;
    int32_t pen = GetVertexPen(m_currentVertex);
    const int32_t next = m_currentVertex + 1;
    if (pen == 0 && next < GetVertexCount() && !IsPadVertex(next))
        pen = GetVertexPen(next);
    if (!InsertVertexAt(next, x, y, GetVertexLayer(m_currentVertex), pen))
        return false;
    m_currentVertex = next;
    return true;
}

bool CNet::DeleteVertex(int32_t i)
{
    if (i < 0 || i >= GetVertexCount())
        return false;
    SelectVertex(i, false);
    m_vertices.RemoveAt(i);
    ClampCurrentVertex();
    MarkChanged();
    return true;
}

void CNet::ClearVertices()
{
    m_vertices.RemoveAll();
    m_pins.RemoveAll();
    m_currentVertex = 0;
    m_selectedPads = 0;
    m_selectedTracks = 0;
    MarkChanged();
}

std::vector<TrackRec> CNet::TakeVertices()
{
    std::vector<TrackRec> taken = m_vertices.TakeAll();
    ClearVertices();
    return taken;
}

void CNet::SetCurrentVertex(int32_t i)
{
    m_currentVertex = i;
    ClampCurrentVertex();
}

void CNet::ClampCurrentVertex()
{
    m_currentVertex = std::clamp(m_currentVertex, 0, std::max(GetVertexCount() - 1, 0));
}

void CNet::MarkChanged()
{
    m_clustersDirty = true;
    m_ratsnestDirty = true;
}

void CNet::GrowBox(int32_t x, int32_t y)
{
    m_box.left = std::min(m_box.left, x);
    m_box.top = std::min(m_box.top, y);
    m_box.right = std::max(m_box.right, x);
    m_box.bottom = std::max(m_box.bottom, y);
}

// ---- Pens ---------------------------------------------------------------------------------------

int32_t CNet::GetPenWidth(int32_t pen) const
{
    if (pen < 0 || pen >= GetPenCount())
        return 0;
    return m_pens[size_t(pen)];
}

int32_t CNet::FindPen(int32_t width) const
{
    return FindPenWidth(m_pens, width);
}

int32_t CNet::AddPen(int32_t width)
{
    return AddPenWidth(m_pens, width, IDS_NET_PEN_TABLE_FULL);
}

void CNet::SetCurrentPen(int32_t pen)
{
    if (pen >= 0 && pen < GetPenCount())
        m_currentPen = pen;
}

int32_t CNet::SelectPenByWidth(int32_t width)
{
    if (width < m_minWidth || width > m_maxWidth)
        return m_currentPen;
    const int32_t pen = AddPen(width);
    if (pen >= 0)
        m_currentPen = pen;
    return m_currentPen;
}

void CNet::SetVertexPenByWidth(int32_t i, int32_t width)
{
    const int32_t pen = FindPen(width);
    if (pen >= 0)
        SetVertexPen(i, pen);
}

void CNet::ReplacePenWidth(int32_t oldWidth, int32_t newWidth)
{
    if (newWidth < 0 || newWidth > maxPenWidth)
        return;
    // Pen 0 is the pen-up entry and keeps width 0.
    const auto found =
        std::find(m_pens.begin() + std::min<ptrdiff_t>(1, GetPenCount()), m_pens.end(), oldWidth);
    if (found != m_pens.end())
        *found = uint16_t(newWidth);
}

int32_t CNet::CountPenUse(int32_t width) const
{
    const int32_t pen = FindPen(width);
    if (pen < 0)
        return 0;
    return int32_t(std::count_if(m_vertices.begin(), m_vertices.end(),
                                 [pen](const TrackRec& rec) { return rec.GetPen() == pen; }));
}

void CNet::CompactPens(bool dropUnused)
{
    uint32_t used = dropUnused ? 0 : ~0u;
    if (dropUnused) {
        for (const TrackRec& rec : m_vertices) {
            const int32_t pen = rec.GetPen();
            if (pen >= 1 && pen < GetPenCount())
                used |= 1u << pen;
        }
    }
    RemapPens(used);
}

void CNet::DeletePen(int32_t pen)
{
    uint32_t used = ~0u;
    if (pen >= 0 && pen < GetPenCount())
        used &= ~(1u << pen);
    RemapPens(used);
}

void CNet::RemapPens(uint32_t used)
{
    // A vertex names pens 0..15 only; further entries could never be drawn with.
    const size_t count = std::min(m_pens.size(), size_t(maxPenCount));
    // Every load compacts every net, so the tables stay on the stack.
    std::array<uint16_t, maxPenCount + 1> table{};
    size_t tableSize = 1;
    std::array<uint8_t, maxPenCount> map{};
    const auto find = [&](uint16_t width) {
        const auto end = table.begin() + ptrdiff_t(tableSize);
        const auto found = std::find(table.begin() + 1, end, width);
        return found == end ? -1 : int32_t(found - table.begin());
    };
    for (size_t p = 1; p < count; ++p) {
        if ((used >> p & 1) == 0)
            continue;
        const int32_t found = find(m_pens[p]);
        if (found >= 0) {
            map[p] = uint8_t(found);
        } else {
            table[tableSize] = m_pens[p];
            map[p] = uint8_t(tableSize++);
        }
    }
    std::sort(table.begin() + 1, table.begin() + ptrdiff_t(tableSize));
    // After sorting, every pen whose width survived takes the entry of that width, also a pen
    // that was dropped: its vertices keep their width on another pen.
    for (size_t p = 1; p < count; ++p) {
        const int32_t found = find(m_pens[p]);
        if (found >= 0)
            map[p] = uint8_t(found);
    }
    for (TrackRec& rec : m_vertices) {
        const int32_t pen = rec.GetPen();
        if (pen >= 1 && size_t(pen) < count)
            rec.penLayer =
                uint16_t((rec.penLayer & ~TrackRec::penMask) | uint32_t(map[size_t(pen)]));
    }
    if (tableSize < 2)
        table[tableSize++] = fallbackPenWidth;
    m_pens.assign(table.begin(), table.begin() + ptrdiff_t(tableSize));
    m_currentPen = std::min(m_currentPen, GetPenCount() - 1);
}

// ---- Net settings -------------------------------------------------------------------------------

void CNet::SetWidths(int32_t minWidth, int32_t maxWidth, int32_t clearance)
{
    m_minWidth = minWidth;
    m_maxWidth = maxWidth;
    m_clearance = clearance;
}

void CNet::SetFlags(uint32_t mask, bool on)
{
    SetBit(m_flags, mask, on);
}

// ---- Box and moves ------------------------------------------------------------------------------

void CNet::CalcBoundingBox(const CNetDocument& document)
{
    CPadStackReaches margins(document.GetPadStacks());
    CalcBoundingBox(margins);
}

void CNet::CalcBoundingBox(CPadStackReaches& margins)
{
    if (m_vertices.IsEmpty() && m_pins.IsEmpty()) {
        m_box = CRect(0, 0, 1, 1);
        return;
    }
    int64_t left = std::numeric_limits<int64_t>::max();
    int64_t top = left;
    int64_t right = std::numeric_limits<int64_t>::min();
    int64_t bottom = right;
    int64_t r = m_clearance;
    auto grow = [&](int32_t x, int32_t y) {
        left = std::min(left, x - r);
        top = std::min(top, y - r);
        right = std::max(right, x + r);
        bottom = std::max(bottom, y + r);
    };

    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (rec.IsPad()) {
            r = std::max(r, margins.Margin(rec.GetPadStack(), rec.GetRotation()));
        } else {
            int32_t pen = rec.GetPen();
            if (pen == 0 && i + 1 < GetVertexCount())
                pen = GetVertexPen(i + 1);
            r = GetPenWidth(pen) / 2 + int64_t(m_clearance);
        }
        grow(rec.x, rec.y);
    }
    for (const NetPinRec& pin : m_pins) {
        r = std::max(r, margins.Margin(pin.padStack, pin.angle));
        grow(pin.x, pin.y);
    }
    m_box =
        CRect(SaturateToInt(left), SaturateToInt(top), SaturateToInt(right), SaturateToInt(bottom));
}

bool CNet::HasSameContent(const CNet& other) const
{
    // The vertices, the longest list, come last: deleting a component renumbers the pins of
    // thousands of nets whose vertices stay as they were.
    return m_storedByte == other.m_storedByte && m_box == other.m_box && m_name == other.m_name &&
           m_flags == other.m_flags && m_minWidth == other.m_minWidth &&
           m_maxWidth == other.m_maxWidth && m_clearance == other.m_clearance &&
           m_currentPen == other.m_currentPen && m_boxChanged == other.m_boxChanged &&
           m_ratsnestDirty == other.m_ratsnestDirty && m_clustersDirty == other.m_clustersDirty &&
           m_clusterCount == other.m_clusterCount && m_activeCluster == other.m_activeCluster &&
           m_ratsnestLength == other.m_ratsnestLength && m_selectedPads == other.m_selectedPads &&
           m_selectedTracks == other.m_selectedTracks && m_mode45 == other.m_mode45 &&
           m_inverted == other.m_inverted && m_editFirst == other.m_editFirst &&
           m_editLast == other.m_editLast && m_currentVertex == other.m_currentVertex &&
           m_pens == other.m_pens && m_pins == other.m_pins && m_ratsnest == other.m_ratsnest &&
           m_vertices == other.m_vertices;
}

namespace {

// Calls `take(list, i)` for the items of each list between their longest common start and
// their longest common end.
template <typename List, typename Same, typename Take>
void TakeDifferingMiddle(const List& before, const List& after, const Same& same, const Take& take)
{
    const int32_t sizeBefore = before.GetSize();
    const int32_t sizeAfter = after.GetSize();
    int32_t start = 0;
    while (start < sizeBefore && start < sizeAfter && same(before[start], after[start]))
        ++start;
    int32_t end = 0;
    while (end < sizeBefore - start && end < sizeAfter - start &&
           same(before[sizeBefore - 1 - end], after[sizeAfter - 1 - end]))
        ++end;
    for (int32_t i = start; i < sizeBefore - end; ++i)
        take(before, i);
    for (int32_t i = start; i < sizeAfter - end; ++i)
        take(after, i);
}

bool SamePinPlace(const NetPinRec& a, const NetPinRec& b)
{
    return a.x == b.x && a.y == b.y && a.pad == b.pad && a.padStack == b.padStack &&
           a.angle == b.angle && a.side == b.side && a.layerMask == b.layerMask;
}

} // namespace

bool CNet::GetChangedBox(const CNet& before, CPadStackReaches& margins, bool pinClusters,
                         CRect& box, int32_t& padsGained) const
{
    padsGained = 0;
    if (m_pens != before.m_pens || m_storedByte != before.m_storedByte || m_name != before.m_name ||
        m_flags != before.m_flags || m_minWidth != before.m_minWidth ||
        m_maxWidth != before.m_maxWidth || m_clearance != before.m_clearance ||
        m_activeCluster != before.m_activeCluster || m_inverted != before.m_inverted ||
        m_mode45 != before.m_mode45)
        return false;
    bool found = false;
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    const auto grow = [&](int32_t x, int32_t y, int64_t r) {
        if (!found) {
            left = right = x;
            top = bottom = y;
            found = true;
        }
        left = std::min(left, x - r);
        top = std::min(top, y - r);
        right = std::max(right, x + r);
        bottom = std::max(bottom, y + r);
    };
    const auto takeVertex = [&](const CNet& net, int32_t i) {
        // A segment ends at each neighbour.
        for (int32_t k = std::max(0, i - 1); k <= std::min(net.GetVertexCount() - 1, i + 1); ++k) {
            const TrackRec& rec = net.m_vertices[k];
            int64_t r = net.m_clearance;
            if (rec.IsPad()) {
                r = std::max(r, margins.Margin(rec.GetPadStack(), rec.GetRotation()));
            } else {
                for (int32_t pen : {int32_t(rec.GetPen()),
                                    k + 1 < net.GetVertexCount() ? net.GetVertexPen(k + 1) : 0})
                    r = std::max(r, int64_t(net.GetPenWidth(pen)) / 2 + net.m_clearance);
            }
            grow(rec.x, rec.y, r);
        }
    };
    TakeDifferingMiddle(
        before.m_vertices, m_vertices, [](const TrackRec& a, const TrackRec& b) { return a == b; },
        [&](const CTrackRecArray& list, int32_t i) {
            const bool after = &list == &m_vertices;
            // The lists agree outside their middles, and so do their counts of pads there.
            if (list[i].IsPad())
                padsGained += after ? 1 : -1;
            takeVertex(after ? *this : before, i);
        });
    TakeDifferingMiddle(
        before.m_pins, m_pins,
        [pinClusters](const NetPinRec& a, const NetPinRec& b) {
            return SamePinPlace(a, b) && (!pinClusters || a.cluster == b.cluster);
        },
        [&](const CNetPinArray& list, int32_t i) {
            const NetPinRec& pin = list[i];
            grow(pin.x, pin.y, margins.Margin(pin.padStack, pin.angle));
        });
    TakeDifferingMiddle(
        before.m_ratsnest, m_ratsnest, [](const RatsLine& a, const RatsLine& b) { return a == b; },
        [&](const CRec16Array& list, int32_t i) {
            const RatsLine& line = list[i];
            grow(line.x1, line.y1, 0);
            grow(line.x2, line.y2, 0);
        });
    box = found ? CRect(SaturateToInt(left), SaturateToInt(top), SaturateToInt(right),
                        SaturateToInt(bottom))
                : CRect();
    return true;
}

bool CNet::IntersectsRect(const CRect& rect) const
{
    CRect other = rect;
    other.NormalizeRect();
    return m_box.left <= other.right && other.left <= m_box.right && m_box.top <= other.bottom &&
           other.top <= m_box.bottom;
}

void CNet::OffsetAll(int32_t dx, int32_t dy)
{
    auto shift = [](int32_t& v, int32_t d) { v = SaturateToInt(int64_t(v) + d); };
    for (TrackRec& rec : m_vertices) {
        shift(rec.x, dx);
        shift(rec.y, dy);
    }
    for (NetPinRec& pin : m_pins) {
        shift(pin.x, dx);
        shift(pin.y, dy);
    }
    for (RatsLine& line : m_ratsnest) {
        shift(line.x1, dx);
        shift(line.y1, dy);
        shift(line.x2, dx);
        shift(line.y2, dy);
    }
    shift(m_box.left, dx);
    shift(m_box.top, dy);
    shift(m_box.right, dx);
    shift(m_box.bottom, dy);
}

void CNet::MoveSelected(const CNetDocument& document, int32_t dx, int32_t dy)
{
    if (GetSelectedCount() == 0)
        return;
    for (TrackRec& rec : m_vertices) {
        if (rec.IsSelected()) {
            rec.x = SaturateToInt(int64_t(rec.x) + dx);
            rec.y = SaturateToInt(int64_t(rec.y) + dy);
        }
    }
    MarkChanged();
    m_boxChanged = true;
    CalcBoundingBox(document);
}

void CNet::RotateSelected(int32_t cx, int32_t cy, int32_t angle)
{
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (!rec.IsSelected())
            continue;
        if (!(rec.IsPad() && rec.GetPadStack() == 0))
            SetVertexRotation(i, int64_t(rec.GetRotation()) + angle);
        const CPoint turned = RotatePoint(SaturateToInt(int64_t(rec.x) - cx),
                                          SaturateToInt(int64_t(rec.y) - cy), angle);
        SetVertexPoint(i, SaturateToInt(int64_t(turned.x) + cx),
                       SaturateToInt(int64_t(turned.y) + cy));
    }
}

// ---- Pins ---------------------------------------------------------------------------------------

int32_t CNet::AddPin(int32_t x, int32_t y, int32_t component, int32_t pad, int32_t padStack,
                     int32_t angle, bool side, uint32_t layerMask)
{
    auto fits = [](int32_t v) { return v >= 0 && v <= 0xFFFF; };
    if (component < 0 || !fits(pad) || !fits(padStack))
        return -1;
    NetPinRec pin;
    pin.x = x;
    pin.y = y;
    pin.component = component;
    pin.pad = uint16_t(pad);
    pin.padStack = uint16_t(padStack);
    pin.angle = angle;
    pin.side = side ? 1 : 0;
    pin.layerMask = layerMask;
    const int32_t index = m_pins.Add(pin);
    m_pins[index].SetCluster(index);
    // Clusters counted before this pin came do not describe the net any more.
    MarkChanged();
    return index;
}

void CNet::ClearPins()
{
    m_pins.RemoveAll();
    MarkChanged();
}

int32_t CNet::FindPin(int32_t component, int32_t pad) const
{
    for (int32_t i = 0; i < GetPinCount(); ++i) {
        if (m_pins[i].component == component && m_pins[i].pad == pad)
            return i;
    }
    return -1;
}

namespace {

int32_t RenumberedComponent(const std::vector<int32_t>& newIndex, int32_t component)
{
    return component >= 0 && size_t(component) < newIndex.size() ? newIndex[size_t(component)] : -1;
}

} // namespace

bool CNet::PinsChangeWith(const std::vector<int32_t>& newIndex) const
{
    return std::any_of(m_pins.begin(), m_pins.end(), [&](const NetPinRec& pin) {
        return RenumberedComponent(newIndex, pin.component) != pin.component;
    });
}

int32_t CNet::RenumberPinComponents(const std::vector<int32_t>& newIndex)
{
    int32_t kept = 0;
    for (int32_t i = 0; i < GetPinCount(); ++i) {
        NetPinRec pin = m_pins[i];
        pin.component = RenumberedComponent(newIndex, pin.component);
        if (pin.component >= 0)
            m_pins[kept++] = pin;
    }
    const int32_t dropped = GetPinCount() - kept;
    if (dropped == 0)
        return 0;
    m_pins.SetSize(kept);
    for (int32_t i = 0; i < kept; ++i) {
        m_pins[i].cluster = 0;
        m_pins[i].SetCluster(i);
    }
    MarkChanged();
    return dropped;
}

void CNet::MovePin(int32_t component, int32_t pad, int32_t dx, int32_t dy,
                   CPadStackReaches& margins)
{
    m_ratsnestDirty = true;
    for (NetPinRec& pin : m_pins) {
        if (pin.component == component && pin.pad == pad) {
            pin.x = SaturateToInt(int64_t(pin.x) + dx);
            pin.y = SaturateToInt(int64_t(pin.y) + dy);
            GrowBoxAbout(pin, margins);
        }
    }
}

void CNet::GrowBoxAbout(const NetPinRec& pin, CPadStackReaches& margins)
{
    const int64_t r = std::max<int64_t>(m_clearance, margins.Margin(pin.padStack, pin.angle));
    GrowBox(SaturateToInt(pin.x - r), SaturateToInt(pin.y - r));
    GrowBox(SaturateToInt(pin.x + r), SaturateToInt(pin.y + r));
}

bool CNet::UpdatePin(int32_t x, int32_t y, int32_t component, int32_t pad, int32_t padStack,
                     int32_t angle, bool side, uint32_t layerMask, CPadStackReaches& margins)
{
    m_ratsnestDirty = true;
    bool found = false;
    for (NetPinRec& pin : m_pins) {
        if (pin.component == component && pin.pad == pad) {
            pin.x = x;
            pin.y = y;
            pin.padStack = uint16_t(padStack);
            pin.angle = angle;
            pin.side = side ? 1 : 0;
            pin.layerMask = layerMask;
            GrowBoxAbout(pin, margins);
            found = true;
        }
    }
    return found;
}

// ---- Clusters, ratsnest and ToDo ----------------------------------------------------------------

int64_t CNet::PadStackMargin(const CPadStackArray& padStacks, int32_t padStack, int64_t angle)
{
    int64_t margin = 0;
    for (int32_t layer = LAYER_TOP; layer <= LAYER_DRILL; ++layer) {
        const CPad* pad = padStacks.GetPad(padStack, layer);
        if (pad)
            margin = std::max(margin, PadReach(pad->GetRect(), angle + pad->GetRotation()));
    }
    return margin;
}

int64_t CNet::PadReach(const CRect& rect, int64_t angle)
{
    const int64_t ax = std::max(std::abs(int64_t(rect.left)), std::abs(int64_t(rect.right)));
    const int64_t ay = std::max(std::abs(int64_t(rect.top)), std::abs(int64_t(rect.bottom)));
    if (angle % 90000 == 0)
        return std::max(ax, ay);
    return int64_t(std::ceil(std::hypot(double(ax), double(ay))));
}

int32_t CNet::PadStackReach(const CPadStackArray& padStacks, int32_t padStack)
{
    int64_t reach = 0;
    for (int32_t layer = LAYER_COMMON; layer < PADSTACK_LAYER_COUNT; ++layer) {
        const CPad* pad = padStacks.GetPad(padStack, layer);
        if (pad)
            reach = std::max(reach, PadReach(pad->GetRect(), 1));
    }
    return SaturateToInt(reach);
}

std::vector<int64_t> CNet::PadStackMissDistances(const CPadStackArray& padStacks)
{
    std::vector<int64_t> distances(size_t(std::max(padStacks.GetCount(), 0)), 0);
    for (size_t s = 0; s < distances.size(); ++s) {
        for (int32_t layer = LAYER_COMMON; layer < PADSTACK_LAYER_COUNT; ++layer) {
            if (const CPad* pad = padStacks.GetPad(int32_t(s), layer))
                distances[s] =
                    std::max(distances[s], CCopperShape::PadMissDistance(pad->GetRect(), 0));
        }
    }
    return distances;
}

void CNet::CalcClusters(CNetDocument& document)
{
    if (GetVertexCount() > maxClusterVertices)
        return;
    m_clusterCount = document.CheckNetClusters(*this);
    m_clustersDirty = false;
}

void CNet::CalcRatsnest(CNetDocument& document)
{
    m_ratsnest.RemoveAll();
    if (TestFlags(flagNoRatsnest))
        return;
    if (GetPinCount() > ratsnestPinLimit || GetVertexCount() > maxClusterVertices)
        return;
    m_ratsnestDirty = false;
    m_ratsnestLength = 0;
    if (m_pins.IsEmpty())
        return;
    if (m_clustersDirty)
        CalcClusters(document);
    if (m_clusterCount < 2)
        return;

    int64_t total = 0;
    for (const RatsLine& line : SpanPinClusters(m_pins)) {
        m_ratsnest.Add(line);
        total += Distance(line.x1, line.y1, line.x2, line.y2);
    }
    m_ratsnestLength = SaturateToInt(total);
}

int32_t CNet::GetToDo() const
{
    if (GetPinCount() < 2)
        return 0;
    if (m_clusterCount == GetPinCount())
        return m_clusterCount;
    return m_clusterCount - 1;
}

bool CNet::MarkRatsnestDirty(bool on)
{
    const bool changed = m_ratsnestDirty != on;
    m_ratsnestDirty = on;
    return changed;
}

bool CNet::MarkClustersDirty(bool on)
{
    const bool changed = m_clustersDirty != on;
    m_clustersDirty = on;
    return changed;
}

RatsLine CNet::NearestConnection(int32_t component, int32_t pad) const
{
    const int32_t index = FindPin(component, pad);
    if (index < 0)
        return {};
    const NetPinRec& from = m_pins[index];
    const int32_t cluster = from.GetCluster();
    int32_t best = std::numeric_limits<int32_t>::max();
    CPoint to(from.x, from.y);
    auto consider = [&](int32_t x, int32_t y) {
        const int32_t d = Distance(from.x, from.y, x, y);
        if (d < best) {
            best = d;
            to = CPoint(x, y);
        }
    };
    for (const NetPinRec& pin : m_pins) {
        if (pin.GetCluster() != cluster)
            consider(pin.x, pin.y);
    }
    for (const TrackRec& rec : m_vertices) {
        if (rec.cluster != cluster)
            consider(rec.x, rec.y);
    }
    return {from.x, from.y, to.x, to.y};
}

std::string CNet::GetShortInfo() const
{
    return "Net: " + m_name + ", Pins: " + std::to_string(GetPinCount()) +
           ", ToDo:" + std::to_string(m_clusterCount - 1);
}

std::string CNet::GetStatusText(int32_t unit) const
{
    if (GetVertexCount() < 2)
        return "Ready";
    const std::string head = "Net: " + m_name + " " + std::to_string(GetPinCount()) + " Pins, ";
    const std::string todo =
        m_clusterCount != 1 ? "ToDo:" + std::to_string(m_clusterCount - 1) : std::string("Ready");
    const TrackRec& current = m_vertices[m_currentVertex];
    if (current.IsPad())
        return head + todo + ", Via:" + std::to_string(current.GetPadStack() + 1);

    int32_t pen = current.GetPen();
    if (pen == 0) {
        if (m_currentVertex + 1 >= GetVertexCount())
            return "Ready";
        pen = GetVertexPen(m_currentVertex + 1);
    }
    return head + todo + ", L:" + std::to_string(current.GetLayer()) +
           " W:" + CLengthText::FormatLength(unit, GetPenWidth(pen)) + " ";
}

// ---- Serialisation ------------------------------------------------------------------------------

void CNet::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_storedByte << m_currentVertex << m_flags << m_minWidth << m_maxWidth << m_clearance
           << m_selectedPads << m_selectedTracks;
        ar << m_box.left << m_box.top << m_box.right << m_box.bottom;
        ar << m_name << m_currentPen;
        ar.WriteWordArray(m_pens);
        m_vertices.Serialize(ar);
        return;
    }

    // Read into a fresh net so that a damaged record leaves this one as it was.
    CNet loaded{Blank{}};
    ar >> loaded.m_storedByte >> loaded.m_currentVertex >> loaded.m_flags >> loaded.m_minWidth >>
        loaded.m_maxWidth >> loaded.m_clearance >> loaded.m_selectedPads >> loaded.m_selectedTracks;
    ar >> loaded.m_box.left >> loaded.m_box.top >> loaded.m_box.right >> loaded.m_box.bottom;
    ar >> loaded.m_name >> loaded.m_currentPen;
    ar.ReadWordArray(loaded.m_pens);
    loaded.m_vertices.Serialize(ar);
    loaded.m_loadedWithoutWidth =
        std::all_of(loaded.m_pens.begin() + std::min<ptrdiff_t>(1, ptrdiff_t(loaded.m_pens.size())),
                    loaded.m_pens.end(), [](uint16_t width) { return width == 0; });

    if (loaded.RepairLoaded())
        ar.AddLoadWarning(CResString::Load(IDS_NET_RECORDS_REPAIRED));
    // A stored list may begin inside a run; its leading drawn vertices have nothing to draw from.
    int32_t lead = 0;
    while (lead < loaded.GetVertexCount() && loaded.m_vertices[lead].IsDrawn())
        ++lead;
    loaded.m_vertices.RemoveAt(0, lead);
    loaded.RecountSelection();
    loaded.ClampCurrentVertex();
    loaded.MarkChanged();
    *this = std::move(loaded);
}

void CNet::SkipRecord(CArchive& ar)
{
    constexpr size_t head = sizeof(m_storedByte) + sizeof(m_currentVertex) + sizeof(m_flags) +
                            sizeof(m_minWidth) + sizeof(m_maxWidth) + sizeof(m_clearance) +
                            sizeof(m_selectedPads) + sizeof(m_selectedTracks) +
                            4 * sizeof(CRect::left);
    ar.Skip(head);
    ar.SkipString();
    ar.Skip(sizeof(m_currentPen));
    ar.SkipCounted(sizeof(uint16_t));
    ar.SkipCounted(TrackRec::recordSize);
}

bool CNet::RepairLoaded()
{
    bool repaired = false;
    if (m_pens.empty()) {
        m_pens = {0, uint16_t(defaultMinWidth)};
        repaired = true;
    } else if (m_pens[0] != 0) {
        m_pens[0] = 0;
        repaired = true;
    }
    // No vertex can name a pen beyond 15.
    if (GetPenCount() > maxPenCount) {
        m_pens.resize(size_t(maxPenCount));
        repaired = true;
    }
    if (m_currentPen < 0) {
        m_currentPen = GetPenCount() > 1 ? 1 : 0;
        repaired = true;
    } else if (m_currentPen >= GetPenCount()) {
        m_currentPen = GetPenCount() - 1;
        repaired = true;
    }
    for (TrackRec& rec : m_vertices) {
        if (rec.IsPad())
            continue;
        if (rec.GetPen() >= GetPenCount()) {
            // The net's first track width keeps the segment; without one the run splits here.
            const int32_t pen = GetPenCount() > 1 ? 1 : 0;
            rec.penLayer = uint16_t((rec.penLayer & ~TrackRec::penMask) | uint32_t(pen));
            repaired = true;
        }
        if (rec.GetLayer() > maxLayer) {
            rec.penLayer = uint16_t((rec.penLayer & ~TrackRec::layerMask) |
                                    (uint32_t(maxLayer) << TrackRec::layerShift));
            repaired = true;
        }
    }
    return repaired;
}

void CNet::RecountSelection()
{
    m_selectedPads = 0;
    m_selectedTracks = 0;
    for (const TrackRec& rec : m_vertices) {
        if (rec.IsSelected())
            ++(rec.IsPad() ? m_selectedPads : m_selectedTracks);
    }
}
