#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

// The user's settings, keyed by section and name, every value stored as text. This base keeps
// them in memory (what tests and a headless run use); the application installs a store that
// persists them.
class CSettingsStore {
public:
    virtual ~CSettingsStore();

    // The stored text, or `fallback` when the key has never been written.
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback) const;
    virtual void WriteString(const std::string& section, const std::string& key,
                             const std::string& value);
    // Writes what changed to where the settings persist, now. False when they could not be
    // written there; GetLocation names the place for the user. A store that keeps its settings
    // in memory has nothing to write.
    virtual bool Sync() { return true; }
    virtual std::string GetLocation() const { return {}; }

    // Whole numbers are stored as decimal text; a stored text without a leading number reads
    // as 0, a missing key as `fallback`.
    int32_t GetInt(const std::string& section, const std::string& key, int32_t fallback) const;
    void WriteInt(const std::string& section, const std::string& key, int32_t value);

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};
