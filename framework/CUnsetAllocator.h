#pragma once

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// The allocator of lists that are sized first and written in full afterwards, on the work
// pool's threads: an element made without a value (resize, the size constructor) is left as
// the memory holds it, and the first thread that writes a page takes its first touch. A
// vector of a big board's millions of elements would otherwise clear them all on one thread
// before any is written. Elements made from a value are made as with std::allocator.
template <class T> class CUnsetAllocator : public std::allocator<T> {
public:
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "an unset element must become a value by being written over");

    template <class U> struct rebind {
        using other = CUnsetAllocator<U>;
    };

    CUnsetAllocator() = default;
    template <class U> CUnsetAllocator(const CUnsetAllocator<U>&) noexcept {}

    template <class U> void construct(U*) noexcept {}
    template <class U, class... Args> void construct(U* place, Args&&... args)
    {
        std::construct_at(place, std::forward<Args>(args)...);
    }
};

// A list of such elements.
template <class T> using CUnsetVector = std::vector<T, CUnsetAllocator<T>>;

template <class T, class U>
bool operator==(const CUnsetAllocator<T>&, const CUnsetAllocator<U>&) noexcept
{
    return true;
}
