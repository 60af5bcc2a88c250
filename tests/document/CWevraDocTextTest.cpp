#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CComponentProperties.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CUnusableValues.h"
#include "framework/CMessageService.h"
#include "framework/CWindows1252.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

// Types a text into the Edit Text dialog and keeps the layer names it was shown.
class CTypingEditText : public CDialogService {
public:
    CTypingEditText() : m_previous(CDialogService::Set(this)) {}
    ~CTypingEditText() override { CDialogService::Set(m_previous); }

    int32_t EditText(std::string& text, std::string&, std::string&, int32_t&, bool&, std::string&,
                     const std::vector<std::string>& names) override
    {
        text = typed;
        layerNames = names;
        return resultOk;
    }

    std::string typed = "R1";
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

// Characters the stroke font has no glyph for are named with their text once: when the text is
// typed, when a component's name is typed, and when the design is opened; accented letters and
// the sharp s are drawn and never named, and nothing is said again as the text is moved.
TEST(CWevraDocTextTest, CharactersTheFontLacksAreNamedWithTheirText)
{
    CFakeServices services;
    CTypingEditText dialogs;
    dialogs.typed = "Gr\xF6\xDF"
                    "e caf\xE9 \xC6\x99";
    CWevraDoc doc;
    ASSERT_TRUE(doc.Design().GetFont().IsLoaded());
    services.messages.ClearShown();
    CTextArray& texts = doc.Design().GetTexts();
    doc.Session().SetMode(ID_BOARD_PLACE_TEXT);
    doc.Session().SetCursor(CPoint(25600, 51200));
    texts.OnClick();
    const std::string named = "Text \"Gr\xF6\xDF"
                              "e caf\xE9 \xC6\x99\": \"\xC6\" as \"AE\", \"\x99\" as \"TM\"";
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    EXPECT_NE(services.messages.Shown()[0].text.find(named), std::string::npos)
        << services.messages.Shown()[0].text;
    EXPECT_EQ(services.messages.Shown()[0].icon, MB_ICONWARNING);
    doc.Session().SetCursor(CPoint(30000, 50000));
    texts.OnMoveCursor();
    texts.OnClick();
    dialogs.typed = "Stra\xDF"
                    "e \xC0\xC9\xD1\xE7";
    doc.Session().SetCursor(CPoint(25600, 102400));
    texts.OnClick();
    texts.OnClick();
    EXPECT_EQ(services.messages.Shown().size(), 1u);

    CComponentArray& components = doc.Design().GetComponents();
    const int32_t part = components.AddEmpty(-1);
    CComponentProperties::Values values = CComponentProperties::Read(doc.Session(), part);
    values.type = "BC547\x80";
    CComponentProperties::Apply(doc.Session(), part, values, part);
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_NE(services.messages.Shown()[1].text.find("Type \"BC547\x80\": \"\x80\" as \"EUR\""),
              std::string::npos)
        << services.messages.Shown()[1].text;

    const CTempFolder folder;
    const std::string file = (folder / "FONT.PCB").string();
    ASSERT_TRUE(doc.OnSaveDocument(file));
    services.messages.ClearShown();
    CWevraDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(file));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const CScriptedMessageService::Message& warning = services.messages.Shown()[0];
    EXPECT_TRUE(warning.namesFile);
    EXPECT_EQ(warning.caption, "FONT");
    EXPECT_NE(warning.text.find(CWindows1252::ToUtf8(named)), std::string::npos) << warning.text;
    const std::string type = "Type of " + components.GetReference(part) + " \"BC547\x80\"";
    EXPECT_NE(warning.text.find(CWindows1252::ToUtf8(type)), std::string::npos) << warning.text;
    EXPECT_EQ(warning.text.find("Stra"), std::string::npos) << warning.text;
}

// What the file may hold but the program cannot work with is named when the design is opened,
// the first 20 and then a count, and kept as it is.
TEST(CWevraDocOpenTest, ValuesTheProgramCannotUseAreNamedOnOpening)
{
    CFakeServices services;
    CWevraDoc doc;
    CNetArray& nets = doc.Design().GetNets();
    const int32_t gnd = nets.AddNet("GND");
    CNet& net = *nets.GetNet(gnd);
    ASSERT_TRUE(net.AppendSegment(0, 0, 25600, 0, LAYER_TOP, 1, false));
    ASSERT_TRUE(net.AppendSegment(0, 25600, 1073972224, 25600, LAYER_TOP, 1, false));
    ASSERT_TRUE(net.SetVertexLayer(1, LAYER_MASK_TOP));
    while (nets.GetCount() < CComponent::padNetNumbers + 30)
        nets.AddNet("N" + std::to_string(nets.GetCount()));
    const CTempFolder folder;
    const std::string file = (folder / "FAR.PCB").string();
    ASSERT_TRUE(doc.OnSaveDocument(file));

    services.messages.ClearShown();
    CWevraDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(file));
    ASSERT_EQ(services.messages.Shown().size(), 1u);
    const std::string& text = services.messages.Shown()[0].text;
    EXPECT_EQ(services.messages.Shown()[0].caption, "FAR");
    EXPECT_NE(text.find("\nNet GND point 2: a track on layer 17, which holds no copper"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nNet GND point 4: position (1073972224, 25600) beyond 1073741824"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n30 nets from net N65536 on: no pad can be in them"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("point 1:"), std::string::npos) << text;
    // Nothing is refused or changed.
    const CNetArray& read = opened.Design().GetNets();
    ASSERT_EQ(read.GetCount(), nets.GetCount());
    const CNet& readNet = *read.GetNet(gnd);
    ASSERT_EQ(readNet.GetVertexCount(), 4);
    EXPECT_EQ(readNet.GetVertexLayer(1), LAYER_MASK_TOP);
    EXPECT_EQ(readNet.GetVertexPoint(3), CPoint(1073972224, 25600));

    // Many of them: the first 20 and the number of the others.
    std::vector<std::string> lines;
    for (int32_t i = 0; i < 25; ++i)
        lines.push_back("line " + std::to_string(i));
    const std::string many = CUnusableValues::Message(lines);
    EXPECT_NE(many.find("\nline 19\n... and 5 more"), std::string::npos) << many;
    EXPECT_EQ(many.find("line 20"), std::string::npos) << many;
}

} // namespace
