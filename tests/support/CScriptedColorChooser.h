#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "framework/CColorChooserService.h"

// Answers colour choosers from a script and records what each was shown. It is installed for
// its lifetime. With no answer queued the chooser is cancelled.
class CScriptedColorChooser : public CColorChooserService {
public:
    struct Shown {
        COLORREF initial = 0;
        std::vector<COLORREF> customColors;
    };

    CScriptedColorChooser();
    ~CScriptedColorChooser() override;
    CScriptedColorChooser(const CScriptedColorChooser&) = delete;
    CScriptedColorChooser& operator=(const CScriptedColorChooser&) = delete;

    // The colour chosen, or nothing for Cancel.
    void QueueAnswer(std::optional<COLORREF> answer) { m_answers.push_back(answer); }
    const std::vector<Shown>& GetShown() const { return m_shown; }

    std::optional<COLORREF> ChooseColor(COLORREF initial,
                                        const std::vector<COLORREF>& customColors) override;

private:
    CColorChooserService* m_previous = nullptr;
    std::deque<std::optional<COLORREF>> m_answers;
    std::vector<Shown> m_shown;
};
