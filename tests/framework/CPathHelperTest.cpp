#include "framework/CPathHelper.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

TEST(CPathHelperSplitTest, FolderTitleAndExtensionComeFromTheFileNameOnly)
{
    struct Case {
        std::string path;
        std::string directory;
        std::string title;
        std::string extension;
        std::string lastFolder;
    };
    const Case cases[] = {
        {"/d/Designs/Board.PCB", "/d/Designs", "Board", ".PCB", "Designs"},
        // A dot in a folder name neither makes the path a file nor starts an extension.
        {"/d/My.Folder/Out", "/d/My.Folder/Out", "Out", "", "Out"},
        {"/d/My.Folder/board.pcb", "/d/My.Folder", "board", ".pcb", "My.Folder"},
        {"/home/u/.wevra/backup", "/home/u/.wevra/backup", "backup", "", "backup"},
        {"/Lib/MixedCase/R.Lmc", "/Lib/MixedCase", "R", ".Lmc", "MixedCase"},
        {"/Board.PCB", "/", "Board", ".PCB", ""},
        {"a.b.c", "", "a.b", ".c", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CPathHelper::GetDirectory(c.path), c.directory) << c.path;
        EXPECT_EQ(CPathHelper::GetFileTitle(c.path), c.title) << c.path;
        EXPECT_EQ(CPathHelper::GetExtension(c.path), c.extension) << c.path;
        EXPECT_EQ(CPathHelper::GetLastFolderName(c.path), c.lastFolder) << c.path;
    }
}

TEST(CPathHelperSortTest, SortsTheRangeByteByByteAndClipsIndexes)
{
    Strings list = {"d", "B", "a", "C", "b"};
    CPathHelper::SortStrings(list, 1, 3);
    EXPECT_EQ(list, (Strings{"d", "B", "C", "a", "b"}));
    CPathHelper::SortStrings(list, -3, 99);
    EXPECT_EQ(list, (Strings{"B", "C", "a", "b", "d"}));
    Strings empty;
    CPathHelper::SortStrings(empty, 0, -1);
    EXPECT_TRUE(empty.empty());
}

// Works in a fresh temporary folder and puts the current directory back.
class CPathHelperDiskTest : public ::testing::Test {
protected:
    void SetUp() override { m_previousDir = fs::current_path(); }
    void TearDown() override { fs::current_path(m_previousDir); }

    std::string Path(const std::string& relative) const { return (m_root / relative).string(); }

    void Write(const std::string& relative, const std::string& content = "x") const
    {
        std::ofstream(m_root / relative, std::ios::binary) << content;
    }

    std::string Read(const std::string& relative) const
    {
        std::ifstream in(m_root / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_previousDir;
    const CTempFolder m_folder{"wevra-path"};
    const fs::path m_root = m_folder.Path();
};

TEST_F(CPathHelperDiskTest, CreateDirectoryChainMakesEveryLevelOfTheFolderAndKeepsItsCase)
{
    EXPECT_TRUE(CPathHelper::CreateDirectoryChain(Path("Out/Gerber")));
    EXPECT_TRUE(fs::is_directory(Path("Out/Gerber")));

    EXPECT_TRUE(CPathHelper::CreateDirectoryChain(Path("Jobs/Board.GBR")));
    EXPECT_TRUE(fs::is_directory(Path("Jobs")));
    EXPECT_FALSE(fs::exists(Path("Jobs/Board.GBR")));

    EXPECT_TRUE(CPathHelper::CreateDirectoryChain(Path("My.Folder/Backup")));
    EXPECT_TRUE(fs::is_directory(Path("My.Folder/Backup")));
    EXPECT_FALSE(fs::exists(Path("MY.FOLDER")));

    Write("file.txt");
    EXPECT_FALSE(CPathHelper::CreateDirectoryChain(Path("file.txt/Sub")));
    EXPECT_TRUE(CPathHelper::IsExistingFile(Path("file.txt")));
    EXPECT_FALSE(CPathHelper::IsExistingDirectory(Path("file.txt")));
    EXPECT_FALSE(CPathHelper::IsExistingFile(Path("Out")));
}

TEST_F(CPathHelperDiskTest, ListFilesMatchesCaseInsensitivelyKeepsShortNamesAndSorts)
{
    for (const char* name : {"B.PCB", "a.pcb", "Amp.PCB", "AMP2.Pcb", "readme.txt", "X.PCB.bak"})
        Write(name);
    fs::create_directories(Path("Folder.PCB"));
    fs::create_directories(Path("Dot.Dir"));
    Write("Dot.Dir/NOEXT");

    CPathHelper helper;
    Strings list = {"stale"};
    EXPECT_TRUE(helper.ListFiles(Path("*.PCB"), list));
    EXPECT_EQ(list, (Strings{"a", "Amp", "AMP2", "B"}));

    EXPECT_TRUE(helper.ListFiles(Path("amp*.pcb"), list));
    EXPECT_EQ(list, (Strings{"Amp", "AMP2"}));

    helper.SetListWithExtension(true);
    helper.SetCurrentDir(m_root.string());
    EXPECT_TRUE(helper.ListFiles("*.pcb", list));
    EXPECT_EQ(list, (Strings{"a.pcb", "Amp.PCB", "AMP2.Pcb", "B.PCB"}));
    EXPECT_TRUE(helper.ListFiles("*.*", list));
    EXPECT_EQ(list.size(), 6u);

    helper.SetListFullPath(true);
    helper.SetListWithExtension(false);
    EXPECT_TRUE(helper.ListFiles(Path("Dot.Dir/*"), list));
    EXPECT_EQ(list, (Strings{Path("Dot.Dir/NOEXT")}));
    EXPECT_TRUE(helper.ListFiles("B*", list));
    EXPECT_EQ(list, (Strings{Path("B")}));

    EXPECT_FALSE(helper.ListFiles(Path("*.NET"), list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(helper.ListFiles(Path("Missing/*.PCB"), list));
}

TEST_F(CPathHelperDiskTest, RenameAndDeleteReportWhatHappened)
{
    Write("AMP BAK 02.PCB", "two");
    Write("AMP BAK 03.PCB", "three");

    EXPECT_TRUE(CPathHelper::RenameFile(Path("AMP BAK 02.PCB"), Path("AMP BAK 01.PCB")));
    EXPECT_EQ(Read("AMP BAK 01.PCB"), "two");
    EXPECT_FALSE(CPathHelper::IsExistingFile(Path("AMP BAK 02.PCB")));

    // Onto an existing file, from a missing one, into a missing folder: nothing changes.
    EXPECT_FALSE(CPathHelper::RenameFile(Path("AMP BAK 03.PCB"), Path("AMP BAK 01.PCB")));
    EXPECT_EQ(Read("AMP BAK 01.PCB"), "two");
    EXPECT_EQ(Read("AMP BAK 03.PCB"), "three");
    EXPECT_FALSE(CPathHelper::RenameFile(Path("AMP BAK 09.PCB"), Path("AMP BAK 08.PCB")));
    EXPECT_FALSE(CPathHelper::RenameFile(Path("AMP BAK 03.PCB"), Path("Missing/AMP.PCB")));
    EXPECT_TRUE(CPathHelper::IsExistingFile(Path("AMP BAK 03.PCB")));

    EXPECT_TRUE(CPathHelper::DeleteFile(Path("AMP BAK 01.PCB")));
    EXPECT_FALSE(fs::exists(Path("AMP BAK 01.PCB")));
    EXPECT_TRUE(CPathHelper::DeleteFile(Path("AMP BAK 01.PCB")));
}

} // namespace

TEST_F(CPathHelperDiskTest, StoredWindowsPathsLandInTheDesignFolderFoundWithoutRegardToCase)
{
    fs::create_directories(m_root / "Gerber");
    fs::create_directories(m_root / "lib" / "Parts");
    Write("lib/Parts/Std.shp");

    EXPECT_EQ(CPathHelper::ResolveStoredPath("C:\\GERBER", m_root, false), m_root / "Gerber");
    EXPECT_EQ(CPathHelper::ResolveStoredPath("A:\\", m_root, false), m_root);
    EXPECT_EQ(CPathHelper::ResolveStoredPath("A:", m_root, false), m_root);
    EXPECT_EQ(CPathHelper::ResolveStoredPath("\\LIB\\PARTS\\STD.SHP", m_root, false),
              m_root / "lib" / "Parts" / "Std.shp");
    // A stored path never climbs out of the design's folder.
    EXPECT_EQ(CPathHelper::ResolveStoredPath("C:\\..\\..\\etc", m_root, false), m_root / "etc");
    // Typed here: used as it is.
    EXPECT_EQ(CPathHelper::ResolveStoredPath("/tmp/out", m_root, false), fs::path("/tmp/out"));
    EXPECT_EQ(CPathHelper::ResolveStoredPath("out", m_root, false), fs::path("out"));

    // Output folders are created as stored when missing; nothing is created otherwise.
    EXPECT_EQ(CPathHelper::ResolveStoredPath("C:\\EXCELLON", m_root, false), m_root / "EXCELLON");
    EXPECT_FALSE(fs::exists(m_root / "EXCELLON"));
    EXPECT_EQ(CPathHelper::ResolveStoredPath("c:\\wevra\\lmc\\", m_root, true),
              m_root / "wevra" / "lmc");
    EXPECT_TRUE(fs::is_directory(m_root / "wevra" / "lmc"));
}
