#include "model/Ratsnest.h"

#include <cstdint>
#include <limits>
#include <unordered_map>

#include "model/Geometry.h"

namespace {

constexpr int32_t noLine = std::numeric_limits<int32_t>::max();

// The nearest reached pin of a pin not reached yet; ties go to the lower reached pin.
struct Nearest {
    int32_t distance = noLine;
    int32_t from = -1;

    bool IsBeatenBy(int32_t d, int32_t pin) const
    {
        return d < distance || (d == distance && pin < from);
    }
};

} // namespace

std::vector<RatsLine> SpanPinClusters(const CNetPinArray& pins)
{
    std::vector<RatsLine> lines;
    const int32_t count = pins.GetSize();
    if (count == 0)
        return lines;

    const int32_t reached = pins[0].GetCluster();
    std::unordered_map<int32_t, std::vector<int32_t>> clusters;
    std::vector<int32_t> open; // pins not reached, ascending
    std::vector<int32_t> joined;
    for (int32_t i = 0; i < count; ++i) {
        if (pins[i].GetCluster() == reached) {
            joined.push_back(i);
        } else {
            clusters[pins[i].GetCluster()].push_back(i);
            open.push_back(i);
        }
    }

    std::vector<Nearest> nearest(static_cast<size_t>(count));
    std::vector<bool> isReached(size_t(count), false);
    while (!joined.empty()) {
        for (int32_t i : joined)
            isReached[size_t(i)] = true;
        std::erase_if(open, [&](int32_t j) { return isReached[size_t(j)]; });
        for (int32_t i : joined) {
            for (int32_t j : open) {
                const int32_t d = Distance(pins[i].x, pins[i].y, pins[j].x, pins[j].y);
                if (nearest[size_t(j)].IsBeatenBy(d, i))
                    nearest[size_t(j)] = {d, i};
            }
        }
        joined.clear();

        // The shortest line; equal lengths go to the lowest reached pin, then the lowest
        // other pin, which `open` lists in ascending order.
        int32_t best = -1;
        for (int32_t j : open) {
            const Nearest& n = nearest[size_t(j)];
            if (n.distance == noLine)
                continue;
            if (best < 0 || n.distance < nearest[size_t(best)].distance ||
                (n.distance == nearest[size_t(best)].distance &&
                 n.from < nearest[size_t(best)].from))
                best = j;
        }
        if (best < 0)
            break;
        const NetPinRec& from = pins[nearest[size_t(best)].from];
        lines.push_back({from.x, from.y, pins[best].x, pins[best].y});
        joined = std::move(clusters[pins[best].GetCluster()]);
    }
    return lines;
}
