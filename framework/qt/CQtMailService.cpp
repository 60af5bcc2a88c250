#include "framework/qt/CQtMailService.h"

#include <QProcess>
#include <QStringList>

#include "framework/qt/CQtText.h"

bool CQtMailService::SendFile(const std::filesystem::path& file)
{
    if (file.empty())
        return false;
    const QString path = CQtText::FromPath(file.string());
    return QProcess::startDetached(QStringLiteral("xdg-email"), {QStringLiteral("--attach"), path});
}
