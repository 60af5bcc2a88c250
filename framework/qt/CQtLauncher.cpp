#include "framework/qt/CQtLauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace {

// Paths and arguments are file-system bytes; Qt decodes them as the system does.
QString FromLocal(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace

bool CQtLauncher::StartProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& arguments)
{
    if (program.empty())
        return false;
    QStringList args;
    for (const std::string& argument : arguments)
        args << FromLocal(argument);
    return QProcess::startDetached(FromLocal(program.string()), args);
}

bool CQtLauncher::OpenTextFile(const std::filesystem::path& file)
{
    if (file.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(FromLocal(file.string())));
}

bool CQtLauncher::OpenInBrowser(const std::filesystem::path& page)
{
    if (page.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(FromLocal(page.string())));
}
