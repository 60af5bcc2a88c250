#include "dialogs/CPadStackGrid.h"

#include "document/CPadStackTable.h"
#include "framework/CResString.h"
#include "framework/qt/CQtText.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr int layerCol = 4;
// The layer names get a little more room than their widest text.
constexpr int layerColExtra = 10;
constexpr int lockedCols = 2;

} // namespace

CPadStackGrid::CPadStackGrid(CWevraDoc& document, CViewCommandHost& view, const CShapeLib& library,
                             QWidget* parent)
    : CTableGrid(view, parent), m_document(document), m_library(&library)
{
}

void CPadStackGrid::OnGridSetup()
{
    EnablePopupMenu(1);
    SetupColumns(IDS_PADSTACK_TABLE_HEADINGS, 0, true, false);
    SetUniformRowHeight(1);
    if (m_library != nullptr)
        FillRows(CPadStackTable::Rows(m_document, *m_library));
    m_library = nullptr;
    FitColumns();
    SetColWidth(layerCol, GetColWidth(layerCol) + layerColExtra);
    FinishSetup(lockedCols);
}

int CPadStackGrid::OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    return CompareNumberCells(cell1, cell2, flags);
}

int CPadStackGrid::OnPopupOpen(int /*col*/, int /*row*/, int /*section*/)
{
    ClearMenu();
    // The item shows the command's text after its newline, the whole text when it has none.
    const std::string text = CResString::Load(ID_TABLE_CLOSED);
    AddMenuItem(int(ID_TABLE_CLOSED), CQtText::FromDesignText(text.substr(text.find('\n') + 1)));
    return 1;
}

void CPadStackGrid::OnPopupCommand(int /*col*/, int /*row*/, int /*section*/, int id)
{
    if (id == int(ID_TABLE_CLOSED))
        window()->close();
}

int CPadStackGrid::OnHintText(int /*col*/, int /*row*/, int /*section*/, QString& text)
{
    text.clear();
    return 1;
}
