#include "document/CDocCommandMap.h"

#include "document/CWevraDoc.h"

namespace {

// Command ids, named after their menu items.
constexpr uint32_t editUndo = 57643;
constexpr uint32_t editRedo = 57644;
constexpr uint32_t fileSendMail = 57612;
constexpr uint32_t settingsSnapToGrid = 33106;
constexpr uint32_t settingsSnapToGuidelines = 33107;
constexpr uint32_t snapToGuidesDecrement = 33108;
constexpr uint32_t snapToGuidesIncrement = 33109;
constexpr uint32_t boardImportFromTemplate = 32974;
constexpr uint32_t boardProperties = 33200;
constexpr uint32_t viewToggleTransparentColors = 33225;
constexpr uint32_t viewBottomPane = 33185;
constexpr uint32_t viewLeftPane = 33197;

} // namespace

CDocCommandMap::CDocCommandMap(CWevraDoc& document) : m_document(document)
{
    CWevraDoc& doc = m_document;
    OnCommand(editUndo, [&doc] {
        doc.Undo();
        doc.RedrawBoardViews();
    });
    OnUpdate(editUndo, [&doc](CCmdUI& ui) { ui.Enable(doc.CanUndo()); });
    OnCommand(editRedo, [&doc] {
        doc.Redo();
        doc.RedrawBoardViews();
    });
    OnUpdate(editRedo, [&doc](CCmdUI& ui) { ui.Enable(doc.CanRedo()); });

    OnCommand(settingsSnapToGrid, [&doc] { doc.OnSettingsSnapToGrid(); });
    OnUpdate(settingsSnapToGrid, [&doc](CCmdUI& ui) { ui.SetCheck(doc.IsSnapToGridOn()); });
    OnCommand(settingsSnapToGuidelines, [&doc] { doc.OnSettingsSnapToGuidelines(); });
    OnUpdate(settingsSnapToGuidelines, [&doc](CCmdUI& ui) {
        ui.SetCheck(doc.IsSnapToGuidelinesOn());
        ui.SetText(doc.GetSnapToGuidelinesText());
    });
    OnCommand(snapToGuidesDecrement, [&doc] { doc.OnSnapToGuidesDecrement(); });
    OnCommand(snapToGuidesIncrement, [&doc] { doc.OnSnapToGuidesIncrement(); });
    OnCommand(boardImportFromTemplate, [&doc] { doc.OnBoardImportFromTemplate(); });

    OnCommand(boardProperties, [&doc] { doc.OnBoardProperties(); });
    OnCommand(fileSendMail, [&doc] { doc.OnFileSendMail(); });
    OnCommand(viewToggleTransparentColors, [&doc] { doc.OnToggleTransparentColors(); });
    OnUpdate(viewToggleTransparentColors,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.IsTransparentColors()); });

    OnCommand(viewLeftPane, [&doc] { doc.ShowLeftPane(!doc.IsLeftPaneShown()); });
    OnUpdate(viewLeftPane, [&doc](CCmdUI& ui) { ui.SetCheck(doc.IsLeftPaneShown()); });
    OnCommand(viewBottomPane, [&doc] { doc.ShowBottomPane(!doc.IsBottomPaneShown()); });
    OnUpdate(viewBottomPane, [&doc](CCmdUI& ui) { ui.SetCheck(doc.IsBottomPaneShown()); });
}
