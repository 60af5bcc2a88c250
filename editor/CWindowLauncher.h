#pragma once

#include "framework/qt/CQtLauncher.h"

// The program's launcher: what the desktop cannot show, such as a report on a desktop without
// a text viewer, opens in a read-only text window of the program.
class CWindowLauncher : public CQtLauncher {
public:
    bool ShowInOwnWindow(const std::filesystem::path& file) override;
};
