#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/CCommandTarget.h"

class CDialogService;
class CMainFrame;
class CQtDialogService;

// The application's start-up and the end of the command chain. It needs a QApplication and
// the platform services in CServices (messages, launcher, settings store) before InitInstance.
class CWevraApplication : public CCommandTarget {
public:
    struct Options {
        // Where the language packs and the help pages are looked for.
        std::filesystem::path programFolder;
        // Registers the design file type with the desktop.
        bool registerFileType = true;
        // Shows the main window maximised at the end of the start-up.
        bool showWindow = true;
    };

    explicit CWevraApplication(Options options);
    ~CWevraApplication() override;
    CWevraApplication(const CWevraApplication&) = delete;
    CWevraApplication& operator=(const CWevraApplication&) = delete;

    // Starts the program: language pack, settings, main frame, user configuration and shape
    // libraries, then the command line (a design to open, "-p" or "/p" and a design to
    // print) or the last design. False when the program is to end now: the named design could
    // not be opened, or it has been printed.
    bool InitInstance(const std::vector<std::string>& arguments);
    // The exit status when InitInstance ended the program: 1 when the named design could not
    // be opened (after its message), 0 otherwise.
    int GetExitStatus() const { return m_exitStatus; }

    CMainFrame* GetMainFrame() { return m_mainFrame.get(); }

private:
    Options m_options;
    // Installed for the application's lifetime; the service before it is put back at the end.
    std::unique_ptr<CQtDialogService> m_dialogs;
    CDialogService* m_previousDialogs = nullptr;
    std::unique_ptr<CMainFrame> m_mainFrame;
    int m_exitStatus = 0;
};
