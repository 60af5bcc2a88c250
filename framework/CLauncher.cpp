#include "framework/CLauncher.h"

#include <system_error>

#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"

namespace {

bool SayWhenNotShown(const std::filesystem::path& file, bool shown)
{
    if (shown)
        return true;
    std::error_code error;
    const std::string text =
        std::filesystem::is_regular_file(file, error)
            ? file.string() + " could not be opened: the desktop has no " + "program to show it."
            : file.string() + " could not be opened: it does not exist.";
    CServices::Messages().FileMessageBox(text, CPathHelper::GetFileTitle(file.string()), MB_OK,
                                         MB_ICONEXCLAMATION);
    return false;
}

} // namespace

CLauncher::~CLauncher() = default;

bool CLauncher::ShowTextFile(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return SayWhenNotShown(file, false);
    return SayWhenNotShown(file, OpenTextFile(file) || ShowInOwnWindow(file));
}

bool CLauncher::ShowPage(const std::filesystem::path& page)
{
    std::error_code error;
    return SayWhenNotShown(page,
                           std::filesystem::is_regular_file(page, error) && OpenInBrowser(page));
}
