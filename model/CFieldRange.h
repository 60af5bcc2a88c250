#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The range of values a board uses for one numeric field of a design. The opening check names a
// value beyond it, so every dialog, table cell and tool that sets the field takes its limits from
// here: what the program makes, it opens again without a word.
class CFieldRange {
public:
    constexpr CFieldRange(int64_t low, int64_t high) : m_low(low), m_high(high) {}

    constexpr int64_t Low() const { return m_low; }
    constexpr int64_t High() const { return m_high; }
    constexpr bool Holds(int64_t value) const { return value >= m_low && value <= m_high; }
    // The range as a dialog shows it, relative to a user offset.
    constexpr CFieldRange Less(int64_t offset) const { return {m_low - offset, m_high - offset}; }

    // A length typed in the display unit: the length when the range holds it; otherwise the
    // user is told, with the field and the range named, and nothing is given. A length beyond
    // what a board unit count holds is refused, not cut to it.
    std::optional<int32_t> TakeLength(int32_t unit, std::string_view text,
                                      const std::string& field) const;
    // The same for a length already in board units.
    std::optional<int32_t> TakeLength(int32_t unit, int64_t length, const std::string& field) const;
    // The same for a length read from `typed` by a reading of the caller's own: the message
    // shows the text as typed, which may lie beyond what a length text can show.
    std::optional<int32_t> TakeLength(int32_t unit, int64_t length, std::string_view typed,
                                      const std::string& field) const;
    // An angle typed in degrees (1/1000 degree in the range).
    std::optional<int32_t> TakeAngle(std::string_view text, const std::string& field) const;
    // A whole number typed, read as atoi reads it (clamped to the int range).
    std::optional<int32_t> TakeCount(std::string_view text, const std::string& field) const;
    // A number the caller made of what was typed, `typed` saying how.
    std::optional<int32_t> TakeCount(int64_t count, std::string_view typed,
                                     const std::string& field) const;

    // Tells the user that what was typed into the field (blanks and tabs around it left out)
    // was not taken, and why.
    static void Refuse(const std::string& field, std::string_view typed, const std::string& why);

private:
    std::optional<int32_t> Take(int64_t value, const std::string& field, const std::string& typed,
                                const std::string& low, const std::string& high) const;

    int64_t m_low;
    int64_t m_high;
};

// The ranges of the design's fields, one for each kind of value.
namespace FieldRanges {

// Coordinates at or beyond 2^30 on either side put two points further apart than a board unit
// count can say.
inline constexpr int64_t coordinate = (int64_t(1) << 30) - 1;
// A turn either way, in 1/1000 degree.
inline constexpr int64_t turn = 360000;
// The widest pen the pen tables offer.
inline constexpr int32_t widestPen = 65511;

inline constexpr CFieldRange position{-coordinate, coordinate};
// Board sizes and grid spacings: a board or grid without extent is none.
inline constexpr CFieldRange extent{1, coordinate};
// Text sizes, net widths and clearances, plane spaces.
inline constexpr CFieldRange length{0, coordinate};
// Angles that may be turned either way without being brought into one turn.
inline constexpr CFieldRange eitherTurn{-turn, turn};
// Angles kept within one turn.
inline constexpr CFieldRange oneTurn{0, turn - 1};
// The angles of pads and vias on the board: turned forward they wrap into one turn, and a
// whole turn stays one, so that a pad turned round keeps the angle it was turned by.
inline constexpr CFieldRange padTurn{0, turn};
inline constexpr CFieldRange linePen{0, widestPen};
// A net draws with its widest pen: pen 0 lifts it.
inline constexpr CFieldRange netPen{1, widestPen};

} // namespace FieldRanges
