#include "framework/qt/CQtMessageService.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "tests/framework/qt/QtApplicationTest.h"

namespace {

using CQtMessageServiceTest = QtApplicationTest;

// A message naming a file shows the name as it is on disk; other messages are Windows-1252.
TEST_F(CQtMessageServiceTest, FileMessagesShowTheFileNameAsWritten)
{
    CQtMessageService service;
    QString text;
    QString caption;
    auto readAndAnswer = [&text, &caption](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        box->button(QMessageBox::No)->click();
    };

    WhenModal(readAndAnswer);
    EXPECT_EQ(service.FileMessageBox("Save changes to /d/\xE5\x9B\xBE/Gr\xC3\xB6\xC3\x9F"
                                     "e \xE2\x80\x93 1.PCB?",
                                     "Gr\xC3\xB6\xC3\x9F"
                                     "e \xE2\x80\x93 1",
                                     MB_YESNOCANCEL),
              IDNO);
    EXPECT_EQ(text, QString::fromUtf8("Save changes to /d/图/Größe – 1.PCB?"));
    EXPECT_EQ(caption, QString::fromUtf8("Größe – 1"));

    WhenModal(readAndAnswer);
    EXPECT_EQ(service.MessageBox("Net \xC4"
                                 "1 \x96 GND",
                                 "Wevra", MB_YESNO),
              IDNO);
    EXPECT_EQ(text, QString::fromUtf8("Net Ä1 – GND"));

    // A question whose Yes may cost data: Enter answers No.
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
        box->defaultButton()->click();
    });
    EXPECT_EQ(service.MessageBox("Delete?", "Wevra", MB_YESNO_DEFAULTNO), IDNO);
}

} // namespace
