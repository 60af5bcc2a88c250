#include "tests/support/CScriptedColorChooser.h"

#include "framework/CServices.h"

CScriptedColorChooser::CScriptedColorChooser() : m_previous(CServices::SetColorChooser(this)) {}

CScriptedColorChooser::~CScriptedColorChooser()
{
    CServices::SetColorChooser(m_previous);
}

std::optional<COLORREF>
CScriptedColorChooser::ChooseColor(COLORREF initial, const std::vector<COLORREF>& customColors)
{
    m_shown.push_back({initial, customColors});
    if (m_answers.empty())
        return std::nullopt;
    const std::optional<COLORREF> answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}
