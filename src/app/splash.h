// CSplashWnd: the full-screen splash that covers the screen while the main
// window is built. It plays the animation file "main.gif" of the program's
// folder and goes away after 50 seconds or at the first key or mouse button
// press anywhere in the program; that press is consumed. A modal window (a
// start-up message box) ends it too, and keeps its own input. At most one
// splash exists; it is shown only when start-up enabled it.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QMovie;

class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTimerMillis = 50000;
    static constexpr const char* kMovieFileName = "main.gif";

    // Set once at start-up from the command line.
    static void EnableSplashScreen(bool enable);
    static bool IsSplashScreenEnabled();
    // Shows the splash over parent's screen, playing moviePath, unless it is
    // disabled or one is already shown; it is painted before this returns.
    // It ends itself after timerMillis.
    static void ShowSplashScreen(QWidget* parent, const QString& moviePath, int timerMillis = kTimerMillis);
    // Stops the animation and closes the splash; nothing when none is shown.
    static void HideSplashScreen();
    // The splash being shown, or null.
    static CSplashWnd* GetCurrent();

    QMovie* GetMovie() const { return m_pMovie; }
    int GetTimerInterval() const { return m_Timer.interval(); }

protected:
    // Sees every event of the program first while the splash is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSplashWnd(QWidget* parent, const QString& moviePath, int timerMillis);
    ~CSplashWnd() override;
    static void EndSplash(bool activateOwner);
    bool PreTranslateAppMessage(QEvent* event);
    void PaintNow();

    QMovie* m_pMovie = nullptr;
    QLabel* m_pPlayer = nullptr;  // shows the movie's frames
    QTimer m_Timer;

    static bool s_bEnabled;
    static CSplashWnd* s_pCurrent;
};
