#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The single-byte texts of the design files, the string table and the model are Windows-1252;
// the desktop speaks UTF-8. Conversions happen where text leaves or enters the program.
class CWindows1252 {
public:
    // Every byte has a character: the five bytes the code page leaves unassigned (0x81, 0x8D,
    // 0x8F, 0x90, 0x9D) become the control characters of the same number, so any byte string
    // survives the round trip through FromUtf8.
    static std::string ToUtf8(std::string_view text);
    // Characters the code page cannot hold, and malformed UTF-8, become '?'.
    static std::string FromUtf8(std::string_view text);
    // The same, telling `unplaced` the offset in `text`, the offset in the result and the code
    // point of each character that became '?' (U+FFFD for a malformed sequence).
    static std::string FromUtf8(std::string_view text,
                                const std::function<void(size_t, size_t, char32_t)>& unplaced);
    // Whether the text is well-formed UTF-8 with at least one character beyond ASCII: a
    // Windows-1252 text of letters beyond ASCII hardly ever forms it.
    static bool IsUtf8BeyondAscii(std::string_view text);
};
