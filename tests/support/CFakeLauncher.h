#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "framework/CLauncher.h"

// Records what the program asked to start or open; nothing is started. Every call returns
// `result`.
class CFakeLauncher : public CLauncher {
public:
    struct Start {
        std::filesystem::path program;
        std::vector<std::string> arguments;
    };

    bool result = true;
    std::vector<Start> started;
    std::vector<std::filesystem::path> openedTextFiles;
    std::vector<std::filesystem::path> openedPages;

    bool StartProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override;
    bool OpenTextFile(const std::filesystem::path& file) override;
    bool OpenInBrowser(const std::filesystem::path& page) override;
};
