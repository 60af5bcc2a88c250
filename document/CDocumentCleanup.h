#pragma once

#include <functional>
#include <utility>

#include "model/CDialogService.h"

class CDesign;
class CDocumentHistory;
class CDocumentWindows;
class CPadStackUse;
class CViewState;

// Board > Clean and its pieces: what the design holds but no longer uses (nets without pins,
// shapes no component places, padstacks nothing names) goes, and the drill holes get their
// minimal copper border.
class CDocumentCleanup {
public:
    // `modified` marks the document modified.
    CDocumentCleanup(CDesign& design, CDocumentHistory& history, CPadStackUse& padStackUse,
                     CViewState& view, CDocumentWindows& windows, std::function<void()> modified)
        : m_design(design), m_history(history), m_padStackUse(padStackUse), m_view(view),
          m_windows(windows), m_modified(std::move(modified))
    {
    }
    CDocumentCleanup(const CDocumentCleanup&) = delete;
    CDocumentCleanup& operator=(const CDocumentCleanup&) = delete;

    // The chosen removals and the minimal copper border around drill holes, after an undo
    // snapshot; the padstack table is normalised in every case.
    void Clean(const CDialogService::CleanChoices& choices);
    // The nets without pins go, and the error records; net 0 becomes current.
    void DeleteUnusedNets();
    // Removes the cache's shapes no component uses; the components' shape indexes follow.
    void DeleteUnusedShapes();

private:
    CDesign& m_design;
    CDocumentHistory& m_history;
    CPadStackUse& m_padStackUse;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    std::function<void()> m_modified;
};
