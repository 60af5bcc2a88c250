#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/CFontDesc.h"

// The desktop's file choosers and its font chooser. Model code never opens a window itself; it asks
// the service installed in CServices. Paths are native file-system names.
class CFileDialogService {
public:
    virtual ~CFileDialogService();

    // Lets the user choose a folder, with the start folder preselected when it is set and the
    // browse beginning at the root folder otherwise (the user's home when both are empty). The
    // chosen folder's full path, or nothing when the user cancelled or the root folder does
    // not exist. The title is Windows-1252.
    virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                    const std::string& rootFolder,
                                                    const std::string& startFolder) = 0;
    // Lets the user choose an existing file to open, starting in the folder (the user's home
    // when it is empty or missing), showing the files of the filter ("Netlist (*.NET *.net)").
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const std::string& /*title*/,
                                                      const std::string& /*startFolder*/,
                                                      const std::string& /*filter*/)
    {
        return std::nullopt;
    }
    // The same, choosing any number of existing files; empty when the user cancelled.
    virtual std::vector<std::string> ChooseOpenFiles(const std::string& /*title*/,
                                                     const std::string& /*startFolder*/,
                                                     const std::string& /*filter*/)
    {
        return {};
    }
    // Lets the user name a file to write, starting in the folder (the user's home when it is
    // empty or missing); when `startFolder` names a file in an existing folder, the chooser
    // starts there with that file name proposed. A name typed without an extension gets
    // `defaultExtension` (".NET"). The chosen file's full path, or nothing when the user
    // cancelled.
    virtual std::optional<std::string> ChooseSaveFile(const std::string& /*title*/,
                                                      const std::string& /*startFolder*/,
                                                      const std::string& /*filter*/,
                                                      const std::string& /*defaultExtension*/)
    {
        return std::nullopt;
    }
    // Lets the user choose a font, starting from `initial`. The chosen font, or nothing when
    // the user cancelled. The title is Windows-1252.
    virtual std::optional<CFontDesc> ChooseFont(const std::string& /*title*/,
                                                const CFontDesc& /*initial*/)
    {
        return std::nullopt;
    }
};
