#include <memory>
#include <string>
#include <vector>

#include <QTest>

#include "dialogs/CShapeGrid.h"
#include "dialogs/CShapeTableDlg.h"
#include "document/CDesign.h"
#include "document/CShapeTable.h"
#include "document/CWevraDoc.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/dialogs/TableTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

using table_test::ClickHeading;
using table_test::Column;
using Strings = std::vector<std::string>;

class CShapeTableDlgTest : public QtApplicationTest {
protected:
    CFakeServices services;
    CTableLanguagePack pack;
    CWevraDoc doc;
    CRecordingTableView view;
};

TEST_F(CShapeTableDlgTest, ShowsPinsAndOutlinesInLibraryOrder)
{
    CShapeLib library("Parts");
    const int32_t stack = library.GetPadStacks().GetDefault(PADSTACK_KIND_SHAPE_PAD);
    for (const char* name : {"ZZ", "AA"}) {
        const int32_t shape = library.AddShape(name);
        library.AddPadToShape(shape, 0, 0, uint16_t(stack), 0);
        library.AddOutlineToShape(shape, 0, 0, uint16_t(LAYER_SILK_TOP << 4));
        library.AddOutlineToShape(shape, 2560, 0, uint16_t(LAYER_SILK_TOP << 4 | 1));
    }
    library.SetCurShape(1);
    CShapeTableDlg table(doc.Design(), view, library);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    CShapeGrid& grid = *table.GetShapeGrid();
    table_test::ExpectRowsHoldTheirText(grid);

    EXPECT_EQ(table.windowTitle(), "Shape Table: Parts");
    EXPECT_EQ(grid.GetText(6, -1), "Pad/Layer");
    const Strings entities = {"Pin 1", "MoveTo", "LineTo", "Pin 1", "MoveTo", "LineTo"};
    EXPECT_EQ(Column(grid, 2), entities);
    EXPECT_EQ(Column(grid, 1), (Strings{"ZZ", "ZZ", "ZZ", "AA", "AA", "AA"}));
    // The current shape's first row is current; a heading click sorts nothing.
    EXPECT_EQ(grid.GetCurrentRow(), 3);
    ClickHeading(grid, 1);
    EXPECT_EQ(Column(grid, 2), entities);
    EXPECT_EQ(Column(grid, 1).front(), "ZZ");

    table.close();
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0],
              std::make_pair(uint32_t(CShapeTableDlg::dialogId), uint32_t(ID_TABLE_CLOSED)));
}

} // namespace
