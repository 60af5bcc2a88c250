#include "document/CRegTool.h"

#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "framework/CPathHelper.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

// A desktop entry is a few short lines.
constexpr uintmax_t desktopFileMaxSize = 1024 * 1024;

std::vector<std::filesystem::path> DataFolders()
{
    std::vector<std::filesystem::path> folders;
    if (std::filesystem::path user = CPathHelper::GetUserDataFolder(); !user.empty())
        folders.push_back(std::move(user));

    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string list =
        dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        std::filesystem::path folder(list.substr(start, end - start));
        if (folder.is_absolute())
            folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The "Exec" value of the entry's main group; empty when it has none.
std::string ReadExec(const std::filesystem::path& file)
{
    std::istringstream in;
    try {
        in.str(CInputFile::ReadText(file, desktopFileMaxSize));
    } catch (const CArchiveException&) {
        return {};
    }
    std::string line;
    bool inMainGroup = false;
    while (std::getline(in, line)) {
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        if (trimmed[0] == '[') {
            inMainGroup = trimmed == "[Desktop Entry]";
            continue;
        }
        size_t equals = trimmed.find('=');
        if (inMainGroup && equals != std::string::npos && Trim(trimmed.substr(0, equals)) == "Exec")
            return Trim(trimmed.substr(equals + 1));
    }
    return {};
}

// Undoes the escapes of a desktop-entry value: \s, \n, \t, \r and \\.
std::string UnescapeValue(const std::string& value)
{
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        char next = value[++i];
        switch (next) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        default:
            text += next;
            break;
        }
    }
    return text;
}

// The program of an open command: its first word, unquoted (inside double quotes a backslash
// takes the next character as it is) and with "%%" read as one percent sign.
std::string ProgramOf(const std::string& command)
{
    std::string program;
    size_t i = command.find_first_not_of(' ');
    bool quoted = false;
    for (; i < command.size(); ++i) {
        char c = command[i];
        if (c == '%' && i + 1 < command.size() && command[i + 1] == '%') {
            program += command[++i];
        } else if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < command.size())
                program += command[++i];
            else
                program += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ' ') {
            break;
        } else {
            program += c;
        }
    }
    return program;
}

// A program named without a folder is the one the search path finds.
std::filesystem::path FindProgram(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program;
    return CPathHelper::FindOnSearchPath(program);
}

} // namespace

std::string CRegTool::GetOpenCommand(const std::string& fileType)
{
    if (fileType.empty() || fileType.find('/') != std::string::npos)
        return {};
    for (const std::filesystem::path& folder : DataFolders()) {
        std::filesystem::path entry = folder / "applications" / (fileType + ".desktop");
        std::error_code error;
        if (std::filesystem::is_regular_file(entry, error))
            return ReadExec(entry);
    }
    return {};
}

std::string CRegTool::GetOpenCommandDir(const std::string& fileType)
{
    // The command's program is unquoted and parted from its arguments: a folder taken from the
    // raw text would start with a quote or end inside an argument.
    std::string program = ProgramOf(UnescapeValue(GetOpenCommand(fileType)));
    if (program.empty())
        return {};
    std::filesystem::path found = FindProgram(program);
    if (found.empty() || !found.has_parent_path())
        return {};
    std::string folder = found.parent_path().string();
    if (folder.back() != '/')
        folder += '/';
    return folder;
}
