#include "interchange/CDosImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CDocumentDosExport.h"
#include "document/CDocumentDosImport.h"
#include "interchange/CDosConfig.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "tests/interchange/DosTestBoard.h"

namespace {

// Reads the set into a fresh design whose shape cache holds the same shapes.
class CDosImportTest : public CDosTest {
protected:
    bool ImportInto(CWevraDoc& target, const std::string& ply)
    {
        target.SetViews(&views);
        target.Design().GetEditableShapeCache() = doc->Design().GetEditableShapeCache();
        CDosImport import(target.DosImport());
        return import.Import(ply);
    }

    void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
};

} // namespace

TEST_F(CDosImportTest, ExportedSetReadsBackWithSizeComponentsNetsAndRotations)
{
    const int32_t vcc = doc->Design().GetNets().AddNet("VCC");
    const int32_t gnd = doc->Design().GetNets().AddNet("GND");
    const int32_t r1 = Place("R1", "10K", "0805", 40000, 20000, 0, false);
    const int32_t r2 = Place("R2", "4k7", "0805", 80000, 20000, 90000, false);
    const int32_t u1 = Place("U1", "LM358", "DIP4", 120000, 40000, 180000, false);
    const int32_t q1 = Place("Q1", "BC847", "SOT3", 160000, 40000, 270000, false);
    const int32_t u2 = Place("U2", "LM358", "DIP4", 120000, 80000, 90000, true);
    SetPadNet(r1, 0, vcc);
    SetPadNet(r1, 1, gnd);
    SetPadNet(r2, 1, vcc);
    SetPadNet(u1, 3, gnd);
    SetPadNet(q1, 2, vcc);
    SetPadNet(u2, 0, gnd);
    std::vector<std::string> problems;
    const std::string ply = ExportSet(&problems);
    EXPECT_EQ(problems, std::vector<std::string>{});

    CWevraDoc target;
    ASSERT_TRUE(ImportInto(target, ply));
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
    EXPECT_EQ(target.Design().GetBoardWidth(), 1000 * 200);
    EXPECT_EQ(target.Design().GetBoardHeight(), 500 * 200);
    const CComponentArray& before = doc->Design().GetComponents();
    const CComponentArray& after = target.Design().GetComponents();
    ASSERT_EQ(after.GetCount(), before.GetCount());
    for (int32_t i = 0; i < before.GetCount(); ++i) {
        const std::string reference = before.GetReference(i);
        EXPECT_EQ(after.GetReference(i), reference);
        EXPECT_EQ(after.GetType(i), before.GetType(i)) << reference;
        EXPECT_EQ(after.GetShapeName(i), before.GetShapeName(i)) << reference;
        EXPECT_EQ(after.GetRotation(i), before.GetRotation(i)) << reference;
        EXPECT_EQ(after.IsMirrored(i), before.IsMirrored(i)) << reference;
        EXPECT_EQ(after.GetComponent(i)->GetPadNets(), before.GetComponent(i)->GetPadNets())
            << reference;
        for (int32_t k = 0; k < before.GetShapePadCount(i); ++k) {
            const CPoint was = before.GetPadPosition(i, k);
            const CPoint is = after.GetPadPosition(i, k);
            EXPECT_LT(std::abs(was.x - is.x), 200) << reference << " pad " << k;
            EXPECT_LT(std::abs(was.y - is.y), 200) << reference << " pad " << k;
        }
    }
}

TEST_F(CDosImportTest, TracksBendFortyFiveDegreesFirst)
{
    EXPECT_EQ(CDosImport::BendPoint45({0, 0}, {10, 4}), CPoint(4, 4));
    EXPECT_EQ(CDosImport::BendPoint45({10, 4}, {0, 0}), CPoint(6, 0));
    EXPECT_EQ(CDosImport::BendPoint45({0, 0}, {0, 7}), CPoint(0, 7));
    EXPECT_EQ(CDosImport::BendPoint45({0, 0}, {-5, 5}), CPoint(-5, 5));

    const int32_t net = doc->Design().GetNets().AddNet("SIG");
    CNet& copper = *doc->Design().GetNets().GetNet(net);
    copper.SetPenTable({0, 2015});
    ASSERT_TRUE(copper.AppendVertex(2000, 2000, 1, 0));
    ASSERT_TRUE(copper.AppendVertex(4000, 2800, 1, 1));
    const std::string ply = ExportSet();

    CWevraDoc target;
    ASSERT_TRUE(ImportInto(target, ply));
    ASSERT_GE(target.Design().GetNets().GetCount(), 2);
    const CNet& read = *target.Design().GetNets().GetNet(1);
    ASSERT_EQ(read.GetVertexCount(), 3);
    EXPECT_EQ(read.GetVertexPoint(0), CPoint(2000, 2000));
    EXPECT_EQ(read.GetVertexPoint(1), CPoint(2800, 2800));
    EXPECT_EQ(read.GetVertexPoint(2), CPoint(4000, 2800));
    EXPECT_EQ(read.GetVertexWidth(2), 2000);
}

// A set that is not what the DOS program writes is refused before the design changes.
TEST_F(CDosImportTest, DamagedSetsAreRefusedWithAMessage)
{
    Place("R1", "10K", "0805", 40000, 20000, 0, false);
    Place("R2", "4k7", "0805", 80000, 20000, 0, false);
    const std::string ply = ExportSet();
    const std::string good = ReadFile(ply);
    ASSERT_EQ(good.size(), (12u + 4u) * 10u);

    struct Damage {
        const char* what;
        std::string bytes;
    };
    std::string moved = good;
    moved[7 * 10 + 4] = '\x10'; // corner 7 no longer lines up
    std::string split = good;
    std::swap_ranges(split.begin() + 130, split.begin() + 140, split.begin() + 140);
    const Damage damages[] = {
        {"too short for the corner marks", good.substr(0, 110)},
        {"cut inside a record", good.substr(0, good.size() - 3)},
        {"moved corner mark", moved},
        {"component records apart", split},
    };
    for (const Damage& damage : damages) {
        WriteBytes(ply, damage.bytes);
        CWevraDoc target;
        const size_t shown = services.messages.ShownTexts().size();
        EXPECT_FALSE(ImportInto(target, ply)) << damage.what;
        EXPECT_EQ(target.Design().GetComponents().GetCount(), 0) << damage.what;
        ASSERT_EQ(services.messages.ShownTexts().size(), shown + 1) << damage.what;
        EXPECT_EQ(
            services.messages.ShownTexts().back().rfind("Unexpected file contents in " + ply, 0),
            0u)
            << damage.what;
    }

    // A configuration value beyond the board's range.
    WriteBytes(ply, good);
    const std::string cnf = (folder / "demo" / "PCB" / "DEMO.CNF").string();
    std::string text = ReadFile(cnf);
    const std::string originalCnf = text;
    const size_t pens = text.find("PN_DRC") - 10;
    text.replace(pens, 8, "99999999");
    WriteBytes(cnf, text);
    CWevraDoc target;
    EXPECT_FALSE(ImportInto(target, ply));
    EXPECT_EQ(services.messages.ShownTexts().back(), cnf + ": Unreadable value in line 172");

    // A configuration and a component list that are no text.
    WriteBytes(cnf, "4.85\r\n" + std::string(200, '\0'));
    EXPECT_FALSE(ImportInto(target, ply));
    EXPECT_EQ(services.messages.ShownTexts().back(), cnf + ": Unexpected contents in line 2");
    WriteBytes(cnf, originalCnf);
    const std::string cmp = (folder / "demo" / "PCB" / "DEMO.CMP").string();
    const std::string originalCmp = ReadFile(cmp);
    WriteBytes(cmp, std::string(200, '\0'));
    EXPECT_FALSE(ImportInto(target, ply));
    EXPECT_EQ(services.messages.ShownTexts().back(),
              "Unexpected file contents in " + cmp + " (line 1); the design has not been opened.");
    EXPECT_EQ(target.Design().GetComponents().GetCount(), 0);

    // A component list cut inside its last line is refused; a configuration cut short opens
    // with the values it lost named.
    WriteBytes(cmp, originalCmp.substr(0, originalCmp.size() - 30));
    EXPECT_FALSE(ImportInto(target, ply));
    EXPECT_EQ(services.messages.ShownTexts().back(),
              "Unexpected file contents in " + cmp +
                  " (line 2 cut short); the design has not been opened.");
    EXPECT_EQ(target.Design().GetComponents().GetCount(), 0);
    WriteBytes(cmp, originalCmp);
    size_t hundredLines = 0;
    for (int32_t line = 0; line < 100; ++line)
        hundredLines = originalCnf.find('\n', hundredLines) + 1;
    WriteBytes(cnf, originalCnf.substr(0, hundredLines));
    const size_t before = services.messages.ShownTexts().size();
    CWevraDoc cut;
    EXPECT_TRUE(ImportInto(cut, ply));
    EXPECT_EQ(cut.Design().GetComponents().GetCount(), 2);
    ASSERT_EQ(services.messages.ShownTexts().size(), before + 1);
    EXPECT_EQ(services.messages.ShownTexts().back(),
              cnf + ": the file ends early, in line 100; the drills, pad sizes and pens it does "
                    "not reach are taken as 0.");
}

TEST_F(CDosImportTest, ComponentListLinesWithoutRecordsOrTextMakeNoComponent)
{
    Place("R1", "10K", "0805", 40000, 20000, 0, false);
    const std::string ply = ExportSet();
    const std::string cmp = (folder / "demo" / "PCB" / "DEMO.CMP").string();
    // A blank first line moves R1 to line 2, which R1's records (object 1) do not name; the
    // records of object 1 now belong to the blank line.
    WriteBytes(cmp, "\r\n" + ReadFile(cmp) + "EXTRA               X9                  0805\r\n");
    CWevraDoc target;
    ASSERT_TRUE(ImportInto(target, ply));
    EXPECT_EQ(target.Design().GetComponents().GetCount(), 0);
}

TEST_F(CDosImportTest, ConfigurationLinesAreReadWhole)
{
    // A path longer than 78 characters in line 3 leaves the later lines where they are.
    std::string text = "4.85\r\nWevra PCB Export\r\n" + std::string(200, 'P') + "\r\n";
    for (int32_t line = 4; line < 20; ++line)
        text += "0\r\n";
    text += "0.00\r\n0.80\r\n";
    CDosConfig config;
    std::string error;
    ASSERT_TRUE(config.Read(text, error));
    EXPECT_EQ(config.drills[1], 8062);
    EXPECT_EQ(config.clearance, 0) << "a file ending early leaves the rest at 0";

    const CDosImport::CmpEntry short20 = CDosImport::ParseCmpLine("LM358-LONG-TYPE-NAME");
    EXPECT_EQ(short20.type, "LM358-LONG-T");
    EXPECT_EQ(short20.reference, "");
    const CDosImport::CmpEntry full = CDosImport::ParseCmpLine(
        "10K                 R1                  0805-LONGER         200     100     0");
    EXPECT_EQ(full.reference, "R1");
    EXPECT_EQ(full.shape, "0805-LON");
}

// The layers the user assigns in the layer-map dialog decide where the copper goes; a DOS layer
// assigned to none is left out. Cancel there opens nothing.
TEST_F(CDosImportTest, TracksGoToTheLayersTheUserAssigns)
{
    const int32_t top = doc->Design().GetNets().AddNet("TOP");
    const int32_t inner = doc->Design().GetNets().AddNet("INNER");
    for (const int32_t net : {top, inner}) {
        CNet& copper = *doc->Design().GetNets().GetNet(net);
        copper.SetPenTable({0, 2015});
        const int32_t layer = net == top ? LAYER_TOP : LAYER_BOTTOM;
        ASSERT_TRUE(copper.AppendVertex(2000, 2000 * net, layer, 0));
        ASSERT_TRUE(copper.AppendVertex(6000, 2000 * net, layer, 1));
    }
    const std::string ply = ExportSet();

    layermap.assign = {{1, LAYER_POWER}, {2, 0}};
    CWevraDoc target;
    ASSERT_TRUE(ImportInto(target, ply));
    EXPECT_EQ(layermap.shownCount, 1);
    EXPECT_FALSE(layermap.shownBrowse);
    EXPECT_EQ(layermap.shownLayerNames[LAYER_SILK_TOP],
              target.Design().GetLayers().GetLayerName(LAYER_SILK_TOP));
    EXPECT_EQ(layermap.shownConfig.layerMap[8], LAYER_SILK_TOP) << "the default map is offered";
    const CNet& moved = *target.Design().GetNets().GetNet(top);
    ASSERT_EQ(moved.GetVertexCount(), 2);
    EXPECT_EQ(moved.GetVertexLayer(0), LAYER_POWER);
    EXPECT_EQ(moved.GetVertexLayer(1), LAYER_POWER);
    EXPECT_EQ(target.Design().GetNets().GetNet(inner)->GetVertexCount(), 0);

    layermap.result = CDialogService::resultCancel;
    CWevraDoc cancelled;
    EXPECT_FALSE(ImportInto(cancelled, ply));
    EXPECT_EQ(cancelled.Design().GetNets().GetCount(), CWevraDoc().Design().GetNets().GetCount());
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{});
}

// Free texts on the silkscreen and the drawing layers come back there when the set is opened
// again, and the export names what the set holds otherwise than the design.
TEST_F(CDosImportTest, FreeTextsComeBackOnTheirLayersAndTheExportNamesWhatChanged)
{
    Place("R1", "10K", "0805", 40000, 20000, 0, false);
    CWevraText text;
    text.SetText("555 TIMER");
    text.SetPosition(CPoint(60000, 60000));
    text.SetHeight(20000);
    text.SetLineWidth(5039); // 0.5 mm
    text.SetLayer(LAYER_SILK_TOP);
    doc->Design().GetTexts().AddText(&text);
    text.SetText("NOTE");
    text.SetLayer(LAYER_DRAWING_1 + 1);
    doc->Design().GetTexts().AddText(&text);
    // A net the set can hold only by its number.
    CNetArray& nets = doc->Design().GetNets();
    const int32_t gnd = nets.AddNet("GND");
    ASSERT_TRUE(nets.GetNet(gnd)->AppendSegment(80000, 20000, 90000, 20000, LAYER_TOP, 1, false));
    const std::string ply = ExportSet();

    CWevraDoc target;
    ASSERT_TRUE(ImportInto(target, ply));
    ASSERT_GT(target.Design().GetNets().GetCount(), gnd);
    const std::string numbered = target.Design().GetNets().GetNetName(gnd);
    const CDrawRecArray& lines = target.Design().GetLines();
    EXPECT_GT(lines.GetLayerCount(LAYER_SILK_TOP), 0);
    EXPECT_GT(lines.GetLayerCount(LAYER_DRAWING_1 + 1), 0);
    EXPECT_EQ(lines.GetLayerCount(LAYER_DRAWING_4), 0);

    services.fileDialogs.QueueFolder(folder.string());
    EXPECT_TRUE(CDocumentDosExport(doc->Design(), doc->Planes(), doc->Session(), doc->Windows(),
                                   doc->GetDesignFolder(), doc->GetDesignName())
                    .ExportFromUser());
    const std::string told = services.messages.ShownTexts().back();
    EXPECT_EQ(told.rfind("Ok.\n\nThe DOS set differs from the design:\n", 0), 0u) << told;
    EXPECT_NE(told.find("texts are kept as strokes only"), std::string::npos) << told;
    EXPECT_NE(told.find("sizes are rounded down to the DOS unit of 0.020 mm"), std::string::npos)
        << told;
    EXPECT_NE(told.find("\n1 net name is not held: the DOS set numbers its nets (e.g. GND comes "
                        "back as " +
                        numbered + ")."),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("\n1 component's shape is held as pads only: a shape that no library "
                        "holds as it is comes back as one per component (e.g. 0805 of R1 comes "
                        "back as 0805_R1)."),
              std::string::npos)
        << told;
}
