#include "document/CUndoSnapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "document/CDesign.h"
#include "document/CDocumentPlanes.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/TrackRec.h"

namespace {

template <typename T> std::vector<uint8_t> StoredBytes(T& object)
{
    CArchive ar;
    object.Serialize(ar);
    return ar.GetBuffer();
}

// An item's or a collection's stored bytes as they are with nothing selected.
template <typename T> std::vector<uint8_t> UnselectedBytes(const T& item)
{
    T copy(item);
    copy.SetSelected(false);
    return StoredBytes(copy);
}

std::vector<uint8_t> UnselectedBytes(const CPour& plane)
{
    CPour copy(plane, plane.GetName(), false);
    return StoredBytes(copy);
}

template <typename T> std::vector<uint8_t> UnselectedCollectionBytes(const T& collection)
{
    T copy(collection);
    copy.SelectAll(false);
    return StoredBytes(copy);
}

bool SameCopper(const CNet& a, const CNet& b)
{
    // The marks an edit leaves on the vertices it touched say nothing of the copper.
    constexpr uint32_t editing = TrackRec::flagSelected | TrackRec::flagChangeMark;
    if (a.GetVertexCount() != b.GetVertexCount() || a.GetName() != b.GetName() ||
        a.GetPenTable() != b.GetPenTable() || a.GetMinWidth() != b.GetMinWidth() ||
        a.GetMaxWidth() != b.GetMaxWidth() || a.GetClearance() != b.GetClearance() ||
        a.GetStoredByte() != b.GetStoredByte())
        return false;
    for (int32_t v = 0; v < a.GetVertexCount(); ++v) {
        const TrackRec& x = a.GetVertex(v);
        const TrackRec& y = b.GetVertex(v);
        if (x.x != y.x || x.y != y.y || x.penLayer != y.penLayer ||
            (x.flags & ~editing) != (y.flags & ~editing))
            return false;
    }
    return true;
}

// Whether two lists hold the same items; one the two still share is unchanged by definition.
template <typename Array, typename Item, typename Same>
bool SameItems(const Array& kept, const Array& now, const Item* (Array::*get)(int32_t) const,
               const Same& same)
{
    if (kept.GetCount() != now.GetCount())
        return false;
    for (int32_t i = 0; i < now.GetCount(); ++i) {
        const Item* a = (kept.*get)(i);
        const Item* b = (now.*get)(i);
        if (a != b && !same(*a, *b))
            return false;
    }
    return true;
}

} // namespace

CUndoSnapshot::CUndoSnapshot(uint32_t mask, CWevraDoc& document)
    : m_mask(mask == maskAll ? maskStoredAll : mask)
{
    if (m_mask & maskWholeDesign) {
        m_design = document.SaveDesignBytes();
        return;
    }
    if (m_mask & maskLines)
        m_lines = std::make_unique<CDrawRecArray>(document.Design().GetLines());
    if (m_mask & maskTexts)
        m_texts = std::make_unique<CTextArray>(document.Design().GetTexts());
    if (m_mask & maskComponents)
        m_components = std::make_unique<CComponentArray>(document.Design().GetComponents());
    if (m_mask & maskNets)
        m_nets = std::make_unique<CNetArray>(document.Design().GetNets());
    if (m_mask & maskPlanes) {
        for (const auto& plane : document.Design().GetPlanes()) {
            m_planes.push_back(
                {std::make_unique<CPour>(*plane, plane->GetName(), plane->IsSelected()),
                 plane->HasFill()});
        }
    }
    if (m_mask & maskShapeCache)
        m_shapeCache = std::make_unique<CShapeLib>(document.Design().GetShapeCache());
    if (m_mask & maskNetlist) {
        m_netlistPath = document.Design().GetNetlistPath();
        m_netlistTime = document.Design().GetNetlistTime();
    }
#if defined(__SANITIZE_ADDRESS__)
    m_sharedItemBytes = SharedItemBytes();
#endif
}

CUndoSnapshot::~CUndoSnapshot()
{
    CheckSharedItems();
}

std::vector<uint8_t> CUndoSnapshot::SharedItemBytes() const
{
    // Read through const collections only: a non-const look would take the shared items.
    CArchive ar;
    if (const CNetArray* nets = m_nets.get()) {
        for (int32_t i = 0; i < nets->GetCount(); ++i)
            ar.WriteObject(nets->GetNet(i));
    }
    if (const CComponentArray* components = m_components.get()) {
        for (int32_t i = 0; i < components->GetCount(); ++i)
            ar.WriteObject(components->GetComponent(i));
    }
    return ar.GetBuffer();
}

void CUndoSnapshot::CheckSharedItems() const
{
#if defined(__SANITIZE_ADDRESS__)
    if (SharedItemBytes() == m_sharedItemBytes)
        return;
    std::fputs("An undo snapshot's nets or components were changed after it was taken.\n", stderr);
    std::abort();
#endif
}

void CUndoSnapshot::Release()
{
    CheckSharedItems();
    if (m_nets)
        m_nets->ReleaseNets();
    m_nets.reset();
    m_components.reset();
#if defined(__SANITIZE_ADDRESS__)
    m_sharedItemBytes = SharedItemBytes();
#endif
}

bool CUndoSnapshot::Matches(CWevraDoc& document) const
{
    const CDesign& design = document.Design();
    if (m_mask & maskWholeDesign)
        return false;
    if (m_nets && !SameItems(*m_nets, design.GetNets(), &CNetArray::GetNet,
                             [](const CNet& a, const CNet& b) { return SameCopper(a, b); }))
        return false;
    if (m_components &&
        !SameItems(*m_components, design.GetComponents(), &CComponentArray::GetComponent,
                   [](const CComponent& a, const CComponent& b) {
                       return UnselectedBytes(a) == UnselectedBytes(b);
                   }))
        return false;
    if (m_texts &&
        UnselectedCollectionBytes(*m_texts) != UnselectedCollectionBytes(design.GetTexts()))
        return false;
    if (m_lines &&
        UnselectedCollectionBytes(*m_lines) != UnselectedCollectionBytes(design.GetLines()))
        return false;
    if (m_mask & maskPlanes) {
        const auto& planes = design.GetPlanes();
        if (planes.size() != m_planes.size())
            return false;
        for (size_t i = 0; i < planes.size(); ++i) {
            if (UnselectedBytes(*m_planes[i].plane) != UnselectedBytes(*planes[i]))
                return false;
        }
    }
    if (m_shapeCache || (m_mask & maskNetlist))
        return false;
    return true;
}

void CUndoSnapshot::RestorePlanes(CWevraDoc& document) const
{
    auto& planes = document.Design().GetPlanes();
    std::vector<std::unique_ptr<CPour>> restored;
    std::vector<int32_t> toFill;
    for (const PlaneCopy& copy : m_planes) {
        const auto same = std::find_if(planes.begin(), planes.end(), [&copy](const auto& plane) {
            return plane && plane->HasSameFillInputs(*copy.plane);
        });
        std::unique_ptr<CPour> plane;
        if (same != planes.end()) {
            plane = std::move(*same);
            plane->SetName(copy.plane->GetName());
            plane->SetFlags(copy.plane->GetFlags());
            plane->SetNet(copy.plane->GetNet());
        } else {
            plane = std::make_unique<CPour>(*copy.plane, copy.plane->GetName(),
                                            copy.plane->IsSelected());
        }
        if (copy.filled && !plane->HasFill())
            toFill.push_back(int32_t(restored.size()));
        restored.push_back(std::move(plane));
    }
    planes = std::move(restored);
    for (int32_t i : toFill)
        document.Planes().RebuildPlane(i);
}

void CUndoSnapshot::Restore(CWevraDoc& document) const
{
    CheckSharedItems();
    if (m_mask & maskWholeDesign) {
        document.RestoreDesign(m_design);
        return;
    }
    if (m_lines)
        document.Design().GetLines() = *m_lines;
    if (m_texts)
        document.Design().GetTexts() = *m_texts;
    if (m_components)
        document.Design().GetComponents() = *m_components;
    if (m_nets)
        document.Design().GetNets() = *m_nets;
    // After the nets: a plane's fill is built against the restored copper.
    if (m_mask & maskPlanes)
        RestorePlanes(document);
    if (m_shapeCache)
        document.Design().GetEditableShapeCache() = *m_shapeCache;
    if (m_mask & maskNetlist) {
        document.Design().SetNetlistPath(m_netlistPath);
        document.Design().SetNetlistTime(m_netlistTime);
    }
}
