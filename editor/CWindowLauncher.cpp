#include "editor/CWindowLauncher.h"

#include <QApplication>

#include "dialogs/CTextFileWindow.h"

bool CWindowLauncher::ShowInOwnWindow(const std::filesystem::path& file)
{
    // Owned by the active window, so that it goes when the program ends.
    return CTextFileWindow::Open(file, QApplication::activeWindow()) != nullptr;
}
