#include "framework/qt/CQtProgressService.h"

#include <utility>

#include <QApplication>

#include "framework/qt/CQtProgressWindow.h"

std::unique_ptr<CProgressWindow> CQtProgressService::OpenWindow(std::function<void()> onCancel)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    return std::make_unique<CQtProgressWindow>(std::move(onCancel));
}
