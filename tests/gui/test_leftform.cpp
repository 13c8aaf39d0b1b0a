// The search panel on a small built collection, with a recording reader,
// page controls and message sink: the tabs and their layout, the table of
// contents, the search with its options and messages, the results list and
// its list pages, the opening of results, the reading navigation and the
// clean-up of the page files.
#include <memory>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panel/tooltipresourcebutton.h"
#include "panelfixture.h"

using Step = CReadingState::Step;

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 600;

// Records of the panel collection.
constexpr int kJingBu = 1, kLunYu = 2, kXueEr = 3, kWeiZheng = 4, kMengZi = 5, kLiangHuiWang = 6, kJiBu = 7,
              kFeng = 9, kChang = 10, kDuo = 11;

}  // namespace

class TestLeftForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_Cache.path()));
        BuildPanelCollection(m_Data.Path());
    }
    void init() { m_Rig = std::make_unique<CPanelRig>(); }
    void cleanup() {
        m_Form.reset();
        m_Rig.reset();
    }

    // The panel starts on "目録" with the tree filling the tab and every
    // search control hidden; the tree holds one item per record with its
    // record index as data and the node icons.
    void startsOnTheTableOfContents() {
        CLeftForm& form = MakeForm();
        QVERIFY(m_Rig->messages.Messages().isEmpty());
        QCOMPARE(Tabs()->currentIndex(), CLeftForm::kTocTab);
        QCOMPARE(Tabs()->tabText(0), QStringLiteral("目録"));
        QCOMPARE(Tabs()->tabText(1), QStringLiteral("検索"));
        QVERIFY(Tree()->isVisible());
        QCOMPARE(Tree()->geometry(), QRect(5, 26, kWidth - 10, kHeight - 30));
        for (const char* name : {"keywordBox", "searchButton", "results", "scopeLabel", "totalsLabel", "prevListPage"})
            QVERIFY2(!form.findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), name);

        QCOMPARE(Tree()->topLevelItemCount(), 2);
        QTreeWidgetItem* xueEr = form.GetTreeItem(kXueEr);
        QCOMPARE(xueEr->text(0), QStringLiteral("學而"));
        QCOMPARE(xueEr->data(0, Qt::UserRole).toInt(), kXueEr);
        QCOMPARE(xueEr->parent(), form.GetTreeItem(kLunYu));
        QCOMPARE(form.GetTreeItem(kDuo)->parent()->parent(), form.GetTreeItem(kJiBu));
        QCOMPARE(Tree()->iconSize(), QSize(20, 20));
        QVERIFY(!xueEr->icon(0).pixmap(20, 20, QIcon::Normal).isNull());
        QVERIFY(xueEr->icon(0).pixmap(20, 20, QIcon::Normal).toImage() !=
                xueEr->icon(0).pixmap(20, 20, QIcon::Selected).toImage());
        QCOMPARE(form.font().pointSize(), 11);
        QCOMPARE(form.GetCurrentNode(), 0);
        QCOMPARE(m_Rig->reader.m_Addresses, QStringList());
    }

    // "検索" shows the search controls in their places (panel width 300: "or"
    // at x 230), the labels' first texts, the scope label in red and the
    // results list from y 268 to the bottom while there are no list pages;
    // "句読点を無視" stands under the variant box, unchecked.
    void searchTabLayout() {
        CLeftForm& form = MakeForm();
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        QVERIFY(!Tree()->isVisible());
        const struct {
            const char* name;
            QRect rect;
        } placements[] = {
            {"prompt", {5, 28, 290, 15}},        {"keywordBox", {5, 45, 240, 25}}, {"searchButton", {250, 45, 45, 25}},
            {"variants", {5, 80, 285, 15}},      {"punctuation", {5, 98, 285, 15}},
            {"andButton", {10, 133, 50, 20}},    {"orButton", {230, 133, 50, 20}},
            {"fullButton", {10, 178, 60, 20}},   {"mainButton", {97, 178, 60, 20}}, {"notesButton", {189, 178, 60, 20}},
            {"scopeLabel", {10, 223, 270, 20}},  {"totalsLabel", {5, 253, 285, 15}}, {"results", {5, 268, 290, 328}},
        };
        for (const auto& p : placements) {
            QWidget* control = form.findChild<QWidget*>(QString::fromLatin1(p.name));
            QVERIFY2(control->isVisible(), p.name);
            QCOMPARE(control->geometry(), p.rect);
        }
        for (const char* name : {"prevListPage", "nextListPage", "listPageEdit", "listPageCount"})
            QVERIFY2(!form.findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), name);
        QCOMPARE(Label("prompt")->text(), QStringLiteral("キーワードを入力して下さい。"));
        QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("searchButton"))->text(), QStringLiteral("検索"));
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("検索集計："));
        QCOMPARE(Label("scopeLabel")->text(), QStringLiteral("經部"));  // the first entry is the range at first
        QCOMPARE(Label("scopeLabel")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(Label("totalsLabel")->palette().color(QPalette::WindowText) != QColor(Qt::red));
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("variants"))->isChecked());
        QCOMPARE(form.findChild<QCheckBox*>(QStringLiteral("punctuation"))->text(), QStringLiteral("句読点を無視"));
        QVERIFY(!form.findChild<QCheckBox*>(QStringLiteral("punctuation"))->isChecked());
        QVERIFY(Radio("andButton")->isChecked());
        QVERIFY(Radio("fullButton")->isChecked());
        QCOMPARE(Results()->headerItem()->text(3), QStringLiteral("頁"));
        QCOMPARE(Results()->columnWidth(0), 45);
        QCOMPARE(Results()->columnWidth(1), 80);

        Tabs()->setCurrentIndex(CLeftForm::kTocTab);
        QVERIFY(Tree()->isVisible());
        QVERIFY(!Results()->isVisible());
    }

    // Selecting a volume makes it the range and the volume read: the reader
    // shows its first page from windows.html, the slider covers its printed
    // pages and the page label reads header word / page.
    void selectingAVolumeShowsItsFirstPage() {
        CLeftForm& form = MakeForm();
        Select(kWeiZheng);
        QCOMPARE(form.GetScopeItem(), kWeiZheng);
        QCOMPARE(Label("scopeLabel")->text(), QStringLiteral("經部\\論語\\為政"));
        QCOMPARE(form.GetCurrentNode(), kWeiZheng);
        QCOMPARE(form.GetCurrentPage(), 1);
        QCOMPARE(m_Rig->reader.m_Addresses, QStringList{form.GetTocFile()});
        QCOMPARE(QFileInfo(form.GetTocFile()).fileName(), QStringLiteral("windows.html"));
        QCOMPARE(QFileInfo(form.GetTocFile()).absolutePath(), QFileInfo(m_Rig->tempFolder.path()).absoluteFilePath());
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("為政以德")));
        QCOMPARE(m_Rig->pageControls.m_nMin, 1);
        QCOMPARE(m_Rig->pageControls.m_nMax, 2);
        QCOMPARE(m_Rig->pageControls.m_nPos, 1);
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/1"));
        QVERIFY(m_Rig->stateReports > 0);
    }

    // Selecting a book or a category changes the range and its label only.
    void selectingABookKeepsThePage() {
        CLeftForm& form = MakeForm();
        Select(kXueEr);
        Select(kLunYu);
        QCOMPARE(form.GetScopeItem(), kLunYu);
        QCOMPARE(Label("scopeLabel")->text(), QStringLiteral("經部\\論語"));
        QCOMPARE(m_Rig->reader.m_Addresses.size(), 1);
        QCOMPARE(form.GetCurrentNode(), kXueEr);
        Select(kJiBu);
        QCOMPARE(Label("scopeLabel")->text(), QStringLiteral("集部"));
        QCOMPARE(m_Rig->reader.m_Addresses.size(), 1);
    }

    // The listing goes to the user's cache folder, books indented by one tab
    // and volumes by two; a cache folder that cannot be made costs only it.
    void listingInTheCacheFolder() {
        MakeForm();
        const QString listing = QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("vrn.txt"));
        const QStringList lines = ReadText(listing).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 11);
        QVERIFY(lines[0].startsWith(QStringLiteral("name=經部\tdocID=1\tdocNo=6\t")));
        QVERIFY(lines[1].startsWith(QStringLiteral("\tname=論語")));
        QVERIFY(lines[2].startsWith(QStringLiteral("\t\tname=學而\tdocID=1\tdocNo=3")));
        m_Form.reset();

        QTemporaryDir blocked;
        const QString notAFolder = QDir(blocked.path()).filePath(QStringLiteral("file"));
        QFile(notAFolder).open(QIODevice::WriteOnly);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(notAFolder));
        CLeftForm& form = MakeForm();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_Cache.path()));
        QVERIFY(m_Rig->messages.Messages().isEmpty());
        QCOMPARE(form.GetTableOfContents().NodeCount(), 12);
    }

    // Without vrn.dir the user is told, the tree stays empty and a search has
    // no range to run in.
    void missingTableOfContents() {
        CTempDir data;
        for (const auto& entry : std::filesystem::directory_iterator(m_Data.Path()))
            if (entry.path().filename() != "vrn.dir") std::filesystem::copy(entry.path(), data.Path() / entry.path().filename());
        CLeftForm& form = MakeForm(data.Path());
        QCOMPARE(m_Rig->messages.Messages(), QStringList{QStringLiteral("you delete data file!")});
        QCOMPARE(Tree()->topLevelItemCount(), 0);
        Search(QStringLiteral("學而"));
        QCOMPARE(m_Rig->messages.Messages().last(), QStringLiteral("検索範囲をまた指定していません。"));
        QVERIFY(form.GetResults().empty());
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("検索集計："));
    }

    // Searches with their options and ranges: the totals, the rows in order
    // of the printed page, and the columns of the first row.
    void searches_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("range");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<bool>("any");
        QTest::addColumn<bool>("variants");
        QTest::addColumn<QString>("totals");
        QTest::addColumn<QList<int>>("pages");
        const QString full = QStringLiteral("fullButton");
        QTest::newRow("and") << QStringLiteral("學而") << kJingBu << full << false << true
                             << QStringLiteral("全部で 3 頁で、5 箇所でした。") << QList<int>{0, 3, 1};
        QTest::newRow("and, two words") << QStringLiteral("學而 不慍") << kJingBu << full << false << true
                                        << QStringLiteral("全部で 0 頁で、0 箇所でした。") << QList<int>{};
        QTest::newRow("or, two words") << QStringLiteral("學而 不慍") << kJingBu << full << true << true
                                       << QStringLiteral("全部で 4 頁で、6 箇所でした。") << QList<int>{0, 3, 1, 2};
        QTest::newRow("or, ideographic space") << QStringLiteral("學而　不慍") << kJingBu << full << true << true
                                               << QStringLiteral("全部で 4 頁で、6 箇所でした。") << QList<int>{0, 3, 1, 2};
        QTest::newRow("main text") << QStringLiteral("學而") << kJingBu << QStringLiteral("mainButton") << false << true
                                   << QStringLiteral("全部で 2 頁で、4 箇所でした。") << QList<int>{0, 3};
        QTest::newRow("annotations") << QStringLiteral("學而") << kJingBu << QStringLiteral("notesButton") << false << true
                                     << QStringLiteral("全部で 1 頁で、1 箇所でした。") << QList<int>{1};
        QTest::newRow("volume range") << QStringLiteral("學而") << kXueEr << full << false << true
                                      << QStringLiteral("全部で 2 頁で、4 箇所でした。") << QList<int>{0, 1};
        QTest::newRow("range without hits") << QStringLiteral("學而") << kMengZi << full << false << true
                                            << QStringLiteral("全部で 0 頁で、0 箇所でした。") << QList<int>{};
        QTest::newRow("variant") << QStringLiteral("学而") << kJingBu << full << false << true
                                 << QStringLiteral("全部で 3 頁で、5 箇所でした。") << QList<int>{0, 3, 1};
        QTest::newRow("variant off") << QStringLiteral("学而") << kJingBu << full << false << false
                                     << QStringLiteral("全部で 0 頁で、0 箇所でした。") << QList<int>{};
    }
    void searches() {
        QFETCH(QString, keyword);
        QFETCH(int, range);
        QFETCH(QString, scope);
        QFETCH(bool, any);
        QFETCH(bool, variants);
        QFETCH(QString, totals);
        QFETCH(QList<int>, pages);
        CLeftForm& form = MakeForm();
        Select(range);
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        QTest::mouseClick(Radio(scope), Qt::LeftButton);
        QTest::mouseClick(Radio(any ? QStringLiteral("orButton") : QStringLiteral("andButton")), Qt::LeftButton);
        if (!variants) QTest::mouseClick(form.findChild<QCheckBox*>(QStringLiteral("variants")), Qt::LeftButton);
        Search(keyword);
        QVERIFY(m_Rig->messages.Messages().isEmpty());
        QCOMPARE(Label("totalsLabel")->text(), totals);
        QList<int> listed;
        for (int row = 0; row < Results()->RowCount(); ++row) listed << Results()->ItemData(row);
        QCOMPARE(listed, pages);
        QCOMPARE(PagerVisible(), !pages.isEmpty());
        if (range == kJingBu && !pages.isEmpty() && pages[0] == 0) {
            QCOMPARE(Results()->RowText(0, 0), QStringLiteral("經部"));
            QCOMPARE(Results()->RowText(0, 1), QStringLiteral("論語"));
            QCOMPARE(Results()->RowText(0, 2), QStringLiteral("學而"));
            QCOMPARE(Results()->RowText(0, 3), QStringLiteral("1"));
            QCOMPARE(Results()->RowText(1, 2), QStringLiteral("為政"));
        }
        QVERIFY(!QGuiApplication::overrideCursor());  // the busy cursor went with the search
    }

    // "句読点を無視" starts as the frame says and reports each change; checked,
    // the search drops the query's punctuation and lets punctuation stand
    // inside a phrase, and the hit page marks the same words.
    void ignoresPunctuationWhenChecked() {
        QList<bool> changes;
        CPanelServices services = m_Rig->Services(m_Data.Path());
        services.ignorePunctuationChanged = [&changes](bool on) { changes << on; };
        m_Form = std::make_unique<CLeftForm>(services);
        m_Form->resize(kWidth, kHeight);
        m_Form->show();
        QCheckBox* box = m_Form->findChild<QCheckBox*>(QStringLiteral("punctuation"));
        Search(QStringLiteral("學而，時習"));  // the full-width comma is a character to the exact search
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 0 頁で、0 箇所でした。"));
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));  // on the box, not past its text
        QCOMPARE(changes, QList<bool>{true});
        Search(QStringLiteral("學而，時習"));
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 1 頁で、1 箇所でした。"));
        OpenResultOf(0);
        QVERIFY(ReadText(m_Form->GetResultFile()).contains(QStringLiteral("<b style='color:red;background:#D9D9D9;'>學而時習</b>")));
        services.ignorePunctuation = true;
        m_Form = std::make_unique<CLeftForm>(services);
        QVERIFY(m_Form->findChild<QCheckBox*>(QStringLiteral("punctuation"))->isChecked());
    }

    // A query the index rejects finds nothing, rather than listing the
    // previous search's pages again.
    void rejectedQueryFindsNothing() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        QCOMPARE(int(form.GetResults().size()), 3);
        Search(QStringLiteral("abc"));
        QVERIFY(m_Rig->messages.Messages().isEmpty());
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 0 頁で、0 箇所でした。"));
        QCOMPARE(Results()->RowCount(), 0);
        QVERIFY(!PagerVisible());
    }

    // An empty box ends a search silently; no range and a keyword of spaces
    // are told; none of them touches the previous results.
    void searchesThatDoNotRun() {
        CLeftForm& form = MakeForm();
        Search(QString());
        QVERIFY(m_Rig->messages.Messages().isEmpty());
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("検索集計："));

        Search(QStringLiteral("學而"));
        QCOMPARE(Results()->RowCount(), 3);
        Search(QStringLiteral(" 　 "));
        QCOMPARE(m_Rig->messages.Messages(), QStringList{QStringLiteral("何かキーワードを入力して検索をして下さい。")});
        QCOMPARE(form.GetKeyword(), QStringLiteral("學而"));
        QCOMPARE(Results()->RowCount(), 3);

        Select(kLunYu);
        Tree()->clearSelection();  // no entry chosen: no range
        QCOMPARE(form.GetScopeItem(), 0);
        Search(QStringLiteral("不慍"));
        QCOMPARE(m_Rig->messages.Messages().last(), QStringLiteral("検索範囲をまた指定していません。"));
        QCOMPARE(Results()->RowCount(), 3);
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 3 頁で、5 箇所でした。"));
    }

    // 250 entries make three list pages: "/3", the buttons' states at both
    // ends, 100, 100 and 50 rows, and the page box's placement.
    void listPages() {
        CLeftForm& form = MakeForm();
        Select(kChang);
        Search(QStringLiteral("學"));
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 250 頁で、250 箇所でした。"));
        QVERIFY(PagerVisible());
        QCOMPARE(Label("listPageCount")->text(), QStringLiteral("/3"));
        QCOMPARE(PageEdit()->text(), QStringLiteral("1"));
        QCOMPARE(PageEdit()->geometry().x(), 117);
        QCOMPARE(Results()->geometry(), QRect(5, 268, 290, kHeight - 272 - 34));
        QCOMPARE(PrevButton()->geometry(), QRect(5, kHeight - 37, 32, 32));
        QCOMPARE(NextButton()->geometry().x(), kWidth - 37);
        QCOMPARE(PrevButton()->toolTip(), QStringLiteral("Previous Page"));
        QCOMPARE(NextButton()->toolTip(), QStringLiteral("Next Page"));
        QCOMPARE(Results()->RowCount(), 100);
        QVERIFY(!PrevButton()->isEnabled());
        QVERIFY(NextButton()->isEnabled());
        QCOMPARE(Results()->RowText(0, 3), QStringLiteral("1"));

        QTest::mouseClick(NextButton(), Qt::LeftButton);
        QCOMPARE(PageEdit()->text(), QStringLiteral("2"));
        QCOMPARE(Results()->RowText(0, 3), QStringLiteral("101"));
        QVERIFY(PrevButton()->isEnabled());
        QTest::mouseClick(NextButton(), Qt::LeftButton);
        QCOMPARE(Results()->RowCount(), 50);
        QVERIFY(!NextButton()->isEnabled());
        QVERIFY(PrevButton()->isEnabled());
        QCOMPARE(form.GetListPager().Page(), 3);
        QTest::mouseClick(PrevButton(), Qt::LeftButton);
        QCOMPARE(Results()->RowText(0, 3), QStringLiteral("101"));
    }

    // The page box: a number outside the list pages, or none, is replaced by
    // the current one when the box loses the focus; Enter in it applies the
    // number, and so does Enter elsewhere in the panel (not in the keyword
    // box) while there are several list pages.
    void pageBoxAndEnter() {
        CLeftForm& form = MakeForm();
        Select(kChang);
        Search(QStringLiteral("學"));
        for (const QString& typed : {QStringLiteral("0"), QStringLiteral("4"), QString()}) {
            PageEdit()->setFocus();
            PageEdit()->setText(typed);
            form.findChild<QLineEdit*>(QStringLiteral("keywordBox"))->setFocus();
            QCOMPARE(PageEdit()->text(), QStringLiteral("1"));
            QCOMPARE(Results()->RowText(0, 3), QStringLiteral("1"));
        }
        QVERIFY(PageEdit()->validator());
        PageEdit()->setText(QStringLiteral("3"));
        QTest::keyClick(PageEdit(), Qt::Key_Return);
        QCOMPARE(form.GetListPager().Page(), 3);
        QCOMPARE(Results()->RowCount(), 50);

        PageEdit()->setText(QStringLiteral("2"));
        QTest::keyClick(Results(), Qt::Key_Return);
        QCOMPARE(form.GetListPager().Page(), 2);
        QCOMPARE(form.GetKeyword(), QStringLiteral("學"));
    }

    // After a search with three list pages, a new keyword and Enter in the
    // keyword box searches it; the page box's number does not stand in its way.
    void enterInKeywordBoxAlwaysSearches() {
        CLeftForm& form = MakeForm();
        Select(kChang);
        Search(QStringLiteral("學"));
        QCOMPARE(form.GetListPager().PageCount(), 3);
        QLineEdit* keyword = form.findChild<QLineEdit*>(QStringLiteral("keywordBox"));
        keyword->setText(QStringLiteral("多學"));
        PageEdit()->setText(QStringLiteral("2"));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(form.GetKeyword(), QStringLiteral("多學"));
        QCOMPARE(form.GetListPager().Page(), 1);
        QCOMPARE(int(form.GetResults().size()), 250);
    }

    // With one list page the buttons are off and the box is read-only, and
    // Enter anywhere in the panel searches, once per key press.
    void enterWithOneListPage() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        QVERIFY(PagerVisible());
        QCOMPARE(Label("listPageCount")->text(), QStringLiteral("/1"));
        QCOMPARE(PageEdit()->text(), QStringLiteral("1"));
        QVERIFY(PageEdit()->isReadOnly());
        QVERIFY(!PrevButton()->isEnabled());
        QVERIFY(!NextButton()->isEnabled());

        QLineEdit* keyword = form.findChild<QLineEdit*>(QStringLiteral("keywordBox"));
        keyword->setText(QStringLiteral("不慍"));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(Label("totalsLabel")->text(), QStringLiteral("全部で 1 頁で、1 箇所でした。"));
        keyword->setText(QStringLiteral(" "));
        QTest::keyClick(Radio(QStringLiteral("andButton")), Qt::Key_Enter);  // from any control, keypad Enter too
        QCOMPARE(m_Rig->messages.Messages(), QStringList{QStringLiteral("何かキーワードを入力して検索をして下さい。")});
    }

    // Opening rows: the page goes to windows1.html and windows2.html in turn,
    // the reader shows it at "#0000", and the hit count is the number of
    // anchors in the file; arrow keys open rows like clicks.
    void openingResults() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        Results()->setCurrentItem(Results()->topLevelItem(0));
        const QString first = form.GetHitFile1();
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("windows1.html"));
        QCOMPARE(m_Rig->reader.m_Addresses.last(), first + QStringLiteral("#0000"));
        QCOMPARE(form.GetResultFile(), first);
        QCOMPARE(form.GetHitCount(), 3);
        QCOMPARE(CountAnchors(first), 3);
        QVERIFY(ReadText(first).contains(QStringLiteral("時習之")));

        Results()->setFocus();
        QTest::keyClick(Results(), Qt::Key_Down);
        const QString second = form.GetHitFile2();
        QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("windows2.html"));
        QCOMPARE(m_Rig->reader.m_Addresses.last(), second + QStringLiteral("#0000"));
        QCOMPARE(form.GetHitCount(), 1);
        QCOMPARE(CountAnchors(second), 1);
        QVERIFY(ReadText(second).contains(QStringLiteral("為政以德")));
        QVERIFY(ReadText(first).contains(QStringLiteral("時習之")));  // the page before stays in the other file

        QTest::keyClick(Results(), Qt::Key_Down);
        QCOMPARE(m_Rig->reader.m_Addresses.last(), first + QStringLiteral("#0000"));
        QVERIFY(ReadText(first).contains(QStringLiteral("有朋自遠方來")));
        QCOMPARE(m_Rig->reader.m_Addresses.size(), 3);
    }

    // A scope switch keeps the listed entries; a result opened afterwards is
    // marked in the new scope only.
    void scopeSwitchMarksInTheNewScope() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        const int annotated = 2;  // page 1: 學而 only in an annotation
        QCOMPARE(Results()->ItemData(annotated), 1);
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        QTest::mouseClick(Radio(QStringLiteral("mainButton")), Qt::LeftButton);
        QCOMPARE(form.GetScopeCode(), 1);
        QCOMPARE(Results()->RowCount(), 3);
        Results()->setCurrentItem(Results()->topLevelItem(annotated));
        QCOMPARE(form.GetHitCount(), 0);
        QTest::mouseClick(Radio(QStringLiteral("notesButton")), Qt::LeftButton);
        QCOMPARE(form.GetScopeCode(), 2);
        Results()->setCurrentItem(Results()->topLevelItem(0));
        Results()->setCurrentItem(Results()->topLevelItem(annotated));
        QCOMPARE(form.GetHitCount(), 1);
        QVERIFY(m_Rig->messages.Messages().isEmpty());
    }

    // F3 and Alt+F3 over a page of three hits: anchors 1 and 2, then no
    // further; back to 0, then no further. A new search resets the hit.
    void hitSteps() {
        CLeftForm& form = MakeForm();
        QVERIFY(!form.CanStep(Step::kNextHit));
        QVERIFY(!form.CanStep(Step::kPrevHit));
        Search(QStringLiteral("學而"));
        Results()->setCurrentItem(Results()->topLevelItem(0));
        const QString file = form.GetResultFile();
        QVERIFY(!form.CanStep(Step::kPrevHit));
        for (const char* anchor : {"#0001", "#0002"}) {
            QVERIFY(form.CanStep(Step::kNextHit));
            form.RunStep(Step::kNextHit);
            QCOMPARE(m_Rig->reader.m_Addresses.last(), file + QString::fromLatin1(anchor));
        }
        QVERIFY(!form.CanStep(Step::kNextHit));
        for (const char* anchor : {"#0001", "#0000"}) {
            QVERIFY(form.CanStep(Step::kPrevHit));
            form.RunStep(Step::kPrevHit);
            QCOMPARE(m_Rig->reader.m_Addresses.last(), file + QString::fromLatin1(anchor));
        }
        QVERIFY(!form.CanStep(Step::kPrevHit));
        form.RunStep(Step::kNextHit);
        Search(QStringLiteral("學而"));
        QCOMPARE(form.GetCurrentHit(), 0);
        QCOMPARE(form.GetHitCount(), 3);
    }

    // Opening a result makes its volume and printed page the reading
    // position, whatever the tree chose before: the page step goes on from the
    // hit, the slider and the page label follow, and the hit steps end once
    // another page is shown. The tree's selection and the range stay.
    void readingOnFromAResult() {
        CLeftForm& form = MakeForm();
        Select(kWeiZheng);
        Select(kLunYu);
        Search(QStringLiteral("學而"));
        OpenResultOf(0);  // 學而, printed page 1, three hits
        QCOMPARE(form.GetCurrentNode(), kXueEr);
        QCOMPARE(form.GetCurrentPage(), 1);
        QCOMPARE(m_Rig->pageControls.m_nMin, 1);
        QCOMPARE(m_Rig->pageControls.m_nMax, 3);
        QCOMPARE(m_Rig->pageControls.m_nPos, 1);
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/1"));
        QVERIFY(form.CanStep(Step::kNextHit));
        QVERIFY(!form.CanStep(Step::kPrevPage));

        form.RunStep(Step::kNextPage);
        QCOMPARE(m_Rig->reader.m_Addresses.last(), form.GetTocFile());
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("有朋自遠方來")));
        QCOMPARE(m_Rig->pageControls.m_nPos, 2);
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/2"));
        QVERIFY(!form.CanStep(Step::kNextHit));  // the hits are no longer shown
        QCOMPARE(SelectedRecord(), kLunYu);
        QCOMPARE(form.GetScopeItem(), kLunYu);

        OpenResultOf(3);  // 為政, printed page 1: another volume
        QCOMPARE(form.GetCurrentNode(), kWeiZheng);
        QCOMPARE(m_Rig->pageControls.m_nMax, 2);
        form.RunStep(Step::kNextPage);
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("譬如北辰")));
    }

    // With no volume read before, a result opened still gives the page and
    // volume steps a place to go on from.
    void resultOpenedWithoutAVolume() {
        CLeftForm& form = MakeForm();
        QCOMPARE(form.GetCurrentNode(), 0);
        Search(QStringLiteral("學而"));
        OpenResultOf(1);  // 學而, printed page 2
        QCOMPARE(form.GetCurrentNode(), kXueEr);
        QCOMPARE(form.GetCurrentPage(), 2);
        for (const Step step : {Step::kPrevPage, Step::kNextPage, Step::kNextVolume})
            QVERIFY(form.CanStep(step));
    }

    // The reader is told which template cell holds the text: the second on
    // odd printed pages, the first on even ones.
    void hitPageTextCellFollowsTheParity_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("textCell");
        QTest::newRow("printed page 1") << 0 << 1;
        QTest::newRow("printed page 2") << 1 << 0;
    }
    void hitPageTextCellFollowsTheParity() {
        QFETCH(int, page);
        QFETCH(int, textCell);
        MakeForm();
        Search(QStringLiteral("學而"));
        OpenResultOf(page);
        QCOMPARE(m_Rig->reader.m_nTextCell, textCell);
    }

    // Switching tabs gives the focus to the tab's first control, also when a
    // control of the other tab had it.
    void tabSwitchFocusesTheFirstControl() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        Results()->setFocus();
        QTest::keyClick(Tabs()->tabBar(), Qt::Key_Left);
        QCOMPARE(Tabs()->currentIndex(), CLeftForm::kTocTab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Tree()));
        QTest::mouseClick(Tabs()->tabBar(), Qt::LeftButton, {}, Tabs()->tabBar()->tabRect(CLeftForm::kSearchTab).center());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.findChild<QLineEdit*>(QStringLiteral("keywordBox"))));
    }

    // Page steps inside a volume, stopping at its ends; the slider and the
    // page label follow. Letting go of the slider shows that one page.
    void pageStepsAndSlider() {
        CLeftForm& form = MakeForm();
        for (const Step step : {Step::kPrevPage, Step::kNextPage, Step::kPrevVolume, Step::kNextVolume})
            QVERIFY(!form.CanStep(step));
        form.OnSliderRelease(2);  // no volume: nothing
        QVERIFY(m_Rig->reader.m_Addresses.isEmpty());
        QCOMPARE(form.GetCurrentPage(), 0);

        Select(kXueEr);
        QVERIFY(!form.CanStep(Step::kPrevPage));
        QVERIFY(form.CanStep(Step::kNextPage));
        form.RunStep(Step::kNextPage);
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("有朋自遠方來")));
        QCOMPARE(m_Rig->pageControls.m_nPos, 2);
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/2"));
        form.RunStep(Step::kNextPage);
        QCOMPARE(form.GetCurrentPage(), 3);
        QVERIFY(!form.CanStep(Step::kNextPage));
        form.RunStep(Step::kNextPage);  // past the end: nothing
        QCOMPARE(form.GetCurrentPage(), 3);
        QVERIFY(form.CanStep(Step::kPrevPage));
        form.RunStep(Step::kPrevPage);
        QCOMPARE(form.GetCurrentPage(), 2);

        const int shown = m_Rig->reader.m_Addresses.size();
        form.OnSliderRelease(1);
        QCOMPARE(m_Rig->reader.m_Addresses.size(), shown + 1);
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("時習之")));
        QCOMPARE(form.GetCurrentPage(), 1);
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/1"));
    }

    // A printed page the volume does not hold shows nothing, rather than some
    // page of a later volume.
    void missingPrintedPageShowsNothing() {
        CLeftForm& form = MakeForm();
        Select(kXueEr);
        form.ShowTocPage(kXueEr, 0, 5);
        QCOMPARE(m_Rig->reader.m_Addresses.last(), QStringLiteral("about:blank"));
        form.ShowTocPage(kWeiZheng, 0, 3);
        QCOMPARE(m_Rig->reader.m_Addresses.last(), QStringLiteral("about:blank"));
    }

    // Volume steps in record order, with the tree moving to its neighbour:
    // the next sibling, or the first child of the parent's next sibling; from
    // the last volume of a category's last book the reader shows the next
    // category's first volume while the tree selects the first top-level
    // entry. At both ends the step is off and, run all the same, says so.
    void volumeSteps() {
        CLeftForm& form = MakeForm();
        Select(kXueEr);
        QVERIFY(!form.CanStep(Step::kPrevVolume));
        form.RunStep(Step::kPrevVolume);
        QCOMPARE(m_Rig->messages.Messages(), QStringList{QStringLiteral("これ以上戻れません。もう巻一に至っています。")});
        QCOMPARE(form.GetCurrentNode(), kXueEr);

        QVERIFY(form.CanStep(Step::kNextVolume));
        form.RunStep(Step::kNextVolume);
        QCOMPARE(form.GetCurrentNode(), kWeiZheng);
        QCOMPARE(SelectedRecord(), kWeiZheng);
        QCOMPARE(m_Rig->pageControls.m_nMax, 2);

        form.RunStep(Step::kNextVolume);  // the last child of 論語: on to 孟子's first
        QCOMPARE(form.GetCurrentNode(), kLiangHuiWang);
        QCOMPARE(SelectedRecord(), kLiangHuiWang);
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("孟子見梁惠王")));

        form.RunStep(Step::kNextVolume);  // 孟子 is the last book of 經部
        QCOMPARE(form.GetCurrentNode(), kFeng);
        QVERIFY(ReadText(form.GetTocFile()).contains(QStringLiteral("關關雎鳩")));
        QCOMPARE(SelectedRecord(), kJingBu);
        QCOMPARE(form.GetScopeItem(), kJingBu);
        QCOMPARE(Label("scopeLabel")->text(), QStringLiteral("經部"));
        QCOMPARE(m_Rig->pageControls.m_strLabel, QStringLiteral("7/1"));

        // Back from 風 with 經部 selected: its previous sibling is missing, so
        // the tree walks to the last top-level entry, 集部.
        form.RunStep(Step::kPrevVolume);
        QCOMPARE(form.GetCurrentNode(), kLiangHuiWang);
        QCOMPARE(SelectedRecord(), kJiBu);

        Select(kLiangHuiWang);
        form.RunStep(Step::kPrevVolume);  // the first child of 孟子: back to 論語's last
        QCOMPARE(form.GetCurrentNode(), kWeiZheng);
        QCOMPARE(SelectedRecord(), kWeiZheng);

        Select(kDuo);
        QVERIFY(!form.CanStep(Step::kNextVolume));
        QVERIFY(form.CanStep(Step::kPrevVolume));
        m_Rig->messages.Clear();
        form.RunStep(Step::kNextVolume);
        QCOMPARE(m_Rig->messages.Messages(), QStringList{QStringLiteral("もう最後の巻まで至りました。")});
        QCOMPARE(form.GetCurrentNode(), kDuo);
        QCOMPARE(m_Rig->pageControls.m_nMax, 250);
    }

    // Header "頁": the rows come in ascending page order, also on a second
    // click, and the row selected stays so without being opened again.
    void sortingByThePageColumn() {
        CLeftForm& form = MakeForm();
        Search(QStringLiteral("學而"));
        Results()->setCurrentItem(Results()->topLevelItem(2));  // printed page 2
        const int opened = m_Rig->reader.m_Addresses.size();
        Results()->SortByPageColumn();
        QCOMPARE(Results()->RowText(2, 3), QStringLiteral("2"));
        Results()->sortItems(0, Qt::DescendingOrder);  // another order first
        QCOMPARE(Results()->RowText(0, 3), QStringLiteral("2"));
        QTest::mouseClick(Results()->header()->viewport(), Qt::LeftButton, {},
                          QPoint(Results()->header()->sectionViewportPosition(3) + 30, 5));
        QStringList pages;
        for (int row = 0; row < Results()->RowCount(); ++row) pages << Results()->RowText(row, 3);
        QCOMPARE(pages, (QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(Results()->selectedItems().first()->text(3), QStringLiteral("2"));
        QCOMPARE(m_Rig->reader.m_Addresses.size(), opened);
        QCOMPARE(form.GetResults().size(), size_t(3));
    }

    // The page files written in the temporary folder go with the panel.
    void pageFilesRemovedWithThePanel() {
        CLeftForm& form = MakeForm();
        Select(kXueEr);
        Search(QStringLiteral("學而"));
        Results()->setCurrentItem(Results()->topLevelItem(0));
        Results()->setCurrentItem(Results()->topLevelItem(1));
        const QStringList files = {form.GetTocFile(), form.GetHitFile1(), form.GetHitFile2()};
        for (const QString& file : files) QVERIFY2(QFile::exists(file), qPrintable(file));
        m_Form.reset();
        for (const QString& file : files) QVERIFY2(!QFile::exists(file), qPrintable(file));
    }

private:
    CLeftForm& MakeForm(const std::filesystem::path& data = {}) {
        m_Form = std::make_unique<CLeftForm>(m_Rig->Services(data.empty() ? m_Data.Path() : data));
        m_Form->resize(kWidth, kHeight);
        m_Form->show();
        m_Form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_Form.get())) qWarning("the panel's window did not become active");
        return *m_Form;
    }
    QTabWidget* Tabs() const { return m_Form->findChild<QTabWidget*>(QStringLiteral("tabs")); }
    QTreeWidget* Tree() const { return m_Form->findChild<QTreeWidget*>(QStringLiteral("toc")); }
    CSortListCtrl* Results() const { return m_Form->findChild<CSortListCtrl*>(QStringLiteral("results")); }
    QLabel* Label(const char* name) const { return m_Form->findChild<QLabel*>(QString::fromLatin1(name)); }
    QRadioButton* Radio(const QString& name) const { return m_Form->findChild<QRadioButton*>(name); }
    QLineEdit* PageEdit() const { return m_Form->findChild<QLineEdit*>(QStringLiteral("listPageEdit")); }
    CToolTipResourceButton* PrevButton() const {
        return m_Form->findChild<CToolTipResourceButton*>(QStringLiteral("prevListPage"));
    }
    CToolTipResourceButton* NextButton() const {
        return m_Form->findChild<CToolTipResourceButton*>(QStringLiteral("nextListPage"));
    }
    bool PagerVisible() const {
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        return PrevButton()->isVisible() && NextButton()->isVisible() && PageEdit()->isVisible() &&
               Label("listPageCount")->isVisible();
    }
    void Select(int record) { Tree()->setCurrentItem(m_Form->GetTreeItem(record)); }
    // Selects the listed row of store page page.
    void OpenResultOf(int page) {
        for (int row = 0; row < Results()->RowCount(); ++row)
            if (Results()->ItemData(row) == page) {
                Results()->setCurrentItem(Results()->topLevelItem(row));
                return;
            }
        QFAIL("no such row");
    }
    int SelectedRecord() const {
        const QList<QTreeWidgetItem*> selected = Tree()->selectedItems();
        return selected.isEmpty() ? 0 : selected.first()->data(0, Qt::UserRole).toInt();
    }
    // Types keyword into the box and presses "検索".
    void Search(const QString& keyword) {
        Tabs()->setCurrentIndex(CLeftForm::kSearchTab);
        m_Form->findChild<QLineEdit*>(QStringLiteral("keywordBox"))->setText(keyword);
        QTest::mouseClick(m_Form->findChild<QPushButton*>(QStringLiteral("searchButton")), Qt::LeftButton);
    }

    QTemporaryDir m_Cache;
    CTempDir m_Data;
    std::unique_ptr<CPanelRig> m_Rig;
    std::unique_ptr<CLeftForm> m_Form;
};

QTEST_MAIN(TestLeftForm)
#include "test_leftform.moc"
