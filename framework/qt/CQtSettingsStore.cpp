#include "framework/qt/CQtSettingsStore.h"

#include <QSettings>
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
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Wevra PCB"),
                                             QStringLiteral("Wevra PCB")))
{
}

CQtSettingsStore::CQtSettingsStore(const std::string& iniPath)
    : m_settings(std::make_unique<QSettings>(CQtText::FromPath(iniPath), QSettings::IniFormat))
{
}

CQtSettingsStore::~CQtSettingsStore() = default;

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& fallback) const
{
    QVariant value = m_settings->value(KeyOf(section, key));
    if (!value.isValid())
        return fallback;
    return CQtText::ToPath(value.toString());
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& key,
                                   const std::string& value)
{
    m_settings->setValue(KeyOf(section, key), CQtText::FromPath(value));
}

void CQtSettingsStore::Sync()
{
    m_settings->sync();
}
