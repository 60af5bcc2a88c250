#pragma once

#include <memory>

#include "framework/CPrintJob.h"

class QPrinter;

// Between a print setup and the QPrinter that prints, previews or shows it in a dialog.
class CQtPrinterSetup {
public:
    // PDF files, and previews where the desktop has no printer, are laid out at this
    // resolution.
    static constexpr int pdfResolution = 300;

    // A printer for the setup: the PDF file when it names one, else the named printer, else
    // the desktop's default printer; with no printer at all, PDF output without a file yet.
    static std::unique_ptr<QPrinter> MakePrinter(const CPrintSetup& setup);
    // Whether the setup names a printer or file that MakePrinter can print to.
    static bool CanPrint(const CPrintSetup& setup);
    // The paper, orientation, margins, copies and title of the setup.
    static void ApplyPage(const CPrintSetup& setup, QPrinter& printer);
    // What the printer is set to; the title is kept from `setup`.
    static CPrintSetup Read(const QPrinter& printer, const CPrintSetup& setup);
};
