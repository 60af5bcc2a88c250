#include "interchange/CImportProgress.h"

#include <algorithm>

#include "framework/CProgDlg.h"

namespace {

// How often the clock is read before the window is open: reading it for every record would
// cost more than the record.
constexpr uint32_t clockInterval = 256;

} // namespace

CImportProgress::CImportProgress(std::string title, std::chrono::milliseconds delay)
    : m_title(std::move(title)), m_delay(delay), m_start(std::chrono::steady_clock::now())
{
}

CImportProgress::~CImportProgress() = default;

void CImportProgress::SetTotal(int64_t total)
{
    m_total = std::max<int64_t>(total, 1);
}

void CImportProgress::SetStatus(const std::string& text)
{
    m_status = text;
    if (m_window)
        m_window->SetStatus(text);
}

bool CImportProgress::Open()
{
    if (m_window)
        return true;
    if (m_delay.count() > 0 &&
        (m_calls++ % clockInterval != 0 || std::chrono::steady_clock::now() - m_start < m_delay))
        return false;
    m_window = std::make_unique<CProgDlg>();
    m_window->SetTitle(m_title);
    m_window->SetRange(0, 100);
    m_window->SetStep(1);
    m_window->SetStatus(m_status);
    m_window->Create();
    return true;
}

bool CImportProgress::Advance(int64_t done)
{
    if (m_cancelled || !Open())
        return m_cancelled;
    const int32_t percent = int32_t(std::clamp<int64_t>(done * 100 / m_total, 0, 100));
    if (percent <= m_shown)
        return false;
    while (m_shown < percent) {
        m_window->StepIt();
        ++m_shown;
    }
    m_cancelled = m_window->CheckCancelButton();
    return m_cancelled;
}
