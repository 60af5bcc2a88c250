#include "model/COutputRec.h"

#include "framework/CArchive.h"
#include "framework/CResString.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(COutputRec, "COutputRec", 0)

COutputRec::COutputRec() : m_displayName(CResString::Load(IDS_UNNAMED)) {}

void COutputRec::Assign(const COutputRec& other)
{
    const int32_t refLayer = m_refLayer;
    m_fileExtension = other.m_fileExtension;
    m_displayName = other.m_displayName;
    m_output = other.m_output;
    m_color = other.m_color;
    m_flags = other.m_flags;
    m_layers = other.m_layers;
    m_refLayer = refLayer;
}

int32_t COutputRec::GetLayerCount() const
{
    int32_t count = 0;
    while (count < maxLayers && m_layers[size_t(count)] >= 1 &&
           m_layers[size_t(count)] < LAYER_COUNT)
        ++count;
    return count;
}

int32_t COutputRec::GetLayer(int32_t i) const
{
    return i >= 0 && i < GetLayerCount() ? m_layers[size_t(i)] : 0;
}

void COutputRec::SetLayers(std::initializer_list<int32_t> layers)
{
    m_layers = {};
    size_t i = 0;
    for (int32_t layer : layers) {
        if (i == m_layers.size())
            break;
        m_layers[i++] = uint8_t(layer);
    }
}

void COutputRec::SetTextMode(int32_t mode)
{
    m_flags = (m_flags & ~flagTextModeMask) | (uint32_t(mode) & flagTextModeMask);
}

void COutputRec::SetTextBit(uint32_t bit, int32_t mode, bool on)
{
    if (on)
        m_flags |= bit;
    else
        m_flags &= ~bit;
    SetTextMode(on ? mode : textNone);
    m_flags |= flagTextBitsValid;
}

void COutputRec::SetTextReference(bool on)
{
    SetTextBit(flagTextReference, textModeReference, on);
}

void COutputRec::SetTextShape(bool on)
{
    SetTextBit(flagTextShape, textModeShape, on);
}

void COutputRec::SetTextType(bool on)
{
    SetTextBit(flagTextType, textModeType, on);
}

bool COutputRec::IsTextShown(int32_t mode) const
{
    switch (mode) {
    case textModeReference:
        return IsTextReference();
    case textModeType:
        return IsTextType();
    case textModeShape:
        return IsTextShape();
    default:
        return false;
    }
}

void COutputRec::ShowTextOnly(int32_t mode)
{
    SetTextReference(mode == textModeReference);
    SetTextShape(mode == textModeShape);
    SetTextType(mode == textModeType);
    SetTextMode(IsTextShown(mode) ? mode : textNone);
}

void COutputRec::SetTextModeFromShown()
{
    for (const int32_t mode : {textModeReference, textModeType, textModeShape}) {
        if (IsTextShown(mode)) {
            SetTextMode(mode);
            return;
        }
    }
    SetTextMode(textNone);
}

void COutputRec::SetMirrored(bool on)
{
    if (on)
        m_flags |= flagMirrored;
    else
        m_flags &= ~flagMirrored;
}

void COutputRec::SetPercentIndex(int32_t n)
{
    m_flags = (m_flags & ~flagPercentMask) | ((uint32_t(n) << 12) & flagPercentMask);
}

void COutputRec::SetMinDiameterIndex(int32_t n)
{
    m_flags = (m_flags & ~flagMinDiameterMask) | ((uint32_t(n) << 16) & flagMinDiameterMask);
}

int32_t COutputRec::GetHolePercent() const
{
    switch (GetPercentIndex()) {
    case 1:
        return 30;
    case 2:
        return 20;
    default:
        return 100;
    }
}

int32_t COutputRec::GetHoleMinDiameter() const
{
    switch (GetMinDiameterIndex()) {
    case 0:
        return 3023;
    case 1:
        return 4031;
    case 2:
        return 5039;
    default:
        return 6047;
    }
}

void COutputRec::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_output << m_color << m_displayName << m_fileExtension;
        ar.Write(m_layers.data(), m_layers.size());
        ar << m_refLayer << m_flags;
        return;
    }
    ar >> m_output >> m_color >> m_displayName >> m_fileExtension;
    ar.Read(m_layers.data(), m_layers.size());
    ar >> m_refLayer >> m_flags;

    if ((m_flags & flagTextBitsValid) == 0) {
        switch (GetTextMode()) {
        case textModeReference:
            SetTextReference(true);
            break;
        case textModeType:
            SetTextType(true);
            break;
        case textModeShape:
            SetTextShape(true);
            break;
        default:
            break;
        }
    }
}
