#include "tests/support/CScriptedProgressService.h"

#include <new>
#include <utility>

#include "framework/CProgressWindow.h"

namespace {

class CScriptedProgressWindow : public CProgressWindow {
public:
    CScriptedProgressWindow(CScriptedProgressService::Window& record, int32_t cancelAfterSteps,
                            std::function<void()> onCancel)
        : m_record(record), m_cancelAfterSteps(cancelAfterSteps), m_onCancel(std::move(onCancel))
    {
    }
    ~CScriptedProgressWindow() override { m_record.open = false; }

    void SetTitle(const std::string& text) override { m_record.title = text; }
    void SetBar(int32_t lower, int32_t upper, int32_t position) override
    {
        m_record.lower = lower;
        m_record.upper = upper;
        m_record.position = position;
    }
    void StepTo(int32_t position) override
    {
        m_record.position = position;
        ++m_record.steps;
        PressCancelWhenDue();
    }
    void SetPercentText(const std::string& text) override { m_record.percentTexts.push_back(text); }
    void SetStatusText(const std::string& text) override { m_record.statusTexts.push_back(text); }
    void ProcessEvents() override { PressCancelWhenDue(); }

private:
    void PressCancelWhenDue()
    {
        if (m_pressed || m_cancelAfterSteps < 0 || m_record.steps < m_cancelAfterSteps)
            return;
        m_pressed = true;
        m_onCancel();
    }

    CScriptedProgressService::Window& m_record;
    int32_t m_cancelAfterSteps;
    std::function<void()> m_onCancel;
    bool m_pressed = false;
};

} // namespace

std::unique_ptr<CProgressWindow>
CScriptedProgressService::OpenWindow(std::function<void()> onCancel)
{
    if (outOfMemory)
        throw std::bad_alloc();
    Window& record = m_windows.emplace_back();
    return std::make_unique<CScriptedProgressWindow>(record, cancelAfterSteps, std::move(onCancel));
}
