#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CTempFolder.h"
#include "tests/support/LimitedChild.h"

namespace {

namespace fs = std::filesystem;

std::string Refusal(const fs::path& path, uintmax_t maxSize)
{
    try {
        CInputFile::ReadBytes(path, maxSize);
    } catch (const CArchiveException& error) {
        EXPECT_EQ(error.GetCause(), CArchiveException::fileError);
        return error.what();
    }
    return "read";
}

TEST(CInputFile, ReadsARegularFileUpToItsBound)
{
    const CTempFolder folder("wevra-input");
    const fs::path file = folder / "five";
    archive_bytes::WriteFile(file, {1, 2, 3, 4, 5});
    EXPECT_EQ(CInputFile::ReadBytes(file, 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(CInputFile::ReadText(file, 100), std::string("\1\2\3\4\5"));
    archive_bytes::WriteFile(file, {});
    EXPECT_TRUE(CInputFile::ReadBytes(file, 0).empty());

    // A link to a regular file is that file.
    fs::create_symlink(file, folder / "link");
    EXPECT_TRUE(CInputFile::ReadBytes(folder / "link", 5).empty());
}

// Devices, pipes, folders and files beyond the bound are refused before anything is read:
// under a memory limit, with a time limit, naming the file.
TEST(CInputFile, RefusesWhatIsNoFileOfItsKindWithoutReadingIt)
{
    const CTempFolder folder("wevra-input");
    const fs::path zero = folder / "zero.PCB";
    fs::create_symlink("/dev/zero", zero);
    const fs::path pipe = folder / "pipe.PCB";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path huge = folder / "huge.PCB";
    archive_bytes::WriteFile(huge, {});
    fs::resize_file(huge, uintmax_t(3) << 30);
    const fs::path justOver = folder / "over.PCB";
    archive_bytes::WriteFile(justOver, {1, 2, 3, 4, 5, 6});

    EXPECT_TRUE(RunInLimitedChild([&] {
        return Refusal(zero, 1 << 20).find("not a regular file") != std::string::npos &&
               Refusal(pipe, 1 << 20).find("not a regular file") != std::string::npos &&
               Refusal(folder.Path(), 1 << 20).find("not a regular file") != std::string::npos &&
               Refusal(huge, 1 << 20).find("3221225472 bytes") != std::string::npos &&
               Refusal(justOver, 5).find("at most 5 bytes") != std::string::npos;
    }));
    EXPECT_NE(Refusal(zero, 1).find(zero.string()), std::string::npos);
    EXPECT_NE(Refusal(folder / "absent", 1).find("No such file"), std::string::npos);
}

// Files that report no size (as those of /proc do) are read only up to the bound.
TEST(CInputFile, AFileLongerThanItsSizeSaysIsCutAtTheBound)
{
    EXPECT_FALSE(CInputFile::ReadText("/proc/self/status", 1 << 20).empty());
    EXPECT_NE(Refusal("/proc/self/status", 10).find("at most 10 bytes"), std::string::npos);
}

} // namespace
