#include "editor/CTableCommands.h"

#include <algorithm>
#include <iterator>

#include <QWidget>

#include "dialogs/CComponentTableDlg.h"
#include "dialogs/CLayerTableDlg.h"
#include "dialogs/CNetlistTableDlg.h"
#include "dialogs/CPadStackTableDlg.h"
#include "dialogs/CShapeTableDlg.h"
#include "document/CDesign.h"
#include "document/CLibraryChoice.h"
#include "editor/CWevraView.h"
#include "framework/CCmdUI.h"
#include "framework/CCommandTarget.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

namespace {

struct Table {
    uint32_t command;
    uint32_t dialogId;
    QWidget* (*make)(CWevraView& view, const CTableCommands::Parts& parts);
};

// The padstack and shape tables show a library the user picks first; nothing opens on Cancel,
// nor a shape table of a library without shapes.
const Table tables[] = {
    {ID_COMPONENTS_COMPONENT_TABLE, CWevraView::componentTable,
     [](CWevraView& view, const CTableCommands::Parts& parts) -> QWidget* {
         return new CComponentTableDlg(parts.design, view, &view);
     }},
    {ID_BOARD_LAYER_TABLE, CWevraView::layerTable,
     [](CWevraView& view, const CTableCommands::Parts& /*parts*/) -> QWidget* {
         return new CLayerTableDlg(view.GetDocument(), view, &view);
     }},
    {ID_PADS_PADSTACK_TABLE, CWevraView::padStackTable,
     [](CWevraView& view, const CTableCommands::Parts& parts) -> QWidget* {
         const CShapeLib* library = CLibraryChoice::Pick(parts.design, ID_PADS_PADSTACK_TABLE);
         if (library == nullptr)
             return nullptr;
         return new CPadStackTableDlg(view.GetDocument(), view, *library, &view);
     }},
    {ID_COMPONENTS_SHAPE_TABLE, CWevraView::shapeTable,
     [](CWevraView& view, const CTableCommands::Parts& parts) -> QWidget* {
         const CShapeLib* library = CLibraryChoice::Pick(parts.design, ID_COMPONENTS_SHAPE_TABLE);
         if (library == nullptr || library->GetCount() == 0)
             return nullptr;
         return new CShapeTableDlg(parts.design, view, *library, &view);
     }},
    {ID_NETLIST_NETLIST_TABLE, CWevraView::netlistTable,
     [](CWevraView& view, const CTableCommands::Parts& parts) -> QWidget* {
         return new CNetlistTableDlg(parts.design, parts.session, parts.nets, view, &view);
     }},
};

} // namespace

void CTableCommands::Register(CCommandTarget& target, CWevraView& view, const Parts& parts)
{
    for (const Table& table : tables) {
        target.OnCommand(table.command,
                         [&view, parts, id = table.dialogId] { Open(view, parts, id); });
        target.OnUpdate(table.command, [](CCmdUI& ui) { ui.Enable(true); });
    }
}

QWidget* CTableCommands::Open(CWevraView& view, const Parts& parts, uint32_t dialogId)
{
    if (QWidget* open = view.GetTableWindow(dialogId)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    const auto table = std::find_if(std::begin(tables), std::end(tables),
                                    [dialogId](const Table& t) { return t.dialogId == dialogId; });
    if (table == std::end(tables))
        return nullptr;
    QWidget* window = table->make(view, parts);
    if (window == nullptr)
        return nullptr;
    view.SetTableWindow(dialogId, window);
    window->show();
    window->activateWindow();
    return window;
}
