#include "document/CViewCommands.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CPaintState.h"
#include "document/CViewCommandHost.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

// The pin information modes by their View menu items.
constexpr struct {
    uint32_t id;
    int32_t mode;
} pinInfoItems[] = {
    {ID_VIEW_COMPONENTS_PIN_INFO_HIDE, 0},
    {ID_VIEW_COMPONENTS_PIN_INFO_PIN_NUMBERS, 1},
    {ID_VIEW_COMPONENTS_PIN_INFO_HOLE_DIAMETERS, 2},
    {ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_NAMES, 3},
    {ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_INDEX, 4},
    {ID_VIEW_COMPONENTS_PIN_INFO_NET_NAMES, 5},
    {ID_VIEW_COMPONENTS_PIN_INFO_NET_INDEX, 6},
};

// The component text shown, by kind: 0 none, 1 reference, 2 type, 3 shape name.
constexpr struct {
    uint32_t id;
    int32_t kind;
} componentTextItems[] = {
    {ID_VIEW_COMPONENTS_TEXT_HIDE, 0},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT, 1},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT, 3},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT, 2},
};

// The exclusive kinds of the selection filter, and its switches.
constexpr struct {
    uint32_t id;
    uint32_t bit;
    bool exclusive;
} filterItems[] = {
    {ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, CDesignSettings::filterPoints, true},
    {ID_EDIT_SELECTION_FILTERS_SELECT_SEGMENTS, CDesignSettings::filterSegments, true},
    {ID_EDIT_SELECTION_FILTERS_SELECT_LINES, CDesignSettings::filterLines, true},
    {ID_EDIT_SELECTION_FILTERS_NETS, CDesignSettings::filterNets, true},
    {ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS, CDesignSettings::filterBlocks, true},
    {ID_EDIT_SELECTION_FILTERS_COMPONENTS, CDesignSettings::filterComponents, false},
    {ID_EDIT_SELECTION_FILTERS_PADS, CDesignSettings::filterPads, false},
    {ID_EDIT_SELECTION_FILTERS_TEXTS, CDesignSettings::filterTexts, false},
    {ID_EDIT_SELECTION_FILTERS_VIAS, CDesignSettings::filterVias, false},
    {ID_EDIT_SELECTION_FILTERS_PLANES, CDesignSettings::filterPlanes, false},
    {ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS, CDesignSettings::filterNonElectrical, false},
    {ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, CDesignSettings::filterElectrical, false},
};

// The pen of a pen combo entry: the drawn lines' pens are listed in order; the board's pens are
// listed by width within the current net's limits, so they are found by their width text.
int32_t PenOfComboEntry(CWevraDoc& doc, int32_t entry, const std::string& text)
{
    if (!IsCopperLayer(doc.Session().GetWorkLayer()))
        return entry + 1;
    const CNet& board = *doc.Design().GetNets().GetNet(0);
    for (int32_t pen = 1; pen < board.GetPenCount(); ++pen)
        if (CLengthText::FormatLength(doc.Session().GetUnit(), board.GetPenWidth(pen)) == text)
            return pen;
    return -1;
}

} // namespace

// ---- Selection filters --------------------------------------------------------------------------

void CViewCommands::RegisterSelectionFilters()
{
    CWevraDoc& doc = m_document;
    // The filter changes what the Select tool takes, so not while it is taking something.
    const auto waiting = [&doc] { return doc.Session().IsAction(CEditState::actionWaiting); };
    for (const auto& item : filterItems) {
        const uint32_t bit = item.bit;
        const bool exclusive = item.exclusive;
        OnCommand(item.id, [&doc, bit] { doc.Session().ToggleSelectionFilter(bit); });
        OnUpdate(item.id, [&doc, bit, exclusive, waiting](CCmdUI& ui) {
            ui.Enable(waiting());
            if (exclusive)
                ui.SetRadio(doc.Session().IsSelectionFilter(bit));
            else
                ui.SetCheck(doc.Session().IsSelectionFilter(bit));
        });
    }
    OnCommand(ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS, [&doc] {
        doc.Design().SetTracksOfComponents(!doc.Design().IsTracksOfComponents());
        doc.SetModified();
    });
    OnUpdate(ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS, [&doc, waiting](CCmdUI& ui) {
        ui.Enable(waiting());
        ui.SetCheck(doc.Design().IsTracksOfComponents());
    });
    OnCommand(ID_EDIT_SELECTION_FILTERS_ONLY_AT_WORKLAYER,
              [&doc] { doc.Session().SetWorkLayerOnly(!doc.Session().IsWorkLayerOnly()); });
    OnUpdate(ID_EDIT_SELECTION_FILTERS_ONLY_AT_WORKLAYER, [&doc, waiting](CCmdUI& ui) {
        ui.Enable(waiting());
        ui.SetCheck(doc.Session().IsWorkLayerOnly());
    });
}

// ---- Display switches ---------------------------------------------------------------------------

void CViewCommands::RegisterDisplay()
{
    CWevraDoc& doc = m_document;

    OnCommand(ID_VIEW_COMPONENTS_REF_NAMES, [this] {
        m_document.Design().SetViewFlag(
            CDesignSettings::viewReferenceNames,
            !m_document.Design().GetViewFlag(CDesignSettings::viewReferenceNames));
        RedrawFull();
    });
    OnUpdate(ID_VIEW_COMPONENTS_REF_NAMES, [&doc](CCmdUI& ui) {
        ui.SetCheck(doc.Design().GetViewFlag(CDesignSettings::viewReferenceNames));
    });

    for (const auto& item : pinInfoItems) {
        const int32_t mode = item.mode;
        OnCommand(item.id, [this, mode] {
            m_document.Design().SetPadInfoMode(mode);
            RedrawFull();
        });
        OnUpdate(item.id,
                 [&doc, mode](CCmdUI& ui) { ui.SetRadio(doc.Design().GetPadInfoMode() == mode); });
    }
    OnCommand(ID_VIEW_COMPONENTS_PIN_INFO_SUBNET_MARK, [this] {
        m_document.Design().SetSubnetMark(!m_document.Design().IsSubnetMark());
        RedrawFull();
    });
    OnUpdate(ID_VIEW_COMPONENTS_PIN_INFO_SUBNET_MARK,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Design().IsSubnetMark()); });
    OnCommand(ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO, [this] {
        const std::optional<CFontDesc> font = CServices::FileDialogs().ChooseFont(
            CResString::LoadPart(ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO),
            m_document.Design().GetPinInfoFont());
        if (!font)
            return;
        m_document.Design().SetPinInfoFont(*font);
        m_document.SetModified();
        RedrawFull();
    });

    for (const auto& item : componentTextItems) {
        const int32_t kind = item.kind;
        OnCommand(item.id, [this, kind] {
            m_document.Session().ShowOnlyComponentText(kind);
            if (kind > 0)
                m_document.Paint().CreatePens(CPaintState::penKindScreen,
                                              m_document.View().GetScale());
            RedrawFull();
        });
        OnUpdate(item.id, [&doc, kind](CCmdUI& ui) {
            ui.Enable(doc.Design().GetComponents().GetCount() > 0);
            ui.SetRadio(doc.Session().IsOnlyComponentText(kind));
        });
    }

    const auto moreThanOneNet = [&doc] { return doc.Design().GetNets().GetCount() > 1; };
    OnCommand(ID_TOOLS_RATSNEST_ACTIVE, [this, moreThanOneNet] {
        const bool on = !m_document.Session().IsAutoRatsnest() && moreThanOneNet();
        m_document.Design().SetAutoRatsnest(on);
        if (on)
            m_document.Design().GetNets().RecalcDirtyRatsnest();
        m_document.SetModified();
        RedrawFull();
    });
    OnUpdate(ID_TOOLS_RATSNEST_ACTIVE, [&doc, moreThanOneNet](CCmdUI& ui) {
        ui.Enable(doc.Session().IsAutoRatsnest() || moreThanOneNet());
        ui.SetCheck(doc.Session().IsAutoRatsnest());
    });
    OnCommand(ID_TOOLS_DRC_ACTIVE, [this] {
        m_document.Design().SetDrcActive(m_document.Design().IsDrcActive() ? 0 : 1);
        m_document.SetModified();
        m_host.Redraw(false);
    });
    OnUpdate(ID_TOOLS_DRC_ACTIVE, [&doc, moreThanOneNet](CCmdUI& ui) {
        ui.Enable(moreThanOneNet());
        ui.SetCheck(doc.Design().IsDrcActive());
    });
    OnCommand(ID_SETTINGS_PENSTYLE_45_DEGREES,
              [&doc] { doc.Design().SetMode45(!doc.Session().IsMode45()); });
    OnUpdate(ID_SETTINGS_PENSTYLE_45_DEGREES,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Session().IsMode45()); });
    OnCommand(ID_SETTINGS_LOCK_RELATIVE_RULER,
              [&doc] { doc.View().SetRulerLocked(!doc.View().IsRulerLocked()); });
    OnUpdate(ID_SETTINGS_LOCK_RELATIVE_RULER,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.View().IsRulerLocked()); });

    // The two path finders of the router exclude one another.
    for (const bool first : {true, false}) {
        const uint32_t id =
            first ? ID_TOOLS_AUTOROUTING_PATH_FINDER_1 : ID_TOOLS_AUTOROUTING_PATH_FINDER_2;
        bool& option = first ? m_pathFinder1 : m_pathFinder2;
        bool& other = first ? m_pathFinder2 : m_pathFinder1;
        OnCommand(id, [&option, &other] {
            option = !option;
            if (option)
                other = false;
        });
        OnUpdate(id, [&option](CCmdUI& ui) { ui.SetCheck(option); });
    }

    OnCommand(ID_DRAW_NEXT_PEN, [this] { SelectPenStep(1); });
    OnCommand(ID_DRAW_PREVIOUS_PEN, [this] { SelectPenStep(-1); });
    for (const int32_t step : {1, -1}) {
        OnUpdate(step > 0 ? ID_DRAW_NEXT_PEN : ID_DRAW_PREVIOUS_PEN, [step](CCmdUI& ui) {
            const CDocumentFrame& frame = CDocumentFrame::Get();
            const int32_t entry = frame.GetComboSelection(CDocumentFrame::penCombo) + step;
            const int32_t count = int32_t(frame.GetComboItems(CDocumentFrame::penCombo).size());
            ui.Enable(entry - step >= 0 && entry >= 0 && entry < count);
        });
    }
}

void CViewCommands::SelectPenStep(int32_t step)
{
    CDocumentFrame& frame = CDocumentFrame::Get();
    const std::vector<std::string> items = frame.GetComboItems(CDocumentFrame::penCombo);
    const int32_t entry = frame.GetComboSelection(CDocumentFrame::penCombo) + step;
    if (entry < 0 || size_t(entry) >= items.size())
        return;
    frame.SelectInCombo(CDocumentFrame::penCombo, entry);
    const int32_t pen = PenOfComboEntry(m_document, entry, items[size_t(entry)]);
    if (pen > 0)
        m_document.Editing().SelectPen(pen);
}

// ---- Toolbar combo boxes ------------------------------------------------------------------------

void CViewCommands::RegisterCombos()
{
    CWevraDoc& doc = m_document;
    // A choice confirmed in a combo box: `choose` takes the entry and its text and tells
    // whether a setting of the design changed; the keyboard goes back to the board.
    using Choose = std::function<bool(int32_t entry, const std::string& text)>;
    const auto onCombo = [this](uint32_t id, int32_t comboId, Choose choose) {
        OnCommand(id, [this, comboId, choose] {
            const CDocumentFrame& frame = CDocumentFrame::Get();
            const std::vector<std::string> items = frame.GetComboItems(comboId);
            const int32_t entry = frame.GetComboSelection(comboId);
            if (entry < 0 || size_t(entry) >= items.size())
                return;
            if (choose(entry, items[size_t(entry)]))
                m_document.SetModified();
            m_host.TakeFocus();
            RedrawFull();
        });
        OnUpdate(id, [comboId](CCmdUI& ui) {
            ui.Enable(CDocumentFrame::Get().GetComboSelection(comboId) >= 0);
        });
    };

    onCombo(ID_TOOLBARS_SELECT_LAYER, CDocumentFrame::layerCombo,
            [&doc](int32_t, const std::string& text) {
                // Visible layers carry a "*" after their name.
                const int32_t layer =
                    doc.Design().GetLayers().FindLayerByName(text.substr(0, text.find('*')));
                // The work layer chosen again changes nothing.
                if (layer <= 0 || layer == doc.Session().GetWorkLayer())
                    return false;
                return doc.Session().SetWorkLayer(layer);
            });
    onCombo(ID_TOOLBARS_SELECT_NET, CDocumentFrame::netCombo,
            [&doc](int32_t entry, const std::string&) {
                const bool changed = entry != doc.Design().GetNets().GetCurrentIndex();
                doc.Design().GetNets().SetCurrentNet(entry);
                return changed;
            });
    onCombo(ID_TOOLBARS_SELECT_PEN, CDocumentFrame::penCombo,
            [&doc](int32_t entry, const std::string& text) {
                const int32_t pen = PenOfComboEntry(doc, entry, text);
                if (pen > 0)
                    doc.Editing().SelectPen(pen);
                return pen > 0;
            });
    onCombo(ID_TOOLBARS_PAD_STACK_ARRAY, CDocumentFrame::padStackCombo,
            [&doc](int32_t, const std::string& text) {
                CPadStackArray& stacks = doc.Design().GetEditableShapeCache().GetPadStacks();
                const int32_t index = stacks.FindByName(text);
                const int32_t kind = doc.Session().GetDefaultPadStackKind();
                const bool changed = index >= 0 && index != stacks.GetDefault(kind);
                if (changed)
                    stacks.SetDefault(kind, index);
                return changed;
            });
    onCombo(ID_PLANES_SELECT_PLANE, CDocumentFrame::planeCombo,
            [&doc](int32_t entry, const std::string&) {
                doc.Planes().SetCurrentPlane(entry);
                return false;
            });
}
