#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Starts other programs and never waits for them: the schematic application, and the text
// editor for the reports the program writes.
class CLauncher {
public:
    virtual ~CLauncher();

    // Arguments are passed as they are, without a shell. True when the program started.
    virtual bool StartProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments) = 0;
    // Opens a text file in the desktop's text editor. True when the request was accepted.
    virtual bool OpenTextFile(const std::filesystem::path& file) = 0;
};
