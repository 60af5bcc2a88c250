#pragma once

#include <cstdint>

class CPrintJob;
class CPrintout;

// The print commands of a view: Print Setup, Print, Print Direct and Print Preview, run on the
// print dialog and printer services. Every print starts from the printer and paper the user
// chose last. A Cancel in any dialog prints nothing and changes nothing; a printer or file
// that fails is reported through the printout, never taken for a print.
class CPrintCommands {
public:
    // The page set-up dialog; OK keeps the choice for every later print. False on Cancel.
    static bool PageSetup();
    // Prints the printout, after the print dialog when `ask`; true when every page printed.
    static bool Print(CPrintout& printout, bool ask);
    // The preview window of the printout's pages; false when there was nothing to show.
    static bool Preview(CPrintout& printout);
    // Paints pages first to last on the job, opening a new page before each but the first.
    // False when a page could not be painted.
    static bool PaintPages(CPrintout& printout, CPrintJob& job, int32_t first, int32_t last);
};
