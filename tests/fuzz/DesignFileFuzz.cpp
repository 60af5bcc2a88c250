// Feeds arbitrary bytes to the design file reader the way opening a design file does. A design
// that was read must write itself, read back, and write the same bytes again. Long record lists
// are read side by side on several threads: the input is opened on one thread as well, and both
// must open it alike or refuse it with the same words.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
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
    return 0;
}
