#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "framework/CWorkPool.h"

// An item of a design collection that copies of the collection share until one of them
// changes it: an undo snapshot of a big board then costs a pointer per item, and an edit copies
// only the items it touches.
//
// Non-const access is taken as the intent to change. When the item is shared, the holder that
// asks keeps the very object (its address does not change, so pointers and references into the
// live design stay good) and every other holder is handed an equal copy in its place.
// The rule that follows: a pointer to an item that a collection copy may share must not be
// written through unless non-const access was taken after the copy was made. The collections
// copy their selected items at once for that reason, as edits write what is selected.
template <typename T> class CSharedItem {
public:
    CSharedItem() = default;
    // Takes the item over.
    CSharedItem(std::unique_ptr<T> item) // NOLINT(google-explicit-constructor): a drop-in owner.
    {
        if (item)
            m_cell = std::make_shared<Cell>(Cell{std::move(item)});
    }
    CSharedItem(const CSharedItem&) = default;
    CSharedItem(CSharedItem&&) noexcept = default;
    CSharedItem& operator=(const CSharedItem&) = default;
    CSharedItem& operator=(CSharedItem&&) noexcept = default;
    ~CSharedItem() = default;

    T* get()
    {
        Own();
        return m_cell ? m_cell->item.get() : nullptr;
    }
    const T* get() const { return m_cell ? m_cell->item.get() : nullptr; }
    T* operator->() { return get(); }
    const T* operator->() const { return get(); }
    T& operator*() { return *get(); }
    const T& operator*() const { return *get(); }
    explicit operator bool() const { return m_cell && m_cell->item; }

    // Stands for the item as this holder shares it: two holders with the same identity hold the
    // very same, unchanged item; null when empty.
    const void* Identity() const { return m_cell.get(); }
    // Whether another holder shares the item.
    bool IsShared() const { return m_cell && m_cell.use_count() > 1; }
    // The item as an owner of its own; the others keep their copy.
    std::unique_ptr<T> Release()
    {
        Own();
        std::unique_ptr<T> item = m_cell ? std::move(m_cell->item) : nullptr;
        m_cell.reset();
        return item;
    }

    // A copy of a collection of `count` items, item i being keep(i), made side by side on the
    // work pool in runs of at least `alone` items: a big board's collections hold tens of
    // thousands, each looked into.
    template <typename Keep>
    static std::vector<CSharedItem> CopyEach(std::size_t count, std::size_t alone, const Keep& keep)
    {
        std::vector<CSharedItem> copy(count);
        CWorkPool::Shared().ForEachRun(count, alone,
                                       [&](std::size_t, std::size_t first, std::size_t last) {
                                           for (std::size_t i = first; i < last; ++i)
                                               copy[i] = keep(i);
                                       });
        return copy;
    }
    // Brings `kept`, a copy of `live` as long, to keep(i) at each item i that it no longer shares
    // with `live` or that renew(i) asks for, and returns the items it lets go. One still shared
    // is unchanged: a write to it would have given the live list an item of its own.
    template <typename Renew, typename Keep>
    static std::vector<CSharedItem>
    ShareAgain(std::vector<CSharedItem>& kept, const std::vector<CSharedItem>& live,
               std::size_t alone, const Renew& renew, const Keep& keep)
    {
        std::vector<std::vector<CSharedItem>> parts(CWorkPool::RunCount(kept.size(), alone));
        CWorkPool::Shared().ForEachRun(
            kept.size(), alone, [&](std::size_t run, std::size_t first, std::size_t last) {
                for (std::size_t i = first; i < last; ++i) {
                    if (kept[i].Identity() == live[i].Identity() && !renew(i))
                        continue;
                    // Made first: should it fail, the slot keeps the item it had.
                    CSharedItem fresh = keep(i);
                    parts[run].push_back(std::move(kept[i]));
                    kept[i] = std::move(fresh);
                }
            });
        return CWorkPool::Joined(std::move(parts));
    }

private:
    struct Cell {
        std::unique_ptr<T> item;
    };

    void Own()
    {
        if (!IsShared() || !m_cell->item)
            return;
        // The copy is made first: should it fail, every holder keeps what it had.
        auto copy = std::make_unique<T>(*m_cell->item);
        auto mine = std::make_shared<Cell>();
        mine->item = std::move(m_cell->item);
        m_cell->item = std::move(copy);
        m_cell = std::move(mine);
    }

    std::shared_ptr<Cell> m_cell;
};
