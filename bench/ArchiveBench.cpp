#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "framework/CArchive.h"

namespace {

class CBenchRecord : public CObject {
    WEVRA_DECLARE_SERIAL(CBenchRecord)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << x << y << name;
        else
            ar >> x >> y >> name;
    }
    int32_t x = 12800;
    int32_t y = -25600;
    std::string name = "R1234";
};
WEVRA_IMPLEMENT_SERIAL(CBenchRecord, "CBenchRecord", 1)

// Large designs hold tens of thousands of object records; storing and loading them must stay
// linear in their number.
void BM_ArchiveObjectRoundTrip(benchmark::State& state)
{
    std::vector<std::unique_ptr<CBenchRecord>> records;
    for (int64_t i = 0; i < state.range(0); ++i)
        records.push_back(std::make_unique<CBenchRecord>());
    for (auto _ : state) {
        CArchive out;
        out.SerializeObjectArray(records);
        CArchive in(out.TakeBuffer());
        std::vector<std::unique_ptr<CBenchRecord>> loaded;
        in.SerializeObjectArray(loaded);
        benchmark::DoNotOptimize(loaded.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ArchiveObjectRoundTrip)->Arg(1000)->Arg(100000);

} // namespace
