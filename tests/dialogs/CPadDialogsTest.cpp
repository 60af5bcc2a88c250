#include <QListWidget>

#include "dialogs/CCenterTextDlg.h"
#include "dialogs/CCompTextDlg.h"
#include "dialogs/CCopyArrayDlg.h"
#include "dialogs/CDisplayCompTextDlg.h"
#include "dialogs/CPadArrayCircDlg.h"
#include "dialogs/CPadArrayRectDlg.h"
#include "dialogs/CPadInfoDlg.h"
#include "dialogs/CPensDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CRotationDlg.h"
#include "dialogs/CSelectPadDlg.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CPadArrays.h"
#include "document/CPenTables.h"
#include "document/CWevraDoc.h"
#include "model/CDrawRecArray.h"
#include "model/CLengthText.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

using namespace dialog_test;

class CPadDialogsTest : public QtApplicationTest {
protected:
    void SetUp() override { doc.Design().SetUnit(CLengthText::unitInch); }

    CFakeServices services;
    CQtDialogService service;
    CWevraDoc doc;
};

TEST_F(CPadDialogsTest, PadArraysShowTheirPresetsAndGiveBackOnlyOnOk)
{
    CDialogService::CircPadArray circle = CPadArrays::CircularPresets(doc.Session());
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CPadArrayCircDlg::idRadius), "0.5000 inch");
        EXPECT_EQ(Text(dialog, CPadArrayCircDlg::idLastAngle), "360.000");
        Type(dialog, CPadArrayCircDlg::idCount, "4");
        Click(dialog, CPadArrayCircDlg::idIncrementRotation);
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.PadArrayCirc(circle), CDialogService::resultCancel);
    EXPECT_EQ(circle.count, "12");
    EXPECT_FALSE(circle.incrementRotation);

    WhenModal([](QWidget* dialog) {
        Type(dialog, CPadArrayCircDlg::idCount, "4");
        Click(dialog, CPadArrayCircDlg::idIncrementRotation);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.PadArrayCirc(circle), CDialogService::resultOk);
    EXPECT_EQ(circle.count, "4");
    EXPECT_TRUE(circle.incrementRotation);

    CDialogService::RectPadArray rect = CPadArrays::RectangularPresets(doc.Session());
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CPadArrayRectDlg::idXCount), "8");
        EXPECT_EQ(Text(dialog, CPadArrayRectDlg::idYDistance), "0.1000 inch");
        Type(dialog, CPadArrayRectDlg::idArrayRotation, "90");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.PadArrayRect(rect), CDialogService::resultOk);
    EXPECT_EQ(rect.arrayRotation, "90");
}

TEST_F(CPadDialogsTest, SmallDialogsTakeTheirValuesBackOnOk)
{
    std::string angle = "12.345";
    bool absolute = false;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CRotationDlg::idAngle), "12.345");
        Type(dialog, CRotationDlg::idAngle, "90");
        Click(dialog, CRotationDlg::idAbsolute);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.Rotation(angle, absolute), CDialogService::resultOk);
    EXPECT_EQ(angle, "90");
    EXPECT_TRUE(absolute);

    std::string x = "2.0000 inch", y = x, columns = "2", rows = "2", increment = "100";
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CCopyArrayDlg::idIncrement), "100");
        Find<QComboBox>(dialog, CCopyArrayDlg::idIncrement)->setCurrentIndex(0);
        Type(dialog, CCopyArrayDlg::idRows, "3");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CopyArray(x, y, columns, rows, increment), CDialogService::resultOk);
    EXPECT_EQ(rows, "3");
    EXPECT_EQ(increment, "0");

    int32_t display = 2;
    bool markers = false;
    WhenModal([](QWidget* dialog) {
        Click(dialog, CPadInfoDlg::idFirstChoice + 5);
        Click(dialog, CPadInfoDlg::idMarkers);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.PadInfo(display, markers), CDialogService::resultOk);
    EXPECT_EQ(display, 5);
    EXPECT_TRUE(markers);

    bool reference = true, shape = false, type = false;
    WhenModal([](QWidget* dialog) {
        Click(dialog, CDisplayCompTextDlg::idType);
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.DisplayCompText(reference, shape, type), CDialogService::resultCancel);
    EXPECT_FALSE(type);

    std::array<std::string, 3> sizes = {"0.0400 inch", "0.0400 inch", "0.0400 inch"};
    std::array<std::string, 3> pens = {"0.0080 inch", "0.0080 inch", "0.0080 inch"};
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CCompTextDlg::idPens[2]), "0.0080 inch");
        Type(dialog, CCompTextDlg::idSizes[1], "0.05");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompText(sizes, pens), CDialogService::resultOk);
    EXPECT_EQ(sizes[1], "0.05");
    EXPECT_EQ(sizes[0], "0.0400 inch");

    bool centreReference = true, centreType = true, centreShape = true;
    WhenModal([](QWidget* dialog) {
        Click(dialog, CCenterTextDlg::idShape);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CenterText(centreReference, centreType, centreShape),
              CDialogService::resultOk);
    EXPECT_TRUE(centreReference && centreType);
    EXPECT_FALSE(centreShape);
}

bool ScriptedWidth(QWidget*, const char*, std::string& width)
{
    width = "0.0200";
    return true;
}

TEST_F(CPadDialogsTest, PensListTheTableAndDeletingTheFirstSelectsTheNewFirst)
{
    doc.Session().SetWorkLayer(LAYER_DRAWING_1);
    doc.Design().GetLines().SetPenTable({0, 1000, 2000});
    const CPensDlg::WidthEntry previous = CPensDlg::SetWidthEntry(&ScriptedWidth);
    CPenTables pens(doc.Design(), doc.Session(), doc.Editing(), doc.Windows(), nullptr, false);
    CPensDlg dialog(pens);
    auto* list = Find<QListWidget>(&dialog, CPensDlg::idList);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("2,  0.0078 inch,  0"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Line Width"));

    Click(&dialog, CPensDlg::idNew);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(pens.GetWidth(list->currentRow()), 5120);

    list->setCurrentRow(0);
    Click(&dialog, CPensDlg::idDelete);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(doc.Design().GetLines().GetPenTable(), (std::vector<uint16_t>{0, 2000, 5120}));
    CPensDlg::SetWidthEntry(previous);
}

TEST_F(CPadDialogsTest, SelectPadAddsStandardPadsAndMakesTheChosenOneTheDefault)
{
    CPadStackArray& table = doc.Design().GetEditableShapeCache().GetPadStacks();
    const int32_t before = table.GetCount();
    CSelectPadDlg dialog(doc, PADSTACK_KIND_VIA);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Via"));
    auto* standard = Find<QComboBox>(&dialog, CSelectPadDlg::idStandard);
    ASSERT_GT(standard->count(), 0);
    EXPECT_FALSE(Find<QWidget>(&dialog, CSelectPadDlg::idAddToCache)->isEnabled());
    standard->setCurrentIndex(0);
    emit standard->activated(0);
    Click(&dialog, CSelectPadDlg::idAddToCache);
    ASSERT_EQ(table.GetCount(), before + 1);
    EXPECT_TRUE(table.IsVia(before));
    EXPECT_EQ(Find<QListWidget>(&dialog, CSelectPadDlg::idList)->currentItem()->text(),
              CQtText::FromDesignText(table.GetName(before)));
    dialog.accept();
    EXPECT_EQ(table.GetDefault(PADSTACK_KIND_VIA), before);
}

} // namespace
