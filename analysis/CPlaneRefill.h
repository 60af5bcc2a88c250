#pragma once

#include <span>

class CPlaneBuildDocument;
class CPour;

// Fills planes as Refill All and Refill Layer do, each as if in list order. A plane keeps clear
// only of the fills of earlier planes on its own layer, so the planes of different layers are
// filled at once: those of the first layer on the calling thread, with their progress and
// messages as ever, each other layer's on a thread of its own, whose messages follow once all
// are done, layer by layer. Each fill's own stages share the work pool. With one thread of work
// the planes are filled one after another.
class CPlaneRefill {
public:
    // `planes` are planes of `document`, in list order.
    static void Run(CPlaneBuildDocument& document, std::span<CPour* const> planes);
};
