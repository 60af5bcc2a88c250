#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/CInputFile.h"

// A netlist text file as lines, read whole. A line ends at LF, CR LF or a lone CR and comes
// without its end; a last line without an end is a line too, and a DOS end-of-file mark after
// the last line is dropped. Lines are numbered from 1 as an editor shows them, so that reports
// can point at them. The bytes are kept as they are (Windows-1252, the design's own), unless
// the text is UTF-8: a file that starts with the UTF-8 byte order mark (which is dropped), or
// that is well-formed UTF-8 with characters beyond ASCII, is read as Windows-1252, each
// character the code page lacks as '?'. Copies share the bytes and read on from where the
// copied lines stood, each on its own.
class CNetlistLines {
public:
    // A character of a UTF-8 file that Windows-1252 has no place for.
    struct Unplaced {
        int32_t line = 0;
        char32_t codePoint = 0;
    };
    // No more of them are kept: the count goes on.
    static constexpr size_t keptUnplaced = 20;
    // A line of a file marked as UTF-8 that holds bytes UTF-8 does not form: the file is
    // damaged, and two names that differ only there would both read as '?'.
    struct Malformed {
        int32_t line = 0;
        // The first such byte of the line and its column (from 1).
        uint8_t byte = 0;
        int32_t column = 0;
    };

    // Netlists and component lists are text of some bytes per pin: a board of a hundred
    // thousand pins needs a few megabytes.
    static constexpr uintmax_t maxFileSize = 64 * CInputFile::megabyte;

    CNetlistLines() = default;
    explicit CNetlistLines(std::string bytes);

    // False, leaving the lines empty, when the file cannot be read, is no regular file or is
    // larger than maxFileSize; `reason`, when given, then says which and names the file.
    bool Open(const std::filesystem::path& path, std::string* reason = nullptr);

    // The next line; false at the end.
    bool Next(std::string& line);
    // The same, seen in place: valid while these lines live.
    bool Next(std::string_view& line);
    // The number of the line Next delivered last, 0 before the first.
    int32_t GetLineNumber() const { return m_lineNumber; }
    // Whether the text stops without a line end: a file written line by line was cut short.
    bool EndsInsideALine() const
    {
        return !m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r';
    }
    // Whether a file that ends its lines with CR LF stops after a CR: cut between the two, it
    // ends in a lone CR, which reads as a whole line. No other mix of line ends is a cut.
    bool EndsBetweenCrAndLf() const;
    // About how many lines there are (exact unless line ends are mixed), without reading them.
    int64_t CountLines() const;
    // Back to before the first line.
    void Rewind();
    // The line Next delivered last comes again with the next call (one line back at most).
    void Unread();

    // The line Next delivered last, seen in place (empty before the first).
    std::string_view CurrentLine() const;
    // For a text seen in place in these lines, the characters without a place in Windows-1252
    // that became the '?'s in it: each as its index in the text and its code point, in order.
    std::vector<std::pair<size_t, char32_t>> UnplacedIn(std::string_view text) const;

    // Whether the file was read as UTF-8.
    bool WasUtf8() const { return m_utf8; }
    // The first keptUnplaced characters without a place in Windows-1252, in file order.
    const std::vector<Unplaced>& GetUnplaced() const { return m_unplaced; }
    int64_t GetUnplacedCount() const { return m_unplacedCount; }
    // The first keptUnplaced lines holding bytes that are not UTF-8 (only a file marked with
    // the byte order mark is read as UTF-8 with them), and how many there are.
    const std::vector<Malformed>& GetMalformed() const { return m_malformed; }
    int64_t GetMalformedLineCount() const { return m_malformedLineCount; }

private:
    // Keeps the line (once) among those holding bytes that are not UTF-8.
    void NoteMalformed(int32_t line, uint8_t byte, int32_t column);

    std::shared_ptr<const std::string> m_shared;
    // The text of m_shared.
    std::string_view m_bytes;
    size_t m_position = 0;
    size_t m_previousPosition = 0;
    // The first line feed at or after m_feedFrom (the size when there is none).
    size_t m_feedFrom = 1;
    size_t m_feed = 0;
    int32_t m_lineNumber = 0;
    bool m_utf8 = false;
    std::vector<Unplaced> m_unplaced;
    int64_t m_unplacedCount = 0;
    std::vector<Malformed> m_malformed;
    int64_t m_malformedLineCount = 0;
    int32_t m_lastMalformedLine = 0;
    // Every character that became '?', by its offset in m_bytes, for UnplacedIn: two names
    // that differ only in such characters are told apart by them.
    struct UnplacedAt {
        uint32_t offset = 0;
        char32_t codePoint = 0;
    };
    std::shared_ptr<const std::vector<UnplacedAt>> m_unplacedAt;
};
