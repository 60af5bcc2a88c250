#pragma once

#include <QPlainTextEdit>

class CGridCtrl;

// The in-cell editor: a multi-line edit that grows with its text. Tab, Enter, Up and Down end
// the edit and go on in the next cell; Esc ends it without storing; losing the focus ends it.
class CGridEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CGridEdit(CGridCtrl* grid);

    // Called when editing starts on a cell of this size.
    void Begin(int cellWidth, int cellHeight);
    void AutoGrow();

    bool m_cancelled = false;
    bool m_continue = false;
    int m_nextCol = -1;
    int m_nextRow = -1;
    int m_lastKey = 0;
    int m_autoGrow = 1;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void ContinueTo(int colStep, int rowStep);
    bool IsOneLineHigh() const;

    CGridCtrl* m_grid;
    int m_startWidth = 0;
    int m_startHeight = 0;
    bool m_growing = false;
};
