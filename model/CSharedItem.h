#pragma once

#include <memory>
#include <utility>

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
