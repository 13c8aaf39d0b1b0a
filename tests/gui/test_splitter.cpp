// The two-pane splitter: hiding and showing a side, the active pane, and the
// layout written to and read from the user's profile.
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "app/st_splitterwnd.h"
#include "guifixture.h"

namespace {

QString SavedLayout() {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel"))
        .value(QStringLiteral("SplitterWnd/Panes_0"))
        .toString();
}

void SaveLayout(const QString& value) {
    QSettings settings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel"));
    settings.setValue(QStringLiteral("SplitterWnd/Panes_0"), value);
}

}  // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UsePrivateSettings(m_Settings); }

    void init() {
        QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel")).clear();
        m_pWindow = new QWidget;
        m_pWindow->resize(900, 500);
        m_pSplitter = new ST_SplitterWnd(0, m_pWindow);
        m_pSplitter->setGeometry(0, 0, 900, 500);
        m_pPanel = new QTextEdit;
        m_pReader = new QTextEdit;
    }
    void cleanup() { delete m_pWindow; }

    // The search panel starts 260 pixels wide and the reader takes the rest.
    void panelStartsAtItsWidth() {
        ShowSplitter();
        QCOMPARE(m_pSplitter->sizes()[0], 260);
        QCOMPARE(m_pSplitter->sizes()[1], 900 - 260 - m_pSplitter->handleWidth());
    }

    // Hiding side 0 lets the reader fill the splitter and makes it the active
    // pane; toggling again brings the panel back at its width, the reader
    // staying active.
    void toggleSideHidesAndShowsThePanel() {
        ShowSplitter();
        QCOMPARE(m_pSplitter->GetActivePane(), 0);
        m_pSplitter->ToggleSide(0);
        QVERIFY(!m_pPanel->isVisible());
        QCOMPARE(m_pSplitter->GetHiddenColumn(), 0);
        QCOMPARE(m_pSplitter->GetActivePane(), 1);
        QTRY_COMPARE(m_pReader->width(), m_pSplitter->width());

        m_pSplitter->ToggleSide(0);
        QVERIFY(m_pPanel->isVisible());
        QCOMPARE(m_pSplitter->GetHiddenColumn(), -1);
        QCOMPARE(m_pSplitter->GetActivePane(), 1);
        QCOMPARE(m_pSplitter->sizes()[0], 260);
    }

    // While side 0 is hidden, toggling side 1 must not hide the only pane left.
    void toggleOtherSideWhileHiddenDoesNothing() {
        ShowSplitter();
        m_pSplitter->ToggleSide(0);
        m_pSplitter->ToggleSide(1);
        QVERIFY(m_pReader->isVisible());
        QVERIFY(!m_pPanel->isVisible());
        QCOMPARE(m_pSplitter->GetHiddenColumn(), 0);
    }

    // A stacked splitter hides rows, never columns.
    void rowsOfAStackedSplitter() {
        m_pSplitter->Create(m_pPanel, m_pReader, false);
        m_pWindow->show();
        m_pSplitter->HideColumn(0);
        QVERIFY(m_pPanel->isVisible());
        m_pSplitter->ToggleSide(1);
        QCOMPARE(m_pSplitter->GetHiddenRow(), 1);
        QVERIFY(!m_pReader->isVisible());
        m_pSplitter->ToggleSide(1);
        QVERIFY(m_pReader->isVisible());
    }

    // The active pane follows the focus.
    void activePaneFollowsTheFocus() {
        ShowSplitter();
        QVERIFY(QTest::qWaitForWindowActive(m_pWindow));
        QSignalSpy changes(m_pSplitter, &ST_SplitterWnd::ActivePaneChanged);
        m_pReader->setFocus();
        QTRY_COMPARE(m_pSplitter->GetActivePane(), 1);
        m_pPanel->setFocus();
        QTRY_COMPARE(m_pSplitter->GetActivePane(), 0);
        QCOMPARE(changes.size(), 2);
    }

    // Destroying the splitter writes "-1 w0 -1 w1" with the panel shown, and
    // "0" first with the widths remembered when it was hidden.
    void profileWrittenAtDestruction() {
        ShowSplitter();
        m_pSplitter->setSizes({300, 900 - 300 - m_pSplitter->handleWidth()});
        const QList<int> shown = m_pSplitter->sizes();
        delete m_pSplitter;
        QCOMPARE(SavedLayout(), QStringLiteral("-1 %1 -1 %2").arg(shown[0]).arg(shown[1]));

        m_pSplitter = new ST_SplitterWnd(0, m_pWindow);
        m_pSplitter->setGeometry(0, 0, 900, 500);
        m_pPanel = new QTextEdit;
        m_pReader = new QTextEdit;
        ShowSplitter();
        const QList<int> beforeHiding = m_pSplitter->sizes();
        m_pSplitter->ToggleSide(0);
        m_pSplitter->resize(700, 500);
        delete m_pSplitter;
        QCOMPARE(SavedLayout(), QStringLiteral("0 %1 -1 %2").arg(beforeHiding[0]).arg(beforeHiding[1]));
    }

    // The saved width comes back at start-up; a broken or absurd value is ignored.
    void layoutReadBack_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("panelWidth");
        QTest::newRow("saved width") << QStringLiteral("-1 320 -1 500") << 320;
        QTest::newRow("saved while hidden: shown again") << QStringLiteral("0 340 -1 500") << 340;
        QTest::newRow("nothing saved") << QString() << 260;
        QTest::newRow("not numbers") << QStringLiteral("-1 abc -1 500") << 260;
        QTest::newRow("too few numbers") << QStringLiteral("-1 320") << 260;
        QTest::newRow("collapsed panel") << QStringLiteral("-1 0 -1 500") << 260;
        QTest::newRow("huge width") << QStringLiteral("-1 99999999 -1 500") << 260;
    }
    void layoutReadBack() {
        QFETCH(QString, saved);
        QFETCH(int, panelWidth);
        if (!saved.isEmpty()) SaveLayout(saved);
        QCOMPARE(m_pSplitter->LoadFromProfile(), panelWidth != 260);
        ShowSplitter();
        QVERIFY(m_pPanel->isVisible());
        QCOMPARE(m_pSplitter->sizes()[0], panelWidth);
    }

private:
    void ShowSplitter() {
        if (m_pSplitter->count() == 0) m_pSplitter->Create(m_pPanel, m_pReader, true);
        m_pSplitter->show();
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow));
    }

    QTemporaryDir m_Settings;
    QWidget* m_pWindow = nullptr;
    ST_SplitterWnd* m_pSplitter = nullptr;
    QTextEdit* m_pPanel = nullptr;
    QTextEdit* m_pReader = nullptr;
};

QTEST_MAIN(TestSplitter)
#include "test_splitter.moc"
