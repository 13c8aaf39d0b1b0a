// The reader pane: navigation and location, the page as it is shown (grown
// with its text, the hit page's wide text cell), the pictures and links it
// keeps to its page folder, the limited copy, the right-click menu, the Ctrl
// reminder and the tooltip of a numbered character.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextTable>
#include <QToolTip>

#include "app/bookview.h"
#include "app/shownpage.h"
#include "app/textwidth.h"
#include "docstore/filelist.h"
#include "guifixture.h"
#include "recordingmessagesink.h"

namespace {

// A stored page as the collection builder lays it out: the text in the
// 520-pixel cell (the first on even printed pages), the margin in the other.
std::string StoredPage(const QString& paragraphs, int parity) {
    const QString label = QStringLiteral("<TD height=477 width=80 vAlign=top align=\"center\" bgcolor=\"#F5EFE0\">巻<br>1</TD>");
    const QString text = QStringLiteral("<TD height=477 width=520 vAlign=top>%1</TD>").arg(paragraphs);
    return (QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
                           "<title>書 巻</title></head><body><table border=0 cellPadding=12 cellSpacing=0 height=477 "
                           "width=635><tr>") +
            (parity == 0 ? text + label : label + text) + QStringLiteral("</tr></table></body></html>"))
        .toStdString();
}

QString Paragraphs(int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += QStringLiteral("<p>子曰：“學而時習之，不亦說乎？有朋自遠方來，不亦樂乎？”第%1</p>").arg(i);
    return text;
}

// The laid-out table of the page shown and the blocks of each of its cells.
struct PageLayout {
    QRectF table;
    QList<QRectF> cells[2];
};

PageLayout LayOut(CBookView& view) {
    PageLayout layout;
    QTextDocument* document = view.document();
    document->size();
    for (QTextFrame* frame : document->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table || table->columns() < 2) continue;
        layout.table = document->documentLayout()->frameBoundingRect(table);
        for (int column = 0; column < 2; ++column) {
            const QTextTableCell cell = table->cellAt(0, column);
            for (QTextBlock block = cell.firstCursorPosition().block();
                 block.isValid() && block.position() <= cell.lastPosition(); block = block.next())
                layout.cells[column].append(document->documentLayout()->blockBoundingRect(block));
        }
        break;
    }
    return layout;
}

QImage Picture(const QVariant& resource) { return resource.value<QImage>(); }

}  // namespace

class TestBookView : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_pView = new CBookView(&m_Messages);
        m_pView->SetPageFolder(m_Folder.path());
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

    // The shown copy of a page: heights of tables and cells go (the table's
    // kept as the minimum), the hit page's text cell becomes 520 pixels wide
    // on either parity and its margin cell 80 with the program's picture; the
    // text itself is never touched.
    void shownPage_data() {
        QTest::addColumn<int>("textCell");  // -1: not a hit page
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("minimumHeight");
        const QString margin = QStringLiteral(" width=80 background=\"qrc:/res/Back.gif\">");
        QTest::newRow("stored page")
            << -1 << QStringLiteral("<table height=477 width=635><tr><TD height=477 width=520>a height=9</TD></tr></table>")
            << QStringLiteral("<table width=635><tr><TD width=520>a height=9</TD></tr></table>") << 477;
        QTest::newRow("quoted and upper-case heights")
            << -1 << QStringLiteral("<TABLE HEIGHT=\"300\"><tr><td height='20' valign=top>x</td></tr></TABLE>")
            << QStringLiteral("<TABLE><tr><td valign=top>x</td></tr></TABLE>") << 300;
        QTest::newRow("no table") << -1 << QStringLiteral("<p height=3>x</p>") << QStringLiteral("<p height=3>x</p>") << 0;
        QTest::newRow("hit page, text in the second cell")
            << 1
            << QStringLiteral("<TABLE height=477 width=635><tr><TD height=477 width=80 align=\"center\" "
                              "background=\"../Back.gif\">m</TD><TD height=477 width=450 align=\"center\">t</TD>")
            << QStringLiteral("<TABLE width=635><tr><TD align=\"center\"") + margin +
                   QStringLiteral("m</TD><TD align=\"center\" width=520>t</TD>")
            << 477;
        QTest::newRow("hit page, text in the first cell")
            << 0
            << QStringLiteral("<TABLE height=477 width=635><tr><TD height=477 width=80 align=\"center\" "
                              "background=\"../Back.gif\">t</TD><TD height=477 width=450 align=\"center\">m</TD>")
            << QStringLiteral("<TABLE width=635><tr><TD align=\"center\" width=520>t</TD><TD align=\"center\"") +
                   margin + QStringLiteral("m</TD>")
            << 477;
        QTest::newRow("hit page with one cell only grows")
            << 0 << QStringLiteral("<table height=477><tr><TD height=477 width=80>t</TD></tr></table>")
            << QStringLiteral("<table><tr><TD width=80>t</TD></tr></table>") << 477;
    }
    void shownPage() {
        QFETCH(int, textCell);
        QFETCH(QString, html);
        QFETCH(QString, shown);
        QFETCH(int, minimumHeight);
        const CShownPage page = textCell < 0 ? CShownPage::FromPage(html) : CShownPage::FromHitPage(html, textCell);
        QCOMPARE(page.Html(), shown);
        QCOMPARE(page.MinimumHeight(), minimumHeight);
    }

    // A hit page rendered from a stored page: however long its text, every
    // paragraph lies inside the table, and the text cell is wide on both
    // parities; a short page keeps the template's 477 pixels.
    void hitPageShowsItsWholeText_data() {
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("paragraphs");
        QTest::newRow("long, text in the second cell") << 1 << 30;
        QTest::newRow("long, text in the first cell") << 0 << 30;
        QTest::newRow("short, text in the second cell") << 1 << 1;
        QTest::newRow("short, text in the first cell") << 0 << 1;
    }
    void hitPageShowsItsWholeText() {
        QFETCH(int, parity);
        QFETCH(int, paragraphs);
        std::string html;
        int counter = 0;
        CFileList::ComposePage(StoredPage(Paragraphs(paragraphs), parity), html, "學而", parity, 0, counter);
        QCOMPARE(counter, paragraphs);
        const QString path = QDir(m_Folder.path()).filePath(QStringLiteral("windows1.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html.data(), qint64(html.size()));
        file.close();
        m_pView->ShowHitPage(path + QStringLiteral("#0000"), parity);

        const PageLayout layout = LayOut(*m_pView);
        const QList<QRectF>& text = layout.cells[parity];
        QCOMPARE(text.size(), paragraphs);
        for (const QRectF& block : text) {
            QVERIFY(block.width() >= 400);
            QVERIFY2(layout.table.contains(block), qPrintable(QStringLiteral("%1 %2").arg(block.bottom()).arg(layout.table.bottom())));
        }
        QVERIFY(layout.cells[1 - parity].first().width() < 100);
        if (paragraphs == 1) QCOMPARE(layout.table.height(), 477.0);
        QVERIFY(m_pView->toPlainText().contains(QStringLiteral("第%1").arg(paragraphs - 1)));
    }

    // A short page kept at its height is still the file's page: another
    // anchor of it only scrolls, even when the file has gone meanwhile.
    void anchorOfAPaddedPageOnlyScrolls() {
        const std::string html = StoredPage(Paragraphs(1) + QStringLiteral("<a name=\"0001\"></a>"), 1);
        const QString path = QDir(m_Folder.path()).filePath(QStringLiteral("windows1.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html.data(), qint64(html.size()));
        file.close();
        m_pView->ShowHitPage(path + QStringLiteral("#0000"), 1);
        QCOMPARE(LayOut(*m_pView).table.height(), 477.0);
        const QString text = m_pView->toPlainText();
        QVERIFY(QFile::remove(path));
        m_pView->Navigate2(path + QStringLiteral("#0001"));
        QCOMPARE(m_pView->source().fragment(), QStringLiteral("0001"));
        QCOMPARE(m_pView->toPlainText(), text);
    }

    // A stored page shown from the table of contents grows with its text too.
    void storedPageGrowsWithItsText() {
        const std::string html = StoredPage(Paragraphs(30), 1);
        const QString path = QDir(m_Folder.path()).filePath(QStringLiteral("windows.html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html.data(), qint64(html.size()));
        file.close();
        m_pView->Navigate2(path);
        const PageLayout layout = LayOut(*m_pView);
        QVERIFY(layout.table.height() > 477);
        QCOMPARE(layout.cells[1].size(), 30);
        QVERIFY(layout.table.contains(layout.cells[1].last()));
        QVERIFY(layout.cells[1].last().width() >= 400);
    }

    // Pictures come only from the page folder and the program's resources: a
    // picture beside the folder ("../Back.gif" of the hit-page template), one
    // named by absolute path in the shared temporary folder, or one reached
    // through a link inside the folder is a blank pixel, never decoded.
    void picturesStayInsideThePageFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("beside the folder") << QStringLiteral("../Back.gif") << QSize(1, 1);
        QTest::newRow("absolute path") << m_Shared.filePath(QStringLiteral("secret.png")) << QSize(1, 1);
        QTest::newRow("file url") << QUrl::fromLocalFile(m_Shared.filePath(QStringLiteral("secret.png"))).toString()
                                  << QSize(1, 1);
        QTest::newRow("link inside the folder to outside") << QStringLiteral("link.png") << QSize(1, 1);
        QTest::newRow("missing") << QStringLiteral("none.png") << QSize(1, 1);
        QTest::newRow("inside the folder") << QStringLiteral("inside.png") << QSize(10, 10);
        QTest::newRow("program's margin picture") << QStringLiteral("qrc:/res/Back.gif") << QSize(96, 96);
    }
    void picturesStayInsideThePageFolder() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        for (const QString& path : {m_Shared.filePath(QStringLiteral("Back.gif")), m_Shared.filePath(QStringLiteral("secret.png")),
                                    QDir(m_Folder.path()).filePath(QStringLiteral("inside.png"))})
            QVERIFY(red.save(path, "PNG"));
        QVERIFY(!QImage(m_Shared.filePath(QStringLiteral("Back.gif"))).isNull());  // readable, were it read
        QFile::link(m_Shared.filePath(QStringLiteral("secret.png")), QDir(m_Folder.path()).filePath(QStringLiteral("link.png")));
        const QString page =
            WritePage(m_Folder, QStringLiteral("pictures.html"), QStringLiteral("<img src=\"%1\">").arg(name));
        m_pView->Navigate2(page);
        QCOMPARE(Picture(m_pView->loadResource(QTextDocument::ImageResource, QUrl(name))).size(), size);
        QCOMPARE(Picture(m_pView->document()->resource(QTextDocument::ImageResource, QUrl(name))).size(), size);
    }

    // A page file outside the folder is never read, not even when asked for.
    void pagesOutsideTheFolderShowNothing() {
        const QString outside = m_Shared.filePath(QStringLiteral("outside.html"));
        QFile file(outside);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body>secret</body></html>");
        file.close();
        m_pView->Navigate2(outside);
        QVERIFY(m_pView->toPlainText().isEmpty());
    }

    // Links: an anchor of the page and another page of the folder are shown;
    // http and https go to the browser; a file elsewhere, mailto and any other
    // scheme do nothing at all.
    void links_data() {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("shown");   // the file shown after the click, with its anchor
        QTest::addColumn<QString>("opened");  // what went to the browser
        const QString outside = QUrl::fromLocalFile(m_Shared.filePath(QStringLiteral("outside.html"))).toString();
        QTest::newRow("anchor of the page") << QStringLiteral("#end") << QStringLiteral("links.html#end") << QString();
        QTest::newRow("page of the folder") << QStringLiteral("other.html") << QStringLiteral("other.html") << QString();
        QTest::newRow("file outside the folder") << outside << QStringLiteral("links.html") << QString();
        QTest::newRow("relative way out") << QStringLiteral("../outside.html") << QStringLiteral("links.html") << QString();
        QTest::newRow("mailto") << QStringLiteral("mailto:a@example.org") << QStringLiteral("links.html") << QString();
        QTest::newRow("ftp") << QStringLiteral("ftp://example.org/") << QStringLiteral("links.html") << QString();
        QTest::newRow("http") << QStringLiteral("http://example.org/a") << QStringLiteral("links.html")
                              << QStringLiteral("http://example.org/a");
        QTest::newRow("https") << QStringLiteral("https://example.org/") << QStringLiteral("links.html")
                               << QStringLiteral("https://example.org/");
    }
    void links() {
        QFETCH(QString, href);
        QFETCH(QString, shown);
        QFETCH(QString, opened);
        QStringList sent;
        m_pView->SetExternalOpener([&sent](const QUrl& url) { sent << url.toString(); });
        QFile outside(m_Shared.filePath(QStringLiteral("outside.html")));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.write("<html><body>secret</body></html>");
        outside.close();
        WritePage(m_Folder, QStringLiteral("other.html"), QStringLiteral("他"));
        const QString page = WritePage(m_Folder, QStringLiteral("links.html"),
                                       QStringLiteral("<a href=\"%1\">link</a><a name=\"end\"></a>").arg(href));
        m_pView->Navigate2(page);
        emit m_pView->anchorClicked(QUrl(href));
        const QUrl location(m_pView->GetLocationURL());
        QCOMPARE(location.fileName() + (location.hasFragment() ? QLatin1Char('#') + location.fragment() : QString()), shown);
        QVERIFY(!m_pView->toPlainText().contains(QStringLiteral("secret")));
        QCOMPARE(sent, opened.isEmpty() ? QStringList() : QStringList(opened));
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

    // A numbered character's code lives in its span's title: it must come up
    // over the whole mark, and nowhere else.
    void numberedCharacterShowsItsCode() {
        m_pView->setHtml(QStringLiteral("<p>人乃<span title=\"KR0099\">〓</span>然</p>"));
        QTextCursor cursor(m_pView->document());
        const auto edge = [&](int position) {
            cursor.setPosition(position);
            return m_pView->cursorRect(cursor);
        };
        const QRect before = edge(2), after = edge(3);
        const int y = before.center().y();
        const int quarter = (after.left() - before.left()) / 4;
        QVERIFY(quarter > 0);
        QCOMPARE(m_pView->TitleAt(QPoint(before.left() + quarter, y)), QStringLiteral("KR0099"));
        QCOMPARE(m_pView->TitleAt(QPoint(after.left() - quarter, y)), QStringLiteral("KR0099"));
        QCOMPARE(m_pView->TitleAt(QPoint(before.left() - quarter, y)), QString());
        QCOMPARE(m_pView->TitleAt(QPoint(after.left() + quarter, y)), QString());
        QCOMPARE(m_pView->TitleAt(QPoint(5, 300)), QString());

        const QPoint over(before.left() + quarter, y);
        QHelpEvent help(QEvent::ToolTip, over, m_pView->viewport()->mapToGlobal(over));
        QApplication::sendEvent(m_pView->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("KR0099"));
    }

private:
    QTemporaryDir m_Shared;  // stands for the shared temporary folder
    QTemporaryDir m_Folder{m_Shared.filePath(QStringLiteral("pages-XXXXXX"))};  // the private page folder
    CRecordingMessageSink m_Messages;
    CBookView* m_pView = nullptr;
};

QTEST_MAIN(TestBookView)
#include "test_bookview.moc"
