#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "framework/CWorkPool.h"
#include "framework/Numeric.h"
#include "model/CComponentArray.h"
#include "model/CComponentArrayDocument.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetArrayDocument.h"
#include "model/CPadStackArray.h"
#include "model/CPadStackReaches.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CWevraFont.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"

namespace {

CPoint Shifted(CPoint point, int32_t dx, int32_t dy)
{
    return CPoint(SaturateToInt(int64_t(point.x) + dx), SaturateToInt(int64_t(point.y) + dy));
}

// Any sum of angles brought into one turn, also where it leaves the int range.
int32_t AddAngles(int32_t a, int32_t b)
{
    return static_cast<int32_t>((int64_t(a) + b) % FULL_TURN);
}

// (x, y) turned by k quarter turns the way RotatePoint turns, exactly and without overflow.
void TurnQuarters(int64_t& x, int64_t& y, int32_t k)
{
    for (int32_t step = 0; step < k; ++step) {
        const int64_t turnedX = y;
        y = -x;
        x = turnedX;
    }
}

} // namespace

// ---- Moves ---------------------------------------------------------------------------------

void CComponentArray::Offset(CComponent& component, int32_t dx, int32_t dy)
{
    const CPoint position = Shifted(component.GetPosition(), dx, dy);
    component.SetPosition(position.x, position.y);
    for (int32_t kind = 0; kind < textKindCount; ++kind)
        component.SetTextPoint(kind, Shifted(component.GetTextPoint(kind), dx, dy));
    const CRect& box = component.GetBox();
    const CPoint topLeft = Shifted(CPoint(box.left, box.top), dx, dy);
    const CPoint bottomRight = Shifted(CPoint(box.right, box.bottom), dx, dy);
    component.SetBox(CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y));
}

void CComponentArray::MoveBy(int32_t i, int32_t dx, int32_t dy)
{
    CComponent* component = GetComponent(i);
    if (!component || component->TestFlag(ComponentFlags::lockMove))
        return;
    Offset(*component, dx, dy);
    if (!m_document)
        return;
    CNetArray& nets = m_document->GetNets();
    const CShapeLib& cache = m_document->GetShapeCache();
    CPadStackReaches margins(cache.GetPadStacks());
    const int32_t pads = component->GetPadCount(cache);
    for (int32_t n = 0; n < pads; ++n) {
        if (CNet* net = nets.GetNet(component->GetPadNet(n))) {
            net->MovePin(i, n, dx, dy, margins);
            net->MarkClustersDirty(true);
        }
    }
}

void CComponentArray::MoveTo(int32_t i, int32_t x, int32_t y)
{
    const CPoint position = GetPosition(i);
    MoveBy(i, SaturateToInt(int64_t(x) - position.x), SaturateToInt(int64_t(y) - position.y));
}

void CComponentArray::MoveAll(int32_t dx, int32_t dy)
{
    for (auto& component : m_components) {
        if (!std::as_const(component)->TestFlag(ComponentFlags::lockMove))
            Offset(*component, dx, dy);
    }
}

void CComponentArray::MoveLastTo(int32_t x, int32_t y)
{
    if (m_components.empty())
        return;
    CComponent& last = *m_components.back();
    Offset(last, SaturateToInt(int64_t(x) - last.GetPosition().x),
           SaturateToInt(int64_t(y) - last.GetPosition().y));
}

void CComponentArray::SetPlacement(int32_t i, CPoint position, int32_t rotation, bool mirrored)
{
    CComponent* component = GetComponent(i);
    if (!component)
        return;
    const CPoint at = component->GetPosition();
    Offset(*component, SaturateToInt(int64_t(position.x) - at.x),
           SaturateToInt(int64_t(position.y) - at.y));
    const bool reshaped = CComponent::NormalizeRotation(rotation) != component->GetRotation() ||
                          mirrored != component->IsMirrored();
    component->SetRotation(rotation);
    component->SetMirrored(mirrored);
    if (reshaped && m_document) {
        AfterReshape(i);
    } else {
        RecalcRect(i);
        UpdatePins(i);
    }
}

void CComponentArray::MoveCurrentText(int32_t dx, int32_t dy)
{
    CComponent* component = GetComponent(m_current);
    const int32_t kind = DisplayTextKind();
    if (component && kind >= 0)
        component->SetTextPoint(kind, Shifted(component->GetTextPoint(kind), dx, dy));
}

// ---- Rotations and mirroring -------------------------------------------------------------------

void CComponentArray::MarkNetsDirty(const CComponent& component)
{
    CNetArray& nets = m_document->GetNets();
    for (uint16_t number : component.GetPadNets()) {
        CNet* net = number > 0 ? nets.GetNet(number) : nullptr;
        if (net) {
            net->MarkRatsnestDirty(true);
            net->MarkClustersDirty(true);
        }
    }
}

void CComponentArray::AfterReshape(int32_t i)
{
    if (!m_document)
        return;
    MarkNetsDirty(At(i));
    UpdatePins(i);
    RecalcRect(i);
    for (int32_t kind = 0; kind < textKindCount; ++kind)
        ResetTextPosition(i, kind);
}

void CComponentArray::RotateTo(int32_t i, int32_t angle)
{
    CComponent* component = GetComponent(i);
    if (!component || component->TestFlag(ComponentFlags::lockRotate) ||
        component->GetRotation() == CComponent::NormalizeRotation(angle))
        return;
    component->SetRotation(angle);
    AfterReshape(i);
}

void CComponentArray::RotateSelected(int32_t angle, bool absolute)
{
    if (m_selectedCount < 1)
        return;
    for (int32_t i = 0; i < GetCount(); ++i) {
        CComponent& component = *m_components[size_t(i)];
        if (!component.IsSelected() || component.TestFlag(ComponentFlags::lockRotate))
            continue;
        component.SetRotation(absolute ? angle : AddAngles(component.GetRotation(), angle));
        AfterReshape(i);
    }
}

void CComponentArray::RotateSelectedAbout(int32_t cx, int32_t cy, int32_t angle)
{
    if (m_selectedCount < 1)
        return;
    for (int32_t i = 0; i < GetCount(); ++i) {
        CComponent& component = *m_components[size_t(i)];
        if (!component.IsSelected() || component.TestFlag(ComponentFlags::lockRotate))
            continue;
        const CPoint position = component.GetPosition();
        const CPoint turned = RotatePoint(SaturateToInt(int64_t(position.x) - cx),
                                          SaturateToInt(int64_t(position.y) - cy), angle);
        component.SetPosition(SaturateToInt(int64_t(cx) + turned.x),
                              SaturateToInt(int64_t(cy) + turned.y));
        component.SetRotation(AddAngles(component.GetRotation(), angle));
        AfterReshape(i);
    }
}

void CComponentArray::MirrorSelected()
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        CComponent& component = *m_components[size_t(i)];
        if (!component.IsSelected() || component.TestFlag(ComponentFlags::lockMirror))
            continue;
        component.SetMirrored(!component.IsMirrored());
        AfterReshape(i);
    }
}

void CComponentArray::RotateCurrentText()
{
    CComponent* component = GetComponent(m_current);
    const int32_t kind = DisplayTextKind();
    if (!component || kind < 0)
        return;
    // Within one turn either way, which draws the same text: a text turned on and on neither
    // leaves the range a design's text angle has nor the int range.
    const int64_t angle = (int64_t(component->GetTextAngle(kind)) + FULL_TURN / 4) % FULL_TURN;
    component->SetTextAngle(kind, static_cast<int32_t>(angle));
}

void CComponentArray::SetCurrentTextAngle(int32_t angle)
{
    CComponent* component = GetComponent(m_current);
    const int32_t kind = DisplayTextKind();
    if (component && kind >= 0)
        component->SetTextAngle(kind, angle);
}

// ---- Shapes ------------------------------------------------------------------------------------

bool CComponentArray::ChangeShape(int32_t i, int32_t shapeIndex)
{
    CComponent* component = GetComponent(i);
    if (!component || !m_document || component->GetShapeIndex() == shapeIndex ||
        component->TestFlag(ComponentFlags::lockReplaceShape))
        return false;
    const CShapeLib& cache = m_document->GetShapeCache();
    const CShape* shape = cache.GetShape(shapeIndex);
    component->ResizePadNets(shape ? shape->GetPadCount() : 0);
    component->SetShapeIndex(shapeIndex);
    component->SetFlag(ComponentFlags::shapeModified, false);
    // Pads may have come or gone: every net's pins afresh.
    RebuildNetPins();
    RecalcRect(i);
    for (int32_t kind = 0; kind < textKindCount; ++kind)
        ResetTextPosition(i, kind);
    return true;
}

int32_t CComponentArray::BestRotationForShape(int32_t i, int32_t shapeIndex) const
{
    const CComponent& component = At(i);
    const CShape* present = m_document ? component.GetShape(m_document->GetShapeCache()) : nullptr;
    const CShape* replacement =
        m_document ? m_document->GetShapeCache().GetShape(shapeIndex) : nullptr;
    const int32_t n =
        present && replacement ? std::min(present->GetPadCount(), replacement->GetPadCount()) : 0;

    int32_t bestQuarters = 0;
    int64_t bestSum = std::numeric_limits<int64_t>::max();
    for (int32_t k = 0; k < 4; ++k) {
        int64_t sum = 0;
        for (int32_t j = 1; j < n; ++j) {
            const CPoint o0 = present->GetPadPos(0);
            const CPoint oj = present->GetPadPos(j);
            const CPoint r0 = replacement->GetPadPos(0);
            const CPoint rj = replacement->GetPadPos(j);
            int64_t rx = int64_t(rj.x) - r0.x;
            int64_t ry = int64_t(rj.y) - r0.y;
            TurnQuarters(rx, ry, k);
            sum +=
                std::llabs(rx - (int64_t(oj.x) - o0.x)) + std::llabs(ry - (int64_t(oj.y) - o0.y));
        }
        if (sum < bestSum) {
            bestSum = sum;
            bestQuarters = k;
        }
    }
    // On the bottom side the shape is seen mirrored, which turns it the other way.
    const int32_t turn = bestQuarters * (FULL_TURN / 4);
    return component.IsMirrored() ? component.GetRotation() - turn : component.GetRotation() + turn;
}

bool CComponentArray::IsShapeShared(int32_t i) const
{
    const int32_t shape = GetShapeIndex(i);
    for (int32_t j = 0; j < GetCount(); ++j) {
        if (j != i && m_components[size_t(j)]->GetShapeIndex() == shape)
            return true;
    }
    return false;
}

int32_t CComponentArray::FindReplaceablePad(int32_t i, CPoint point) const
{
    const CComponent* component = IsIndex(i) ? &At(i) : nullptr;
    if (!component || !m_document || component->TestFlag(ComponentFlags::lockShape))
        return -1;
    const CShapeLib& cache = m_document->GetShapeCache();
    const CShape* shape = component->GetShape(cache);
    if (!shape)
        return -1;
    const CRect window(SaturateToInt(int64_t(point.x) - padPickReach),
                       SaturateToInt(int64_t(point.y) - padPickReach),
                       SaturateToInt(int64_t(point.x) + padPickReach),
                       SaturateToInt(int64_t(point.y) + padPickReach));
    int32_t pad = -1;
    for (int32_t n = 0; n < shape->GetPadCount() && pad < 0; ++n) {
        if (window.PtInRect(component->GetPadPosition(n, cache)))
            pad = n;
    }
    if (pad < 0 ||
        shape->GetPadStackIndex(pad) == cache.GetPadStacks().GetDefault(PADSTACK_KIND_SHAPE_PAD))
        return -1;
    return pad;
}

bool CComponentArray::ReplacePadAtPoint(int32_t i, CPoint point)
{
    const int32_t pad = FindReplaceablePad(i, point);
    if (pad < 0)
        return false;
    CComponent* component = GetComponent(i);
    CShapeLib& cache = m_document->GetEditableShapeCache();
    const CShape* shape = component->GetShape(cache);
    const int32_t stack = cache.GetPadStacks().GetDefault(PADSTACK_KIND_SHAPE_PAD);

    // A private copy shared with another component (a copy of this one, or one placed from the
    // cache) would change that one too: it gets a copy of its own.
    if (!component->TestFlag(ComponentFlags::shapeModified) || IsShapeShared(i)) {
        const std::string name = shape->GetName() + "_" + component->GetReference();
        const int32_t copyIndex = cache.AddShape(name);
        CShape& copy = *cache.GetShape(copyIndex);
        copy = *cache.GetShape(component->GetShapeIndex());
        copy.SetName(name);
        component->SetShapeIndex(copyIndex);
        component->SetFlag(ComponentFlags::shapeModified, true);
    }
    cache.GetShape(component->GetShapeIndex())->SetPadStackIndex(pad, stack);
    UpdatePins(i);
    return true;
}

void CComponentArray::ResetPadArrays()
{
    for (auto& component : m_components) {
        const int32_t pads = m_document ? component->GetPadCount(m_document->GetShapeCache()) : 0;
        component->ResizePadNets(0);
        component->ResizePadNets(pads);
    }
}

// ---- Boxes and texts -------------------------------------------------------------------------

CRect CComponentArray::BoxOf(const CComponent& component) const
{
    const CRect extent = m_document->GetShapeCache().GetShapeExtent(component.GetShapeIndex());
    const CPoint corners[] = {
        component.ToBoard(CPoint(extent.left, extent.top)),
        component.ToBoard(CPoint(extent.right, extent.top)),
        component.ToBoard(CPoint(extent.left, extent.bottom)),
        component.ToBoard(CPoint(extent.right, extent.bottom)),
    };
    CRect box(corners[0].x, corners[0].y, corners[0].x, corners[0].y);
    for (const CPoint& corner : corners) {
        box.left = std::min(box.left, corner.x);
        box.top = std::min(box.top, corner.y);
        box.right = std::max(box.right, corner.x);
        box.bottom = std::max(box.bottom, corner.y);
    }
    return box;
}

void CComponentArray::RecalcRect(int32_t i)
{
    CComponent* component = GetComponent(i);
    if (!component || !m_document)
        return;
    component->SetBox(BoxOf(*component));
    m_hitOrderStale = true;
}

void CComponentArray::RecalcAllRects()
{
    if (!m_document)
        return;
    // Each component's box is its own: runs of them are worked out side by side.
    const auto measure = [this](size_t, size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            if (CComponent* component = m_components[i].get())
                component->SetBox(BoxOf(*component));
        }
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), componentsAlone, measure);
    m_hitOrderStale = true;
}

void CComponentArray::ResetTextPosition(int32_t i, int32_t kind)
{
    CComponent* component = GetComponent(i);
    if (!component || !m_document || kind < 0 || kind >= textKindCount)
        return;
    const std::string text = component->GetKindText(kind, m_document->GetShapeCache());
    const CRect textRect = m_document->GetFont().GetTextRect(text, m_textHeights[size_t(kind)]);
    const CRect& box = component->GetBox();
    const int64_t halfText = textRect.Width() / 2;
    const int64_t x = box.left + box.Width() / 2 + (component->IsMirrored() ? halfText : -halfText);
    const int64_t y = box.top + box.Height() / 2 - textRect.Height() / 2;
    component->SetTextPoint(kind, CPoint(SaturateToInt(x), SaturateToInt(y)));
}

void CComponentArray::ResetTextPositions(int32_t kind)
{
    for (int32_t i = 0; i < GetCount(); ++i)
        ResetTextPosition(i, kind);
}

int32_t CComponentArray::GetTextLineWidth(int32_t kind) const
{
    return kind >= 0 && kind < textKindCount ? m_textLineWidths[size_t(kind)] : 0;
}

void CComponentArray::SetTextLineWidth(int32_t kind, int32_t width)
{
    if (kind >= 0 && kind < textKindCount)
        m_textLineWidths[size_t(kind)] = width;
}

int32_t CComponentArray::GetTextHeight(int32_t kind) const
{
    return kind >= 0 && kind < textKindCount ? m_textHeights[size_t(kind)] : 0;
}

void CComponentArray::SetTextHeight(int32_t kind, int32_t height)
{
    if (kind >= 0 && kind < textKindCount)
        m_textHeights[size_t(kind)] = height;
}

int32_t CComponentArray::GetTextOption(int32_t k) const
{
    return k >= 0 && k < textOptionCount ? m_textOptions[size_t(k)] : 0;
}

void CComponentArray::SetTextOption(int32_t k, int32_t value)
{
    if (k >= 0 && k < textOptionCount)
        m_textOptions[size_t(k)] = value;
}

// ---- Pins and layer use ------------------------------------------------------------------------

void CComponentArray::RebuildNetPins()
{
    if (!m_document)
        return;
    CNetArray& nets = m_document->GetNets();
    const CShapeLib& cache = m_document->GetShapeCache();
    const CPadStackArray& stacks = cache.GetPadStacks();
    const int32_t netCount = std::max(nets.GetCount(), 0);
    // A pad naming a net the design lacks is on no net.
    const auto netOf = [netCount](const CComponent& component, int32_t pad) {
        const int32_t number = component.GetPadNet(pad);
        return number >= netCount ? 0 : number;
    };
    // The pins are sorted by net first, keeping their board order, so that every net is filled
    // and measured in one visit: going from pad to pad would jump between the nets all along.
    // Each pad's place in that order is counted out first; the pads are then placed side by
    // side, each into its own place, so any number of threads gives the same order.
    // The components' pads and their nets are looked up side by side into their places.
    // Each run notes its components' pad nets in a list of its own; the lists are joined in
    // order once the pads are counted.
    std::vector<int32_t> firstPad(m_components.size() + 1, 0);
    std::vector<std::vector<int32_t>> runPadNets(
        CWorkPool::RunCount(m_components.size(), componentsAlone));
    const auto listPads = [&](size_t run, size_t first, size_t last) {
        // Filled here and handed over once: neighbouring lists share a cache line.
        std::vector<int32_t> mine;
        for (size_t i = first; i < last; ++i) {
            const CComponent& component = *std::as_const(m_components)[i];
            const int32_t pads = std::max(component.GetPadCount(cache), 0);
            firstPad[i + 1] = pads;
            for (int32_t n = 0; n < pads; ++n)
                mine.push_back(netOf(component, n));
        }
        runPadNets[run] = std::move(mine);
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), componentsAlone, listPads);
    for (size_t i = 1; i < firstPad.size(); ++i)
        firstPad[i] += firstPad[i - 1];
    std::vector<int32_t> padNets;
    padNets.reserve(size_t(firstPad.back()));
    for (const std::vector<int32_t>& nets : runPadNets)
        padNets.insert(padNets.end(), nets.begin(), nets.end());
    std::vector<int32_t> firstPin(size_t(netCount) + 1, 0);
    for (const int32_t number : padNets) {
        if (number >= 0)
            ++firstPin[size_t(number) + 1];
    }
    for (size_t k = 1; k < firstPin.size(); ++k)
        firstPin[k] += firstPin[k - 1];
    // Where each pad goes among the pins, -1 for a pad on no pin.
    std::vector<int32_t> slots(padNets.size());
    {
        std::vector<int32_t> next(firstPin.begin(), firstPin.end() - 1);
        for (size_t p = 0; p < padNets.size(); ++p)
            slots[p] = padNets[p] >= 0 ? next[size_t(padNets[p])]++ : -1;
    }
    struct PendingPin {
        CComponent::PadPlacement pad;
        int32_t component;
        int32_t number;
        bool mirrored;
    };
    std::vector<PendingPin> pending(size_t(firstPin.back()));
    const auto placePins = [&](size_t, size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const CComponent& component = *std::as_const(m_components)[i];
            for (int32_t p = firstPad[i]; p < firstPad[i + 1]; ++p) {
                if (slots[size_t(p)] < 0)
                    continue;
                const int32_t n = p - firstPad[i];
                pending[size_t(slots[size_t(p)])] = {component.GetPadPlacement(n, cache),
                                                     int32_t(i), n, component.IsMirrored()};
            }
        }
    };
    CWorkPool::Shared().ForEachRun(m_components.size(), componentsAlone, placePins);
    // Each net takes its own pins alone, so runs of nets are filled side by side; each run
    // keeps its own cache of pad reaches. A run is long enough that a small board stays on one
    // thread rather than wait for others to wake; a big board's runs are shorter, so that the
    // few nets of many pins (net 0 above all) do not leave one thread the most work.
    const CNetArrayDocument* netDocument = nets.GetDocument();
    constexpr size_t smallBoardNets = 16384;
    const size_t netsPerRun =
        size_t(netCount) < smallBoardNets
            ? 4096
            : std::max<size_t>(512, size_t(netCount) / (size_t(CWorkPool::ThreadCount()) * 8));
    const size_t runs = (size_t(netCount) + netsPerRun - 1) / netsPerRun;
    std::vector<int32_t> added(runs, 0);
    CWorkPool::Shared().ForEach(runs, [&](size_t run) {
        std::optional<CPadStackReaches> margins;
        if (netDocument)
            margins.emplace(netDocument->GetPadStacks());
        const size_t last = std::min(size_t(netCount), (run + 1) * netsPerRun);
        // Counted here and handed over once: neighbouring runs' counts share a cache line.
        int32_t pinsAdded = 0;
        for (size_t k = run * netsPerRun; k < last; ++k) {
            CNet& net = *nets.GetNet(int32_t(k));
            net.ClearPins();
            const int32_t from = firstPin[k];
            const int32_t to = firstPin[k + 1];
            if (from == to)
                continue;
            net.ReservePins(to - from);
            bool received = false;
            for (int32_t p = from; p < to; ++p) {
                const PendingPin& pin = pending[size_t(p)];
                if (net.AddPin(pin.pad.at.x, pin.pad.at.y, pin.component, pin.number,
                               pin.pad.padStack, pin.pad.angle, pin.mirrored,
                               stacks.GetLayerMask(pin.pad.padStack, pin.mirrored)) >= 0) {
                    ++pinsAdded;
                    received = true;
                }
            }
            if (received && margins)
                net.CalcBoundingBox(*margins);
        }
        added[run] = pinsAdded;
    });
    m_pinCount = 0;
    for (const int32_t count : added)
        m_pinCount += count;
}

void CComponentArray::UpdatePins(int32_t i)
{
    const CComponent* component = std::as_const(*this).GetComponent(i);
    if (!component || !m_document)
        return;
    CNetArray& nets = m_document->GetNets();
    const CShapeLib& cache = m_document->GetShapeCache();
    const bool mirrored = component->IsMirrored();
    CPadStackReaches margins(cache.GetPadStacks());
    // Pads on no net too: net 0 holds their pins, and the tools look for pins there.
    for (int32_t n = 0; n < component->GetPadCount(cache); ++n) {
        CNet* net = nets.GetNet(component->GetPadNet(n));
        if (!net)
            continue;
        const CPoint at = component->GetPadPosition(n, cache);
        const int32_t stack = component->GetPadStack(n, cache);
        net->UpdatePin(at.x, at.y, i, n, stack, component->GetPadAngle(n, cache), mirrored,
                       cache.GetPadStacks().GetLayerMask(stack, mirrored), margins);
    }
}

int32_t CComponentArray::CountLayerUse()
{
    m_outlineLayerUse.fill(0);
    m_padLayerUse.fill(0);
    if (!m_document)
        return GetCount();
    const CShapeLib& cache = m_document->GetShapeCache();
    const CPadStackArray& stacks = cache.GetPadStacks();
    for (const auto& component : m_components) {
        const CShape* shape = component->GetShape(cache);
        if (!shape)
            continue;
        const bool mirrored = component->IsMirrored();
        const auto side = [mirrored](int32_t layer) {
            return mirrored ? OppositeLayer(layer) : layer;
        };
        for (const ShapePad& pad : shape->GetPads()) {
            for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
                if (stacks.GetPad(pad.GetPadStackIndex(), layer))
                    ++m_padLayerUse[size_t(side(layer))];
            }
        }
        for (const ShapeOutlineVertex& vertex : shape->GetOutline()) {
            const int32_t layer = side(vertex.GetLayer());
            if (layer >= 0 && layer < LAYER_COUNT)
                ++m_outlineLayerUse[size_t(layer)];
        }
    }
    return GetCount();
}

int32_t CComponentArray::GetOutlineLayerUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT ? m_outlineLayerUse[size_t(layer)] : 0;
}

int32_t CComponentArray::GetPadLayerUse(int32_t layer) const
{
    return layer >= 0 && layer < LAYER_COUNT ? m_padLayerUse[size_t(layer)] : 0;
}
