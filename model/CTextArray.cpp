#include "model/CTextArray.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>
#include <string>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CPen.h"
#include "framework/CResString.h"
#include "model/CWevraFont.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CTextArray, "CTextArray", 0)

namespace {

// Flags, layer, line width, angle, height, x, y and the shortest string.
constexpr size_t minStoredTextBytes = 7 * 4 + 1;

constexpr char angleRepairedText[] =
    "Some texts of this design had an angle out of range; it has been brought into 0 to 360 "
    "degrees.";

bool PointNear(CPoint position, CPoint point, int32_t distance)
{
    return int64_t(position.x) >= int64_t(point.x) - distance &&
           int64_t(position.x) < int64_t(point.x) + distance &&
           int64_t(position.y) >= int64_t(point.y) - distance &&
           int64_t(position.y) < int64_t(point.y) + distance;
}

int32_t ScreenWidth(int32_t lineWidth, int32_t scale)
{
    return std::max(lineWidth / std::max(scale, 1), 1);
}

} // namespace

CTextArray::CTextArray(const CTextArray& other) : CObject(other)
{
    *this = other;
}

CTextArray& CTextArray::operator=(const CTextArray& other)
{
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<CWevraText>> copies;
    copies.reserve(other.m_texts.size());
    for (const auto& text : other.m_texts) {
        copies.push_back(std::make_unique<CWevraText>(*text));
        copies.back()->SetSelected(false);
    }
    m_texts = std::move(copies);
    m_current = other.m_current;
    m_selectedCount = 0;
    m_document = other.m_document;
    return *this;
}

CWevraText* CTextArray::GetText(int32_t i)
{
    return i >= 0 && i < GetCount() ? m_texts[size_t(i)].get() : nullptr;
}

const CWevraText* CTextArray::GetText(int32_t i) const
{
    return i >= 0 && i < GetCount() ? m_texts[size_t(i)].get() : nullptr;
}

int32_t CTextArray::AddText(const CWevraText* templ)
{
    auto text = templ ? std::make_unique<CWevraText>(*templ) : std::make_unique<CWevraText>();
    // A copy of a selected template would otherwise arrive selected but uncounted.
    text->SetSelected(false);
    m_texts.push_back(std::move(text));
    m_current = GetCount() - 1;
    Select(m_current, true);
    return m_current;
}

void CTextArray::CopySelected()
{
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i) {
        if (!IsSelected(i))
            continue;
        Select(i, false);
        m_texts.push_back(std::make_unique<CWevraText>(*m_texts[size_t(i)]));
        Select(GetCount() - 1, true);
    }
}

void CTextArray::DeleteSelected()
{
    for (int32_t i = GetCount() - 1; i >= 0; --i) {
        if (!IsSelected(i))
            continue;
        Select(i, false);
        m_texts.erase(m_texts.begin() + i);
    }
    m_current = GetCount() == 0 ? 0 : std::clamp(m_current, 0, GetCount() - 1);
}

void CTextArray::MoveSelected(int32_t dx, int32_t dy)
{
    if (m_selectedCount < 1)
        return;
    for (const auto& text : m_texts) {
        if (text->IsSelected())
            text->Offset(dx, dy);
    }
}

void CTextArray::RotateSelected(int32_t cx, int32_t cy, int32_t angle)
{
    if (m_selectedCount < 1)
        return;
    for (const auto& text : m_texts) {
        if (!text->IsSelected())
            continue;
        const CPoint position = text->GetPosition();
        const CPoint turned = RotatePoint(SaturateToInt(int64_t(position.x) - cx),
                                          SaturateToInt(int64_t(position.y) - cy), angle);
        text->SetPosition(
            CPoint(SaturateToInt(int64_t(turned.x) + cx), SaturateToInt(int64_t(turned.y) + cy)));
        text->SetAngle(int32_t((int64_t(text->GetAngle()) + angle) % FULL_TURN));
    }
}

void CTextArray::Select(int32_t i, bool on)
{
    CWevraText* text = GetText(i);
    if (!text || text->IsSelected() == on)
        return;
    text->SetSelected(on);
    m_selectedCount += on ? 1 : -1;
}

void CTextArray::Toggle(int32_t i)
{
    Select(i, !IsSelected(i));
}

void CTextArray::SelectAll(bool on)
{
    for (const auto& text : m_texts)
        text->SetSelected(on);
    m_selectedCount = on ? GetCount() : 0;
}

bool CTextArray::IsSelected(int32_t i) const
{
    const CWevraText* text = GetText(i);
    return text && text->IsSelected();
}

int32_t CTextArray::FindAtPoint(CPoint& point, int32_t mode, uint32_t layerMask)
{
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CWevraText& text = *m_texts[size_t(i)];
        if ((LayerBit(text.GetLayer()) & layerMask) == 0 ||
            !PointNear(text.GetPosition(), point, pickDistance))
            continue;
        if (mode & hitSelect)
            Select(i, true);
        else if (mode & hitToggle)
            Toggle(i);
        point = text.GetPosition();
        m_current = i;
        return i;
    }
    return -1;
}

void CTextArray::SelectInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    CRect box = rect;
    box.NormalizeRect();
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CWevraText& text = *m_texts[size_t(i)];
        if ((LayerBit(text.GetLayer()) & layerMask) == 0 || !box.PtInRect(text.GetPosition()))
            continue;
        if (mode & hitSelect)
            Select(i, true);
        else if (mode & hitToggle)
            Toggle(i);
    }
}

void CTextArray::Draw(CDeviceContext& dc, int32_t layer, const CWevraFont& font, COLORREF color,
                      int32_t offsetX, int32_t offsetY, int32_t scale) const
{
    bool penSelected = false;
    CPen previous;
    int32_t width = 0;
    for (const auto& text : m_texts) {
        if (text->IsSelected() || text->GetLayer() != layer)
            continue;
        const int32_t wanted = ScreenWidth(text->GetLineWidth(), scale);
        if (!penSelected || wanted != width) {
            const CPen old = dc.SelectPen(CPen(CPen::Style::Solid, wanted, color));
            if (!penSelected)
                previous = old;
            penSelected = true;
            width = wanted;
        }
        text->Draw(dc, font, offsetX, offsetY, scale);
    }
    if (penSelected)
        dc.SelectPen(previous);
}

void CTextArray::DrawSelected(CDeviceContext& dc, const CWevraFont& font,
                              std::span<const COLORREF> highlightColors, int32_t offsetX,
                              int32_t offsetY, int32_t scale, uint32_t shownLayers) const
{
    bool penSelected = false;
    CPen previous;
    CPen current;
    for (const auto& text : m_texts) {
        const int32_t layer = text->GetLayer();
        if (!text->IsSelected() || layer < 0 || size_t(layer) >= highlightColors.size() ||
            !IsLayerShown(shownLayers, layer))
            continue;
        const CPen wanted(CPen::Style::Solid, ScreenWidth(text->GetLineWidth(), scale),
                          highlightColors[size_t(layer)]);
        if (!penSelected || !(wanted == current)) {
            const CPen old = dc.SelectPen(wanted);
            if (!penSelected)
                previous = old;
            penSelected = true;
            current = wanted;
        }
        text->Draw(dc, font, offsetX, offsetY, scale);
    }
    if (penSelected)
        dc.SelectPen(previous);
}

void CTextArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        LoadFields(ar);
}

void CTextArray::Serialize(CArchive& ar, uint32_t fileVersion)
{
    if (ar.IsStoring())
        Store(ar);
    else if (fileVersion < fieldFormVersion)
        LoadObjectList(ar);
    else
        LoadFields(ar);
}

void CTextArray::Store(CArchive& ar) const
{
    ar << static_cast<uint32_t>(m_texts.size());
    for (const auto& text : m_texts) {
        const CPoint position = text->GetPosition();
        ar << text->GetFlags() << text->GetLayer() << text->GetLineWidth() << text->GetAngle()
           << text->GetHeight() << position.x << position.y;
        ar.WriteString(text->GetText());
    }
}

void CTextArray::LoadFields(CArchive& ar)
{
    const uint32_t count = ar.ReadDWord();
    if (count > ar.GetRemaining() / minStoredTextBytes)
        CArchive::Fail(CArchiveException::badCount,
                       "Text count " + std::to_string(count) + " exceeds the rest of the file.");
    std::vector<std::unique_ptr<CWevraText>> loaded;
    loaded.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = 0;
        int32_t layer = 0;
        int32_t lineWidth = 0;
        int32_t angle = 0;
        int32_t height = 0;
        CPoint position;
        ar >> flags >> layer >> lineWidth >> angle >> height >> position.x >> position.y;
        auto text = std::make_unique<CWevraText>();
        text->SetFlags(flags);
        text->SetLayer(layer);
        if (layer < 0 || layer >= LAYER_COUNT) {
            text->SetLayer(LAYER_DRAWING_1);
            ar.AddLoadWarning(CResString::Load(IDS_LAYER_REPAIRED));
        }
        text->SetLineWidth(lineWidth);
        text->SetAngle(angle);
        if (text->GetAngle() != angle)
            ar.AddLoadWarning(angleRepairedText);
        text->SetHeight(height);
        text->SetPosition(position);
        text->SetText(ar.ReadString());
        loaded.push_back(std::move(text));
    }
    Replace(std::move(loaded));
}

void CTextArray::LoadObjectList(CArchive& ar)
{
    const uint32_t count = ar.ReadCount(2);
    std::vector<std::unique_ptr<CWevraText>> loaded;
    loaded.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        // Dropping an empty record would lose a text without a word; the file is damaged.
        auto text = ar.ReadObjectOf<CWevraText>();
        if (!text)
            CArchive::Fail(CArchiveException::badClass, "Empty text record.");
        loaded.push_back(std::move(text));
    }
    Replace(std::move(loaded));
}

void CTextArray::Replace(std::vector<std::unique_ptr<CWevraText>> texts)
{
    // A design saved with texts selected must not load with selected bits the count does not
    // know of.
    for (const auto& text : texts)
        text->SetSelected(false);
    m_texts = std::move(texts);
    m_current = 0;
    m_selectedCount = 0;
}
