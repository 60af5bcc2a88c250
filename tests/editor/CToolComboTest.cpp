#include "dialogs/CToolCombo.h"

#include <string>

#include <QApplication>
#include <QTest>

#include "document/CEditSession.h"
#include "model/CLayerArray.h"
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
