#include "document/CShapeTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CLibraryChoice.h"
#include "model/CLengthText.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"

namespace {

using Cells = std::vector<std::string>;

// The main window with a shape library set of two libraries.
class CLibraryFrame : public CFontFrame {
public:
    CLibraryFrame()
    {
        set.AddLib(std::make_unique<CShapeLib>("Resistors"));
        set.AddLib(std::make_unique<CShapeLib>("Connectors"));
    }
    const CShapeLibArray* GetLibrarySet() const override { return &set; }

    CShapeLibArray set;
};

class CShapeTableTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previous = CDocumentFrame::Set(&libraryFrame);
        doc->Design().SetUnit(CLengthText::unitMil);
    }
    void TearDown() override
    {
        CDocumentFrame::Set(m_previous);
        CDocumentTest::TearDown();
    }

    CLibraryFrame libraryFrame;

private:
    CDocumentFrame* m_previous = nullptr;
};

} // namespace

// Pins first, then the outline; a name with a comma and quotes keeps its cell.
TEST_F(CShapeTableTest, PinsThenOutline)
{
    CShapeLib library("Parts");
    const int32_t pad = library.GetPadStacks().Add(CPadStack(
        "SQ \"1\"", PAD_SQUARE, -1280, -1280, 1280, 1280, 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
    library.AddShape("EMPTY");
    const int32_t shape = library.AddShape("SO,8 \"wide\"");
    library.AddPadToShape(shape, -2560, 0, uint16_t(pad), 0);
    library.AddOutlineToShape(shape, 0, 25600, uint16_t(LAYER_SILK_TOP << 4));
    library.AddOutlineToShape(shape, 2560, 25600, uint16_t(LAYER_SILK_TOP << 4 | 1));

    const std::vector<CTableRow> rows = CShapeTable::Rows(doc->Design(), library);
    ASSERT_EQ(rows.size(), 3u);
    const std::string number = std::to_string(shape + 1);
    const std::string padNumber = std::to_string(pad + 1);
    EXPECT_EQ(rows[0].cells, (Cells{number, "SO,8 \"wide\"", "Pin 1", "", "-10 mil", "0 mil",
                                    padNumber, "SQ \"1\""}));
    EXPECT_EQ(rows[1].cells, (Cells{number, "SO,8 \"wide\"", "MoveTo", "", "0 mil", "100 mil", "21",
                                    "21 Silkscreen Top"}));
    EXPECT_EQ(rows[2].cells[2], "LineTo");
    EXPECT_EQ(rows[2].cells[3],
              CLengthText::FormatLength(CLengthText::unitMil, library.GetPenWidth(1)));
    for (const CTableRow& row : rows)
        EXPECT_EQ(row.rightAligned, 0x38u);
}

TEST_F(CShapeTableTest, LibraryChoice)
{
    EXPECT_EQ(CLibraryChoice::Entries(), (Cells{"Cache", "Resistors", "Connectors"}));

    services.listPicker.QueueAnswer(0);
    services.listPicker.QueueAnswer(2);
    services.listPicker.QueueAnswer(-1);
    EXPECT_EQ(CLibraryChoice::Pick(doc->Design(), ID_COMPONENTS_SHAPE_TABLE),
              &doc->Design().GetShapeCache());
    EXPECT_EQ(CLibraryChoice::Pick(doc->Design(), ID_COMPONENTS_SHAPE_TABLE),
              libraryFrame.set.GetLib(1));
    EXPECT_EQ(CLibraryChoice::Pick(doc->Design(), ID_COMPONENTS_SHAPE_TABLE), nullptr);
    ASSERT_EQ(services.listPicker.GetShown().size(), 3u);
    EXPECT_EQ(services.listPicker.GetShown()[0].helpCommandId, int32_t(ID_COMPONENTS_SHAPE_TABLE));
}
