#include "interchange/CNetlistReport.h"

#include <array>
#include <cstdio>

#include "framework/CPathHelper.h"

bool CNetlistReport::Create(const std::filesystem::path& path, const std::string& header)
{
    m_path = path;
    m_text.clear();
    Append(header);
    return Write();
}

void CNetlistReport::Append(std::string_view text)
{
    size_t start = 0;
    for (size_t feed; (feed = text.find('\n', start)) != std::string_view::npos; start = feed + 1) {
        m_text.append(text, start, feed - start);
        m_text += "\r\n";
    }
    m_text.append(text, start);
}

bool CNetlistReport::Write() const
{
    return !m_path.empty() && CPathHelper::WriteFileAtomically(m_path, m_text);
}

std::string CNetlistReport::TimeStampText(std::time_t time)
{
    static constexpr std::array<const char*, 7> days = {
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static constexpr std::array<const char*, 12> months = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    char text[96];
    std::snprintf(text, sizeof text, "%s, %s %02d, %d  %02d:%02d:%02d",
                  days[size_t(local.tm_wday % 7)], months[size_t(local.tm_mon % 12)], local.tm_mday,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}
