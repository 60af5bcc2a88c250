#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"

// One entry of the layer table: its number, name and three-letter code, and whether it is shown
// in the current display layer set (visible) and in use in this design (enabled).
class CLayer : public CObject {
    WEVRA_DECLARE_SERIAL(CLayer)

public:
    // Every field at its default.
    CLayer() = default;
    // Every field at its default, then the given number, code, name and visible switch.
    CLayer(int32_t number, const std::string& code, const std::string& name, bool visible);

    int32_t GetNumber() const { return m_number; }
    void SetNumber(int32_t number) { m_number = number; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetCode() const { return m_code; }
    const std::string& GetLibName() const { return m_libName; }

    // Both return 1 when the switch changed and 0 when it already had that value.
    int SetVisible(bool on);
    int SetEnabled(bool on);
    bool IsVisible() const { return m_visible != 0; }
    bool IsEnabled() const { return m_enabled != 0; }

    // Number, name, code, library name, then 13 int32 in field order.
    void Serialize(CArchive& ar) override;

private:
    int32_t m_number = 0;
    std::string m_name = "UnNamed";
    std::string m_code = "DWG";
    std::string m_libName = "NoLibName";
    // Kept, stored and copied as they are; nothing in the program reads them.
    std::array<int32_t, 2> m_leading = {0, 0};
    std::array<int32_t, 7> m_sizes = {2519, 2519, 2519, 2519, 2519, 2519, 2519};
    std::array<int32_t, 2> m_trailing = {0, 0};
    // Stored as int32 switches; any nonzero value counts as on.
    int32_t m_visible = 1;
    int32_t m_enabled = 1;
};
