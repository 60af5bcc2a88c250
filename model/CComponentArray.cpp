#include "model/CComponentArray.h"
#include "model/CComponentTool.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <numeric>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CNumberText.h"
#include "framework/CWorkPool.h"
#include "model/CComponentArrayDocument.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

WEVRA_IMPLEMENT_SERIAL(CComponentArray, "CComponentArray", 0)

namespace {

constexpr std::string_view digits = "0123456789";

// Fewer components are copied or compared on the calling thread alone.
constexpr size_t componentsAlone = 4096;

// Stands in for a component outside the list: no name, no shape, no pads.
const CComponent& NoComponent()
{
    static const CComponent none("", "", -1, 0, 0, 0, false);
    return none;
}

// The key SortByReference orders by; a digitless reference has the empty prefix.
struct SortKey {
    std::string_view prefix;
    int32_t number;
};

SortKey MakeSortKey(std::string_view reference)
{
    const size_t first = reference.find_first_of(digits);
    if (first == std::string_view::npos)
        return {std::string_view(), 0};
    return {reference.substr(0, first), CComponentArray::ReferenceNumber(reference)};
}

} // namespace

CComponentArray::CComponentArray()
{
    m_textLineWidths.fill(defaultTextLineWidth);
    m_textHeights.fill(defaultTextHeight);
}

CComponentArray::CComponentArray(CComponentArrayDocument& document) : CComponentArray()
{
    m_document = &document;
}

CComponentArray::CComponentArray(const CComponentArray& other) : CObject(other)
{
    CopyFields(other);
}

CComponentArray& CComponentArray::operator=(const CComponentArray& other)
{
    if (this != &other)
        CopyFields(other);
    return *this;
}

CComponentArray::~CComponentArray() = default;

CComponentTool& CComponentArray::GetComponentTool()
{
    if (!m_tool)
        m_tool = std::make_unique<CComponentTool>(*this);
    return *m_tool;
}

void CComponentArray::CopyFields(const CComponentArray& other)
{
    // The copy shares the components; those an edit is about to write (the selected, the
    // current and the active one) are copied now, so that a component a tool already holds is
    // never shared with an undo snapshot taken of it.
    m_components =
        CSharedItem<CComponent>::CopyEach(other.m_components.size(), componentsAlone,
                                          [&](size_t i) { return other.KeptComponent(i); });
    m_activeIndex = other.m_activeIndex;
    m_selectedCount = 0;
    m_referenceIncrement = other.m_referenceIncrement;
    m_current = other.m_current;
    m_textLineWidths = other.m_textLineWidths;
    m_textHeights = other.m_textHeights;
    m_textOptions = other.m_textOptions;
    m_pinCount = other.m_pinCount;
    m_lastHit = other.m_lastHit;
    m_outlineLayerUse = other.m_outlineLayerUse;
    m_padLayerUse = other.m_padLayerUse;
    m_document = other.m_document;
    m_prefixes = other.m_prefixes;
    m_hitOrder = other.m_hitOrder;
    m_hitOrderStale = other.m_hitOrderStale;
}

CSharedItem<CComponent> CComponentArray::KeptComponent(size_t i) const
{
    const CSharedItem<CComponent>& component = m_components[i];
    if (!component->IsSelected() && int32_t(i) != m_current && int32_t(i) != m_activeIndex)
        return component;
    auto copy = std::make_unique<CComponent>(*component);
    copy->SetSelected(false);
    return copy;
}

bool CComponentArray::ShareComponentsOf(const CComponentArray& other,
                                        std::vector<CSharedItem<CComponent>>& replaced)
{
    if (m_components.size() != other.m_components.size())
        return false;
    // As with nets: only the selected, current and active components may be written through
    // a pointer a tool holds.
    replaced = CSharedItem<CComponent>::ShareAgain(
        m_components, other.m_components, componentsAlone,
        [&](size_t i) {
            return int32_t(i) == other.m_current || int32_t(i) == other.m_activeIndex;
        },
        [&](size_t i) { return other.KeptComponent(i); });
    return true;
}

// ---- Components --------------------------------------------------------------------------------

const CComponent& CComponentArray::At(int32_t i) const
{
    return IsIndex(i) ? *m_components[size_t(i)] : NoComponent();
}

CComponent* CComponentArray::GetComponent(int32_t i)
{
    return IsIndex(i) ? m_components[size_t(i)].get() : nullptr;
}

const CComponent* CComponentArray::GetComponent(int32_t i) const
{
    return IsIndex(i) ? m_components[size_t(i)].get() : nullptr;
}

std::string CComponentArray::GetShapeName(int32_t i) const
{
    return m_document ? m_document->GetShapeCache().GetShapeName(GetShapeIndex(i)) : std::string();
}

CPoint CComponentArray::GetCenter(int32_t i) const
{
    const CRect box = GetBox(i);
    return CPoint(static_cast<int32_t>(box.left + box.Width() / 2),
                  static_cast<int32_t>(box.top + box.Height() / 2));
}

int32_t CComponentArray::GetShapePadCount(int32_t i) const
{
    return m_document ? At(i).GetPadCount(m_document->GetShapeCache()) : 0;
}

int32_t CComponentArray::GetPadShape(int32_t i, int32_t n) const
{
    return m_document ? At(i).GetPadStack(n, m_document->GetShapeCache()) : -1;
}

CPoint CComponentArray::GetPadPosition(int32_t i, int32_t n) const
{
    return m_document ? At(i).GetPadPosition(n, m_document->GetShapeCache()) : GetPosition(i);
}

int32_t CComponentArray::GetPadRotation(int32_t i, int32_t n) const
{
    return m_document ? At(i).GetPadAngle(n, m_document->GetShapeCache()) : GetRotation(i);
}

int32_t CComponentArray::GetPadExtent(int32_t i, int32_t n) const
{
    const int32_t stack = GetPadShape(i, n);
    if (stack < 0)
        return 0;
    const CPadStackArray& stacks = m_document->GetShapeCache().GetPadStacks();
    return stacks.GetPad(stack, LAYER_DRILL) ? stacks.GetPadWidth(stack, LAYER_DRILL) : 0;
}

void CComponentArray::SetName(int32_t i, int32_t k, const std::string& name)
{
    if (CComponent* component = GetComponent(i))
        component->SetName(k, name);
}

void CComponentArray::SetPosition(int32_t i, int32_t x, int32_t y)
{
    if (CComponent* component = GetComponent(i)) {
        component->SetPosition(x, y);
        RecalcRect(i);
    }
}

void CComponentArray::SetRotation(int32_t i, int32_t rotation)
{
    if (CComponent* component = GetComponent(i)) {
        component->SetRotation(rotation);
        RecalcRect(i);
    }
}

void CComponentArray::SetMirrored(int32_t i, bool on)
{
    if (CComponent* component = GetComponent(i)) {
        component->SetMirrored(on);
        RecalcRect(i);
    }
}

void CComponentArray::SetShapeIndex(int32_t i, int32_t shapeIndex)
{
    if (CComponent* component = GetComponent(i)) {
        component->SetShapeIndex(shapeIndex);
        RecalcRect(i);
    }
}

void CComponentArray::SetGroup(int32_t i, uint16_t group)
{
    if (CComponent* component = GetComponent(i))
        component->SetGroup(group);
}

void CComponentArray::SetCluster(int32_t i, uint16_t cluster)
{
    if (CComponent* component = GetComponent(i))
        component->SetCluster(cluster);
}

void CComponentArray::SetFlag(int32_t i, uint32_t mask, bool on)
{
    CComponent* component = GetComponent(i);
    if (!component)
        return;
    if (mask & ComponentFlags::selected)
        Select(i, on);
    component->SetFlag(mask & ~ComponentFlags::selected, on);
}

int32_t CComponentArray::AddEmpty(int32_t shapeIndex)
{
    m_components.push_back(std::make_unique<CComponent>());
    m_components.back()->SetShapeIndex(shapeIndex);
    m_hitOrderStale = true;
    return GetCount() - 1;
}

bool CComponentArray::AddComponent(const std::string& reference, const std::string& type,
                                   int32_t shapeIndex, int32_t x, int32_t y, int32_t rotation,
                                   bool mirrored)
{
    if (ReferenceExists(reference))
        return false;
    AppendComponent(reference, type, shapeIndex, x, y, rotation, mirrored);
    return true;
}

int32_t CComponentArray::AppendComponent(const std::string& reference, const std::string& type,
                                         int32_t shapeIndex, int32_t x, int32_t y, int32_t rotation,
                                         bool mirrored)
{
    m_components.push_back(
        std::make_unique<CComponent>(reference, type, shapeIndex, x, y, rotation, mirrored));
    m_hitOrderStale = true;
    const int32_t i = GetCount() - 1;
    CComponent& component = *m_components.back();
    component.SetFlag(ComponentFlags::fromNetlist, true);
    RecalcRect(i);

    // Whole steps at once: the same place as stepping one at a time, without a loop that a
    // box saturating at the edge of the int range could never end.
    const CRect box = component.GetBox();
    const int64_t up = box.bottom > 0 ? (int64_t(box.bottom) + placeStep - 1) / placeStep : 0;
    Offset(component, 0, static_cast<int32_t>(std::max<int64_t>(-up * placeStep, INT32_MIN)));
    const int32_t left = component.GetBox().left;
    const int64_t right = left < 0 ? (-int64_t(left) + placeStep - 1) / placeStep : 0;
    Offset(component, static_cast<int32_t>(std::min<int64_t>(right * placeStep, INT32_MAX)), 0);
    for (int32_t kind = 0; kind < textKindCount; ++kind)
        ResetTextPosition(i, kind);
    return i;
}

int32_t CComponentArray::FindByReference(std::string_view reference) const
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (m_components[size_t(i)]->GetName(0) == reference)
            return i;
    }
    return -1;
}

bool CComponentArray::ReferenceExists(std::string_view reference) const
{
    return FindByReference(reference) >= 0;
}

bool CComponentArray::SetPadNetByReference(std::string_view reference, int32_t pad, int32_t net)
{
    const int32_t i = FindByReference(reference);
    if (i < 0)
        return false;
    const int32_t netCount =
        m_document ? m_document->GetNetCount() : std::numeric_limits<uint16_t>::max() + 1;
    return m_components[size_t(i)]->SetPadNet(pad, net, netCount);
}

int32_t CComponentArray::CopyComponent(int32_t i, bool keepPadNets)
{
    if (!IsIndex(i))
        return -1;
    auto copy = std::make_unique<CComponent>(*m_components[size_t(i)]);
    copy->SetSelected(false);
    const std::string reference = copy->GetReference();
    if (m_referenceIncrement != 0) {
        copy->SetReference(UnusedReference(
            ReferencePrefix(reference), int64_t(ReferenceNumber(reference)) + m_referenceIncrement,
            m_referenceIncrement));
    } else {
        copy->SetReference(NextReference(reference, 0));
    }
    copy->SetFlag(ComponentFlags::allLocks, false);
    copy->SetFlag(ComponentFlags::fromPlaceComponent, true);
    if (!keepPadNets) {
        const int32_t pads = copy->GetPadNetCount();
        copy->ResizePadNets(0);
        copy->ResizePadNets(pads);
    }
    m_components.push_back(std::move(copy));
    m_hitOrderStale = true;
    return GetCount() - 1;
}

void CComponentArray::CopySelected(bool keepPadNets)
{
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (!m_components[size_t(i)]->IsSelected())
            continue;
        Select(i, false);
        const int32_t copy = CopyComponent(i, keepPadNets);
        Select(copy, true);
        if (m_document)
            m_document->SetCurrentComponent(copy);
    }
}

void CComponentArray::DeleteSelected()
{
    std::vector<int32_t> newIndex(m_components.size(), -1);
    std::vector<CSharedItem<CComponent>> kept;
    kept.reserve(m_components.size());
    for (size_t i = 0; i < m_components.size(); ++i) {
        const CComponent& component = *std::as_const(m_components)[i];
        if (component.IsSelected() && !component.TestFlag(ComponentFlags::lockDelete)) {
            --m_selectedCount;
            continue;
        }
        newIndex[i] = static_cast<int32_t>(kept.size());
        kept.push_back(std::move(m_components[i]));
    }
    m_components = std::move(kept);
    RemapIndexes(newIndex);
    if (m_document)
        m_pinCount =
            std::max(m_pinCount - m_document->GetNets().RenumberPinComponents(newIndex), 0);
}

void CComponentArray::RemapIndexes(const std::vector<int32_t>& newIndex)
{
    const auto remap = [&](int32_t i) {
        return i >= 0 && size_t(i) < newIndex.size() ? newIndex[size_t(i)] : -1;
    };
    m_current = remap(m_current);
    m_activeIndex = remap(m_activeIndex);
    m_lastHit = -1;
    m_hitOrderStale = true;
}

// ---- References ----------------------------------------------------------------------------

std::string_view CComponentArray::ReferencePrefix(std::string_view reference)
{
    return reference.substr(0, reference.find_first_of(digits));
}

int32_t CComponentArray::ReferenceNumber(std::string_view reference)
{
    const size_t first = reference.find_first_of(digits);
    return first == std::string_view::npos ? 0 : CNumberText::ParseInt(reference.substr(first));
}

bool CComponentArray::ReferenceLess(std::string_view a, std::string_view b)
{
    const SortKey ka = MakeSortKey(a);
    const SortKey kb = MakeSortKey(b);
    if (ka.prefix != kb.prefix)
        return ka.prefix < kb.prefix;
    if (ka.number != kb.number)
        return ka.number < kb.number;
    return a < b;
}

std::string CComponentArray::GetPrefix(int32_t i) const
{
    if (m_prefixes.empty())
        return defaultPrefix;
    return i >= 0 && i < GetPrefixCount() ? m_prefixes[size_t(i)] : std::string();
}

void CComponentArray::RebuildReferencePrefixes()
{
    // Runs of components are tallied side by side and the tallies merged in order, so each
    // prefix keeps the place of its first component.
    struct Tally {
        std::vector<std::string> prefixes;
        std::vector<int64_t> counts;
        void Add(std::string_view prefix, int64_t count)
        {
            const auto found = std::find(prefixes.begin(), prefixes.end(), prefix);
            if (found == prefixes.end()) {
                prefixes.emplace_back(prefix);
                counts.push_back(count);
            } else {
                counts[size_t(found - prefixes.begin())] += count;
            }
        }
    };
    constexpr size_t prefixComponentsAlone = 8192;
    std::vector<Tally> runs(CWorkPool::RunCount(m_components.size(), prefixComponentsAlone));
    const auto tally = [&](size_t run, size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const std::string reference = std::as_const(m_components)[i]->GetName(0);
            runs[run].Add(ReferencePrefix(reference), 1);
        }
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), prefixComponentsAlone, tally);
    Tally all;
    for (const Tally& run : runs) {
        for (size_t k = 0; k < run.prefixes.size(); ++k)
            all.Add(run.prefixes[k], run.counts[k]);
    }
    std::vector<std::string> entries;
    entries.reserve(all.prefixes.size());
    for (size_t k = 0; k < all.prefixes.size(); ++k)
        entries.push_back(all.prefixes[k] + CNumberText::FormatInt(all.counts[k] + 1));
    m_prefixes = std::move(entries);
}

std::string CComponentArray::NextReference(std::string_view text, int32_t increment) const
{
    const std::string_view prefix = ReferencePrefix(text);
    if (increment != 0)
        return std::string(prefix) +
               CNumberText::FormatInt(int64_t(ReferenceNumber(text)) + increment);
    int32_t highest = 0;
    for (const auto& component : m_components) {
        const std::string& reference = component->GetName(0);
        if (ReferencePrefix(reference) == prefix)
            highest = std::max(highest, ReferenceNumber(reference));
    }
    return UnusedReference(prefix, int64_t(highest) + 1, 1);
}

std::string CComponentArray::UnusedReference(std::string_view prefix, int64_t start,
                                             int64_t step) const
{
    // Each step gives another number, so one of the first count + 1 candidates is free.
    std::string candidate;
    int64_t number = start;
    for (int32_t k = 0; k <= GetCount(); ++k, number += step) {
        candidate = std::string(prefix) + CNumberText::FormatInt(number);
        if (!ReferenceExists(candidate))
            break;
    }
    return candidate;
}

void CComponentArray::SortByReference()
{
    if (GetCount() < 2)
        return;
    // Each reference is taken apart once, not once per comparison; the order is ReferenceLess's.
    std::vector<std::string> references;
    references.reserve(m_components.size());
    for (const auto& component : m_components)
        references.push_back(component->GetName(0));
    std::vector<SortKey> keys;
    keys.reserve(references.size());
    for (const std::string& reference : references)
        keys.push_back(MakeSortKey(reference));
    std::vector<int32_t> order(m_components.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&references, &keys](int32_t a, int32_t b) {
        const SortKey& ka = keys[size_t(a)];
        const SortKey& kb = keys[size_t(b)];
        if (ka.prefix != kb.prefix)
            return ka.prefix < kb.prefix;
        if (ka.number != kb.number)
            return ka.number < kb.number;
        return references[size_t(a)] < references[size_t(b)];
    });
    std::vector<CSharedItem<CComponent>> sorted;
    sorted.reserve(order.size());
    std::vector<int32_t> newIndex(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        newIndex[size_t(order[k])] = static_cast<int32_t>(k);
        sorted.push_back(std::move(m_components[size_t(order[k])]));
    }
    m_components = std::move(sorted);
    RemapIndexes(newIndex);
}

// ---- Selection ---------------------------------------------------------------------------------

bool CComponentArray::Select(int32_t i, bool on)
{
    CComponent* component = GetComponent(i);
    if (!component || component->IsSelected() == on)
        return false;
    if (on && component->TestFlag(ComponentFlags::lockSelect))
        return false;
    component->SetSelected(on);
    m_selectedCount += on ? 1 : -1;
    return true;
}

int32_t CComponentArray::SelectAll(bool on)
{
    // Each component is selected alone: runs of them go side by side, each counting what it
    // changed and what it holds selected afterwards, and the counts are summed in order.
    struct Counts {
        int32_t changed = 0;
        int32_t selected = 0;
    };
    std::vector<Counts> runs(CWorkPool::RunCount(m_components.size(), componentsAlone));
    const auto select = [&](size_t run, size_t first, size_t last) {
        Counts counts;
        for (size_t i = first; i < last; ++i) {
            // Looked at first, so that a component already so is not taken for writing.
            const CComponent& seen = *std::as_const(m_components)[i];
            if (seen.IsSelected() != on && !(on && seen.TestFlag(ComponentFlags::lockSelect))) {
                m_components[i]->SetSelected(on);
                ++counts.changed;
            }
            counts.selected += std::as_const(m_components)[i]->IsSelected() ? 1 : 0;
        }
        runs[run] = counts;
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), componentsAlone, select);
    int32_t changed = 0;
    m_selectedCount = 0;
    for (const Counts& counts : runs) {
        changed += counts.changed;
        m_selectedCount += counts.selected;
    }
    return changed;
}

void CComponentArray::ClearCurrent()
{
    Select(m_current, false);
    m_current = -1;
}

// ---- Hit tests -------------------------------------------------------------------------------

bool CComponentArray::PassesSideFilter(int32_t i, uint32_t layerMask) const
{
    if (!m_document)
        return false;
    const CShapeLib& cache = m_document->GetShapeCache();
    const CComponent& component = At(i);
    const CShape* shape = component.GetShape(cache);
    if (!shape)
        return false;
    const bool mirrored = component.IsMirrored();
    const auto onMask = [&](int32_t layer) {
        return (LayerBit(mirrored ? OppositeLayer(layer) : layer) & layerMask) != 0;
    };
    const CPadStackArray& stacks = cache.GetPadStacks();
    for (const ShapePad& pad : shape->GetPads()) {
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            if (stacks.GetPad(pad.GetPadStackIndex(), layer) && onMask(layer))
                return true;
        }
    }
    for (const ShapeOutlineVertex& vertex : shape->GetOutline()) {
        if (onMask(vertex.GetLayer()))
            return true;
    }
    return false;
}

bool CComponentArray::IntersectsRect(int32_t i, const CRect& rect) const
{
    CRect r = rect;
    r.NormalizeRect();
    const CRect box = GetBox(i);
    return box.left <= r.right && box.right >= r.left && box.top <= r.bottom && box.bottom >= r.top;
}

const std::vector<int32_t>& CComponentArray::HitOrder()
{
    if (!m_hitOrderStale && m_hitOrder.size() == m_components.size())
        return m_hitOrder;
    std::vector<int64_t> areas(m_components.size());
    for (size_t i = 0; i < m_components.size(); ++i) {
        const CRect& box = m_components[i]->GetBox();
        areas[i] = (box.Height() / hitAreaUnit) * (box.Width() / hitAreaUnit);
    }
    m_hitOrder.resize(m_components.size());
    std::iota(m_hitOrder.begin(), m_hitOrder.end(), 0);
    std::stable_sort(m_hitOrder.begin(), m_hitOrder.end(),
                     [&](int32_t a, int32_t b) { return areas[size_t(a)] < areas[size_t(b)]; });
    m_hitOrderStale = false;
    return m_hitOrder;
}

int32_t CComponentArray::FindAtPoint(CPoint& point, int32_t mode, uint32_t layerMask)
{
    const bool anyLock = (mode & hitIgnoreSelectLock) != 0 ||
                         (m_document && m_document->GetMode() == ID_COMPONENTS_PROPERTIES);
    for (int32_t i : HitOrder()) {
        const CComponent& component = *std::as_const(m_components)[size_t(i)];
        if (!component.GetBox().PtInRect(point) || !PassesSideFilter(i, layerMask))
            continue;
        if (!anyLock && component.TestFlag(ComponentFlags::lockSelect))
            continue;
        if (mode & hitSelect)
            Select(i, true);
        else if (mode & hitToggle)
            Select(i, !component.IsSelected());
        point = component.GetPosition();
        m_lastHit = i == GetCount() - 1 ? -1 : i;
        return i;
    }
    return -1;
}

int32_t CComponentArray::FindNextAtPoint(CPoint& point, int32_t mode, uint32_t layerMask)
{
    for (int32_t i = std::max(m_lastHit + 1, 0); i < GetCount(); ++i) {
        const CComponent& component = *std::as_const(m_components)[size_t(i)];
        if (!component.GetBox().PtInRect(point) || !PassesSideFilter(i, layerMask))
            continue;
        if (mode & hitSelect)
            Select(i, true);
        else if (mode & hitToggle)
            Select(i, !component.IsSelected());
        point = component.GetPosition();
        m_lastHit = i == GetCount() - 1 ? -1 : i;
        return i;
    }
    m_lastHit = -1;
    return -1;
}

bool CComponentArray::SelectInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    bool any = false;
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (!IntersectsRect(i, rect) || !PassesSideFilter(i, layerMask))
            continue;
        any = true;
        if (mode & hitSelect)
            Select(i, true);
        else if (mode & hitToggle)
            Select(i, !IsSelected(i));
    }
    return any;
}

int32_t CComponentArray::DisplayTextKind() const
{
    const int32_t mode = m_document ? m_document->GetComponentTextMode() : 0;
    return mode >= 1 && mode <= textKindCount ? mode - 1 : -1;
}

bool CComponentArray::PickTextAtPoint(CPoint& point)
{
    const int32_t kind = DisplayTextKind();
    if (kind < 0)
        return false;
    const auto reach = [](int32_t v, int32_t d) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(v) + d, INT32_MIN, INT32_MAX));
    };
    const CRect window(reach(point.x, -textPickReach), reach(point.y, -textPickReach),
                       reach(point.x, textPickReach), reach(point.y, textPickReach));
    if (IsIndex(m_current) && window.PtInRect(At(m_current).GetTextPoint(kind)))
        return true;
    Select(m_current, false);
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CPoint text = m_components[size_t(i)]->GetTextPoint(kind);
        if (window.PtInRect(text)) {
            m_current = i;
            Select(i, true);
            point = text;
            return true;
        }
    }
    m_current = -1;
    return false;
}

// ---- Storage -----------------------------------------------------------------------------------

void CComponentArray::Serialize(CArchive& ar)
{
    Serialize(ar, ownShapeCacheVersion);
}

void CComponentArray::Serialize(CArchive& ar, uint32_t fileVersion)
{
    if (ar.IsStoring()) {
        for (int32_t width : m_textLineWidths)
            ar << width;
        for (int32_t height : m_textHeights)
            ar << height;
        for (int32_t option : m_textOptions)
            ar << option;
        ar.WriteCount(m_components.size());
        ar.WriteObjects(m_components.size(), [this](size_t i) -> const CObject* {
            return std::as_const(m_components)[i].get();
        });
        return;
    }

    std::array<int32_t, textKindCount> widths{};
    std::array<int32_t, textKindCount> heights{};
    std::array<int32_t, textOptionCount> options{};
    for (int32_t& width : widths)
        width = ar.ReadInt();
    for (int32_t& height : heights)
        height = ar.ReadInt();
    for (int32_t& option : options)
        option = ar.ReadInt();
    const uint32_t count = ar.ReadCount(2);
    std::vector<CSharedItem<CComponent>> components =
        ar.ReadObjectsOf<CComponent, CSharedItem<CComponent>>(count, &CComponent::SkipRecord);
    if (std::any_of(components.begin(), components.end(), [](const auto& c) { return !c; }))
        CArchive::Fail(CArchiveException::badClass, "Empty component record.");
    std::unique_ptr<CShapeLib> oldCache;
    if (fileVersion < ownShapeCacheVersion) {
        oldCache = std::make_unique<CShapeLib>();
        oldCache->Serialize(ar);
        oldCache->SetName(CShapeLib::cacheName);
    }

    m_textLineWidths = widths;
    m_textHeights = heights;
    m_textOptions = options;
    m_components = std::move(components);
    if (oldCache && m_document)
        m_document->GetEditableShapeCache() = *oldCache;
    ResetTransientState();
    RebuildReferencePrefixes();
}

void CComponentArray::ResetTransientState()
{
    m_selectedCount = 0;
    for (const auto& component : m_components)
        m_selectedCount += component->IsSelected() ? 1 : 0;
    m_current = -1;
    m_activeIndex = -1;
    m_lastHit = -1;
    m_hitOrder.clear();
    m_hitOrderStale = true;
}

void CComponentArray::RepairAfterLoad(CArchive& ar, int32_t netCount)
{
    if (!m_document)
        return;
    const CShapeLib& cache = m_document->GetShapeCache();
    // Each component is repaired alone, so runs of them go side by side. Each run notes its
    // repairs in an archive of its own; they are passed on in run order, which keeps the
    // warnings in the order one thread would find them.
    constexpr size_t repairsAlone = 2048;
    std::vector<CArchive> notes(CWorkPool::RunCount(m_components.size(), repairsAlone));
    const auto repair = [&](size_t run, size_t first, size_t last) {
        for (size_t i = first; i < last; ++i)
            m_components[i]->RepairAfterLoad(notes[run], cache, netCount);
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), repairsAlone, repair);
    for (const CArchive& run : notes) {
        for (const std::string& text : run.GetLoadWarnings())
            ar.AddLoadWarning(text);
    }
}

CDialogService::ShapeRequest CComponentArray::MakeShapeRequest(bool replace) const
{
    CDialogService::ShapeRequest request;
    request.replace = replace;
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CComponent& component = At(i);
        const CShape* shape =
            m_document ? component.GetShape(m_document->GetShapeCache()) : nullptr;
        request.components.push_back({component.GetReference(),
                                      component.GetName(CComponent::textType),
                                      shape != nullptr ? shape->GetName() : std::string()});
    }
    return request;
}

CDialogService::PinnedComponent CComponentArray::MakePinnedComponent(int32_t i) const
{
    CDialogService::PinnedComponent pinned;
    pinned.reference = GetReference(i);
    for (int32_t pad = 0; pad < GetShapePadCount(i); ++pad)
        pinned.pins.push_back(GetPadPosition(i, pad));
    return pinned;
}

CFieldRange CComponentArray::PlacesOf(int32_t i) const
{
    const CComponent& component = At(i);
    const CPoint at = component.GetPosition();
    double reach = 0.0;
    const auto take = [&reach, at](CPoint p) {
        reach = std::max(reach, std::hypot(double(p.x) - at.x, double(p.y) - at.y));
    };
    for (const int32_t kind :
         {CComponent::textReference, CComponent::textType, CComponent::textShapeName})
        take(component.GetTextPoint(kind));
    for (int32_t pad = 0; pad < GetShapePadCount(i); ++pad)
        take(GetPadPosition(i, pad));
    const int64_t free = std::max<int64_t>(0, FieldRanges::coordinate - int64_t(std::ceil(reach)));
    return {-free, free};
}
