#pragma once

#include <string>

class CArchive;
class CClipboardService;
class CColorChooserService;
class CFileDialogService;
class CLauncher;
class CListPickerService;
class CMailService;
class CMessageService;
class CPrintDialogService;
class CPrinterService;
class CProgressService;
class CSettingsStore;

// Where model code finds the platform services. The application installs its Qt services at
// start-up and tests install fakes; until then, and after a service is removed again, a
// headless default answers: messages go to stderr and get the first button's answer, the
// launcher starts nothing and reports failure, there are no printers, progress windows show
// nothing and are never cancelled, list pickers, file and colour choosers and print dialogs
// are cancelled, and settings are kept in memory only.
//
// Messages are the windows' thread's alone: work on the pool's threads has what it tells the
// user collected and shown by the calling thread once the work is done (CCollectedMessages);
// a question asked there, or any message asked for from another thread, is refused with a
// std::logic_error and a line on stderr. The thread that installs the message service owns
// the windows (until one is installed, the first thread that asks).
//
// The installed objects are not owned; whoever installs one keeps it alive until it is
// replaced. Each setter returns the service installed before (the default counts as nullptr)
// so that the caller can put it back; nullptr reinstalls the default.
class CServices {
public:
    static CMessageService& Messages();
    static CLauncher& Launcher();
    static CPrinterService& Printers();
    static CPrintDialogService& PrintDialogs();
    static CProgressService& Progress();
    static CListPickerService& ListPicker();
    static CFileDialogService& FileDialogs();
    // Sends nothing and answers false until a mail service is installed.
    static CMailService& Mail();
    static CSettingsStore& Settings();
    // Keeps its data in memory until the desktop's clipboard is installed.
    static CClipboardService& Clipboard();
    static CColorChooserService& ColorChooser();

    static CMessageService* SetMessages(CMessageService* service);
    static CLauncher* SetLauncher(CLauncher* launcher);
    static CPrinterService* SetPrinters(CPrinterService* service);
    static CPrintDialogService* SetPrintDialogs(CPrintDialogService* service);
    static CProgressService* SetProgress(CProgressService* service);
    static CListPickerService* SetListPicker(CListPickerService* service);
    static CFileDialogService* SetFileDialogs(CFileDialogService* service);
    static CMailService* SetMail(CMailService* service);
    static CSettingsStore* SetSettings(CSettingsStore* store);
    static CClipboardService* SetClipboard(CClipboardService* service);
    static CColorChooserService* SetColorChooser(CColorChooserService* service);

    // Shows the repairs noted while loading a file in one warning message; nothing when there
    // were none. The caption names the file, in the file system's encoding.
    static void ReportLoadWarnings(const CArchive& ar, const std::string& caption);
};
