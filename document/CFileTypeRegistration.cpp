#include "document/CFileTypeRegistration.h"

#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "framework/CPathHelper.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "document/CDesignSettings.h"
#include "framework/CLauncher.h"
#include "framework/CServices.h"

namespace {

constexpr char mimePackageName[] = "wevra-pcb.xml";
constexpr char iconName[] = "wevra-pcb";

// A green board with two copper tracks between four pads.
constexpr char iconSvg[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
    "  <rect x=\"4\" y=\"8\" width=\"56\" height=\"48\" rx=\"4\" fill=\"#1d6b2f\" "
    "stroke=\"#0e3a18\" stroke-width=\"2\"/>\n"
    "  <path d=\"M14 20 H30 L38 28 H50\" fill=\"none\" stroke=\"#d9a441\" stroke-width=\"4\" "
    "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
    "  <path d=\"M14 44 H24 L32 36 H50\" fill=\"none\" stroke=\"#d9a441\" stroke-width=\"4\" "
    "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
    "  <circle cx=\"14\" cy=\"20\" r=\"5\" fill=\"#e8c36a\" stroke=\"#8a6418\" "
    "stroke-width=\"1.5\"/>\n"
    "  <circle cx=\"50\" cy=\"28\" r=\"5\" fill=\"#e8c36a\" stroke=\"#8a6418\" "
    "stroke-width=\"1.5\"/>\n"
    "  <circle cx=\"14\" cy=\"44\" r=\"5\" fill=\"#e8c36a\" stroke=\"#8a6418\" "
    "stroke-width=\"1.5\"/>\n"
    "  <circle cx=\"50\" cy=\"36\" r=\"5\" fill=\"#e8c36a\" stroke=\"#8a6418\" "
    "stroke-width=\"1.5\"/>\n"
    "  <circle cx=\"14\" cy=\"20\" r=\"1.8\" fill=\"#0e3a18\"/>\n"
    "  <circle cx=\"50\" cy=\"28\" r=\"1.8\" fill=\"#0e3a18\"/>\n"
    "  <circle cx=\"14\" cy=\"44\" r=\"1.8\" fill=\"#0e3a18\"/>\n"
    "  <circle cx=\"50\" cy=\"36\" r=\"1.8\" fill=\"#0e3a18\"/>\n"
    "</svg>\n";

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
           "MimeType=" + CFileTypeRegistration::mimeType + ";\n" + "Icon=" + iconName + "\n" +
           "Terminal=false\n"
           "Categories=Development;Electronics;\n";
}

// Only this program's files: the upper-case extension it writes, or, whatever the name, the
// file version it begins with (other programs' ".pcb" files are text).
std::string MimePackage()
{
    std::string magic;
    for (uint32_t version = CDesignSettings::oldestDesignFileVersion;
         version <= CDesignSettings::designFileVersion; ++version)
        magic += "      <match type=\"little32\" offset=\"0\" value=\"" + std::to_string(version) +
                 "\"/>\n";
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/"
                       "shared-mime-info\">\n"
                       "  <mime-type type=\"") +
           CFileTypeRegistration::mimeType +
           "\">\n"
           "    <comment>Wevra PCB Document</comment>\n"
           "    <icon name=\"" +
           iconName +
           "\"/>\n"
           "    <glob pattern=\"*.PCB\" case-sensitive=\"true\"/>\n"
           "    <magic priority=\"60\">\n" +
           magic +
           "    </magic>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool HoldsText(const std::filesystem::path& file, const std::string& text)
{
    try {
        return CInputFile::ReadText(file, text.size()) == text;
    } catch (const CArchiveException&) {
        return false;
    }
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
    const std::filesystem::path dataFolder = CPathHelper::GetUserDataFolder();
    std::error_code error;
    const std::filesystem::path program = std::filesystem::absolute(programPath, error);
    if (dataFolder.empty() || programPath.empty() || error)
        return false;
    const std::filesystem::path applications = dataFolder / "applications";
    const std::filesystem::path mime = dataFolder / "mime";
    // The icon first, so that the databases find it when they are rebuilt.
    const std::filesystem::path icon =
        dataFolder / "icons/hicolor/scalable/apps" / (std::string(iconName) + ".svg");
    const bool iconDone =
        Install(icon, iconSvg, "gtk-update-icon-cache", dataFolder / "icons/hicolor");
    bool mimeDone =
        Install(mime / "packages" / mimePackageName, MimePackage(), "update-mime-database", mime);
    bool entryDone = Install(applications / (std::string(fileType) + ".desktop"),
                             DesktopEntry(program), "update-desktop-database", applications);
    return iconDone && mimeDone && entryDone;
}
