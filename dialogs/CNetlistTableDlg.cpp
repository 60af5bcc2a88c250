#include "dialogs/CNetlistTableDlg.h"

#include "dialogs/CNetlistGrid.h"
#include "resources/CommandIds.h"

CNetlistTableDlg::CNetlistTableDlg(CDesign& design, CEditSession& session, CNetArrayDocument& nets,
                                   CViewCommandHost& view, QWidget* parent)
    : CTableDlg(dialogId, ID_NETLIST_NETLIST_TABLE, QStringLiteral("Netlist Table"), view, parent)
{
    HostGrid(new CNetlistGrid(design, session, nets, view, this), idPlaceholder);
}

CNetlistGrid* CNetlistTableDlg::GetNetlistGrid() const
{
    return static_cast<CNetlistGrid*>(GetGrid());
}
