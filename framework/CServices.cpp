#include "framework/CServices.h"

#include <iostream>

#include "framework/CArchive.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPrinterService.h"
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

CHeadlessMessageService headlessMessages;
CHeadlessLauncher headlessLauncher;
CHeadlessPrinterService headlessPrinters;

CMessageService* installedMessages = nullptr;
CLauncher* installedLauncher = nullptr;
CPrinterService* installedPrinters = nullptr;

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
    Messages().MessageBox(text, caption, MB_OK, MB_ICONWARNING);
}
