#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CDialogService.h"
#include "model/CLayerArray.h"
#include "model/CTextArray.h"
#include "resources/CommandIds.h"
#include "tests/support/CFakeServices.h"

namespace {

// Types a text into the Edit Text dialog and keeps the layer names it was shown.
class CTypingEditText : public CDialogService {
public:
    CTypingEditText() : m_previous(CDialogService::Set(this)) {}
    ~CTypingEditText() override { CDialogService::Set(m_previous); }

    int32_t EditText(std::string& text, std::string&, std::string&, int32_t&, bool&, std::string&,
                     const std::vector<std::string>& names) override
    {
        text = "R1";
        layerNames = names;
        return resultOk;
    }

    std::vector<std::string> layerNames;

private:
    CDialogService* m_previous;
};

// The text tool on a real design: its edits reach the undo list, and End Mode walks the tools.
TEST(CWevraDocTextTest, PlaceTextUndoAndEndMode)
{
    CFakeServices services;
    CTypingEditText dialogs;
    CWevraDoc doc;
    CTextArray& texts = doc.Design().GetTexts();
    doc.Session().SetMode(ID_BOARD_PLACE_TEXT);
    doc.Session().SetCursor(CPoint(25600, 51200));

    texts.OnClick();
    ASSERT_EQ(texts.GetCount(), 1);
    EXPECT_EQ(texts.GetText(0)->GetText(), "R1");
    ASSERT_EQ(dialogs.layerNames.size(), size_t(LAYER_COUNT));
    EXPECT_EQ(dialogs.layerNames[LAYER_SILK_TOP],
              doc.Design().GetLayers().GetLayerName(LAYER_SILK_TOP));
    doc.Session().SetCursor(CPoint(30000, 50000));
    texts.OnMoveCursor();
    texts.OnClick();
    EXPECT_EQ(texts.GetText(0)->GetPosition(), CPoint(30000, 50000));
    EXPECT_TRUE(doc.IsModified());

    // The dialog's change, then the text itself.
    doc.History().Undo();
    ASSERT_EQ(doc.Design().GetTexts().GetCount(), 1);
    EXPECT_EQ(doc.Design().GetTexts().GetText(0)->GetText(), "");
    EXPECT_EQ(doc.Design().GetTexts().GetText(0)->GetPosition(), CPoint(25600, 51200));
    doc.History().Undo();
    EXPECT_EQ(doc.Design().GetTexts().GetCount(), 0);
    // The restored list still runs the tool of this design.
    EXPECT_EQ(doc.Design().GetTexts().GetDocument(),
              static_cast<CTextArrayDocument*>(&doc.Session()));

    doc.Design().GetTexts().EndStep();
    EXPECT_EQ(doc.Session().GetMode(), ID_BOARD_EDIT_TEXT);
    doc.Design().GetTexts().EndStep();
    EXPECT_EQ(doc.Session().GetMode(), ID_VIEW);
}

} // namespace
