#pragma once

#include <string>
#include <string_view>

#include <QString>

// Where the program's texts meet Qt. Two kinds of byte strings cross here, and each has its
// own conversion: the single-byte texts of designs and of the string table are Windows-1252;
// file names and paths, and the texts that hold one (a design's title, a message naming a
// file), are in the file system's encoding. Mixing the two shows a file name as mojibake.
class CQtText {
public:
    // Windows-1252 bytes; any byte string survives the round trip.
    static QString FromDesignText(std::string_view text);
    // Characters Windows-1252 cannot hold become '?'.
    static std::string ToDesignText(const QString& text);

    // File-system bytes, decoded as the system decodes file names.
    static QString FromPath(std::string_view path);
    static std::string ToPath(const QString& path);
};
