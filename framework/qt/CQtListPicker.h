#pragma once

#include <functional>
#include <utility>

#include "framework/CListPickerService.h"

// The list picker as a modal Qt dialog over the active window: a list, OK and Cancel. A double
// click or a typed character (see CSelectListBox) picks at once.
class CQtListPicker : public CListPickerService {
public:
    // Opens the help for a help context; F1 does nothing until one is set.
    void SetHelpHandler(std::function<void(int32_t context)> handler)
    {
        m_helpHandler = std::move(handler);
    }

    int32_t PickFromList(const std::string& title, const std::vector<std::string>& entries,
                         int32_t initial, int32_t helpCommandId) override;

private:
    std::function<void(int32_t)> m_helpHandler;
};
