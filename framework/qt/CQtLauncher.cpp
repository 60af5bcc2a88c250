#include "framework/qt/CQtLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "framework/qt/CQtText.h"

bool CQtLauncher::StartProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& arguments)
{
    if (program.empty())
        return false;
    QStringList args;
    for (const std::string& argument : arguments)
        args << CQtText::FromPath(argument);
    return QProcess::startDetached(CQtText::FromPath(program.string()), args);
}

bool CQtLauncher::OpenTextFile(const std::filesystem::path& file)
{
    if (file.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(CQtText::FromPath(file.string())));
}

bool CQtLauncher::OpenInBrowser(const std::filesystem::path& page)
{
    if (page.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(CQtText::FromPath(page.string())));
}
