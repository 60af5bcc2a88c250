#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QFont>
#include <QFontMetrics>

#include "document/CTableRow.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridTriangleType.h"

class CViewCommandHost;

// The grid of a table window: one row per item of the design under headings taken from the
// string table, columns fitted to their texts, the rows sorted by a click on a heading. The
// subclass keeps the part of the document its rows come from, fills the rows in its OnGridSetup
// and says how two cells of the sort column compare.
class CTableGrid : public CGridCtrl {
    Q_OBJECT

public:
    // Parameters of the sort mark in the heading cell of the sort column.
    static constexpr int sortMarkAscending = 32;
    static constexpr int sortMarkDescending = CGridTriangleType::kPointUp;
    static constexpr COLORREF backColor = 0x00FFFFFF;

    explicit CTableGrid(CViewCommandHost& view, QWidget* parent = nullptr);
    ~CTableGrid() override;

    CViewCommandHost& GetView() const { return m_view; }
    // The id of the table window, which the grid's reports to the view carry.
    void SetDialogId(uint32_t id) { m_dialogId = id; }
    uint32_t GetDialogId() const { return m_dialogId; }
    // Tells the view that the design changed: it redraws the board and gives the focus back.
    void ReportChanged();

    // A comma list of the string table (headings) as its fields.
    static std::vector<std::string> SplitAtCommas(std::string_view text);

    // The texts go straight into the cells of the row, one text per column from column 0: a
    // text holding a comma or a quote stays whole in its own cell. Widens the columns' fitted
    // widths as needed.
    void SetRowTexts(int row, const std::vector<std::string>& texts);
    void SetText(int col, int row, const std::string& text);
    // The cell's text as design text.
    std::string GetText(int col, int row);
    // The first row whose cell in the column holds exactly the text becomes current; nothing
    // moves when no row does.
    void MoveToText(int col, const std::string& text);

    // The sort state: column, direction and whether a heading click sorts.
    int GetSortCol() const { return m_sortCol; }
    bool IsSortAscending() const { return m_ascending; }
    // Sorts by a column as a click on its heading does: a new column ascending, the sort
    // column the other way round.
    void SortOnHeading(int col);

    // The width and height the whole table needs: headings plus every column and row.
    int GetTableWidth() const;
    int GetTableHeight() const;

    int OnCanSizeRow(int /*row*/) override { return 0; }
    void OnFetchCell(int col, int row, CGridCell& cell) override;
    void OnHeadingClick(int col, int row, int down, const CRect& rect, CPoint point,
                        int processed) override;
    COLORREF OnGetBackColor(int /*section*/) override { return backColor; }

protected:
    // The settings every table shares, the sort state and one column per heading (the string
    // table's text, split at its commas), each as wide as its heading.
    void SetupColumns(uint32_t headingsId, int sortCol, bool ascending, bool sorting);
    // Rows for the table before they are filled.
    void SetRowCount(int rows);
    // As many rows as given, each cell with its text and, in its right-aligned columns, its
    // text to the right.
    void FillRows(const std::vector<CTableRow>& rows);
    // Every column as wide as its widest text plus a margin.
    void FitColumns();
    // The first columns stay in view when scrolling sideways; the row heading is hidden.
    void FinishSetup(int lockedCols);
    void SetSortMark(int col, bool shown);

    // The order rules the tables share. A missing first cell comes first; a missing second
    // cell last. Returns 2 when both cells are there and the rule has not decided.
    static int CompareMissing(const CGridCell* cell1, const CGridCell* cell2);
    // By the leading number of the texts; flags other than ascending reverse the order.
    static int CompareNumbers(const CGridCell& cell1, const CGridCell& cell2, int flags);
    // A missing cell first, then by the leading numbers.
    static int CompareNumberCells(const CGridCell* cell1, const CGridCell* cell2, int flags);
    // By the texts; an empty text after every other ascending, before them descending.
    static int CompareTexts(const CGridCell& cell1, const CGridCell& cell2, int flags);

private:
    int TextWidth(const QString& text) const;

    CViewCommandHost& m_view;
    uint32_t m_dialogId = 0;
    QFont m_font;
    QFontMetrics m_metrics;
    // Advances of the ASCII characters in the table font, measured once: the widths of a
    // large table's many texts are added up from them.
    std::array<int, 128> m_asciiAdvance{};
    CGridTriangleType m_sortMark;
    int m_sortMarkType = -1;
    int m_sortCol = 0;
    bool m_ascending = true;
    bool m_sorting = true;
    // The widest cell text of each column, kept while rows are filled.
    std::vector<int> m_widest;
};
