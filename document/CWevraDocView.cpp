#include "document/CWevraDoc.h"
#include "document/CWevraDocParts.h"
#include "framework/Numeric.h"
#include "model/CShapeLib.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>

#include "document/CDocumentFrame.h"
#include "document/CDocumentViews.h"
#include "framework/CPathHelper.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"

bool CWevraDoc::IsNetlistNewer() const
{
    if (m_settings.netlistPath.empty() || !CPathHelper::IsExistingFile(m_settings.netlistPath))
        return false;
    std::error_code error;
    const auto written = std::filesystem::last_write_time(m_settings.netlistPath, error);
    if (error)
        return false;
    const auto sinceEpoch = std::chrono::file_clock::to_sys(written).time_since_epoch();
    const int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
    return seconds - m_settings.netlistTime > 0;
}

bool CWevraDoc::EditDesignConfig(int32_t firstPage)
{
    const COutput* displayJob =
        m_design.GetDisplaySets().GetJob(m_design.GetDisplaySets().GetCurrent());
    const int32_t currentSet = displayJob ? displayJob->GetCurrentItem() : 0;
    m_design.ResetLayerTables();

    CGridArr sheetGrids;
    sheetGrids.CopyFrom(m_design.GetGridSettings());
    const CDialogService::DesignParts parts{m_design, m_session, m_painting, GetDesignFolder(),
                                            GetDesignName()};
    const bool ok = CDialogService::Get().DesignConfig(parts, firstPage, sheetGrids) ==
                    CDialogService::resultOk;
    if (ok)
        m_design.GetGridSettings().CopyFrom(sheetGrids);

    // The sheet's pages may have added or removed layer sets.
    if (COutput* job = m_design.GetDisplaySets().GetJob(m_design.GetDisplaySets().GetCurrent())) {
        if (currentSet < job->GetItemCount())
            job->SetCurrentItem(currentSet);
    }
    return ok;
}

void CWevraDoc::RunCheckAll()
{
    m_design.GetNets().CheckAll();
}

bool CWevraDoc::IsGridShown() const
{
    return m_design.GetGridSettings().IsCurrentModeOn();
}
