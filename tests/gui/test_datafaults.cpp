// The whole window on a damaged data folder: missing, empty, or with each
// file of a built collection in turn deleted, emptied, cut to half its length
// or overwritten with random bytes. The window opens, the messages of the
// failure appear once each, searches in every scope find nothing or what the
// intact parts can find, results open or leave the reader on its page, and
// the reading steps run. Also a page-file folder that stops being writable
// while a page is shown.
#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <random>
#include <regex>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/bookview.h"
#include "app/commandids.h"
#include "app/mainfrm.h"
#include "app/scrolltoolbar.h"
#include "guifixture.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panelfixture.h"

namespace {

namespace fs = std::filesystem;

enum class Fault { kDeleted, kEmpty, kHalf, kRandom };

// What a fault leaves of each part of the collection.
enum class Scope { kIntact, kClosed, kDamaged };  // kDamaged: opens, finds anything
enum class Toc { kWhole, kPart, kEmpty, kMissing };
enum class Pages { kAll, kFirstHalf, kNone, kGarbled };  // readable pages of the store
enum class Variants { kIntact, kLost, kDamaged };

struct Outcome {
    std::array<Scope, 3> scopes = {Scope::kIntact, Scope::kIntact, Scope::kIntact};  // full, main, notes
    Toc toc = Toc::kWhole;
    Pages pages = Pages::kAll;
    Variants variants = Variants::kIntact;
};

constexpr int kFull = 0, kMain = 1, kNotes = 2;
constexpr const char* kScopeButtons[] = {"fullButton", "mainButton", "notesButton"};
// 學而 in the range 經部 of the panel collection, by scope: pages and hits.
constexpr int kPagesFound[] = {3, 2, 1};
constexpr int kHitsFound[] = {5, 4, 1};
// Records of the panel collection.
constexpr int kJingBu = 1, kXueEr = 3, kDuo = 11;
constexpr int kDuoLastPrintedPage = 250;  // page 256, in the second half of every store file

const QString kOpenFailed = QStringLiteral("データを開けませんでした。");
const QString kNoToc = QStringLiteral("you delete data file!");
const QString kNoRange = QStringLiteral("検索範囲をまた指定していません。");

Outcome AllClosed() {
    Outcome outcome;
    outcome.scopes = {Scope::kClosed, Scope::kClosed, Scope::kClosed};
    outcome.toc = Toc::kMissing;
    return outcome;
}

// What a fault of file does, by the part of the collection the file holds;
// none for a file this table does not know yet.
std::optional<Outcome> ExpectedOutcome(const std::string& file, Fault fault) {
    Outcome outcome;
    const bool gone = fault == Fault::kDeleted;
    static const std::regex indexFile(R"(Index(_content|_desc)?-idx\.([hm]))");
    std::smatch match;
    if (std::regex_match(file, match, indexFile)) {
        const int scope = match[1] == "_content" ? kMain : match[1] == "_desc" ? kNotes : kFull;
        // A header shorter than its tables cannot open; a posting file is only
        // mapped, and lists that run off it end there.
        const bool header = match[2] == "h";
        const bool closes = header ? fault != Fault::kRandom : gone;
        outcome.scopes[size_t(scope)] = closes ? Scope::kClosed : Scope::kDamaged;
        return outcome;
    }
    if (file == "Index-fl.h") {
        // An empty or random header has no valid name width; half a table holds the first records.
        if (fault == Fault::kHalf)
            outcome.pages = Pages::kFirstHalf;
        else
            outcome.scopes = {Scope::kClosed, Scope::kClosed, Scope::kClosed};
        return outcome;
    }
    if (file == "Index-fl.cnt") {
        if (gone) outcome.scopes = {Scope::kClosed, Scope::kClosed, Scope::kClosed};
        outcome.pages = gone || fault == Fault::kEmpty ? Pages::kNone
                        : fault == Fault::kHalf        ? Pages::kFirstHalf
                                                       : Pages::kGarbled;
        return outcome;
    }
    if (file == "vrn.dir") {
        // Random bytes give the first record no valid level: no record loads.
        outcome.toc = gone ? Toc::kMissing : fault == Fault::kHalf ? Toc::kPart : Toc::kEmpty;
        return outcome;
    }
    if (file == "yitizi.txt") {
        outcome.variants = gone || fault == Fault::kEmpty ? Variants::kLost : Variants::kDamaged;
        return outcome;
    }
    return std::nullopt;
}

void ApplyFault(const fs::path& file, Fault fault) {
    switch (fault) {
    case Fault::kDeleted: fs::remove(file); return;
    case Fault::kEmpty: fs::resize_file(file, 0); return;
    case Fault::kHalf: fs::resize_file(file, fs::file_size(file) / 2); return;
    case Fault::kRandom: {
        std::mt19937 random(20240601);
        std::string bytes(size_t(fs::file_size(file)), '\0');
        for (char& byte : bytes) byte = char(random());
        WriteFileBytes(file, bytes);
        return;
    }
    }
}

QString TotalsText(int pages, int hits) { return QStringLiteral("全部で %1 頁で、%2 箇所でした。").arg(pages).arg(hits); }

bool IsResultAddress(const QUrl& url) {
    static const QRegularExpression name(QStringLiteral("^windows[12]\\.html$"));
    return name.match(url.fileName()).hasMatch() && url.fragment().size() == 4;
}

}  // namespace

class TestDataFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        UsePrivateSettings(m_Settings);
        BuildPanelCollection(m_Collection.Path());
    }
    void init() {
        m_Messages.Clear();
        m_Expected.clear();
    }

    // Every fault of the table, through the whole window.
    void faultyDataFolder_data() {
        QTest::addColumn<QString>("file");  // empty: the folder itself
        QTest::addColumn<int>("fault");
        QTest::newRow("intact collection") << QString() << -1;
        QTest::newRow("folder missing") << QString() << int(Fault::kDeleted);
        QTest::newRow("folder empty") << QString() << int(Fault::kEmpty);
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(m_Collection.Path())) files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        const std::pair<Fault, const char*> faults[] = {
            {Fault::kDeleted, "deleted"}, {Fault::kEmpty, "emptied"}, {Fault::kHalf, "cut to half"}, {Fault::kRandom, "random bytes"}};
        for (const std::string& file : files)
            for (const auto& [fault, name] : faults)
                QTest::newRow((file + " " + name).c_str()) << QString::fromStdString(file) << int(fault);
    }
    void faultyDataFolder() {
        QFETCH(QString, file);
        QFETCH(int, fault);
        CTempDir data;
        const fs::path folder = data.Path() / "data";
        Outcome outcome;
        if (fault < 0) {
            fs::copy(m_Collection.Path(), folder);
        } else if (file.isEmpty()) {
            if (Fault(fault) == Fault::kEmpty) fs::create_directory(folder);
            outcome = AllClosed();
        } else {
            fs::copy(m_Collection.Path(), folder);
            ApplyFault(folder / file.toStdString(), Fault(fault));
            const std::optional<Outcome> expected = ExpectedOutcome(file.toStdString(), Fault(fault));
            if (!expected) QFAIL(qPrintable(QStringLiteral("no expected outcome for a fault of %1: add it to the table").arg(file)));
            outcome = *expected;
        }

        QTemporaryDir pages;
        {
            CMainFrame frame(TestFrameOptions(pages, QString::fromStdString(folder.string())), &m_Messages);
            // The steps check as they go; the first failure ends the row.
            for (const auto step : {&TestDataFaults::Start, &TestDataFaults::SearchEveryScope,
                                    &TestDataFaults::ReadThroughTheTableOfContents}) {
                (this->*step)(frame, outcome);
                if (QTest::currentTestFailed()) return;
            }
        }
        QCOMPARE(QDir(pages.path()).entryList(QDir::Files), QStringList());
    }

    // The page-file folder becomes a plain file while a result page is shown:
    // searching, opening other results, stepping through the hits and the
    // pages leave the reader on that page, and nothing is said.
    void pageFolderNotWritable() {
        QTemporaryDir temp;
        const QString pages = QDir(temp.path()).filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkdir(pages));
        CFrameOptions options = TestFrameOptions(temp, QString::fromStdString(m_Collection.Path().string()));
        options.tempFolder = pages;
        CMainFrame frame(options, &m_Messages);
        ShowFrame(frame);
        Tree(frame)->setCurrentItem(Panel(frame)->GetTreeItem(kXueEr));
        Search(frame, QStringLiteral("學而"), false);
        Results(frame)->setCurrentItem(Results(frame)->topLevelItem(0));
        CBookView* reader = frame.GetRightPane();
        const QUrl shown = reader->source();
        QVERIFY(IsResultAddress(shown));
        const QString text = reader->toPlainText();
        QVERIFY(text.contains(QStringLiteral("時習之")));

        QVERIFY(QDir(pages).removeRecursively());
        QFile blocker(pages);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        Search(frame, QStringLiteral("學而"), false);
        QCOMPARE(Label(frame, "totalsLabel")->text(), TotalsText(2, 4));
        QCOMPARE(reader->source(), shown);
        Results(frame)->setCurrentItem(Results(frame)->topLevelItem(1));
        QCOMPARE(reader->source(), shown);
        QCOMPARE(Panel(frame)->GetHitCount(), 3);  // still the hits of the page shown
        QTest::keyClick(&frame, Qt::Key_F3);
        QCOMPARE(reader->source().adjusted(QUrl::RemoveFragment), shown.adjusted(QUrl::RemoveFragment));
        QCOMPARE(reader->source().fragment(), QStringLiteral("0001"));
        frame.GetAction(ID_NEXT_PAGE)->trigger();
        QCOMPARE(reader->source().adjusted(QUrl::RemoveFragment), shown.adjusted(QUrl::RemoveFragment));
        QCOMPARE(reader->toPlainText(), text);
        QCOMPARE(m_Messages.Messages(), QStringList());
    }

private:
    // The window opens and the start-up messages come once each.
    void Start(CMainFrame& frame, const Outcome& outcome) {
        ShowFrame(frame);
        QVERIFY(frame.isVisible());
        QVERIFY(Panel(frame));
        if (outcome.scopes[kFull] == Scope::kClosed) m_Expected << kOpenFailed;
        if (outcome.toc == Toc::kMissing) m_Expected << kNoToc;
        QCOMPARE(m_Messages.Messages(), m_Expected);
        QCOMPARE(frame.GetRightPane()->GetLocationURL(), QStringLiteral("about:blank"));
    }

    // 學而 in each scope (Enter first, then the button), 学而 through the
    // variant table, each found result opened and its hits stepped through.
    void SearchEveryScope(CMainFrame& frame, const Outcome& outcome) {
        Search(frame, QStringLiteral("學而"), true);
        CheckSearch(frame, outcome, outcome.scopes[kFull], kPagesFound[kFull], kHitsFound[kFull]);
        if (QTest::currentTestFailed()) return;
        OpenResults(frame, outcome, outcome.scopes[kFull]);
        if (QTest::currentTestFailed()) return;

        Search(frame, QStringLiteral("学而"), false);
        const Scope viaVariants = outcome.scopes[kFull] != Scope::kIntact ? outcome.scopes[kFull]
                                  : outcome.variants == Variants::kIntact ? Scope::kIntact
                                  : outcome.variants == Variants::kLost   ? Scope::kClosed  // finds nothing
                                                                          : Scope::kDamaged;
        CheckSearch(frame, outcome, viaVariants, kPagesFound[kFull], kHitsFound[kFull]);
        if (QTest::currentTestFailed()) return;

        for (const int scope : {kMain, kNotes, kFull}) {
            QTest::mouseClick(frame.findChild<QRadioButton*>(QString::fromLatin1(kScopeButtons[scope])), Qt::LeftButton);
            if (outcome.scopes[size_t(scope)] == Scope::kClosed) m_Expected << kOpenFailed;
            QCOMPARE(m_Messages.Messages(), m_Expected);
            Search(frame, QStringLiteral("學而"), false);
            CheckSearch(frame, outcome, outcome.scopes[size_t(scope)], kPagesFound[scope], kHitsFound[scope]);
            if (QTest::currentTestFailed()) return;
            OpenResults(frame, outcome, outcome.scopes[size_t(scope)]);
            if (QTest::currentTestFailed()) return;
        }
    }

    // The totals of a search as far as the fault lets it run; without a
    // table of contents there is no range to search in.
    void CheckSearch(CMainFrame& frame, const Outcome& outcome, Scope scope, int pages, int hits) {
        const QString totals = Label(frame, "totalsLabel")->text();
        if (outcome.toc == Toc::kEmpty || outcome.toc == Toc::kMissing) {
            m_Expected << kNoRange;
            QCOMPARE(totals, QStringLiteral("検索集計："));
            QCOMPARE(Results(frame)->RowCount(), 0);
        } else if (scope == Scope::kClosed) {
            QCOMPARE(totals, TotalsText(0, 0));
            QCOMPARE(Results(frame)->RowCount(), 0);
        } else if (scope == Scope::kIntact) {
            QCOMPARE(totals, TotalsText(pages, hits));
        } else {
            QVERIFY2(totals.startsWith(QStringLiteral("全部で ")), qPrintable(totals));
        }
        QCOMPARE(m_Messages.Messages(), m_Expected);
    }

    // Opens the first rows and steps through their hits: a page the store
    // can read is shown at its first hit; one it cannot read leaves the reader
    // on its page.
    void OpenResults(CMainFrame& frame, const Outcome& outcome, Scope scope) {
        CSortListCtrl* results = Results(frame);
        CBookView* reader = frame.GetRightPane();
        for (int row = 0; row < std::min(results->RowCount(), 3); ++row) {
            const QUrl before = reader->source();
            results->setCurrentItem(results->topLevelItem(row));
            const QUrl after = reader->source();
            if (scope == Scope::kDamaged) {
                QVERIFY(after == before || IsResultAddress(after));
            } else if (outcome.pages == Pages::kNone) {
                QCOMPARE(after, before);
            } else {
                QVERIFY2(IsResultAddress(after), qPrintable(after.toString()));
                QCOMPARE(after.fragment(), QStringLiteral("0000"));
            }
            for (const auto& key : {std::pair{Qt::Key_F3, Qt::NoModifier}, std::pair{Qt::Key_F3, Qt::NoModifier},
                                    std::pair{Qt::Key_F3, Qt::AltModifier}}) {
                QTest::keyClick(&frame, key.first, key.second);
                if (Panel(frame)->GetHitCount() > 0)
                    QCOMPARE(reader->source().fragment(), QString::asprintf("%04d", Panel(frame)->GetCurrentHit()));
            }
        }
        QCOMPARE(m_Messages.Messages(), m_Expected);
    }

    // Clicks a category and a volume in the tree, then steps through the
    // pages and the volumes; the last page of the long volume lies in the
    // second half of the store files. Nothing is said on the way.
    void ReadThroughTheTableOfContents(CMainFrame& frame, const Outcome& outcome) {
        frame.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(CLeftForm::kTocTab);
        QTreeWidget* tree = Tree(frame);
        CLeftForm* panel = Panel(frame);
        const bool storeOpen = outcome.scopes[kFull] != Scope::kClosed;
        const bool firstPagesShown = storeOpen && outcome.pages != Pages::kNone;
        if (outcome.toc == Toc::kEmpty || outcome.toc == Toc::kMissing) {
            QCOMPARE(tree->topLevelItemCount(), 0);
            for (const int id : {ID_PREV_PAGE, ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME})
                QVERIFY(!frame.GetAction(id)->isEnabled());
        } else {
            tree->expandAll();
            ClickTreeItem(tree, panel->GetTreeItem(kJingBu));
            QCOMPARE(panel->GetScopeItem(), kJingBu);
            ClickTreeItem(tree, panel->GetTreeItem(kXueEr));
            QCOMPARE(panel->GetCurrentNode(), kXueEr);
            CheckTocPage(frame, outcome, firstPagesShown, QStringLiteral("學而時習之"));
            for (const int id : {ID_NEXT_PAGE, ID_NEXT_PAGE, ID_PREV_PAGE}) {
                frame.GetAction(id)->trigger();
                CheckTocPage(frame, outcome, firstPagesShown, QString());
            }
            for (int steps = 0; frame.GetAction(ID_NEXT_VOLUME)->isEnabled() && steps < 10; ++steps) {
                frame.GetAction(ID_NEXT_VOLUME)->trigger();
                CheckTocPage(frame, outcome, firstPagesShown, QString());
            }
            if (panel->GetCurrentNode() == kDuo) {
                emit frame.GetToolBar()->GetSlider()->ScrollEnded(kDuoLastPrintedPage);
                const bool lastPageShown = storeOpen && (outcome.pages == Pages::kAll || outcome.pages == Pages::kGarbled);
                CheckTocPage(frame, outcome, lastPageShown, QStringLiteral("多學"));
            }
            frame.GetAction(ID_PREV_VOLUME)->trigger();
            CheckTocPage(frame, outcome, firstPagesShown, QString());
        }
        QCOMPARE(m_Messages.Messages(), m_Expected);
    }

    // The reader shows windows.html (with text, when the store is whole) or,
    // for a page the store cannot give, "about:blank".
    static void CheckTocPage(CMainFrame& frame, const Outcome& outcome, bool shown, const QString& text) {
        CBookView* reader = frame.GetRightPane();
        if (!shown) {
            QCOMPARE(reader->GetLocationURL(), QStringLiteral("about:blank"));
            return;
        }
        QCOMPARE(reader->source().fileName(), QStringLiteral("windows.html"));
        if (outcome.pages == Pages::kAll && !text.isEmpty()) QVERIFY(reader->toPlainText().contains(text));
    }

    static void ClickTreeItem(QTreeWidget* tree, QTreeWidgetItem* item) {
        QVERIFY(item);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        QCOMPARE(tree->currentItem(), item);
    }

    // Types keyword on "検索" and presses Enter in the box or the search button.
    static void Search(CMainFrame& frame, const QString& keyword, bool enter) {
        frame.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(CLeftForm::kSearchTab);
        auto* box = frame.findChild<QLineEdit*>(QStringLiteral("keywordBox"));
        box->setText(keyword);
        if (enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(frame.findChild<QPushButton*>(QStringLiteral("searchButton")), Qt::LeftButton);
    }

    static void ShowFrame(CMainFrame& frame) {
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
    }

    static CLeftForm* Panel(CMainFrame& frame) { return qobject_cast<CLeftForm*>(frame.GetLeftForm()); }
    static QTreeWidget* Tree(CMainFrame& frame) { return frame.findChild<QTreeWidget*>(QStringLiteral("toc")); }
    static CSortListCtrl* Results(CMainFrame& frame) { return frame.findChild<CSortListCtrl*>(QStringLiteral("results")); }
    static QLabel* Label(CMainFrame& frame, const char* name) {
        return frame.findChild<QLabel*>(QString::fromLatin1(name));
    }

    QTemporaryDir m_Settings;
    CTempDir m_Collection;
    CRecordingMessageSink m_Messages;
    QStringList m_Expected;  // every message the current row must have shown, in order
};

QTEST_MAIN(TestDataFaults)
#include "test_datafaults.moc"
