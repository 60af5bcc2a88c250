#pragma once

#include <cstdint>
#include <string>

#include "framework/CPrintout.h"

class CWevraDoc;

// The board as its printing output job prints it: one page per item of the job, each page the
// item's layers at the job's scale and offset. The job is the current one when it prints to
// "WINDOWS", else the first that does; a job without items prints nothing.
class CJobPrintout : public CPrintout {
public:
    // Pages go into the PDF file `pdfPath` when it is not empty.
    explicit CJobPrintout(CWevraDoc& document, std::string pdfPath = {});

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

    CWevraDoc& m_document;
    std::string m_pdfPath;
    int32_t m_job = -1;
};
