// Fixtures of the reader window tests: private user settings, page files,
// a search panel whose reading state the test sets, and frame options for a
// temporary folder.
#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QSettings>
#include <QTemporaryDir>

#include "app/mainfrm.h"
#include "panel/searchpanel.h"

// Points QSettings at a fresh folder, so no test reads or writes the user's settings.
inline void UsePrivateSettings(const QTemporaryDir& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

// The program's own settings, as the reader window keeps them.
inline void ClearProgramSettings() {
    QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel")).clear();
}
inline QString ProgramSetting(const QString& key) {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel")).value(key).toString();
}

// Writes an HTML page holding body and returns its path.
inline QString WritePage(const QTemporaryDir& folder, const QString& name, const QString& body) {
    const QString path = QDir(folder.path()).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(("<html><head><meta charset=\"utf-8\"></head><body>" + body + "</body></html>").toUtf8());
    return path;
}

// A search panel whose enable rules the test sets; it records what the frame asks of it.
class CFakePanel : public CSearchPanel {
public:
    CFakePanel(const CPanelServices& services, QWidget* parent) : CSearchPanel(parent), m_Services(services) {
        setFocusPolicy(Qt::StrongFocus);
    }
    // Reports once more on its way out, as a panel may; the frame must not
    // ask the dying panel anything then.
    ~CFakePanel() override {
        if (m_Services.readingStateChanged) m_Services.readingStateChanged();
    }

    int GetCurrentNode() const override { return 0; }
    int GetCurrentPage() const override { return 0; }
    int GetHitCount() const override { return 0; }
    int GetCurrentHit() const override { return 0; }
    bool CanStep(Step step) const override { return m_Enabled.contains(step); }
    void RunStep(Step step) override { m_Runs.append(step); }
    void OnSliderRelease(int printedPage) override { m_SliderReleases.append(printedPage); }

    CPanelServices m_Services;
    QList<Step> m_Enabled;
    QList<Step> m_Runs;
    QList<int> m_SliderReleases;
};

// Frame options for a run in folder: no collection there, page files there.
inline CFrameOptions TestFrameOptions(const QTemporaryDir& folder, const QString& dataFolder = QString()) {
    CFrameOptions options;
    options.programFolder = folder.path();
    options.dataFolder = dataFolder.isEmpty() ? folder.path() : dataFolder;
    options.tempFolder = folder.path();
    return options;
}

// A factory that builds a CFakePanel and lets the test reach it.
inline CMainFrame::PanelFactory FakePanelFactory(CFakePanel*& made) {
    return [&made](const CPanelServices& services, QWidget* parent) {
        made = new CFakePanel(services, parent);
        return made;
    };
}
