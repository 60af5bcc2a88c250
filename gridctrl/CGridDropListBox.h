#pragma once

#include <QListWidget>

class CGridCtrl;

// The list a drop-list cell opens below itself. It closes when it loses the focus; a close
// without a choice marks the cell (-2, -2) so that the click that took the focus away does not
// open it again at once.
class CGridDropListBox : public QListWidget {
    Q_OBJECT

public:
    CGridDropListBox(CGridCtrl* grid, QWidget* parent, int* openCol, int* openRow, int typeIndex);

    void Choose();
    bool IsOpen() const { return m_open; }
    // The type that opened the list is going away: forget its open cell.
    void Detach()
    {
        m_openCol = nullptr;
        m_openRow = nullptr;
        m_closing = true;
    }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Close();

    CGridCtrl* m_grid;
    int* m_openCol;
    int* m_openRow;
    int m_typeIndex;
    bool m_open = false;
    bool m_chosen = false;
    bool m_closing = false;
};
