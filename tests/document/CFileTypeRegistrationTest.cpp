#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "document/CFileTypeRegistration.h"
#include "document/CRegTool.h"
#include "framework/CPathHelper.h"
#include "tests/document/SettingsTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class FileTypeTest : public ::testing::Test {
protected:
    CSettingsSandbox sandbox{"wevra_file_type_test"};
    CFakeServices services;
    fs::path applications = sandbox.root / "data" / "applications";
    fs::path entry = applications / "WevraPCB.Document.desktop";
    fs::path mimePackage = sandbox.root / "data" / "mime" / "packages" / "wevra-pcb.xml";
};

} // namespace

TEST_F(FileTypeTest, RegisteredProgramFolderIsFoundAgain)
{
    const fs::path program = "/opt/my \"apps\"/100%/wevra-pcb";
    ASSERT_TRUE(CFileTypeRegistration::Register(program));

    EXPECT_NE(ReadAll(mimePackage).find("<glob pattern=\"*.PCB\" case-sensitive=\"true\"/>"),
              std::string::npos);
    EXPECT_NE(ReadAll(entry).find("MimeType=application/x-wevra-pcb;\n"), std::string::npos);
    EXPECT_EQ(CRegTool::GetOpenCommandDir("WevraPCB.Document"), "/opt/my \"apps\"/100%/");
}

TEST_F(FileTypeTest, FilesAreWrittenOnlyWhenTheyDifferAndDatabasesUpdatedWhenPresent)
{
    // Stand-ins for the desktop's database tools on the search path.
    const fs::path tools = sandbox.root / "tools";
    WriteAll(tools / "update-mime-database", "");
    WriteAll(tools / "update-desktop-database", "");
    CScopedEnv path("PATH", tools.string());

    ASSERT_TRUE(CFileTypeRegistration::Register("/usr/bin/wevra-pcb"));
    ASSERT_EQ(services.launcher.started.size(), 2u);
    EXPECT_EQ(services.launcher.started[0].program, tools / "update-mime-database");
    EXPECT_EQ(services.launcher.started[0].arguments,
              std::vector<std::string>{(sandbox.root / "data" / "mime").string()});
    EXPECT_EQ(services.launcher.started[1].program, tools / "update-desktop-database");

    ASSERT_TRUE(CFileTypeRegistration::Register("/usr/bin/wevra-pcb"));
    EXPECT_EQ(services.launcher.started.size(), 2u);

    // A moved program rewrites the entry only.
    ASSERT_TRUE(CFileTypeRegistration::Register("/usr/local/bin/wevra-pcb"));
    ASSERT_EQ(services.launcher.started.size(), 3u);
    EXPECT_EQ(services.launcher.started[2].program, tools / "update-desktop-database");
    EXPECT_EQ(CRegTool::GetOpenCommandDir("WevraPCB.Document"), "/usr/local/bin/");

    // Without the tools nothing is started and registering still succeeds.
    CScopedEnv noPath("PATH", "");
    EXPECT_TRUE(CFileTypeRegistration::Register("/srv/wevra-pcb"));
    EXPECT_EQ(services.launcher.started.size(), 3u);
}

TEST_F(FileTypeTest, OpenCommandIsUnquotedAndPartedFromItsArguments)
{
    struct Row {
        const char* exec;
        const char* folder;
    };
    const Row rows[] = {
        {"\"/opt/Wevra PCB/bin/wevra-pcb\" %f", "/opt/Wevra PCB/bin/"},
        {"/opt/wevra/wevra-pcb --open %f", "/opt/wevra/"},
        {"\"/opt/a\\\\\\\\b/wevra-pcb\"", "/opt/a\\b/"},
        {"", ""},
    };
    for (const Row& row : rows) {
        WriteAll(entry, std::string("[Desktop Action Print]\nExec=/wrong/x\n[Desktop Entry]\n"
                                    "Exec=") +
                            row.exec + "\n");
        EXPECT_EQ(CRegTool::GetOpenCommand("WevraPCB.Document"), row.exec);
        EXPECT_EQ(CRegTool::GetOpenCommandDir("WevraPCB.Document"), row.folder) << row.exec;
    }
    // The user's entry hides the system's; without either there is no folder.
    WriteAll(sandbox.root / "system" / "applications" / "Other.Document.desktop",
             "[Desktop Entry]\nExec=/usr/lib/other/run %f\n");
    EXPECT_EQ(CRegTool::GetOpenCommandDir("Other.Document"), "/usr/lib/other/");
    EXPECT_EQ(CRegTool::GetOpenCommandDir("Missing.Document"), "");
}

// The ".PCB" type claims only this program's files: the upper-case extension, matched with
// case, or the leading version word; the desktop's own tool takes the package as written.
TEST_F(FileTypeTest, TheFileTypeClaimsOnlyThisProgramsFiles)
{
    ASSERT_TRUE(CFileTypeRegistration::Register("/usr/bin/wevra-pcb"));
    const std::string package = ReadAll(mimePackage);
    EXPECT_NE(package.find("<glob pattern=\"*.PCB\" case-sensitive=\"true\"/>"), std::string::npos);
    EXPECT_EQ(package.find("*.pcb"), std::string::npos);
    EXPECT_NE(ReadAll(entry).find("\nIcon=wevra-pcb\n"), std::string::npos);
    const fs::path icon =
        sandbox.root / "data" / "icons" / "hicolor" / "scalable" / "apps" / "wevra-pcb.svg";
    EXPECT_NE(ReadAll(icon).find("<svg"), std::string::npos);

    const fs::path tool = CPathHelper::FindOnSearchPath("update-mime-database");
    if (tool.empty())
        GTEST_SKIP() << "update-mime-database is not installed";
    const fs::path mime = sandbox.root / "data" / "mime";
    ASSERT_EQ(std::system(("\"" + tool.string() + "\" \"" + mime.string() + "\"").c_str()), 0);
    EXPECT_NE(ReadAll(mime / "globs2").find("application/x-wevra-pcb:*.PCB:cs"), std::string::npos);
    const std::string magic = ReadAll(mime / "magic");
    EXPECT_NE(magic.find("[60:application/x-wevra-pcb]"), std::string::npos);
    for (const char first : {'\x60', '\x61', '\x62', '\x63'})
        EXPECT_NE(magic.find(std::string{first, '\x1F', '\0', '\0'}), std::string::npos)
            << int(first);
}
