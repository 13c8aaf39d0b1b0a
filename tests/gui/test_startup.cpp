// Start and end of the program: the command line and the switches that
// suppress the splash, the splash's end at a key, a click or its timer (the
// ending press consumed), the companion program started at exit, and the
// run that ends once its window is shown.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QMovie>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/book.h"
#include "app/commandline.h"
#include "app/splash.h"
#include "panel/messageboxsink.h"

namespace {

// Counts the paint events of the splash and its player.
class CSplashPaintCounter : public QObject {
public:
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window()->objectName() == QLatin1String("splash"))
            ++m_nPaints;
        return false;
    }
};

// Counts the key and mouse presses it receives.
class CPressCounter : public QWidget {
public:
    int m_nPresses = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++m_nPresses; }
    void mousePressEvent(QMouseEvent*) override { ++m_nPresses; }
};

const QString kMovie = QStringLiteral(QUOREL_BIN_DIR "/main.gif");

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init() {
        CSplashWnd::EnableSplashScreen(true);
        m_pOwner = new CPressCounter;
        m_pOwner->resize(300, 200);
        m_pOwner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pOwner));
    }
    void cleanup() {
        CSplashWnd::HideSplashScreen();
        delete m_pOwner;
        CSplashWnd::EnableSplashScreen(false);
    }

    // The switches of the command line decide whether a splash may show.
    void commandLineSwitches_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("splash");
        QTest::newRow("none") << QStringList{} << true;
        QTest::newRow("Embedding") << QStringList{QStringLiteral("Embedding")} << false;
        QTest::newRow("Automation") << QStringList{QStringLiteral("Automation")} << false;
        QTest::newRow("/Embedding") << QStringList{QStringLiteral("/Embedding")} << false;
        QTest::newRow("-Embedding") << QStringList{QStringLiteral("-Embedding")} << false;
        QTest::newRow("-automation") << QStringList{QStringLiteral("-automation")} << false;
        QTest::newRow("--no-splash") << QStringList{QStringLiteral("--no-splash")} << false;
        QTest::newRow("with --data") << QStringList{QStringLiteral("--data"), QStringLiteral("/tmp")} << true;
        QTest::newRow("a file") << QStringList{QStringLiteral("/home/a/Embedding.txt")} << true;
    }
    void commandLineSwitches() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, splash);
        CCommandLine line;
        QVERIFY(line.Parse(arguments));
        QCOMPARE(line.ShowSplash(), splash);
        CSplashWnd::EnableSplashScreen(line.ShowSplash());
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        QCOMPARE(CSplashWnd::GetCurrent() != nullptr, splash);
    }

    // Bad command lines are refused with a reason instead of being half read.
    void commandLineErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--data without folder") << QStringList{QStringLiteral("--data")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")};
        QTest::newRow("two files") << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    }
    void commandLineErrors() {
        QFETCH(QStringList, arguments);
        CCommandLine line;
        QVERIFY(!line.Parse(arguments));
        QVERIFY(!line.GetError().isEmpty());
    }

    void dataFolderOption() {
        CCommandLine line;
        QVERIFY(line.Parse({QStringLiteral("--data"), QStringLiteral("/srv/collection"), QStringLiteral("book.doc")}));
        QCOMPARE(line.GetDataFolder(), QStringLiteral("/srv/collection"));
        QCOMPARE(line.GetFileName(), QStringLiteral("book.doc"));
    }

    // The splash plays the program's animation over the whole screen, with the 50-second timer.
    void splashPlaysTheAnimation() {
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        CSplashWnd* splash = CSplashWnd::GetCurrent();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QVERIFY(splash->isFullScreen());
        QVERIFY(splash->GetMovie()->isValid());
        QVERIFY(splash->GetMovie()->frameCount() > 1);
        QCOMPARE(splash->GetMovie()->state(), QMovie::Running);
        QCOMPARE(splash->GetTimerInterval(), 50000);
    }

    // Only one splash exists, however often it is asked for.
    void onlyOneSplash() {
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        CSplashWnd* first = CSplashWnd::GetCurrent();
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        QCOMPARE(CSplashWnd::GetCurrent(), first);
        QCOMPARE(m_pOwner->findChildren<CSplashWnd*>().size(), 1);
    }

    // A key or a click anywhere in the program ends the splash and is not
    // passed on; the next one reaches its widget again.
    void pressEndsTheSplash_data() {
        QTest::addColumn<bool>("key");
        QTest::newRow("key") << true;
        QTest::newRow("click") << false;
    }
    void pressEndsTheSplash() {
        QFETCH(bool, key);
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        QPointer<CSplashWnd> splash = CSplashWnd::GetCurrent();
        const auto press = [this, key] {
            if (key)
                QTest::keyClick(m_pOwner, Qt::Key_A);
            else
                QTest::mouseClick(m_pOwner, Qt::LeftButton);
        };
        press();
        QVERIFY(!CSplashWnd::GetCurrent());
        QCOMPARE(m_pOwner->m_nPresses, 0);
        QTRY_VERIFY(splash.isNull());
        press();
        QCOMPARE(m_pOwner->m_nPresses, 1);
    }

    // While the splash shows, a key that is a shortcut ends the splash instead of firing.
    void shortcutKeyEndsTheSplashWithoutFiring() {
        QAction action(m_pOwner);
        action.setShortcut(Qt::Key_F3);
        m_pOwner->addAction(&action);
        QVERIFY(QTest::qWaitForWindowActive(m_pOwner));
        QSignalSpy fired(&action, &QAction::triggered);
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        QTest::keyClick(m_pOwner, Qt::Key_F3);
        QVERIFY(!CSplashWnd::GetCurrent());
        QCOMPARE(fired.size(), 0);
        // The shown splash had the keyboard; it gives it back to its owner.
        QTRY_COMPARE(QGuiApplication::focusWindow(), m_pOwner->windowHandle());
        QTest::keyClick(m_pOwner, Qt::Key_F3);
        QCOMPARE(fired.size(), 1);
    }

    // The program builds its window before the event loop runs: the splash
    // must be on the screen by the time ShowSplashScreen returns.
    void splashIsPaintedBeforeShowReturns() {
        CSplashPaintCounter paints;
        qApp->installEventFilter(&paints);
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        qApp->removeEventFilter(&paints);
        QVERIFY(CSplashWnd::GetCurrent());
        QVERIFY(paints.m_nPaints > 0);
    }

    // A message box shown during start-up ends the splash, and the box's own
    // OK key closes it; a splash that swallowed the key would leave the box
    // waiting (closed here after a while, and the test fails).
    void startUpMessageBoxKeepsItsInput() {
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie);
        bool splashGone = false;
        bool keyClosedTheBox = false;
        QTimer::singleShot(50, [&] {
            splashGone = !CSplashWnd::GetCurrent();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QTest::keyClick(box, Qt::Key_Return);
                keyClosedTheBox = !box->isVisible();
            }
        });
        QTimer::singleShot(3000, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        CMessageBoxSink(m_pOwner).ShowMessage(QStringLiteral("データを開けませんでした。"));
        QVERIFY(splashGone);
        QVERIFY(keyClosedTheBox);
    }

    // Without input the splash ends when its timer runs out.
    void timerEndsTheSplash() {
        CSplashWnd::ShowSplashScreen(m_pOwner, kMovie, 50);
        QVERIFY(CSplashWnd::GetCurrent());
        QTRY_VERIFY(!CSplashWnd::GetCurrent());
    }

    // A missing animation still covers the screen until input ends it.
    void missingAnimationStillCovers() {
        CSplashWnd::ShowSplashScreen(m_pOwner, QStringLiteral("/nonexistent/main.gif"));
        QVERIFY(CSplashWnd::GetCurrent());
        QVERIFY(CSplashWnd::GetCurrent()->isVisible());
        QTest::mouseClick(m_pOwner, Qt::LeftButton);
        QVERIFY(!CSplashWnd::GetCurrent());
    }

    // The companion program "end" of the program's folder starts at exit; its
    // absence is silent.
    void companionProgramStarts() {
        QTemporaryDir folder;
        QVERIFY(!CBookApp::StartCompanion(folder.path()));
        const QString marker = folder.filePath(QStringLiteral("started"));
        QFile end(folder.filePath(QStringLiteral("end")));
        QVERIFY(end.open(QIODevice::WriteOnly));
        end.write("#!/bin/sh\ntouch started\n");
        end.close();
        end.setPermissions(end.permissions() | QFile::ExeOwner);
        QVERIFY(CBookApp::StartCompanion(folder.path()));
        QTRY_VERIFY(QFile::exists(marker));
    }

    // Started for timing, the reader shows its window on the default
    // collection and ends by itself, without a message box in the way.
    void exitWhenShown() {
        QProcess reader;
        reader.setProcessChannelMode(QProcess::MergedChannels);
        reader.start(QStringLiteral(QUOREL_BIN_DIR "/quorel"), {QStringLiteral("--no-splash"), QStringLiteral("--exit-when-shown")});
        QVERIFY(reader.waitForFinished(30000));
        QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
        QCOMPARE(reader.exitCode(), 0);
    }

private:
    CPressCounter* m_pOwner = nullptr;
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
