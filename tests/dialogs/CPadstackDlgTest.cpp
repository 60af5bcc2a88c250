#include "dialogs/CPadstackDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "dialogs/CLengthChoices.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "model/CLengthText.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CProgramStrings.h"

namespace {

using namespace dialog_test;

TEST(CLengthChoicesTest, ListsCountWholeHundredthsAndRoundThem)
{
    const std::vector<int32_t> holes = CLengthChoices::Holes();
    const std::vector<int32_t> offsets = CLengthChoices::Offsets();
    const std::vector<int32_t> sizes = CLengthChoices::Sizes();
    EXPECT_EQ(holes.size(), 197u);
    EXPECT_EQ(offsets.size(), 2541u);
    EXPECT_EQ(sizes.size(), 1260u);
    EXPECT_EQ(holes.front(), 2016);
    EXPECT_EQ(holes.back(), 100787);
    // 1.27 mm is 0.05 inch exactly.
    EXPECT_EQ(sizes[127 - 11], 12800);
    EXPECT_EQ(offsets.front(), -128000);
    EXPECT_EQ(offsets[1270], 0);
    EXPECT_EQ(offsets.back(), 128000);
    // A value already listed under its text is not added twice.
    const auto entries =
        CLengthChoices::Entries(CLengthText::unitMillimetre, {12800}, {12801, 12345});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].value, 12345);
}

// A design whose padstack 0 gets a rectangle pad 12800 x 12345 on the top layer.
class CPadstackDlgTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        doc.Design().SetUnit(CLengthText::unitMillimetre);
        doc.Session().SetWorkLayer(LAYER_TOP);
        CPadStack& stack = *Table().GetPadStack(0);
        stack.GetPad(LAYER_TOP)->Set(PAD_RECTANGLE, -6400, -6172, 6400, 6173);
        Table().RecalcAllMasks();
        original = stack;
        doc.SetModifiedFlag(false);
    }
    CPadStackArray& Table() { return doc.Design().GetEditableShapeCache().GetPadStacks(); }
    static void Choose(QWidget* dialog, int32_t id, const QString& text)
    {
        auto* combo = Find<QComboBox>(dialog, id);
        const int index = combo->findText(text, Qt::MatchExactly);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    CFakeServices services;
    CProgramStrings strings;
    CWevraDoc doc;
    CPadStack original;
};

TEST_F(CPadstackDlgTest, ShowsTheLayerByExactTextsAndOffListSizes)
{
    CPadstackDlg dialog(doc.Design(), doc.Session(), doc.Paint(), 0);
    EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeX), "1.270 mm.");
    EXPECT_EQ(Find<QComboBox>(&dialog, CPadstackDlg::idSizeX)->currentData().toInt(), 12800);
    EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeY), "1.225 mm.");
    EXPECT_EQ(Find<QComboBox>(&dialog, CPadstackDlg::idSizeY)->currentData().toInt(), 12345);
    EXPECT_EQ(Text(&dialog, CPadstackDlg::idType), "Rectangle");
    // The odd height leaves an offset of -1 unit, listed after the 2541 standard offsets.
    EXPECT_EQ(Find<QComboBox>(&dialog, CPadstackDlg::idOffsetX)->count(), 2542);
}

TEST_F(CPadstackDlgTest, CancelLeavesThePadstackAndOkRenamesItUniquely)
{
    {
        CPadstackDlg dialog(doc.Design(), doc.Session(), doc.Paint(), 0);
        Choose(&dialog, CPadstackDlg::idSizeX, QStringLiteral("2.000 mm."));
        dialog.reject();
    }
    EXPECT_TRUE(Table().GetPadStack(0)->HasSameShapes(original));
    EXPECT_FALSE(doc.IsModified());

    const std::string taken = Table().GetName(1);
    CPadstackDlg dialog(doc.Design(), doc.Session(), doc.Paint(), 0);
    Choose(&dialog, CPadstackDlg::idSizeX, QStringLiteral("2.000 mm."));
    Type(&dialog, CPadstackDlg::idName, taken);
    dialog.accept();
    // 2.000 mm is 20157 units; the pad keeps its centre and grows to an even width.
    EXPECT_EQ(Table().GetPadWidth(0, LAYER_TOP), 20158);
    EXPECT_EQ(Table().GetName(0), taken + "__A");
    EXPECT_TRUE(doc.IsModified());
}

// A length typed into a size list is taken as the program reads lengths in the display unit,
// not as the first entry that starts with the same key.
TEST_F(CPadstackDlgTest, TypedSizesSelectOrEnterThatLength)
{
    // Keys as the user presses them in the list, then Tab on to the next control.
    const auto type = [](QComboBox* combo, const char* text) {
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(combo, QString::fromLatin1(text));
        QTest::keyClick(combo, Qt::Key_Tab);
    };
    {
        CPadstackDlg dialog(doc.Design(), doc.Session(), doc.Paint(), 0);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto* sizeX = Find<QComboBox>(&dialog, CPadstackDlg::idSizeX);
        auto* sizeY = Find<QComboBox>(&dialog, CPadstackDlg::idSizeY);
        const int listed = sizeX->count();

        type(sizeX, "2");
        EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeX), "2.000 mm.");
        EXPECT_EQ(sizeX->count(), listed);
        EXPECT_EQ(dialog.GetPadStack().GetPad(LAYER_TOP)->GetWidth(), 20158);
        // Off the list: a new entry in its place in the order.
        type(sizeY, "0.8123");
        EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeY), "0.812 mm.");
        EXPECT_EQ(sizeY->currentData().toInt(), 8186);
        EXPECT_LT(sizeY->itemData(sizeY->currentIndex() - 1).toInt(), 8186);
        EXPECT_GT(sizeY->itemData(sizeY->currentIndex() + 1).toInt(), 8186);
        // No length: the entry stays as it was, and the user is told which field refused what.
        services.messages.ClearShown();
        type(sizeY, "wide");
        EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeY), "0.812 mm.");
        ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
        EXPECT_NE(services.messages.ShownTexts()[0].find("Size Y"), std::string::npos);
        EXPECT_NE(services.messages.ShownTexts()[0].find("wide"), std::string::npos);
        dialog.accept();
    }
    EXPECT_EQ(Table().GetPadWidth(0, LAYER_TOP), 20158);
    EXPECT_EQ(Table().GetPadHeight(0, LAYER_TOP), 8186);

    doc.Design().SetUnit(CLengthText::unitMil);
    CPadstackDlg dialog(doc.Design(), doc.Session(), doc.Paint(), 0);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* sizeX = Find<QComboBox>(&dialog, CPadstackDlg::idSizeX);
    type(sizeX, "60");
    EXPECT_EQ(Text(&dialog, CPadstackDlg::idSizeX), "60 mil");
    EXPECT_EQ(dialog.GetPadStack().GetPad(LAYER_TOP)->GetWidth() / 256, 60);

    // A decimal comma is a point; a number with more after it is no length.
    doc.Design().SetUnit(CLengthText::unitMillimetre);
    CPadstackDlg metric(doc.Design(), doc.Session(), doc.Paint(), 0);
    metric.show();
    QApplication::setActiveWindow(&metric);
    services.messages.ClearShown();
    type(Find<QComboBox>(&metric, CPadstackDlg::idSizeX), "1,5");
    EXPECT_EQ(Text(&metric, CPadstackDlg::idSizeX), "1.500 mm.");
    EXPECT_EQ(metric.GetPadStack().GetPad(LAYER_TOP)->GetWidth(), 15118);
    type(Find<QComboBox>(&metric, CPadstackDlg::idOffsetX), "0.8abc");
    type(Find<QComboBox>(&metric, CPadstackDlg::idSizeY), "1 mm");
    EXPECT_EQ(Text(&metric, CPadstackDlg::idSizeY), "1.000 mm.");
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
    type(Find<QComboBox>(&metric, CPadstackDlg::idSizeY), "1.2.3");
    EXPECT_EQ(Text(&metric, CPadstackDlg::idSizeY), "1.000 mm.");
    EXPECT_EQ(services.messages.ShownTexts().size(), 2u);

    // A size below nothing would invert the pad, an offset beyond a board put it where no point
    // of a design lies: each is refused, the range named, and the field keeps its length.
    type(Find<QComboBox>(&metric, CPadstackDlg::idSizeY), "-0,1");
    type(Find<QComboBox>(&metric, CPadstackDlg::idOffsetX), "-106536 mm");
    EXPECT_EQ(Text(&metric, CPadstackDlg::idSizeY), "1.000 mm.");
    EXPECT_EQ(metric.GetPadStack().GetPad(LAYER_TOP)->GetHeight(), 10080);
    EXPECT_EQ(metric.GetPadStack().GetPad(LAYER_TOP)->GetOffsetX(), 0);
    const std::vector<std::string> shown = services.messages.ShownTexts();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_NE(shown[2].find("Padstack size y -0,1, outside 0.0001 mm. to 106535.3215 mm."),
              std::string::npos)
        << shown[2];
    EXPECT_NE(shown[3].find("Padstack offset x -106536 mm, outside -106535"), std::string::npos)
        << shown[3];
}

} // namespace
