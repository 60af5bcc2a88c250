#include "dialogs/CComponentTableDlg.h"

#include "dialogs/CComponentGrid.h"
#include "resources/CommandIds.h"

CComponentTableDlg::CComponentTableDlg(const CDesign& design, CViewCommandHost& view,
                                       QWidget* parent)
    : CTableDlg(dialogId, ID_COMPONENTS_COMPONENT_TABLE, QStringLiteral("Component Table"), view,
                parent)
{
    HostGrid(new CComponentGrid(design, view, this), idPlaceholder);
}

CComponentGrid* CComponentTableDlg::GetComponentGrid() const
{
    return static_cast<CComponentGrid*>(GetGrid());
}
