#pragma once

#include "framework/CLauncher.h"

// Starts programs with QProcess::startDetached and opens text files through the desktop
// (QDesktopServices), which hands them to the user's text editor, and help pages to the
// user's browser.
class CQtLauncher : public CLauncher {
public:
    bool StartProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override;
    bool OpenTextFile(const std::filesystem::path& file) override;
    bool OpenInBrowser(const std::filesystem::path& page) override;
};
