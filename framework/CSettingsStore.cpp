#include "framework/CSettingsStore.h"

#include "framework/CNumberText.h"

CSettingsStore::~CSettingsStore() = default;

std::string CSettingsStore::GetString(const std::string& section, const std::string& key,
                                      const std::string& fallback) const
{
    auto found = m_values.find({section, key});
    return found == m_values.end() ? fallback : found->second;
}

void CSettingsStore::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value)
{
    m_values[{section, key}] = value;
}

int32_t CSettingsStore::GetInt(const std::string& section, const std::string& key,
                               int32_t fallback) const
{
    // A sentinel that no number parses to tells a missing key from a stored one.
    const std::string missing(1, '\0');
    std::string text = GetString(section, key, missing);
    if (text == missing)
        return fallback;
    return CNumberText::ParseInt(text);
}

void CSettingsStore::WriteInt(const std::string& section, const std::string& key, int32_t value)
{
    WriteString(section, key, CNumberText::FormatInt(value));
}
