#include <string>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

#include "dialogs/CCompCircularDlg.h"
#include "dialogs/CCompPropertiesDlg.h"
#include "dialogs/CCompSetPositionDlg.h"
#include "dialogs/CQtDialogService.h"
#include "dialogs/CSelCompTextDlg.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/document/TwoPadShape.h"
#include "tests/support/CFakeServices.h"

namespace {

using namespace dialog_test;

constexpr int32_t inch = CLengthText::unitInch;

std::string Length(int32_t length)
{
    return CLengthText::FormatLength(inch, length);
}

class CComponentDialogsTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        doc.Design().SetUnit(inch);
        const int32_t shape = AddTwoPadShape(doc.Design().GetEditableShapeCache());
        for (const char* reference : {"R1", "R2"}) {
            const int32_t i = doc.Design().GetComponents().AddEmpty(shape);
            doc.Design().GetComponents().SetName(i, CComponent::textReference, reference);
            doc.Design().GetComponents().SetPosition(i, 25600 * (i + 1), 25600);
        }
    }

    CFakeServices services;
    CQtDialogService service;
    CWevraDoc doc;
};

TEST_F(CComponentDialogsTest, PropertiesEditInPlaceOnlyOnOk)
{
    doc.Design().GetComponents().SetFlag(
        0, ComponentFlags::lockRotate | ComponentFlags::fromNetlist, true);
    const int32_t snapshots = doc.History().GetUndoCount();
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CCompPropertiesDlg::idReference), "R1");
        EXPECT_EQ(Text(dialog, CCompPropertiesDlg::idShape), "TWO");
        EXPECT_EQ(Text(dialog, CCompPropertiesDlg::idX), "0.1000 inch");
        EXPECT_EQ(Text(dialog, CCompPropertiesDlg::idRotation), "0.000");
        // Rotate is the fourth lock; the info box is display only.
        EXPECT_FALSE(Find<QCheckBox>(dialog, CCompPropertiesDlg::idEnabled[3])->isChecked());
        EXPECT_TRUE(Find<QCheckBox>(dialog, CCompPropertiesDlg::idEnabled[2])->isChecked());
        auto* netlist = Find<QCheckBox>(dialog, CCompPropertiesDlg::idFromNetlist);
        EXPECT_TRUE(netlist->isChecked());
        EXPECT_FALSE(netlist->isEnabled());
        Type(dialog, CCompPropertiesDlg::idType, "4k7");
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.CompProperties(doc.Session(), 0), CDialogService::resultCancel);
    EXPECT_EQ(doc.Design().GetComponents().GetType(0), CComponent::defaultType);
    EXPECT_EQ(doc.History().GetUndoCount(), snapshots);

    WhenModal([](QWidget* dialog) {
        Type(dialog, CCompPropertiesDlg::idType, "4k7");
        Type(dialog, CCompPropertiesDlg::idRotation, "90");
        Click(dialog, CCompPropertiesDlg::idEnabled[3]);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompProperties(doc.Session(), 0), CDialogService::resultOk);
    EXPECT_EQ(doc.Design().GetComponents().GetType(0), "4k7");
    EXPECT_EQ(doc.Design().GetComponents().GetRotation(0), 90000);
    EXPECT_FALSE(doc.Design().GetComponents().TestFlag(0, ComponentFlags::lockRotate));
    EXPECT_EQ(doc.Design().GetComponents().GetPosition(0), CPoint(25600, 25600));
}

TEST_F(CComponentDialogsTest, PropertiesAskBeforeTakingAnotherComponentsReference)
{
    bool stayedOpen = false;
    WhenModal([this, &stayedOpen](QWidget* dialog) {
        Type(dialog, CCompPropertiesDlg::idReference, "r2 ");
        services.messages.QueueAnswer(IDNO);
        Click(dialog, CWevraDialog::idOk);
        stayedOpen = dialog->isVisible();
        services.messages.QueueAnswer(IDYES);
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompProperties(doc.Session(), 0), CDialogService::resultOk);
    EXPECT_TRUE(stayedOpen) << "No keeps the dialog open";
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>(2, "This reference name exists. Do you like to Swap?"));
    EXPECT_EQ(doc.Design().GetComponents().GetReference(0), "R2");
    EXPECT_EQ(doc.Design().GetComponents().GetReference(1), "R1");
}

TEST_F(CComponentDialogsTest, SetPositionMeasuresFromTheChosenPoint)
{
    const CDialogService::PinnedComponent component{"U3", {{1000, 2000}, {30000, 40000}}};
    const CPoint center(15000, 20000);
    const CPoint mouse(-5000, 0);
    int32_t dx = 7;
    int32_t dy = 7;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Set Components Position U3"));
        // Pin 1 at first; pin 2 shows that pin with no offset.
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idXAbsolute), Length(1000));
        auto* pins = Find<QComboBox>(dialog, CCompSetPositionDlg::idPin);
        EXPECT_EQ(pins->count(), 2);
        pins->setCurrentIndex(1);
        emit pins->activated(1);
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idXAbsolute), Length(30000));
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idYAbsolute), Length(40000));
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idXRelative), Length(0));
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.CompSetPosition(inch, component, center, mouse, dx, dy),
              CDialogService::resultCancel);
    EXPECT_EQ(dx, 7);

    // An absolute value moves the offset by as much; an offset puts the absolute value at the
    // point plus the offset; the shown texts left alone change nothing.
    WhenModal([](QWidget* dialog) {
        Click(dialog, CCompSetPositionDlg::idCenter);
        Type(dialog, CCompSetPositionDlg::idXAbsolute, "0.1");
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idXRelative), Length(25600 - 15000));
        Type(dialog, CCompSetPositionDlg::idYRelative, "-0.05");
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idYAbsolute), Length(20000 - 12800));
        Type(dialog, CCompSetPositionDlg::idXRelative,
             Text(dialog, CCompSetPositionDlg::idXRelative));
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompSetPosition(inch, component, center, mouse, dx, dy),
              CDialogService::resultOk);
    EXPECT_EQ(dx, 25600 - 15000);
    EXPECT_EQ(dy, -12800);

    // A field still being typed in when OK is pressed counts; the mouse position is a point.
    WhenModal([](QWidget* dialog) {
        Click(dialog, CCompSetPositionDlg::idMouse);
        EXPECT_EQ(Text(dialog, CCompSetPositionDlg::idXAbsolute), Length(-5000));
        Find<QLineEdit>(dialog, CCompSetPositionDlg::idXRelative)->setText("0.2");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompSetPosition(inch, component, center, mouse, dx, dy),
              CDialogService::resultOk);
    EXPECT_EQ(dx, 51200);
    EXPECT_EQ(dy, 0);
}

// Selects the rows of a list as a user would with Ctrl held.
void SelectRows(QWidget* dialog, int32_t id, std::initializer_list<int> rows)
{
    auto* list = Find<QListWidget>(dialog, id);
    list->clearSelection();
    for (const int row : rows)
        list->item(row)->setSelected(true);
}

std::vector<std::string> Rows(QWidget* dialog, int32_t id)
{
    std::vector<std::string> rows;
    auto* list = Find<QListWidget>(dialog, id);
    for (int row = 0; row < list->count(); ++row)
        rows.push_back(list->item(row)->text().toStdString());
    return rows;
}

TEST_F(CComponentDialogsTest, CircularPlacementListsAndAnglesFollowEachOther)
{
    const std::vector<std::string> references = {"R1", "R2", "C1", "C2"};
    CDialogService::CircularPlacement values;
    values.angleBegin = "0.0000";
    values.angleEnd = "360.0";
    values.angleTotal = "360.0";
    values.anglePer = " 0.000";
    WhenModal([](QWidget* dialog) {
        using D = CCompCircularDlg;
        EXPECT_EQ(Rows(dialog, D::idAvailable), (std::vector<std::string>{"R1", "R2", "C1", "C2"}));
        // Nothing listed: the angles stay as they are.
        Type(dialog, D::idAngleEnd, "180");
        EXPECT_EQ(Text(dialog, D::idAngleTotal), "360.0");
        SelectRows(dialog, D::idAvailable, {1, 3});
        Click(dialog, D::idAdd);
        SelectRows(dialog, D::idAvailable, {0});
        Click(dialog, D::idAdd);
        EXPECT_EQ(Rows(dialog, D::idMoved), (std::vector<std::string>{"R2", "C2", "R1"}));
        EXPECT_EQ(Rows(dialog, D::idAvailable), (std::vector<std::string>{"C1"}));
        EXPECT_EQ(Text(dialog, D::idAngleTotal), "180.000");
        EXPECT_EQ(Text(dialog, D::idAnglePer), "60.000");
        // Up swaps the current entry with the one above, which stays current.
        Find<QListWidget>(dialog, D::idMoved)->setCurrentRow(2);
        Click(dialog, D::idUp);
        EXPECT_EQ(Rows(dialog, D::idMoved), (std::vector<std::string>{"R2", "R1", "C2"}));
        EXPECT_EQ(Find<QListWidget>(dialog, D::idMoved)->currentRow(), 1);
        SelectRows(dialog, D::idMoved, {0});
        Click(dialog, D::idRemove);
        EXPECT_EQ(Text(dialog, D::idAnglePer), "90.000");
        // A typed total moves the end.
        Type(dialog, D::idAngleTotal, "90");
        EXPECT_EQ(Text(dialog, D::idAngleEnd), "90.000");
        EXPECT_EQ(Text(dialog, D::idAnglePer), "45.000");
        Type(dialog, D::idRadius, "1");
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.CompCircular(references, values), CDialogService::resultOk);
    EXPECT_EQ(values.moved, (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(values.angleEnd, "90.000");
    EXPECT_EQ(values.radius, "1");

    WhenModal([](QWidget* dialog) {
        using D = CCompCircularDlg;
        EXPECT_EQ(Rows(dialog, D::idMoved), (std::vector<std::string>{"R1", "C2"}));
        SelectRows(dialog, D::idMoved, {0, 1});
        Click(dialog, D::idRemove);
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.CompCircular(references, values), CDialogService::resultCancel);
    EXPECT_EQ(values.moved, (std::vector<int32_t>{0, 3}));
}

TEST_F(CComponentDialogsTest, TextSelectorNeedsAChoice)
{
    int32_t choice = -1;
    WhenModal([](QWidget* dialog) {
        auto* ok = Find<QAbstractButton>(dialog, CWevraDialog::idOk);
        EXPECT_FALSE(ok->isEnabled());
        Click(dialog, CSelCompTextDlg::idShape);
        EXPECT_TRUE(ok->isEnabled());
        Click(dialog, CWevraDialog::idOk);
    });
    EXPECT_EQ(service.SelCompText(choice), CDialogService::resultOk);
    EXPECT_EQ(choice, 2);

    WhenModal([](QWidget* dialog) {
        EXPECT_TRUE(Find<QAbstractButton>(dialog, CSelCompTextDlg::idShape)->isChecked());
        Click(dialog, CSelCompTextDlg::idReference);
        Click(dialog, CWevraDialog::idCancel);
    });
    EXPECT_EQ(service.SelCompText(choice), CDialogService::resultCancel);
    EXPECT_EQ(choice, 2);
}

} // namespace
