#include "document/CPadStackUse.h"

#include <algorithm>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

namespace {

constexpr char viaInShapeText[] = "VIA in SHAPE!!";
constexpr char standardPadName[] = "CIR 1.60 H0.80";
constexpr char standardViaName[] = "VIA 1.00 H0.80";

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
    return CPadStack(via ? standardViaName : standardPadName, PAD_ROUND, -half, -half, half, half,
                     MmToUnits(0.8), LAYER_COMMON, uint32_t(kind));
}

// The name a padstack got before a unique-name suffix ("__A", "__B", ...).
std::string BaseName(const std::string& name)
{
    return name.substr(0, name.find("__"));
}

// A padstack that neither a shape nor a net uses and that is no other kind's default.
bool IsSparePadStack(const CPadStackArray& stacks, int32_t k, int32_t kind, bool usedByNets)
{
    if (usedByNets || stacks.IsShapePadKind(k))
        return false;
    for (const int32_t other : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA}) {
        if (other != kind && stacks.GetDefault(other) == k)
            return false;
    }
    return true;
}

} // namespace

std::vector<int32_t> CPadStackUse::GetComponentShapeIndexes() const
{
    const CComponentArray& components = m_design.GetComponents();
    std::vector<int32_t> indexes;
    indexes.reserve(size_t(components.GetCount()));
    for (int32_t i = 0; i < components.GetCount(); ++i)
        indexes.push_back(components.GetShapeIndex(i));
    return indexes;
}

std::vector<int32_t> CPadStackUse::GetNetPadStackIndexes() const
{
    const CNetArray& nets = m_design.GetNets();
    std::vector<int32_t> indexes;
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v))
                indexes.push_back(net.GetVertexPadStack(v));
        }
    }
    return indexes;
}

CPadStackUse::NumbersUsed CPadStackUse::GetNetPadStacksUsed() const
{
    // Every vertex of the board is looked at: runs of nets are looked through side by side, a
    // small board's in one run. Each run marks a set of its own and hands it over once, as
    // neighbouring sets share a cache line.
    const CNetArray& nets = m_design.GetNets();
    const size_t count = size_t(std::max(nets.GetCount(), 0));
    constexpr size_t netsAlone = 4096;
    std::vector<NumbersUsed> runs(CWorkPool::RunCount(count, netsAlone));
    const auto mark = [&](size_t run, size_t first, size_t last) {
        NumbersUsed used;
        for (size_t n = first; n < last; ++n) {
            const CNet& net = *nets.GetNet(int32_t(n));
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                const TrackRec& rec = net.GetVertex(v);
                if (rec.IsPad())
                    used.set(size_t(rec.GetPadStack()));
            }
        }
        runs[run] = used;
    };
    CWorkPool::Shared().ForEachRun(count, netsAlone, mark);
    NumbersUsed used;
    for (const NumbersUsed& run : runs)
        used |= run;
    return used;
}

void CPadStackUse::RenumberNetPadStacks(const std::vector<int32_t>& newIndex)
{
    CNetArray& nets = m_design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (!net.IsPadVertex(v))
                continue;
            const int32_t old = net.GetVertexPadStack(v);
            if (old >= 0 && size_t(old) < newIndex.size() && newIndex[size_t(old)] >= 0)
                net.SetVertexPadType(v, newIndex[size_t(old)]);
        }
    }
    m_design.RebuildNetPins();
}

void CPadStackUse::ReplaceNetPadStack(int32_t from, int32_t to)
{
    CNetArray& nets = m_design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) && net.GetVertexPadStack(v) == from)
                net.SetVertexPadType(v, to);
        }
    }
}

void CPadStackUse::SeparateNetPadStacks(CPadStackArray& stacks)
{
    const CNetArray& nets = m_design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
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

void CPadStackUse::NormalizePadStackKinds(CShapeLib& cache)
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

    // Net pads and vias get padstacks of their own, apart from the shapes' pads. Mostly none
    // shares one, and one look over the nets' pads tells so.
    NumbersUsed netStacks = GetNetPadStacksUsed();
    bool sharing = false;
    for (int32_t k = 0; k < stacks.GetCount() && size_t(k) < netStacks.size() && !sharing; ++k)
        sharing = netStacks[size_t(k)] && stacks.IsShapePadKind(k);
    if (sharing) {
        SeparateNetPadStacks(stacks);
        netStacks = GetNetPadStacksUsed();
    }

    for (int32_t k = 0; k < stacks.GetCount(); ++k) {
        if (StartsWithVia(stacks.GetName(k))) {
            if (stacks.IsShapePadKind(k)) {
                CServices::Messages().MessageBox(viaInShapeText, CResString::Load(IDS_APP_TITLE),
                                                 MB_OK);
                continue;
            }
            stacks.ClearKinds(k);
            stacks.SetVia(k, true);
        } else if (!stacks.IsShapePadKind(k)) {
            stacks.SetPadKind(k, true);
        }
    }

    std::vector<bool> usedByNets(size_t(stacks.GetCount()), false);
    for (size_t k = 0; k < usedByNets.size() && k < netStacks.size(); ++k)
        usedByNets[k] = netStacks[k];
    for (const int32_t kind : {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD, PADSTACK_KIND_VIA}) {
        if (HasKind(stacks, stacks.GetDefault(kind), kind))
            continue;
        int32_t found = -1;
        for (int32_t k = 0; k < stacks.GetCount() && found < 0; ++k) {
            if (HasKind(stacks, k, kind))
                found = k;
        }
        // No shape uses the standard shape pad an earlier load appended, so the passes above
        // made it a free pad; it is taken back rather than appending another on every load.
        CPadStack standard = StandardPadStack(kind);
        standard.RecalcMasks();
        for (int32_t k = 0; k < stacks.GetCount() && found < 0; ++k) {
            if (IsSparePadStack(stacks, k, kind, usedByNets[size_t(k)]) &&
                BaseName(stacks.GetName(k)) == standard.GetName() &&
                stacks.GetPadStack(k)->HasSameShapes(standard)) {
                stacks.ClearKinds(k);
                found = k;
            }
        }
        if (found < 0) {
            found = stacks.GetCount();
            if (!stacks.SetAt(found, standard))
                continue;
            // Unique at once, as the next pass would make it.
            stacks.MakeUniqueName(found, standard.GetName());
            stacks.RecalcMasks(found);
            usedByNets.push_back(false);
        }
        switch (kind) {
        case PADSTACK_KIND_PAD:
            stacks.SetPadKind(found, true);
            break;
        case PADSTACK_KIND_SHAPE_PAD:
            stacks.SetShapePadKind(found, true);
            break;
        default:
            stacks.SetVia(found, true);
            break;
        }
        stacks.SetDefault(kind, found);
    }
}
