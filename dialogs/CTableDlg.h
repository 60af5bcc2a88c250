#pragma once

#include <cstdint>

#include <QString>

#include "dialogs/CWevraDialog.h"

class CTableGrid;
class CViewCommandHost;

// The modeless window of a table: it hosts the table's grid over its whole client area, opens
// as large as the table (never beyond the screen's free area) and reports to the board view
// that opened it: its dialog id with ID_TABLE_CLOSED when it closes, with ID_DRAW_REDRAW when
// it changed the design. The view then destroys it or redraws. F1 opens the help page of the
// command that opened it.
class CTableDlg : public CWevraDialog {
    Q_OBJECT

public:
    CTableDlg(uint32_t dialogId, uint32_t commandId, const QString& title, CViewCommandHost& view,
              QWidget* parent = nullptr);
    ~CTableDlg() override;

    uint32_t GetDialogId() const { return m_dialogId; }
    CTableGrid* GetGrid() const { return m_grid; }
    // Sizes the window to the table: the client area as large as the table with a small
    // margin, room for a scroll bar where the table does not fit, and never larger than the
    // screen's free area.
    void FitHostToGrid();

    // Esc and a closed window both end the table, as the close button does.
    void reject() override;

protected:
    // The grid takes the place of a placeholder (it builds its rows there) and the window is
    // fitted to it. The dialog owns the grid, which carries the placeholder's id.
    void HostGrid(CTableGrid* grid, int32_t placeholderId);

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    uint32_t m_dialogId;
    CViewCommandHost& m_view;
    CTableGrid* m_grid = nullptr;
};
