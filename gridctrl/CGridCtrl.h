#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QPen>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/ColorRef.h"
#include "gridctrl/CGridCell.h"

class QMenu;
class QPainter;
class CGridCellArea;
class CGridCellType;
class CGridCornerButton;
class CGridDataSource;
class CGridEdit;
class CGridHintWnd;
class CGridHScroll;
class CGridSheetInfo;
class CGridSheetTabs;
class CGridSideHeading;
class CGridTopHeading;
class CGridVScroll;

// Sections of the grid, as hooks and the popup menu name them.
enum GridSection : int {
    GS_CELLAREA = 1,
    GS_TOPHEADING = 2,
    GS_SIDEHEADING = 3,
    GS_CORNER = 4,
    GS_HSCROLL = 5,
    GS_VSCROLL = 6,
    GS_TABS = 7
};

// Results of the grid's operations.
inline constexpr int GRID_OK = 0;
inline constexpr int GRID_OUT_OF_RANGE = 1;
inline constexpr int GRID_REFUSED = 2;

// Sort flags.
inline constexpr int GRID_SORT_ASCENDING = 1;
inline constexpr int GRID_SORT_DESCENDING = 2;

// Cell-type events sent to OnCellTypeEvent.
inline constexpr int GRID_EVENT_CHECKBOX = 53;
inline constexpr int GRID_EVENT_DROPLIST_OPEN = 100;
inline constexpr int GRID_EVENT_DROPLIST_CHOICE = 101;

// Key actions per axis: one back, one forward, a page back, a page forward, first, last.
enum GridMoveCode : int {
    GM_BACK = 0,
    GM_FORWARD = 1,
    GM_PAGE_BACK = 2,
    GM_PAGE_FORWARD = 3,
    GM_FIRST = 4,
    GM_LAST = 5
};

// The program's own spreadsheet-like window. It stores no cell values: each cell is fetched
// from the sheet's data source every time it is drawn, read or changed. A table window is a
// subclass that overrides the hooks (the On... members) and never touches the child windows.
// Rows and columns count from 0; negative columns are the row heading's columns (-1 next to
// the cells), negative rows the column heading's rows, (-1, -1) the corner button.
class CGridCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Takes over the place of a placeholder widget of a dialog, lays out and runs the setup
    // hooks. 1 on success, 0 without a placeholder inside a parent.
    int CreateFromDialogItem(QWidget* placeholder);
    // The same inside `parent` at `rect`.
    int Create(QWidget* parent, const CRect& rect);

    // Cells.
    int GetCell(int col, int row, CGridCell& cell);
    // Fetches the cell and gives the type that draws it.
    CGridCellType* FetchCell(int col, int row, CGridCell& cell);
    int SetCell(int col, int row, const CGridCell& cell);
    QString GetCellText(int col, int row);
    int SetCellText(int col, int row, const QString& text);
    int SetCellLabel(int col, int row, const QString& label);
    int SetCellBackColor(int col, int row, COLORREF color);
    int SetCellAlignment(int col, int row, uint16_t alignment);
    int SetCellTypeIndex(int col, int row, int index);
    int SetCellTypeParam(int col, int row, int param);
    // The default cell of a column (the sheet's for headings and unknown columns).
    CGridCell* GetColDefault(int col);

    // Rows, columns and their sizes.
    int SetNumberRows(int count, int redraw = 1);
    int GetNumberRows() const;
    int SetNumberCols(int count, int redraw = 1);
    int GetNumberCols() const;
    int AppendRow();
    int AppendCol();
    int SetColWidth(int col, int width);
    int GetColWidth(int col) const;
    int SetDefRowHeight(int height);
    int GetRowHeight(int row) const;
    int SetRowHeight(int row, int height);
    int SetUniformRowHeight(int on);
    int SetTopHeadingHeight(int height);
    int SetSideHeadingWidth(int width);
    int SetSideHeadingColCount(int count);
    int SetSideHeadingColWidth(int col, int width);
    int SetTopHeadingRowHeight(int row, int height);
    int GetTopHeadingRowHeight(int row) const;
    int BestFit(int firstCol, int lastCol, int rows, int flags);
    int LockColumns(int count);
    int LockRows(int count);
    int MoveColumn(int from, int to, int before);

    // Sheet settings.
    int AddDataSource(CGridDataSource* source);
    int SetDefFont(const QFont* font);
    int SetSheetMode(int mode);
    int SetSheetOption(int on);
    int SetVScrollMode(int mode);
    int SetHScrollMode(int mode);
    void EnablePopupMenu(int on);
    int SetNumberSheets(int count);
    int GetNumberSheets() const { return int(m_sheets.size()); }
    int SetSheetNumber(int index, int redraw = 1);
    int GetSheetNumber() const { return m_currentSheet; }
    CGridSheetInfo* GetSheet() const { return m_sheet; }

    // Cell types.
    int AddCellType(CGridCellType* type);
    // Index 0, a negative or an unknown index gives the default type.
    CGridCellType* GetCellType(int index) const;

    // Cursor and view.
    int MoveToCell(int col, int row);
    int GetCurrentCol() const;
    int GetCurrentRow() const;
    int GetTopRow() const;
    int GetLeftCol() const;
    int MoveCurrentRow(int row);
    int MoveCurrentCol(int col);
    int MoveTopRow(int row);
    int MoveLeftCol(int col);
    int CurrentRowAction(int code);
    int CurrentColAction(int code);
    int TopRowAction(int code);
    int LeftColAction(int code);

    // In-cell editing of the selection cell; a first key of 1 or more is typed into the edit.
    int StartEdit(uint32_t key = 0);
    bool IsEditing() const { return m_editing; }
    CGridEdit* GetEdit() const { return m_edit; }
    // Ends the edit that lost the focus to `focus`; the edit calls it.
    void EditLostFocus(QWidget* focus, Qt::FocusReason reason);
    // A continue key in the edit: the edit ends and goes on at (col + colStep, row + rowStep);
    // Esc (cancel) ends it without storing. The focus goes back to the grid either way.
    void EditKeyEnd(int colStep, int rowStep, bool cancel);
    int GetEditCol() const { return m_editCol; }
    int GetEditRow() const { return m_editRow; }

    // Redrawing.
    void RedrawAll();
    void RedrawCell(int col, int row);

    // Popup menu.
    void ClearMenu();
    int AddMenuItem(int id, const QString& text);
    int ShowPopupMenu(int col, int row, const QPoint& screenPoint, int section);
    QMenu* GetPopupMenu() const { return m_menu; }

    // Find and sort; grid columns are mapped to source columns first.
    int FindFirst(const QString& text, int& col, int& row, int flags);
    int FindNext(const QString& text, int& col, int& row, int flags);
    int SortBy(int col, int flags);
    int SortByColumns(const int* cols, int count, int flags);

    // A find/replace dialog attached to the grid reports its requests here.
    struct FindRequest {
        enum Action { FindNext, Replace, ReplaceAll, Closing };
        Action action = FindNext;
        QString findText;
        QString replaceText;
        bool wholeWord = false;
        bool matchCase = false;
        bool down = true;
    };
    void AttachFindDialog(QWidget* dialog) { m_findDialog = dialog; }
    void AttachFindWindow(QWidget* window) { m_findWindow = window; }
    void SetSearchWholeSheet(int on) { m_searchWholeSheet = on; }
    int OnFindReplace(const FindRequest& request);

    // Geometry in the windows that show the cells: x and width of a column in the cell area
    // (or the row heading for negative columns), y and height of a row likewise; false when
    // the column (row) is not in view.
    bool GetColSpan(int col, int& x, int& width) const;
    bool GetRowSpan(int row, int& y, int& height) const;
    bool GetCellRect(int col, int row, CRect& rect) const;
    // The cell of the cell area under a point; false outside every cell.
    bool CellFromPoint(CPoint point, int& col, int& row) const;
    // The column under x (the row under y) of the cell area, or -1.
    int ColFromX(int x) const;
    int RowFromY(int y) const;

    // Child windows.
    CGridCellArea* GetCellArea() const { return m_cellArea; }
    CGridTopHeading* GetTopHeading() const { return m_topHeading; }
    CGridSideHeading* GetSideHeading() const { return m_sideHeading; }
    CGridCornerButton* GetCornerButton() const { return m_corner; }
    CGridSheetTabs* GetSheetTabs() const { return m_tabs; }
    CGridVScroll* GetVScroll() const { return m_vScroll; }
    CGridHScroll* GetHScroll() const { return m_hScroll; }
    CGridHintWnd* GetHintWnd() const { return m_hint; }
    const QPen& GetHighlightPen() const { return m_highlightPen; }
    const QPen& GetShadowPen() const { return m_shadowPen; }

    void Layout();

    // Hooks.
    virtual void OnSetFocus(int /*section*/) {}
    virtual void OnGridSetup() {}
    virtual void OnSheetSetup(int /*sheet*/) {}
    virtual int OnCanMoveCell(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/)
    {
        return 1;
    }
    virtual int OnCanScroll(int /*a*/, int /*b*/, int /*c*/, int /*d*/) { return 1; }
    virtual void OnPastLastRow(int /*rowCount*/, int /*wanted*/, int /*answer*/) {}
    virtual int OnCanSizeCol(int /*col*/) { return 1; }
    virtual void OnColSizing(int /*col*/, int& /*width*/) {}
    virtual void OnColSized(int /*col*/, int& /*width*/) {}
    virtual int OnCanSizeRow(int /*row*/) { return 1; }
    virtual void OnRowSizing(int /*row*/, int& /*height*/) {}
    virtual void OnRowSized(int /*row*/, int& /*height*/) {}
    virtual int OnCanSizeTopHeading() { return 1; }
    virtual int OnCanSizeSideHeading() { return 1; }
    virtual int OnTopHeadingSizing(int& /*height*/) { return 1; }
    virtual int OnSideHeadingSizing(int& /*width*/) { return 1; }
    virtual int OnTopHeadingSized(int /*height*/) { return 1; }
    virtual int OnSideHeadingSized(int /*width*/) { return 1; }
    virtual void OnColChange(int /*oldCol*/, int /*newCol*/) {}
    virtual void OnRowChange(int /*oldRow*/, int /*newRow*/) {}
    virtual void OnCellChange(int /*oldCol*/, int /*newCol*/, int /*oldRow*/, int /*newRow*/) {}
    virtual void OnLeftColChange(int /*oldCol*/, int /*newCol*/) {}
    virtual void OnTopRowChange(int /*oldRow*/, int /*newRow*/) {}
    virtual void OnCellClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                             CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnCellRClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                              CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnCellDoubleClick(int /*col*/, int /*row*/, const CRect& /*rect*/,
                                   CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnCellMouseMove(int /*col*/, int /*row*/, CPoint /*point*/, int /*keyFlags*/,
                                 int /*processed*/)
    {
    }
    virtual void OnHeadingClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                                CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnHeadingRClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                                 CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnHeadingDoubleClick(int /*col*/, int /*row*/, const CRect& /*rect*/,
                                      CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnSideHeadingClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                                    CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnSideHeadingRClick(int /*col*/, int /*row*/, int /*down*/, const CRect& /*rect*/,
                                     CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnSideHeadingDoubleClick(int /*col*/, int /*row*/, const CRect& /*rect*/,
                                          CPoint /*point*/, int /*processed*/)
    {
    }
    virtual void OnCornerClick(int /*down*/, const CRect& /*rect*/, CPoint /*point*/,
                               int /*processed*/)
    {
    }
    virtual void OnCornerRClick(int /*down*/, const CRect& /*rect*/, CPoint /*point*/,
                                int /*processed*/)
    {
    }
    virtual void OnCornerDoubleClick(const CRect& /*rect*/, CPoint /*point*/, int /*processed*/) {}
    virtual void OnKeyDown(uint32_t& /*key*/, int /*processed*/) {}
    virtual void OnCharTyped(uint32_t& /*ch*/, int /*processed*/) {}
    virtual void OnFetchCell(int /*col*/, int /*row*/, CGridCell& /*cell*/) {}
    virtual void OnStoreCell(int /*col*/, int /*row*/, CGridCell& /*cell*/) {}
    // `value` carries the check box's new state, `text` the drop list's choice.
    virtual int OnCellTypeEvent(int /*typeIndex*/, int /*col*/, int /*row*/, int /*message*/,
                                int /*value*/, const QString& /*text*/)
    {
        return 1;
    }
    virtual int OnEditPlace(int /*col*/, int /*row*/, QWidget*& /*edit*/) { return 1; }
    virtual int OnEditKey(int /*col*/, int /*row*/, QWidget* /*edit*/, uint32_t& /*ch*/)
    {
        return 1;
    }
    virtual int OnEditFinish(int /*col*/, int /*row*/, QWidget* /*edit*/, const QString& /*text*/,
                             bool /*cancelled*/)
    {
        return 1;
    }
    virtual int OnEditContinue(int /*col*/, int /*row*/, int& /*nextCol*/, int& /*nextRow*/)
    {
        return 1;
    }
    virtual void OnPopupCommand(int /*col*/, int /*row*/, int /*section*/, int /*id*/) {}
    virtual int OnPopupOpen(int /*col*/, int /*row*/, int /*section*/) { return 1; }
    virtual int OnHintText(int col, int row, int section, QString& text);
    virtual int OnVScrolled(int /*row*/, QString& /*text*/) { return 1; }
    virtual int OnHScrolled(int /*col*/, QString& /*text*/) { return 1; }
    virtual int OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags);
    virtual void OnSectionPainted(int /*section*/) {}
    virtual void OnLayoutChildren(CRect& /*cellArea*/, CRect& /*topHeading*/,
                                  CRect& /*sideHeading*/, CRect& /*corner*/, CRect& /*vScroll*/,
                                  CRect& /*hScroll*/, CRect& /*tabs*/)
    {
    }
    virtual void OnSheetTabEvent(int /*value*/) {}
    virtual COLORREF OnGetBackColor(int section);
    virtual void OnDrawFocusRect(QPainter& painter, const CRect& rect);
    virtual void OnKillFocus(int /*section*/) {}
    virtual int OnCanHeadingButton(int /*col*/) { return 1; }
    virtual int OnHeadingButtonUp(int /*from*/, int /*to*/) { return 1; }
    virtual void OnMoveFindWindow(CRect& /*window*/, const CRect& /*cell*/) {}

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateChildren();
    void PointChildrenAtSheet();
    CGridDataSource* SourceOf(int col, int& sourceCol) const;
    template <class Apply> int ChangeCell(int col, int row, Apply apply);
    int RowHeightAt(int row) const;
    void RecomputeLimits();
    int LastFullyVisibleRowFrom(int top) const;
    int LastFullyVisibleColFrom(int left) const;
    int TopRowShowing(int row) const;
    int LeftColShowing(int col) const;
    int CheckRowRange(int& row, bool keyboard);
    int ScrollAllowed(int oldLeft, int oldTop, int newLeft, int newTop);
    void Notify();
    void KeepFindWindowClear();
    int RowPageTarget(int from, int direction) const;
    int ColPageTarget(int from, int direction) const;
    void UpdateChildren();
    bool EndEdit();
    void ContinueEdit(int nextCol, int nextRow);
    void RebuildPens();

    std::vector<std::unique_ptr<CGridCellType>> m_builtInTypes;
    std::vector<CGridCellType*> m_cellTypes;
    CGridCell m_scratch;
    std::vector<std::unique_ptr<CGridSheetInfo>> m_sheets;
    int m_currentSheet = 0;
    CGridSheetInfo* m_sheet = nullptr;
    std::vector<CGridDataSource*> m_dataSources;

    CGridCellArea* m_cellArea = nullptr;
    CGridTopHeading* m_topHeading = nullptr;
    CGridSideHeading* m_sideHeading = nullptr;
    CGridCornerButton* m_corner = nullptr;
    CGridSheetTabs* m_tabs = nullptr;
    CGridVScroll* m_vScroll = nullptr;
    CGridHScroll* m_hScroll = nullptr;
    CGridHintWnd* m_hint = nullptr;
    CGridEdit* m_edit = nullptr;
    QMenu* m_menu = nullptr;
    int m_menuCol = 0;
    int m_menuRow = 0;
    int m_menuSection = 0;

    bool m_editing = false;
    bool m_ending = false;
    bool m_editCancelled = false;
    bool m_editContinue = false;
    int m_editCol = -1;
    int m_editRow = -1;
    QPointer<QWidget> m_editWnd;

    QPointer<QWidget> m_findDialog;
    QPointer<QWidget> m_findWindow;
    int m_searchWholeSheet = 0;
    bool m_findActive = false;

    QPen m_highlightPen;
    QPen m_shadowPen;
    bool m_redrawEnabled = true;
    bool m_destroying = false;
};
