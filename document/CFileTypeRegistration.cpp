#include "document/CFileTypeRegistration.h"

#include "framework/CPathHelper.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "framework/CLauncher.h"
#include "framework/CServices.h"

namespace {

constexpr char mimePackageName[] = "wevra-pcb.xml";

std::filesystem::path UserDataFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && std::filesystem::path(dataHome).is_absolute())
        return dataHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return std::filesystem::path(home) / ".local/share";
    return {};
}

// The program as the first word of an "Exec" value: double-quoted with the characters that
// are special there escaped, then escaped once more as every desktop-entry value is.
std::string ExecProgram(const std::string& program)
{
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
            break;
        }
    }
    return value;
}

std::string DesktopEntry(const std::filesystem::path& programPath)
{
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Wevra PCB\n"
                       "Comment=Wevra PCB Document\n"
                       "Exec=") +
           ExecProgram(programPath.string()) + " %f\n" +
           "MimeType=" + CFileTypeRegistration::mimeType + ";\n" +
           "Terminal=false\n"
           "Categories=Development;Electronics;\n";
}

std::string MimePackage()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/"
                       "shared-mime-info\">\n"
                       "  <mime-type type=\"") +
           CFileTypeRegistration::mimeType +
           "\">\n"
           "    <comment>Wevra PCB Document</comment>\n"
           "    <glob pattern=\"*.pcb\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool HoldsText(const std::filesystem::path& file, const std::string& text)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::string held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return held == text;
}

// Brings the file in place; when it changed, asks the tool (when installed) to rebuild the
// desktop's database of the folder. False when the file could not be written.
bool Install(const std::filesystem::path& file, const std::string& text, const char* tool,
             const std::filesystem::path& databaseFolder)
{
    if (HoldsText(file, text))
        return true;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (!CPathHelper::WriteFileAtomically(file, text))
        return false;
    std::filesystem::path program = CPathHelper::FindOnSearchPath(tool);
    if (!program.empty())
        CServices::Launcher().StartProgram(program, {databaseFolder.string()});
    return true;
}

} // namespace

bool CFileTypeRegistration::Register(const std::filesystem::path& programPath)
{
    const std::filesystem::path dataFolder = UserDataFolder();
    std::error_code error;
    const std::filesystem::path program = std::filesystem::absolute(programPath, error);
    if (dataFolder.empty() || programPath.empty() || error)
        return false;
    const std::filesystem::path applications = dataFolder / "applications";
    const std::filesystem::path mime = dataFolder / "mime";
    bool mimeDone =
        Install(mime / "packages" / mimePackageName, MimePackage(), "update-mime-database", mime);
    bool entryDone = Install(applications / (std::string(fileType) + ".desktop"),
                             DesktopEntry(program), "update-desktop-database", applications);
    return mimeDone && entryDone;
}
