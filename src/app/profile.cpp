#include "app/profile.h"

CProfile::CProfile() : m_Settings(QString::fromUtf8(kOrganization), QString::fromUtf8(kApplication)) {}

QString CProfile::GetProfileString(const QString& section, const QString& entry, const QString& defaultValue) const {
    return m_Settings.value(section + QLatin1Char('/') + entry, defaultValue).toString();
}

void CProfile::WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    m_Settings.setValue(section + QLatin1Char('/') + entry, value);
    m_Settings.sync();
}
