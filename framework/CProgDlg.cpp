#include "framework/CProgDlg.h"

#include <algorithm>

#include "framework/CNumberText.h"
#include "framework/CProgressService.h"
#include "framework/CProgressWindow.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"

int32_t CProgDlg::s_openCount = 0;

CProgDlg::CProgDlg(uint32_t captionId) : m_captionId(captionId) {}

CProgDlg::~CProgDlg()
{
    DestroyWindow();
}

bool CProgDlg::Create()
{
    if (!m_counted) {
        m_counted = true;
        ++s_openCount;
    }
    if (m_window)
        return true;
    m_window = CServices::Progress().OpenWindow([this] { OnCancel(); });
    if (!m_window)
        return false;
    m_position = m_lower;
    if (m_title.empty() && m_captionId != 0)
        m_title = CResourcePack::GetCurrent().GetString(m_captionId);
    m_window->SetTitle(m_title);
    m_window->SetBar(m_lower, m_upper, m_position);
    m_window->SetPercentText(m_percentText);
    m_window->SetStatusText(m_status);
    // Seen at once: the operation may work a while before its first step.
    m_window->ProcessEvents();
    return true;
}

void CProgDlg::DestroyWindow()
{
    m_window.reset();
    if (m_counted) {
        m_counted = false;
        --s_openCount;
    }
}

void CProgDlg::SetTitle(const std::string& text)
{
    m_title = text;
    if (m_window)
        m_window->SetTitle(text);
}

void CProgDlg::SetRange(int32_t lower, int32_t upper)
{
    m_lower = lower;
    m_upper = upper;
    m_position = std::clamp(m_position, lower, std::max(lower, upper));
    if (m_window)
        m_window->SetBar(m_lower, m_upper, m_position);
}

void CProgDlg::SetStatus(const std::string& text)
{
    m_status = text;
    if (m_window)
        m_window->SetStatusText(text);
}

void CProgDlg::SetCaption(const std::string& text)
{
    if (m_window)
        m_window->SetStatusText(text);
}

int32_t CProgDlg::StepIt()
{
    if (m_window)
        m_window->ProcessEvents();
    const int32_t before = m_position;
    const int64_t reached = int64_t(before) + m_step;
    const int64_t range = int64_t(m_upper) - m_lower;
    int64_t position = reached;
    if (range <= 0)
        position = m_lower;
    else if (position > m_upper)
        position = m_lower + (position - m_lower) % range;
    m_position = int32_t(position);

    const std::string text =
        PercentText(int32_t(std::clamp<int64_t>(reached, INT32_MIN, INT32_MAX)), m_lower, m_upper);
    if (m_window)
        m_window->StepTo(m_position);
    if (text != m_percentText) {
        m_percentText = text;
        if (m_window)
            m_window->SetPercentText(text);
    }
    return before;
}

bool CProgDlg::CheckCancelButton()
{
    if (m_window)
        m_window->ProcessEvents();
    const bool cancel = m_cancel;
    m_cancel = false;
    return cancel;
}

std::string CProgDlg::PercentText(int32_t position, int32_t lower, int32_t upper)
{
    const int64_t range = int64_t(upper) - lower;
    int64_t percent = 100;
    if (range > 0) {
        percent = (int64_t(position) - lower) * 100 / range;
        if (percent != 100)
            percent %= 100;
    }
    return CNumberText::FormatInt(percent) + "%";
}
