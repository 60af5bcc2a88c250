#include <memory>
#include <string>
#include <vector>

#include <QMenu>
#include <QTest>

#include "dialogs/CPadStackGrid.h"
#include "dialogs/CPadStackTableDlg.h"
#include "document/CEditSession.h"
#include "document/CPadStackTable.h"
#include "document/CWevraDoc.h"
#include "gridctrl/CGridCell.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/dialogs/TableTestSupport.h"
#include "tests/support/CFakeServices.h"

namespace {

using table_test::Column;

class CPadStackTableDlgTest : public QtApplicationTest {
protected:
    void Open(const CShapeLib& library)
    {
        table = std::make_unique<CPadStackTableDlg>(doc, view, library);
        table->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));
    }
    CPadStackGrid& Grid() { return *table->GetPadStackGrid(); }

    CFakeServices services;
    CTableLanguagePack pack;
    CWevraDoc doc;
    CRecordingTableView view;
    std::unique_ptr<CPadStackTableDlg> table;
};

TEST_F(CPadStackTableDlgTest, ShowsTheRowsOfTheLibraryWithItsDefaultCurrent)
{
    CShapeLib library("Parts, \"SMD\"");
    CPadStackArray& stacks = library.GetPadStacks();
    const int32_t pad = stacks.Add(CPadStack("R, 0805", PAD_RECTANGLE, -1280, -2560, 1280, 2560, 0,
                                             LAYER_TOP, PADSTACK_KIND_PAD));
    stacks.SetDefault(doc.Session().GetDefaultPadStackKind(), pad);
    Open(library);

    EXPECT_EQ(table->windowTitle(), "PadStack Table: Parts, \"SMD\"");
    const std::vector<CTableRow> rows = CPadStackTable::Rows(doc, library);
    ASSERT_EQ(Grid().GetNumberRows(), int(rows.size()));
    ASSERT_EQ(Grid().GetNumberCols(), 10);
    for (int row = 0; row < Grid().GetNumberRows(); ++row)
        for (int col = 0; col < 10; ++col)
            ASSERT_EQ(Grid().GetText(col, row), rows[size_t(row)].cells[size_t(col)]);
    EXPECT_EQ(Grid().GetText(CPadStackTable::nameColumn, Grid().GetCurrentRow()), "R, 0805");
    CGridCell width;
    Grid().GetCell(6, Grid().GetCurrentRow() + 1, width);
    EXPECT_EQ(width.GetAlignment(), GA_RIGHT);

    // Read-only: the popup offers Close alone, which ends the table as the close button does.
    ASSERT_EQ(Grid().OnPopupOpen(0, 0, GS_CELLAREA), 1);
    ASSERT_EQ(Grid().GetPopupMenu()->actions().size(), 1);
    EXPECT_EQ(Grid().GetPopupMenu()->actions()[0]->text(), "Close");
    Grid().GetPopupMenu()->actions()[0]->trigger();
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0],
              std::make_pair(uint32_t(CPadStackTableDlg::dialogId), uint32_t(ID_TABLE_CLOSED)));
}

} // namespace
