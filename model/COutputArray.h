#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "model/COutput.h"
#include "model/COutputRec.h"

// A list of output jobs with a current one. The document keeps two: the output jobs proper and
// the display layer sets, which are the items of a single "DISPLAY" job.
class COutputArray : public CObject {
    WEVRA_DECLARE_SERIAL(COutputArray)

public:
    COutputArray() = default;

    int32_t GetCount() const { return static_cast<int32_t>(m_jobs.size()); }
    // nullptr outside the list.
    COutput* GetJob(int32_t i);
    const COutput* GetJob(int32_t i) const;
    // Appends the job (a default one for nullptr); returns its index.
    int32_t AddJob(std::unique_ptr<COutput> job);
    void RemoveAll();
    // Removes job i (nothing outside the list); the current job stays in the list, or 0.
    void RemoveJob(int32_t i);

    // The current job is always 0 or an index of the list.
    int32_t GetCurrent() const { return m_current; }
    // Job i, or job 0 when i is outside the list.
    void SetCurrent(int32_t i);

    // Appends a copy of the record to job i; nothing for an index outside the list.
    void AddItem(int32_t job, const COutputRec& record);
    // The text mode of the current item of the current job; none when there is no such item.
    int32_t GetCurrentTextMode() const;

    // The layer sets a new design offers, as the items of one "DISPLAY" job.
    void FillDisplaySets();
    // The output jobs of a new design: printing on the default printer, Gerber photoplots
    // and an NC drill program.
    void FillDefaultJobs();

    // Current job, then the jobs as an object array. Settings of a loaded list that would
    // point outside it are repaired, with one warning to the user per list read.
    void Serialize(CArchive& ar) override;

private:
    std::vector<std::unique_ptr<COutput>> m_jobs;
    int32_t m_current = 0;
};
