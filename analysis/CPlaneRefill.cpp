#include "analysis/CPlaneRefill.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "analysis/CBackgroundPlaneDocument.h"
#include "analysis/CPlaneBuild.h"
#include "framework/CWorkPool.h"
#include "model/CPour.h"

namespace {

// The planes by layer, layers in the order their first plane comes, planes in list order.
std::vector<std::vector<CPour*>> ByLayer(std::span<CPour* const> planes)
{
    std::vector<std::vector<CPour*>> layers;
    for (CPour* plane : planes) {
        const auto same = std::find_if(layers.begin(), layers.end(), [&](const auto& layer) {
            return layer.front()->GetLayer() == plane->GetLayer();
        });
        if (same != layers.end())
            same->push_back(plane);
        else
            layers.push_back({plane});
    }
    return layers;
}

void Fill(CPlaneBuildDocument& document, const std::vector<CPour*>& planes)
{
    for (CPour* plane : planes)
        CPlaneBuild build(document, *plane);
}

} // namespace

void CPlaneRefill::Run(CPlaneBuildDocument& document, std::span<CPour* const> planes)
{
    const std::vector<std::vector<CPour*>> layers = ByLayer(planes);
    if (layers.size() < 2 || CWorkPool::ThreadCount() < 2) {
        Fill(document, std::vector<CPour*>(planes.begin(), planes.end()));
        return;
    }
    // Threads of their own rather than items of the pool: an item of the pool could not share
    // its fill's stages with the pool again.
    std::vector<std::unique_ptr<CBackgroundPlaneDocument>> away;
    for (size_t k = 1; k < layers.size(); ++k)
        away.push_back(std::make_unique<CBackgroundPlaneDocument>(document));
    std::vector<std::exception_ptr> failures(layers.size());
    {
        std::vector<std::jthread> threads;
        for (size_t k = 1; k < layers.size(); ++k) {
            threads.emplace_back([&, k] {
                try {
                    Fill(*away[k - 1], layers[k]);
                } catch (...) {
                    failures[k] = std::current_exception();
                }
            });
        }
        try {
            Fill(document, layers.front());
        } catch (...) {
            failures.front() = std::current_exception();
        }
    }
    for (auto& background : away)
        background->Replay();
    for (const std::exception_ptr& failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}
