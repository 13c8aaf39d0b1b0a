#include "app/commandline.h"

namespace {

// "Embedding" and "Automation", bare or as "/x" or "-x", in any case.
bool IsSplashSwitch(const QString& argument) {
    QString name = argument;
    if (name.startsWith(QLatin1Char('/')) || (name.startsWith(QLatin1Char('-')) && !name.startsWith(QLatin1String("--"))))
        name = name.mid(1);
    return name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool CCommandLine::Fail(const QString& error) {
    m_strError = error;
    return false;
}

bool CCommandLine::Parse(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (IsSplashSwitch(argument)) {
            m_bShowSplash = false;
        } else if (argument == QLatin1String("--no-splash")) {
            m_bShowSplash = false;
        } else if (argument == QLatin1String("--exit-when-shown")) {
            m_bExitWhenShown = true;
        } else if (argument == QLatin1String("--data")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) return Fail(QStringLiteral("--data needs a folder"));
            m_strDataFolder = arguments[++i];
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return Fail(QStringLiteral("unknown option %1").arg(argument));
        } else if (!m_strFileName.isEmpty()) {
            return Fail(QStringLiteral("more than one file: %1").arg(argument));
        } else {
            m_strFileName = argument;
        }
    }
    return true;
}
