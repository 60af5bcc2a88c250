#include "document/CUndoSnapshot.h"

#include "document/CWevraDoc.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"

CUndoSnapshot::CUndoSnapshot(uint32_t mask, CWevraDoc& document)
    : m_mask(mask == maskAll ? maskStoredAll : mask)
{
    if (m_mask & maskWholeDesign) {
        m_design = document.SaveDesignBytes();
        return;
    }
    if (m_mask & maskLines)
        m_lines = std::make_unique<CDrawRecArray>(document.GetLines());
    if (m_mask & maskTexts)
        m_texts = std::make_unique<CTextArray>(document.GetTexts());
    if (m_mask & maskComponents)
        m_components = std::make_unique<CComponentArray>(document.GetComponents());
    if (m_mask & maskNets) {
        m_nets = std::make_unique<CNetArray>(document.GetNets());
        for (const auto& plane : document.GetPlanes())
            m_planeNets.push_back(plane->GetNet());
    }
    if (m_mask & maskShapeCache)
        m_shapeCache = std::make_unique<CShapeLib>(document.GetShapeCache());
}

CUndoSnapshot::~CUndoSnapshot() = default;

void CUndoSnapshot::Restore(CWevraDoc& document) const
{
    if (m_mask & maskWholeDesign) {
        document.RestoreDesign(m_design);
        return;
    }
    if (m_lines)
        document.GetLines() = *m_lines;
    if (m_texts)
        document.GetTexts() = *m_texts;
    if (m_components)
        document.GetComponents() = *m_components;
    if (m_nets) {
        document.GetNets() = *m_nets;
        // Planes are not undone: one added or deleted since keeps its own number, and then the
        // stored numbers no longer line up with the planes.
        auto& planes = document.GetPlanes();
        if (planes.size() == m_planeNets.size()) {
            for (size_t i = 0; i < planes.size(); ++i)
                planes[i]->SetNet(m_planeNets[i]);
        }
    }
    if (m_shapeCache)
        document.GetEditableShapeCache() = *m_shapeCache;
}
