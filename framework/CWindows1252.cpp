#include "framework/CWindows1252.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> upperControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char replacement = '?';

char32_t CodePointOf(uint8_t byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return upperControlRange[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// False when the code page has no byte for the character.
bool ByteOf(char32_t cp, char& byte)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = char(cp);
        return true;
    }
    for (size_t i = 0; i < upperControlRange.size(); ++i) {
        if (upperControlRange[i] == cp) {
            byte = char(0x80 + i);
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 sequence at text[pos], advancing pos; false for a malformed one, of which
// one byte is consumed so that decoding resynchronises on the next.
bool DecodeUtf8(std::string_view text, size_t& pos, char32_t& cp)
{
    uint8_t lead = uint8_t(text[pos]);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return false;
    }
    if (pos + length > text.size()) {
        ++pos;
        return false;
    }
    for (size_t i = 1; i < length; ++i) {
        uint8_t next = uint8_t(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += length;
    return true;
}

} // namespace

std::string CWindows1252::ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, CodePointOf(uint8_t(c)));
    return out;
}

std::string CWindows1252::FromUtf8(std::string_view text)
{
    return FromUtf8(text, {});
}

std::string CWindows1252::FromUtf8(std::string_view text,
                                   const std::function<void(size_t, size_t, char32_t)>& unplaced)
{
    constexpr char32_t malformed = 0xFFFD;
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        char32_t cp = 0;
        char byte = replacement;
        const bool decoded = DecodeUtf8(text, pos, cp);
        if (!decoded || !ByteOf(cp, byte)) {
            byte = replacement;
            if (unplaced)
                unplaced(start, out.size(), decoded ? cp : malformed);
        }
        out += byte;
    }
    return out;
}

bool CWindows1252::IsUtf8BeyondAscii(std::string_view text)
{
    bool beyondAscii = false;
    size_t pos = 0;
    while (pos < text.size()) {
        if (uint8_t(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp = 0;
        if (!DecodeUtf8(text, pos, cp))
            return false;
        beyondAscii = true;
    }
    return beyondAscii;
}
