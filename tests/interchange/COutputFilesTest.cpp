#include "interchange/COutputFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "tests/interchange/GerberTestBoard.h"

namespace {

class COutputFilesTest : public COutputTestBoard {
protected:
    // The files in the folder, by name.
    static std::vector<std::string> FilesIn(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Expected(int32_t job) const
    {
        std::vector<std::string> names = COutputFiles::Names(
            *doc->Design().GetOutputJobs().GetJob(job), output->GetDesignTitle());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path FolderOf(int32_t job) const
    {
        return COutputFiles::Folder(*doc->Design().GetOutputJobs().GetJob(job),
                                    output->GetDesignTitle(), output->GetDesignFolder());
    }
};

} // namespace

// The names a job is known to write are the names its writer writes, in the folder it writes
// to: a job that shares a folder tells its files apart by them.
TEST_F(COutputFilesTest, NamesAndFoldersAreThoseTheWritersWrite)
{
    doc->Design().SetBoardOutlineRect(0, 0, 256000, 256000);
    const int32_t layers = AddJob(gerberLayers24, "C:\\GERBER",
                                  {{"TOP", {LAYER_TOP}},
                                   {"TOP", {LAYER_BOTTOM}},
                                   {"OFF", {LAYER_SILK_TOP}, false},
                                   {"a/b", {LAYER_SILK_BOTTOM}}});
    const int32_t single = AddJob(gerberSingle23, "PLOT", {{"ALL", {LAYER_TOP, LAYER_BOTTOM}}});
    std::vector<SetPlan> items(10, SetPlan{"D", {LAYER_DRILL}});
    const int32_t drill = AddJob(excellon, "", items);

    CGerberWriter(*output).Write(layers);
    CGerberWriter(*output).Write(single);
    for (int32_t item = 0; item < 10; ++item)
        CDrillOut().Write(drill, item, *output);

    for (const int32_t job : {layers, single, drill}) {
        SCOPED_TRACE("job " + std::to_string(job));
        ASSERT_TRUE(fs::is_directory(FolderOf(job)));
        EXPECT_EQ(FilesIn(FolderOf(job)), Expected(job));
    }
    EXPECT_EQ(FolderOf(layers), temp.Path() / "GERBER" / "board");
    EXPECT_EQ(FolderOf(drill), temp.Path() / "OUTPUT");
    EXPECT_EQ(Expected(drill).front(), "board.e01");
    EXPECT_EQ(Expected(drill).back(), "board.t10");
}

// The Gerber and the drill job of one drive folder write into one folder named as the design
// is, whatever the case of its title: on a case-blind disk two spellings are one folder anyway.
TEST_F(COutputFilesTest, GerberAndDrillJobsOfOneFolderShareTheDesignsFolder)
{
    doc->Design().SetBoardOutlineRect(0, 0, 256000, 256000);
    const int32_t gerber = AddJob(gerberLayers24, "C:\\CAM", {{"TOP", {LAYER_TOP}}});
    const int32_t drill = AddJob(excellon, "C:\\CAM", {{"D", {LAYER_DRILL}}});
    CGerberWriter(*output).Write(gerber);
    CDrillOut().Write(drill, 0, *output);
    EXPECT_EQ(FilesIn(temp.Path() / "CAM"), std::vector<std::string>{"board"});
    EXPECT_EQ(FolderOf(gerber), temp.Path() / "CAM" / "board");
    EXPECT_EQ(FolderOf(drill), FolderOf(gerber));
    EXPECT_EQ(FilesIn(FolderOf(gerber)),
              (std::vector<std::string>{"BOARD.TXT", "BOARD_TOP.GBR", "board.e01", "board.t01"}));
}
