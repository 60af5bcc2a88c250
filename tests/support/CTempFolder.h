#pragma once

#include <filesystem>
#include <string>

// A folder of one test's own: made empty under the system's temporary folder with a name no
// other process holds (test programs of several builds run at once), and removed with all it
// holds when the object goes, read-only files and folders included.
class CTempFolder {
public:
    // `prefix` starts the folder's name, to tell whose leftovers a crash left behind.
    explicit CTempFolder(const std::string& prefix = "wevra-test");
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const
    {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};
