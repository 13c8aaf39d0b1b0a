// CProfile: the user's settings of the reader window, kept per user under the
// organisation "Local AppWizard-Generated Applications" and the application
// "Quorel". Values are strings in sections, as the splitter layout needs.
#pragma once

#include <QSettings>
#include <QString>

class CProfile {
public:
    static constexpr const char* kOrganization = "Local AppWizard-Generated Applications";
    static constexpr const char* kApplication = "Quorel";

    CProfile();

    QString GetProfileString(const QString& section, const QString& entry, const QString& defaultValue) const;
    void WriteProfileString(const QString& section, const QString& entry, const QString& value);
    // A switch kept as "1" (on) or "0"; off when it was never written.
    bool GetProfileFlag(const char* section, const char* entry) const;
    void WriteProfileFlag(const char* section, const char* entry, bool on);

private:
    QSettings m_Settings;
};
