#pragma once

#include <string>

// Finds the program that the desktop opens a file type with: the desktop entry named after the
// file type ("<type>.desktop") in the user's and the system's application folders.
class CRegTool {
public:
    // The entry's open command ("Exec" value) as stored; empty when there is none.
    static std::string GetOpenCommand(const std::string& fileType);
    // The folder of the program that the open command starts, ending with a separator; empty
    // when there is no command.
    static std::string GetOpenCommandDir(const std::string& fileType);
};
