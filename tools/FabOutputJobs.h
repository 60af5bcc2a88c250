#pragma once

// The output jobs a board house takes, which the template design and the sample design carry:
// the printout into the design's folder; the fab job, current, writing one Gerber file per layer
// with the component references on the silkscreens and the board outline in a file of its own
// (a set without layers plots the outline alone); the drill program into the same folder; and
// the single-file plotter batch of a fresh design, named for what it is.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"

namespace fab_jobs {

// The board house's files go into one folder beside the design, whatever the design's name.
constexpr char fabFolder[] = "FAB";
// A folder named without drive is taken below the design's folder: this is that folder itself.
constexpr char designFolder[] = ".";

struct SetPlan {
    // Also the end of the set's file name: the names the board houses' tools read a file's
    // layer from, without blanks.
    const char* name;
    std::initializer_list<int32_t> layers;
    bool references;
};

inline std::unique_ptr<COutput> MakeJob(const std::string& name, int32_t device,
                                        const std::string& directory,
                                        std::initializer_list<SetPlan> sets)
{
    auto job = std::make_unique<COutput>();
    job->SetJobName(name);
    job->SetDevice(COutputDevice::Name(device));
    job->SetDirectory(directory);
    for (const SetPlan& plan : sets) {
        auto set = std::make_unique<COutputRec>();
        set->SetDisplayName(plan.name);
        set->SetLayers(plan.layers);
        set->SetRefLayer(LAYER_TOP);
        set->SetOutput(true);
        if (plan.references)
            set->SetTextReference(true);
        job->AddItem(std::move(set));
    }
    return job;
}

// A copy of the job with its sets.
inline std::unique_ptr<COutput> CopyJob(const COutput& job)
{
    auto copy = std::make_unique<COutput>(job);
    for (int32_t i = 0; i < job.GetItemCount(); ++i)
        copy->AddItem(std::make_unique<COutputRec>(*job.GetItem(i)));
    return copy;
}

} // namespace fab_jobs

inline void ShapeOutputJobs(COutputArray& jobs)
{
    COutputArray fresh;
    fresh.FillDefaultJobs();
    using namespace fab_jobs;
    std::unique_ptr<COutput> printing = CopyJob(*fresh.GetJob(0));
    std::unique_ptr<COutput> batch = CopyJob(*fresh.GetJob(1));
    printing->SetDirectory(designFolder);
    batch->SetJobName("GERBER Plotter Batch, Single File");

    jobs.RemoveAll();
    jobs.AddJob(std::move(printing));
    const int32_t fab =
        jobs.AddJob(MakeJob("GERBER Fab Files, One per Layer", COutputDevice::gerber24, fabFolder,
                            {
                                {"TOP_COPPER", {LAYER_TOP}, false},
                                {"TOP_MASK", {LAYER_MASK_TOP}, false},
                                {"TOP_PASTE", {LAYER_PASTE_TOP}, false},
                                {"TOP_SILK", {LAYER_SILK_TOP}, true},
                                {"BOTTOM_COPPER", {LAYER_BOTTOM}, false},
                                {"BOTTOM_MASK", {LAYER_MASK_BOTTOM}, false},
                                {"BOTTOM_PASTE", {LAYER_PASTE_BOTTOM}, false},
                                {"BOTTOM_SILK", {LAYER_SILK_BOTTOM}, true},
                                {"OUTLINE", {}, false},
                            }));
    jobs.AddJob(MakeJob("EXCELLON Fab Drill PROGRAM", COutputDevice::excellon, fabFolder,
                        {{"DRILL PROGRAM", {LAYER_DRILL}, false}}));
    jobs.AddJob(std::move(batch));
    jobs.SetCurrent(fab);
}
