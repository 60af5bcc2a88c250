#include "document/CWevraDoc.h"

#include "document/CDocumentViews.h"
#include "model/CLayerArray.h"

void CWevraDoc::RepaintBoardViews()
{
    m_view.Windows().RepaintBoardView();
}

void CWevraDoc::SendViewCommand(uint32_t id)
{
    m_view.Windows().SendViewCommand(id);
}

std::vector<std::string> CWevraDoc::GetLayerNames() const
{
    std::vector<std::string> names;
    names.reserve(LAYER_COUNT);
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        names.push_back(m_design.GetLayers().GetLayerName(layer));
    return names;
}
