#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/CCmdUI.h"

class CCommandTarget;

// Routes commands by their numeric id through a chain of targets, most specific first (board
// view, document, child frame, main frame, application). The chain is asked anew for every
// command, so it follows the active window.
//
// The update pass gives a command's state: the first target in the chain with an update
// handler for it decides; without one the command is enabled exactly when some target handles
// it. Execute runs that pass first and never runs a disabled command, whatever sent it (menu,
// toolbar, accelerator or another command).
class CCommandRouter {
public:
    using ChainProvider = std::function<std::vector<const CCommandTarget*>()>;

    explicit CCommandRouter(ChainProvider chain = {});

    void SetChain(ChainProvider chain) { m_chain = std::move(chain); }

    CCmdUI Query(uint32_t id) const;
    // True when the command ran; false when it is disabled, nobody handles it, or it threw and
    // the installed failure guard abandoned it.
    bool Execute(uint32_t id) const;
    // Whether some target of the chain has a handler for the command, enabled or not.
    bool IsHandled(uint32_t id) const;

private:
    std::vector<const CCommandTarget*> Chain() const;

    ChainProvider m_chain;
};
