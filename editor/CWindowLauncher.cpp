#include "editor/CWindowLauncher.h"

#include <QApplication>
#include <QDialog>

#include "dialogs/CTextFileWindow.h"

bool CWindowLauncher::ShowInOwnWindow(const std::filesystem::path& file)
{
    // Owned by the window the user works in, so that it goes when the program ends; not by a
    // dialog that asked for it, which would take it along when it closes.
    QWidget* owner = QApplication::activeWindow();
    while (qobject_cast<QDialog*>(owner) != nullptr && owner->parentWidget() != nullptr)
        owner = owner->parentWidget()->window();
    return CTextFileWindow::Open(file, owner) != nullptr;
}
