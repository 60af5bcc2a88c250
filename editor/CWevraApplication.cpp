#include "editor/CWevraApplication.h"

#include <span>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "dialogs/CQtDialogService.h"
#include "document/CFileTypeRegistration.h"
#include "editor/BuiltInResources.h"
#include "editor/CConfig.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraApp.h"
#include "framework/CMessageService.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "model/CDialogService.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

struct CommandLine {
    std::string file;
    bool print = false;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (const std::string& argument : arguments) {
        if (argument == "-p" || argument == "/p")
            line.print = true;
        else if (line.file.empty())
            line.file = argument;
    }
    return line;
}

} // namespace

CWevraApplication::CWevraApplication(Options options)
    : m_options(std::move(options)), m_dialogs(std::make_unique<CQtDialogService>())
{
    m_previousDialogs = CDialogService::Set(m_dialogs.get());
}

CWevraApplication::~CWevraApplication()
{
    // The windows may still ask for dialogs while they close.
    m_mainFrame.reset();
    CDialogService::Set(m_previousDialogs);
}

bool CWevraApplication::InitInstance(const std::vector<std::string>& arguments)
{
    std::string packProblem;
    if (!CResourcePack::LoadFirstFound(m_options.programFolder, &packProblem)) {
        // Without texts the program would have no menus: the English pack linked into it
        // stands in for the broken install.
        const std::span<const uint8_t> builtIn = BuiltInLanguagePack();
        CResourcePack::SetCurrent(
            CResourcePack::FromBytes(std::vector<uint8_t>(builtIn.begin(), builtIn.end())));
        CServices::Messages().FileMessageBox(std::string(TEXT_DLL_FOR_TRANSLATION_NOT_FOUND) +
                                                 "\n" + packProblem +
                                                 "\n\nThe program's own English texts are used.",
                                             "Wevra PCB", MB_OK, MB_ICONEXCLAMATION);
    }

    // The settings live under the application title, the organisation of the settings file.
    std::string title = CWevraApp::LoadResString(IDS_APP_TITLE);
    if (title.empty())
        title = "Wevra PCB";
    QCoreApplication::setOrganizationName(QString::fromStdString(title));
    QCoreApplication::setApplicationName(QString::fromStdString(title));

    m_mainFrame = std::make_unique<CMainFrame>(this);
    if (m_options.registerFileType)
        CFileTypeRegistration::Register(QCoreApplication::applicationFilePath().toStdString());

    const CommandLine line = ParseCommandLine(arguments);
    m_mainFrame->SetOpenedByShell(!line.file.empty());
    m_mainFrame->StartUp();

    if (!line.file.empty()) {
        if (m_mainFrame->OpenDocumentFile(line.file) == nullptr) {
            m_exitStatus = 1;
            return false;
        }
        if (line.print) {
            // A print asked for from the desktop goes straight to the printer.
            m_mainFrame->GetRouter().Execute(ID_FILE_PRINT_DIRECT);
            return false;
        }
    } else if (m_mainFrame->GetConfig()->IsLoadDesign()) {
        const std::string last = m_mainFrame->GetRecentFiles().Get(0);
        if (!last.empty())
            m_mainFrame->OpenDocumentFile(last);
    }

    if (m_options.showWindow)
        m_mainFrame->showMaximized();
    return true;
}
