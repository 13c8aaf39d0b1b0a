#include "app/splash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// The movie's background colour, so that it blends into the rest of the screen.
constexpr QRgb kBackground = qRgb(0x17, 0x18, 0x2B);

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
}

void CSplashWnd::HideSplashScreen() {
    CSplashWnd* splash = s_pCurrent;
    if (!splash) return;
    s_pCurrent = nullptr;
    qApp->removeEventFilter(splash);
    splash->m_Timer.stop();
    splash->m_pMovie->stop();
    splash->hide();
    if (QWidget* owner = splash->parentWidget()) owner->update();
    splash->deleteLater();
}

CSplashWnd::CSplashWnd(QWidget* parent, const QString& moviePath, int timerMillis)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
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
    connect(&m_Timer, &QTimer::timeout, this, &CSplashWnd::HideSplashScreen);
    m_Timer.start(timerMillis);
    qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
    qApp->removeEventFilter(this);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
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
