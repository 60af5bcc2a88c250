#include "document/CDocumentDosImport.h"

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
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
    return m_document.Design().GetLines();
}

const CLayerArray& CDocumentDosImport::GetLayers() const
{
    return m_document.Design().GetLayers();
}

void CDocumentDosImport::SetDosBoard(int32_t width, int32_t height)
{
    m_document.Design().SetBoardOutlineRect(0, 0, width, height);
    m_settings.offset = CPoint();
}

void CDocumentDosImport::AddDosPlane(std::unique_ptr<CPour> plane)
{
    m_document.Design().GetPlanes().push_back(std::move(plane));
}

void CDocumentDosImport::FinishDosImport()
{
    for (int32_t n = 0; n < m_document.Design().GetNets().GetCount(); ++n)
        m_document.Design().GetNets().GetNet(n)->CompactPens(true);
    m_document.Design().GetLines().SortPens();
    m_document.Design().GetLines().RemoveStrayVertices();
    m_document.Design().GetEditableShapeCache().SortPens();

    m_document.Design().GetComponents().RecalcAllRects();
    m_document.Windows().RefreshToolbar();
    if (m_document.Design().GetNets().GetCount() > 1) {
        m_document.Design().RebuildNetPins();
        m_document.Design().GetNets().CalcBoundingBoxesWithoutPins();
        m_document.Design().GetNets().RecalcAll();
        m_document.Session().SetSelectionFilter(CDesignSettings::filterElectrical, true);
    }
    m_document.Session().SelectAll(false);
    m_document.Design().GetNets().SetCurrentNet(0);

    // Only the layers the set uses are offered, with the bottom copper, the top silkscreen, the
    // drill layer and the planes' layers.
    m_document.Design().ResetLayerTables();
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        CLayer* entry = m_document.Design().GetLayers().GetLayer(layer);
        if (entry == nullptr)
            continue;
        entry->SetVisible(false);
        const bool used = m_document.Design().GetLayerCount(CLayerCounts::lineTable, layer) != 0 ||
                          m_document.Design().GetLayerCount(CLayerCounts::padTable, layer) != 0;
        entry->SetEnabled(used);
    }
    for (const int32_t layer : {LAYER_BOTTOM, LAYER_SILK_TOP, LAYER_DRILL})
        m_document.Design().GetLayers().GetLayer(layer)->SetEnabled(true);
    for (const auto& plane : m_document.Design().GetPlanes()) {
        if (CLayer* entry = m_document.Design().GetLayers().GetLayer(plane->GetLayer()))
            entry->SetEnabled(true);
    }
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        m_document.Design().GetComponents().ResetTextPositions(kind);
    m_document.Design().GetNets().BuildToDoList();
    m_document.Session().SetMode(ID_VIEW);
}

// ---- What the netlist import asks ---------------------------------------------------------------

CComponentArray& CDocumentDosImport::GetComponents()
{
    return m_document.Design().GetComponents();
}

CNetArray& CDocumentDosImport::GetNets()
{
    return m_document.Design().GetNets();
}

CShapeLib& CDocumentDosImport::GetEditableShapeCache()
{
    return m_document.Design().GetEditableShapeCache();
}

const CShapeLibArray* CDocumentDosImport::GetShapeLibraries() const
{
    return m_document.Link().GetShapeLibraries();
}

void CDocumentDosImport::SaveUndoState()
{
    m_undoMark = m_document.History().GetUndoMark();
    m_document.History().SaveUndoState();
}

void CDocumentDosImport::TakeBackUndoState()
{
    m_document.History().TakeBackSince(m_undoMark);
}

void CDocumentDosImport::AddMessage(const std::string& text)
{
    m_document.Windows().AddMessage(text);
}

void CDocumentDosImport::SetNetlistPath(const std::string& path)
{
    m_document.Design().SetNetlistPath(path);
}

void CDocumentDosImport::SetNetlistTime(int64_t seconds)
{
    m_document.Design().SetNetlistTime(seconds);
}

void CDocumentDosImport::SetCurrentComponent(int32_t component)
{
    m_document.Session().SetCurrentComponent(component);
}

int32_t CDocumentDosImport::SelectAll(bool select)
{
    return m_document.Session().SelectAll(select);
}

void CDocumentDosImport::SetMode(uint32_t mode)
{
    m_document.Session().SetMode(mode);
}

void CDocumentDosImport::ShowLeftPane(bool shown)
{
    m_document.Windows().ShowLeftPane(shown);
}

void CDocumentDosImport::ShowBottomPane(bool shown)
{
    m_document.Windows().ShowBottomPane(shown);
}

std::string CDocumentDosImport::GetDesignFolder() const
{
    return m_document.GetDesignFolder();
}
