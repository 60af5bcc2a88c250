#include "document/CToolbarLayout.h"

#include <initializer_list>

#include "document/CDocumentFrame.h"
#include "resources/CommandIds.h"

namespace {

using Slot = CToolbarLayout::Slot;

constexpr int32_t layerComboWidth = 180;
constexpr int32_t penComboWidth = 150;
constexpr int32_t netComboWidth = 250;
constexpr int32_t padStackComboWidth = 250;
constexpr int32_t planeComboWidth = 200;

Slot Button(uint32_t id, int32_t image)
{
    return Slot{Slot::button, id, image, 0};
}

Slot Separator()
{
    return Slot{Slot::separator, 0, -1, CToolbarLayout::separatorWidth};
}

Slot Combo(int32_t id, int32_t width)
{
    return Slot{Slot::combo, uint32_t(id), -1, width};
}

Slot LayerCombo()
{
    return Combo(CDocumentFrame::layerCombo, layerComboWidth);
}

Slot PenCombo()
{
    return Combo(CDocumentFrame::penCombo, penComboWidth);
}

Slot PadStackCombo()
{
    return Combo(CDocumentFrame::padStackCombo, padStackComboWidth);
}

void Append(std::vector<Slot>& slots, std::initializer_list<Slot> more)
{
    slots.insert(slots.end(), more);
}

bool IsIn(uint32_t mode, std::initializer_list<uint32_t> modes)
{
    for (uint32_t m : modes)
        if (m == mode)
            return true;
    return false;
}

bool IsPlaneMode(uint32_t mode)
{
    return (mode >= ID_PLANES_FIRST && mode <= ID_PLANES_ADD_LAST) ||
           (mode >= ID_PLANES_DELETE_ALL && mode <= ID_PLANES_LAST);
}

// Move/Rotate, Tracks Edit, Via, separator, Select, separator: the start of most right parts.
void AppendTools(std::vector<Slot>& slots)
{
    Append(slots, {Button(ID_COMPONENTS_MOVE_ROTATE, 10), Button(ID_TRACKS_EDIT, 7),
                   Button(ID_TRACKS_ADD_OR_REMOVE_VIA, 8), Separator(),
                   Button(ID_EDIT_SELECT_MODE, 6), Separator()});
}

void AppendShapeEdit(std::vector<Slot>& slots, uint32_t mode)
{
    Append(slots, {Button(ID_LINES_ADD, 7), Button(ID_PADS_ADD_MANUALLY, 8), Separator(),
                   Button(ID_EDIT_SELECT_MODE, 6), Separator(), LayerCombo(), Separator()});
    if (IsIn(mode, {ID_LINES_EDIT, ID_LINES_COPY_LINES, ID_LINES_DELETE_LINES, ID_LINES_ADD,
                    ID_LINES_ADD_CIRCLES, ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES}))
        slots.push_back(PenCombo());
    else if ((mode >= ID_PADS_COPY && mode <= ID_PADS_SET_PAD_ORDER) ||
             mode == ID_PADS_ADD_MANUALLY)
        slots.push_back(PadStackCombo());
    else if (mode == ID_EDIT_SELECT_MODE)
        Append(slots, {Button(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, 11),
                       Button(ID_EDIT_SELECTION_FILTERS_SELECT_LINES, 12), Separator(),
                       Button(ID_EDIT_SELECTION_FILTERS_PADS, 16)});
}

void AppendDesign(std::vector<Slot>& slots, uint32_t mode)
{
    if (IsIn(mode, {ID_TRACKS_ADD_OR_REMOVE_VIA, ID_PADS_ADD_MANUALLY})) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), PadStackCombo()});
    } else if (IsIn(mode, {ID_LINES_EDIT, ID_LINES_CHANGE_LINE_WIDTH, ID_LINES_COPY_LINES,
                           ID_LINES_DELETE_LINES, ID_LINES_ADD, ID_LINES_ADD_CIRCLES,
                           ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES})) {
        Append(slots, {Button(ID_LINES_EDIT, 7), Separator(), Button(ID_EDIT_SELECT_MODE, 6),
                       Separator(), LayerCombo(), Separator(), PenCombo()});
    } else if (IsPlaneMode(mode)) {
        AppendTools(slots);
        Append(slots, {Button(ID_PLANES_NEW_PLANE, 23), Button(ID_PLANES_ADD_RECTANGLE, 24),
                       Button(ID_PLANES_ADD_POLYLINE, 25), Button(ID_PLANES_ADD_CIRCLE, 26),
                       Separator(), Separator(), LayerCombo(), Separator(),
                       Combo(CDocumentFrame::planeCombo, planeComboWidth), Separator(),
                       Button(ID_PLANES_EDIT_POLYLINE, 6), Button(ID_PLANES_MOVE_SEEDPOINT, 20),
                       Button(ID_PLANES_DELETE_PLANE, 22), Button(ID_PLANES_PROPERTIES, 21)});
    } else if (IsIn(mode, {ID_TRACKS_EDIT, ID_TRACKS_CHANGE_TRACKS_WIDTH, ID_TRACKS_COPY_TRACKS,
                           ID_TRACKS_DELETE_TRACKS, ID_TRACKS_ADD_CIRCLES, ID_TRACKS_ADD_ELLIPSES,
                           ID_TRACKS_ADD_RECTANGLES, ID_TRACKS_ADD})) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), PenCombo(), Separator(),
                       Button(ID_SETTINGS_SNAP_TO_GUIDELINES, 27)});
    } else if (mode == ID_NETLIST_CONNECT_PINS_TO_NETS) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), Combo(CDocumentFrame::netCombo, netComboWidth),
                       Separator(), Button(ID_NETLIST_ADD_NET, 19)});
    } else if (mode == ID_EDIT_SELECT_MODE) {
        AppendTools(slots);
        Append(slots,
               {LayerCombo(), Separator(), Button(ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, 11),
                Button(ID_EDIT_SELECTION_FILTERS_SELECT_LINES, 12),
                Button(ID_EDIT_SELECTION_FILTERS_NETS, 13),
                Button(ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS, 14), Separator(),
                Button(ID_EDIT_SELECTION_FILTERS_COMPONENTS, 15),
                Button(ID_EDIT_SELECTION_FILTERS_PADS, 16),
                Button(ID_EDIT_SELECTION_FILTERS_VIAS, 8),
                Button(ID_EDIT_SELECTION_FILTERS_TEXTS, 9),
                Button(ID_EDIT_SELECTION_FILTERS_PLANES, 28),
                Button(ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS, 17),
                Button(ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, 18)});
    } else {
        AppendTools(slots);
        slots.push_back(LayerCombo());
    }
}

} // namespace

std::vector<Slot> CToolbarLayout::WithoutDocument()
{
    return {Button(ID_FILE_NEW, 29), Button(ID_FILE_OPEN, 0)};
}

std::vector<Slot> CToolbarLayout::ForMode(uint32_t mode, bool shapeDocument)
{
    std::vector<Slot> slots = {
        Button(ID_FILE_OPEN, 0),     Button(ID_FILE_SAVE, 1),        Separator(),
        Button(ID_EDIT_UNDO, 2),     Button(ID_EDIT_REDO, 3),        Separator(),
        Button(ID_VIEW_ZOOM_ALL, 4), Button(ID_VIEW_ZOOM_WINDOW, 5), Separator()};
    if (shapeDocument)
        AppendShapeEdit(slots, mode);
    else
        AppendDesign(slots, mode);
    return slots;
}
