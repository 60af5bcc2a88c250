#pragma once

#include <cstdint>
#include <string>

#include "framework/CPrintout.h"

class CDesign;
class CDocumentPaint;
class CDocumentPlanes;
class CDocumentWindows;

// The board as its printing output job prints it: one page per item of the job, each page the
// item's layers at the job's scale and offset. The job is the current one when it prints to
// "WINDOWS", else the first that does; a job without items prints nothing.
class CJobPrintout : public CPrintout {
public:
    // `designName`: the file title of the design, the print's title. Pages go into the PDF
    // file `pdfPath` when it is not empty.
    CJobPrintout(CDesign& design, CDocumentPaint& paint, CDocumentPlanes& planes,
                 CDocumentWindows& windows, std::string designName, std::string pdfPath = {});

    // The job's orientation; the job's own printer unless it uses the default printer or its
    // printer is gone. Without a printing job the user is told to define one. Planes without a
    // fill or with an old one are filled, so that the pages show their copper; false when a
    // plane pours none and the user would rather not print without it.
    bool Prepare(CPrintSetup& setup) override;
    int32_t GetPageCount() const override;
    bool PaintPage(CPrintJob& job, int32_t page) override;
    // The job that prints becomes the current one.
    void OnBeginPrinting() override;
    void OnEndPrinting() override;
    void ReportFailure() override;

    // The job that prints, -1 before Prepare found one.
    int32_t GetJob() const { return m_job; }

private:
    int32_t FindJob() const;

    CDesign& m_design;
    CDocumentPaint& m_paint;
    CDocumentPlanes& m_planes;
    CDocumentWindows& m_windows;
    std::string m_designName;
    std::string m_pdfPath;
    int32_t m_job = -1;
};
