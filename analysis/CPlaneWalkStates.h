#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the boundary walk of a plane fill has set out from, along which guide, with the polygon
// point it set out from and how many guides it had visited then: a walk that sets out the same
// way again goes round a loop. Every step of every walk asks once, so the states lie in one
// block, and forgetting them costs as many as were noted, however many an earlier walk took.
class CPlaneWalkStates {
public:
    struct Mark {
        int32_t point;
        size_t visited;
    };

    // Notes the state with its mark, unless it was noted before: then the first mark is given
    // and nothing changes. Null for a new state.
    const Mark* Note(int32_t guide, int32_t x, int32_t y, const Mark& mark);
    // Forgets every state, keeping the room.
    void Clear();
    // Forgets every state and lets the room go.
    void Release();

    size_t GetCount() const { return m_used.size(); }

private:
    struct Slot {
        int32_t guide = empty;
        int32_t x = 0;
        int32_t y = 0;
        Mark mark{};
    };
    static constexpr int32_t empty = -1;

    static size_t Hash(int32_t guide, int32_t x, int32_t y);
    void Grow();

    // A power of two long, at most half full.
    std::vector<Slot> m_slots;
    // The slots in use, in the order they were taken.
    std::vector<size_t> m_used;
};
