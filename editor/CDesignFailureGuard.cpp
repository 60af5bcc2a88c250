#include "editor/CDesignFailureGuard.h"

#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CWevraDoc.h"
#include "editor/CDocTemplate.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"

void CDesignFailureGuard::Begin()
{
    CWevraDoc* document = m_documents.GetActiveDocument();
    m_starts.push_back({document, document ? document->History().GetUndoMark() : 0});
}

void CDesignFailureGuard::End()
{
    if (!m_starts.empty())
        m_starts.pop_back();
}

bool CDesignFailureGuard::IsOpen(const CWevraDoc* document) const
{
    for (int i = 0; i < m_documents.GetCount(); ++i) {
        if (m_documents.GetDocument(i) == document)
            return true;
    }
    return false;
}

void CDesignFailureGuard::Abandon(const std::string& reason)
{
    const Start start = m_starts.empty() ? Start() : m_starts.back();
    if (!m_starts.empty())
        m_starts.pop_back();
    // Should the way back fail as well, the program still runs on, and the user learns that
    // the design may be left half changed.
    std::string text;
    try {
        text = "The last action could not be completed: " + reason + "\n\n";
        if (start.document == nullptr || !IsOpen(start.document)) {
            text += "It was abandoned.";
        } else {
            const std::string name = start.document->GetDesignName();
            bool takenBack = false;
            try {
                takenBack = start.document->History().TakeBackSince(start.mark);
                if (takenBack) {
                    start.document->Windows().RedrawBoardViews();
                    start.document->Windows().UpdateAllViews();
                }
                text += takenBack ? "It was abandoned and the design \"" + name +
                                        "\" was taken back to where it was before it."
                                  : "It was abandoned.";
            } catch (...) {
                text += "It was abandoned, and the design \"" + name +
                        "\" could not be taken back to where it was before it: it may be left "
                        "half changed. Check it, or close it without saving.";
            }
        }
    } catch (...) {
        text = "The last action could not be completed and was abandoned; a design may be left "
               "half changed.";
    }
    try {
        CServices::Messages().FileMessageBox(text, "Wevra PCB", MB_OK, MB_ICONSTOP);
    } catch (...) {
    }
}
