#pragma once

#include <filesystem>

// Registers design files (".PCB") with the desktop: a MIME type and a desktop entry that opens
// them with this program, in the user's data folder (XDG_DATA_HOME, else ~/.local/share).
class CFileTypeRegistration {
public:
    // The design document type; its desktop entry is "<fileType>.desktop".
    static constexpr char fileType[] = "WevraPCB.Document";
    static constexpr char mimeType[] = "application/x-wevra-pcb";

    // Writes the files that differ from what they should hold, then asks the desktop's
    // databases to take them up when their tools are installed. True when both files hold what
    // they should afterwards.
    static bool Register(const std::filesystem::path& programPath);
};
