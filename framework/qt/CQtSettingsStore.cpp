#include "framework/qt/CQtSettingsStore.h"

#include <filesystem>
#include <system_error>

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include "framework/qt/CQtText.h"

namespace {

// Values are mostly paths, so they cross the Qt boundary as file-system bytes.
QString KeyOf(const std::string& section, const std::string& key)
{
    return CQtText::FromPath(section) + QLatin1Char('/') + CQtText::FromPath(key);
}

} // namespace

CQtSettingsStore::CQtSettingsStore()
{
    // Where QSettings keeps the user's INI file for this organisation and application, worked
    // out here so that the file is looked at before anything reads it.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    Open(CQtText::ToPath(folder + QStringLiteral("/Wevra PCB/Wevra PCB.ini")));
}

CQtSettingsStore::CQtSettingsStore(const std::string& iniPath)
{
    Open(iniPath);
}

void CQtSettingsStore::Open(const std::string& iniPath)
{
    m_path = iniPath;
    const std::string inMemory = "\n\nThe program starts with its default settings, and changes "
                                 "to them are kept until it closes only.";
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(iniPath, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        m_problem =
            "The settings file is not a regular file and was not read:\n" + iniPath + inMemory;
        return;
    }
    // Read whole at start-up: a damaged file of any size would hold the start and the memory.
    if (const uintmax_t size = std::filesystem::file_size(iniPath, error);
        !error && size > maxFileSize) {
        m_problem = CInputFile::TooLargeText(iniPath, size, maxFileSize) +
                    " The settings file was not read and is kept as it is." + inMemory;
        return;
    }
    m_settings = std::make_unique<QSettings>(CQtText::FromPath(iniPath), QSettings::IniFormat);
}

CQtSettingsStore::~CQtSettingsStore() = default;

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& fallback) const
{
    if (!m_settings) {
        const auto found = m_memory.find(section + '/' + key);
        return found == m_memory.end() ? fallback : found->second;
    }
    QVariant value = m_settings->value(KeyOf(section, key));
    if (!value.isValid())
        return fallback;
    return CQtText::ToPath(value.toString());
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& key,
                                   const std::string& value)
{
    if (!m_settings) {
        m_memory[section + '/' + key] = value;
        return;
    }
    m_settings->setValue(KeyOf(section, key), CQtText::FromPath(value));
}

bool CQtSettingsStore::Sync()
{
    if (!m_settings)
        return true;
    m_settings->sync();
    // A file that could not be read keeps its own status; only a failed write loses settings.
    return m_settings->status() != QSettings::AccessError;
}
