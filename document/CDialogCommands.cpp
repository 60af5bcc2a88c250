#include "document/CDialogCommands.h"

#include <array>
#include <optional>
#include <string>

#include "document/CCircularPlacement.h"
#include "document/CDesign.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPadArrays.h"
#include "document/CPenTables.h"
#include "document/CWevraDoc.h"
#include "framework/CCmdUI.h"
#include "framework/CCommandTarget.h"
#include "model/CAngleText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"

namespace {

using Dialog = CDialogService::Dialog;

bool Offers(Dialog dialog)
{
    return CDialogService::Get().Offers(dialog);
}

} // namespace

void CDialogCommands::Register(CCommandTarget& target, CWevraDoc& document)
{
    CWevraDoc& doc = document;
    const auto offered = [](Dialog dialog) {
        return [dialog](CCmdUI& ui) { ui.Enable(Offers(dialog)); };
    };
    const auto withSelection = [&doc](Dialog dialog) {
        return [&doc, dialog](CCmdUI& ui) {
            ui.Enable(Offers(dialog) && doc.Session().GetSelectedCount() > 0);
        };
    };

    const struct {
        uint32_t id;
        int32_t kind;
    } padKinds[] = {{ID_SETTINGS_GENERAL_PAD, PADSTACK_KIND_PAD},
                    {ID_SETTINGS_VIA, PADSTACK_KIND_VIA},
                    {ID_PADS_EDIT_COMPONENT_PADSTACKS, PADSTACK_KIND_SHAPE_PAD}};
    for (const auto& entry : padKinds) {
        target.OnCommand(entry.id, [&doc, kind = entry.kind] { SelectPad(doc, kind); });
        target.OnUpdate(entry.id, offered(Dialog::selectPad));
    }

    target.OnCommand(ID_COMPONENTS_PIN_INFO, [&doc] { PadInfo(doc); });
    target.OnUpdate(ID_COMPONENTS_PIN_INFO, offered(Dialog::padInfo));
    target.OnCommand(ID_VIEW_COMPONENTS_TEXT, [&doc] { DisplayCompText(doc); });
    target.OnUpdate(ID_VIEW_COMPONENTS_TEXT, [&doc](CCmdUI& ui) {
        ui.Enable(Offers(Dialog::displayCompText) && CurrentDisplaySet(doc) != nullptr);
    });

    target.OnCommand(ID_PADS_ARRAY_RECTANGULAR, [&doc] {
        CPadArrays::OnRectangular(doc.Design(), doc.Session(), doc.History(), doc.Windows(),
                                  [&doc] { doc.SetModified(); });
    });
    target.OnUpdate(ID_PADS_ARRAY_RECTANGULAR, offered(Dialog::padArrayRect));
    target.OnCommand(ID_PADS_ARRAY_CIRCULAR, [&doc] {
        CPadArrays::OnCircular(doc.Design(), doc.Session(), doc.History(), doc.Windows(),
                               [&doc] { doc.SetModified(); });
    });
    target.OnUpdate(ID_PADS_ARRAY_CIRCULAR, offered(Dialog::padArrayCirc));

    target.OnCommand(ID_SETTINGS_PEN_WIDTH, [&doc] { Pens(doc, true); });
    target.OnUpdate(ID_SETTINGS_PEN_WIDTH, [&doc](CCmdUI& ui) {
        ui.Enable(Offers(Dialog::pens) && doc.Session().GetSelectedCount() == 0);
    });
    for (const uint32_t id : {ID_SELECT_PEN, ID_EDIT_CHANGE_PEN_ON_SELECTION}) {
        target.OnCommand(id, [&doc] { Pens(doc, false); });
        target.OnUpdate(id, offered(Dialog::pens));
    }

    target.OnCommand(ID_EDIT_COPY_RECTANGULAR_ARRAY, [&doc] {
        doc.Editing().CopyArray();
        doc.Windows().RedrawBoardViews();
    });
    target.OnUpdate(ID_EDIT_COPY_RECTANGULAR_ARRAY, withSelection(Dialog::copyArray));
    target.OnCommand(ID_EDIT_ROTATE, [&doc] { RotateSelection(doc); });
    target.OnUpdate(ID_EDIT_ROTATE, withSelection(Dialog::rotation));

    const auto withComponents = [&doc](Dialog dialog) {
        return [&doc, dialog](CCmdUI& ui) {
            ui.Enable(Offers(dialog) && doc.Design().GetComponents().GetCount() > 0);
        };
    };
    target.OnCommand(ID_COMPONENTS_TEXT_OPTIONS, [&doc] { TextOptions(doc); });
    target.OnUpdate(ID_COMPONENTS_TEXT_OPTIONS, withComponents(Dialog::compText));
    target.OnCommand(ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER, [&doc] { CenterTexts(doc); });
    target.OnUpdate(ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER, withComponents(Dialog::centerText));
    target.OnCommand(ID_COMPONENTS_MOVE_ARRAY_CIRCULAR, [&doc] {
        CCircularPlacement::OnMoveArrayCircular(doc.Design(), doc.Session(), doc.History(),
                                                doc.Windows(), [&doc] { doc.SetModified(); });
    });
    target.OnUpdate(ID_COMPONENTS_MOVE_ARRAY_CIRCULAR, withComponents(Dialog::compCircular));
}

void CDialogCommands::SelectPad(CWevraDoc& document, int32_t kind)
{
    CDialogService::Get().SelectPad(document, kind);
    document.Windows().RedrawBoardViews();
}

void CDialogCommands::PadInfo(CWevraDoc& document)
{
    int32_t display = document.Design().GetPadInfoMode();
    bool markers = document.Paint().IsUnconnectedPinMarks();
    if (CDialogService::Get().PadInfo(display, markers) != CDialogService::resultOk)
        return;
    document.Design().SetPadInfoMode(display);
    document.Paint().SetUnconnectedPinMarks(markers);
    document.SetModified();
    document.Windows().RedrawBoardViews();
}

COutputRec* CDialogCommands::CurrentDisplaySet(CWevraDoc& document)
{
    COutputArray& sets = document.Design().GetDisplaySets();
    COutput* job = sets.GetJob(sets.GetCurrent());
    return job ? job->GetCurrentRec() : nullptr;
}

void CDialogCommands::DisplayCompText(CWevraDoc& document)
{
    COutputRec* set = CurrentDisplaySet(document);
    if (!set)
        return;
    bool reference = set->IsTextReference();
    bool shape = set->IsTextShape();
    bool type = set->IsTextType();
    if (CDialogService::Get().DisplayCompText(reference, shape, type) != CDialogService::resultOk)
        return;
    set->SetTextReference(reference);
    set->SetTextShape(shape);
    set->SetTextType(type);
    // The View menu and the text tools follow the texts shown.
    set->SetTextModeFromShown();
    document.SetModified();
    document.Windows().RedrawBoardViews();
}

void CDialogCommands::Pens(CWevraDoc& document, bool allNets)
{
    // The dialog changes the design as the user works in it: Cancel puts it back as it was,
    // leaving no step and the modified mark as it was, and OK leaves a step only for a change.
    document.History().BeginTentativeEdit();
    if (allNets)
        document.Design().GetNets().SetCurrentNet(0);
    CPenTables pens(document.Design(), document.Session(), document.Editing(), document.Windows(),
                    nullptr, allNets);
    if (CDialogService::Get().Pens(pens) == CDialogService::resultOk)
        document.History().KeepTentativeEdit();
    else
        document.History().RevertTentativeEdit();
    document.Windows().FillPenCombo();
    document.Windows().RedrawBoardViews();
}

void CDialogCommands::RotateSelection(CWevraDoc& document)
{
    std::string text = CAngleText::Format(document.Session().GetRotateAngle());
    bool absolute = false;
    if (CDialogService::Get().Rotation(text, absolute) != CDialogService::resultOk)
        return;
    const int32_t angle = CAngleText::Parse(text);
    document.Session().SetRotateAngle(angle);
    if (angle != 0)
        document.Editing().RotateSelection(angle);
    document.Windows().RedrawBoardViews();
}

void CDialogCommands::TextOptions(CWevraDoc& document)
{
    CComponentArray& components = document.Design().GetComponents();
    const int32_t unit = document.Session().GetUnit();
    std::array<std::string, 3> sizes;
    std::array<std::string, 3> pens;
    for (int32_t k = 0; k < 3; ++k) {
        sizes[size_t(k)] = CLengthText::FormatLength(unit, components.GetTextHeight(k));
        pens[size_t(k)] = CLengthText::FormatLength(unit, components.GetTextLineWidth(k));
    }
    if (CDialogService::Get().CompText(sizes, pens) != CDialogService::resultOk)
        return;
    // All or nothing: the first length refused leaves every text as it was.
    static const char* const kinds[] = {"reference", "type", "shape name"};
    std::array<int32_t, 3> heights{};
    std::array<int32_t, 3> widths{};
    for (size_t k = 0; k < 3; ++k) {
        const std::string texts = std::string("Component ") + kinds[k] + " texts";
        const std::optional<int32_t> height =
            FieldRanges::length.TakeLength(unit, sizes[k], texts + " height");
        const std::optional<int32_t> width =
            height ? FieldRanges::length.TakeLength(unit, pens[k], texts + " line width")
                   : std::nullopt;
        if (!width)
            return;
        heights[k] = *height;
        widths[k] = *width;
    }
    for (int32_t k = 0; k < 3; ++k) {
        components.SetTextHeight(k, heights[size_t(k)]);
        components.SetTextLineWidth(k, widths[size_t(k)]);
    }
    document.SetModified();
    document.Windows().RedrawBoardViews();
}

void CDialogCommands::CenterTexts(CWevraDoc& document)
{
    bool reference = true;
    bool type = true;
    bool shape = true;
    if (CDialogService::Get().CenterText(reference, type, shape) == CDialogService::resultOk &&
        (reference || type || shape)) {
        // Texts already in the middle leave no step.
        document.History().BeginTentativeEdit();
        CComponentArray& components = document.Design().GetComponents();
        if (reference)
            components.ResetTextPositions(CComponent::textReference);
        if (type)
            components.ResetTextPositions(CComponent::textType);
        if (shape)
            components.ResetTextPositions(CComponent::textShapeName);
        document.SetModified();
        document.History().KeepTentativeEdit();
        document.Windows().RedrawBoardViews();
    }
    document.Session().SetMode(ID_COMPONENTS_MOVE_ROTATE);
}
