#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

// The text file a netlist run leaves beside the netlist. It is kept in memory and written
// whole through a temporary file, with CR LF line ends, so a failed write never leaves half a
// report over an older one.
class CNetlistReport {
public:
    // Writes the header at once: false when the file cannot be written, before the caller
    // changes anything.
    bool Create(const std::filesystem::path& path, const std::string& header);
    // Text with "\n" line ends.
    void Append(std::string_view text);
    // Writes everything appended so far; false when the file could not be written.
    bool Write() const;

    const std::filesystem::path& GetPath() const { return m_path; }
    // The text as the file holds it, with CR LF line ends.
    const std::string& GetText() const { return m_text; }

    // "%A, %B %d, %Y  %H:%M:%S" of the local time, in English whatever the locale.
    static std::string TimeStampText(std::time_t time);

private:
    std::filesystem::path m_path;
    // Kept with the file's line ends as it grows: the report of a big netlist holds a line per
    // component and net, and was copied once more to write it.
    std::string m_text;
};
