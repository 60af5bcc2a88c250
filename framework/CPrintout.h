#pragma once

#include <cstdint>

class CPrintJob;
struct CPrintSetup;

// The pages a view prints: the print commands ask it what to print, preview its pages and
// print them, all through the same page painting.
class CPrintout {
public:
    virtual ~CPrintout();

    // Chooses what is printed and fills in what the printout decides of the setup (its title,
    // a printer or orientation of its own). Changes nothing the user sees. False when there is
    // nothing to print; the printout has told the user why.
    virtual bool Prepare(CPrintSetup& setup) = 0;
    // At least one after Prepare succeeded.
    virtual int32_t GetPageCount() const = 0;
    // Paints page `page` (1 to the page count) on the job's open page; false when nothing
    // could be painted.
    virtual bool PaintPage(CPrintJob& job, int32_t page) = 0;
    // Around a print the user has agreed to (not a preview).
    virtual void OnBeginPrinting() {}
    virtual void OnEndPrinting() {}
    // Tells the user that the pages could not be printed.
    virtual void ReportFailure() = 0;
};
