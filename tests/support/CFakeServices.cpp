#include "tests/support/CFakeServices.h"

#include "framework/CServices.h"

CFakeServices::CFakeServices()
    : m_previousMessages(CServices::SetMessages(&messages)),
      m_previousLauncher(CServices::SetLauncher(&launcher)),
      m_previousPrinters(CServices::SetPrinters(&printers))
{
}

CFakeServices::~CFakeServices()
{
    CServices::SetMessages(m_previousMessages);
    CServices::SetLauncher(m_previousLauncher);
    CServices::SetPrinters(m_previousPrinters);
}
