#include "model/COutput.h"

#include <algorithm>

#include "framework/CArchive.h"
#include "framework/CPrinterService.h"
#include "framework/CServices.h"
#include "model/LayerIds.h"

WEVRA_IMPLEMENT_SERIAL(COutput, "COutput", 0)

COutput::COutput()
{
    Reset();
}

COutput::COutput(const COutput& other)
    : CObject(other), m_device(other.m_device), m_directory(other.m_directory),
      m_printerName(other.m_printerName), m_jobName(other.m_jobName), m_scale(other.m_scale),
      m_flags(other.m_flags), m_offsetX(other.m_offsetX), m_offsetY(other.m_offsetY),
      m_storedValue(other.m_storedValue)
{
    // The copy has no items, so its current item stays 0.
}

void COutput::Reset()
{
    m_items.clear();
    m_currentItem = 0;
    m_flags = uint32_t(orientationPortrait) | flagUseDefaultPrinter;
    m_scale = 1.0;
    m_offsetX = 0;
    m_offsetY = 0;
    m_storedValue = 0;
    m_device = deviceWindows;
    m_directory = "A:\\";
    m_jobName.clear();
    m_printerName.clear();
}

COutputRec* COutput::GetItem(int32_t i)
{
    return i >= 0 && i < GetItemCount() ? m_items[size_t(i)].get() : nullptr;
}

const COutputRec* COutput::GetItem(int32_t i) const
{
    return i >= 0 && i < GetItemCount() ? m_items[size_t(i)].get() : nullptr;
}

int32_t COutput::AddItem(std::unique_ptr<COutputRec> item)
{
    m_items.push_back(item ? std::move(item) : std::make_unique<COutputRec>());
    return GetItemCount() - 1;
}

void COutput::RemoveItem(int32_t i)
{
    if (i < 0 || i >= GetItemCount())
        return;
    m_items.erase(m_items.begin() + i);
    m_currentItem = std::clamp(m_currentItem, 0, std::max(GetItemCount() - 1, 0));
}

void COutput::SetCurrentItem(int32_t i)
{
    m_currentItem = i >= 0 && i < GetItemCount() ? i : 0;
}

void COutput::SetOffset(int32_t x, int32_t y)
{
    m_offsetX = x;
    m_offsetY = y;
}

void COutput::SetOrientation(int32_t orientation)
{
    m_flags = (m_flags & ~flagOrientationMask) | (uint32_t(orientation) & flagOrientationMask);
}

void COutput::SetUseDefaultPrinter(bool on)
{
    if (on)
        m_flags |= flagUseDefaultPrinter;
    else
        m_flags &= ~flagUseDefaultPrinter;
}

void COutput::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_currentItem << m_flags << m_storedValue << m_scale << m_offsetX << m_offsetY;
        ar << m_device << m_directory << m_jobName << m_printerName;
        ar.SerializeObjectArray(m_items);
        return;
    }

    m_items.clear();
    m_currentItem = 0;
    m_flags = 0;
    m_repaired = false;
    ar >> m_currentItem >> m_flags >> m_storedValue >> m_scale >> m_offsetX >> m_offsetY;
    ar >> m_device >> m_directory >> m_jobName >> m_printerName;
    ar.SerializeObjectArray(m_items);

    // Every user of a job indexes its items by the current item and the layer tables by an
    // item's reference layer, so neither may point outside.
    for (std::unique_ptr<COutputRec>& item : m_items) {
        if (!item) {
            item = std::make_unique<COutputRec>();
            m_repaired = true;
        } else if (item->GetRefLayer() < 0 || item->GetRefLayer() >= LAYER_COUNT) {
            item->SetRefLayer(LAYER_TOP);
            m_repaired = true;
        }
    }
    if (m_currentItem != 0 && (m_currentItem < 0 || m_currentItem >= GetItemCount())) {
        m_currentItem = 0;
        m_repaired = true;
    }

    if (m_device == deviceWindows && !CServices::Printers().CanOpenPrinter(m_printerName))
        SetUseDefaultPrinter(true);
}
