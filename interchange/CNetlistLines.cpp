#include "interchange/CNetlistLines.h"

#include "framework/CArchiveException.h"

namespace {

constexpr char dosEndOfFile = '\x1A';
// Editors that save as UTF-8 may start the file with it; it belongs to no line.
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

} // namespace

CNetlistLines::CNetlistLines(std::string bytes) : m_bytes(std::move(bytes))
{
    if (m_bytes.starts_with(byteOrderMark))
        m_bytes.erase(0, byteOrderMark.size());
    if (!m_bytes.empty() && m_bytes.back() == dosEndOfFile)
        m_bytes.pop_back();
}

bool CNetlistLines::Open(const std::filesystem::path& path, std::string* reason)
{
    *this = CNetlistLines();
    try {
        *this = CNetlistLines(CInputFile::ReadText(path, maxFileSize));
    } catch (const CArchiveException& error) {
        if (reason != nullptr)
            *reason = error.what();
        return false;
    }
    return true;
}

bool CNetlistLines::Next(std::string& line)
{
    if (m_position >= m_bytes.size())
        return false;
    m_previousPosition = m_position;
    const size_t end = m_bytes.find_first_of("\r\n", m_position);
    if (end == std::string::npos) {
        line.assign(m_bytes, m_position, std::string::npos);
        m_position = m_bytes.size();
    } else {
        line.assign(m_bytes, m_position, end - m_position);
        m_position = end + 1;
        if (m_bytes[end] == '\r' && m_position < m_bytes.size() && m_bytes[m_position] == '\n')
            ++m_position;
    }
    ++m_lineNumber;
    return true;
}

void CNetlistLines::Rewind()
{
    m_position = 0;
    m_previousPosition = 0;
    m_lineNumber = 0;
}

void CNetlistLines::Unread()
{
    if (m_position == m_previousPosition)
        return;
    m_position = m_previousPosition;
    --m_lineNumber;
}
