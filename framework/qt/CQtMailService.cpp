#include "framework/qt/CQtMailService.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

bool CQtMailService::SendFile(const std::filesystem::path& file)
{
    if (file.empty())
        return false;
    const QString path = QFile::decodeName(QByteArray::fromStdString(file.string()));
    return QProcess::startDetached(QStringLiteral("xdg-email"), {QStringLiteral("--attach"), path});
}
