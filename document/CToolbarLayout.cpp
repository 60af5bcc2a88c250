#include "document/CToolbarLayout.h"

#include <initializer_list>

#include "document/CDocumentFrame.h"
#include "document/CWevraDoc.h"
#include "resources/CommandIds.h"

namespace {

using Slot = CToolbarLayout::Slot;

// Command ids of the buttons, in the words of their menu items.
constexpr uint32_t fileOpen = 57601;
constexpr uint32_t fileSave = 57603;
constexpr uint32_t editUndo = 57643;
constexpr uint32_t editRedo = 57644;
constexpr uint32_t zoomAll = 33233;
constexpr uint32_t zoomWindow = 33239;
constexpr uint32_t componentsMoveRotate = 32856;
constexpr uint32_t tracksEdit = 32921;
constexpr uint32_t addOrRemoveVia = 32775;
constexpr uint32_t selectMode = 33067;
constexpr uint32_t linesEdit = 32870;
constexpr uint32_t linesDraw = 33046;
constexpr uint32_t padsAddManually = 33051;
constexpr uint32_t snapToGuidelines = 33107;
constexpr uint32_t netlistAddNet = 33010;
constexpr uint32_t planeNew = 32895;
constexpr uint32_t planeAddRectangle = 32898;
constexpr uint32_t planeAddPolyline = 32897;
constexpr uint32_t planeAddCircle = 32896;
constexpr uint32_t planeEditPolyline = 32904;
constexpr uint32_t planeMoveSeedpoint = 32903;
constexpr uint32_t planeDelete = 32900;
constexpr uint32_t planeProperties = 32905;
constexpr uint32_t selectPoints = 33095;
constexpr uint32_t selectLines = 33091;
constexpr uint32_t selectNets = 33092;
constexpr uint32_t selectBlocks = 33088;
constexpr uint32_t selectComponents = 33089;
constexpr uint32_t selectPads = 33094;
constexpr uint32_t selectVias = 33098;
constexpr uint32_t selectTexts = 33097;
constexpr uint32_t selectPlanes = 33249;
constexpr uint32_t selectNonElectrical = 33093;
constexpr uint32_t selectElectrical = 33090;

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
    Append(slots, {Button(componentsMoveRotate, 10), Button(tracksEdit, 7),
                   Button(addOrRemoveVia, 8), Separator(), Button(selectMode, 6), Separator()});
}

void AppendShapeEdit(std::vector<Slot>& slots, uint32_t mode)
{
    Append(slots, {Button(linesDraw, 7), Button(padsAddManually, 8), Separator(),
                   Button(selectMode, 6), Separator(), LayerCombo(), Separator()});
    if (IsIn(mode, {32870, 32873, 32874, 33046, 33047, 33048, 33049}))
        slots.push_back(PenCombo());
    else if ((mode >= 32885 && mode <= 32890) || mode == padsAddManually)
        slots.push_back(PadStackCombo());
    else if (mode == selectMode)
        Append(slots, {Button(selectPoints, 11), Button(selectLines, 12), Separator(),
                       Button(selectPads, 16)});
}

void AppendDesign(std::vector<Slot>& slots, uint32_t mode)
{
    if (IsIn(mode, {32775, 33051})) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), PadStackCombo()});
    } else if (IsIn(mode, {32870, 32872, 32873, 32874, 33046, 33047, 33048, 33049})) {
        Append(slots, {Button(linesEdit, 7), Separator(), Button(selectMode, 6), Separator(),
                       LayerCombo(), Separator(), PenCombo()});
    } else if (IsPlaneMode(mode)) {
        AppendTools(slots);
        Append(slots,
               {Button(planeNew, 23), Button(planeAddRectangle, 24), Button(planeAddPolyline, 25),
                Button(planeAddCircle, 26), Separator(), Separator(), LayerCombo(), Separator(),
                Combo(CDocumentFrame::planeCombo, planeComboWidth), Separator(),
                Button(planeEditPolyline, 6), Button(planeMoveSeedpoint, 20),
                Button(planeDelete, 22), Button(planeProperties, 21)});
    } else if (IsIn(mode, {32921, 32923, 32924, 32925, 33043, 33045, 33052, 33055})) {
        AppendTools(slots);
        Append(slots,
               {LayerCombo(), Separator(), PenCombo(), Separator(), Button(snapToGuidelines, 27)});
    } else if (mode == 33013) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), Combo(CDocumentFrame::netCombo, netComboWidth),
                       Separator(), Button(netlistAddNet, 19)});
    } else if (mode == selectMode) {
        AppendTools(slots);
        Append(slots, {LayerCombo(), Separator(), Button(selectPoints, 11), Button(selectLines, 12),
                       Button(selectNets, 13), Button(selectBlocks, 14), Separator(),
                       Button(selectComponents, 15), Button(selectPads, 16), Button(selectVias, 8),
                       Button(selectTexts, 9), Button(selectPlanes, 28),
                       Button(selectNonElectrical, 17), Button(selectElectrical, 18)});
    } else {
        AppendTools(slots);
        slots.push_back(LayerCombo());
    }
}

} // namespace

std::vector<Slot> CToolbarLayout::ForDocument(const CWevraDoc* document)
{
    if (document == nullptr)
        return {Button(fileOpen, 0)};
    return ForMode(document->GetMode(), document->IsShapeDocument());
}

std::vector<Slot> CToolbarLayout::ForMode(uint32_t mode, bool shapeDocument)
{
    std::vector<Slot> slots = {Button(fileOpen, 0), Button(fileSave, 1),   Separator(),
                               Button(editUndo, 2), Button(editRedo, 3),   Separator(),
                               Button(zoomAll, 4),  Button(zoomWindow, 5), Separator()};
    if (shapeDocument)
        AppendShapeEdit(slots, mode);
    else
        AppendDesign(slots, mode);
    return slots;
}
