#include "dialogs/CComponentTableDlg.h"

#include "dialogs/CComponentGrid.h"
#include "resources/CommandIds.h"

CComponentTableDlg::CComponentTableDlg(CWevraDoc& document, CViewCommandHost& view, QWidget* parent)
    : CTableDlg(dialogId, ID_COMPONENTS_COMPONENT_TABLE, QStringLiteral("Component Table"), view,
                parent)
{
    HostGrid(new CComponentGrid(document, view, this), idPlaceholder);
}

CComponentGrid* CComponentTableDlg::GetComponentGrid() const
{
    return static_cast<CComponentGrid*>(GetGrid());
}
