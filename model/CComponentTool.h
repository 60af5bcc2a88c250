#pragma once

#include <cstdint>
#include <vector>

#include "framework/CPoint.h"

class CComponentArray;
class CToolDocument;

// The interactive placing and editing of components: the Components menu's commands while one
// of them is the tool mode. The component list owns it; the board view calls its handlers,
// handing over the document with every call.
class CComponentTool {
public:
    static constexpr uint32_t menuSeparator = 0;
    static constexpr int32_t quarterTurn = 90000;

    explicit CComponentTool(CComponentArray& components);

    static bool IsComponentMode(uint32_t mode);

    // Left click, or space while waiting.
    void OnComponentClick(CToolDocument& document);
    void OnChar(CToolDocument& document, uint32_t character);
    // Esc, Enter and F2.
    void OnToolKeyDown(CToolDocument& document, uint32_t key);
    void OnToolMouseMove(CToolDocument& document);
    // A drag begun outside the board view (a part picked in the side pane): the selection
    // came from `from` and hangs at `at`, the cursor, now.
    void BeginDrag(CPoint from, CPoint at);
    std::vector<uint32_t> BuildToolContextMenu(CToolDocument& document) const;
    // End Mode, Enter, and Esc while waiting.
    void EndToolStep(CToolDocument& document);

    // Every selected component not locked against mirroring goes to the other side.
    void MirrorSelected(CToolDocument& document);
    // The "Rotation" dialog for the selection: an absolute angle for all, or each turned by the
    // angle.
    void RotateSelectedDialog(CToolDocument& document);

    bool IsAbsoluteRotation() const { return m_absolute; }
    void SetAbsoluteRotation(bool on) { m_absolute = on; }
    // The shape Replace Shape gives, chosen by the view when the command started.
    void SetReplacementShape(int32_t shapeIndex) { m_replacementShape = shapeIndex; }

private:
    bool IsAction(const CToolDocument& document, uint32_t action) const;
    // The component at the raw cursor on the work layer's side: with `next` the next one at
    // the point, else the first in hit order, selected. -1 for none or a locked one.
    int32_t Pick(CToolDocument& document, bool next);
    void PickAndAct(CToolDocument& document);
    void StartAdd(CToolDocument& document);
    void PickText(CToolDocument& document);
    void ReplacePad(CToolDocument& document);
    // The component and, with the "Tracks of Components" filter, the tracks at its pins.
    void SelectWithTracks(CToolDocument& document, int32_t i);
    void RotateOne(CToolDocument& document, int32_t i);
    void RotateTo(CToolDocument& document, int32_t i, int32_t angle);
    void SetPositionOf(CToolDocument& document, int32_t i);
    void SnapToGrid(CToolDocument& document, int32_t i);
    void CancelDrag(CToolDocument& document);
    void Finish(CToolDocument& document);

    CComponentArray& m_components;
    CPoint m_dragStart;
    CPoint m_dragPrevious;
    bool m_absolute = true;
    int32_t m_replacementShape = -1;
};
