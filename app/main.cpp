#include <clocale>
#include <string>
#include <vector>

#include "editor/CWevraApplication.h"
#include "editor/CWindowLauncher.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/qt/CQtApplication.h"
#include "framework/qt/CQtClipboardService.h"
#include "framework/qt/CQtColorChooser.h"
#include "framework/qt/CQtFileDialogService.h"
#include "framework/qt/CQtListPicker.h"
#include "framework/qt/CQtMailService.h"
#include "framework/qt/CQtMessageService.h"
#include "framework/qt/CQtPrintDialogService.h"
#include "framework/qt/CQtPrinterService.h"
#include "framework/qt/CQtProgressService.h"
#include "framework/qt/CQtSettingsStore.h"

int main(int argc, char** argv)
{
    // Cursor warping needs X11; under Wayland the program runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    CQtApplication application(argc, argv);
    // Numbers in files and texts never take the user's decimal comma.
    std::setlocale(LC_NUMERIC, "C");

    CQtMessageService messages;
    CWindowLauncher launcher;
    CQtPrinterService printers;
    CQtPrintDialogService printDialogs;
    CQtProgressService progress;
    CQtListPicker listPicker;
    CQtFileDialogService fileDialogs;
    CQtSettingsStore settings;
    CQtMailService mail;
    CQtClipboardService clipboard;
    CQtColorChooser colorChooser;
    CServices::SetMessages(&messages);
    CServices::SetLauncher(&launcher);
    CServices::SetPrinters(&printers);
    CServices::SetPrintDialogs(&printDialogs);
    CServices::SetProgress(&progress);
    CServices::SetListPicker(&listPicker);
    CServices::SetFileDialogs(&fileDialogs);
    CServices::SetSettings(&settings);
    CServices::SetMail(&mail);
    CServices::SetClipboard(&clipboard);
    CServices::SetColorChooser(&colorChooser);
    if (!settings.GetProblem().empty())
        messages.FileMessageBox(settings.GetProblem(), "Wevra PCB", MB_OK, MB_ICONEXCLAMATION);

    int result = 0;
    {
        CWevraApplication::Options options;
        options.programFolder = CPathHelper::GetProgramFolder();
        CWevraApplication wevra(options);
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i)
            arguments.emplace_back(argv[i]);
        if (wevra.InitInstance(arguments))
            result = QApplication::exec();
        else
            result = wevra.GetExitStatus();
    }

    CServices::SetColorChooser(nullptr);
    CServices::SetClipboard(nullptr);
    CServices::SetMail(nullptr);
    CServices::SetSettings(nullptr);
    CServices::SetFileDialogs(nullptr);
    CServices::SetListPicker(nullptr);
    CServices::SetProgress(nullptr);
    CServices::SetPrintDialogs(nullptr);
    CServices::SetPrinters(nullptr);
    CServices::SetLauncher(nullptr);
    CServices::SetMessages(nullptr);
    return result;
}
