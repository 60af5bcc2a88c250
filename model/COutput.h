#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "model/COutputRec.h"

// An output job: its layer sets (items) and where and how they go: the device (one of the
// application's output device names), a directory, a printer, a scale and an offset.
class COutput : public CObject {
    WEVRA_DECLARE_SERIAL(COutput)

public:
    // Bits of the flags word.
    static constexpr uint32_t flagOrientationMask = 0x03u;
    static constexpr uint32_t flagUseDefaultPrinter = 0x08u;

    static constexpr int32_t orientationPortrait = 1;
    static constexpr int32_t orientationLandscape = 2;

    // The device name of printing through the printer driver.
    static constexpr char deviceWindows[] = "WINDOWS";

    // As after Reset.
    COutput();
    // Every setting of the other job; its items are not copied.
    COutput(const COutput& other);
    COutput& operator=(const COutput&) = delete;

    // No items, portrait on the default printer, scale 1.0, no offset, device "WINDOWS",
    // directory "A:\", no job or printer name.
    void Reset();

    int32_t GetItemCount() const { return static_cast<int32_t>(m_items.size()); }
    // nullptr outside the list.
    COutputRec* GetItem(int32_t i);
    const COutputRec* GetItem(int32_t i) const;
    // Appends the record (a default one for nullptr); returns its index.
    int32_t AddItem(std::unique_ptr<COutputRec> item);
    // Removes item i (nothing outside the list); the current item stays in the list, or 0.
    void RemoveItem(int32_t i);

    // The current item is always 0 or an index of the list; SetCurrentItem makes it 0 for an
    // index outside the list.
    int32_t GetCurrentItem() const { return m_currentItem; }
    void SetCurrentItem(int32_t i);
    // nullptr when the job has no items.
    COutputRec* GetCurrentRec() { return GetItem(m_currentItem); }
    const COutputRec* GetCurrentRec() const { return GetItem(m_currentItem); }

    const std::string& GetDevice() const { return m_device; }
    void SetDevice(const std::string& device) { m_device = device; }
    const std::string& GetDirectory() const { return m_directory; }
    void SetDirectory(const std::string& directory) { m_directory = directory; }
    const std::string& GetPrinterName() const { return m_printerName; }
    void SetPrinterName(const std::string& name) { m_printerName = name; }
    const std::string& GetJobName() const { return m_jobName; }
    void SetJobName(const std::string& name) { m_jobName = name; }
    double GetScale() const { return m_scale; }
    void SetScale(double scale) { m_scale = scale; }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    int32_t GetOffsetX() const { return m_offsetX; }
    int32_t GetOffsetY() const { return m_offsetY; }
    void SetOffset(int32_t x, int32_t y);
    // Kept, stored and copied with the job; 1 for the default printing job.
    int32_t GetStoredValue() const { return m_storedValue; }
    void SetStoredValue(int32_t value) { m_storedValue = value; }

    int32_t GetOrientation() const { return int32_t(m_flags & flagOrientationMask); }
    void SetOrientation(int32_t orientation);
    bool UseDefaultPrinter() const { return (m_flags & flagUseDefaultPrinter) != 0; }
    void SetUseDefaultPrinter(bool on);

    // Current item, flags, stored value, scale, offset, device, directory, job name, printer
    // name, then the items as an object array. A loaded printing job whose printer cannot be
    // opened prints on the default printer. Loading repairs what would point outside the
    // job: empty item records, a current item outside the list and reference layers that
    // name no layer; WasRepaired tells whether the last load had to.
    void Serialize(CArchive& ar) override;
    bool WasRepaired() const { return m_repaired; }

private:
    std::vector<std::unique_ptr<COutputRec>> m_items;
    int32_t m_currentItem = 0;
    std::string m_device;
    std::string m_directory;
    std::string m_printerName;
    std::string m_jobName;
    double m_scale = 1.0;
    uint32_t m_flags = 0;
    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_storedValue = 0;
    bool m_repaired = false;
};
