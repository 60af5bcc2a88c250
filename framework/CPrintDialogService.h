#pragma once

#include <cstdint>

#include "framework/CPrintJob.h"

class CPrintout;

// The pages a print dialog offers and those the user chose, counted from 1.
struct CPrintRange {
    int32_t first = 1;
    int32_t last = 1;
    int32_t from = 1;
    int32_t to = 1;

    bool operator==(const CPrintRange&) const = default;
};

// The desktop's page set-up dialog, print dialog and print preview window. This base shows
// none of them: every dialog is cancelled and a preview shows nothing.
//
// It also keeps the printer and paper the user last chose in either dialog, from which every
// later print of the session starts.
class CPrintDialogService {
public:
    virtual ~CPrintDialogService();

    // What the user chose last; a PDF file, a title and the number of copies are not kept.
    const CPrintSetup& GetChosenSetup() const { return m_chosen; }
    void KeepChosenSetup(const CPrintSetup& setup);

    // The page set-up dialog over `setup`; false on Cancel, with `setup` untouched.
    virtual bool PageSetupDialog(CPrintSetup& setup);
    // The print dialog over `setup`, offering the pages of `range`; false on Cancel, with both
    // untouched. On OK `range.from` and `range.to` lie within first..last.
    virtual bool PrintDialog(CPrintSetup& setup, CPrintRange& range);
    // Shows the printout's pages as they would print with `setup` until the user closes the
    // window; they are painted through CPrintout::PaintPage.
    virtual void Preview(const CPrintSetup& setup, CPrintout& printout);

private:
    CPrintSetup m_chosen;
};
