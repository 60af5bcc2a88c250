#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CPinSwapTool.h"
#include "document/CViewState.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CRecordingDC.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;

class CPinSwapToolTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        doc->SetDesignPath((folder / "amp").string());
    }
    void WriteRules(const std::string& text) const
    {
        std::ofstream(folder / CPinSwapTool::fileName, std::ios::binary) << text;
    }
    std::vector<uint16_t> ListFor(const std::string& type) const
    {
        CPinSwapTool tool(*doc);
        tool.LoadSwapList(type);
        return tool.GetSwapList();
    }

    CTempFolder folder{"wevra-pinswap"};
};

TEST_F(CPinSwapToolTest, ReadsThePinListOfTheMatchingType)
{
    WriteRules("header\r\n<PINSWAP\r\n  <TYPE 74LS04>\r\n<PINLIST\r\n3\r\n<TYPE 74LS00> \r\n"
               "ignored\r\n  <PINLIST  \r\n1\r\n2\r\n 4 pins\r\n5\r\n/>\r\n");
    CPinSwapTool tool(*doc);
    EXPECT_TRUE(tool.LoadSwapList("74LS00"));
    EXPECT_EQ(tool.GetSwapList(), (std::vector<uint16_t>{0, 1, 3, 4}));
    EXPECT_TRUE(tool.IsSwappable(3));
    EXPECT_FALSE(tool.IsSwappable(2));
    // The closing character is dropped whatever it is; the comparison minds case.
    EXPECT_FALSE(tool.LoadSwapList("74ls00"));
    EXPECT_TRUE(tool.GetSwapList().empty());
}

TEST_F(CPinSwapToolTest, RefusesWhatIsNotAPinListUpToItsEnd)
{
    // No block line before the type.
    WriteRules("<TYPE 74LS00>\n<PINLIST\n1\n/>\n");
    EXPECT_TRUE(ListFor("74LS00").empty());
    // Text after the word does not open a pin list.
    WriteRules("<PINSWAP\n<TYPE 74LS00>\n<PINLIST x\n1\n/>\n");
    EXPECT_TRUE(ListFor("74LS00").empty());
    // No end line before the end of the file.
    WriteRules("<PINSWAP\n<TYPE 74LS00>\n<PINLIST\n1\n2\n");
    EXPECT_TRUE(ListFor("74LS00").empty());
    // A type line too short for a name matches nothing and reads nothing out of bounds.
    WriteRules("<PINSWAP\nx<TYPE \n<TYPE \n<PINLIST\n1\n/>\n");
    EXPECT_TRUE(ListFor("").empty());
    fs::remove(folder / CPinSwapTool::fileName);
    EXPECT_TRUE(ListFor("74LS00").empty());
}

TEST_F(CPinSwapToolTest, SwapExchangesNetsAndIsAnEditThatCanBeUndone)
{
    CComponentArray& components = doc->Design().GetComponents();
    const int32_t u1 = components.AddEmpty(0);
    CComponent& part = *components.GetComponent(u1);
    part.SetType("74LS00");
    part.ResizePadNets(4);
    CNetArray& nets = doc->Design().GetNets();
    const int32_t a = nets.AddNet("A");
    const int32_t b = nets.AddNet("B");
    nets.GetNet(a)->AddPin(100, 200, u1, 0, 0, 0, false, 1);
    nets.GetNet(b)->AddPin(300, 400, u1, 1, 0, 0, false, 1);
    doc->Design().SetPadNet(u1, 0, a);
    doc->Design().SetPadNet(u1, 1, b);
    doc->SetModifiedFlag(false);

    CPinSwapTool tool(*doc);
    EXPECT_FALSE(tool.Swap(a, 0, b, 1));
    EXPECT_FALSE(tool.Swap(a, -1, b, 0));
    ASSERT_TRUE(tool.Swap(a, 0, b, 0));
    EXPECT_EQ(part.GetPadNet(0), b);
    EXPECT_EQ(part.GetPadNet(1), a);
    EXPECT_EQ(nets.GetNet(a)->GetPin(0).pad, 1);
    EXPECT_EQ(nets.GetNet(a)->GetPin(0).x, 300);
    EXPECT_EQ(nets.GetNet(b)->GetPin(0).pad, 0);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->History().CanUndo());
    doc->History().Undo();
    EXPECT_EQ(doc->Design().GetNets().GetNet(a)->GetPin(0).pad, 0);
}

// Pins 1 and 3 of a three-pad part are swappable: picked, the one on the current net shows
// yellow, the other dark yellow, pin 2 not at all; nothing shows on the side without pads.
TEST_F(CPinSwapToolTest, PickedComponentShowsItsSwappablePins)
{
    WriteRules("<PINSWAP\n<TYPE 74LS00>\n<PINLIST\n1\n3\n/>\n");
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    CPadStackArray& stacks = cache.GetPadStacks();
    stacks.RemoveAll();
    const int32_t pad = stacks.Add(CPadStack("S", PAD_SQUARE, -1000, -1000, 1000, 1000, 0,
                                             LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
    const int32_t shape = cache.AddShape("DIP3");
    for (int32_t x : {-5000, 0, 5000})
        cache.AddPadToShape(shape, x, 0, uint16_t(pad), 0);
    cache.RecalcShapeExtent(shape);
    CComponentArray& components = doc->Design().GetComponents();
    const int32_t u1 = components.AddEmpty(shape);
    components.GetComponent(u1)->SetType("74LS00");
    components.GetComponent(u1)->ResizePadNets(3);
    components.SetPosition(u1, 100000, 50000);
    CNetArray& nets = doc->Design().GetNets();
    const int32_t a = nets.AddNet("A");
    const int32_t b = nets.AddNet("B");
    doc->Design().SetPadNet(u1, 0, a);
    doc->Design().SetPadNet(u1, 2, b);
    nets.SetCurrentNet(a);
    doc->View().SetScale(100);
    doc->View().SetOffset(0, 0);
    doc->Session().SetWorkLayer(LAYER_TOP);

    CPinSwapTool tool(*doc);
    doc->Session().SetMode(ID_TOOLS_PINSWAPPING);
    doc->Session().CursorFromPixel(1000, 500);
    tool.OnClick();
    ASSERT_EQ(tool.GetPickedComponent(), u1);
    const auto drawn = [&tool] {
        CRecordingDC dc;
        tool.Draw(dc);
        std::vector<std::string> shapes;
        for (const std::string& line : dc.Lines()) {
            if (line.starts_with("SelectBrush") || line.starts_with("Polygon"))
                shapes.push_back(line);
        }
        return shapes;
    };
    const std::vector<std::string> shapes = drawn();
    ASSERT_EQ(shapes.size(), 6u);
    EXPECT_EQ(
        std::vector<std::string>(shapes.begin() + 1, shapes.end() - 1),
        (std::vector<std::string>{"SelectBrush solid 0x0000FFFF",
                                  "Polygon 940 490, 960 490, 960 510, 940 510, 940 490",
                                  "SelectBrush solid 0x0000BFBF",
                                  "Polygon 1040 490, 1060 490, 1060 510, 1040 510, 1040 490"}));
    components.SetMirrored(u1, true);
    EXPECT_EQ(drawn().size(), 2u);
}

} // namespace
