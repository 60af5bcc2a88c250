#include "interchange/OutputText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"

namespace {

constexpr int64_t unitsPerInch = 256000;
constexpr int32_t integerDigits = 2;

constexpr int64_t powersOfTen[] = {1,      10,      100,      1000,      10000,
                                   100000, 1000000, 10000000, 100000000, 1000000000};

// |value| * 10^decimals / unitsPerInch, rounded half away from zero, in whole numbers only;
// decimals 0..9.
int64_t DigitsOf(int32_t value, int32_t decimals)
{
    const int64_t magnitude = std::llabs(int64_t(value));
    return (magnitude * powersOfTen[decimals] * 2 + unitsPerInch) / (unitsPerInch * 2);
}

} // namespace

std::string FormatInchDigits(int32_t value, int32_t decimals)
{
    std::string text;
    AppendInchDigits(text, value, decimals);
    return text;
}

void AppendInchDigits(std::string& out, int32_t value, int32_t decimals)
{
    decimals = std::clamp(decimals, 0, 9);
    const int64_t digits = DigitsOf(value, decimals);
    char buffer[24];
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, digits);
    const size_t length = size_t(end.ptr - buffer);
    if (value < 0 && digits != 0)
        out += '-';
    const size_t width = size_t(decimals) + integerDigits;
    if (length < width)
        out.append(width - length, '0');
    out.append(buffer, length);
}

int32_t InchDigitsLimit(int32_t decimals)
{
    decimals = std::clamp(decimals, 0, 7);
    // Digits grow with the value: the last value whose digits stay below 10^(decimals + 2).
    const int64_t bound = powersOfTen[decimals + integerDigits];
    int64_t fits = 0;
    int64_t beyond = int64_t(INT32_MAX) + 1;
    while (beyond - fits > 1) {
        const int64_t middle = (fits + beyond) / 2;
        (DigitsOf(int32_t(middle), decimals) < bound ? fits : beyond) = middle;
    }
    return int32_t(fits);
}

std::string SafeName(const std::string& text)
{
    std::string safe = text;
    for (char& c : safe) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '*' || c == '%' || c == '/' || c == '\\')
            c = '_';
    }
    // "." and ".." would name a folder instead of a file.
    if (safe.find_first_not_of('.') == std::string::npos)
        safe = std::string(std::max<size_t>(safe.size(), 1), '_');
    return safe;
}

std::string UpperTrimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    std::string result = text.substr(first, last - first + 1);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return result;
}

std::string PadRight(const std::string& text, size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string PadLeft(const std::string& text, size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::filesystem::path OutputFolderOf(const std::string& jobFolder,
                                     const std::filesystem::path& designFolder,
                                     const std::string& title)
{
    const std::string stored = jobFolder.empty() ? std::string("OUTPUT") : jobFolder;
    // A stored drive path comes back below the design's folder already; a typed relative one
    // still has to be put there. Taken from a full design folder, neither is put there twice.
    const std::filesystem::path design = CPathHelper::AbsolutePath(designFolder.string());
    std::filesystem::path folder = CPathHelper::ResolveStoredPath(stored, design, false);
    if (folder.is_relative())
        folder = design / folder;
    if (stored.find(':') != std::string::npos)
        folder /= SafeName(title);
    return folder.lexically_normal();
}

std::filesystem::path ResolveOutputFolder(const std::string& jobFolder,
                                          const std::filesystem::path& designFolder,
                                          const std::string& title)
{
    const std::filesystem::path folder = OutputFolderOf(jobFolder, designFolder, title);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return {};
    return folder;
}

std::filesystem::path OutputFolderToStore(const std::filesystem::path& typed,
                                          const std::filesystem::path& designFolder)
{
    if (!typed.is_absolute() || designFolder.empty())
        return typed;
    const std::filesystem::path design = CPathHelper::AbsolutePath(designFolder.string());
    const std::filesystem::path relative = typed.lexically_normal().lexically_relative(design);
    if (relative.empty() || *relative.begin() == "..")
        return typed;
    const std::string text = relative.generic_string();
    if (text.find_first_of(":\\") != std::string::npos)
        return typed;
    return relative;
}
