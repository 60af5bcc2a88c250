#include <string>

#include "dialogs/CPcbInfoDlg.h"
#include "dialogs/CQtDialogService.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

using namespace dialog_test;

class CQtDialogServiceTest : public QtApplicationTest {
protected:
    CQtDialogService service;
};

TEST_F(CQtDialogServiceTest, PcbInfoShowsTheSummaryItIsGiven)
{
    EXPECT_TRUE(service.Offers(CDialogService::Dialog::pcbInfo));
    std::string shown[5];
    WhenModal([&shown](QWidget* dialog) {
        int i = 0;
        for (int32_t id :
             {CPcbInfoDlg::idBoardXSize, CPcbInfoDlg::idBoardYSize, CPcbInfoDlg::idComponents,
              CPcbInfoDlg::idComponentPins, CPcbInfoDlg::idNets})
            shown[i++] = Text(dialog, id);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("PCB-design Info"));
        EXPECT_EQ(dialog->findChild<QWidget*>(QString::number(CWevraDialog::idCancel)), nullptr);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.PcbInfo("160.000 mm.", "100.000 mm.", "12", "48", "7"),
              CDialogService::resultOk);
    EXPECT_EQ(shown[0], "160.000 mm.");
    EXPECT_EQ(shown[1], "100.000 mm.");
    EXPECT_EQ(shown[2], "12");
    EXPECT_EQ(shown[3], "48");
    EXPECT_EQ(shown[4], "7");
}

} // namespace
