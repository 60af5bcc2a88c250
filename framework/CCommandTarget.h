#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "framework/CCmdUI.h"

// Something that handles commands: a window, a document or the application. Each registers a
// handler per command id (or range of ids) and, optionally, an update handler that enables,
// checks or renames the command's items. The router asks the targets of its chain in order.
class CCommandTarget {
public:
    using Handler = std::function<void(uint32_t id)>;
    using UpdateHandler = std::function<void(CCmdUI& ui)>;

    virtual ~CCommandTarget();

    void OnCommand(uint32_t id, std::function<void()> handler);
    void OnCommandRange(uint32_t first, uint32_t last, Handler handler);
    void OnUpdate(uint32_t id, UpdateHandler handler);
    void OnUpdateRange(uint32_t first, uint32_t last, UpdateHandler handler);

    bool HasHandler(uint32_t id) const;
    bool HasUpdateHandler(uint32_t id) const;
    // Runs the handler; false when there is none.
    bool Execute(uint32_t id) const;
    // Runs the update handler; false when there is none.
    bool Update(CCmdUI& ui) const;

private:
    // Keyed by the last id of the range; the first id is kept with the handler.
    template <typename T> using RangeMap = std::map<uint32_t, std::pair<uint32_t, T>>;

    template <typename T>
    static void Add(RangeMap<T>& map, uint32_t first, uint32_t last, T handler);
    template <typename T> static const T* Find(const RangeMap<T>& map, uint32_t id);

    const Handler* FindHandler(uint32_t id) const;
    const UpdateHandler* FindUpdate(uint32_t id) const;

    RangeMap<Handler> m_handlers;
    RangeMap<UpdateHandler> m_updates;
};
