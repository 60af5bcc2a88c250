#include "framework/qt/CQtListPicker.h"

#include <utility>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QString>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"
#include "framework/qt/CSelectListBox.h"

namespace {

constexpr int32_t helpContextBase = 0x10000;

// F1 reaches the dialog from whichever of its controls has the focus.
class CSelectDialog : public QDialog {
public:
    CSelectDialog(QWidget* parent, std::function<void()> onHelp)
        : QDialog(parent), m_onHelp(std::move(onHelp))
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            m_onHelp();
            return;
        }
        QDialog::keyPressEvent(event);
    }

private:
    std::function<void()> m_onHelp;
};

} // namespace

int32_t CQtListPicker::PickFromList(const std::string& title,
                                    const std::vector<std::string>& entries, int32_t initial,
                                    int32_t helpCommandId)
{
    CSelectDialog dialog(QApplication::activeWindow(), [this, helpCommandId] {
        if (m_helpHandler)
            m_helpHandler(helpContextBase + helpCommandId);
    });
    dialog.setWindowTitle(CQtText::FromDesignText(title));

    auto* list = new CSelectListBox(&dialog);
    list->setObjectName("selectList");
    for (const std::string& entry : entries)
        list->addItem(CQtText::FromDesignText(entry));
    if (initial >= 0 && size_t(initial) < entries.size())
        list->setCurrentRow(initial);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);

    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    QObject::connect(list, &CSelectListBox::characterTyped, &dialog, &QDialog::accept);

    list->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : int32_t(selected.front().row());
}
