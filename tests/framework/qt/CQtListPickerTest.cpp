#include "framework/qt/CQtListPicker.h"

#include <functional>
#include <string>
#include <vector>

#include <QKeyEvent>
#include <QMouseEvent>

#include "framework/qt/CSelectListBox.h"
#include "resources/CommandIds.h"
#include "tests/framework/qt/QtApplicationTest.h"

namespace {

using CQtListPickerTest = QtApplicationTest;

void Press(QWidget* widget, Qt::Key key, const QString& text = {})
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &event);
}

void DoubleClick(CSelectListBox* list, int row)
{
    const QPointF at = list->visualItemRect(list->item(row)).center();
    const QPointF global = list->viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    }
}

TEST_F(CQtListPickerTest, OneKeystrokeOrDoubleClickPicksAndNothingSelectedIsCancel)
{
    struct Case {
        const char* what;
        int32_t initial;
        std::function<void(CSelectListBox*)> action;
        int32_t picked;
    };
    const Case cases[] = {
        {"typed b", 0, [](CSelectListBox* l) { Press(l, Qt::Key_B, "b"); }, 1},
        {"typed b on Bravo wraps", 2, [](CSelectListBox* l) { Press(l, Qt::Key_B, "b"); }, 1},
        {"typed z keeps the entry", 0, [](CSelectListBox* l) { Press(l, Qt::Key_Z, "z"); }, 0},
        {"typed z with none selected", -1, [](CSelectListBox* l) { Press(l, Qt::Key_Z, "z"); }, -1},
        {"double click", 0, [](CSelectListBox* l) { DoubleClick(l, 3); }, 3},
        {"Enter with none selected", -1, [](CSelectListBox* l) { Press(l, Qt::Key_Return, "\r"); },
         -1},
        {"Esc", 2, [](CSelectListBox* l) { Press(l, Qt::Key_Escape); }, -1},
    };
    const std::vector<std::string> entries = {"Alpha", "beta", "Bravo", "Charlie"};
    for (const Case& c : cases) {
        CQtListPicker picker;
        WhenModal([&c](QWidget* dialog) {
            auto* list = dialog->findChild<CSelectListBox*>();
            ASSERT_NE(list, nullptr);
            c.action(list);
        });
        EXPECT_EQ(picker.PickFromList("Select", entries, c.initial, 0), c.picked) << c.what;
    }
}

TEST_F(CQtListPickerTest, F1AsksForTheHelpOfTheCommand)
{
    CQtListPicker picker;
    std::vector<int32_t> contexts;
    picker.SetHelpHandler([&contexts](int32_t context) { contexts.push_back(context); });
    WhenModal([](QWidget* dialog) {
        QWidget* list = dialog->findChild<CSelectListBox*>();
        Press(list, Qt::Key_F1);
        EXPECT_TRUE(dialog->isVisible());
        Press(list, Qt::Key_Escape);
    });
    EXPECT_EQ(picker.PickFromList("Copy Shape", {"Cache"}, 0, ID_COMPONENTS_EDIT_SHAPE_LIBRARY),
              -1);
    EXPECT_EQ(contexts, (std::vector<int32_t>{0x10000 + ID_COMPONENTS_EDIT_SHAPE_LIBRARY}));
}

} // namespace
