#include "tests/support/CFakeLauncher.h"

bool CFakeLauncher::StartProgram(const std::filesystem::path& program,
                                 const std::vector<std::string>& arguments)
{
    started.push_back({program, arguments});
    return result;
}

bool CFakeLauncher::OpenTextFile(const std::filesystem::path& file)
{
    openedTextFiles.push_back(file);
    return result;
}

bool CFakeLauncher::OpenInBrowser(const std::filesystem::path& page)
{
    openedPages.push_back(page);
    return result;
}
