#include "framework/qt/CQtFileDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include "framework/qt/CQtText.h"

std::optional<std::string> CQtFileDialogService::ChooseFolder(const std::string& title,
                                                              const std::string& rootFolder,
                                                              const std::string& startFolder)
{
    const QString root = CQtText::FromPath(rootFolder);
    if (!root.isEmpty() && !QFileInfo(root).isDir())
        return std::nullopt;
    const QString start = CQtText::FromPath(startFolder);
    QString openIn = QDir::homePath();
    if (!start.isEmpty() && QFileInfo(start).isDir())
        openIn = start;
    else if (!root.isEmpty())
        openIn = root;

    QFileDialog dialog(QApplication::activeWindow(), CQtText::FromDesignText(title), openIn);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return CQtText::ToPath(QDir::cleanPath(chosen.front()));
}

std::optional<std::string> CQtFileDialogService::ChooseOpenFile(const std::string& title,
                                                                const std::string& startFolder,
                                                                const std::string& filter)
{
    const QString start = CQtText::FromPath(startFolder);
    const QString openIn = !start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath();
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), CQtText::FromDesignText(title),
                                     openIn, CQtText::FromDesignText(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return CQtText::ToPath(QDir::cleanPath(chosen));
}
