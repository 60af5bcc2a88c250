#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/CComponentProperties.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CUnusableValues.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CResourcePack.h"
#include "framework/CWindows1252.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPad.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"
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

    // The text placed is one step, dialog and all: no text that was never placed comes back.
    EXPECT_EQ(doc.History().GetUndoCount(), 1);
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
    EXPECT_NE(text.find("\nNet GND point 4: x 1073972224, outside -1073741823 to 1073741823"),
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

// Pads, texts, drawn lines, planes and settings of sizes no board has are named too, when a
// design is opened and when File > New starts a design from a template that holds them, and
// they are kept as the file has them.
TEST(CWevraDocOpenTest, PadsTextsLinesPlanesAndSettingsNoBoardUsesAreNamed)
{
    CFakeServices services;
    CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    CWevraDoc doc;
    CDesign& design = doc.Design();
    CPadStackArray& stacks = design.GetEditableShapeCache().GetPadStacks();
    const int32_t stack = stacks.Add(CPadStack("ODD", PAD_ROUND, -5000, -5000, 5000, 5000, 2000,
                                               LAYER_COMMON, PADSTACK_KIND_PAD));
    CPad& top = *stacks.GetPadStack(stack)->GetPad(LAYER_TOP);
    top.Set(0xE7, -5000, -5000, 5000, 5000);
    top.SetRotation(400000);
    stacks.GetPadStack(stack)->GetPad(LAYER_BOTTOM)->Set(PAD_SQUARE, 5000, 5000, -5000, -5000);
    stacks.GetPadStack(stack)
        ->GetPad(LAYER_INNER_1)
        ->Set(PAD_ROUND, -1073741824, -5000, 5000, 5000);
    const int32_t plain = stacks.Add(CPadStack("PLAIN", PAD_ROUND, -5000, -5000, 5000, 5000, 2000,
                                               LAYER_COMMON, PADSTACK_KIND_PAD));
    CWevraText text;
    text.SetText("BIG");
    text.SetPosition(CPoint(25600, 25600));
    text.SetHeight(1200000000);
    design.GetTexts().AddText(&text);
    CDrawRecArray& lines = design.GetLines();
    lines.AddSegment(0, 0, 1073741825, 0, LAYER_SILK_TOP, lines.FindOrAddPen(1511), 0);
    auto plane = std::make_unique<CPour>(0, LAYER_BOTTOM, 0, 0, CPour::styleSolid, 2015, 6047, 0);
    for (const CPoint point : {CPoint(-2147483647, -100), CPoint(100, -100), CPoint(100, 100)})
        plane->GetOutline().SetAtGrow(plane->GetOutline().GetSize(), point.x, point.y);
    plane->CloseOutline();
    plane->SetName("WIDE");
    design.GetPlanes().push_back(std::move(plane));
    design.SetBoardSize(2000000000, 768000);
    design.GetGridSettings().SetSpacing(CGridArr::gridBlock, 1200000000, 25600);
    design.GetOutputJobs().GetJob(0)->SetScale(1e9);
    // Fields no check looked at before: exactly 2^30 is as unusable as beyond.
    CWevraText edge;
    edge.SetText("EDGE");
    edge.SetPosition(CPoint(1073741824, 25600));
    design.GetTexts().AddText(&edge);
    design.GetPlanes().back()->SetHatchRotation(INT32_MIN);
    design.GetPlanes().back()->SetMinSpace(INT32_MAX);
    design.GetPlanes().back()->SetStyle(255);
    design.GetComponents().SetTextHeight(0, INT32_MAX);
    design.GetOutputJobs().GetJob(0)->SetOffset(INT32_MIN, 0);
    design.Settings().userOffset = CPoint(0, INT32_MAX);
    design.GetLines().FindOrAddPen(65535);
    const int32_t net = design.GetNets().AddNet("RULES");
    design.GetNets().GetNet(net)->SetWidths(INT32_MIN, INT32_MAX, INT32_MIN);
    design.GetNets().GetNet(net)->SetPenTable({0, 0});
    const CTempFolder folder;
    const std::string file = (folder / "ODD.PCB").string();
    ASSERT_TRUE(doc.OnSaveDocument(file));

    const std::string odd = "Padstack " + std::to_string(stack + 1) + " \"ODD\" layer ";
    const std::vector<std::string> expected = {
        odd + "1: shape code 231, outside 1 to 9",
        odd + "1: rotation 400000, outside -360000 to 360000",
        odd + "2: pad rectangle (5000, 5000, -5000, -5000) inverted",
        odd + std::to_string(LAYER_INNER_1) +
            ": left -1073741824, outside -1073741823 to 1073741823",
        "Text \"BIG\": height 1200000000, outside 0 to 1073741823",
        "Drawn line point 2: x 1073741825, outside -1073741823 to 1073741823",
        "Plane WIDE outline point 1: x -2147483647, outside -1073741823 to 1073741823",
        "Header: board width 2000000000, outside 1 to 1073741823",
        "Grid 2: spacing x 1200000000, outside 1 to 1073741823",
        "Output job \"" + design.GetOutputJobs().GetJob(0)->GetJobName() +
            "\": scale 1000000000.0000, outside 0.1000 to 1000.0000",
        "Output job \"" + design.GetOutputJobs().GetJob(0)->GetJobName() +
            "\": offset x -2147483648, outside -1073741823 to 1073741823",
        "Text \"EDGE\": x 1073741824, outside -1073741823 to 1073741823",
        "Plane WIDE: hatch rotation -2147483648, outside -360000 to 360000",
        "Plane WIDE: minimal space 2147483647, outside 0 to 1073741823",
        "Plane WIDE: style 255, outside 0 to 3",
        "Component reference texts: text height 2147483647, outside 0 to 1073741823",
    };
    // A template gives a new design no nets, but its file holds them.
    const std::vector<std::string> netLines = {
        "Net RULES: minimal width -2147483648, outside 0 to 1073741823",
        "Net RULES: maximal width 2147483647, outside 0 to 1073741823",
        "Net RULES: clearance -2147483648, outside 0 to 1073741823",
    };
    // Said by the reader, which gives such a table a width.
    const std::string penless = "These nets had no pen with a width above 0; their tracks now take "
                                "the width 3023:\nRULES\n" +
                                CResString::Load(IDS_DESIGN_SETTINGS_REPAIRED);
    // The message shows the first lines and counts the others.
    const auto check = [&](const std::string& title, const CDesign& read,
                           const std::vector<std::string>& more) {
        ASSERT_EQ(services.messages.Shown().size(), 2u);
        EXPECT_EQ(services.messages.Shown()[0].text, penless);
        const CScriptedMessageService::Message& shown = services.messages.Shown().back();
        EXPECT_EQ(shown.caption, title);
        EXPECT_EQ(shown.text.rfind("The design holds values the program cannot work with", 0), 0u)
            << shown.text;
        const std::vector<std::string> lines = CUnusableValues::Lines(read);
        EXPECT_EQ(shown.text, CUnusableValues::Message(lines));
        std::string all;
        for (const std::string& line : lines)
            all += "\n" + line;
        for (const auto* lines : {&expected, &more}) {
            for (const std::string& line : *lines)
                EXPECT_NE(all.find("\n" + line), std::string::npos) << line << "\n" << all;
        }
        // A padstack whose pads are all of known shapes and sizes is not named.
        EXPECT_EQ(all.find("PLAIN"), std::string::npos) << all;
    };
    services.messages.ClearShown();
    CWevraDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(file));
    check("ODD", opened.Design(), netLines);
    // Kept as the file has them.
    const CPadStack& read = *opened.Design().GetPadStacks().GetPadStack(stack);
    EXPECT_EQ(read.GetPad(LAYER_TOP)->GetShape(), 0xE7);
    EXPECT_EQ(read.GetPad(LAYER_TOP)->GetRotation(), 400000);
    EXPECT_EQ(read.GetPad(LAYER_BOTTOM)->GetRect(), CRect(5000, 5000, -5000, -5000));
    EXPECT_EQ(opened.Design().GetBoardWidth(), 2000000000);
    EXPECT_EQ(opened.Design().GetOutputJobs().GetJob(0)->GetScale(), 1e9);
    EXPECT_FALSE(opened.IsModified());
    EXPECT_EQ(opened.Design().GetPadStacks().GetPadStack(plain)->GetName(), "PLAIN");

    // File > New from the same file as a template.
    services.messages.ClearShown();
    CWevraDoc fresh;
    ASSERT_TRUE(fresh.ReadTemplate(file));
    check("ODD", fresh.Design(), {});
    EXPECT_EQ(fresh.Design().GetPadStacks().GetPadStack(stack)->GetPad(LAYER_TOP)->GetShape(),
              0xE7);
    CResourcePack::SetCurrent(CResourcePack());
}

} // namespace
