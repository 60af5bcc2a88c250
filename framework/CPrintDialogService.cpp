#include "framework/CPrintDialogService.h"

CPrintDialogService::~CPrintDialogService() = default;

void CPrintDialogService::KeepChosenSetup(const CPrintSetup& setup)
{
    m_chosen = setup;
    m_chosen.pdfPath.clear();
    m_chosen.title.clear();
    // Copies are asked for each print; Print Direct never repeats an earlier count.
    m_chosen.copies = 1;
}

bool CPrintDialogService::PageSetupDialog(CPrintSetup&)
{
    return false;
}

bool CPrintDialogService::PrintDialog(CPrintSetup&, CPrintRange&)
{
    return false;
}

void CPrintDialogService::Preview(const CPrintSetup&, CPrintout&) {}
