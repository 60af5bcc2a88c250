#include "framework/CServices.h"

#include <atomic>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "framework/CArchive.h"
#include "framework/CClipboardService.h"
#include "framework/CCollectedMessages.h"
#include "framework/CColorChooserService.h"
#include "framework/CFileDialogService.h"
#include "framework/CLauncher.h"
#include "framework/CListPickerService.h"
#include "framework/CMailService.h"
#include "framework/CMessageService.h"
#include "framework/CPrintDialogService.h"
#include "framework/CPrinterService.h"
#include "framework/CProgressService.h"
#include "framework/CProgressWindow.h"
#include "framework/CSettingsStore.h"
#include "framework/CWindows1252.h"

namespace {

class CHeadlessMessageService : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon) override
    {
        if (!caption.empty())
            std::cerr << CWindows1252::ToUtf8(caption) << ": ";
        std::cerr << CWindows1252::ToUtf8(text) << '\n';
        return FirstButtonAnswer(buttons);
    }
    int32_t FileMessageBox(const std::string& text, const std::string& caption,
                           MessageButtons buttons, MessageIcon) override
    {
        if (!caption.empty())
            std::cerr << caption << ": ";
        std::cerr << text << '\n';
        return FirstButtonAnswer(buttons);
    }
};

// Refuses, loudly and in every build, a message asked for where no window may be opened: the
// failure reaches whoever runs the work (the failure guard tells the user and takes the
// command back) instead of a window opening from the wrong thread or a question being
// answered for the user.
[[noreturn]] void RefuseMessage(const std::string& why, const std::string& text)
{
    const std::string failure = why + ": \"" + CWindows1252::ToUtf8(text) + "\"";
    std::cerr << "wevra: " << failure << '\n';
    throw std::logic_error(failure);
}

// Messages of work on the pool: collected for the calling thread to show.
class CCollectingMessageService : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override
    {
        return Collect(text, caption, buttons, icon, false);
    }
    int32_t FileMessageBox(const std::string& text, const std::string& caption,
                           MessageButtons buttons, MessageIcon icon) override
    {
        return Collect(text, caption, buttons, icon, true);
    }

private:
    static int32_t Collect(const std::string& text, const std::string& caption,
                           MessageButtons buttons, MessageIcon icon, bool namesFile)
    {
        if (buttons != MB_OK)
            RefuseMessage("A question was asked by work on the pool's threads", text);
        CCollectedMessages::Current()->Add(text, caption, icon, namesFile);
        return IDOK;
    }
};

class CRefusingMessageService : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string&, MessageButtons,
                       MessageIcon) override
    {
        RefuseMessage("A message was asked for off the thread that owns the windows", text);
    }
    int32_t FileMessageBox(const std::string& text, const std::string&, MessageButtons,
                           MessageIcon) override
    {
        RefuseMessage("A message was asked for off the thread that owns the windows", text);
    }
};

class CHeadlessLauncher : public CLauncher {
public:
    bool StartProgram(const std::filesystem::path&, const std::vector<std::string>&) override
    {
        return false;
    }
    bool OpenTextFile(const std::filesystem::path&) override { return false; }
};

class CHeadlessPrinterService : public CPrinterService {
public:
    std::string DefaultPrinterName() const override { return {}; }
    bool CanOpenPrinter(const std::string&) const override { return false; }
};

class CHeadlessProgressWindow : public CProgressWindow {
public:
    void SetTitle(const std::string&) override {}
    void SetBar(int32_t, int32_t, int32_t) override {}
    void StepTo(int32_t) override {}
    void SetPercentText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void ProcessEvents() override {}
};

class CHeadlessProgressService : public CProgressService {
public:
    std::unique_ptr<CProgressWindow> OpenWindow(std::function<void()>) override
    {
        return std::make_unique<CHeadlessProgressWindow>();
    }
};

class CHeadlessListPicker : public CListPickerService {
public:
    int32_t PickFromList(const std::string&, const std::vector<std::string>&, int32_t,
                         int32_t) override
    {
        return -1;
    }
};

class CHeadlessFileDialogs : public CFileDialogService {
public:
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&,
                                            const std::string&) override
    {
        return std::nullopt;
    }
};

class CHeadlessColorChooser : public CColorChooserService {
public:
    std::optional<COLORREF> ChooseColor(COLORREF, const std::vector<COLORREF>&) override
    {
        return std::nullopt;
    }
};

CHeadlessMessageService headlessMessages;
CCollectingMessageService collectingMessages;
CRefusingMessageService refusingMessages;
CHeadlessLauncher headlessLauncher;
CHeadlessPrinterService headlessPrinters;
CPrintDialogService headlessPrintDialogs;
CHeadlessProgressService headlessProgress;
CHeadlessListPicker headlessListPicker;
CHeadlessFileDialogs headlessFileDialogs;
CMailService headlessMail;
CSettingsStore headlessSettings;
CClipboardService headlessClipboard;
CHeadlessColorChooser headlessColorChooser;

CMessageService* installedMessages = nullptr;
// The thread that owns the windows: the one that installed the message service, or else the
// first to ask for it.
std::atomic<std::thread::id> windowThread;

bool OnWindowThread()
{
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id owner = windowThread.load();
    if (owner == std::thread::id() && windowThread.compare_exchange_strong(owner, self))
        return true;
    return owner == self;
}
CLauncher* installedLauncher = nullptr;
CPrinterService* installedPrinters = nullptr;
CPrintDialogService* installedPrintDialogs = nullptr;
CProgressService* installedProgress = nullptr;
CListPickerService* installedListPicker = nullptr;
CFileDialogService* installedFileDialogs = nullptr;
CMailService* installedMail = nullptr;
CSettingsStore* installedSettings = nullptr;
CClipboardService* installedClipboard = nullptr;
CColorChooserService* installedColorChooser = nullptr;

template <typename T> T* Replace(T*& slot, T* service)
{
    T* previous = slot;
    slot = service;
    return previous;
}

} // namespace

CMessageService& CServices::Messages()
{
    if (CCollectedMessages::Current() != nullptr)
        return collectingMessages;
    if (!OnWindowThread())
        return refusingMessages;
    return installedMessages ? *installedMessages : headlessMessages;
}

CLauncher& CServices::Launcher()
{
    return installedLauncher ? *installedLauncher : headlessLauncher;
}

CPrinterService& CServices::Printers()
{
    return installedPrinters ? *installedPrinters : headlessPrinters;
}

CPrintDialogService& CServices::PrintDialogs()
{
    return installedPrintDialogs ? *installedPrintDialogs : headlessPrintDialogs;
}

CProgressService& CServices::Progress()
{
    return installedProgress ? *installedProgress : headlessProgress;
}

CListPickerService& CServices::ListPicker()
{
    return installedListPicker ? *installedListPicker : headlessListPicker;
}

CFileDialogService& CServices::FileDialogs()
{
    return installedFileDialogs ? *installedFileDialogs : headlessFileDialogs;
}

CSettingsStore& CServices::Settings()
{
    return installedSettings ? *installedSettings : headlessSettings;
}

CClipboardService& CServices::Clipboard()
{
    return installedClipboard ? *installedClipboard : headlessClipboard;
}

CClipboardService* CServices::SetClipboard(CClipboardService* service)
{
    return Replace(installedClipboard, service);
}

CColorChooserService& CServices::ColorChooser()
{
    return installedColorChooser ? *installedColorChooser : headlessColorChooser;
}

CColorChooserService* CServices::SetColorChooser(CColorChooserService* service)
{
    return Replace(installedColorChooser, service);
}

CMailService& CServices::Mail()
{
    return installedMail ? *installedMail : headlessMail;
}

CMailService* CServices::SetMail(CMailService* service)
{
    return Replace(installedMail, service);
}

CMessageService* CServices::SetMessages(CMessageService* service)
{
    if (service != nullptr)
        windowThread.store(std::this_thread::get_id());
    return Replace(installedMessages, service);
}

CLauncher* CServices::SetLauncher(CLauncher* launcher)
{
    return Replace(installedLauncher, launcher);
}

CPrinterService* CServices::SetPrinters(CPrinterService* service)
{
    return Replace(installedPrinters, service);
}

CPrintDialogService* CServices::SetPrintDialogs(CPrintDialogService* service)
{
    return Replace(installedPrintDialogs, service);
}

CProgressService* CServices::SetProgress(CProgressService* service)
{
    return Replace(installedProgress, service);
}

CListPickerService* CServices::SetListPicker(CListPickerService* service)
{
    return Replace(installedListPicker, service);
}

CFileDialogService* CServices::SetFileDialogs(CFileDialogService* service)
{
    return Replace(installedFileDialogs, service);
}

CSettingsStore* CServices::SetSettings(CSettingsStore* store)
{
    return Replace(installedSettings, store);
}

void CServices::ReportLoadWarnings(const CArchive& ar, const std::string& caption)
{
    const std::vector<std::string>& warnings = ar.GetLoadWarnings();
    if (warnings.empty())
        return;
    std::string text;
    for (const std::string& warning : warnings) {
        if (!text.empty())
            text += "\n";
        text += warning;
    }
    Messages().FileMessageBox(CWindows1252::ToUtf8(text), caption, MB_OK, MB_ICONWARNING);
}
