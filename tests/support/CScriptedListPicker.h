#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "framework/CListPickerService.h"

// Answers list pickers from a script and records every list shown. With no answer queued the
// preselected entry is taken, as OK would.
class CScriptedListPicker : public CListPickerService {
public:
    struct Shown {
        std::string title;
        std::vector<std::string> entries;
        int32_t initial = -1;
        int32_t helpCommandId = 0;
    };

    // The index picked, or -1 for Cancel.
    void QueueAnswer(int32_t index) { m_answers.push_back(index); }
    const std::vector<Shown>& GetShown() const { return m_shown; }

    int32_t PickFromList(const std::string& title, const std::vector<std::string>& entries,
                         int32_t initial, int32_t helpCommandId) override;

private:
    std::deque<int32_t> m_answers;
    std::vector<Shown> m_shown;
};
