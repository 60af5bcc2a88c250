#pragma once

#include <functional>
#include <memory>

class CCommandTarget;
class CPrintout;

// Print (after the print dialog), Print Direct and Print Preview of one view, each on a fresh
// printout of the view, with their update twins.
class CPrintoutCommands {
public:
    using Factory = std::function<std::unique_ptr<CPrintout>()>;

    // The commands are enabled while `enabled` says so.
    static void Register(CCommandTarget& target, Factory make, std::function<bool()> enabled);
};
