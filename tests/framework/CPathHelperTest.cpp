#include "framework/CPathHelper.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

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
    CPathHelper::QuickSortStrings(list, 1, 3);
    EXPECT_EQ(list, (Strings{"d", "B", "C", "a", "b"}));
    CPathHelper::QuickSortStrings(list, -3, 99);
    EXPECT_EQ(list, (Strings{"B", "C", "a", "b", "d"}));
    Strings empty;
    CPathHelper::QuickSortStrings(empty, 0, -1);
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

fs::perms Permissions(const std::string& path)
{
    return fs::status(path).permissions() & fs::perms::mask;
}

size_t EntryCount(const fs::path& folder)
{
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST_F(CPathHelperDiskTest, AtomicWriteReplacesTheFileKeepingItsPermissions)
{
    std::string reason;
    ASSERT_TRUE(CPathHelper::WriteFileAtomically(Path("NEW.PCB"), "first", &reason)) << reason;
    EXPECT_EQ(Read("NEW.PCB"), "first");

    fs::permissions(Path("NEW.PCB"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(CPathHelper::WriteFileAtomically(Path("NEW.PCB"), std::string("a\0b", 3)));
    EXPECT_EQ(Read("NEW.PCB"), std::string("a\0b", 3));
    EXPECT_EQ(Permissions(Path("NEW.PCB")),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntryCount(m_root), 1u) << "no temporary is left";

    // A temporary left by a crash, even one planted as a link, neither takes the bytes nor
    // stays.
    Write("victim", "keep");
    fs::create_symlink(Path("victim"), Path("NEW.PCB.tmp~"));
    ASSERT_TRUE(CPathHelper::WriteFileAtomically(Path("NEW.PCB"), "third"));
    EXPECT_EQ(Read("NEW.PCB"), "third");
    EXPECT_EQ(Read("victim"), "keep");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Path("NEW.PCB.tmp~"))));
}

TEST_F(CPathHelperDiskTest, AtomicWriteRefusesAReadOnlyFile)
{
    Write("RO.PCB", "old");
    fs::permissions(Path("RO.PCB"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(CPathHelper::IsReadOnlyFile(Path("RO.PCB")));
    EXPECT_FALSE(CPathHelper::IsReadOnlyFile(Path("missing.PCB")));
    EXPECT_FALSE(CPathHelper::IsReadOnlyFile(m_root));

    std::string reason;
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("RO.PCB"), "new", &reason));
    EXPECT_NE(reason.find("read-only"), std::string::npos) << reason;
    EXPECT_EQ(Read("RO.PCB"), "old");
    EXPECT_EQ(Permissions(Path("RO.PCB")),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(EntryCount(m_root), 1u);
}

TEST_F(CPathHelperDiskTest, AtomicWriteThroughALinkReplacesItsTarget)
{
    fs::create_directories(m_root / "real");
    Write("real/BOARD.PCB", "old");
    fs::permissions(Path("real/BOARD.PCB"), fs::perms::owner_read | fs::perms::owner_write);
    // A relative link to a relative link, as a user's folder of shortcuts may hold.
    fs::create_symlink("real/BOARD.PCB", Path("hop.PCB"));
    fs::create_directories(m_root / "links");
    fs::create_symlink("../hop.PCB", Path("links/BOARD.PCB"));
    const fs::path target = CPathHelper::FollowLinks(Path("links/BOARD.PCB"));
    EXPECT_FALSE(fs::is_symlink(target)) << target;
    EXPECT_TRUE(fs::equivalent(target, Path("real/BOARD.PCB"))) << target;

    ASSERT_TRUE(CPathHelper::WriteFileAtomically(Path("links/BOARD.PCB"), "new"));
    EXPECT_TRUE(fs::is_symlink(Path("links/BOARD.PCB")));
    EXPECT_TRUE(fs::is_symlink(Path("hop.PCB")));
    EXPECT_EQ(Read("real/BOARD.PCB"), "new");
    EXPECT_EQ(Permissions(Path("real/BOARD.PCB")), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(EntryCount(m_root / "real"), 1u);

    // A link to a read-only file protects the file as well.
    fs::permissions(Path("real/BOARD.PCB"), fs::perms::owner_read);
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("links/BOARD.PCB"), "newer"));
    EXPECT_EQ(Read("real/BOARD.PCB"), "new");
}

TEST_F(CPathHelperDiskTest, AFailedWriteNamesNoTemporaryAndLeavesNone)
{
    std::string reason;
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("missing/X.PCB"), "x", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find(".tmp~"), std::string::npos) << reason;

    fs::create_directories(m_root / "folder.PCB");
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("folder.PCB"), "x", &reason));
    EXPECT_TRUE(fs::is_directory(Path("folder.PCB")));
    EXPECT_EQ(EntryCount(m_root), 1u);

    // A folder where the temporary would go is named, not the design.
    fs::create_directories(m_root / "X.PCB.tmp~");
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("X.PCB"), "x", &reason));
    EXPECT_NE(reason.find("\"X.PCB.tmp~\" is in the way"), std::string::npos) << reason;
    EXPECT_FALSE(fs::exists(Path("X.PCB")));
}

// Saving onto a pipe or a device would put a regular file in its place.
TEST_F(CPathHelperDiskTest, AtomicWriteLeavesWhatIsNoRegularFileAlone)
{
    ASSERT_EQ(::mkfifo(Path("PIPE.PCB").c_str(), 0600), 0);
    std::string reason;
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("PIPE.PCB"), "x", &reason));
    EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    EXPECT_TRUE(fs::is_fifo(Path("PIPE.PCB")));
    EXPECT_EQ(EntryCount(m_root), 1u);
    // A link to a device: the device is left as it is.
    fs::create_symlink("/dev/null", Path("NULL.PCB"));
    EXPECT_FALSE(CPathHelper::WriteFileAtomically(Path("NULL.PCB"), "x", &reason));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
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
