#pragma once

#include <cstdint>
#include <string>

// The help pages: each command id has a topic page in the "help" folder beside the program.
// Dialogs pass their help context as 0x10000 + the command that opens them.
class CHelpTopics {
public:
    // The help context of a dialog is this plus the id of the command that opens it.
    static constexpr uint32_t dialogContextBase = 0x10000;

    // The page of a help context, "Hotkeys.htm" for a context without a topic of its own.
    static std::string PageFor(uint32_t helpContext);
    // Opens the page in the desktop's browser; the "Hotkeys" page when the topic's page is not
    // there. True when the browser accepted it.
    static bool Show(uint32_t helpContext);
};
