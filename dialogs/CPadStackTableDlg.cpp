#include "dialogs/CPadStackTableDlg.h"

#include "dialogs/CPadStackGrid.h"
#include "document/CPadStackTable.h"
#include "framework/CResString.h"
#include "framework/qt/CQtText.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

CPadStackTableDlg::CPadStackTableDlg(CWevraDoc& document, CViewCommandHost& view,
                                     const CShapeLib& library, QWidget* parent)
    : CTableDlg(dialogId, ID_PADS_PADSTACK_TABLE,
                CQtText::FromDesignText(CResString::Load(IDS_PADSTACK_TABLE_TITLE) + " " +
                                        library.GetName()),
                view, parent)
{
    HostGrid(new CPadStackGrid(document, view, library, this), idPlaceholder);
    GetGrid()->MoveToText(CPadStackTable::nameColumn,
                          CPadStackTable::DefaultName(document, library));
}

CPadStackGrid* CPadStackTableDlg::GetPadStackGrid() const
{
    return static_cast<CPadStackGrid*>(GetGrid());
}
