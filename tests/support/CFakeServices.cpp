#include "tests/support/CFakeServices.h"

#include "framework/CServices.h"

CFakeServices::CFakeServices()
    : m_previousMessages(CServices::SetMessages(&messages)),
      m_previousLauncher(CServices::SetLauncher(&launcher)),
      m_previousPrinters(CServices::SetPrinters(&printers)),
      m_previousProgress(CServices::SetProgress(&progress)),
      m_previousListPicker(CServices::SetListPicker(&listPicker)),
      m_previousFileDialogs(CServices::SetFileDialogs(&fileDialogs)),
      m_previousPrintDialogs(CServices::SetPrintDialogs(&printDialogs))
{
}

CFakeServices::~CFakeServices()
{
    CServices::SetMessages(m_previousMessages);
    CServices::SetLauncher(m_previousLauncher);
    CServices::SetPrinters(m_previousPrinters);
    CServices::SetProgress(m_previousProgress);
    CServices::SetListPicker(m_previousListPicker);
    CServices::SetFileDialogs(m_previousFileDialogs);
    CServices::SetPrintDialogs(m_previousPrintDialogs);
}
