#pragma once

#include "model/CDialogService.h"

class CDesign;
class CWevraDoc;

// Board > Clean and its pieces: what the design holds but no longer uses (nets without pins,
// shapes no component places, padstacks nothing names) goes, and the drill holes get their
// minimal copper border.
class CDocumentCleanup {
public:
    CDocumentCleanup(CWevraDoc& document, CDesign& design) : m_document(document), m_design(design)
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
    CWevraDoc& m_document;
    CDesign& m_design;
};
