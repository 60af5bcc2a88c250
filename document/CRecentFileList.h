#pragma once

#include <string>
#include <vector>

class CSettingsStore;

// The recent-file list of the File menu: design files only, most recent first, at most eight,
// kept in the settings under "Recent File List" as "File1" .. "File8".
class CRecentFileList {
public:
    static constexpr int maxEntries = 8;
    static constexpr char section[] = "Recent File List";

    // Reads the list from the store.
    void Load(const CSettingsStore& store);
    // Writes the list to the store; emptied places are written empty.
    void Save(CSettingsStore& store) const;

    // The path moves to the front; only paths whose upper-case form contains ".PCB" are
    // listed, so DOS designs opened through their reader stay out. Same paths are merged.
    void Add(const std::string& path);
    void Remove(int index);

    const std::vector<std::string>& GetPaths() const { return m_paths; }
    // The entry at index, empty when there is none.
    std::string Get(int index) const;

private:
    std::vector<std::string> m_paths;
};
