#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include "framework/qt/CQtText.h"
#include "tests/framework/qt/QtApplicationTest.h"

// Controls of a dialog found by their control id, as a user would fill them.
namespace dialog_test {

template <class Control> Control* Find(QWidget* dialog, int32_t id)
{
    auto* control = dialog->findChild<Control*>(QString::number(id));
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control;
}

inline std::string Text(QWidget* dialog, int32_t id)
{
    QWidget* control = Find<QWidget>(dialog, id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return CQtText::ToDesignText(edit->text());
    if (auto* label = qobject_cast<QLabel*>(control))
        return CQtText::ToDesignText(label->text());
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return CQtText::ToDesignText(combo->currentText());
    ADD_FAILURE() << "control " << id << " holds no text";
    return {};
}

// Types `text` into the edit, leaving it as a user's focus change would.
inline void Type(QWidget* dialog, int32_t id, const std::string& text)
{
    auto* edit = Find<QLineEdit>(dialog, id);
    if (edit == nullptr)
        return;
    edit->setFocus();
    edit->setText(CQtText::FromDesignText(text));
    emit edit->editingFinished();
}

inline void Click(QWidget* dialog, int32_t id)
{
    if (auto* button = Find<QAbstractButton>(dialog, id))
        button->click();
}

// In a list dialog: selects the one row ending in `row` and presses the button `ok`.
inline void ChooseRow(QWidget* dialog, int32_t listId, const QString& row, int32_t ok)
{
    auto* list = Find<QListWidget>(dialog, listId);
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found = list->findItems(row, Qt::MatchEndsWith);
    ASSERT_EQ(found.size(), 1) << row.toStdString();
    list->setCurrentItem(found.front());
    Click(dialog, ok);
}

} // namespace dialog_test
