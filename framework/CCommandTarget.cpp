#include "framework/CCommandTarget.h"

CCommandTarget::~CCommandTarget() = default;

template <typename T>
void CCommandTarget::Add(RangeMap<T>& map, uint32_t first, uint32_t last, T handler)
{
    // A later registration replaces every range it overlaps, so lookups never see two.
    for (auto it = map.lower_bound(first); it != map.end() && it->second.first <= last;)
        it = map.erase(it);
    map[last] = {first, std::move(handler)};
}

template <typename T> const T* CCommandTarget::Find(const RangeMap<T>& map, uint32_t id)
{
    auto it = map.lower_bound(id);
    if (it == map.end() || it->second.first > id)
        return nullptr;
    return &it->second.second;
}

const CCommandTarget::Handler* CCommandTarget::FindHandler(uint32_t id) const
{
    return Find(m_handlers, id);
}

const CCommandTarget::UpdateHandler* CCommandTarget::FindUpdate(uint32_t id) const
{
    return Find(m_updates, id);
}

bool CCommandTarget::HasHandler(uint32_t id) const
{
    return FindHandler(id) != nullptr;
}

bool CCommandTarget::HasUpdateHandler(uint32_t id) const
{
    return FindUpdate(id) != nullptr;
}

void CCommandTarget::OnCommand(uint32_t id, std::function<void()> handler)
{
    Add<Handler>(m_handlers, id, id, [handler = std::move(handler)](uint32_t) { handler(); });
}

void CCommandTarget::OnCommandRange(uint32_t first, uint32_t last, Handler handler)
{
    Add(m_handlers, first, last, std::move(handler));
}

void CCommandTarget::OnUpdate(uint32_t id, UpdateHandler handler)
{
    Add(m_updates, id, id, std::move(handler));
}

void CCommandTarget::OnUpdateRange(uint32_t first, uint32_t last, UpdateHandler handler)
{
    Add(m_updates, first, last, std::move(handler));
}

bool CCommandTarget::Execute(uint32_t id) const
{
    const Handler* handler = FindHandler(id);
    if (handler == nullptr)
        return false;
    // A copy: the handler may replace itself (or destroy its target's other handlers).
    Handler call = *handler;
    call(id);
    return true;
}

bool CCommandTarget::Update(CCmdUI& ui) const
{
    const UpdateHandler* handler = FindUpdate(ui.id);
    if (handler == nullptr)
        return false;
    (*handler)(ui);
    return true;
}
