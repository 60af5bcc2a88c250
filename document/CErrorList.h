#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CDesign;
class CDocumentWindows;
class CEditSession;
class CViewState;

// The rows of the bottom pane: one per error record of the nets' checks, and the way the board
// view is put on a chosen error.
class CErrorList {
public:
    static constexpr int32_t columnCount = 10;
    using Columns = std::array<std::string, columnCount>;

    // Where each column starts, in pixels, and its heading.
    static const std::array<int32_t, columnCount>& ColumnX();
    static const Columns& Headings();
    // Where each column starts when it shows `rows` and the headings: at its place, or further
    // right when the widest text of the column before it (by `width`) and `gap` pixels reach
    // past it, so that two values never run together.
    static std::array<int32_t, columnCount>
    ColumnStarts(const std::vector<Columns>& rows,
                 const std::function<int32_t(const std::string&)>& width, int32_t gap);

    // Number (from 1), layer name, then for each of the two objects its net, text and position
    // in the document's unit. Empty texts for a record the list does not hold.
    static Columns RowTexts(const CDesign& design, const CEditSession& session, int32_t record);

    // The track Edit tool on the error's layer, its first net current, the cursor on its first
    // position at a scale of at most 400 and the board view centred there. False, changing
    // nothing, for a record the list does not hold.
    static bool GoToError(CDesign& design, CEditSession& session, CViewState& view,
                          CDocumentWindows& windows, int32_t record);
};
