#include <QComboBox>

#include "dialogs/CEditTextDlg.h"
#include "dialogs/CInputSizesDlg.h"
#include "dialogs/CQtDialogService.h"
#include "model/LayerIds.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

using namespace dialog_test;

class CTextSizeDialogsTest : public QtApplicationTest {
protected:
    CQtDialogService service;
};

TEST_F(CTextSizeDialogsTest, InputSizesGivesBackOnOkAndEndsWithWindow)
{
    std::string width = "0.0000 inch";
    std::string height = width;
    WhenModal([](QWidget* dialog) {
        Type(dialog, CInputSizesDlg::idWidth, "0.5");
        Click(dialog, CInputSizesDlg::idWindow);
    });
    EXPECT_EQ(service.InputSizes(width, height), CDialogService::resultWindow);
    EXPECT_EQ(width, "0.0000 inch");

    WhenModal([](QWidget* dialog) {
        Type(dialog, CInputSizesDlg::idWidth, "0.5");
        Type(dialog, CInputSizesDlg::idHeight, "0.25");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.InputSizes(width, height), CDialogService::resultOk);
    EXPECT_EQ(width, "0.5");
    EXPECT_EQ(height, "0.25");
}

TEST_F(CTextSizeDialogsTest, EditTextOffersNeitherTheCommonNorTheDrillLayer)
{
    std::vector<std::string> names;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        names.push_back("L" + std::to_string(layer));
    std::string text = "T", size = "0.1000 inch", width = "0.0100 inch", rotation = "90.000";
    int32_t layer = LAYER_SILK_TOP;
    bool mirrored = false;
    WhenModal([](QWidget* dialog) {
        auto* layers = Find<QComboBox>(dialog, CEditTextDlg::idLayer);
        EXPECT_EQ(layers->count(), LAYER_COUNT - 2);
        EXPECT_EQ(layers->findText(QStringLiteral("L26")), -1);
        EXPECT_EQ(Text(dialog, CEditTextDlg::idLayer), "L21");
        layers->setCurrentIndex(layers->findText(QStringLiteral("L27")));
        Type(dialog, CEditTextDlg::idText, "NEW");
        Click(dialog, CEditTextDlg::idMirror);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.EditText(text, size, width, layer, mirrored, rotation, names),
              CDialogService::resultOk);
    EXPECT_EQ(text, "NEW");
    EXPECT_EQ(layer, 27);
    EXPECT_TRUE(mirrored);
    EXPECT_EQ(rotation, "90.000");
}

} // namespace
