#include <filesystem>
#include <iostream>

#include <QApplication>

#include "editor/CWevraApp.h"
#include "framework/CMessageService.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/qt/CQtLauncher.h"
#include "framework/qt/CQtMessageService.h"
#include "framework/qt/CQtPrinterService.h"
#include "resources/StringIds.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);

    CQtMessageService messages;
    CQtLauncher launcher;
    CQtPrinterService printers;
    CServices::SetMessages(&messages);
    CServices::SetLauncher(&launcher);
    CServices::SetPrinters(&printers);

    // The language pack lies beside the program; without one the program runs on with empty
    // texts after telling the user.
    std::filesystem::path folder = QCoreApplication::applicationDirPath().toStdString();
    bool languageLoaded = CResourcePack::LoadFirstFound(folder);
    if (!languageLoaded)
        CServices::Messages().MessageBox(TEXT_DLL_FOR_TRANSLATION_NOT_FOUND, "Wevra PCB",
                                         MB_OK);

    std::string title = CWevraApp::LoadResString(IDS_APP_TITLE);
    std::cout << (title.empty() ? "Wevra PCB" : title) << " " << WEVRA_VERSION << "\n"
              << "Language pack: " << (languageLoaded ? "loaded" : "none") << "\n"
              << "The editor window is not built yet: this build holds the board data model, "
                 "the document core and the analysis engines, tested headless by scripts/test.\n";

    CServices::SetPrinters(nullptr);
    CServices::SetLauncher(nullptr);
    CServices::SetMessages(nullptr);
    return 0;
}
