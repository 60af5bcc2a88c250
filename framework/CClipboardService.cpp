#include "framework/CClipboardService.h"

CClipboardService::~CClipboardService() = default;

bool CClipboardService::HasFormat(const std::string& format) const
{
    return m_data.count(format) != 0;
}

std::optional<std::vector<uint8_t>> CClipboardService::GetData(const std::string& format) const
{
    const auto found = m_data.find(format);
    if (found == m_data.end())
        return std::nullopt;
    return found->second;
}

bool CClipboardService::SetData(const std::string& format, const std::vector<uint8_t>& data)
{
    m_data.clear();
    m_data[format] = data;
    return true;
}
