#include "document/CNetGroups.h"

#include "framework/CNumberText.h"
#include "framework/Numeric.h"

namespace {

constexpr double unitsPerTenthMm = 1007.8740157480315;

} // namespace

void CNetGroups::Reset(const std::string& /*text*/)
{
    m_names.resize(count);
    m_spacings.resize(count);
    for (int32_t group = 0; group < count; ++group) {
        m_names[size_t(group)] = "G" + CNumberText::FormatInt(group);
        m_spacings[size_t(group)] = TruncToInt(group * unitsPerTenthMm);
    }
}

const std::string& CNetGroups::GetName(int32_t group) const
{
    static const std::string none;
    return group >= 0 && size_t(group) < m_names.size() ? m_names[size_t(group)] : none;
}

int32_t CNetGroups::GetSpacing(int32_t group) const
{
    return group >= 0 && size_t(group) < m_spacings.size() ? m_spacings[size_t(group)] : 0;
}
