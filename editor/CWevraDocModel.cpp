#include "editor/CWevraDoc.h"

#include <algorithm>
#include <string>

#include "analysis/CConnectTracer.h"
#include "analysis/CNetConnectCheck.h"
#include "editor/CDocumentFrame.h"
#include "editor/CWevraApp.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

namespace {

// Pads of components whose pin is on no net, while a netlist gives the board its nets.
constexpr COLORREF unconnectedPadColor = RGB(150, 150, 150);

constexpr char viaInShapeText[] = "VIA in SHAPE!!";

bool HasKind(const CPadStackArray& stacks, int32_t k, int32_t kind)
{
    if (k < 0 || k >= stacks.GetCount())
        return false;
    switch (kind) {
    case PADSTACK_KIND_PAD:
        return stacks.IsPadKind(k);
    case PADSTACK_KIND_SHAPE_PAD:
        return stacks.IsShapePadKind(k);
    case PADSTACK_KIND_VIA:
        return stacks.IsVia(k);
    default:
        return false;
    }
}

bool StartsWithVia(const std::string& name)
{
    if (name.size() < 3)
        return false;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return upper(name[0]) == 'V' && upper(name[1]) == 'I' && upper(name[2]) == 'A';
}

// The padstack a kind falls back on when the design has none of it: a round through-hole pad
// of 1.6 mm (a via of 1.0 mm) with a 0.8 mm drill.
CPadStack StandardPadStack(int32_t kind)
{
    const bool via = kind == PADSTACK_KIND_VIA;
    const int32_t half = MmToUnits(via ? 0.5 : 0.8);
    return CPadStack(via ? "VIA 1.00 H0.80" : "CIR 1.60 H0.80", PAD_ROUND, -half, -half, half, half,
                     MmToUnits(0.8), LAYER_COMMON, uint32_t(kind));
}

} // namespace

// ---- Nets ---------------------------------------------------------------------------------------

const CPadStackArray& CWevraDoc::GetPadStacks() const
{
    return m_shapeCache->GetPadStacks();
}

bool CWevraDoc::IsLayerEnabled(int32_t layer) const
{
    return m_layers->IsEnabled(layer);
}

int32_t CWevraDoc::CheckNetClusters(CNet& net)
{
    return CNetConnectCheck(*this, net).Check();
}

COLORREF CWevraDoc::LayerColor(int32_t layer, int32_t colorSet) const
{
    if (colorSet < normalSet || colorSet > highlightSet || layer < 0 || layer >= LAYER_COUNT)
        return 0;
    return m_drawColors[size_t(colorSet)][size_t(layer)];
}

int32_t CWevraDoc::GetNetCount() const
{
    return m_nets->GetCount();
}

bool CWevraDoc::ShowsClearanceHalo() const
{
    return CDocumentFrame::Get().ShowsClearanceHalo();
}

std::string CWevraDoc::GetComponentReference(int32_t component) const
{
    return m_components->GetReference(component);
}

int32_t CWevraDoc::GetComponentCount() const
{
    return m_components->GetCount();
}

std::vector<int32_t> CWevraDoc::GetComponentPadNets(int32_t component) const
{
    const CComponent* target = m_components->GetComponent(component);
    if (!target)
        return {};
    const std::vector<uint16_t>& nets = target->GetPadNets();
    return std::vector<int32_t>(nets.begin(), nets.end());
}

void CWevraDoc::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    if (CComponent* target = m_components->GetComponent(component))
        target->SetPadNet(pad, net, m_nets->GetCount());
}

void CWevraDoc::ResetPadNets()
{
    m_components->ResetPadArrays();
}

void CWevraDoc::RenumberNets(const std::vector<int32_t>& newIndex)
{
    const auto renumber = [&newIndex](int32_t net) {
        return net >= 0 && size_t(net) < newIndex.size() ? newIndex[size_t(net)] : 0;
    };
    const int32_t netCount = m_nets->GetCount();
    for (int32_t i = 0; i < m_components->GetCount(); ++i) {
        CComponent& component = *m_components->GetComponent(i);
        for (int32_t pad = 0; pad < component.GetPadNetCount(); ++pad)
            component.SetPadNet(pad, renumber(component.GetPadNet(pad)), netCount);
    }
    // A plane without a net (-1) stays without one.
    for (const auto& plane : m_planes) {
        if (plane->GetNet() >= 0)
            plane->SetNet(renumber(plane->GetNet()));
    }
}

void CWevraDoc::RecalcComponentBoxes()
{
    m_components->RecalcAllRects();
}

void CWevraDoc::RebuildNetPins()
{
    m_components->RebuildNetPins();
}

bool CWevraDoc::AllNetsToNet0()
{
    return CConnectTracer(*this).AllNetsToNet0();
}

bool CWevraDoc::RebuildFromTracks()
{
    return CConnectTracer(*this).RebuildFromTracks();
}

bool CWevraDoc::UpdateFromNetPins()
{
    return CConnectTracer(*this).UpdateFromNetPins();
}

void CWevraDoc::TestAllNets() {}

bool CWevraDoc::RouteConnection(CNet&, int32_t, int32_t, int32_t, int32_t, int32_t)
{
    return false;
}

bool CWevraDoc::RouteAllDefaultLayer()
{
    return false;
}

bool CWevraDoc::RouteAllTopBottom()
{
    return false;
}

// ---- Components ---------------------------------------------------------------------------------

CPen CWevraDoc::GetLayerPen(int32_t layer, int32_t colorSet) const
{
    return CPen(CPen::Style::Solid, 1, LayerColor(layer, colorSet));
}

CBrush CWevraDoc::GetLayerBrush(int32_t layer, int32_t colorSet) const
{
    return CBrush(LayerColor(layer, colorSet));
}

CPen CWevraDoc::GetUnconnectedPadPen() const
{
    return CPen(CPen::Style::Solid, 1, unconnectedPadColor);
}

CBrush CWevraDoc::GetUnconnectedPadBrush() const
{
    return CBrush(unconnectedPadColor);
}

CPen CWevraDoc::GetHolePen() const
{
    return GetLayerPen(LAYER_DRILL, normalSet);
}

CBrush CWevraDoc::GetHoleBrush() const
{
    return GetLayerBrush(LAYER_DRILL, normalSet);
}

CPen CWevraDoc::GetComponentTextPen(bool bottomSide, bool highlight) const
{
    const int32_t layer = bottomSide ? LAYER_SILK_BOTTOM : LAYER_SILK_TOP;
    const int32_t width =
        std::max(1, m_components->GetTextLineWidth(CComponent::textReference) / m_scale);
    return CPen(CPen::Style::Solid, width, LayerColor(layer, highlight ? highlightSet : normalSet));
}

// ---- Padstacks of the shape cache ---------------------------------------------------------------

std::vector<int32_t> CWevraDoc::GetComponentShapeIndexes() const
{
    std::vector<int32_t> indexes;
    indexes.reserve(size_t(m_components->GetCount()));
    for (int32_t i = 0; i < m_components->GetCount(); ++i)
        indexes.push_back(m_components->GetShapeIndex(i));
    return indexes;
}

std::vector<int32_t> CWevraDoc::GetNetPadStackIndexes() const
{
    std::vector<int32_t> indexes;
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        const CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v))
                indexes.push_back(net.GetVertexPadStack(v));
        }
    }
    return indexes;
}

void CWevraDoc::RenumberNetPadStacks(const std::vector<int32_t>& newIndex)
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (!net.IsPadVertex(v))
                continue;
            const int32_t old = net.GetVertexPadStack(v);
            if (old >= 0 && size_t(old) < newIndex.size() && newIndex[size_t(old)] >= 0)
                net.SetVertexPadType(v, newIndex[size_t(old)]);
        }
    }
    RebuildNetPins();
}

void CWevraDoc::ReplaceNetPadStack(int32_t from, int32_t to)
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) && net.GetVertexPadStack(v) == from)
                net.SetVertexPadType(v, to);
        }
    }
}

void CWevraDoc::SeparateNetPadStacks(CPadStackArray& stacks)
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
        const CNet& net = *m_nets->GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const int32_t used = net.IsPadVertex(v) ? net.GetVertexPadStack(v) : -1;
            if (!HasKind(stacks, used, PADSTACK_KIND_SHAPE_PAD))
                continue;
            CPadStack copy(*stacks.GetPadStack(used));
            copy.ClearKinds();
            copy.SetPadKind(true);
            const int32_t added = stacks.GetCount();
            // A full table has been reported; the remaining pads keep sharing.
            if (!stacks.SetAt(added, copy))
                return;
            stacks.MakeUniqueName(added, copy.GetName());
            ReplaceNetPadStack(used, added);
        }
    }
}

void CWevraDoc::NormalizePadStackKinds(CShapeLib& cache)
{
    CPadStackArray& stacks = cache.GetPadStacks();
    for (int32_t k = 0; k < stacks.GetCount(); ++k)
        stacks.MakeUniqueName(k, stacks.GetName(k));

    stacks.ClearAllKinds();
    for (int32_t s = 0; s < cache.GetCount(); ++s) {
        for (const ShapePad& pad : cache.GetShape(s)->GetPads()) {
            if (pad.GetPadStackIndex() < stacks.GetCount())
                stacks.SetShapePadKind(pad.GetPadStackIndex(), true);
        }
    }

    // Net pads and vias get padstacks of their own, apart from the shapes' pads.
    SeparateNetPadStacks(stacks);

    for (int32_t k = 0; k < stacks.GetCount(); ++k) {
        if (StartsWithVia(stacks.GetName(k))) {
            if (stacks.IsShapePadKind(k)) {
                CServices::Messages().MessageBox(viaInShapeText,
                                                 CWevraApp::LoadResString(IDS_APP_TITLE), MB_OK);
                continue;
            }
            stacks.ClearKinds(k);
            stacks.SetVia(k, true);
        } else if (!stacks.IsShapePadKind(k)) {
            stacks.SetPadKind(k, true);
        }
    }

    for (const int32_t kind : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA}) {
        if (HasKind(stacks, stacks.GetDefault(kind), kind))
            continue;
        int32_t found = -1;
        for (int32_t k = 0; k < stacks.GetCount() && found < 0; ++k) {
            if (HasKind(stacks, k, kind))
                found = k;
        }
        if (found < 0) {
            found = stacks.GetCount();
            if (!stacks.SetAt(found, StandardPadStack(kind)))
                continue;
            stacks.RecalcMasks(found);
        }
        stacks.SetDefault(kind, found);
    }
}
