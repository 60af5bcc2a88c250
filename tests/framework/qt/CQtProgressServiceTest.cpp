#include "framework/qt/CQtProgressService.h"

#include <QDialog>
#include <QDialogButtonBox>
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
        EXPECT_EQ(dialog->findChild<QProgressBar*>("progressBar")->value(), 1);
        EXPECT_EQ(LabelText(dialog, "percentText"), "25%");
        EXPECT_EQ(LabelText(dialog, "statusText"), QString::fromUtf8("Ma\xC3\x9F 1"));

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

} // namespace
