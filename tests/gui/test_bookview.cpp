// The reader pane: navigation and location, the limited copy, the right-click
// menu and the Ctrl reminder.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/bookview.h"
#include "app/textwidth.h"
#include "guifixture.h"
#include "recordingmessagesink.h"

class TestBookView : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_pView = new CBookView(&m_Messages);
        m_pView->resize(600, 400);
        m_pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pView));
        m_Messages.Clear();
    }
    void cleanup() { delete m_pView; }

    // A wrong width table would let the copy keep more or less than 300 characters.
    void textWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("ascii") << QStringLiteral("abc") << 3;
        QTest::newRow("ideographs") << QStringLiteral("學而") << 4;
        QTest::newRow("full-width punctuation and space") << QStringLiteral("「　」") << 6;
        QTest::newRow("full-width latin") << QStringLiteral("ＡＢ") << 4;
        QTest::newRow("half-width katakana") << QStringLiteral("ｱｲ") << 2;
        QTest::newRow("kana") << QStringLiteral("かな") << 4;
        QTest::newRow("extension B ideograph is one character") << QString::fromUcs4(U"\U00020000") << 2;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 1;
        QTest::newRow("empty") << QString() << 0;
    }
    void textWidth() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QCOMPARE(CTextWidth::Width(text), width);
    }

    // A cut that splits a surrogate pair or a full-width character would leave half a character.
    void cutNeverSplitsACharacter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("kept");
        QTest::newRow("fits") << QStringLiteral("學而") << 4 << QStringLiteral("學而");
        QTest::newRow("odd limit stops before a wide character") << QStringLiteral("學而") << 3 << QStringLiteral("學");
        QTest::newRow("surrogate pair kept whole or not at all")
            << QString::fromUcs4(U"a\U00020000") << 2 << QStringLiteral("a");
        QTest::newRow("zero") << QStringLiteral("a") << 0 << QString();
    }
    void cutNeverSplitsACharacter() {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, kept);
        QCOMPARE(CTextWidth::Cut(text, limit), kept);
    }

    // The enable rules and the right-click rule depend on the location being
    // "about:blank" until the first page, and a real address afterwards.
    void locationIsBlankUntilAPageIsShown() {
        QCOMPARE(m_pView->GetLocationURL(), QStringLiteral("about:blank"));
        const QString page = WritePage(m_Folder, QStringLiteral("page.html"), QStringLiteral("學而"));
        m_pView->Navigate2(page);
        QCOMPARE(m_pView->GetLocationURL(), QUrl::fromLocalFile(page).toString());
        QCOMPARE(m_pView->toPlainText(), QStringLiteral("學而"));
        m_pView->Navigate2(QStringLiteral("about:blank"));
        QCOMPARE(m_pView->GetLocationURL(), QStringLiteral("about:blank"));
        QVERIFY(m_pView->toPlainText().isEmpty());
        m_pView->Navigate2(page);
        m_pView->Navigate2(QString());
        QCOMPARE(m_pView->GetLocationURL(), QStringLiteral("about:blank"));
    }

    // Hit steps address anchors "#%04d"; the panel rewrites the same page file
    // and shows it again without an anchor, which must read the new content.
    void anchorsScrollAndRewrittenFilesAreReadAgain() {
        QString body;
        for (int i = 0; i < 200; ++i) body += QStringLiteral("<p>行%1</p>").arg(i);
        body += QStringLiteral("<a name=\"0001\"></a><p>終</p>");
        const QString page = WritePage(m_Folder, QStringLiteral("anchors.html"), body);
        m_pView->Navigate2(page + QStringLiteral("#0001"));
        QVERIFY(m_pView->verticalScrollBar()->value() > 0);
        QVERIFY(m_pView->GetLocationURL().endsWith(QStringLiteral("#0001")));

        WritePage(m_Folder, QStringLiteral("anchors.html"), QStringLiteral("新"));
        m_pView->Navigate2(page + QStringLiteral("#0000"));  // same file, another anchor: only scrolls
        QVERIFY(m_pView->toPlainText().contains(QStringLiteral("終")));
        m_pView->Navigate2(page);  // same file without an anchor: read again
        QCOMPARE(m_pView->toPlainText(), QStringLiteral("新"));
    }

    // The copy limit: exactly 600 width units keep every clipboard format; one
    // more character leaves only the plain text cut at 600.
    void limitedCopy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("allFormats");
        const QString wide300 = QString(300, QChar(0x5B78));
        QTest::newRow("300 full-width") << wide300 << wide300 << true;
        QTest::newRow("301 full-width") << wide300 + QChar(0x800C) << wide300 << false;
        QTest::newRow("700 ascii") << QString(700, QLatin1Char('a')) << QString(600, QLatin1Char('a')) << false;
        QTest::newRow("599 units then a wide character")
            << QStringLiteral("a") + QString(300, QChar(0x5B78)) << QStringLiteral("a") + QString(299, QChar(0x5B78))
            << false;
        QTest::newRow("short") << QStringLiteral("學而時習之") << QStringLiteral("學而時習之") << true;
    }
    void limitedCopy() {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QFETCH(bool, allFormats);
        m_pView->Navigate2(WritePage(m_Folder, QStringLiteral("copy.html"), text));
        m_pView->selectAll();
        m_pView->LimitedCopy();
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), kept);
        QCOMPARE(copied->hasHtml(), allFormats);
        if (!allFormats) QCOMPARE(copied->formats(), QStringList{QStringLiteral("text/plain")});
    }

    // Copying with nothing selected must not cut what another program copied.
    void limitedCopyWithoutSelectionLeavesTheClipboard() {
        m_pView->Navigate2(WritePage(m_Folder, QStringLiteral("copy.html"), QStringLiteral("學而")));
        const QString other(700, QLatin1Char('x'));
        QGuiApplication::clipboard()->setText(other);
        m_pView->LimitedCopy();
        QCOMPARE(QGuiApplication::clipboard()->text(), other);
    }

    // At "about:blank" a right click shows nothing at all; on a page it shows
    // the reader's own menu, never the browser's.
    void rightClickMenu() {
        QTest::mouseClick(m_pView->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!m_pView->GetContextMenu()->isVisible());

        m_pView->Navigate2(WritePage(m_Folder, QStringLiteral("menu.html"), QStringLiteral("學而")));
        QTest::mousePress(m_pView->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QTRY_VERIFY(m_pView->GetContextMenu()->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), m_pView->GetContextMenu());
        QStringList texts;
        for (const QAction* action : m_pView->GetContextMenu()->actions()) texts << action->text();
        QCOMPARE(texts, (QStringList{QStringLiteral("コピー(300字以内に制限しています。)"), QStringLiteral("すべて選択。")}));
        m_pView->GetContextMenu()->close();
    }

    // The menu's select-all item selects the page, its copy item makes the limited copy.
    void rightClickMenuCommands() {
        m_pView->Navigate2(WritePage(m_Folder, QStringLiteral("menu.html"), QString(301, QChar(0x5B78))));
        const QList<QAction*> items = m_pView->GetContextMenu()->actions();
        items[1]->trigger();
        QVERIFY(m_pView->textCursor().hasSelection());
        items[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString(300, QChar(0x5B78)));
    }

    // A Ctrl press inside the reader, on the view or its viewport, shows the reminder and is consumed.
    void ctrlKeyShowsTheReminder() {
        QTest::keyClick(m_pView, Qt::Key_Control);
        QTest::keyClick(m_pView->viewport(), Qt::Key_Control);
        QCOMPARE(m_Messages.Messages(),
                 QStringList(2, QStringLiteral("マウスの右ボタンでコピーして下さい。")));
        QTest::keyClick(m_pView, Qt::Key_A);
        QCOMPARE(m_Messages.Messages().size(), 2);
    }

private:
    QTemporaryDir m_Folder;
    CRecordingMessageSink m_Messages;
    CBookView* m_pView = nullptr;
};

QTEST_MAIN(TestBookView)
#include "test_bookview.moc"
