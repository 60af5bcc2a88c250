#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/CSize.h"

class CDeviceContext;

// Margins of a page in millimetres, as seen in the page's orientation.
struct CPageMargins {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    bool operator==(const CPageMargins&) const = default;
};

// Where a print job goes and on what paper. Names are Windows-1252, as the output jobs store
// them.
struct CPrintSetup {
    // Empty: the default printer.
    std::string printerName;
    // Not empty: the pages go into this PDF file instead of to a printer.
    std::string pdfPath;
    bool landscape = false;
    // The paper in millimetres, upright; zero: the printer's own paper.
    double paperWidthMm = 0.0;
    double paperHeightMm = 0.0;
    // None: the printer's own margins.
    std::optional<CPageMargins> marginsMm;
    int32_t copies = 1;
    // The job's name in the printer queue.
    std::string title;

    bool operator==(const CPrintSetup&) const = default;
};

// A running print job of the printer service. Its first page is open when the job starts;
// pages are painted through the device context in device pixels.
class CPrintJob {
public:
    virtual ~CPrintJob();

    virtual CDeviceContext& GetDC() = 0;
    // The printable area of a page in device pixels.
    virtual CSize GetPageSize() const = 0;
    virtual int32_t GetPixelsPerInchX() const = 0;
    virtual int32_t GetPixelsPerInchY() const = 0;
    // Closes the page and opens the next; false when the device refused.
    virtual bool NewPage() = 0;
    // Closes the last page and hands the job to the printer or the file; false when that
    // failed. A job destroyed without End ends itself.
    virtual bool End() = 0;
};
