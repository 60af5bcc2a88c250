#include "document/CDocumentCleanup.h"

#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentViews.h"
#include "document/CDocumentWindows.h"
#include "document/CPadStackUse.h"
#include "document/CUndoSnapshot.h"
#include "document/CViewState.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"

void CDocumentCleanup::Clean(const CDialogService::CleanChoices& choices)
{
    // Shapes and padstacks are renumbered under the components and nets: Undo needs the cache
    // as it was along with them.
    m_history.SetSnapshotNeeded();
    m_history.PushUndo(CUndoSnapshot::maskShapeCache);
    if (choices.unusedNets)
        DeleteUnusedNets();
    if (choices.unusedShapes)
        DeleteUnusedShapes();
    CPadStackArray& stacks = m_design.GetEditableShapeCache().GetPadStacks();
    if (choices.unusedPads)
        m_design.GetEditableShapeCache().DeleteUnusedPadStacks(m_padStackUse);
    if (choices.minimalPadSize) {
        for (int32_t stack = 0; stack < stacks.GetCount(); ++stack) {
            const CPad* drill = stacks.GetPad(stack, LAYER_DRILL);
            if (drill != nullptr && drill->HasShape())
                stacks.SetDrill(stack, drill->GetWidth(), choices.border);
        }
    }
    stacks.Normalise();
    m_modified();
    m_windows.UpdateAllViews();
}

void CDocumentCleanup::DeleteUnusedNets()
{
    m_design.GetNets().ClearErrors();
    if (m_design.GetNets().DeleteEmptyNets() > 0)
        m_modified();
    m_design.GetNets().SetCurrentNet(0);
    m_windows.FillNetCombo();
    m_view.Windows().UpdateAllViews();
}

void CDocumentCleanup::DeleteUnusedShapes()
{
    CShapeLib& cache = m_design.GetEditableShapeCache();
    std::vector<int32_t> uses(size_t(cache.GetCount()), 0);
    for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
        const int32_t shape = m_design.GetComponents().GetShapeIndex(i);
        if (shape >= 0 && shape < cache.GetCount())
            ++uses[size_t(shape)];
    }
    // Walking with the shapes left: a removal brings the next shape to the same index.
    int32_t shape = 0;
    for (size_t original = 0; original < uses.size(); ++original) {
        if (uses[original] != 0) {
            ++shape;
            continue;
        }
        cache.DeleteShape(shape);
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
            const int32_t used = m_design.GetComponents().GetShapeIndex(i);
            if (used >= shape)
                m_design.GetComponents().SetShapeIndex(i, used - 1);
        }
    }
    cache.SetCurShape(0);
}
