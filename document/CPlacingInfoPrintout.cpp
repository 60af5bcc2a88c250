#include "document/CPlacingInfoPrintout.h"

#include <utility>

#include "document/CDesign.h"
#include "document/CPlacingInfo.h"
#include "framework/CMessageService.h"
#include "framework/CPrintJob.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "resources/StringIds.h"

CPlacingInfoPrintout::CPlacingInfoPrintout(const CDesign& design, const CEditSession& session,
                                           std::string designName, std::string productVersion)
    : m_design(design), m_session(session), m_designName(std::move(designName)),
      m_productVersion(std::move(productVersion))
{
}

bool CPlacingInfoPrintout::Prepare(CPrintSetup& setup)
{
    if (m_design.GetComponents().GetCount() == 0)
        return false;
    setup.title = "Placing Info: " + m_designName;
    // One time on every page, and the same again when the preview paints them anew.
    m_timeStamp = CPlacingInfo::CurrentTimeStamp();
    return true;
}

int32_t CPlacingInfoPrintout::GetPageCount() const
{
    return CPlacingInfo::PageCount(m_design.GetComponents().GetCount());
}

bool CPlacingInfoPrintout::PaintPage(CPrintJob& job, int32_t page)
{
    if (page < 1 || page > GetPageCount())
        return false;
    CPlacingInfo::PrintPage(m_design, m_session, m_designName, job, page, m_timeStamp,
                            m_productVersion);
    return true;
}

void CPlacingInfoPrintout::ReportFailure()
{
    CServices::Messages().MessageBox(CResString::Load(IDS_LIST_NOT_PRINTED),
                                     CResString::Load(IDS_ERROR), MB_OK, MB_ICONERROR);
}
