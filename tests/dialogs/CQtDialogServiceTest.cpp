#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>

#include "dialogs/CBoardSizeDlg.h"
#include "dialogs/CBorderSizeDlg.h"
#include "dialogs/CCleanDlg.h"
#include "dialogs/CMoveUserOffsetDlg.h"
#include "dialogs/CNameDlg.h"
#include "dialogs/CNetGroupsDlg.h"
#include "dialogs/CPcbInfoDlg.h"
#include "dialogs/CPlanePropDlg.h"
#include "dialogs/CPositionDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CSetGridDlg.h"
#include "model/CLengthText.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

using namespace dialog_test;

constexpr int32_t mil = CLengthText::unitMil;
constexpr int32_t mm = CLengthText::unitMillimetre;

std::string Length(int32_t unit, int32_t length)
{
    return CLengthText::FormatLength(unit, length);
}

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

TEST_F(CQtDialogServiceTest, BoardSizeGivesTheTypedSizesOrAsksForTheMouse)
{
    std::string width = "100";
    std::string height = "80";
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CBoardSizeDlg::idSizeX), "100");
        Type(dialog, CBoardSizeDlg::idSizeX, "150");
        Type(dialog, CBoardSizeDlg::idSizeY, "90");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.BoardSize(width, height, false), CDialogService::resultOk);
    EXPECT_EQ(width, "150");
    EXPECT_EQ(height, "90");

    QString title;
    WhenModal([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        Type(dialog, CBoardSizeDlg::idSizeX, "1");
        Click(dialog, CBoardSizeDlg::idWindow);
    });
    EXPECT_EQ(service.BoardSize(width, height, true), CDialogService::resultBoardWindow);
    EXPECT_EQ(title, QStringLiteral("Define Workspace"));
    EXPECT_EQ(width, "150") << "only OK gives the texts back";

    WhenModal([](QWidget* dialog) {
        Type(dialog, CBoardSizeDlg::idSizeX, "1");
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.BoardSize(width, height, false), CDialogService::resultCancel);
    EXPECT_EQ(width, "150");
}

TEST_F(CQtDialogServiceTest, SetGridMatchesYToXUntilUnchecked)
{
    int32_t x = 6400;
    int32_t y = 3200;
    bool snapOn = false;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CSetGridDlg::idSizeX), Length(mil, 6400));
        EXPECT_FALSE(Find<QWidget>(dialog, CSetGridDlg::idSizeY)->isEnabled());
        Type(dialog, CSetGridDlg::idSizeX, "50");
        EXPECT_EQ(Text(dialog, CSetGridDlg::idSizeX), Length(mil, 12800)) << "re-formatted";
        EXPECT_EQ(Text(dialog, CSetGridDlg::idSizeY), Length(mil, 12800));
        Click(dialog, CSetGridDlg::idSnap);
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.SetGrid(mil, x, y, snapOn), CDialogService::resultOk);
    EXPECT_EQ(x, 12800);
    EXPECT_EQ(y, 12800);
    EXPECT_TRUE(snapOn);

    WhenModal([](QWidget* dialog) {
        Click(dialog, CSetGridDlg::idMatch);
        EXPECT_TRUE(Find<QWidget>(dialog, CSetGridDlg::idSizeY)->isEnabled());
        Type(dialog, CSetGridDlg::idSizeX, "10");
        Type(dialog, CSetGridDlg::idSizeY, "20");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.SetGrid(mil, x, y, snapOn), CDialogService::resultOk);
    EXPECT_EQ(x, 2560);
    EXPECT_EQ(y, 5120);
}

TEST_F(CQtDialogServiceTest, PositionAddsTheRelativeDistances)
{
    int32_t x = 25600;
    int32_t y = -12800;
    QString title;
    WhenModal([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        EXPECT_EQ(Text(dialog, CPositionDlg::idXAbsolute), Length(mil, 25600));
        EXPECT_EQ(Text(dialog, CPositionDlg::idYAbsolute), Length(mil, -12800));
        EXPECT_EQ(Text(dialog, CPositionDlg::idXRelative), Length(mil, 0));
        Type(dialog, CPositionDlg::idXRelative, "-10");
        Type(dialog, CPositionDlg::idYAbsolute, "200");
        Type(dialog, CPositionDlg::idYRelative, "5");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.Position("Input Position", mil, x, y), CDialogService::resultOk);
    EXPECT_EQ(title, QStringLiteral("Input Position"));
    EXPECT_EQ(x, 25600 - 2560);
    EXPECT_EQ(y, 51200 + 1280);
}

TEST_F(CQtDialogServiceTest, MoveUserOffsetPutsTheOffsetNearAPinAtZeroOrAtTheCentre)
{
    const std::vector<CDialogService::PinnedComponent> components = {
        {"R1", {CPoint(1000, 2000), CPoint(3000, 2000)}},
        {"C7", {}},
        {"U2", {CPoint(-512, 256), CPoint(5120, 7680), CPoint(0, 0)}}};
    const CSize board(10001, 8000);
    CPoint offset(99, 99);

    // The preset distances put the offset on the pin's opposite: (0, 0) with the typed values
    // unchanged; a typed distance lands that far from the pin.
    WhenModal([](QWidget* dialog) {
        auto* references = Find<QComboBox>(dialog, CMoveUserOffsetDlg::idComponent);
        EXPECT_EQ(references->count(), 3);
        references->setCurrentIndex(2);
        emit references->activated(2);
        auto* pins = Find<QComboBox>(dialog, CMoveUserOffsetDlg::idPin);
        EXPECT_EQ(pins->count(), 3);
        pins->setCurrentIndex(1);
        emit pins->activated(1);
        EXPECT_EQ(Text(dialog, CMoveUserOffsetDlg::idXRelative), Length(mil, -5120));
        EXPECT_EQ(Text(dialog, CMoveUserOffsetDlg::idYRelative), Length(mil, -7680));
        Type(dialog, CMoveUserOffsetDlg::idXRelative, "1");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.MoveUserOffset(mil, components, board, offset), CDialogService::resultOk);
    EXPECT_EQ(offset, CPoint(5120 + 256, 0));

    // A component without pins offers none and measures from (0, 0).
    WhenModal([](QWidget* dialog) {
        auto* references = Find<QComboBox>(dialog, CMoveUserOffsetDlg::idComponent);
        references->setCurrentIndex(1);
        emit references->activated(1);
        EXPECT_EQ(Find<QComboBox>(dialog, CMoveUserOffsetDlg::idPin)->count(), 0);
        Type(dialog, CMoveUserOffsetDlg::idYRelative, "2");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.MoveUserOffset(mil, components, board, offset), CDialogService::resultOk);
    EXPECT_EQ(offset, CPoint(0, 512));

    WhenModal([](QWidget* dialog) { Click(dialog, CMoveUserOffsetDlg::idCenter); });
    ASSERT_EQ(service.MoveUserOffset(mil, components, board, offset), CDialogService::resultOk);
    EXPECT_EQ(offset, CPoint(5000, 4000));
    WhenModal([](QWidget* dialog) { Click(dialog, CMoveUserOffsetDlg::idReset); });
    ASSERT_EQ(service.MoveUserOffset(mil, components, board, offset), CDialogService::resultOk);
    EXPECT_EQ(offset, CPoint(0, 0));

    offset = CPoint(7, 7);
    QString cancelText;
    WhenModal([&cancelText](QWidget* dialog) {
        cancelText = Find<QAbstractButton>(dialog, CWevraDialog::idCancel)->text();
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.MoveUserOffset(mil, components, board, offset), CDialogService::resultCancel);
    EXPECT_EQ(cancelText, QStringLiteral("Use &cursor"));
    EXPECT_EQ(offset, CPoint(7, 7));
}

TEST_F(CQtDialogServiceTest, CleanOffersEverythingAndTheSecondBorder)
{
    CDialogService::CleanChoices choices;
    choices.border = -1;
    WhenModal([](QWidget* dialog) {
        for (int32_t id : {CCleanDlg::idUnusedNets, CCleanDlg::idUnusedShapes,
                           CCleanDlg::idUnusedPads, CCleanDlg::idMinimalPadSize})
            EXPECT_TRUE(Find<QCheckBox>(dialog, id)->isChecked()) << id;
        auto* borders = Find<QComboBox>(dialog, CCleanDlg::idBorder);
        EXPECT_EQ(borders->count(), 5);
        EXPECT_EQ(Text(dialog, CCleanDlg::idBorder), Length(mm, 2015));
        Click(dialog, CCleanDlg::idUnusedShapes);
        borders->setCurrentIndex(3);
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.Clean(mm, choices), CDialogService::resultOk);
    EXPECT_TRUE(choices.unusedNets);
    EXPECT_FALSE(choices.unusedShapes);
    EXPECT_TRUE(choices.unusedPads);
    EXPECT_TRUE(choices.minimalPadSize);
    // The text shown, parsed back: 0.3 mm as the list shows it.
    EXPECT_EQ(choices.border, CLengthText::ParseLength(mm, Length(mm, 3023)));
}

TEST_F(CQtDialogServiceTest, NamesAndNetGroups)
{
    std::string name = "N$12";
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Add Net"));
        EXPECT_EQ(Text(dialog, CNameDlg::idNetName), "N$12");
        Type(dialog, CNameDlg::idNetName, "VCC");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.NetAdd(name), CDialogService::resultOk);
    EXPECT_EQ(name, "VCC");

    // New Group asks for a name over the groups dialog.
    QString nameTitle;
    std::string a = "x";
    std::string b = "y";
    std::string spacing;
    WhenModal([&nameTitle](QWidget* dialog) {
        EXPECT_EQ(Find<QListWidget>(dialog, CNetGroupsDlg::idGroupA)->count(), 0);
        WhenModal([&nameTitle](QWidget* name) {
            nameTitle = name->windowTitle();
            Type(name, CNameDlg::idName, "POWER");
            Click(name, CWevraDialog::idOk);
        });
        Click(dialog, CNetGroupsDlg::idNewGroup);
        Type(dialog, CNetGroupsDlg::idSpacing, "0.5");
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.NetGroups(a, b, spacing), CDialogService::resultOk);
    EXPECT_EQ(nameTitle, QStringLiteral("Input Name"));
    EXPECT_EQ(a, "");
    EXPECT_EQ(b, "");
    EXPECT_EQ(spacing, "0.5");
}

TEST_F(CQtDialogServiceTest, BorderSizePreselectsTheThird)
{
    const std::vector<std::string> choices = {"0.1", "0.15", "0.2", "0.25"};
    std::string chosen = "0.1";
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CBorderSizeDlg::idBorder), "0.2");
        Find<QComboBox>(dialog, CBorderSizeDlg::idBorder)->setCurrentIndex(3);
        Click(dialog, CWevraDialog::idOk);
    });
    ASSERT_EQ(service.BorderSize(choices, chosen), CDialogService::resultOk);
    EXPECT_EQ(chosen, "0.25");
}

TEST_F(CQtDialogServiceTest, PlanePropertiesShowAndTakeThePlane)
{
    const std::vector<std::string> layers = {"", "Signal Top", "", "Inner 1"};
    const std::vector<std::string> nets = {"", "GND", "VCC"};
    CDialogService::PlaneValues plane;
    plane.name = "Plane 1";
    plane.net = 7; // no such net: shown empty, kept as none
    plane.layer = 3;
    plane.style = 1;
    plane.penWidth = 2560;
    plane.hatchGrid = 12800;
    plane.hatchRotation = "45.000";
    plane.minSpace = 1280;
    plane.start = CPoint(25600, 51200);

    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Find<QComboBox>(dialog, CPlanePropDlg::idLayer)->count(), 2);
        EXPECT_EQ(Text(dialog, CPlanePropDlg::idLayer), "Inner 1");
        EXPECT_EQ(Text(dialog, CPlanePropDlg::idNet), "");
        EXPECT_EQ(Text(dialog, CPlanePropDlg::idStartX), Length(mil, 25600));
        EXPECT_TRUE(Find<QRadioButton>(dialog, CPlanePropDlg::idSolid)->isChecked());
        EXPECT_FALSE(Find<QWidget>(dialog, CPlanePropDlg::idHatchGrid)->isEnabled());
        Click(dialog, CPlanePropDlg::idLine);
        EXPECT_TRUE(Find<QWidget>(dialog, CPlanePropDlg::idHatchRotation)->isEnabled());
        Type(dialog, CPlanePropDlg::idHatchRotation, "22.5");
        Type(dialog, CPlanePropDlg::idName, "GND plane");
        Type(dialog, CPlanePropDlg::idStartY, "100");
        Find<QComboBox>(dialog, CPlanePropDlg::idNet)->setCurrentIndex(2);
        Click(dialog, CWevraDialog::idOk);
    });
    CDialogService::PlaneValues typed = plane;
    ASSERT_EQ(service.PlaneProperties(mil, layers, nets, typed), CDialogService::resultOk);
    EXPECT_EQ(typed.name, "GND plane");
    EXPECT_EQ(typed.layer, 3);
    EXPECT_EQ(typed.net, 2);
    EXPECT_EQ(typed.style, 2);
    EXPECT_EQ(typed.hatchRotation, "22.5");
    EXPECT_EQ(typed.start, CPoint(25600, 25600));
    EXPECT_EQ(typed.penWidth, 2560);

    WhenModal([](QWidget* dialog) {
        Click(dialog, CPlanePropDlg::idDefault);
        EXPECT_TRUE(Find<QRadioButton>(dialog, CPlanePropDlg::idCross)->isChecked());
        EXPECT_EQ(Text(dialog, CPlanePropDlg::idHatchRotation), "45.000");
        Click(dialog, CWevraDialog::idOk);
    });
    typed = plane;
    ASSERT_EQ(service.PlaneProperties(mil, layers, nets, typed), CDialogService::resultOk);
    EXPECT_EQ(typed.net, -1);
    EXPECT_EQ(typed.style, 3);
    EXPECT_EQ(typed.penWidth,
              CLengthText::ParseLength(mil, Length(mil, CPlanePropDlg::defaultPenWidth)));
    EXPECT_EQ(typed.hatchGrid,
              CLengthText::ParseLength(mil, Length(mil, CPlanePropDlg::defaultHatchGrid)));
}

} // namespace
