#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "document/CConfigFiles.h"
#include "document/CDesign.h"
#include "document/CDesignBackup.h"
#include "document/CDocumentHistory.h"
#include "document/CViewState.h"
#include "framework/CArchive.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CDesignBackupTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        doc->SetDesignPath((folder / "amp").string());
        files.m_backupDirectory = (folder / "bak").string();
        files.m_backupIntervalTime = 1;
        files.m_backupMaxFiles = 3;
    }

    // A change of the design, and the stream a backup of it must hold.
    std::string Change(int32_t width)
    {
        doc->Design().SetBoardSize(width, 2000);
        doc->SetModified();
        CArchive ar;
        doc->Serialize(ar);
        return std::string(ar.GetBuffer().begin(), ar.GetBuffer().end());
    }
    std::string Series() const
    {
        return CDesignBackup::SeriesTitle("amp", folder.Path().string(), (folder / "bak").string());
    }
    fs::path Bak(int32_t number) const
    {
        return folder / "bak" / CDesignBackup::BackupFileName(Series(), number);
    }
    // Ticks until the interval has passed once more.
    bool TwoMinutes()
    {
        doc->History().GetBackup().OnTimer(files);
        return doc->History().GetBackup().OnTimer(files);
    }

    CTempFolder folder{"wevra-backup"};
    CConfigFiles files;
};

TEST_F(CDesignBackupTest, NamesCarryAtLeastTwoDigits)
{
    EXPECT_EQ(CDesignBackup::BackupFileName("AMP", 1), "AMP BAK 01.PCB");
    EXPECT_EQ(CDesignBackup::BackupFileName("AMP", 0), "AMP BAK 00.PCB");
    EXPECT_EQ(CDesignBackup::BackupFileName("AMP", 10), "AMP BAK 10.PCB");
    EXPECT_EQ(CDesignBackup::BackupFileName("AMP", 123), "AMP BAK 123.PCB");
}

TEST_F(CDesignBackupTest, FiveCyclesAtMaximumThreeKeepTheNewestThree)
{
    std::vector<std::string> streams;
    for (int32_t cycle = 0; cycle < 5; ++cycle) {
        streams.push_back(Change(3000 + cycle));
        EXPECT_TRUE(TwoMinutes()) << cycle;
        // A backup is not a save.
        EXPECT_TRUE(doc->IsModified());
        EXPECT_FALSE(doc->IsDirty());
        EXPECT_EQ(doc->History().GetBackup().GetTickCount(), 0);
    }
    EXPECT_EQ(FileText(Bak(1)), streams[2]);
    EXPECT_EQ(FileText(Bak(2)), streams[3]);
    EXPECT_EQ(FileText(Bak(3)), streams[4]);
    EXPECT_FALSE(fs::exists(Bak(4)));
    EXPECT_FALSE(fs::exists(folder / "bak" / (Series() + " BAK.tmp")));
    EXPECT_EQ(doc->View().GetInfoText(), "Backup: " + Bak(3).string());
    EXPECT_TRUE(services.messages.Shown().empty());
}

TEST_F(CDesignBackupTest, FailingWriteLeavesOlderBackupsAndReportsOncePerStreak)
{
    std::vector<std::string> streams;
    for (int32_t cycle = 0; cycle < 3; ++cycle) {
        streams.push_back(Change(3000 + cycle));
        ASSERT_TRUE(TwoMinutes());
    }
    // A folder where the temporary file must go makes every write fail.
    const fs::path blocker = folder / "bak" / (Series() + " BAK.tmp");
    fs::create_directory(blocker);
    fs::create_directory(blocker / "x");
    Change(4000);
    EXPECT_FALSE(TwoMinutes());
    EXPECT_FALSE(doc->History().GetBackup().OnTimer(files));
    EXPECT_FALSE(doc->History().GetBackup().OnTimer(files));
    for (int32_t number = 1; number <= 3; ++number)
        EXPECT_EQ(FileText(Bak(number)), streams[size_t(number - 1)]) << number;
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    // The message says why, in the system's words.
    const std::string& report = services.messages.Shown()[0].text;
    EXPECT_NE(report.find(Bak(3).string()), std::string::npos) << report;
    EXPECT_NE(report.find(std::generic_category().message(EISDIR)), std::string::npos) << report;
    EXPECT_TRUE(doc->IsDirty());

    // Once a backup succeeded, the next failure is worth a message again.
    fs::remove_all(blocker);
    const std::string latest = Change(5000);
    EXPECT_TRUE(doc->History().GetBackup().OnTimer(files));
    EXPECT_EQ(FileText(Bak(3)), latest);
    fs::create_directories(blocker / "x");
    Change(6000);
    EXPECT_FALSE(TwoMinutes());
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    // A backup the user waits for (before a netlist import) stops the action: it says why every
    // time, and the status line names the file each time.
    EXPECT_TRUE(doc->History().GetBackup().Backup(files).empty());
    EXPECT_TRUE(doc->History().GetBackup().Backup(files).empty());
    EXPECT_EQ(services.messages.Shown().size(), 4u);
    EXPECT_EQ(doc->View().GetInfoText(), "Backup failed: " + Bak(3).string());
}

TEST_F(CDesignBackupTest, OnlyChangedDesignsAreBackedUpAfterTheInterval)
{
    files.m_backupIntervalTime = 5;
    for (int32_t minute = 0; minute < 20; ++minute)
        EXPECT_FALSE(doc->History().GetBackup().OnTimer(files));
    EXPECT_FALSE(fs::exists(folder / "bak"));

    Change(3000);
    for (int32_t minute = 1; minute <= 5; ++minute)
        EXPECT_FALSE(doc->History().GetBackup().OnTimer(files)) << minute;
    EXPECT_TRUE(doc->History().GetBackup().OnTimer(files));
    EXPECT_TRUE(fs::exists(Bak(1)));

    Change(3001);
    files.m_backupsAutomatic = false;
    for (int32_t minute = 0; minute < 10; ++minute)
        EXPECT_FALSE(doc->History().GetBackup().OnTimer(files));
    files.m_backupsAutomatic = true;
    files.m_backupMaxFiles = 0;
    EXPECT_FALSE(doc->History().GetBackup().OnTimer(files));
    // The backup before a netlist import runs all the same, as number 00.
    EXPECT_EQ(doc->History().GetBackup().Backup(files), Bak(0).string());
}

TEST_F(CDesignBackupTest, BesideTheDesignItsOwnFileAndNamesakesAreCounted)
{
    files.m_backupDirectory = "  ";
    std::ofstream(folder / "AMP.PCB") << "design";
    std::ofstream(folder / "AMP2.PCB") << "another design";
    doc->SetDesignPath((folder / "AMP").string());
    Change(3000);
    EXPECT_EQ(doc->History().GetBackup().Backup(files), (folder / "AMP BAK 03.PCB").string());
}

TEST_F(CDesignBackupTest, EachDesignFolderHasASeriesOfItsOwnInAPrivateFolder)
{
    // Two designs of one title from different folders, backed up into one shared folder.
    fs::create_directories(folder / "a");
    fs::create_directories(folder / "b");
    files.m_backupDirectory = (folder / "shared" / "bak").string();
    const std::string shared = files.m_backupDirectory;
    EXPECT_NE(CDesignBackup::SeriesTitle("amp", (folder / "a").string(), shared),
              CDesignBackup::SeriesTitle("amp", (folder / "b").string(), shared));
    EXPECT_EQ(CDesignBackup::SeriesTitle("amp", (folder / "a").string(), shared),
              CDesignBackup::SeriesTitle("AMP", (folder / "a" / ".").string(), shared));
    EXPECT_EQ(CDesignBackup::SeriesTitle("amp", (folder / "a").string(), (folder / "a").string()),
              "AMP");

    files.m_backupMaxFiles = 1;
    doc->SetDesignPath((folder / "a" / "amp").string());
    const std::string first = Change(3000);
    const std::string fromA = doc->History().GetBackup().Backup(files);
    doc->SetDesignPath((folder / "b" / "amp").string());
    Change(3001);
    const std::string fromB = doc->History().GetBackup().Backup(files);
    ASSERT_FALSE(fromA.empty());
    ASSERT_FALSE(fromB.empty());
    EXPECT_NE(fromA, fromB);
    EXPECT_EQ(FileText(fromA), first);
    EXPECT_EQ(fs::status(folder / "shared" / "bak").permissions() & fs::perms::all,
              fs::perms::owner_all);
}

TEST_F(CDesignBackupTest, LoweredMaximumReplacesTheFileAtTheMaximum)
{
    fs::create_directories(folder / "bak");
    for (int32_t number = 1; number <= 5; ++number)
        std::ofstream(Bak(number)) << "old " << number;
    const std::string latest = Change(3000);
    EXPECT_TRUE(TwoMinutes());
    EXPECT_EQ(FileText(Bak(1)), "old 2");
    EXPECT_EQ(FileText(Bak(2)), "old 3");
    EXPECT_EQ(FileText(Bak(3)), latest);
    EXPECT_EQ(FileText(Bak(4)), "old 5");
}

TEST_F(CDesignBackupTest, DesignTimeGrowsOnlyInMinutesWithActivity)
{
    files.m_backupsAutomatic = false;
    CDesignBackup& clock = doc->History().GetBackup();
    clock.OnTimer(files);
    EXPECT_EQ(doc->Design().GetDesignTime(), 0u);
    clock.NoteActivity();
    clock.NoteActivity();
    clock.OnTimer(files);
    clock.OnTimer(files);
    EXPECT_EQ(doc->Design().GetDesignTime(), 60000u);
    clock.NoteActivity();
    clock.OnTimer(files);
    EXPECT_EQ(doc->Design().GetDesignTime(), 120000u);
}

} // namespace
