#pragma once

#include <QListWidget>

// The list of the list picker: a typed character moves the selection to the next entry that
// begins with it (case ignored, wrapping round; the selection stays when none does) and then
// reports that a character was typed, so that one keystroke picks an entry.
class CSelectListBox : public QListWidget {
    Q_OBJECT

public:
    using QListWidget::QListWidget;

    // The row of the next entry after `from` that begins with the character, wrapping round;
    // -1 when none does.
    int NextRowStartingWith(int from, QChar character) const;

signals:
    void characterTyped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
