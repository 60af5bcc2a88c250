#pragma once

#include <cstdint>
#include <string>

#include "framework/CPrintout.h"

class CDesign;
class CEditSession;

// The side pane's printout: the placing information of every component, 68 to a page, each
// page stamped with the time the print was asked for.
class CPlacingInfoPrintout : public CPrintout {
public:
    // `designName`: the file title of the design.
    CPlacingInfoPrintout(const CDesign& design, const CEditSession& session, std::string designName,
                         std::string productVersion);

    // Nothing to print without components.
    bool Prepare(CPrintSetup& setup) override;
    int32_t GetPageCount() const override;
    bool PaintPage(CPrintJob& job, int32_t page) override;
    void ReportFailure() override;

private:
    const CDesign& m_design;
    const CEditSession& m_session;
    std::string m_designName;
    std::string m_productVersion;
    std::string m_timeStamp;
};
