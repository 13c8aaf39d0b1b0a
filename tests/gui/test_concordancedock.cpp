// The research dock on the default collection: its lines against the command
// line's kwic, the lazy filling and the sorts, a line opening its hit, the
// totals by book and a book searched again, the export, the remembered
// switch and the pane cycle.
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/bookview.h"
#include "app/commandids.h"
#include "app/concordancedock.h"
#include "app/concordancemodel.h"
#include "app/exportdialog.h"
#include "app/mainfrm.h"
#include "app/resultexport.h"
#include "cliprocess.h"
#include "guifixture.h"
#include "panel/leftform.h"
#include "panel/model/listingrows.h"
#include "panel/model/tablewriter.h"
#include "recordingmessagesink.h"

namespace {

constexpr int kClassicsRecord = 1;  // 經部 of the default collection
constexpr int kLunYuRecord = 6;     // 經部 > 論語

// Answers the export command with a fixed choice, or cancels.
class CFixedExportDialog : public CExportDialog {
public:
    explicit CFixedExportDialog(std::optional<Choice> choice) : m_Choice(std::move(choice)) {}
    std::optional<Choice> Ask(QWidget*) override {
        ++m_nAsked;
        return m_Choice;
    }
    std::optional<Choice> m_Choice;
    int m_nAsked = 0;
};

std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

std::string Kwic(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"--data", QUOREL_DEFAULT_COLLECTION, "kwic"};
    args.insert(args.end(), options.begin(), options.end());
    const CliResult result = RunCli(args);
    return result.status == 0 ? result.out : "failed: " + result.err;
}

std::string Search(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"--data", QUOREL_DEFAULT_COLLECTION, "search"};
    args.insert(args.end(), options.begin(), options.end());
    const CliResult result = RunCli(args);
    return result.status == 0 ? result.out : "failed: " + result.err;
}

// The lines as kwic writes them in TSV, column names first.
std::string TsvOf(const std::vector<ConcordanceLine>& lines) {
    const CTableWriter writer(CTableWriter::Format::kTsv);
    std::string text = writer.FormatRow(CListingRows::LineColumns());
    for (const ConcordanceLine& line : lines) text += writer.FormatRow(CListingRows::LineRow(line));
    return text;
}

}  // namespace

class TestConcordanceDock : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UsePrivateSettings(m_Settings); }
    void init() {
        ClearProgramSettings();
        m_Messages.Clear();
    }

    // Off by default; the menu item and the toolbar button switch it, and the
    // next window opens as the last one was left.
    void switchIsRemembered() {
        {
            CMainFrame frame(CollectionOptions(), &m_Messages);
            ShowFrame(frame);
            QVERIFY(!frame.GetConcordanceDock()->isVisible());
            QAction* toggle = frame.GetAction(ID_VIEW_CONCORDANCE);
            QVERIFY(toggle->isCheckable() && !toggle->isChecked());
            toggle->trigger();
            QVERIFY(frame.GetConcordanceDock()->isVisible());
        }
        QCOMPARE(ProgramSetting(QStringLiteral("Settings/ConcordanceView")), QStringLiteral("1"));
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        QVERIFY(frame.GetConcordanceDock()->isVisible());
        QVERIFY(frame.GetAction(ID_VIEW_CONCORDANCE)->isChecked());
    }

    // After a search the lines are those kwic writes for the same search, the
    // table showing each line's book, volume, page and its three texts.
    void linesEqualTheCommandLine() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceModel* model = OpenDock(frame);
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        QTRY_VERIFY(!model->IsFilling());
        QVERIFY(model->AtEnd());
        QCOMPARE(TsvOf(model->Lines()), Kwic({"--range", "6", "學而"}));
        const QModelIndex first = model->index(0, 0);
        QStringList shown;
        for (int column = 0; column < CConcordanceModel::kColumnCount; ++column)
            shown << model->data(first.siblingAtColumn(column)).toString();
        const QStringList kwicFirst =
            QString::fromStdString(Kwic({"--range", "6", "--limit", "1", "學而"})).split(QLatin1Char('\n'))[1].split(QLatin1Char('\t'));
        QCOMPARE(shown, (QStringList{kwicFirst[1], kwicFirst[2], kwicFirst[3], kwicFirst[6], kwicFirst[7], kwicFirst[8]}));
        // The keyword stands in one vertical line: the left context ends where the match begins.
        QCOMPARE(model->data(first.siblingAtColumn(CConcordanceModel::kLeft), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(model->data(first.siblingAtColumn(CConcordanceModel::kRight), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
        QVERIFY(m_Messages.Messages().isEmpty());
    }

    // A result of many lines is made a batch at a time as the view reaches its
    // end, in slices that leave the event loop running; the lines so made are
    // kwic's first ones.
    void linesAreMadeAsTheViewAsks() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceModel* model = OpenDock(frame);
        SearchIn(frame, kClassicsRecord, QStringLiteral("子曰"));
        QVERIFY(model->IsFilling());  // the search returned before its lines were made
        QTRY_VERIFY(!model->IsFilling());
        QCOMPARE(model->rowCount(), int(CConcordanceModel::kBatch));
        QVERIFY(model->canFetchMore(QModelIndex()));
        model->fetchMore(QModelIndex());
        QTRY_VERIFY(!model->IsFilling());
        QCOMPARE(model->rowCount(), int(2 * CConcordanceModel::kBatch));
        QCOMPARE(TsvOf(model->Lines()), Kwic({"--range", "1", "--limit", "200", "子曰"}));
        QVERIFY(frame.findChild<QLabel*>(QStringLiteral("concordanceStatus"))->text().startsWith(QStringLiteral("用例 200 件")));
    }

    // A click on a context's header sorts every line by it, as kwic --sort
    // does; a click on another header goes back to result order.
    void headersSort_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("order");
        QTest::newRow("left") << int(CConcordanceModel::kLeft) << "left";
        QTest::newRow("right") << int(CConcordanceModel::kRight) << "right";
        QTest::newRow("book") << int(CConcordanceModel::kBook) << "position";
    }
    void headersSort() {
        QFETCH(int, column);
        QFETCH(QString, order);
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceModel* model = OpenDock(frame);
        SearchIn(frame, kClassicsRecord, QStringLiteral("子曰"));
        QTRY_VERIFY(!model->IsFilling());
        QHeaderView* header = frame.GetConcordanceDock()->GetLineView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(CConcordanceModel::kRight) + 5, header->height() / 2));
        QTRY_VERIFY(!model->IsFilling());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        QTRY_VERIFY(!model->IsFilling());
        QVERIFY(model->AtEnd());
        const std::string sorted = TsvOf(model->Lines());
        QCOMPARE(sorted, Kwic({"--range", "1", "--sort", order.toStdString(), "子曰"}));

        // The table's context menu sorts as the headers do.
        const QList<QAction*> menu = frame.GetConcordanceDock()->GetLineView()->actions();
        QCOMPARE(menu.size(), 3);
        menu[order == "right" ? 1 : 2]->trigger();
        QTRY_VERIFY(!model->IsFilling());
        menu[order == "left" ? 1 : order == "right" ? 2 : 0]->trigger();
        QCOMPARE(TsvOf(model->Lines()), sorted);
    }

    // Choosing a line (Enter) opens its page at its own hit; F3 and Alt+F3 go
    // on from there.
    void choosingALineOpensItsHit() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceModel* model = OpenDock(frame);
        SearchIn(frame, kLunYuRecord, QStringLiteral("子曰"));
        QTRY_VERIFY(!model->IsFilling());
        int row = 0;
        while (row < model->rowCount() && model->Line(row).anchor != 1) ++row;
        QVERIFY(row < model->rowCount());  // the second hit of a page of several
        const ConcordanceLine line = model->Line(row);
        QTableView* view = frame.GetConcordanceDock()->GetLineView();
        view->setFocus();
        view->setCurrentIndex(model->index(row, 0));
        QTest::keyClick(view, Qt::Key_Return);
        CBookView* reader = frame.GetRightPane();
        QCOMPARE(reader->source().fragment(), QStringLiteral("0001"));
        QVERIFY(ReadBytes(reader->source().toLocalFile()).find(CListingRows::LineRow(line)[7]) != std::string::npos);
        auto* panel = qobject_cast<CLeftForm*>(frame.GetLeftForm());
        QCOMPARE(panel->GetCurrentHit(), 1);
        QTest::keyClick(&frame, Qt::Key_F3);
        QCOMPARE(reader->source().fragment(), QStringLiteral("0002"));
        QTest::keyClick(&frame, Qt::Key_F3, Qt::AltModifier);
        QTest::keyClick(&frame, Qt::Key_F3, Qt::AltModifier);
        QCOMPARE(reader->source().fragment(), QStringLiteral("0000"));
    }

    // The by-book tab adds up to the search's totals, book for book as
    // search --by-book lists them; choosing a book searches again in it alone.
    void bookTotalsAndABookChosen() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        OpenDock(frame);
        SearchIn(frame, kClassicsRecord, QStringLiteral("子曰"));
        CConcordanceDock* dock = frame.GetConcordanceDock();
        auto* panel = qobject_cast<CLeftForm*>(frame.GetLeftForm());
        const CTableWriter writer(CTableWriter::Format::kCsv);
        std::string listed = writer.FormatRow(CListingRows::BookColumns());
        size_t pages = 0;
        int hits = 0;
        for (const CBookTotals::Book& book : dock->GetBooks()) {
            listed += writer.FormatRow(CListingRows::BookRow(book));
            pages += size_t(book.pages);
            hits += book.hits;
        }
        QCOMPARE(listed, Search({"--range", "1", "--by-book", "--format", "csv", "子曰"}));
        QCOMPARE(pages, panel->GetResults().size());
        QCOMPARE(hits, panel->GetTotalHits());
        QTreeWidget* books = dock->GetBookList();
        QCOMPARE(books->topLevelItemCount(), int(dock->GetBooks().size()));
        QVERIFY(books->topLevelItemCount() > 1);

        dock->GetTabs()->setCurrentIndex(CConcordanceDock::kBooksTab);
        int row = 0;
        while (row < books->topLevelItemCount() && books->topLevelItem(row)->text(1) != QStringLiteral("論語")) ++row;
        QVERIFY(row < books->topLevelItemCount());
        const int bookHits = books->topLevelItem(row)->text(3).toInt();
        books->setFocus();
        books->setCurrentItem(books->topLevelItem(row));
        QTest::keyClick(books, Qt::Key_Return);
        QCOMPARE(panel->GetScopeItem(), kLunYuRecord);
        QCOMPARE(panel->GetTotalHits(), bookHits);
        for (const SearchNodeTag& entry : panel->GetResults()) QCOMPARE(entry.bookName, std::u16string(u"論語"));
        QCOMPARE(books->topLevelItemCount(), 1);
        QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("totalsLabel"))->text(),
                 QStringLiteral("全部で %1 頁で、%2 箇所でした。").arg(panel->GetResults().size()).arg(bookHits));
    }

    // The export writes the lines or the results list as the command line
    // lists them, a CSV file after a byte order mark; the lines come whole
    // even while the dock is closed. A cancelled dialog writes nothing; a
    // file that cannot be written is told.
    void exportWritesTheListings_data() {
        QTest::addColumn<int>("listing");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray bom(CResultExport::kByteOrderMark);
        QTest::newRow("lines csv") << int(CExportDialog::Listing::kLines) << int(CTableWriter::Format::kCsv)
                                   << bom + QByteArray::fromStdString(Kwic({"--range", "1", "--format", "csv", "子曰"}));
        QTest::newRow("lines tsv") << int(CExportDialog::Listing::kLines) << int(CTableWriter::Format::kTsv)
                                   << QByteArray::fromStdString(Kwic({"--range", "1", "子曰"}));
        QTest::newRow("results csv") << int(CExportDialog::Listing::kResults) << int(CTableWriter::Format::kCsv)
                                     << bom + QByteArray::fromStdString(Search({"--range", "1", "--format", "csv", "子曰"}));
        QTest::newRow("results tsv") << int(CExportDialog::Listing::kResults) << int(CTableWriter::Format::kTsv)
                                     << QByteArray::fromStdString(Search({"--range", "1", "子曰"}));
    }
    void exportWritesTheListings() {
        QFETCH(int, listing);
        QFETCH(int, format);
        QFETCH(QByteArray, expected);
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        SearchIn(frame, kClassicsRecord, QStringLiteral("子曰"));
        const QString path = QDir(m_Folder.path()).filePath(QStringLiteral("export.txt"));
        CExportDialog::Choice choice;
        choice.path = path;
        choice.listing = CExportDialog::Listing(listing);
        choice.format = CTableWriter::Format(format);
        frame.SetExportDialog(std::make_unique<CFixedExportDialog>(choice));
        frame.GetAction(ID_FILE_EXPORT)->trigger();
        QCOMPARE(QByteArray::fromStdString(ReadBytes(path)), expected);
        QVERIFY(m_Messages.Messages().isEmpty());
    }
    void exportCancelledOrUnwritable() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        auto* cancelling = new CFixedExportDialog(std::nullopt);
        frame.SetExportDialog(std::unique_ptr<CExportDialog>(cancelling));
        frame.GetAction(ID_FILE_EXPORT)->trigger();
        QCOMPARE(cancelling->m_nAsked, 1);
        QVERIFY(m_Messages.Messages().isEmpty());

        CExportDialog::Choice choice;
        choice.path = QDir(m_Folder.path()).filePath(QStringLiteral("no-such-folder/export.csv"));
        frame.SetExportDialog(std::make_unique<CFixedExportDialog>(choice));
        frame.GetAction(ID_FILE_EXPORT)->trigger();
        QCOMPARE(m_Messages.Messages(), QStringList{QStringLiteral("検索結果を書き出せませんでした。")});
    }

    // A search while the dock is closed makes no lines; opening it shows that
    // search's lines. A new search drops the lines of the one before, even
    // while they are still being made.
    void refillsWhenOpenedAndOnEverySearch() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceDock* dock = frame.GetConcordanceDock();
        CConcordanceModel* model = dock->GetModel();
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(!model->IsFilling());
        OpenDock(frame);
        QTRY_VERIFY(!model->IsFilling());
        QVERIFY(model->rowCount() > 0);

        emit dock->GetLineView()->horizontalHeader()->sectionClicked(CConcordanceModel::kLeft);  // reads every page
        SearchIn(frame, kClassicsRecord, QStringLiteral("子曰"));
        QVERIFY(model->IsFilling());
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        QTRY_VERIFY(!model->IsFilling());
        QCOMPARE(TsvOf(model->Lines()), Kwic({"--range", "6", "--sort", "left", "學而"}));
    }

    // F6 goes from the panel to the reader to the dock's table and back to the
    // panel, Shift+F6 the other way; a closed dock is left out.
    void paneCycleTakesInTheDock() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        CConcordanceDock* dock = frame.GetConcordanceDock();
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(!frame.IsReaderActive());
        QVERIFY(!dock->isAncestorOf(QApplication::focusWidget()));

        OpenDock(frame);
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dock->GetLineView()));
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(frame.GetLeftForm()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dock->GetLineView()));
        dock->GetTabs()->setCurrentIndex(CConcordanceDock::kBooksTab);
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(frame.GetLeftForm()->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dock->GetBookList()));
    }

private:
    CFrameOptions CollectionOptions() const {
        return TestFrameOptions(m_Folder, QStringLiteral(QUOREL_DEFAULT_COLLECTION));
    }

    static void ShowFrame(CMainFrame& frame) {
        frame.resize(1200, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
    }

    static CConcordanceModel* OpenDock(CMainFrame& frame) {
        QAction* toggle = frame.GetAction(ID_VIEW_CONCORDANCE);
        if (!toggle->isChecked()) toggle->trigger();
        return frame.GetConcordanceDock()->GetModel();
    }

    // Chooses record as the range in the tree and searches keyword.
    static void SearchIn(CMainFrame& frame, int record, const QString& keyword) {
        auto* panel = qobject_cast<CLeftForm*>(frame.GetLeftForm());
        QVERIFY(panel);
        frame.findChild<QTreeWidget*>(QStringLiteral("toc"))->setCurrentItem(panel->GetTreeItem(record));
        frame.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(CLeftForm::kSearchTab);
        frame.findChild<QLineEdit*>(QStringLiteral("keywordBox"))->setText(keyword);
        QTest::mouseClick(frame.findChild<QPushButton*>(QStringLiteral("searchButton")), Qt::LeftButton);
    }

    QTemporaryDir m_Settings;
    QTemporaryDir m_Folder;
    CRecordingMessageSink m_Messages;
};

QTEST_MAIN(TestConcordanceDock)
#include "test_concordancedock.moc"
