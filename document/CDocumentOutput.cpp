#include "document/CDocumentOutput.h"

#include "document/CPlacingInfo.h"
#include "document/CWevraDoc.h"
#include "framework/CListPickerService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/CPour.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

bool IsGerberDevice(const std::string& device)
{
    for (const int32_t i : {COutputDevice::gerberSingle23, COutputDevice::gerberSingle24,
                            COutputDevice::gerber23, COutputDevice::gerber24}) {
        if (device == COutputDevice::Name(i))
            return true;
    }
    return false;
}

} // namespace

bool CDocumentOutput::RunOutputJob(const std::function<void()>& print)
{
    COutputArray& jobs = m_document.GetOutputJobs();
    std::vector<std::string> names;
    for (int32_t i = 0; i < jobs.GetCount(); ++i)
        names.push_back(jobs.GetJob(i)->GetJobName());
    const int32_t chosen = CServices::ListPicker().PickFromList(
        CResString::Load(IDS_OUTPUT_JOBS), names, jobs.GetCurrent(), ID_FILE_OUTPUT);
    if (chosen < 0 || chosen >= jobs.GetCount())
        return false;

    FillUnfilledPlanes();
    jobs.SetCurrent(chosen);
    const COutput& job = *jobs.GetJob(chosen);
    if (job.GetItemCount() == 0)
        return true;

    const std::string& device = job.GetDevice();
    if (IsGerberDevice(device)) {
        CGerberWriter writer(*this);
        writer.Write(chosen);
    } else if (device == COutputDevice::Name(COutputDevice::excellon)) {
        for (int32_t item = 0; item < job.GetItemCount(); ++item) {
            CDrillOut drill;
            drill.Write(chosen, item, *this);
        }
    } else if (device == COutputDevice::Name(COutputDevice::windows)) {
        if (print)
            print();
    }
    return true;
}

void CDocumentOutput::FillUnfilledPlanes()
{
    for (int32_t i = 0; i < m_document.GetPlaneCount(); ++i) {
        if (m_document.GetPlane(i).GetFillStrokes().GetSize() == 0)
            RefillPlane(i);
    }
}

const COutputArray& CDocumentOutput::GetOutputJobs() const
{
    return m_document.GetOutputJobs();
}

std::string CDocumentOutput::GetDesignTitle() const
{
    return m_document.GetDesignName();
}

std::filesystem::path CDocumentOutput::GetDesignFolder() const
{
    return m_document.GetDesignFolder();
}

std::string CDocumentOutput::GetTimeStamp() const
{
    return CPlacingInfo::CurrentTimeStamp();
}

int32_t CDocumentOutput::GetBoardWidth() const
{
    return m_document.GetBoardWidth();
}

int32_t CDocumentOutput::GetBoardHeight() const
{
    return m_document.GetBoardHeight();
}

int32_t CDocumentOutput::GetBoardOutlineCount() const
{
    return m_document.GetBoardOutline().GetSize();
}

CPoint CDocumentOutput::GetBoardOutlinePoint(int32_t i) const
{
    const Rec12& point = m_document.GetBoardOutline()[i];
    return CPoint(point.x, point.y);
}

bool CDocumentOutput::IsBoardOutlineRunStart(int32_t i) const
{
    return m_document.GetBoardOutline()[i].pen == 0;
}

const CDrawRecArray& CDocumentOutput::GetLines() const
{
    return m_document.GetLines();
}

const CNetArray& CDocumentOutput::GetNets() const
{
    return m_document.GetNets();
}

const CComponentArray& CDocumentOutput::GetComponents() const
{
    return m_document.GetComponents();
}

const CShapeLib& CDocumentOutput::GetShapeCache() const
{
    return m_document.GetShapeCache();
}

int32_t CDocumentOutput::GetPlaneCount() const
{
    return m_document.GetPlaneCount();
}

const CPour& CDocumentOutput::GetPlane(int32_t i) const
{
    return m_document.GetPlane(i);
}

void CDocumentOutput::RefillPlane(int32_t i)
{
    m_document.RebuildPlane(i);
}

const CTextArray& CDocumentOutput::GetTexts() const
{
    return m_document.GetTexts();
}

const CWevraFont& CDocumentOutput::GetFont() const
{
    return m_document.GetFont();
}
