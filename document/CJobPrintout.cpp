#include "document/CJobPrintout.h"

#include <utility>

#include "document/CDesign.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "framework/CMessageService.h"
#include "framework/CPrintJob.h"
#include "framework/CPrinterService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "resources/StringIds.h"

namespace {

constexpr char noWindowsJobText[] = "Please define a Output Job with a Windows Driver";

bool PrintsPages(const COutput& job)
{
    return job.GetDevice() == COutputDevice::Name(COutputDevice::windows) && job.GetItemCount() > 0;
}

} // namespace

CJobPrintout::CJobPrintout(CDesign& design, CDocumentPaint& paint, CDocumentPlanes& planes,
                           CDocumentWindows& windows, std::string designName, std::string pdfPath)
    : m_design(design), m_paint(paint), m_planes(planes), m_windows(windows),
      m_designName(std::move(designName)), m_pdfPath(std::move(pdfPath))
{
}

int32_t CJobPrintout::FindJob() const
{
    const COutputArray& jobs = m_design.GetOutputJobs();
    const COutput* current = jobs.GetJob(jobs.GetCurrent());
    if (current && PrintsPages(*current))
        return jobs.GetCurrent();
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        if (PrintsPages(*jobs.GetJob(i)))
            return i;
    }
    return -1;
}

bool CJobPrintout::Prepare(CPrintSetup& setup)
{
    m_job = FindJob();
    if (m_job < 0) {
        CServices::Messages().MessageBox(noWindowsJobText, CResString::Load(IDS_APP_TITLE));
        return false;
    }
    const COutput& job = *m_design.GetOutputJobs().GetJob(m_job);
    if (!CDocumentOutput::RefillStalePlanes(m_design, m_planes, job.GetJobName()))
        return false;
    setup.title = m_designName;
    setup.landscape = job.GetOrientation() == COutput::orientationLandscape;
    if (!job.UseDefaultPrinter() && CServices::Printers().CanOpenPrinter(job.GetPrinterName()))
        setup.printerName = job.GetPrinterName();
    setup.pdfPath = m_pdfPath;
    return true;
}

int32_t CJobPrintout::GetPageCount() const
{
    const COutput* job = m_design.GetOutputJobs().GetJob(m_job);
    return job ? job->GetItemCount() : 0;
}

bool CJobPrintout::PaintPage(CPrintJob& job, int32_t page)
{
    return m_paint.PrintJobPage(job.GetDC(), m_job, page - 1, job.GetPixelsPerInchX());
}

void CJobPrintout::OnBeginPrinting()
{
    m_design.GetOutputJobs().SetCurrent(m_job);
}

void CJobPrintout::OnEndPrinting()
{
    m_windows.RedrawBoardViews();
}

void CJobPrintout::ReportFailure()
{
    CServices::Messages().MessageBox(CResString::Load(IDS_JOB_NOT_PRINTED),
                                     CResString::Load(IDS_ERROR), MB_OK, MB_ICONERROR);
}
