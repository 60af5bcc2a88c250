#include "document/CDocumentFrame.h"

#include "framework/CPathHelper.h"

namespace {

CDocumentFrame s_headless;
CDocumentFrame* s_installed = nullptr;

} // namespace

CDocumentFrame& CDocumentFrame::Get()
{
    return s_installed ? *s_installed : s_headless;
}

CDocumentFrame* CDocumentFrame::Set(CDocumentFrame* frame)
{
    CDocumentFrame* previous = s_installed;
    s_installed = frame;
    return previous;
}

std::filesystem::path CDocumentFrame::GetProgramFolder() const
{
    return CPathHelper::GetProgramFolder();
}
