#include "document/CDesign.h"

#include <algorithm>
#include <string>

#include "document/CPadStackUse.h"
#include "framework/CArchive.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CFieldRange.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

namespace {

// What each design file version added: the view block of the header, the shape cache at its
// own place (with the current component and text records), and the planes.
constexpr uint32_t viewBlockVersion = 8033;
constexpr uint32_t ownShapeCacheVersion = CComponentArray::ownShapeCacheVersion;
constexpr uint32_t planesVersion = 8035;

constexpr uint32_t maxPinInfoMode = 6;

} // namespace

// ---- Writing ------------------------------------------------------------------------------------

void CDesign::Store(CArchive& ar)
{
    CleanUpPlaneList();
    const size_t start = ar.GetBuffer().size();
    ar.Reserve(m_storeSizeHint + m_storeSizeHint / 16);
    ar << CDesignSettings::designFileVersion;
    WriteHeader(ar);
    ar.SerializeObjectArray(m_planes);
    m_layers->Serialize(ar);
    m_boardOutline.Serialize(ar);
    m_lines->Serialize(ar);
    m_shapeCache->SetName(CShapeLib::cacheName);
    m_shapeCache->GetPadStacks().RecalcAllMasks();
    m_shapeCache->Serialize(ar);
    m_components->Serialize(ar);
    m_nets->Serialize(ar);
    m_grids->Serialize(ar);
    m_outputJobs->Serialize(ar);
    m_displaySets->Serialize(ar);
    m_texts->Serialize(ar);
    m_storeSizeHint = ar.GetBuffer().size() - start;
}

void CDesign::WriteHeader(CArchive& ar) const
{
    for (const auto& table : m_settings.colors) {
        for (const COLORREF color : table)
            ar << color;
    }
    ar << m_settings.boardWidth << m_settings.boardHeight << m_settings.offset.x
       << m_settings.offset.y << m_settings.scale;
    ar.WriteString(m_settings.netlistPath);
    ar.WriteString(m_settings.templatePath);
    ar << m_settings.selectionFilter << m_settings.drcActive << m_settings.mode45
       << m_settings.tracksOfComponents << m_settings.ratsnestActive;
    ar << m_settings.viewFlags << m_settings.drawingMode << m_settings.subnetMark
       << m_settings.userOffset.x << m_settings.userOffset.y;
    ar.WriteTime(m_settings.netlistTime);
    ar << m_settings.reserved << m_settings.unit << m_settings.designTime;
    ar.Write(m_settings.pinInfoFontRecord.data(), m_settings.pinInfoFontRecord.size());
    ar << m_settings.pinInfoMode;
}

void CDesign::CleanUpPlaneList()
{
    // Each plane is owned by one entry, so the list cannot name a plane twice; only the names
    // need care.
    for (size_t i = m_planes.size(); i-- > 0;) {
        if (m_planes[i]->GetName().size() < 2)
            m_planes[i]->SetName("Plane Nr " + CNumberText::FormatInt(int32_t(i + 1)));
    }
}

// ---- Reading ------------------------------------------------------------------------------------

void CDesign::ReadHeader(CArchive& ar, uint32_t version)
{
    m_storeSizeHint = ar.GetBuffer().size();
    for (auto& table : m_settings.colors) {
        for (COLORREF& color : table)
            ar >> color;
    }
    ar >> m_settings.boardWidth >> m_settings.boardHeight >> m_settings.offset.x >>
        m_settings.offset.y >> m_settings.scale;
    m_settings.netlistPath = ar.ReadString();
    m_settings.templatePath = ar.ReadString();
    ar >> m_settings.selectionFilter >> m_settings.drcActive >> m_settings.mode45 >>
        m_settings.tracksOfComponents >> m_settings.ratsnestActive;
    if (version >= viewBlockVersion)
        ar >> m_settings.viewFlags >> m_settings.drawingMode >> m_settings.subnetMark >>
            m_settings.userOffset.x >> m_settings.userOffset.y;
    m_settings.netlistTime = ar.ReadTime();
    ar >> m_settings.reserved >> m_settings.unit >> m_settings.designTime;
    ar.Read(m_settings.pinInfoFontRecord.data(), m_settings.pinInfoFontRecord.size());
    SetPinInfoFontFromRecord();
    ar >> m_settings.pinInfoMode;
    if (version >= planesVersion)
        ar.SerializeObjectArray(m_planes);
}

void CDesign::ReadCollections(CArchive& ar, uint32_t version)
{
    m_layers->Serialize(ar);
    m_boardOutline.Serialize(ar);
    m_lines->Serialize(ar);
    if (version >= ownShapeCacheVersion)
        m_shapeCache->Serialize(ar);
    // Older files carry the shape cache behind the components, which read it into this design.
    m_components->Serialize(ar, version);
    m_shapeCache->SetName(CShapeLib::cacheName);
    m_shapeCache->GetPadStacks().RecalcAllMasks();
    m_nets->Serialize(ar);
    m_grids->Serialize(ar);
    m_outputJobs->Serialize(ar);
    m_displaySets->Serialize(ar);
    m_texts->Serialize(ar, version);
}

void CDesign::RepairLoadedIndexes(CArchive& ar)
{
    bool settingsRepaired = false;
    if (m_settings.scale < CDesignSettings::minScale ||
        m_settings.scale > CDesignSettings::maxScale) {
        m_settings.scale = CDesignSettings::defaultScale;
        settingsRepaired = true;
    }
    if (m_settings.unit > uint32_t(CLengthText::unitMil)) {
        m_settings.unit = uint32_t(CLengthText::unitMillimetre);
        settingsRepaired = true;
    }
    if (m_settings.pinInfoMode > maxPinInfoMode) {
        m_settings.pinInfoMode = 1;
        settingsRepaired = true;
    }
    if (m_layers->GetRefLayer() < 0 || m_layers->GetRefLayer() >= LAYER_COUNT) {
        m_layers->SetRefLayer(LAYER_TOP);
        settingsRepaired = true;
    }
    // The tools set the user offset on the board's side of the origin only; a design from
    // elsewhere may hold one beyond it.
    const CPoint offset = m_settings.userOffset;
    m_settings.userOffset =
        CPoint(int32_t(std::clamp<int64_t>(offset.x, 0, FieldRanges::coordinate)),
               int32_t(std::clamp<int64_t>(offset.y, 0, FieldRanges::coordinate)));
    if (m_settings.userOffset != offset)
        settingsRepaired = true;
    if (settingsRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_DESIGN_SETTINGS_REPAIRED));

    RepairPadStackIndexes(ar);
    RepairComponentsAfterLoad(ar);

    bool planesRepaired = false;
    const auto missing = std::remove(m_planes.begin(), m_planes.end(), nullptr);
    if (missing != m_planes.end()) {
        m_planes.erase(missing, m_planes.end());
        planesRepaired = true;
    }
    for (const auto& plane : m_planes) {
        if (plane->GetNet() < -1 || plane->GetNet() >= m_nets->GetCount()) {
            plane->SetNet(-1);
            planesRepaired = true;
        }
    }
    if (planesRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_PLANE_RECORDS_REPAIRED));
}

void CDesign::RepairPadStackIndexes(CArchive& ar)
{
    CPadStackArray& stacks = m_shapeCache->GetPadStacks();
    const auto isMissing = [&stacks](int32_t k) { return k < 0 || k >= stacks.GetCount(); };

    bool shapesBroken = false;
    for (int32_t s = 0; s < m_shapeCache->GetCount(); ++s) {
        const CShape& shape = *m_shapeCache->GetShape(s);
        for (int32_t n = 0; n < shape.GetPadCount() && !shapesBroken; ++n)
            shapesBroken = isMissing(shape.GetPadStackIndex(n));
    }
    const CPadStackUse::NumbersUsed netStacks = CPadStackUse(*this).GetNetPadStacksUsed();
    bool netsBroken = false;
    for (size_t k = size_t(std::max(stacks.GetCount(), 0)); k < netStacks.size(); ++k)
        netsBroken = netsBroken || netStacks[k];
    if (!shapesBroken && !netsBroken)
        return;

    // Pads need a padstack to fall back on; the kinds pass settles what it is for.
    if (stacks.GetCount() == 0) {
        const int32_t half = MmToUnits(0.8);
        stacks.SetAt(0, CPadStack("CIR 1.60 H0.80", PAD_ROUND, -half, -half, half, half,
                                  MmToUnits(0.8), LAYER_COMMON, PADSTACK_KIND_PAD));
        stacks.RecalcMasks(0);
    }
    if (shapesBroken) {
        const int32_t fallback = stacks.GetDefault(PADSTACK_KIND_SHAPE_PAD);
        for (int32_t s = 0; s < m_shapeCache->GetCount(); ++s) {
            CShape& shape = *m_shapeCache->GetShape(s);
            for (int32_t n = 0; n < shape.GetPadCount(); ++n) {
                if (isMissing(shape.GetPadStackIndex(n)))
                    shape.SetPadStackIndex(n, fallback);
            }
        }
        ar.AddLoadWarning(CResString::Load(IDS_SHAPE_PADSTACK_REPAIRED));
    }
    if (netsBroken) {
        const int32_t fallback = stacks.GetDefault(PADSTACK_KIND_PAD);
        for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
            CNet& net = *m_nets->GetNet(n);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                if (net.IsPadVertex(v) && isMissing(net.GetVertexPadStack(v)))
                    net.SetVertexPadType(v, fallback);
            }
        }
        ar.AddLoadWarning(CResString::Load(IDS_NET_PADSTACK_REPAIRED));
    }
}

void CDesign::RepairComponentsAfterLoad(CArchive& ar)
{
    m_components->RepairAfterLoad(ar, m_nets->GetCount());
}
