#include "document/CDocumentOutput.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentPlanes.h"
#include "document/CPlacingInfo.h"
#include "framework/CFileSet.h"
#include "framework/CListPickerService.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CDrillOut.h"
#include "interchange/CGerberWriter.h"
#include "interchange/COutputFiles.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/CPour.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

// Files a question names at most; more are counted.
constexpr size_t listedFiles = 20;

} // namespace

CDocumentOutput::CDocumentOutput(CDesign& design, CDocumentPlanes& planes, std::string designFolder,
                                 std::string designTitle)
    : m_design(design), m_planes(planes), m_designFolder(std::move(designFolder)),
      m_designTitle(std::move(designTitle))
{
}

bool CDocumentOutput::RunOutputJob(const std::function<void()>& print)
{
    COutputArray& jobs = m_design.GetOutputJobs();
    std::vector<std::string> names;
    for (int32_t i = 0; i < jobs.GetCount(); ++i)
        names.push_back(jobs.GetJob(i)->GetJobName());
    const int32_t chosen = CServices::ListPicker().PickFromList(
        CResString::Load(IDS_OUTPUT_JOBS), names, jobs.GetCurrent(), ID_FILE_OUTPUT);
    if (chosen < 0 || chosen >= jobs.GetCount())
        return false;

    const bool goOn = RefillStalePlanes(jobs.GetJob(chosen)->GetJobName());
    jobs.SetCurrent(chosen);
    const COutput& job = *jobs.GetJob(chosen);
    if (!goOn || job.GetItemCount() == 0)
        return true;

    // The files the user agreed to remove go only once the run has replaced its own: a run
    // that fails leaves the earlier set whole, as its message says.
    std::vector<std::filesystem::path> removals;
    if (!MayReplaceOtherJobsFiles(chosen, removals))
        return true;
    OfferToRemoveStaleFiles(job, removals);
    const std::string& device = job.GetDevice();
    std::vector<std::filesystem::path> written;
    bool complete = true;
    if (COutputFiles::IsGerberDevice(device)) {
        CGerberWriter writer(*this);
        complete = writer.Write(chosen) == 1;
        written = writer.GetWrittenFiles();
    } else if (COutputFiles::IsDrillDevice(device)) {
        // The programs of all items replace the earlier run's together, or none does.
        CFileSet files;
        for (int32_t item = 0; item < job.GetItemCount() && complete; ++item) {
            CDrillOut drill;
            complete = drill.Write(chosen, item, *this, &files);
            written.insert(written.end(), drill.GetWrittenFiles().begin(),
                           drill.GetWrittenFiles().end());
        }
        if (complete && !files.Commit()) {
            complete = false;
            CServices::Messages().FileMessageBox(
                COutputFiles::NotWrittenText(files.GetFailedFile(), files.GetFailure()), "", MB_OK,
                MB_ICONEXCLAMATION);
        }
    } else if (device == COutputDevice::Name(COutputDevice::windows)) {
        if (print)
            print();
    }
    // A writer that failed has named the file it could not write.
    if (!complete)
        return true;
    // Another job's file of a name this run shares has just been written anew.
    std::erase_if(removals, [&written](const std::filesystem::path& file) {
        return std::find(written.begin(), written.end(), file) != written.end();
    });
    RemoveFiles(removals);
    if (!written.empty())
        TellWhereFilesWent(job, written.front().parent_path());
    return true;
}

void CDocumentOutput::TellWhereFilesWent(const COutput& job, const std::filesystem::path& folder)
{
    CServices::Messages().FileMessageBox(
        CResString::LoadWithFile(IDS_OUTPUT_WRITTEN, folder.string()),
        CWindows1252::ToUtf8(job.GetJobName()), MB_OK, MB_ICONINFORMATION);
}

bool CDocumentOutput::MayReplaceOtherJobsFiles(int32_t chosen,
                                               std::vector<std::filesystem::path>& removals)
{
    const COutputArray& jobs = m_design.GetOutputJobs();
    const COutput& job = *jobs.GetJob(chosen);
    const std::string title = GetDesignTitle();
    const std::filesystem::path folder = COutputFiles::Folder(job, title, GetDesignFolder());
    const std::vector<std::string> ours = COutputFiles::Names(job, title);
    std::string others;
    std::vector<std::filesystem::path> theirs;
    for (int32_t i = 0; i < jobs.GetCount(); ++i) {
        const COutput& other = *jobs.GetJob(i);
        if (i == chosen || COutputFiles::Folder(other, title, GetDesignFolder()) != folder)
            continue;
        // Jobs whose files are all named apart share a folder in peace (photoplots beside the
        // drill program); where one name is shared, a folder holding both would mix them.
        const std::vector<std::string> names = COutputFiles::Names(other, title);
        const bool shared = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return std::find(ours.begin(), ours.end(), n) != ours.end();
        });
        std::vector<std::filesystem::path> present;
        std::error_code error;
        for (const std::string& name : names) {
            if (shared && std::filesystem::exists(folder / name, error))
                present.push_back(folder / name);
        }
        if (present.empty())
            continue;
        others += (others.empty() ? "\"" : ", \"") + other.GetJobName() + "\"";
        theirs.insert(theirs.end(), present.begin(), present.end());
    }
    if (theirs.empty())
        return true;
    if (CServices::Messages().MessageBox(CResString::LoadWith(IDS_REPLACE_OTHER_JOBS_FILES, others),
                                         job.GetJobName(), MB_YESNO_DEFAULTNO,
                                         MB_ICONQUESTION) != IDYES)
        return false;
    // The folder then holds this job's files alone: none of the other jobs is left beside them
    // to pass for part of this output.
    removals.insert(removals.end(), theirs.begin(), theirs.end());
    return true;
}

void CDocumentOutput::OfferToRemoveStaleFiles(const COutput& job,
                                              std::vector<std::filesystem::path>& removals)
{
    const std::string title = GetDesignTitle();
    std::vector<std::filesystem::path> stale =
        COutputFiles::Stale(job, title, COutputFiles::Folder(job, title, GetDesignFolder()));
    // Another job's files the user already agreed to remove are not asked about again.
    std::erase_if(stale, [&removals](const std::filesystem::path& file) {
        return std::find(removals.begin(), removals.end(), file) != removals.end();
    });
    if (stale.empty())
        return;
    std::string list;
    for (size_t k = 0; k < stale.size() && k < listedFiles; ++k)
        list += "\n" + stale[k].string();
    if (stale.size() > listedFiles)
        list += "\n... (" + std::to_string(stale.size()) + ")";
    if (CServices::Messages().FileMessageBox(
            CResString::LoadWithFile(IDS_REMOVE_STALE_OUTPUT, list),
            CWindows1252::ToUtf8(job.GetJobName()), MB_YESNO_DEFAULTNO, MB_ICONQUESTION) == IDYES)
        removals.insert(removals.end(), stale.begin(), stale.end());
}

void CDocumentOutput::RemoveFiles(const std::vector<std::filesystem::path>& files)
{
    for (const std::filesystem::path& path : files) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error)
            CServices::Messages().FileMessageBox(
                CResString::LoadWithFile(IDS_FILE_NOT_REMOVED, path.string()), "", MB_OK,
                MB_ICONEXCLAMATION);
    }
}

bool CDocumentOutput::RefillStalePlanes(const std::string& caption)
{
    return RefillStalePlanes(m_design, m_planes, caption);
}

bool CDocumentOutput::RefillStalePlanes(const CDesign& design, CDocumentPlanes& planes,
                                        const std::string& caption)
{
    std::string empty;
    for (int32_t i = 0; i < design.GetPlaneCount(); ++i) {
        if (!design.NeedsRefill(design.GetPlane(i)))
            continue;
        planes.RebuildPlane(i);
        const CPour& plane = design.GetPlane(i);
        if (!plane.HasFill())
            empty += (empty.empty() ? "\"" : ", \"") + plane.GetName() + "\"";
    }
    if (empty.empty())
        return true;
    return CServices::Messages().MessageBox(CResString::LoadWith(IDS_PLANES_WITHOUT_COPPER, empty),
                                            caption, MB_YESNO, MB_ICONEXCLAMATION) == IDYES;
}

const COutputArray& CDocumentOutput::GetOutputJobs() const
{
    return m_design.GetOutputJobs();
}

std::string CDocumentOutput::GetDesignTitle() const
{
    return m_designTitle;
}

std::filesystem::path CDocumentOutput::GetDesignFolder() const
{
    return m_designFolder;
}

std::string CDocumentOutput::GetTimeStamp() const
{
    return CPlacingInfo::CurrentTimeStamp();
}

int32_t CDocumentOutput::GetBoardWidth() const
{
    return m_design.GetBoardWidth();
}

int32_t CDocumentOutput::GetBoardHeight() const
{
    return m_design.GetBoardHeight();
}

int32_t CDocumentOutput::GetBoardOutlineCount() const
{
    return m_design.GetBoardOutline().GetSize();
}

CPoint CDocumentOutput::GetBoardOutlinePoint(int32_t i) const
{
    const Rec12& point = m_design.GetBoardOutline()[i];
    return CPoint(point.x, point.y);
}

bool CDocumentOutput::IsBoardOutlineRunStart(int32_t i) const
{
    return m_design.GetBoardOutline()[i].pen == 0;
}

const CDrawRecArray& CDocumentOutput::GetLines() const
{
    return m_design.GetLines();
}

const CNetArray& CDocumentOutput::GetNets() const
{
    return m_design.GetNets();
}

const CComponentArray& CDocumentOutput::GetComponents() const
{
    return m_design.GetComponents();
}

const CShapeLib& CDocumentOutput::GetShapeCache() const
{
    return m_design.GetShapeCache();
}

int32_t CDocumentOutput::GetPlaneCount() const
{
    return m_design.GetPlaneCount();
}

const CPour& CDocumentOutput::GetPlane(int32_t i) const
{
    return m_design.GetPlane(i);
}

void CDocumentOutput::RefillPlane(int32_t i)
{
    if (m_design.GetPlane(i).GetFillRevision() != m_design.GetCopperRevision())
        m_planes.RebuildPlane(i);
}

const CTextArray& CDocumentOutput::GetTexts() const
{
    return m_design.GetTexts();
}

const CWevraFont& CDocumentOutput::GetFont() const
{
    return m_design.GetFont();
}
