// Feeds arbitrary bytes to the design file reader the way opening a design file does. A design
// that was read must write itself, read back, and write the same bytes again. Long record lists
// are read side by side on several threads: the input is opened on one thread as well, and both
// must open it alike or refuse it with the same words. A small design then goes through the
// commands that compute with every value it holds: the design-rule check, Rebuild from Tracks,
// Refill All and the Gerber jobs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentPlanes.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "interchange/CGerberWriter.h"
#include "interchange/COutputFiles.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPour.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

class CRecordedMessages : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string&, MessageButtons buttons,
                       MessageIcon) override
    {
        texts.push_back(text);
        return FirstButtonAnswer(buttons);
    }
    std::vector<std::string> texts;
};

struct Outcome {
    bool opened = false;
    std::vector<std::string> texts;
    std::vector<uint8_t> saved;
    bool operator==(const Outcome&) const = default;
};

Outcome Open(const uint8_t* data, size_t size, int threads, CWevraDoc& doc)
{
    CWorkPool::SetThreadCount(threads);
    CRecordedMessages messages;
    CServices::SetMessages(&messages);
    CArchive input(std::vector<uint8_t>(data, data + size));
    Outcome outcome;
    outcome.opened = doc.LoadFromArchive(input, "fuzz");
    SilenceMessages();
    outcome.texts = messages.texts;
    if (outcome.opened) {
        CArchive output;
        doc.Serialize(output);
        outcome.saved = output.TakeBuffer();
    }
    return outcome;
}

// Designs of up to this many nets and components, and planes whose outline box spans at most
// this many units across, are run through the commands: a bigger one is bounded too, but would
// take longer than an input may.
constexpr int32_t commandItems = 64;
constexpr int64_t commandPlaneSpan = 4000000;
constexpr int32_t commandJobs = 4;

bool IsSmall(const CDesign& design)
{
    if (design.GetNets().GetCount() > commandItems ||
        design.GetComponents().GetCount() > commandItems)
        return false;
    for (const auto& plane : design.GetPlanes()) {
        const CRect box = plane->GetOutlineRect();
        if (int64_t(box.right) - box.left + int64_t(box.bottom) - box.top > commandPlaneSpan)
            return false;
    }
    return true;
}

void RunCommands(CWevraDoc& doc)
{
    doc.Analysis().TestAllNets();
    doc.Analysis().RebuildFromTracks();
    doc.Planes().RefillAll();
    CDocumentOutput output(doc.Design(), doc.Planes(), FuzzFolder().string(), "FUZZ");
    const COutputArray& jobs = doc.Design().GetOutputJobs();
    for (int32_t i = 0, run = 0; i < jobs.GetCount() && run < commandJobs; ++i) {
        if (!COutputFiles::IsGerberDevice(jobs.GetJob(i)->GetDevice()))
            continue;
        ++run;
        CGerberWriter(output).Write(i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    // Inputs are small: every list of records is read side by side.
    CArchive::SetSideBySideMinimum(2);
    CWevraDoc doc;
    const Outcome outcome = Open(data, size, 4, doc);
    CWevraDoc alone;
    if (Open(data, size, 1, alone) != outcome)
        __builtin_trap();
    CWorkPool::SetThreadCount(0);
    if (!outcome.opened)
        return 0;

    const std::vector<uint8_t>& once = outcome.saved;
    CWevraDoc reloaded;
    CArchive again(once);
    if (!reloaded.LoadFromArchive(again, "fuzz"))
        __builtin_trap();
    CArchive twice;
    reloaded.Serialize(twice);
    if (twice.GetBuffer() != once)
        __builtin_trap();

    if (IsSmall(reloaded.Design()))
        RunCommands(reloaded);
    return 0;
}
