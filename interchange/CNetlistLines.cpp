#include "interchange/CNetlistLines.h"

#include <cstring>

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
    std::string_view view;
    if (!Next(view))
        return false;
    line.assign(view);
    return true;
}

bool CNetlistLines::Next(std::string_view& line)
{
    if (m_position >= m_bytes.size())
        return false;
    m_previousPosition = m_position;
    const std::string_view bytes = m_bytes;
    // The next line feed, kept while lines end before it (a file of lone CRs has none to
    // look for again), then a carriage return before it: find_first_of would look for both
    // ends at every byte.
    if (m_position < m_feedFrom || m_position > m_feed) {
        const void* const feed =
            std::memchr(bytes.data() + m_position, '\n', bytes.size() - m_position);
        m_feedFrom = m_position;
        m_feed = feed ? size_t(static_cast<const char*>(feed) - bytes.data()) : bytes.size();
    }
    const void* const ret = std::memchr(bytes.data() + m_position, '\r', m_feed - m_position);
    const size_t end = ret ? size_t(static_cast<const char*>(ret) - bytes.data()) : m_feed;
    if (end == bytes.size()) {
        line = bytes.substr(m_position);
        m_position = m_bytes.size();
    } else {
        line = bytes.substr(m_position, end - m_position);
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
