#include "document/CDocumentDosExport.h"

#include <algorithm>
#include <optional>
#include <string>

#include "document/CDocumentOutput.h"
#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "interchange/CDosExport.h"

namespace {

// Problems shown in the message; the rest are counted.
constexpr size_t shownProblems = 20;

} // namespace

bool CDocumentDosExport::ExportFromUser()
{
    const std::optional<std::string> folder = CServices::FileDialogs().ChooseFolder(
        "Select Directory", std::string(), m_document.GetDesignFolder());
    if (!folder)
        return false;
    CDocumentOutput output(m_document);
    CDosExport exporter(output, m_document.GetComponentTextMode());
    std::string failed;
    if (!exporter.Export(*folder, failed)) {
        CServices::Messages().FileMessageBox("Error!\nThe file could not be written:\n" + failed,
                                             "", MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    const std::vector<std::string>& problems = exporter.GetProblems();
    if (problems.empty()) {
        CServices::Messages().MessageBox("Ok.", "");
        return true;
    }
    std::string text = "Error!\n" + std::to_string(problems.size()) +
                       " values do not fit the DOS format and were left out:";
    for (size_t k = 0; k < std::min(problems.size(), shownProblems); ++k)
        text += "\n" + problems[k];
    if (problems.size() > shownProblems)
        text += "\n...";
    CServices::Messages().MessageBox(text, "", MB_OK, MB_ICONEXCLAMATION);
    return true;
}
