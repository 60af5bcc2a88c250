#include "model/COutputArray.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "framework/CArchive.h"
#include "framework/CMessageService.h"
#include "framework/CPrinterService.h"
#include "framework/CServices.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"

WEVRA_IMPLEMENT_SERIAL(COutputArray, "COutputArray", 0)

namespace {

constexpr char repairedText[] =
    "Some output job or layer set settings of this design were out of range and have been "
    "reset.";

struct RecordPlan {
    const char* name;
    const char* extension;
    std::initializer_list<int32_t> layers;
    int32_t refLayer;
};

std::unique_ptr<COutput> MakeJob(const std::string& name, const std::string& device,
                                 const std::string& directory)
{
    auto job = std::make_unique<COutput>();
    job->SetJobName(name);
    job->SetDevice(device);
    job->SetDirectory(directory);
    return job;
}

void AddRecords(COutput& job, std::initializer_list<RecordPlan> records, bool color)
{
    for (const RecordPlan& plan : records) {
        auto rec = std::make_unique<COutputRec>();
        rec->SetDisplayName(plan.name);
        rec->SetFileExtension(plan.extension);
        rec->SetLayers(plan.layers);
        rec->SetRefLayer(plan.refLayer);
        rec->SetOutput(true);
        rec->SetColor(color);
        job.AddItem(std::move(rec));
    }
}

} // namespace

COutput* COutputArray::GetJob(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_jobs[size_t(i)].get() : nullptr;
}

const COutput* COutputArray::GetJob(int32_t i) const
{
    return i >= 0 && i < GetCount() ? m_jobs[size_t(i)].get() : nullptr;
}

int32_t COutputArray::AddJob(std::unique_ptr<COutput> job)
{
    m_jobs.push_back(job ? std::move(job) : std::make_unique<COutput>());
    return GetCount() - 1;
}

void COutputArray::RemoveAll()
{
    m_jobs.clear();
    m_current = 0;
}

void COutputArray::RemoveJob(int32_t i)
{
    if (i < 0 || i >= GetCount())
        return;
    m_jobs.erase(m_jobs.begin() + i);
    m_current = std::clamp(m_current, 0, std::max(GetCount() - 1, 0));
}

void COutputArray::SetCurrent(int32_t i)
{
    m_current = i >= 0 && i < GetCount() ? i : 0;
}

void COutputArray::AddItem(int32_t job, const COutputRec& record)
{
    if (COutput* found = GetJob(job))
        found->AddItem(std::make_unique<COutputRec>(record));
}

int32_t COutputArray::GetCurrentTextMode() const
{
    const COutput* job = GetJob(m_current);
    const COutputRec* rec = job ? job->GetCurrentRec() : nullptr;
    return rec ? rec->GetTextMode() : COutputRec::textNone;
}

void COutputArray::FillDisplaySets()
{
    RemoveAll();
    auto job = MakeJob("", COutputDevice::Name(COutputDevice::display), "");
    AddRecords(*job,
               {
                   {"*Custom", "", {21, 2, 1, 26}, 2},
                   {"Copper on Top", "", {1, 26}, 1},
                   {"Copper on Bottom", "", {2, 26}, 2},
                   {"Copper on Top and Bottom", "", {1, 2, 26}, 2},
                   {"Silkscreen", "", {21, 26}, 21},
                   {"All Layers on Top", "", {1, 17, 21, 26}, 1},
                   {"All Layers on Bottom", "", {2, 18, 22, 26}, 2},
                   {"All Layers", "", {1, 2, 17, 21, 18, 22, 26}, 2},
               },
               true);
    AddJob(std::move(job));
}

void COutputArray::FillDefaultJobs()
{
    RemoveAll();

    auto printing = MakeJob("Printing", COutputDevice::Name(COutputDevice::windows), "A:\\");
    printing->SetPrinterName(CServices::Printers().DefaultPrinterName());
    printing->SetStoredValue(1);
    AddRecords(*printing,
               {
                   {"Signal Top", ".TOP", {1, 26}, LAYER_TOP},
                   {"Signal Bottom", ".BOT", {2, 26}, LAYER_TOP},
                   {"Soldermask Bottom", ".SMB", {18}, LAYER_TOP},
                   {"Silkscreen Top", ".SST", {21}, LAYER_TOP},
               },
               false);
    AddJob(std::move(printing));

    auto gerber = MakeJob("GERBER Plot and Drill",
                          COutputDevice::Name(COutputDevice::gerberSingle24), "C:\\GERBER");
    AddRecords(*gerber,
               {
                   {"SIGNAL TOP", "", {1}, LAYER_TOP},
                   {"SIGNAL BOTTOM", "", {2}, LAYER_TOP},
                   {"SILKSCREEN TOP", "", {21}, LAYER_TOP},
                   {"SILKSCREEN BOTTOM", "", {22}, LAYER_TOP},
                   {"SOLDERMASK TOP", "", {17}, LAYER_TOP},
                   {"SOLDERMASK BOTTOM", "", {18}, LAYER_TOP},
                   {"DRILL PROGRAM", "", {26}, LAYER_TOP},
               },
               false);
    AddJob(std::move(gerber));

    auto drill = MakeJob("EXCELLON Drill PROGRAM", COutputDevice::Name(COutputDevice::excellon),
                         "C:\\EXCELLON");
    AddRecords(*drill, {{"DRILL PROGRAM", "", {26}, LAYER_TOP}}, false);
    AddJob(std::move(drill));
}

void COutputArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_current;
        ar.SerializeObjectArray(m_jobs);
        return;
    }

    int32_t current = 0;
    std::vector<std::unique_ptr<COutput>> jobs;
    ar >> current;
    m_jobs.clear();
    m_current = 0;
    ar.SerializeObjectArray(jobs);

    bool repaired = false;
    for (std::unique_ptr<COutput>& job : jobs) {
        if (!job) {
            job = std::make_unique<COutput>();
            repaired = true;
        } else if (job->WasRepaired()) {
            repaired = true;
        }
    }
    m_jobs = std::move(jobs);
    if (current != 0 && (current < 0 || current >= GetCount()))
        repaired = true;
    SetCurrent(current);

    if (repaired)
        ar.AddLoadWarning(repairedText);
}
