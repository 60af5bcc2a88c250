#include "analysis/CBackgroundPlaneDocument.h"

#include <utility>

void CBackgroundPlaneDocument::ClearReportLines()
{
    m_kept.emplace_back([](CPlaneBuildDocument& document) { document.ClearReportLines(); });
}

void CBackgroundPlaneDocument::SetStatusBarText(const std::string& text)
{
    m_kept.emplace_back([text](CPlaneBuildDocument& document) { document.SetStatusBarText(text); });
}

void CBackgroundPlaneDocument::SetMode(uint32_t mode)
{
    m_kept.emplace_back([mode](CPlaneBuildDocument& document) { document.SetMode(mode); });
}

void CBackgroundPlaneDocument::RedrawBoard()
{
    m_kept.emplace_back([](CPlaneBuildDocument& document) { document.RedrawBoard(); });
}

void CBackgroundPlaneDocument::ShowMessage(const std::string& text, MessageButtons buttons,
                                           MessageIcon icon)
{
    m_kept.emplace_back([text, buttons, icon](CPlaneBuildDocument& document) {
        document.ShowMessage(text, buttons, icon);
    });
}

void CBackgroundPlaneDocument::Replay()
{
    std::vector<std::function<void(CPlaneBuildDocument&)>> kept = std::move(m_kept);
    m_kept.clear();
    for (const auto& call : kept)
        call(m_document);
}
