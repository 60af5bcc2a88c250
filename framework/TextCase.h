#pragma once

#include <string>

// The text with its ASCII letters in upper case; other bytes (Windows-1252 letters, UTF-8 file
// names) stay as they are. File extensions and names made upper case go through here.
inline std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return text;
}
