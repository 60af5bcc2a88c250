#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "document/CEditSession.h"
#include "editor/CMainFrame.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CDialogService.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

// Room a window manager takes from a title bar for the icon and the window buttons.
constexpr int titleBarButtons = 120;

// Commands that end the program or the design, or wait on a printer.
const std::set<uint32_t> notRun = {ID_FILE_CLOSE, ID_FILE_EXIT, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT,
                                   ID_FILE_PRINT_PREVIEW};

// An "&" that is no "&&" makes the next letter a mnemonic.
bool HasMnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return true;
        ++i;
    }
    return false;
}

void CollectCommands(const QList<QAction*>& actions, std::vector<QAction*>& commands)
{
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            emit menu->aboutToShow();
            CollectCommands(menu->actions(), commands);
        } else if (CQtCommandBinder::CommandOf(*action) != 0) {
            commands.push_back(action);
        }
    }
}

// Every dialog the menus of a design window open, as the user sees it: a label shows an
// ampersand only where it underlines the key that moves to the label's control, the title bar
// has room for the whole title, and no text names another desktop.
class CDialogLabelsTest : public CDemoWindowTest {
protected:
    CDialogLabelsTest() : CDemoWindowTest("wevra_dialog_labels_test") {}

    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QObject::connect(&m_guard, &QTimer::timeout, [this] { InspectAndClose(); });
        m_guard.start(5);
    }
    void TearDown() override
    {
        m_guard.stop();
        CDemoWindowTest::TearDown();
    }

    void RunMenus()
    {
        std::vector<QAction*> commands;
        CollectCommands(frame->menuBar()->actions(), commands);
        std::set<uint32_t> done;
        for (QAction* action : commands) {
            const uint32_t id = CQtCommandBinder::CommandOf(*action);
            if (notRun.contains(id) || !done.insert(id).second)
                continue;
            if (!frame->GetRouter().Query(id).enabled)
                continue;
            frame->GetRouter().Execute(id);
            QApplication::processEvents();
            if (frame->GetDocTemplate().GetActiveDocument() != document)
                return;
            document->Session().SetMode(ID_VIEW);
            document->Session().SelectAll(false);
        }
    }

    std::set<std::string> seen;
    std::vector<std::string> faults;

private:
    void Inspect(QWidget& window)
    {
        const std::string name = window.metaObject()->className();
        const QString title = window.windowTitle();
        if (!seen.insert(name + " " + title.toStdString()).second)
            return;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (!label->isVisibleTo(&window) || label->textFormat() == Qt::RichText ||
                Qt::mightBeRichText(label->text()))
                continue;
            if (HasMnemonic(label->text()) && label->buddy() == nullptr)
                faults.push_back(name + ": the label \"" + label->text().toStdString() +
                                 "\" shows its ampersand");
            NoWindows(name, label->text());
        }
        for (const QGroupBox* group : window.findChildren<QGroupBox*>())
            NoWindows(name, group->title());
        for (const QListWidget* list : window.findChildren<QListWidget*>()) {
            for (int row = 0; row < list->count(); ++row)
                NoWindows(name, list->item(row)->text());
        }
        NoWindows(name, title);
        QFont titleFont = window.font();
        titleFont.setBold(true);
        const int needed = QFontMetrics(titleFont).horizontalAdvance(title) + titleBarButtons;
        if (window.width() < needed)
            faults.push_back(name + ": the title \"" + title.toStdString() + "\" is cut at " +
                             std::to_string(window.width()) + " pixels");
    }

    // The program runs on this desktop, not on the one its texts once named.
    void NoWindows(const std::string& name, const QString& text)
    {
        if (text.contains(QStringLiteral("Windows")))
            faults.push_back(name + ": \"" + text.toStdString() + "\" names Windows");
    }

    void InspectAndClose()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible())
                continue;
            Inspect(*dialog);
            dialog->reject();
        }
    }

    QTimer m_guard;
};

TEST_F(CDialogLabelsTest, EveryDialogShowsItsLabelsAndTitleWhole)
{
    RunMenus();
    document->Session().SelectAll(true);
    RunMenus();
    // Dialogs that tools open on a click rather than from a menu.
    CDialogService& dialogs = CDialogService::Get();
    std::string first = "1";
    std::string second = "2";
    std::string columns = "2";
    std::string rows = "2";
    std::string increment = "1";
    dialogs.BorderSize({"1", "2"}, first);
    dialogs.CopyArray(first, second, columns, rows, increment);
    dialogs.InputSizes(first, second);
    int32_t x = 0;
    int32_t y = 0;
    dialogs.Position("Input Position", 0, x, y);
    QApplication::processEvents();

    for (const std::string& fault : faults)
        ADD_FAILURE() << fault;
    EXPECT_GE(seen.size(), 38u) << "dialogs opened";
}

} // namespace
