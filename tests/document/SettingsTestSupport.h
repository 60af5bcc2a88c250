#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/CSettingsStore.h"
#include "tests/support/CTempFolder.h"

// An in-memory settings store that also lists every write in order, as "section/key=value".
class CRecordingSettings : public CSettingsStore {
public:
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        writes.push_back(section + "/" + key + "=" + value);
        CSettingsStore::WriteString(section, key, value);
    }

    std::vector<std::string> writes;
};

// Sets an environment variable for its lifetime and puts the old value back.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~CScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A fresh temporary folder for the settings tests, removed again afterwards; the settings store
// and the desktop's data folders point into it, and the English pack is current.
class CSettingsSandbox {
    CTempFolder m_folder;

public:
    explicit CSettingsSandbox(const std::string& name)
        : m_folder(name), root(m_folder.Path()),
          m_dataHome("XDG_DATA_HOME", (root / "data").string()),
          m_dataDirs("XDG_DATA_DIRS", (root / "system").string())
    {
        m_previous = CServices::SetSettings(&settings);
        CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    }
    ~CSettingsSandbox()
    {
        CServices::SetSettings(m_previous);
        CResourcePack::SetCurrent(CResourcePack());
    }
    CSettingsSandbox(const CSettingsSandbox&) = delete;
    CSettingsSandbox& operator=(const CSettingsSandbox&) = delete;

    const std::filesystem::path root;
    CRecordingSettings settings;

private:
    CScopedEnv m_dataHome;
    CScopedEnv m_dataDirs;
    CSettingsStore* m_previous = nullptr;
};
