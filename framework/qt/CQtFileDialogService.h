#pragma once

#include "framework/CFileDialogService.h"

// The file choosers as QFileDialog, the font chooser as QFontDialog, over the active window. Needs
// the QApplication.
class CQtFileDialogService : public CFileDialogService {
public:
    // The chooser opens in the start folder, which OK alone chooses; the root folder is where
    // it opens without one (browsing may leave it).
    std::optional<std::string> ChooseFolder(const std::string& title, const std::string& rootFolder,
                                            const std::string& startFolder) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::string& startFolder,
                                              const std::string& filter) override;
    std::vector<std::string> ChooseOpenFiles(const std::string& title,
                                             const std::string& startFolder,
                                             const std::string& filter) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::string& startFolder,
                                              const std::string& filter,
                                              const std::string& defaultExtension) override;
    std::optional<CFontDesc> ChooseFont(const std::string& title,
                                        const CFontDesc& initial) override;
};
