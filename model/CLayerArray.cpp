#include "model/CLayerArray.h"

#include <string_view>

#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

WEVRA_IMPLEMENT_SERIAL(CLayerArray, "CLayerArray", CRuntimeClass::versionableSchema | 1)

namespace {

// White space as the C locale knows it, whatever the user's locale.
std::string_view TrimLeft(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() &&
           (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r')))
        ++start;
    return text.substr(start);
}

std::unique_ptr<CLayer> MakeDefaultLayer(int32_t layer)
{
    auto made =
        std::make_unique<CLayer>(layer, DefaultLayerCode(layer), DefaultLayerName(layer), true);
    made->SetVisible(false);
    made->SetEnabled(true);
    return made;
}

// Every lookup indexes by layer number, so a loaded table must hold the layers 0..30 at their
// own index. Layers an older file lacks get their defaults; an empty record or more layers
// than there are mean the file is damaged, and it is refused rather than opened without them.
void CheckLoadedTable(std::vector<std::unique_ptr<CLayer>>& layers)
{
    if (layers.size() > size_t(LAYER_COUNT))
        throw CArchiveException(CArchiveException::badCount, "Too many layers in the file.");
    for (int32_t i = 0; i < LAYER_COUNT; ++i) {
        if (size_t(i) == layers.size())
            layers.push_back(MakeDefaultLayer(i));
        std::unique_ptr<CLayer>& layer = layers[size_t(i)];
        if (!layer)
            throw CArchiveException(CArchiveException::badIndex, "Empty layer record in the file.");
        if (layer->GetNumber() != i)
            layer->SetNumber(i);
    }
}

} // namespace

void CLayerArray::CreateDefault()
{
    m_byte = 0;
    m_layers.clear();
    m_refLayer = LAYER_TOP;
    for (int32_t i = 0; i < LAYER_COUNT; ++i)
        m_layers.push_back(MakeDefaultLayer(i));
}

CLayer* CLayerArray::GetLayer(int32_t layer)
{
    return layer >= 0 && layer < GetCount() ? m_layers[size_t(layer)].get() : nullptr;
}

const CLayer* CLayerArray::GetLayer(int32_t layer) const
{
    return layer >= 0 && layer < GetCount() ? m_layers[size_t(layer)].get() : nullptr;
}

void CLayerArray::SetVisible(int32_t layer, bool on)
{
    if (CLayer* found = GetLayer(layer))
        found->SetVisible(on);
}

bool CLayerArray::IsVisible(int32_t layer) const
{
    const CLayer* found = GetLayer(layer);
    return found && found->IsVisible();
}

bool CLayerArray::IsEnabled(int32_t layer) const
{
    const CLayer* found = GetLayer(layer);
    return found && found->IsEnabled();
}

std::string CLayerArray::GetLayerName(int32_t layer) const
{
    const CLayer* found = GetLayer(layer);
    return found ? found->GetName() : DefaultLayerName(layer);
}

int32_t CLayerArray::FindLayerByName(const std::string& name) const
{
    const std::string_view wanted = TrimLeft(name);
    for (const auto& layer : m_layers) {
        if (TrimLeft(layer->GetName()) == wanted)
            return layer->GetNumber();
    }
    return LAYER_COMMON;
}

void CLayerArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_refLayer << m_byte;
        ar.SerializeObjectArray(m_layers);
        return;
    }
    // Read into locals so that a failed load leaves the table as it was.
    int32_t refLayer = 0;
    uint8_t byte = 0;
    std::vector<std::unique_ptr<CLayer>> loaded;
    ar >> refLayer >> byte;
    ar.SerializeObjectArray(loaded);
    CheckLoadedTable(loaded);
    m_refLayer = refLayer;
    m_byte = byte;
    m_layers = std::move(loaded);
}
