#include "app/profile.h"

CProfile::CProfile() : m_Settings(QString::fromUtf8(kOrganization), QString::fromUtf8(kApplication)) {}

QString CProfile::GetProfileString(const QString& section, const QString& entry, const QString& defaultValue) const {
    return m_Settings.value(section + QLatin1Char('/') + entry, defaultValue).toString();
}

bool CProfile::GetProfileFlag(const char* section, const char* entry) const {
    return GetProfileString(QString::fromLatin1(section), QString::fromLatin1(entry), QStringLiteral("0")) ==
           QLatin1String("1");
}

void CProfile::WriteProfileFlag(const char* section, const char* entry, bool on) {
    WriteProfileString(QString::fromLatin1(section), QString::fromLatin1(entry), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void CProfile::WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    m_Settings.setValue(section + QLatin1Char('/') + entry, value);
    m_Settings.sync();
}
