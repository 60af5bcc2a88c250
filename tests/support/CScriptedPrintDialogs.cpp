#include "tests/support/CScriptedPrintDialogs.h"

#include "framework/CPrintCommands.h"
#include "framework/CPrintout.h"

bool CScriptedPrintDialogs::PageSetupDialog(CPrintSetup& setup)
{
    pageSetupsShown.push_back(setup);
    if (m_pageSetupAnswers.empty())
        return false;
    const PageSetupAnswer answer = std::move(m_pageSetupAnswers.front());
    m_pageSetupAnswers.pop_front();
    CPrintSetup edited = setup;
    if (!answer(edited))
        return false;
    setup = edited;
    return true;
}

bool CScriptedPrintDialogs::PrintDialog(CPrintSetup& setup, CPrintRange& range)
{
    printsShown.push_back({setup, range});
    if (m_printAnswers.empty())
        return false;
    const PrintAnswer answer = std::move(m_printAnswers.front());
    m_printAnswers.pop_front();
    CPrintSetup edited = setup;
    CPrintRange editedRange = range;
    if (!answer(edited, editedRange))
        return false;
    setup = edited;
    range = editedRange;
    return true;
}

void CScriptedPrintDialogs::Preview(const CPrintSetup& setup, CPrintout& printout)
{
    previewsShown.push_back(CPrintedPages{setup, {}, false});
    CFakePrintJob job(previewsShown.back());
    CPrintCommands::PaintPages(printout, job, 1, printout.GetPageCount());
    job.End();
}
