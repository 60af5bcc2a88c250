#pragma once

#include <functional>
#include <string>

// The last line of defence: a command or an event handler that throws (out of memory, a broken
// invariant) is abandoned instead of ending the program with every unsaved design. The editor
// installs the guard that takes the active design back to where the work began and tells the
// user; without a guard an exception passes on.
class CFailureGuard {
public:
    virtual ~CFailureGuard();

    // Work is about to start; Begin and End or Abandon nest as the work does.
    virtual void Begin() = 0;
    // The work since the matching Begin returned.
    virtual void End() = 0;
    // The work since the matching Begin threw; `reason` says why, in words for the user.
    virtual void Abandon(const std::string& reason) = 0;

    // Installs the guard (nullptr for none) and returns the previous one.
    static CFailureGuard* Set(CFailureGuard* guard);
    // Runs `work` under the installed guard. False when it threw and was abandoned.
    static bool Run(const std::function<void()>& work);
};
