#pragma once

#include <cstdint>
#include <string>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRuntimeClass.h"

class CArchive;

// One clearance or connectivity violation between two items of the board, for example a track
// of one net too close to a pad of another. The checks create them; the net list owns them and
// draws each as a line between its two points. They live in memory only.
class CNetErrorRec : public CObject {
    WEVRA_DECLARE_SERIAL(CNetErrorRec)

public:
    // One side of the violation: "Track", "Via" or "Pad <padstack>(<pad>)", the item's net and
    // the point where it comes too close (on a track, its point nearest the other item).
    struct Item {
        std::string text;
        int32_t net = 0;
        CPoint position;

        bool operator==(const Item&) const = default;
    };

    static constexpr int32_t defaultKind = 1;

    CNetErrorRec() = default;
    CNetErrorRec(const Item& first, const Item& second) : m_first(first), m_second(second) {}

    int32_t GetKind() const { return m_kind; }
    void SetKind(int32_t kind) { m_kind = kind; }
    const Item& GetFirst() const { return m_first; }
    Item& GetFirst() { return m_first; }
    const Item& GetSecond() const { return m_second; }
    Item& GetSecond() { return m_second; }

    // The same two positions, in the same order or swapped: the same violation seen from
    // either side.
    bool HasSamePositions(const CNetErrorRec& other) const;
    // Moves both positions, saturating at the board unit's range.
    void Offset(int32_t dx, int32_t dy);

    // Kind, then text, net and position of the first item and of the second.
    void Serialize(CArchive& ar) override;

private:
    int32_t m_kind = defaultKind;
    Item m_first;
    Item m_second;
};
