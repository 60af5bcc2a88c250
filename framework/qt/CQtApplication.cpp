#include "framework/qt/CQtApplication.h"

#include "framework/CFailureGuard.h"

CQtApplication::CQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool CQtApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    CFailureGuard::Run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
