#pragma once

#include <string>

// The text without the blanks that lead and trail it; settings and text files pad with blanks.
inline std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
