#include "framework/qt/CQtSettingsStore.h"

#include <QSettings>
#include <QString>

namespace {

// Values are mostly paths, so they cross the Qt boundary as file-system bytes.
QString FromLocal(const std::string& text)
{
    return QString::fromLocal8Bit(QByteArray::fromStdString(text));
}

std::string ToLocal(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

QString KeyOf(const std::string& section, const std::string& key)
{
    return FromLocal(section) + QLatin1Char('/') + FromLocal(key);
}

} // namespace

CQtSettingsStore::CQtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Wevra PCB"),
                                             QStringLiteral("Wevra PCB")))
{
}

CQtSettingsStore::CQtSettingsStore(const std::string& iniPath)
    : m_settings(std::make_unique<QSettings>(FromLocal(iniPath), QSettings::IniFormat))
{
}

CQtSettingsStore::~CQtSettingsStore() = default;

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& fallback) const
{
    QVariant value = m_settings->value(KeyOf(section, key));
    if (!value.isValid())
        return fallback;
    return ToLocal(value.toString());
}

void CQtSettingsStore::WriteString(const std::string& section, const std::string& key,
                                   const std::string& value)
{
    m_settings->setValue(KeyOf(section, key), FromLocal(value));
}

void CQtSettingsStore::Sync()
{
    m_settings->sync();
}
