#include "interchange/CNetlistLines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "framework/CArchiveException.h"
#include "framework/CWindows1252.h"

namespace {

constexpr char dosEndOfFile = '\x1A';
// Editors that save as UTF-8 may start the file with it; it belongs to no line.
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t replacementCharacter = 0xFFFD;
constexpr std::string_view encodedReplacement = "\xEF\xBF\xBD";

} // namespace

CNetlistLines::CNetlistLines(std::string bytes)
{
    std::string_view text = bytes;
    const bool marked = text.starts_with(byteOrderMark);
    if (marked)
        text.remove_prefix(byteOrderMark.size());
    if (marked || CWindows1252::IsUtf8BeyondAscii(text)) {
        m_utf8 = true;
        // Line ends are ASCII and survive the conversion: the line of each character is
        // counted up to it as the conversion meets it.
        int32_t line = 1;
        size_t counted = 0;
        size_t lineStart = 0;
        const auto countTo = [&](size_t offset) {
            for (; counted < offset; ++counted) {
                const char c = text[counted];
                if (c == '\n' ||
                    (c == '\r' && (counted + 1 == text.size() || text[counted + 1] != '\n'))) {
                    ++line;
                    lineStart = counted + 1;
                }
            }
        };
        // Files are read up to maxFileSize, far below 4 GB: an offset takes 32 bits.
        auto unplacedAt = std::make_shared<std::vector<UnplacedAt>>();
        m_shared = std::make_shared<const std::string>(
            CWindows1252::FromUtf8(text, [&](size_t offset, size_t converted, char32_t code) {
                countTo(offset);
                // The conversion names a malformed sequence as the replacement character, which
                // a file may also hold as a character of its own.
                if (code == replacementCharacter &&
                    !text.substr(offset).starts_with(encodedReplacement))
                    NoteMalformed(line, uint8_t(text[offset]), int32_t(offset - lineStart) + 1);
                if (m_unplaced.size() < keptUnplaced)
                    m_unplaced.push_back({line, code});
                ++m_unplacedCount;
                unplacedAt->push_back({uint32_t(converted), code});
            }));
        if (!unplacedAt->empty())
            m_unplacedAt = std::move(unplacedAt);
    } else {
        m_shared = std::make_shared<const std::string>(std::move(bytes));
    }
    m_bytes = *m_shared;
    if (!m_bytes.empty() && m_bytes.back() == dosEndOfFile)
        m_bytes.remove_suffix(1);
}

void CNetlistLines::NoteMalformed(int32_t line, uint8_t byte, int32_t column)
{
    if (line == m_lastMalformedLine)
        return;
    m_lastMalformedLine = line;
    ++m_malformedLineCount;
    if (m_malformed.size() < keptUnplaced)
        m_malformed.push_back({line, byte, column});
}

bool CNetlistLines::EndsBetweenCrAndLf() const
{
    return !m_bytes.empty() && m_bytes.back() == '\r' &&
           m_bytes.find("\r\n") != std::string_view::npos;
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
    // Most netlist lines are a pin or a name of a few bytes: they are looked through byte by
    // byte, as a call to search them cost more than the search.
    constexpr size_t shortLine = 32;
    size_t end = m_position;
    const size_t shortEnd = std::min(bytes.size(), m_position + shortLine);
    while (end < shortEnd && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    if (end == shortEnd && end < bytes.size()) {
        // The next line feed, kept while lines end before it (a file of lone CRs has none to
        // look for again), then a carriage return before it: find_first_of would look for both
        // ends at every byte.
        if (end < m_feedFrom || end > m_feed) {
            const void* const feed = std::memchr(bytes.data() + end, '\n', bytes.size() - end);
            m_feedFrom = end;
            m_feed = feed ? size_t(static_cast<const char*>(feed) - bytes.data()) : bytes.size();
        }
        const void* const ret = std::memchr(bytes.data() + end, '\r', m_feed - end);
        end = ret ? size_t(static_cast<const char*>(ret) - bytes.data()) : m_feed;
    }
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

std::string_view CNetlistLines::CurrentLine() const
{
    if (m_lineNumber == 0)
        return std::string_view();
    const std::string_view rest = m_bytes.substr(m_previousPosition);
    return rest.substr(0, rest.find_first_of("\r\n"));
}

std::vector<std::pair<size_t, char32_t>> CNetlistLines::UnplacedIn(std::string_view text) const
{
    std::vector<std::pair<size_t, char32_t>> found;
    const auto begin = reinterpret_cast<uintptr_t>(m_bytes.data());
    const auto start = reinterpret_cast<uintptr_t>(text.data());
    if (!m_unplacedAt || start < begin || start + text.size() > begin + m_bytes.size())
        return found;
    const size_t from = size_t(start - begin);
    auto at = std::lower_bound(
        m_unplacedAt->begin(), m_unplacedAt->end(), from,
        [](const UnplacedAt& character, size_t offset) { return character.offset < offset; });
    for (; at != m_unplacedAt->end() && at->offset < from + text.size(); ++at)
        found.emplace_back(at->offset - from, at->codePoint);
    return found;
}

int64_t CNetlistLines::CountLines() const
{
    // Files end their lines with CR LF, LF or CR: the more frequent of the two ends counts
    // them, near enough for a progress bar.
    const auto feeds = std::count(m_bytes.begin(), m_bytes.end(), '\n');
    const auto returns = std::count(m_bytes.begin(), m_bytes.end(), '\r');
    return int64_t(std::max(feeds, returns)) + (EndsInsideALine() ? 1 : 0);
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
