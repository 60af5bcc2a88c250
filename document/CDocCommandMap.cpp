#include "document/CDocCommandMap.h"

#include "document/CDesign.h"
#include "document/CDialogCommands.h"
#include "document/CDocumentDosExport.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentNetlist.h"
#include "document/CDocumentOutput.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentViews.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CRoutingCommands.h"
#include "document/CToolCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "model/CDialogService.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "resources/CommandIds.h"

CDocCommandMap::CDocCommandMap(CWevraDoc& document) : m_document(document)
{
    CWevraDoc& doc = m_document;
    // An edit still open ends first, kept or abandoned as End Mode ends it: Undo then takes back
    // a whole step at the first press, and the tool is not left drawing on what Undo replaced.
    const auto endOpenEdit = [&doc] {
        if (!doc.Session().IsAction(CEditState::actionWaiting))
            doc.View().Windows().EndMode();
    };
    OnCommand(ID_EDIT_UNDO, [&doc, endOpenEdit] {
        endOpenEdit();
        doc.History().Undo();
        doc.Windows().RedrawBoardViews();
    });
    OnUpdate(ID_EDIT_UNDO, [&doc](CCmdUI& ui) { ui.Enable(doc.History().CanUndo()); });
    OnCommand(ID_EDIT_REDO, [&doc, endOpenEdit] {
        endOpenEdit();
        doc.History().Redo();
        doc.Windows().RedrawBoardViews();
    });
    OnUpdate(ID_EDIT_REDO, [&doc](CCmdUI& ui) { ui.Enable(doc.History().CanRedo()); });

    OnCommand(ID_SETTINGS_SNAP_TO_GRID, [&doc] { doc.Editing().OnSettingsSnapToGrid(); });
    OnUpdate(ID_SETTINGS_SNAP_TO_GRID,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Editing().IsSnapToGridOn()); });
    OnCommand(ID_SETTINGS_SNAP_TO_GUIDELINES,
              [&doc] { doc.Editing().OnSettingsSnapToGuidelines(); });
    OnUpdate(ID_SETTINGS_SNAP_TO_GUIDELINES, [&doc](CCmdUI& ui) {
        ui.SetCheck(doc.Editing().IsSnapToGuidelinesOn());
        ui.SetText(doc.Editing().GetSnapToGuidelinesText());
    });
    OnCommand(ID_OTHER_SNAP_TO_GUIDES_DECREMENT,
              [&doc] { doc.Editing().OnSnapToGuidesDecrement(); });
    OnCommand(ID_OTHER_SNAP_TO_GUIDES_INCREMENT,
              [&doc] { doc.Editing().OnSnapToGuidesIncrement(); });

    // A printing job prints every item of the job through the document's job printing.
    OnCommand(ID_FILE_OUTPUT, [&doc] {
        CDocumentOutput(doc.Design(), doc.Planes(), doc.GetDesignFolder(), doc.GetDesignName())
            .RunOutputJob([&doc] { doc.Paint().PrintOutputJob(""); });
        doc.Windows().RedrawBoardViews();
    });
    OnUpdate(ID_FILE_OUTPUT,
             [&doc](CCmdUI& ui) { ui.Enable(doc.Design().GetOutputJobs().GetCount() > 0); });

    OnUpdate(ID_NETLIST_LOAD, [&doc](CCmdUI& ui) { ui.Enable(!doc.IsShapeDocument()); });
    OnCommand(ID_FILE_EXPORT_EXPORT_PLY_CNF_CMP_FORMAT, [&doc] {
        CDocumentDosExport(doc.Design(), doc.Planes(), doc.Session(), doc.Windows(),
                           doc.GetDesignFolder(), doc.GetDesignName())
            .ExportFromUser();
    });
    OnUpdate(ID_FILE_EXPORT_EXPORT_PLY_CNF_CMP_FORMAT,
             [&doc](CCmdUI& ui) { ui.Enable(!doc.IsShapeDocument()); });
    OnCommand(ID_NETLIST_SAVE, [&doc] { CDocumentNetlist(doc).SaveFromUser(); });
    OnUpdate(ID_NETLIST_SAVE, [&doc](CCmdUI& ui) {
        ui.Enable(!doc.IsShapeDocument() && doc.Design().GetNets().GetCount() > 1);
    });

    // Both open a dialog: without one to show they would do nothing after their question.
    OnCommand(ID_BOARD_IMPORT_FROM_TEMPLATE, [&doc] { doc.Editing().OnBoardImportFromTemplate(); });
    OnUpdate(ID_BOARD_IMPORT_FROM_TEMPLATE, [](CCmdUI& ui) {
        ui.Enable(CDialogService::Get().Offers(CDialogService::Dialog::templateImport));
    });
    OnCommand(ID_BOARD_PROPERTIES, [&doc] { doc.OnBoardProperties(); });
    OnUpdate(ID_BOARD_PROPERTIES, [](CCmdUI& ui) {
        ui.Enable(CDialogService::Get().Offers(CDialogService::Dialog::pcbInfo));
    });
    OnCommand(ID_FILE_SEND_MAIL, [&doc] { doc.OnFileSendMail(); });
    OnCommand(ID_VIEW_TOGGLE_TRANSPARENT_COLORS, [&doc] { doc.OnToggleTransparentColors(); });
    OnUpdate(ID_VIEW_TOGGLE_TRANSPARENT_COLORS,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Design().IsTransparentColors()); });

    OnCommand(ID_VIEW_LEFT_PANE,
              [&doc] { doc.Windows().ShowLeftPane(!doc.View().IsLeftPaneShown()); });
    OnUpdate(ID_VIEW_LEFT_PANE, [&doc](CCmdUI& ui) { ui.SetCheck(doc.View().IsLeftPaneShown()); });
    OnCommand(ID_VIEW_BOTTOM_PANE,
              [&doc] { doc.Windows().ShowBottomPane(!doc.View().IsBottomPaneShown()); });
    OnUpdate(ID_VIEW_BOTTOM_PANE,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.View().IsBottomPaneShown()); });

    CRoutingCommands::Register(*this, doc);
    CDialogCommands::Register(*this, doc);
    CToolCommands::Register(*this, doc);
}
