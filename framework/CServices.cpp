#include "framework/CServices.h"

#include <iostream>

#include "framework/CArchive.h"
#include "framework/CClipboardService.h"
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
