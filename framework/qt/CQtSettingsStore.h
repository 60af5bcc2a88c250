#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "framework/CInputFile.h"
#include "framework/CSettingsStore.h"

class QSettings;

// Keeps the settings in the user's INI file for organisation and application "Wevra PCB", or,
// for tests, in an INI file at a given path. A path that holds something other than a regular
// file (a pipe would block the reading for ever, a device feed it without end), or a file larger
// than any settings file grows, is neither read nor written: the settings start from their
// defaults and live in memory for the session, and GetProblem says why.
class CQtSettingsStore : public CSettingsStore {
public:
    static constexpr uintmax_t maxFileSize = CInputFile::megabyte;

    CQtSettingsStore();
    explicit CQtSettingsStore(const std::string& iniPath);
    ~CQtSettingsStore() override;

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) const override;
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    // Writes pending changes to the file now (they are written on destruction anyway); false
    // when the file or its folder cannot be written.
    bool Sync() override;
    std::string GetLocation() const override { return m_path; }

    // Empty when the settings file is in use; otherwise a message for the user naming it.
    const std::string& GetProblem() const { return m_problem; }

private:
    void Open(const std::string& iniPath);

    std::unique_ptr<QSettings> m_settings;
    std::map<std::string, std::string> m_memory;
    std::string m_problem;
    std::string m_path;
};
