// The main frame: its commands' enable rules and routing, the panel seam,
// the full-display toggle, the layout saved at exit, the About box, and the
// search panel reading and searching a small collection through the same seam.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextTable>
#include <QTreeWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/aboutdlg.h"
#include "app/bookview.h"
#include "app/commandids.h"
#include "app/mainfrm.h"
#include "app/scrolltoolbar.h"
#include "app/st_splitterwnd.h"
#include "fixture.h"
#include "guifixture.h"
#include "panel/leftform.h"
#include "panel/sortlistctrl.h"
#include "panelfixture.h"
#include "recordingmessagesink.h"

using Step = CReadingState::Step;

class TestMainFrame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UsePrivateSettings(m_Settings); }
    void init() {
        ClearProgramSettings();
        m_Messages.Clear();
    }

    // At start the reader shows "about:blank": printing, select all and copy
    // (the panel being active) are off; a missing collection and its missing
    // table of contents are reported and the window opens all the same.
    void startWithoutCollection() {
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages);
        ShowFrame(frame);
        QCOMPARE(m_Messages.Messages(),
                 (QStringList{QStringLiteral("データを開けませんでした。"), QStringLiteral("you delete data file!")}));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorel"));
        QCOMPARE(frame.GetRightPane()->GetLocationURL(), QStringLiteral("about:blank"));
        QVERIFY(!frame.IsReaderActive());
        for (const int id : {ID_PRINT, ID_PRINT_SETUP, ID_SELECT_ALL, ID_EDIT_COPY, ID_PREV_PAGE, ID_NEXT_PAGE,
                             ID_PREV_VOLUME, ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT, ID_VIEW_STATUS_BAR, ID_FILE_PRINT})
            QVERIFY2(!frame.GetAction(id)->isEnabled(), qPrintable(QString::number(id)));
        for (const int id : {ID_APP_EXIT, ID_VIEW_ALL, ID_VIEW_TOOLBAR, ID_APP_ABOUT, ID_HELP_FILE})
            QVERIFY2(frame.GetAction(id)->isEnabled(), qPrintable(QString::number(id)));
        QCOMPARE(frame.GetSplitter()->sizes()[0], 260);
    }

    // The menu bar carries the five menus with their items in order.
    void menus() {
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages);
        QStringList menus;
        for (const QAction* menu : frame.menuBar()->actions()) {
            QStringList items;
            for (const QAction* item : menu->menu()->actions()) items << (item->isSeparator() ? QStringLiteral("-") : item->text());
            menus << menu->text() + QLatin1Char(':') + items.join(QLatin1Char(','));
        }
        QCOMPARE(menus, (QStringList{
                            QStringLiteral("ファイル(&F):印刷設定(&S),印刷(&P),-,検索結果の書き出し…,-,終了(&X)"),
                            QStringLiteral("編集(&E):コピー(&C),すべて選択(&Q)"),
                            QStringLiteral("表示(&V):ツールバー(&T),状態バー(&S),全表示(&p),用例一覧(&K)"),
                            QStringLiteral("一覧:上の頁へ(&P),次の頁へ(&N),-,上の巻へ,次の巻へ,-,上の検索結果,次の検索結果"),
                            QStringLiteral("ヘルプ(&H):バージョン(&A)...,ヘルプ"),
                        }));
        QCOMPARE(frame.GetAction(ID_NEXT_HIT)->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(frame.GetAction(ID_PREV_HIT)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F3));
        QCOMPARE(frame.GetAction(ID_EDIT_COPY)->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}));
        QCOMPARE(frame.GetAction(ID_PRINT)->toolTip(), QStringLiteral("印刷"));
        QCOMPARE(frame.GetAction(ID_APP_ABOUT)->toolTip(), QStringLiteral("情報"));
    }

    // Once a page is shown, printing, select all and copy come on.
    void pageShownEnablesTheReaderCommands() {
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages);
        frame.GetRightPane()->Navigate2(WritePage(m_Folder, QStringLiteral("p.html"), QStringLiteral("學而")));
        for (const int id : {ID_PRINT, ID_PRINT_SETUP, ID_SELECT_ALL, ID_EDIT_COPY}) QVERIFY(frame.GetAction(id)->isEnabled());
    }

    // The reading commands ask the panel for their enable rules, at once when it
    // reports a change and otherwise when the program goes idle, and run its steps.
    void readingCommandsGoToThePanel() {
        CFakePanel* panel = nullptr;
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        ShowFrame(frame);
        panel->m_Enabled = {Step::kNextPage, Step::kNextHit};
        panel->m_Services.readingStateChanged();
        QVERIFY(frame.GetAction(ID_NEXT_PAGE)->isEnabled());
        QVERIFY(!frame.GetAction(ID_PREV_PAGE)->isEnabled());
        QVERIFY(frame.GetAction(ID_NEXT_HIT)->isEnabled());

        frame.GetAction(ID_NEXT_PAGE)->trigger();
        frame.GetAction(ID_PREV_PAGE)->trigger();  // disabled: nothing
        QTest::keyClick(&frame, Qt::Key_F3);
        QCOMPARE(panel->m_Runs, (QList<Step>{Step::kNextPage, Step::kNextHit}));

        panel->m_Enabled = {Step::kPrevVolume, Step::kPrevHit};  // no report: the idle update catches it
        RunEventLoopUntilIdle();
        QVERIFY(frame.GetAction(ID_PREV_VOLUME)->isEnabled());
        QVERIFY(!frame.GetAction(ID_NEXT_PAGE)->isEnabled());
        QTest::keyClick(&frame, Qt::Key_F3, Qt::AltModifier);
        QCOMPARE(panel->m_Runs.last(), Step::kPrevHit);
    }

    // The toolbar hands the slider's end of a scroll to the frame's panel.
    void sliderReleaseReachesThePanel() {
        CFakePanel* panel = nullptr;
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        QCOMPARE(panel->m_Services.pPageControls, static_cast<CPageControls*>(frame.GetToolBar()));
        QCOMPARE(panel->m_Services.pReader, static_cast<CReaderPane*>(frame.GetRightPane()));
        QCOMPARE(panel->m_Services.tempFolder, m_Folder.path());
        emit frame.GetToolBar()->GetSlider()->ScrollEnded(7);
        QCOMPARE(panel->m_SliderReleases, QList<int>{7});
    }

    // With the panel active, copy is the reader's limited copy; with the reader
    // active it copies the whole selection and needs one.
    void copyFollowsTheActivePane() {
        CFakePanel* panel = nullptr;
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        ShowFrame(frame);
        CBookView* reader = frame.GetRightPane();
        const QString text(301, QChar(0x5B78));
        reader->Navigate2(WritePage(m_Folder, QStringLiteral("copy.html"), text));
        reader->selectAll();
        frame.UpdateCommandUI();
        frame.GetAction(ID_EDIT_COPY)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), text.left(300));

        frame.GetSplitter()->SetActivePane(1);
        QVERIFY(frame.IsReaderActive());
        QVERIFY(frame.GetAction(ID_EDIT_COPY)->isEnabled());
        frame.GetAction(ID_EDIT_COPY)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasHtml());

        reader->moveCursor(QTextCursor::Start);  // no selection left
        frame.UpdateCommandUI();
        QVERIFY(!frame.GetAction(ID_EDIT_COPY)->isEnabled());
        QVERIFY(frame.GetAction(ID_FILE_PRINT)->isEnabled());  // Ctrl+P belongs to the reader
    }

    // Ctrl pressed inside the reader raises the reminder; with the panel focused it does not.
    void ctrlReminderOnlyInsideTheReader() {
        CFakePanel* panel = nullptr;
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        ShowFrame(frame);
        QTest::keyClick(panel, Qt::Key_Control);
        QVERIFY(m_Messages.Messages().isEmpty());
        QTest::keyClick(frame.GetRightPane(), Qt::Key_Control);
        QCOMPARE(m_Messages.Messages(), QStringList{QStringLiteral("マウスの右ボタンでコピーして下さい。")});
    }

    // Full display hides the panel and activates the reader; the second time the
    // panel comes back and the reader stays active. F6 moves between the panes.
    void fullDisplayAndPaneKeys() {
        CFakePanel* panel = nullptr;
        CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        ShowFrame(frame);
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(!frame.IsReaderActive());

        frame.GetAction(ID_VIEW_ALL)->trigger();
        QVERIFY(!panel->isVisible());
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6);  // the hidden panel cannot become active
        QVERIFY(frame.IsReaderActive());
        frame.GetAction(ID_VIEW_ALL)->trigger();
        QVERIFY(panel->isVisible());
        QVERIFY(frame.IsReaderActive());
    }

    // Closing the program writes the layout: "-1 w0 -1 w1" with the panel shown,
    // "0 ..." with the widths it had when it was hidden.
    void layoutWrittenAtExit_data() {
        QTest::addColumn<bool>("hidden");
        QTest::newRow("panel shown") << false;
        QTest::newRow("panel hidden") << true;
    }
    void layoutWrittenAtExit() {
        QFETCH(bool, hidden);
        QList<int> widths;
        {
            CFakePanel* panel = nullptr;
            CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
            ShowFrame(frame);
            widths = frame.GetSplitter()->sizes();
            if (hidden) frame.GetAction(ID_VIEW_ALL)->trigger();
            frame.close();
        }
        const QString saved = QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Quorel"))
                                  .value(QStringLiteral("SplitterWnd/Panes_0"))
                                  .toString();
        QCOMPARE(saved, QStringLiteral("%1 %2 -1 %3").arg(hidden ? 0 : -1).arg(widths[0]).arg(widths[1]));
        QCOMPARE(widths[0], 260);

        CFakePanel* panel = nullptr;
        CMainFrame next(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        ShowFrame(next);
        QVERIFY(panel->isVisible());
        QCOMPARE(next.GetSplitter()->sizes()[0], 260);
    }

    // The panel's "句読点を無視" starts unchecked, each change is kept in the
    // settings, and the next window starts with it.
    void ignorePunctuationRemembered() {
        {
            CFakePanel* panel = nullptr;
            CMainFrame frame(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
            QVERIFY(!panel->m_Services.ignorePunctuation);
            panel->m_Services.ignorePunctuationChanged(true);
        }
        QCOMPARE(ProgramSetting(QStringLiteral("Settings/IgnorePunctuation")), QStringLiteral("1"));
        CFakePanel* panel = nullptr;
        CMainFrame next(TestFrameOptions(m_Folder), &m_Messages, FakePanelFactory(panel));
        QVERIFY(panel->m_Services.ignorePunctuation);
    }

    // The About box is the 500 by 350 picture and closes on a click, Enter or Esc.
    void aboutBoxCloses_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("click") << 0 << int(QDialog::Accepted);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void aboutBoxCloses() {
        QFETCH(int, key);
        QFETCH(int, result);
        CAboutDlg about;
        about.open();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.size(), QSize(500, 350));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("aboutPicture"))->pixmap().size(), QSize(500, 350));
        if (key == 0)
            QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(250, 175));
        else
            QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), result);
    }

    // The search panel in the frame, on a built collection: a volume chosen in
    // the tree shows its first page with the slider and the page edit, the page
    // commands follow their enable rules, a drag of the slider shows one page,
    // a search result opens at its first hit and F3 and Alt+F3 step through its
    // hits; the page files go with the window.
    void searchPanelDrivesTheReader() {
        CTempDir data;
        BuildPanelCollection(data.Path());
        QStringList pageFiles;
        {
            CMainFrame frame(TestFrameOptions(m_Folder, QString::fromStdString(data.Path().string())), &m_Messages);
            ShowFrame(frame);
            QVERIFY(m_Messages.Messages().isEmpty());
            auto* panel = qobject_cast<CLeftForm*>(frame.GetLeftForm());
            QVERIFY(panel);
            CBookView* reader = frame.GetRightPane();
            CSCrollToolBar* toolBar = frame.GetToolBar();
            auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("toc"));
            QVERIFY(tree->isVisible());
            QCOMPARE(reader->GetLocationURL(), QStringLiteral("about:blank"));
            for (const int id : {ID_PREV_PAGE, ID_NEXT_PAGE, ID_PREV_VOLUME, ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT})
                QVERIFY2(!frame.GetAction(id)->isEnabled(), qPrintable(QString::number(id)));

            tree->setCurrentItem(panel->GetTreeItem(3));  // 經部 > 論語 > 學而, printed pages 1-3
            QVERIFY(reader->toPlainText().contains(QStringLiteral("學而時習之")));
            QCOMPARE(QFileInfo(reader->source().toLocalFile()).fileName(), QStringLiteral("windows.html"));
            QCOMPARE(toolBar->GetSlider()->minimum(), 1);
            QCOMPARE(toolBar->GetSlider()->maximum(), 3);
            QCOMPARE(toolBar->GetSliderPos(), 1);
            QCOMPARE(toolBar->GetPageLabel(), QStringLiteral("7/1"));
            QVERIFY(!frame.GetAction(ID_PREV_PAGE)->isEnabled());
            QVERIFY(frame.GetAction(ID_NEXT_PAGE)->isEnabled());
            QVERIFY(!frame.GetAction(ID_PREV_VOLUME)->isEnabled());
            QVERIFY(frame.GetAction(ID_NEXT_VOLUME)->isEnabled());

            frame.GetAction(ID_NEXT_PAGE)->trigger();
            QVERIFY(reader->toPlainText().contains(QStringLiteral("有朋自遠方來")));
            QCOMPARE(toolBar->GetSliderPos(), 2);
            QCOMPARE(toolBar->GetPageLabel(), QStringLiteral("7/2"));
            QVERIFY(frame.GetAction(ID_PREV_PAGE)->isEnabled());

            QSignalSpy shown(reader, &CBookView::LocationChanged);
            QSignalSpy moved(toolBar->GetSlider(), &QSlider::sliderMoved);
            DragSliderThumb(toolBar->GetSlider(), {1, 3, 2, 3});
            QCOMPARE(moved.count(), 4);  // the thumb passed every position
            QCOMPARE(shown.count(), 1);
            QVERIFY(reader->toPlainText().contains(QStringLiteral("人不知而不慍")));
            QCOMPARE(toolBar->GetPageLabel(), QStringLiteral("7/3"));
            QVERIFY(!frame.GetAction(ID_NEXT_PAGE)->isEnabled());
            pageFiles << reader->source().toLocalFile();

            frame.findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(CLeftForm::kSearchTab);
            frame.findChild<QLineEdit*>(QStringLiteral("keywordBox"))->setText(QStringLiteral("學而"));
            QTest::mouseClick(frame.findChild<QPushButton*>(QStringLiteral("searchButton")), Qt::LeftButton);
            QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("totalsLabel"))->text(),
                     QStringLiteral("全部で 2 頁で、4 箇所でした。"));  // inside the volume chosen
            auto* results = frame.findChild<QTreeWidget*>(QStringLiteral("results"));
            results->setCurrentItem(results->topLevelItem(0));  // page 0: three hits
            QCOMPARE(QFileInfo(reader->source().toLocalFile()).fileName(), QStringLiteral("windows1.html"));
            QCOMPARE(reader->source().fragment(), QStringLiteral("0000"));
            pageFiles << reader->source().toLocalFile();
            QVERIFY(frame.GetAction(ID_NEXT_HIT)->isEnabled());
            QVERIFY(!frame.GetAction(ID_PREV_HIT)->isEnabled());
            QTest::keyClick(&frame, Qt::Key_F3);
            QCOMPARE(reader->source().fragment(), QStringLiteral("0001"));
            QTest::keyClick(&frame, Qt::Key_F3);
            QCOMPARE(reader->source().fragment(), QStringLiteral("0002"));
            QVERIFY(!frame.GetAction(ID_NEXT_HIT)->isEnabled());
            QTest::keyClick(&frame, Qt::Key_F3, Qt::AltModifier);
            QCOMPARE(reader->source().fragment(), QStringLiteral("0001"));
            QVERIFY(frame.GetAction(ID_PREV_HIT)->isEnabled());
            for (const QString& file : pageFiles) QVERIFY2(QFile::exists(file), qPrintable(file));
        }
        for (const QString& file : pageFiles) QVERIFY2(!QFile::exists(file), qPrintable(file));
    }

    // On the default collection, a hit page shows every paragraph of its text
    // inside the page's table, in a cell at least 400 pixels wide, on an odd
    // page (text in the template's second cell) and on an even one (first cell).
    void collectionHitPagesShowTheirWholeText_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("textCell");
        QTest::newRow("学而篇 page 1") << 21 << 1;
        QTest::newRow("为政篇 page 2") << 24 << 0;
    }
    void collectionHitPagesShowTheirWholeText() {
        QFETCH(int, page);
        QFETCH(int, textCell);
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        OpenResultOf(frame, page);
        CBookView* reader = frame.GetRightPane();
        const int paragraphs = int(ReadText(reader->source().toLocalFile()).count(QStringLiteral("<p>")));
        QVERIFY(paragraphs > 1);

        QTextDocument* document = reader->document();
        document->size();
        QTextTable* table = nullptr;
        for (QTextFrame* child : document->rootFrame()->childFrames())
            if ((table = qobject_cast<QTextTable*>(child))) break;
        QVERIFY(table);
        const QRectF tableRect = document->documentLayout()->frameBoundingRect(table);
        const QTextTableCell cell = table->cellAt(0, textCell);
        int blocks = 0;
        for (QTextBlock block = cell.firstCursorPosition().block();
             block.isValid() && block.position() <= cell.lastPosition(); block = block.next(), ++blocks) {
            const QRectF rect = document->documentLayout()->blockBoundingRect(block);
            QVERIFY(rect.width() >= 400);
            QVERIFY2(tableRect.contains(rect), qPrintable(block.text()));
        }
        QCOMPARE(blocks, paragraphs);
    }

    // Reading on from a hit: the tree on 学而篇, the range 論語, the hit in
    // 子张篇 page 1 opened; "next page" shows 子张篇 page 2, and the page edit
    // and the slider follow.
    void nextPageAfterAHitGoesOnInItsVolume() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        auto* panel = qobject_cast<CLeftForm*>(frame.GetLeftForm());
        QCOMPARE(panel->GetTreeItem(kXueErRecord)->text(0), QStringLiteral("学而篇"));
        auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("toc"));
        tree->setCurrentItem(panel->GetTreeItem(kXueErRecord));
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        OpenResultOf(frame, kZiZhangFirstPage);
        CSCrollToolBar* toolBar = frame.GetToolBar();
        QVERIFY(toolBar->GetPageLabel().endsWith(QStringLiteral("/1")));
        QCOMPARE(toolBar->GetSlider()->minimum(), 1);
        QCOMPARE(toolBar->GetSlider()->maximum(), 3);
        QVERIFY(frame.GetAction(ID_NEXT_PAGE)->isEnabled());

        frame.GetAction(ID_NEXT_PAGE)->trigger();
        CBookView* reader = frame.GetRightPane();
        QVERIFY(reader->toPlainText().contains(QStringLiteral("子张篇")));
        QVERIFY(reader->toPlainText().contains(QStringLiteral("子游曰")));
        QCOMPARE(toolBar->GetSliderPos(), 2);
        QVERIFY(toolBar->GetPageLabel().endsWith(QStringLiteral("/2")));
        QCOMPARE(panel->GetTreeItem(kLunYuRecord), tree->currentItem());
    }

    // After a result is opened, clicking "目録" leaves the focus in the panel's
    // tree: Down moves its selection and Ctrl raises no reminder. The reader
    // becomes the active pane by a click into it, and F6 goes back.
    void focusStaysInThePanelAfterATabClick() {
        CMainFrame frame(CollectionOptions(), &m_Messages);
        ShowFrame(frame);
        SearchIn(frame, kLunYuRecord, QStringLiteral("學而"));
        auto* results = frame.findChild<QTreeWidget*>(QStringLiteral("results"));
        results->setFocus(Qt::MouseFocusReason);
        OpenResultOf(frame, kZiZhangFirstPage);
        QTabBar* tabs = frame.findChild<QTabWidget*>(QStringLiteral("tabs"))->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(CLeftForm::kTocTab).center());
        auto* tree = frame.findChild<QTreeWidget*>(QStringLiteral("toc"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tree));
        QVERIFY(!frame.IsReaderActive());
        QTreeWidgetItem* before = tree->currentItem();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(tree->currentItem() != before);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Control);
        QVERIFY(m_Messages.Messages().isEmpty());

        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(CLeftForm::kSearchTab).center());
        QCOMPARE(QApplication::focusWidget(), frame.findChild<QWidget*>(QStringLiteral("keywordBox")));
        for (int i = 0; i < 30; ++i) {  // Tab goes round the panel, never into the reader
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!frame.IsReaderActive());
        }
        QTest::mouseClick(frame.GetRightPane()->viewport(), Qt::LeftButton);
        QVERIFY(frame.IsReaderActive());
        QTest::keyClick(&frame, Qt::Key_F6);
        QVERIFY(!frame.IsReaderActive());
    }

private:
    static constexpr int kLunYuRecord = 6;        // 經部 > 論語 of the default collection
    static constexpr int kXueErRecord = 7;        // 論語 > 学而篇
    static constexpr int kZiZhangFirstPage = 84;  // the store page of 子张篇 page 1

    CFrameOptions CollectionOptions() const {
        return TestFrameOptions(m_Folder, QStringLiteral(QUOREL_DEFAULT_COLLECTION));
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

    // Selects the listed row of store page page.
    static void OpenResultOf(CMainFrame& frame, int page) {
        auto* results = frame.findChild<CSortListCtrl*>(QStringLiteral("results"));
        for (int row = 0; row < results->RowCount(); ++row)
            if (results->ItemData(row) == page) {
                results->setCurrentItem(results->topLevelItem(row));
                return;
            }
        QFAIL("no such row");
    }

    // Runs a real event loop, which goes idle (waits for events) before it ends.
    static void RunEventLoopUntilIdle() {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Presses the thumb, drags it over positions and lets go over the last.
    static void DragSliderThumb(QSlider* slider, const QList<int>& positions) {
        const auto thumbAt = [slider](int value) {
            QStyleOptionSlider option;
            option.initFrom(slider);
            option.orientation = slider->orientation();
            option.minimum = slider->minimum();
            option.maximum = slider->maximum();
            option.sliderPosition = value;
            option.sliderValue = value;
            option.singleStep = slider->singleStep();
            option.pageStep = slider->pageStep();
            option.tickPosition = slider->tickPosition();
            option.subControls = QStyle::SC_All;
            return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
        };
        QTest::mousePress(slider, Qt::LeftButton, {}, thumbAt(slider->value()));
        for (const int value : positions) QTest::mouseMove(slider, thumbAt(value));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, thumbAt(positions.last()));
    }

    static void ShowFrame(CMainFrame& frame) {
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
    }

    QTemporaryDir m_Settings;
    QTemporaryDir m_Folder;
    CRecordingMessageSink m_Messages;
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
