#include "app/splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// The movie's background colour, so that it blends into the rest of the screen.
constexpr QRgb kBackground = qRgb(0x17, 0x18, 0x2B);
// How long showing the splash waits for the window system to map it.
constexpr int kExposeWaitMillis = 1000;

bool IsModalWindow(QObject* watched) {
    if (!watched->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    return widget->isWindow() && widget->isModal();
}

}  // namespace

bool CSplashWnd::s_bEnabled = false;
CSplashWnd* CSplashWnd::s_pCurrent = nullptr;

void CSplashWnd::EnableSplashScreen(bool enable) { s_bEnabled = enable; }

bool CSplashWnd::IsSplashScreenEnabled() { return s_bEnabled; }

CSplashWnd* CSplashWnd::GetCurrent() { return s_pCurrent; }

void CSplashWnd::ShowSplashScreen(QWidget* parent, const QString& moviePath, int timerMillis) {
    if (!s_bEnabled || s_pCurrent) return;
    s_pCurrent = new CSplashWnd(parent, moviePath, timerMillis);
    s_pCurrent->showFullScreen();
    s_pCurrent->m_pMovie->start();
    s_pCurrent->PaintNow();
    if (s_pCurrent) s_pCurrent->m_Timer.start();
}

// The program goes on building its window (and opening the collection)
// before its event loop runs: the splash is painted now, once the window
// system has mapped it. Input waits for the event loop.
void CSplashWnd::PaintNow() {
    QElapsedTimer waited;
    waited.start();
    const auto mapped = [this] { return windowHandle() && windowHandle()->isExposed(); };
    while (!mapped() && waited.elapsed() < kExposeWaitMillis)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    repaint();
}

void CSplashWnd::HideSplashScreen() { EndSplash(true); }

// A splash that gives way to a modal window leaves the keyboard to that window.
void CSplashWnd::EndSplash(bool activateOwner) {
    CSplashWnd* splash = s_pCurrent;
    if (!splash) return;
    s_pCurrent = nullptr;
    qApp->removeEventFilter(splash);
    splash->m_Timer.stop();
    splash->m_pMovie->stop();
    splash->hide();
    if (QWidget* owner = splash->parentWidget()) {
        owner->update();
        if (activateOwner) owner->activateWindow();  // the shown splash may have had the keyboard
    }
    splash->deleteLater();
}

CSplashWnd::CSplashWnd(QWidget* parent, const QString& moviePath, int timerMillis)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The keyboard stays with the program's window; the filter sees its keys.
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(kBackground));
    setPalette(colours);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) setGeometry(screen->geometry());

    m_pMovie = new QMovie(moviePath, QByteArray(), this);
    const QSize frame = m_pMovie->frameRect().size();
    if (frame.isValid() && (frame.width() > width() || frame.height() > height()))
        m_pMovie->setScaledSize(frame.scaled(size(), Qt::KeepAspectRatio));
    m_pPlayer = new QLabel(this);
    m_pPlayer->setObjectName(QStringLiteral("player"));
    m_pPlayer->setAlignment(Qt::AlignCenter);
    m_pPlayer->setMovie(m_pMovie);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pPlayer);

    m_Timer.setSingleShot(true);
    m_Timer.setInterval(timerMillis);
    connect(&m_Timer, &QTimer::timeout, this, &CSplashWnd::HideSplashScreen);
    qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
    qApp->removeEventFilter(this);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    // A message box (any modal window) shown while the splash is up ends it,
    // so that the box is seen and its keys and clicks are its own.
    if (event->type() == QEvent::Show && IsModalWindow(watched)) {
        EndSplash(false);
        return false;
    }
    if (PreTranslateAppMessage(event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool CSplashWnd::PreTranslateAppMessage(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claim the key, so that no shortcut fires; its key press ends the splash.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        HideSplashScreen();
        return true;
    default:
        return false;
    }
}
