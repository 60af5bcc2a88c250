#include "tests/support/CScriptedListPicker.h"

int32_t CScriptedListPicker::PickFromList(const std::string& title,
                                          const std::vector<std::string>& entries, int32_t initial,
                                          int32_t helpCommandId)
{
    m_shown.push_back({title, entries, initial, helpCommandId});
    int32_t answer = initial;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    return answer >= 0 && size_t(answer) < entries.size() ? answer : -1;
}
