#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/CFieldRange.h"

class CDesign;
class CShapeLib;

// The numeric fields of the records of a design file (and of the shape libraries it carries),
// each with the range of values a board uses and what opening a file does with a value beyond
// it. The file format allows every value a field can hold, so opening keeps what the file has:
// a value beyond the range is named, or, for the few fields whose reader mends them, repaired
// and said by the reader. The opening check reads this table, so that a field added here is
// checked everywhere a design or library is opened.
//
// Fields that take every value they can hold are not listed: colours, flag and lock bits,
// names' lengths (checked by the reader), and what loading computes again (boxes, cluster
// stamps, selection counts, pin positions).
class CDesignFields {
public:
    // What opening does with a value beyond the range.
    enum class Beyond {
        named,    // kept as the file has it, and named
        repaired, // the reader puts a usable value in its place and says so
    };

    // A call of a function object that the caller keeps alive: the check visits every track
    // point of a board, and a std::function would be copied, or allocated, for each.
    template <typename Signature> class Call;
    template <typename Result, typename... Arguments> class Call<Result(Arguments...)> {
    public:
        template <typename Function>
        Call(const Function& function)
            : m_function(&function), m_call([](const void* f, Arguments... arguments) -> Result {
                  return (*static_cast<const Function*>(f))(arguments...);
              })
        {
        }
        Result operator()(Arguments... arguments) const { return m_call(m_function, arguments...); }

    private:
        const void* m_function;
        Result (*m_call)(const void*, Arguments...);
    };

    // The item that holds a value ("Net GND point 2"), made only for a value that is named.
    using Item = Call<std::string()>;
    // One value of the field, with its item.
    using Visit = Call<void(int64_t value, const Item& item)>;

    template <typename Holder> struct Field {
        const char* record;
        const char* name;
        int64_t low;
        int64_t high;
        Beyond beyond;
        // Every value of the field in the holder.
        void (*each)(const Holder& holder, const Visit& visit);
        // Sets the field of every item that holds it, as a damaged file would have it.
        void (*set)(Holder& holder, int64_t value);
    };
    using DesignField = Field<CDesign>;
    using LibraryField = Field<CShapeLib>;

    // The ends of the coordinate range and one turn, as the dialogs and tools take them.
    static constexpr int64_t coordinate = FieldRanges::coordinate;
    static constexpr int64_t turn = FieldRanges::turn;

    // The fields of the design's own records, then those of each shape library (the design's
    // shape cache among them).
    static const std::vector<DesignField>& Design();
    static const std::vector<LibraryField>& Library();

    // One line for each value of a named field beyond its range, in table order; `prefix`
    // names the library in a shape library file.
    static void AddLines(const CDesign& design, std::vector<std::string>& lines);
    static void AddLines(const CShapeLib& library, const std::string& prefix,
                         std::vector<std::string>& lines);
};
