#include "document/CWevraDoc.h"

#include "document/CUndoSnapshot.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"

void CWevraDoc::Clean(const CDialogService::CleanChoices& choices)
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
    SetModified();
    m_windows.UpdateAllViews();
}

void CWevraDoc::DeleteUnusedShapes()
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
