#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"

class CArchive;
class CDeviceContext;
class CTextArrayDocument;
class CWevraFont;

// The free texts of a design, with their selection and the interactive text tool (Place Text
// and Edit Text). The list keeps a count of its selected texts next to the texts' own selected
// bits; select and deselect through the list.
class CTextArray : public CObject {
    WEVRA_DECLARE_SERIAL(CTextArray)

public:
    // Designs from this version on store every text's fields; older ones a list of records
    // without fields.
    static constexpr uint32_t fieldFormVersion = 8034;
    // How far from a text's position a pick still finds it, in board units.
    static constexpr int32_t pickDistance = 10078;
    // Hit modes of FindAtPoint and SelectInRect.
    static constexpr int32_t hitSelect = 4;
    static constexpr int32_t hitToggle = 16;

    // Items of GetContextMenuItems: 0 stands for a separator.
    static constexpr uint32_t menuSeparator = 0;

    // A list without a document has no tool: its handlers do nothing.
    CTextArray() = default;
    explicit CTextArray(CTextArrayDocument& document) : m_document(&document) {}
    // Copies every text, the current index and the document; the copies are all deselected.
    // A running drag stays with the list that runs it.
    CTextArray(const CTextArray& other);
    CTextArray& operator=(const CTextArray& other);

    CTextArrayDocument* GetDocument() const { return m_document; }
    void SetDocument(CTextArrayDocument* document) { m_document = document; }

    int32_t GetCount() const { return static_cast<int32_t>(m_texts.size()); }
    // nullptr outside the list.
    CWevraText* GetText(int32_t i);
    const CWevraText* GetText(int32_t i) const;
    int32_t GetCurrent() const { return m_current; }
    void SetCurrent(int32_t i) { m_current = i; }

    // Appends a copy of the template (a default text without one), makes it current and
    // selected, and returns its index.
    int32_t AddText(const CWevraText* templ);
    // Each selected text is deselected and a selected copy of it appended.
    void CopySelected();
    // Deletes the selected texts; the current index stays within the list (0 when empty).
    void DeleteSelected();
    void MoveSelected(int32_t dx, int32_t dy);
    // Turns each selected text's position about (cx, cy) and its angle by `angle`.
    void RotateSelected(int32_t cx, int32_t cy, int32_t angle);

    // Selecting a selected text or deselecting an unselected one changes nothing.
    void Select(int32_t i, bool on);
    void SelectAll(bool on);
    bool IsSelected(int32_t i) const;
    int32_t GetSelectedCount() const { return m_selectedCount; }

    // The first text on a layer of the mask whose position lies within pickDistance of the
    // point, or -1. A found text is selected (hitSelect) or toggled (hitToggle), becomes
    // current, and the point moves to its position.
    int32_t FindAtPoint(CPoint& point, int32_t mode, uint32_t layerMask);
    // Selects or toggles every text on a layer of the mask whose position lies in the
    // rectangle (taken with its corners in any order).
    void SelectInRect(const CRect& rect, int32_t mode, uint32_t layerMask);

    // The unselected texts of the layer in the colour, each with a pen of its line width /
    // scale (at least one pixel). The previous pen is selected again afterwards.
    void Draw(CDeviceContext& dc, int32_t layer, const CWevraFont& font, COLORREF color,
              int32_t offsetX, int32_t offsetY, int32_t scale) const;
    // The selected texts on the shown layers (IsLayerShown), each in its layer's highlight
    // colour (texts on a layer outside the table are not drawn).
    void DrawSelected(CDeviceContext& dc, const CWevraFont& font,
                      std::span<const COLORREF> highlightColors, int32_t offsetX, int32_t offsetY,
                      int32_t scale, uint32_t shownLayers = LAYER_MASK_ALL) const;

    // ---- Text tool ------------------------------------------------------------------------------
    // Called by the board view while the tool mode is Place Text or Edit Text.

    // The click (left button or space bar), at the snapped cursor. Waiting, Place Text adds a
    // copy of the last text, opens the Edit Text dialog for it and drags it; Edit Text picks
    // the text at the raw cursor on the work layer and drags it. Dragging, the text is placed.
    void OnClick();
    // A character: a space while waiting is the click.
    void OnKeySpace(uint32_t character);
    // A key: Enter is the click; Esc ends the step while waiting and cancels the drag while
    // dragging; while dragging F2 turns the dragged texts by 90 degrees about the anchor and
    // Del deletes them.
    void OnKeyEsc(uint32_t key);
    // The snapped cursor moved: the dragged texts follow it.
    void OnMoveCursor();
    // End Mode. Dragging: the drag ends (a text still being placed is dropped). Waiting: Place
    // Text switches to Edit Text, and Edit Text to the idle mode.
    void EndStep();
    // The Edit Text dialog for the current text, only while dragging; 1 when the dialog's
    // values were taken (OK), else 0.
    int32_t EditProperties();
    // The tool's items of the board view's context menu, appended after its first item (End
    // Mode).
    std::vector<uint32_t> GetContextMenuItems() const;

    // The current form: a 32-bit count, then per text flags, layer, line width, angle, height,
    // x, y and the string. Loaded texts come deselected and the first one current; a load that
    // fails leaves the list as it was.
    void Serialize(CArchive& ar) override;
    // The same, except that loading a design older than fieldFormVersion reads its object list
    // of records without fields, each giving a default text (a null record gives none).
    void Serialize(CArchive& ar, uint32_t fileVersion);

private:
    void Store(CArchive& ar) const;
    void LoadFields(CArchive& ar);
    void LoadObjectList(CArchive& ar);
    void Replace(std::vector<std::unique_ptr<CWevraText>> texts);
    void Toggle(int32_t i);
    bool IsAction(uint32_t action) const;
    void StartPlacing();
    void StartEditing();
    void CancelDrag();

    std::vector<std::unique_ptr<CWevraText>> m_texts;
    int32_t m_current = 0;
    int32_t m_selectedCount = 0;
    CTextArrayDocument* m_document = nullptr;
    // Where the running drag started and where it stood at the last cursor move.
    CPoint m_dragStart;
    CPoint m_dragPrevious;
};
