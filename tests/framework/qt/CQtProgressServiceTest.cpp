#include "framework/qt/CQtProgressService.h"

#include <cstdint>
#include <string>

#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include "framework/CProgDlg.h"
#include "framework/CServices.h"
#include "tests/framework/qt/QtApplicationTest.h"

namespace {

class CQtProgressServiceTest : public QtApplicationTest {
protected:
    CQtProgressServiceTest() : m_previous(CServices::SetProgress(&m_service)) {}
    ~CQtProgressServiceTest() override { CServices::SetProgress(m_previous); }

    static QString LabelText(QDialog* dialog, const char* name)
    {
        return dialog->findChild<QLabel*>(name)->text();
    }

    // The label's text once the events have been handled for a while: the dialog shows a
    // change a moment after it is made.
    static QString ShownText(QDialog* dialog, const char* name, const QString& expected)
    {
        QElapsedTimer waited;
        waited.start();
        while (LabelText(dialog, name) != expected && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return LabelText(dialog, name);
    }

    CQtProgressService m_service;
    CProgressService* m_previous;
};

TEST_F(CQtProgressServiceTest, ShowsProgressModallyAndCancelOnlyRaisesTheFlag)
{
    QPointer<QDialog> dialog;
    {
        CProgDlg progress;
        ASSERT_TRUE(progress.Create());
        dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(LabelText(dialog, "percentText"), " 0 %");

        progress.SetTitle("Generating GERBER RS-274X files");
        progress.SetRange(0, 4);
        progress.SetStep(1);
        progress.StepIt();
        progress.SetStatus("Ma\xDF 1");
        EXPECT_EQ(dialog->windowTitle(), "Generating GERBER RS-274X files");
        EXPECT_EQ(ShownText(dialog, "percentText", "25%"), "25%");
        EXPECT_EQ(ShownText(dialog, "statusText", QString::fromUtf8("Ma\xC3\x9F 1")),
                  QString::fromUtf8("Ma\xC3\x9F 1"));
        EXPECT_EQ(dialog->findChild<QProgressBar*>("progressBar")->value(), 1);

        QPushButton* cancel =
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        cancel->click();
        cancel->click();
        EXPECT_TRUE(progress.CheckCancelButton());
        EXPECT_FALSE(progress.CheckCancelButton());

        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dialog, &escape);
        dialog->close();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(progress.CheckCancelButton());
        EXPECT_FALSE(progress.CheckCancelButton());
        EXPECT_TRUE(CProgDlg::IsAnyRunning());
    }
    EXPECT_TRUE(dialog.isNull());
    EXPECT_FALSE(CProgDlg::IsAnyRunning());
}

// Counts the paints of a widget.
class CPaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }

    int paints = 0;
};

// A long operation steps and names its step tens of thousands of times a second: the dialog
// must not paint for each (a fill spent most of its time repainting the status line), yet must
// show the last text and bar position, and still see Cancel.
TEST_F(CQtProgressServiceTest, ABurstOfStepsIsShownAFewTimesASecondAndEndsShowingTheLastState)
{
    CProgDlg progress;
    ASSERT_TRUE(progress.Create());
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    CPaintCounter counter;
    dialog->findChild<QLabel*>("statusText")->installEventFilter(&counter);

    constexpr int32_t steps = 5000;
    progress.SetRange(0, steps);
    progress.SetStep(1);
    for (int32_t k = 1; k <= steps; ++k) {
        progress.StepIt();
        progress.SetStatus("Add line " + std::to_string(k));
        EXPECT_FALSE(progress.CheckCancelButton());
    }
    EXPECT_LT(counter.paints, steps / 10);
    EXPECT_EQ(ShownText(dialog, "statusText", "Add line 5000"), "Add line 5000");
    EXPECT_EQ(ShownText(dialog, "percentText", "100%"), "100%");
    EXPECT_EQ(dialog->findChild<QProgressBar*>("progressBar")->value(), steps);

    // A press that waits in the event queue is seen within the steps that follow.
    QPushButton* cancel = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::QueuedConnection);
    bool seen = false;
    QElapsedTimer waited;
    waited.start();
    while (!seen && waited.elapsed() < 5000) {
        progress.StepIt();
        seen = progress.CheckCancelButton();
    }
    EXPECT_TRUE(seen);
}

} // namespace
