#include "framework/CCommandRouter.h"

#include "framework/CCommandTarget.h"
#include "framework/CFailureGuard.h"

CCommandRouter::CCommandRouter(ChainProvider chain) : m_chain(std::move(chain)) {}

std::vector<const CCommandTarget*> CCommandRouter::Chain() const
{
    return m_chain ? m_chain() : std::vector<const CCommandTarget*>();
}

CCmdUI CCommandRouter::Query(uint32_t id) const
{
    CCmdUI ui;
    ui.id = id;
    const std::vector<const CCommandTarget*> chain = Chain();
    for (const CCommandTarget* target : chain)
        if (target != nullptr && target->Update(ui))
            return ui;
    ui.enabled = IsHandled(id);
    return ui;
}

bool CCommandRouter::IsHandled(uint32_t id) const
{
    for (const CCommandTarget* target : Chain())
        if (target != nullptr && target->HasHandler(id))
            return true;
    return false;
}

bool CCommandRouter::Execute(uint32_t id) const
{
    if (!Query(id).enabled)
        return false;
    bool ran = false;
    CFailureGuard::Run([&] {
        for (const CCommandTarget* target : Chain()) {
            if (target != nullptr && target->Execute(id)) {
                ran = true;
                return;
            }
        }
    });
    return ran;
}
