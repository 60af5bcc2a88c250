#pragma once

#include <cstddef>
#include <span>

class CPlaneBuildDocument;
class CPour;

// Fills planes as Refill All and Refill Layer do: one after another in list order, each on the
// calling thread with its progress, its Cancel button and its messages. Cancel stops the whole
// refill: the planes after the cancelled one keep the fill they had, and the status bar names
// them. A plane keeps clear of
// the fills of earlier planes on its own layer only, but planes of different layers are still
// not filled at once: a big board's fill holds hundreds of megabytes of working state, and
// each fill's own stages share the work pool already.
class CPlaneRefill {
public:
    // `planes` are planes of `document`, in list order. Returns how many of them, from the
    // first, were built (the cancelled one included): the rest were left as they were.
    static size_t Run(CPlaneBuildDocument& document, std::span<CPour* const> planes);
};
