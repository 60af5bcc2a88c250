#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/CFieldRange.h"

class CDesign;
class CDocumentEditing;
class CDocumentWindows;
class CEditSession;
class CShapeLib;

// What the "Pens" dialog shows and changes: the pen (line width) table that fits the design's
// state (a shape library's, net 0's default track widths on a copper work layer, or the drawn
// lines'), listed by rows that each name their pen explicitly, with the edits of the dialog's
// buttons. Every change is made at once; the openers take an undo state before the dialog and
// undo on Cancel.
class CPenTables {
public:
    // A table never grows past this many entries (pen 0 included).
    static constexpr int32_t maxEntries = 15;
    // Widths typed outside this range are refused, and the user told.
    static constexpr int32_t minWidth = 503;
    static constexpr int32_t maxWidth = FieldRanges::widestPen;

    enum class Kind { library, copper, lines };

    // `library`: the library whose table is edited, nullptr for the design's own tables.
    // `allNets`: OK makes the chosen width current in every net (the default width setting).
    CPenTables(CDesign& design, const CEditSession& session, CDocumentEditing& editing,
               CDocumentWindows& windows, CShapeLib* library, bool allNets);

    Kind GetKind() const;
    // The display unit of the widths shown and typed.
    int32_t GetUnit() const;
    std::string GetTitle() const;
    // The pens listed, in table order: entry r is the table index of row r. Pen 0 is never
    // listed, and of net 0's table only the widths the current net may use.
    std::vector<int32_t> GetRows() const;
    // "%d,  %s,  %d": the row number from 1, the width as length text, the uses.
    std::string GetRowText(int32_t row) const;
    // The row of the table's current pen, -1 when it is not listed.
    int32_t GetCurrentRow() const;
    int32_t GetWidth(int32_t row) const;
    int32_t GetUseCount(int32_t row) const;
    bool CanAdd() const;
    bool CanDelete(int32_t row) const;

    // The row's pen becomes current (for the track or line being drawn too); in the Select
    // tool the selected lines and track segments take its width.
    void Select(int32_t row);
    // New: the width, in range and, on copper, brought into the current net's limits, joins
    // every table the list stands for. The row to select afterwards (-1 for none).
    int32_t Add(int32_t width);
    // Change: the row's width is replaced (after the user agreed to change pens in use).
    int32_t Change(int32_t row, int32_t width);
    // Delete: an unused pen leaves the table; the row to select afterwards.
    int32_t Delete(int32_t row);
    // OK: with the all-nets switch every net makes the row's width current.
    void Confirm(int32_t row);

private:
    const std::vector<uint16_t>& Table() const;
    int32_t PenOf(int32_t row) const;
    int32_t RowOfWidth(int32_t width) const;
    bool IsCurrentNetBoard() const;
    // The width in range, clamped to the current net's limits on copper; -1 when refused.
    // Either is said, with the limits named.
    int32_t Accept(int32_t width) const;
    int32_t AddCopper(int32_t width);
    int32_t ChangeCopper(int32_t oldWidth, int32_t width);
    void ReplaceLineWidth(int32_t oldWidth, int32_t width);
    void ReplaceLibraryWidth(int32_t oldWidth, int32_t width);

    CDesign& m_design;
    const CEditSession& m_session;
    CDocumentEditing& m_editing;
    CDocumentWindows& m_windows;
    CShapeLib* m_library;
    bool m_allNets;
};
