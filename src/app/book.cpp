#include "app/book.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QProcess>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>

#include "app/mainfrm.h"
#include "app/splash.h"

namespace {

constexpr const char* kTempTemplate = "quorel-XXXXXX";

void ApplyLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), font.family()});
    QApplication::setFont(font);
}

// Ends the run on the first turn of the event loop after the watched
// window has been painted, for timing the start-up.
class CQuitWhenPainted : public QObject {
public:
    explicit CQuitWhenPainted(QObject* window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

}  // namespace

CBookApp::CBookApp() : m_TempFolder(QDir(QDir::tempPath()).filePath(QString::fromLatin1(kTempTemplate))) {}

CBookApp::~CBookApp() = default;

QString CBookApp::ProgramFolder() { return QCoreApplication::applicationDirPath(); }

bool CBookApp::StartCompanion(const QString& folder) {
#ifdef Q_OS_WIN
    const QString suffix = QStringLiteral(".exe");
#else
    const QString suffix;
#endif
    const QString companion = QDir(folder).filePath(QString::fromLatin1(kCompanionName) + suffix);
    return QFileInfo(companion).isExecutable() && QProcess::startDetached(companion, {}, folder);
}

int CBookApp::Run() {
    if (!InitInstance()) return m_nExitCode;
    m_nExitCode = QApplication::exec();
    ExitInstance();
    return m_nExitCode;
}

bool CBookApp::InitInstance() {
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (!m_CommandLine.Parse(arguments)) {
        std::fprintf(stderr, "quorel: %s\n%s\n", qPrintable(m_CommandLine.GetError()), CCommandLine::kUsage);
        m_nExitCode = kExitUsage;
        return false;
    }
    if (!m_TempFolder.isValid()) {
        std::fprintf(stderr, "quorel: cannot create a folder in %s\n", qPrintable(QDir::tempPath()));
        m_nExitCode = kExitNoTempFolder;
        return false;
    }
    CSplashWnd::EnableSplashScreen(m_CommandLine.ShowSplash());
    ApplyLook();

    CFrameOptions options;
    options.programFolder = ProgramFolder();
    options.dataFolder = m_CommandLine.GetDataFolder().isEmpty() ? ProgramFolder() : m_CommandLine.GetDataFolder();
    options.tempFolder = m_TempFolder.path();
    options.documentName = m_CommandLine.GetFileName();
    m_pMainFrame = std::make_unique<CMainFrame>(options, &m_Messages);
    m_Messages.SetParent(m_pMainFrame.get());
    // Without a window manager nothing maximizes the window; give it the screen first.
    if (const QScreen* screen = m_pMainFrame->screen()) m_pMainFrame->setGeometry(screen->availableGeometry());
    if (m_CommandLine.ExitWhenShown()) new CQuitWhenPainted(m_pMainFrame.get());
    m_pMainFrame->showMaximized();
    return true;
}

void CBookApp::ExitInstance() {
    m_pMainFrame.reset();
    StartCompanion(ProgramFolder());
}
