#include "document/CTemplateImport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CTempFolder.h"

namespace {

// A template with two drawn polylines, a free pad and a shape "SOT23".
class CTemplateImportTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        CWevraDoc source;
        CDrawRecArray& lines = source.Design().GetLines();
        lines.AddSegment(0, 0, 10000, 0, LAYER_DRAWING_1, lines.FindOrAddPen(3000), 0);
        lines.AddSegment(0, 5000, 10000, 5000, LAYER_DRAWING_1, lines.FindOrAddPen(1000), 0);
        source.Design().GetEditableShapeCache().AddShape("SOT23");
        CNet& board = *source.Design().GetNets().GetNet(0);
        board.AppendPadVertex(7000, 8000, source.Design().GetPadStacks().GetDefault(1), 0, false);
        path = (folder / "Board1.pcb").string();
        ASSERT_TRUE(source.OnSaveDocument(path));
        doc->SetModifiedFlag(false);
    }

    std::vector<CPoint> LinePoints() const
    {
        std::vector<CPoint> points;
        for (int32_t i = 0; i < doc->Design().GetLines().GetCount(); ++i)
            points.push_back(doc->Design().GetLines().GetPoint(i));
        return points;
    }

    CTempFolder folder;
    std::string path;
};

} // namespace

TEST_F(CTemplateImportTest, TemplatesAreListedByUpperCaseName)
{
    std::ofstream((folder / "a.txt").string()) << "x";
    const auto templates = CTemplateImport::ListTemplates((folder / "DEFAULT.PCB").string());
    ASSERT_EQ(templates.size(), 1u);
    EXPECT_EQ(templates[0].name, "BOARD1");
    EXPECT_EQ(templates[0].path, path);
}

TEST_F(CTemplateImportTest, LinesAlreadyOnTheBoardAreSkippedAndTheRestAdded)
{
    // The board holds the template's first polyline already, with a pen of another number.
    CDrawRecArray& lines = doc->Design().GetLines();
    lines.FindOrAddPen(500);
    lines.AddSegment(0, 0, 10000, 0, LAYER_DRAWING_1, lines.FindOrAddPen(3000), 0);
    ASSERT_EQ(CTemplateImport::Import(*doc, path, CTemplateImport::lines),
              CTemplateImport::Result::imported);
    EXPECT_EQ(LinePoints(), (std::vector<CPoint>{{0, 0}, {10000, 0}, {0, 5000}, {10000, 5000}}));
    EXPECT_EQ(lines.GetVertexWidth(3), 1000);
    EXPECT_TRUE(doc->IsModified());
    // A second import adds nothing.
    CTemplateImport::Import(*doc, path, CTemplateImport::lines);
    EXPECT_EQ(lines.GetCount(), 4);
}

TEST_F(CTemplateImportTest, PensShapesAndPadsAreAddedOnce)
{
    const uint32_t parts = CTemplateImport::pens | CTemplateImport::shapes |
                           CTemplateImport::genericPads | CTemplateImport::pads;
    doc->Design().GetEditableShapeCache().AddShape("sot23");
    for (int pass = 0; pass < 2; ++pass)
        CTemplateImport::Import(*doc, path, parts);
    const std::vector<uint16_t>& pens = doc->Design().GetLines().GetPenTable();
    EXPECT_TRUE(std::is_sorted(pens.begin(), pens.end()));
    EXPECT_EQ(std::count(pens.begin(), pens.end(), 3000), 1);
    EXPECT_EQ(doc->Design().GetShapeCache().GetCount(), 1);
    const CNet& board = *doc->Design().GetNets().GetNet(0);
    int32_t padVertices = 0;
    for (int32_t v = 0; v < board.GetVertexCount(); ++v)
        padVertices += board.IsPadVertex(v) ? 1 : 0;
    EXPECT_EQ(padVertices, 1);
}

TEST_F(CTemplateImportTest, ATemplateCutShortOrNoChoiceChangesNothing)
{
    EXPECT_EQ(CTemplateImport::Import(*doc, path, 0), CTemplateImport::Result::nothingChosen);
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 7);
    const int32_t undoCount = doc->History().GetUndoCount();
    const std::string layerName = doc->Design().GetLayers().GetLayerName(1);
    EXPECT_EQ(CTemplateImport::Import(
                  *doc, path, CTemplateImport::dataParts | CTemplateImport::definitionParts),
              CTemplateImport::Result::unreadable);
    EXPECT_EQ(doc->Design().GetLines().GetCount(), 0);
    EXPECT_EQ(doc->History().GetUndoCount(), undoCount);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Design().GetLayers().GetLayerName(1), layerName);
    EXPECT_EQ(services.messages.ShownTexts().size(), 1u);
}
