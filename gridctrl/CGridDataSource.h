#pragma once

#include <cstdint>

class QString;
class QWidget;
class CGridCell;
class CGridCtrl;

// Where a grid sheet (or one of its columns) keeps its cells. The grid fetches every cell from
// here each time it draws, reads or changes it. The bodies here are harmless defaults: -1 for
// an operation that is not supported, 1 (allow) for the checks.
class CGridDataSource {
public:
    virtual ~CGridDataSource() = default;

    CGridCtrl* GetGrid() const { return m_grid; }
    void SetGrid(CGridCtrl* grid) { m_grid = grid; }
    int32_t GetId() const { return m_id; }
    void SetId(int32_t id) { m_id = id; }

    virtual int AppendRow() { return -1; }
    virtual int InsertRow(int /*row*/) { return -1; }
    virtual int AppendCol() { return -1; }
    virtual int InsertCol(int /*col*/) { return -1; }
    virtual int DeleteRow(int /*row*/) { return -1; }
    virtual int DeleteCol(int /*col*/) { return -1; }
    virtual int DeleteCell(int /*col*/, int /*row*/) { return -1; }
    virtual int DeleteAll() { return -1; }
    // Merges the stored properties into `cell`; non-zero leaves `cell` as it was.
    virtual int GetCell(int /*col*/, int /*row*/, CGridCell& /*cell*/) { return -1; }
    virtual int SetCell(int /*col*/, int /*row*/, const CGridCell& /*cell*/) { return -1; }
    // Flags: 1 substring, 2 ignore case, 4 backwards, 8 every column. 0 with the cell found.
    virtual int FindFirst(const QString& /*text*/, int& /*col*/, int& /*row*/, int /*flags*/)
    {
        return -1;
    }
    virtual int FindNext(const QString& /*text*/, int& /*col*/, int& /*row*/, int /*flags*/)
    {
        return -1;
    }
    virtual int SortByColumns(const int* /*cols*/, int /*count*/, int /*flags*/) { return -1; }
    virtual int SortBy(int col, int flags) { return SortByColumns(&col, 1, flags); }
    virtual int OnAddRowsRequest(int /*rowCount*/, int /*wanted*/, int& /*answer*/) { return -1; }
    virtual void OnRowChanged(int /*oldRow*/, int /*newRow*/) {}
    virtual void OnColChanged(int /*oldCol*/, int /*newCol*/) {}
    // Anything but 1 refuses.
    virtual int OnCanMoveCell(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/)
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
    // The nearest cell left of `col` in the row holding a text: 0 with its column, else 1.
    virtual int FindSpillSource(int& /*col*/, int /*row*/) { return -1; }

private:
    CGridCtrl* m_grid = nullptr;
    int32_t m_id = -1;
};
