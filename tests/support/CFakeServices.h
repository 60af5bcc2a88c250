#pragma once

#include "tests/support/CFakeLauncher.h"
#include "tests/support/CFakePrinterService.h"
#include "tests/support/CScriptedFileDialogs.h"
#include "tests/support/CScriptedListPicker.h"
#include "tests/support/CScriptedMessageService.h"
#include "tests/support/CScriptedPrintDialogs.h"
#include "tests/support/CScriptedProgressService.h"

class CFileDialogService;
class CLauncher;
class CListPickerService;
class CMessageService;
class CPrintDialogService;
class CPrinterService;
class CProgressService;

// Installs fresh fakes of every service for its lifetime and puts the services installed
// before back when it goes:
//     CFakeServices fakes;
//     fakes.messages.QueueAnswer(IDNO);
class CFakeServices {
public:
    CFakeServices();
    ~CFakeServices();
    CFakeServices(const CFakeServices&) = delete;
    CFakeServices& operator=(const CFakeServices&) = delete;

    CScriptedMessageService messages;
    CFakeLauncher launcher;
    CFakePrinterService printers;
    CScriptedProgressService progress;
    CScriptedListPicker listPicker;
    CScriptedFileDialogs fileDialogs;
    CScriptedPrintDialogs printDialogs;

private:
    CMessageService* m_previousMessages = nullptr;
    CLauncher* m_previousLauncher = nullptr;
    CPrinterService* m_previousPrinters = nullptr;
    CProgressService* m_previousProgress = nullptr;
    CListPickerService* m_previousListPicker = nullptr;
    CFileDialogService* m_previousFileDialogs = nullptr;
    CPrintDialogService* m_previousPrintDialogs = nullptr;
};
