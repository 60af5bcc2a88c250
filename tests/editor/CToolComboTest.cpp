#include "dialogs/CToolCombo.h"

#include <string>

#include <QAbstractItemView>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "model/CLayerArray.h"
#include "model/COutputRec.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

class CToolComboTest : public CDemoWindowTest {
protected:
    CToolComboTest() : CDemoWindowTest("wevra_tool_combo_test") {}
};

} // namespace

// A layer picked in the toolbar with the keyboard becomes the work layer, named by the text
// before the "*" that marks the layers shown; the keyboard goes back to the board.
TEST_F(CToolComboTest, ChoiceMakesTheWorkLayer)
{
    auto* combo = dynamic_cast<CToolCombo*>(frame->GetCombo(CDocumentFrame::layerCombo));
    ASSERT_NE(combo, nullptr);
    ASSERT_GE(combo->count(), 2);
    const int before = combo->currentIndex();
    const int target = before + 1 < combo->count() ? before + 1 : before - 1;
    const std::string text = combo->itemText(target).toStdString();
    const std::string name = text.substr(0, text.find('*'));
    ASSERT_NE(document->Design().GetLayers().FindLayerByName(name),
              document->Session().GetWorkLayer());

    combo->setFocus();
    QTest::keyClick(combo, target > before ? Qt::Key_Down : Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(document->Design().GetLayers().GetLayerName(document->Session().GetWorkLayer()),
              name);
    EXPECT_TRUE(view->hasFocus());
}

// The layer the box shows, chosen again from its list, leaves the design as it was: not
// modified, the layer set and the undo steps unchanged; the keyboard goes back to the board.
TEST_F(CToolComboTest, TheWorkLayerChosenAgainChangesNothing)
{
    auto* combo = dynamic_cast<CToolCombo*>(frame->GetCombo(CDocumentFrame::layerCombo));
    ASSERT_NE(combo, nullptr);
    document->SetModifiedFlag(false);
    frame->UpdateCommandUI();
    ASSERT_FALSE(frame->windowTitle().contains(QLatin1Char('*')));
    const int32_t workLayer = document->Session().GetWorkLayer();
    const std::string text = combo->currentText().toStdString();
    ASSERT_EQ(document->Design().GetLayers().FindLayerByName(text.substr(0, text.find('*'))),
              workLayer);
    const auto layers = document->Design().GetCurrentLayerSet()->GetLayerBytes();
    const int32_t undoCount = document->History().GetUndoCount();
    const bool couldUndo = document->History().CanUndo();

    const QSignalSpy activated(combo, &QComboBox::activated);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_F4);
    ASSERT_TRUE(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(combo->view()->isVisible());
    ASSERT_EQ(activated.size(), 1) << "the choice was confirmed";
    EXPECT_EQ(activated.front().front().toInt(), combo->currentIndex());
    // The popup took the window's activation with it; the board is the window's focus.
    EXPECT_EQ(frame->focusWidget(), view);
    EXPECT_EQ(document->Session().GetWorkLayer(), workLayer);
    EXPECT_FALSE(document->IsModified());
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->windowTitle().contains(QLatin1Char('*')))
        << frame->windowTitle().toStdString();
    EXPECT_EQ(document->Design().GetCurrentLayerSet()->GetLayerBytes(), layers);
    EXPECT_EQ(document->History().GetUndoCount(), undoCount);
    EXPECT_EQ(document->History().CanUndo(), couldUndo);
}
