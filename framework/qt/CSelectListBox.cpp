#include "framework/qt/CSelectListBox.h"

#include <QKeyEvent>

int CSelectListBox::NextRowStartingWith(int from, QChar character) const
{
    const QString prefix(character);
    const int rows = count();
    for (int i = 1; i <= rows; ++i) {
        const int row = ((from < 0 ? -1 : from) + i) % rows;
        if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void CSelectListBox::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool commandKey =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (commandKey || text.isEmpty() || !text.front().isPrint()) {
        QListWidget::keyPressEvent(event);
        return;
    }
    const int row = NextRowStartingWith(currentRow(), text.front());
    if (row >= 0)
        setCurrentRow(row);
    event->accept();
    emit characterTyped();
}
