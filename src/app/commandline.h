// CCommandLine: the reader's command line, after Qt has taken its own options:
//   quorel [--data DIR] [--no-splash] [--exit-when-shown] [Embedding | Automation] [FILE]
// "Embedding" and "Automation" (bare, or after "/" or "-", in any case) and
// --no-splash suppress the splash. FILE names the document; it carries no
// data and is only offered as the save command's file name. --exit-when-shown
// ends the run once the main window has been painted (start-up timing).
#pragma once

#include <QString>
#include <QStringList>

class CCommandLine {
public:
    static constexpr const char* kUsage = "usage: quorel [--data DIR] [--no-splash] [--exit-when-shown] [Embedding | Automation] [FILE]";

    // Parses arguments (without the program name). False, with GetError set,
    // on an unknown option, a missing DIR or more than one FILE.
    bool Parse(const QStringList& arguments);

    bool ShowSplash() const { return m_bShowSplash; }
    bool ExitWhenShown() const { return m_bExitWhenShown; }
    // Empty: the default, the executable's folder.
    const QString& GetDataFolder() const { return m_strDataFolder; }
    const QString& GetFileName() const { return m_strFileName; }
    const QString& GetError() const { return m_strError; }

private:
    bool Fail(const QString& error);

    bool m_bShowSplash = true;
    bool m_bExitWhenShown = false;
    QString m_strDataFolder;
    QString m_strFileName;
    QString m_strError;
};
