#pragma once

#include "tests/support/CFakeLauncher.h"
#include "tests/support/CFakePrinterService.h"
#include "tests/support/CScriptedMessageService.h"

class CLauncher;
class CMessageService;
class CPrinterService;

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

private:
    CMessageService* m_previousMessages = nullptr;
    CLauncher* m_previousLauncher = nullptr;
    CPrinterService* m_previousPrinters = nullptr;
};
