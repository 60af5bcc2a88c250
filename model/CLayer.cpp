#include "model/CLayer.h"

#include "framework/CArchive.h"

WEVRA_IMPLEMENT_SERIAL(CLayer, "CLayer", CRuntimeClass::versionableSchema | 1)

CLayer::CLayer(int32_t number, const std::string& code, const std::string& name, bool visible)
    : m_number(number), m_name(name), m_code(code), m_visible(visible ? 1 : 0)
{
}

int CLayer::SetVisible(bool on)
{
    const int32_t value = on ? 1 : 0;
    if (m_visible == value)
        return 0;
    m_visible = value;
    return 1;
}

int CLayer::SetEnabled(bool on)
{
    const int32_t value = on ? 1 : 0;
    if (m_enabled == value)
        return 0;
    m_enabled = value;
    return 1;
}

void CLayer::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_number << m_name << m_code << m_libName;
        for (int32_t v : m_leading)
            ar << v;
        for (int32_t v : m_sizes)
            ar << v;
        for (int32_t v : m_trailing)
            ar << v;
        ar << m_visible << m_enabled;
    } else {
        ar >> m_number >> m_name >> m_code >> m_libName;
        for (int32_t& v : m_leading)
            ar >> v;
        for (int32_t& v : m_sizes)
            ar >> v;
        for (int32_t& v : m_trailing)
            ar >> v;
        ar >> m_visible >> m_enabled;
    }
}
