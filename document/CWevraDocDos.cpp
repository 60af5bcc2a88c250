#include "document/CWevraDoc.h"

#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

void CWevraDoc::SetDosBoard(int32_t width, int32_t height)
{
    SetBoardOutlineRect(0, 0, width, height);
    m_settings.offset = CPoint();
}

void CWevraDoc::AddDosPlane(std::unique_ptr<CPour> plane)
{
    m_planes.push_back(std::move(plane));
}

void CWevraDoc::FinishDosImport()
{
    for (int32_t n = 0; n < m_nets->GetCount(); ++n)
        m_nets->GetNet(n)->CompactPens(true);
    m_lines->SortPens();
    m_lines->RemoveStrayVertices();
    m_shapeCache->SortPens();

    m_components->RecalcAllRects();
    RefreshToolbar();
    if (m_nets->GetCount() > 1) {
        RebuildNetPins();
        m_nets->CalcBoundingBoxesWithoutPins();
        m_nets->RecalcAll();
        m_session.SetSelectionFilter(CDesignSettings::filterElectrical, true);
    }
    SelectAll(false);
    m_nets->SetCurrentNet(0);

    // Only the layers the set uses are offered, with the bottom copper, the top silkscreen, the
    // drill layer and the planes' layers.
    ResetLayerTables();
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        CLayer* entry = m_layers->GetLayer(layer);
        if (entry == nullptr)
            continue;
        entry->SetVisible(false);
        const bool used = GetLayerCount(CLayerCounts::lineTable, layer) != 0 ||
                          GetLayerCount(CLayerCounts::padTable, layer) != 0;
        entry->SetEnabled(used);
    }
    for (const int32_t layer : {LAYER_BOTTOM, LAYER_SILK_TOP, LAYER_DRILL})
        m_layers->GetLayer(layer)->SetEnabled(true);
    for (const auto& plane : m_planes) {
        if (CLayer* entry = m_layers->GetLayer(plane->GetLayer()))
            entry->SetEnabled(true);
    }
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        m_components->ForEach(kind);
    m_nets->BuildToDoList();
    SetMode(ID_VIEW);
}
