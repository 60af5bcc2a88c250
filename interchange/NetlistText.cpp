#include "interchange/NetlistText.h"

#include <chrono>

#include <algorithm>
#include <limits>

bool IsNetlistBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimRightView(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && IsNetlistBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

namespace {

std::string_view TrimLeftView(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && IsNetlistBlank(text[start]))
        ++start;
    return text.substr(start);
}

} // namespace

std::string_view TrimView(std::string_view text)
{
    return TrimLeftView(TrimRightView(text));
}

std::string TrimRight(std::string_view text)
{
    return std::string(TrimRightView(text));
}

std::string TrimLeft(std::string_view text)
{
    return std::string(TrimLeftView(text));
}

std::string Trim(std::string_view text)
{
    return std::string(TrimView(text));
}

bool HasControlBytes(std::string_view line)
{
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return true;
    }
    return false;
}

std::string RefusedLineReason(std::string_view line)
{
    if (HasControlBytes(line) || line.find('\x7F') != std::string_view::npos)
        return "it holds control bytes: " + VisibleText(line);
    return std::string();
}

std::string RefusedNameReason(std::string_view name)
{
    if (name.size() > maxNetlistNameLength)
        return "a name longer than " + std::to_string(maxNetlistNameLength) + " bytes (" +
               std::to_string(name.size()) + " bytes): " + VisibleText(name);
    return std::string();
}

std::string RefusedLineText(const std::string& file, int32_t line, const std::string& why)
{
    return "Netlist Error: line " + std::to_string(line) + " of " + file + " refused, " + why;
}

std::string VisibleText(std::string_view text, size_t limit)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            result += '<';
            result += hex[byte >> 4];
            result += hex[byte & 0xF];
            result += '>';
        } else {
            result += c;
        }
    }
    if (text.size() > limit)
        result += "...";
    return result;
}

std::string ToUpperAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return result;
}

int32_t ParsePinNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsNetlistBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    constexpr int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), limit);
    if (negative)
        return int32_t(std::max<int64_t>(-value, std::numeric_limits<int32_t>::min()));
    return int32_t(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

int64_t LastWriteSeconds(const std::filesystem::path& path)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error)
        return 0;
    const auto sinceEpoch = std::chrono::file_clock::to_sys(written).time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
}
