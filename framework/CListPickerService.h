#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Shows a modal list of texts from which the user picks one. Model code never opens a window
// itself; it asks the service installed in CServices.
class CListPickerService {
public:
    virtual ~CListPickerService();

    // Shows the entries in order under the title with the entry `initial` selected (none when
    // it is outside the list). F1 opens the help for 0x10000 + helpCommandId. Returns the index
    // of the entry picked, or -1 when the user cancelled or confirmed with nothing selected.
    // Texts are Windows-1252.
    virtual int32_t PickFromList(const std::string& title, const std::vector<std::string>& entries,
                                 int32_t initial, int32_t helpCommandId) = 0;
};
