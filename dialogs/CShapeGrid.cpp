#include "dialogs/CShapeGrid.h"

#include "document/CShapeTable.h"
#include "resources/StringIds.h"

namespace {

constexpr int lockedCols = 2;

} // namespace

CShapeGrid::CShapeGrid(const CDesign& design, CViewCommandHost& view, const CShapeLib& library,
                       QWidget* parent)
    : CTableGrid(view, parent), m_design(design), m_library(&library)
{
}

void CShapeGrid::OnGridSetup()
{
    SetupColumns(IDS_SHAPE_TABLE_HEADINGS, 0, true, false);
    if (m_library != nullptr)
        FillRows(CShapeTable::Rows(m_design, *m_library));
    m_library = nullptr;
    FitColumns();
    FinishSetup(lockedCols);
}

int CShapeGrid::OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    return CompareNumberCells(cell1, cell2, flags);
}
