#include "model/CTextArray.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CAngleText.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/CTextArrayDocument.h"
#include "model/FontWarning.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

constexpr int32_t quarterTurn = 90000;

int32_t Difference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(std::clamp<int64_t>(
        int64_t(a) - b, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

bool CTextArray::IsAction(uint32_t action) const
{
    return m_document && m_document->GetAction() == action;
}

void CTextArray::OnClick()
{
    if (!m_document)
        return;
    if (IsAction(CTextArrayDocument::actionDragging)) {
        // The dragged text stays where it is.
        SelectAll(false);
        m_document->SetAction(CTextArrayDocument::actionWaiting);
        m_document->RedrawBoardViews();
        return;
    }
    if (!IsAction(CTextArrayDocument::actionWaiting))
        return;
    if (m_document->GetMode() == ID_BOARD_PLACE_TEXT)
        StartPlacing();
    else if (m_document->GetMode() == ID_BOARD_EDIT_TEXT)
        StartEditing();
}

void CTextArray::StartPlacing()
{
    CTextArrayDocument& document = *m_document;
    // The drag first: its snapshot holds the design without the text, so that a text placed is
    // one undo step and one abandoned is none.
    document.SetAction(CTextArrayDocument::actionDragging);
    document.SaveUndoState();
    // A new text takes the looks of the last one placed.
    const int32_t added = AddText(GetCount() > 0 ? m_texts.back().get() : nullptr);
    const CPoint cursor = document.GetCursor();
    m_texts[size_t(added)]->SetPosition(cursor);
    EditProperties();
    document.SetCursor(cursor);
    document.SetAnchor(cursor);
    m_dragStart = cursor;
    m_dragPrevious = cursor;
    document.RepaintBoardViews();
}

void CTextArray::StartEditing()
{
    CTextArrayDocument& document = *m_document;
    CPoint position = document.GetRawCursor();
    if (FindAtPoint(position, hitSelect, LayerBit(document.GetWorkLayer())) < 0)
        return;
    document.SetCursor(position);
    document.SetAnchor(position);
    m_dragStart = position;
    // A previous drag's last point would make the first move jump.
    m_dragPrevious = position;
    document.SetAction(CTextArrayDocument::actionDragging);
    document.RedrawBoardViews();
}

void CTextArray::OnKeySpace(uint32_t character)
{
    if (character == ' ' && IsAction(CTextArrayDocument::actionWaiting))
        OnClick();
}

void CTextArray::OnKeyEsc(uint32_t key)
{
    if (!m_document)
        return;
    const bool dragging = IsAction(CTextArrayDocument::actionDragging);
    switch (key) {
    case VK_RETURN:
        OnClick();
        break;
    case VK_ESCAPE:
        if (IsAction(CTextArrayDocument::actionWaiting))
            EndStep();
        else if (dragging)
            CancelDrag();
        break;
    case VK_F2:
        if (dragging) {
            // Without a cursor move since the pick no snapshot has been taken yet.
            m_document->PushUndoForSelection();
            const CPoint anchor = m_document->GetAnchor();
            RotateSelected(anchor.x, anchor.y, quarterTurn);
            m_document->RepaintBoardViews();
        }
        break;
    case VK_DELETE:
        if (dragging) {
            m_document->PushUndoForSelection();
            DeleteSelected();
            m_document->SetModified();
            m_document->SetAction(CTextArrayDocument::actionWaiting);
            m_document->RedrawBoardViews();
        }
        break;
    default:
        break;
    }
}

void CTextArray::OnMoveCursor()
{
    if (!IsAction(CTextArrayDocument::actionDragging))
        return;
    m_document->PushUndoForSelection();
    const CPoint anchor = m_document->GetCursor();
    m_document->SetAnchor(anchor);
    MoveSelected(Difference(anchor.x, m_dragPrevious.x), Difference(anchor.y, m_dragPrevious.y));
    m_dragPrevious = anchor;
    m_document->RepaintBoardViews();
}

void CTextArray::EndStep()
{
    if (!m_document)
        return;
    if (!IsAction(CTextArrayDocument::actionWaiting)) {
        m_document->SetModified();
        if (m_document->GetMode() == ID_BOARD_PLACE_TEXT)
            DeleteSelected();
        SelectAll(false);
        m_document->SetAction(CTextArrayDocument::actionWaiting);
        m_document->RedrawBoardViews();
        return;
    }
    SelectAll(false);
    m_document->SetMode(m_document->GetMode() == ID_BOARD_EDIT_TEXT ? ID_VIEW : ID_BOARD_EDIT_TEXT);
}

void CTextArray::CancelDrag()
{
    if (m_document->GetMode() == ID_BOARD_PLACE_TEXT) {
        DeleteSelected();
    } else if (m_document->GetMode() == ID_BOARD_EDIT_TEXT) {
        const CPoint anchor = m_document->GetAnchor();
        MoveSelected(Difference(m_dragStart.x, anchor.x), Difference(m_dragStart.y, anchor.y));
    }
    SelectAll(false);
    m_document->SetAction(CTextArrayDocument::actionWaiting);
    m_document->RedrawBoardViews();
}

int32_t CTextArray::EditProperties()
{
    CWevraText* text = GetText(m_current);
    if (!text || !IsAction(CTextArrayDocument::actionDragging))
        return 0;
    CTextArrayDocument& document = *m_document;
    const int32_t unit = document.GetUnit();
    std::string characters = text->GetText();
    std::string size = CLengthText::FormatLength(unit, text->GetHeight());
    std::string width = CLengthText::FormatLength(unit, text->GetLineWidth());
    int32_t layer = text->GetLayer();
    bool mirrored = text->IsMirrored();
    std::string rotation = CAngleText::Format(text->GetAngle());
    if (CDialogService::Get().EditText(characters, size, width, layer, mirrored, rotation,
                                       document.GetLayerNames()) != CDialogService::resultOk)
        return 0;
    const std::optional<int32_t> height = FieldRanges::length.TakeLength(unit, size, "Text height");
    const std::optional<int32_t> lineWidth =
        height ? FieldRanges::length.TakeLength(unit, width, "Text line width") : std::nullopt;
    if (!lineWidth)
        return 0;

    // Without a cursor move since the pick no snapshot has been taken yet, and a text edited
    // and placed without moving must still count as a change.
    document.PushUndoForSelection();
    // Told once for each text placed or retyped, not again when only its looks change.
    const bool warn = document.GetMode() == ID_BOARD_PLACE_TEXT || characters != text->GetText();
    text->SetText(characters);
    text->SetHeight(*height);
    text->SetLineWidth(*lineWidth);
    // A layer the board does not have would leave the text on no layer at all.
    if (layer >= 0 && layer < LAYER_COUNT)
        text->SetLayer(layer);
    text->SetMirrored(mirrored);
    text->SetAngle(CAngleText::Parse(rotation));
    document.SetModified();
    if (warn)
        ShowMissingCharacters({MissingCharactersLine(document.GetFont(), "Text", characters)});
    return 1;
}

std::vector<uint32_t> CTextArray::GetContextMenuItems() const
{
    const uint32_t mode = m_document ? m_document->GetMode() : 0;
    if (IsAction(CTextArrayDocument::actionDragging)) {
        if (mode == ID_BOARD_PLACE_TEXT)
            return {};
        if (mode == ID_BOARD_EDIT_TEXT)
            return {menuSeparator, ID_TEXT_MODIFY, ID_OTHER_DELETE};
    }
    return {menuSeparator, ID_BOARD_PLACE_TEXT, ID_BOARD_EDIT_TEXT};
}
