#include "framework/qt/CQtFileDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QString>
#include <QStringList>

#include "framework/qt/CQtFont.h"
#include "framework/qt/CQtText.h"

namespace {

QString StartFolder(const std::string& folder)
{
    const QString start = CQtText::FromPath(folder);
    return !start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath();
}

} // namespace

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
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), CQtText::FromDesignText(title),
                                     StartFolder(startFolder), CQtText::FromDesignText(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return CQtText::ToPath(QDir::cleanPath(chosen));
}

std::vector<std::string> CQtFileDialogService::ChooseOpenFiles(const std::string& title,
                                                               const std::string& startFolder,
                                                               const std::string& filter)
{
    const QStringList chosen =
        QFileDialog::getOpenFileNames(QApplication::activeWindow(), CQtText::FromDesignText(title),
                                      StartFolder(startFolder), CQtText::FromDesignText(filter));
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(CQtText::ToPath(QDir::cleanPath(path)));
    return paths;
}

std::optional<std::string> CQtFileDialogService::ChooseSaveFile(const std::string& title,
                                                                const std::string& startFolder,
                                                                const std::string& filter,
                                                                const std::string& defaultExtension)
{
    QFileDialog dialog(QApplication::activeWindow(), CQtText::FromDesignText(title),
                       StartFolder(startFolder), CQtText::FromDesignText(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A file named in an existing folder: start there with its name proposed.
    const QFileInfo proposed(CQtText::FromPath(startFolder));
    if (!startFolder.empty() && !proposed.isDir() && proposed.dir().exists()) {
        dialog.setDirectory(proposed.dir());
        dialog.selectFile(proposed.fileName());
    }
    QString suffix = QString::fromStdString(defaultExtension);
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return CQtText::ToPath(QDir::cleanPath(dialog.selectedFiles().front()));
}

std::optional<CFontDesc> CQtFileDialogService::ChooseFont(const std::string& title,
                                                          const CFontDesc& initial)
{
    bool chosen = false;
    const QFont font =
        QFontDialog::getFont(&chosen, CQtFont::ToQFont(initial), QApplication::activeWindow(),
                             CQtText::FromDesignText(title));
    if (!chosen)
        return std::nullopt;
    return CQtFont::FromQFont(font);
}
