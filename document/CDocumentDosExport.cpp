#include "document/CDocumentDosExport.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "document/CDesign.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "interchange/CDosExport.h"
#include "model/CPour.h"
#include "resources/StringIds.h"

namespace {

// Problems shown in the message; the rest are counted.
constexpr size_t shownProblems = 20;

} // namespace

bool CDocumentDosExport::ExportFromUser()
{
    const std::optional<std::string> folder =
        CServices::FileDialogs().ChooseFolder("Select Directory", std::string(), m_designFolder);
    if (!folder)
        return false;
    // The export fills the planes that have no fill for its own use; the design keeps them as
    // the user left them, unfilled, and the board view shows nothing new.
    std::vector<bool> unfilled;
    for (const auto& plane : m_design.GetPlanes())
        unfilled.push_back(plane->GetFillStrokes().GetSize() < 2);
    CDocumentOutput output(m_design, m_planes, m_designFolder, m_designTitle);
    CDosExport exporter(output, m_session.GetComponentTextMode());
    std::string failed;
    const bool written = exporter.Export(*folder, failed);
    std::vector<std::unique_ptr<CPour>>& planes = m_design.GetPlanes();
    bool restored = false;
    for (size_t i = 0; i < unfilled.size() && i < planes.size(); ++i) {
        if (!unfilled[i])
            continue;
        planes[i] =
            std::make_unique<CPour>(*planes[i], planes[i]->GetName(), planes[i]->IsSelected());
        restored = true;
    }
    // The fill may have been painted while the progress window let the views repaint.
    if (restored)
        m_windows.RedrawBoardViews();
    if (!written) {
        CServices::Messages().FileMessageBox(
            "Error!\n" + CResString::LoadWithFile(IDS_OUTPUT_FILE_NOT_WRITTEN, failed), "", MB_OK,
            MB_ICONEXCLAMATION);
        return false;
    }
    // What the format cannot hold is named even when nothing was left out, so that nobody
    // takes the set for the design.
    std::string changes;
    for (const std::string& change : exporter.GetChanges())
        changes += "\n" + change;
    if (!changes.empty())
        changes = "\n\nThe DOS set differs from the design:" + changes;
    const std::vector<std::string>& problems = exporter.GetProblems();
    if (problems.empty()) {
        CServices::Messages().MessageBox("Ok." + changes, "");
        return true;
    }
    std::string text = "Error!\n" + std::to_string(problems.size()) +
                       " values do not fit the DOS format and were left out:";
    for (size_t k = 0; k < std::min(problems.size(), shownProblems); ++k)
        text += "\n" + problems[k];
    if (problems.size() > shownProblems)
        text += "\n...";
    CServices::Messages().MessageBox(text + changes, "", MB_OK, MB_ICONEXCLAMATION);
    return true;
}
