#include "editor/CTableCommands.h"

#include <algorithm>
#include <iterator>

#include <QWidget>

#include "dialogs/CComponentTableDlg.h"
#include "editor/CWevraView.h"
#include "framework/CCmdUI.h"
#include "framework/CCommandTarget.h"
#include "resources/CommandIds.h"

namespace {

struct Table {
    uint32_t command;
    uint32_t dialogId;
    QWidget* (*make)(CWevraView& view);
};

const Table tables[] = {
    {ID_COMPONENTS_COMPONENT_TABLE, CWevraView::componentTable,
     [](CWevraView& view) -> QWidget* {
         return new CComponentTableDlg(view.GetDocument(), view, &view);
     }},
};

} // namespace

void CTableCommands::Register(CCommandTarget& target, CWevraView& view)
{
    for (const Table& table : tables) {
        target.OnCommand(table.command, [&view, id = table.dialogId] { Open(view, id); });
        target.OnUpdate(table.command, [](CCmdUI& ui) { ui.Enable(true); });
    }
}

QWidget* CTableCommands::Open(CWevraView& view, uint32_t dialogId)
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
    QWidget* window = table->make(view);
    view.SetTableWindow(dialogId, window);
    window->show();
    window->activateWindow();
    return window;
}
