#pragma once

#include <cstdint>

class CCommandTarget;
class COutputRec;
class CWevraDoc;

// The commands of a design that open a dialog of the padstacks, the pad arrays, the pens, the
// pin information, the component texts, the array copy, the rotation of the selection and the
// circular placement of components.
// Each is disabled while the installed dialog service cannot show its dialog.
class CDialogCommands {
public:
    // Adds the commands and their enable twins to the document's command map.
    static void Register(CCommandTarget& target, CWevraDoc& document);

    // "Select Pad" for the default padstack of the kind, then a redraw.
    static void SelectPad(CWevraDoc& document, int32_t kind);
    // "Padinfo": OK stores what the pads show and the unconnected-pin marks.
    static void PadInfo(CWevraDoc& document);
    // "Display componentstext" on the current display layer set.
    static void DisplayCompText(CWevraDoc& document);
    // "Pens" after an undo state: the default widths of every net (`allNets`, net 0 made
    // current first) or the pen of the tool. Cancel undoes what the dialog changed.
    static void Pens(CWevraDoc& document, bool allNets);
    // "Rotation" with the last angle: OK rotates the selection about the cursor by it.
    static void RotateSelection(CWevraDoc& document);
    // "Component Text": OK gives the component texts their heights and pen widths.
    static void TextOptions(CWevraDoc& document);
    // "Center All Text": OK puts the chosen texts of every component at its centre, after an
    // undo state; the Move/Rotate tool starts either way.
    static void CenterTexts(CWevraDoc& document);

private:
    static COutputRec* CurrentDisplaySet(CWevraDoc& document);
};
