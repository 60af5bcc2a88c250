#include "document/CDocumentFrame.h"

#include <system_error>

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
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}
