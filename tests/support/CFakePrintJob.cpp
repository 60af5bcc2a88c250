#include "tests/support/CFakePrintJob.h"

CFakePrintJob::~CFakePrintJob()
{
    End();
}

bool CFakePrintJob::NewPage()
{
    if (m_printed.ended)
        return false;
    m_printed.pages.push_back(m_dc.Lines());
    m_dc.Clear();
    return true;
}

bool CFakePrintJob::End()
{
    if (m_printed.ended)
        return false;
    m_printed.pages.push_back(m_dc.Lines());
    m_dc.Clear();
    m_printed.ended = true;
    return true;
}
