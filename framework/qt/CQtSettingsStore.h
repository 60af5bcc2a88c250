#pragma once

#include <memory>
#include <string>

#include "framework/CSettingsStore.h"

class QSettings;

// Keeps the settings in the user's INI file for organisation and application "Wevra PCB", or,
// for tests, in an INI file at a given path.
class CQtSettingsStore : public CSettingsStore {
public:
    CQtSettingsStore();
    explicit CQtSettingsStore(const std::string& iniPath);
    ~CQtSettingsStore() override;

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    // Writes pending changes to the file now (they are written on destruction anyway).
    void Sync();

private:
    std::unique_ptr<QSettings> m_settings;
};
