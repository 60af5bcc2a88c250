#include "document/CDocumentDosImport.h"

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "interchange/CDosImport.h"

#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

bool CDocumentDosImport::Open(const std::string& path)
{
    CDosImport reader(*this);
    return reader.Import(path);
}

CDrawRecArray& CDocumentDosImport::GetEditableLines()
{
    return m_design.GetLines();
}

const CLayerArray& CDocumentDosImport::GetLayers() const
{
    return m_design.GetLayers();
}

void CDocumentDosImport::SetDosBoard(int32_t width, int32_t height)
{
    m_design.SetBoardOutlineRect(0, 0, width, height);
    m_settings.offset = CPoint();
}

void CDocumentDosImport::AddDosPlane(std::unique_ptr<CPour> plane)
{
    m_design.GetPlanes().push_back(std::move(plane));
}

void CDocumentDosImport::FinishDosImport()
{
    for (int32_t n = 0; n < m_design.GetNets().GetCount(); ++n)
        m_design.GetNets().GetNet(n)->CompactPens(true);
    m_design.GetLines().SortPens();
    m_design.GetLines().RemoveStrayVertices();
    m_design.GetEditableShapeCache().SortPens();

    m_design.GetComponents().RecalcAllRects();
    m_windows.RefreshToolbar();
    if (m_design.GetNets().GetCount() > 1) {
        m_design.RebuildNetPins();
        m_design.GetNets().CalcBoundingBoxesWithoutPins();
        m_design.GetNets().RecalcAll();
        m_session.SetSelectionFilter(CDesignSettings::filterElectrical, true);
    }
    m_session.SelectAll(false);
    m_design.GetNets().SetCurrentNet(0);

    // Only the layers the set uses are offered, with the bottom copper, the top silkscreen, the
    // drill layer and the planes' layers.
    m_design.ResetLayerTables();
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        CLayer* entry = m_design.GetLayers().GetLayer(layer);
        if (entry == nullptr)
            continue;
        entry->SetVisible(false);
        const bool used = m_design.GetLayerCount(CLayerCounts::lineTable, layer) != 0 ||
                          m_design.GetLayerCount(CLayerCounts::padTable, layer) != 0;
        entry->SetEnabled(used);
    }
    for (const int32_t layer : {LAYER_BOTTOM, LAYER_SILK_TOP, LAYER_DRILL})
        m_design.GetLayers().GetLayer(layer)->SetEnabled(true);
    for (const auto& plane : m_design.GetPlanes()) {
        if (CLayer* entry = m_design.GetLayers().GetLayer(plane->GetLayer()))
            entry->SetEnabled(true);
    }
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        m_design.GetComponents().ResetTextPositions(kind);
    m_design.GetNets().BuildToDoList();
    m_session.SetMode(ID_VIEW);
}

// ---- What the netlist import asks ---------------------------------------------------------------

CComponentArray& CDocumentDosImport::GetComponents()
{
    return m_design.GetComponents();
}

CNetArray& CDocumentDosImport::GetNets()
{
    return m_design.GetNets();
}

CShapeLib& CDocumentDosImport::GetEditableShapeCache()
{
    return m_design.GetEditableShapeCache();
}

const std::vector<std::unique_ptr<CPour>>& CDocumentDosImport::GetPlanes() const
{
    return m_design.GetPlanes();
}

const CShapeLibArray* CDocumentDosImport::GetShapeLibraries() const
{
    return m_link.GetShapeLibraries();
}

void CDocumentDosImport::SaveUndoState()
{
    m_undoMark = m_history.GetUndoMark();
    m_history.SaveUndoState();
}

void CDocumentDosImport::TakeBackUndoState()
{
    m_history.TakeBackSince(m_undoMark);
}

void CDocumentDosImport::AddMessage(const std::string& text)
{
    m_windows.AddMessage(text);
}

void CDocumentDosImport::SetNetlistPath(const std::string& path)
{
    m_design.SetNetlistPath(path);
}

void CDocumentDosImport::SetNetlistTime(int64_t seconds)
{
    m_design.SetNetlistTime(seconds);
}

void CDocumentDosImport::SetCurrentComponent(int32_t component)
{
    m_session.SetCurrentComponent(component);
}

int32_t CDocumentDosImport::SelectAll(bool select)
{
    return m_session.SelectAll(select);
}

void CDocumentDosImport::SetMode(uint32_t mode)
{
    m_session.SetMode(mode);
}

void CDocumentDosImport::ShowLeftPane(bool shown)
{
    m_windows.ShowLeftPane(shown);
}

void CDocumentDosImport::ShowBottomPane(bool shown)
{
    m_windows.ShowBottomPane(shown);
}

std::string CDocumentDosImport::GetDesignFolder() const
{
    return m_designFolder();
}
