#include "framework/CFileSet.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

// A set replaces its files together or leaves them all as they were: whether a file cannot be
// written (a folder stands in its place when it is added) or cannot be put in place (a folder
// appeared there before the commit), the earlier files keep their bytes, a new file is not
// made, and neither a temporary nor a second name is left behind.
TEST(CFileSetTest, ReplacesEveryFileOrNone)
{
    // The file (of A, B, C) a folder stands in for, -1 for none; whether it appears only after
    // every file was added.
    const std::pair<int, bool> cases[] = {{-1, false}, {1, false}, {2, true}, {1, true}};
    for (const auto& [blocked, late] : cases) {
        SCOPED_TRACE(std::to_string(blocked) + (late ? " late" : ""));
        const CTempFolder folder("wevra-file-set");
        // A and B are there from an earlier run, C is new.
        const fs::path files[] = {folder.Path() / "A", folder.Path() / "B", folder.Path() / "C"};
        std::ofstream(files[0]) << "old A";
        std::ofstream(files[1]) << "old B";
        const auto block = [&] {
            fs::remove(files[blocked]);
            fs::create_directory(files[blocked]);
        };
        {
            CFileSet set;
            if (blocked >= 0 && !late)
                block();
            bool added = true;
            for (int k = 0; k < 3; ++k)
                added = set.Add(files[k], std::string("new ") + char('A' + k)) && added;
            EXPECT_EQ(added, blocked < 0 || late);
            if (blocked >= 0 && late)
                block();
            EXPECT_EQ(set.Commit(), blocked < 0);
            EXPECT_EQ(set.GetFailedFile(), blocked < 0 ? fs::path() : files[blocked]);
        }
        const std::string earlier[] = {"old A", "old B", ""};
        for (int k = 0; k < 3; ++k) {
            if (k != blocked) {
                EXPECT_EQ(Read(files[k]),
                          blocked < 0 ? "new " + std::string(1, char('A' + k)) : earlier[k]);
            }
        }
        EXPECT_EQ(fs::exists(files[2]), blocked < 0 || blocked == 2);
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            EXPECT_FALSE(entry.path().string().ends_with("~")) << entry.path();
    }
}
