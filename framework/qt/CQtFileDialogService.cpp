#include "framework/qt/CQtFileDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include "framework/CWindows1252.h"

namespace {

// Paths are file-system bytes; Qt decodes them as the system does.
QString FromLocal(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocal(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

std::optional<std::string> CQtFileDialogService::ChooseFolder(const std::string& title,
                                                              const std::string& rootFolder,
                                                              const std::string& startFolder)
{
    const QString root = FromLocal(rootFolder);
    if (!root.isEmpty() && !QFileInfo(root).isDir())
        return std::nullopt;
    const QString start = FromLocal(startFolder);
    QString openIn = QDir::homePath();
    if (!start.isEmpty() && QFileInfo(start).isDir())
        openIn = start;
    else if (!root.isEmpty())
        openIn = root;

    QFileDialog dialog(QApplication::activeWindow(),
                       QString::fromStdString(CWindows1252::ToUtf8(title)), openIn);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return ToLocal(QDir::cleanPath(chosen.front()));
}

std::optional<std::string> CQtFileDialogService::ChooseOpenFile(const std::string& title,
                                                                const std::string& startFolder,
                                                                const std::string& filter)
{
    const QString start = FromLocal(startFolder);
    const QString openIn = !start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath();
    const QString chosen = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString::fromStdString(CWindows1252::ToUtf8(title)), openIn,
        QString::fromStdString(CWindows1252::ToUtf8(filter)));
    if (chosen.isEmpty())
        return std::nullopt;
    return ToLocal(QDir::cleanPath(chosen));
}
