#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/CProgressService.h"

// Records every progress window opened and what it showed; presses Cancel once in each window
// after `cancelAfterSteps` steps (0: as soon as the window handles events; negative: never).
class CScriptedProgressService : public CProgressService {
public:
    struct Window {
        std::string title;
        int32_t lower = 0;
        int32_t upper = 0;
        int32_t position = 0;
        int32_t steps = 0;
        std::vector<std::string> statusTexts;
        std::vector<std::string> percentTexts;
        bool open = true;
    };

    int32_t cancelAfterSteps = -1;
    // Opening a window throws std::bad_alloc, as when memory ran out.
    bool outOfMemory = false;

    const std::deque<Window>& Windows() const { return m_windows; }

    std::unique_ptr<CProgressWindow> OpenWindow(std::function<void()> onCancel) override;

private:
    std::deque<Window> m_windows;
};
