#include "document/CViewCommands.h"

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewCommandHost.h"
#include "document/CWevraDoc.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

// The page the Grid command opens the design configuration on.
constexpr int32_t gridPage = 2;

bool Offers(CDialogService::Dialog dialog)
{
    return CDialogService::Get().Offers(dialog);
}

} // namespace

void CViewCommands::RegisterLayers()
{
    CWevraDoc& doc = m_document;
    const auto designConfig = [](CCmdUI& ui) {
        ui.Enable(Offers(CDialogService::Dialog::designConfig));
    };
    OnCommand(ID_BOARD_CONFIGURATION, [this] { EditDesignConfig(0); });
    OnUpdate(ID_BOARD_CONFIGURATION, designConfig);
    OnCommand(ID_BOARD_GRID, [this] { EditDesignConfig(gridPage); });
    OnUpdate(ID_BOARD_GRID, designConfig);

    OnCommand(ID_SETTINGS_LAYER, [this, &doc] {
        int32_t layer = doc.Session().GetWorkLayer();
        if (CDialogService::Get().SelectLayer(doc.Design(), doc.Session(), doc.Paint(), layer) !=
            CDialogService::resultOk)
            return;
        doc.Session().SetWorkLayer(layer);
        RedrawFull();
    });
    OnUpdate(ID_SETTINGS_LAYER,
             [](CCmdUI& ui) { ui.Enable(Offers(CDialogService::Dialog::selectLayer)); });

    OnCommand(ID_EDIT_CHANGE_LAYER_ON_SELECTION, [this] { ChangeLayerOnSelection(); });
    OnUpdate(ID_EDIT_CHANGE_LAYER_ON_SELECTION, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Session().GetSelectedCount() > 0 &&
                  Offers(CDialogService::Dialog::selectLayer));
    });

    OnCommand(ID_VIEW_SELECT_LAYERSET, [this, &doc] {
        m_host.SaveCursor();
        const bool ok = CDialogService::Get().DisplayLayerset(doc) == CDialogService::resultOk;
        m_host.RestoreCursor();
        if (ok)
            RedrawFull();
    });
    OnUpdate(ID_VIEW_SELECT_LAYERSET, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Design().GetDisplaySets().GetCount() > 0 &&
                  Offers(CDialogService::Dialog::displayLayerset));
    });
}

void CViewCommands::EditDesignConfig(int32_t firstPage)
{
    CWevraDoc& doc = m_document;
    // The layer sets, layers and jobs may have changed even when the sheet was cancelled.
    if (doc.EditDesignConfig(firstPage))
        doc.SetModified();
    doc.Windows().FillLayerCombo();
    RedrawFull();
}

void CViewCommands::ChangeLayerOnSelection()
{
    CWevraDoc& doc = m_document;
    int32_t layer = doc.Session().GetWorkLayer();
    if (CDialogService::Get().SelectLayer(doc.Design(), doc.Session(), doc.Paint(), layer) !=
        CDialogService::resultOk)
        return;
    doc.Session().SetWorkLayer(layer);
    RedrawFull();
    doc.History().SaveUndoState();
    const int32_t workLayer = doc.Session().GetWorkLayer();
    if (IsCopperLayer(workLayer))
        doc.Design().GetNets().SetLayerOfSelection(workLayer);
    else
        doc.Design().GetLines().ChangeLayerOnSelection(workLayer);
    doc.Session().SetAction(CEditState::actionWaiting);
    doc.Session().SetRubberBandVisible(false);
    doc.SetModified();
    RedrawFull();
}
