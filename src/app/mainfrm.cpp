#include "app/mainfrm.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "app/aboutdlg.h"
#include "app/bookview.h"
#include "app/commandids.h"
#include "app/concordancedock.h"
#include "app/exportdialog.h"
#include "app/profile.h"
#include "app/resultexport.h"
#include "app/scrolltoolbar.h"
#include "app/splash.h"
#include "app/st_splitterwnd.h"
#include "panel/busycursor.h"
#include "panel/messagesink.h"
#include "panel/researchsource.h"

namespace {

constexpr const char* kHelpFileName = "help.html";
constexpr const char* kIconPath = ":/res/quorel.png";
constexpr const char* kSaveFailedMessage = "ドキュメントを保存できませんでした。";
constexpr const char* kExportFailedMessage = "検索結果を書き出せませんでした。";
// Whether the research dock shows, and whether the search panel's "句読点を無視"
// is checked: "1" or "0".
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kConcordanceEntry = "ConcordanceView";
constexpr const char* kIgnorePunctuationEntry = "IgnorePunctuation";

struct ReadingCommand {
    int id;
    CReadingState::Step step;
    const char* text;
    const char* toolTip;
};

constexpr ReadingCommand kReadingCommands[] = {
    {ID_PREV_PAGE, CReadingState::Step::kPrevPage, "上の頁へ(&P)", "上の頁"},
    {ID_NEXT_PAGE, CReadingState::Step::kNextPage, "次の頁へ(&N)", "次の頁"},
    {ID_PREV_VOLUME, CReadingState::Step::kPrevVolume, "上の巻へ", "上の巻へ"},
    {ID_NEXT_VOLUME, CReadingState::Step::kNextVolume, "次の巻へ", "次の巻へ"},
    {ID_PREV_HIT, CReadingState::Step::kPrevHit, "上の検索結果", "上の検索結果"},
    {ID_NEXT_HIT, CReadingState::Step::kNextHit, "次の検索結果", "次の検索結果"},
};

}  // namespace

CMainFrame::CMainFrame(const CFrameOptions& options, CMessageSink* messages, PanelFactory makePanel, QWidget* parent)
    : QMainWindow(parent), m_Options(options), m_pMessages(messages), m_pExportDialog(CExportDialog::Create()) {
    CSplashWnd::ShowSplashScreen(this, QDir(m_Options.programFolder).filePath(QString::fromLatin1(CSplashWnd::kMovieFileName)));
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    CreateActions();
    CreateConcordanceDock();
    CreateToolBar();
    OnCreateClient(makePanel);
    CreateMenus();

    m_pBookView->Navigate2(QString::fromLatin1(CBookView::kBlankLocation));
    m_wndSplitter->LoadFromProfile();
    m_pLeftForm->setFocus(Qt::OtherFocusReason);
    connect(m_pBookView, &CBookView::LocationChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pBookView, &CBookView::copyAvailable, this, &CMainFrame::UpdateCommandUI);
    connect(m_wndSplitter, &ST_SplitterWnd::ActivePaneChanged, this, &CMainFrame::UpdateCommandUI);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        m_IdleConnection = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();
}

// The panes go first, while the frame is whole; nothing the panes do on their
// way out (a last report of the reading state, say) reaches them or the frame's
// commands any more.
CMainFrame::~CMainFrame() {
    disconnect(m_IdleConnection);
    disconnect(m_DockSwitchConnection);  // the window going hides the dock; it stays switched on
    m_pConcordance->SetSource(nullptr);
    m_pLeftForm = nullptr;
    m_pBookView = nullptr;
    m_wndToolBar->SetReadingState(nullptr);
    delete m_wndSplitter;
}

QAction* CMainFrame::AddCommand(int id, const char* text, const char* toolTip, void (CMainFrame::*handler)()) {
    auto* action = new QAction(QString::fromUtf8(text), this);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    if (toolTip) action->setToolTip(QString::fromUtf8(toolTip));
    if (handler) connect(action, &QAction::triggered, this, handler);
    addAction(action);  // its keys work wherever the focus is in the window
    m_Actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions() {
    AddCommand(ID_PRINT_SETUP, "印刷設定(&S)", nullptr, &CMainFrame::OnPrintSetup);
    AddCommand(ID_PRINT, "印刷(&P)", "印刷", &CMainFrame::OnPrint);
    AddCommand(ID_APP_EXIT, "終了(&X)", nullptr, nullptr);
    connect(m_Actions.value(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    AddCommand(ID_EDIT_COPY, "コピー(&C)", "コピー", &CMainFrame::OnEditCopy)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(ID_SELECT_ALL, "すべて選択(&Q)", "すべて選択", &CMainFrame::OnSelectAll);
    AddCommand(ID_VIEW_STATUS_BAR, "状態バー(&S)", nullptr, nullptr)->setEnabled(false);  // there is no status bar
    AddCommand(ID_VIEW_ALL, "全表示(&p)", nullptr, &CMainFrame::OnViewAll);
    for (const ReadingCommand& command : kReadingCommands) {
        QAction* action = AddCommand(command.id, command.text, command.toolTip, nullptr);
        const CReadingState::Step step = command.step;
        connect(action, &QAction::triggered, this, [this, step] { RunReadingStep(step); });
        m_Steps.insert(command.id, step);
    }
    m_Actions.value(ID_PREV_HIT)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F3));
    m_Actions.value(ID_NEXT_HIT)->setShortcut(QKeySequence(Qt::Key_F3));
    AddCommand(ID_APP_ABOUT, "バージョン(&A)...", "情報", &CMainFrame::OnAppAbout);
    AddCommand(ID_HELP_FILE, "ヘルプ", nullptr, &CMainFrame::OnHelpFile);
    AddCommand(ID_FILE_PRINT, "印刷...", nullptr, &CMainFrame::OnFilePrint)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    AddCommand(ID_FILE_SAVE, "保存", nullptr, &CMainFrame::OnFileSave)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(ID_FILE_EXPORT, "検索結果の書き出し…", nullptr, &CMainFrame::OnFileExport);
    AddCommand(ID_NEXT_PANE, "次のペイン", nullptr, &CMainFrame::OnNextPane)->setShortcut(QKeySequence(Qt::Key_F6));
    AddCommand(ID_PREV_PANE, "前のペイン", nullptr, &CMainFrame::OnPrevPane)
        ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
}

// Off at first; the choice is remembered.
void CMainFrame::CreateConcordanceDock() {
    m_pConcordance = new CConcordanceDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_pConcordance);
    m_pConcordance->setVisible(CProfile().GetProfileFlag(kSettingsSection, kConcordanceEntry));
    QAction* toggle = m_pConcordance->toggleViewAction();
    toggle->setText(QStringLiteral("用例一覧(&K)"));
    toggle->setToolTip(QStringLiteral("用例一覧"));
    toggle->setObjectName(QStringLiteral("command%1").arg(ID_VIEW_CONCORDANCE));
    m_DockSwitchConnection = connect(toggle, &QAction::toggled, this, [](bool on) {
        CProfile().WriteProfileFlag(kSettingsSection, kConcordanceEntry, on);
    });
    m_Actions.insert(ID_VIEW_CONCORDANCE, toggle);
}

void CMainFrame::CreateToolBar() {
    m_wndToolBar = new CSCrollToolBar(m_Actions, this);
    m_wndToolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_wndToolBar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    QAction* toggle = m_wndToolBar->toggleViewAction();
    toggle->setText(QStringLiteral("ツールバー(&T)"));
    m_Actions.insert(ID_VIEW_TOOLBAR, toggle);
}

void CMainFrame::OnCreateClient(const PanelFactory& makePanel) {
    m_wndSplitter = new ST_SplitterWnd(0, this);
    m_pBookView = new CBookView(m_pMessages);
    m_pBookView->SetPageFolder(m_Options.tempFolder);
    CPanelServices services;
    services.pReader = m_pBookView;
    services.pPageControls = m_wndToolBar;
    services.pMessages = m_pMessages;
    services.dataFolder = m_Options.dataFolder;
    services.tempFolder = m_Options.tempFolder;
    services.readingStateChanged = [this] { UpdateCommandUI(); };
    services.searchFinished = [this] {
        if (m_pConcordance) m_pConcordance->OnSearchFinished();
    };
    services.ignorePunctuation = CProfile().GetProfileFlag(kSettingsSection, kIgnorePunctuationEntry);
    services.ignorePunctuationChanged = [](bool on) {
        CProfile().WriteProfileFlag(kSettingsSection, kIgnorePunctuationEntry, on);
    };
    m_pLeftForm = makePanel(services, m_wndSplitter);
    m_pConcordance->SetSource(m_pLeftForm->GetResearchSource());
    m_wndSplitter->Create(m_pLeftForm, m_pBookView, true);
    m_wndToolBar->SetReadingState(m_pLeftForm);
    setCentralWidget(m_wndSplitter);
}

void CMainFrame::CreateMenus() {
    const auto addMenu = [this](const char* title, std::initializer_list<int> ids) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(title));
        for (const int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(m_Actions.value(id));
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    };
    addMenu("ファイル(&F)", {ID_PRINT_SETUP, ID_PRINT, 0, ID_FILE_EXPORT, 0, ID_APP_EXIT});
    addMenu("編集(&E)", {ID_EDIT_COPY, ID_SELECT_ALL});
    addMenu("表示(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_ALL, ID_VIEW_CONCORDANCE});
    addMenu("一覧", {ID_PREV_PAGE, ID_NEXT_PAGE, 0, ID_PREV_VOLUME, ID_NEXT_VOLUME, 0, ID_PREV_HIT, ID_NEXT_HIT});
    addMenu("ヘルプ(&H)", {ID_APP_ABOUT, ID_HELP_FILE});
}

bool CMainFrame::IsReaderActive() const { return m_wndSplitter->GetActivePane() == 1; }

void CMainFrame::Enable(int id, bool enabled) {
    if (QAction* action = m_Actions.value(id)) action->setEnabled(enabled);
}

void CMainFrame::UpdateCommandUI() {
    if (!m_pBookView || !m_pLeftForm) return;  // being built or taken down
    const bool pageShown = !m_pBookView->IsBlank();
    const bool readerActive = IsReaderActive();
    Enable(ID_PRINT, pageShown);
    Enable(ID_PRINT_SETUP, pageShown);
    Enable(ID_SELECT_ALL, pageShown);
    Enable(ID_EDIT_COPY, readerActive ? m_pBookView->CanCopyAll() : pageShown);
    Enable(ID_FILE_PRINT, readerActive);
    Enable(ID_FILE_EXPORT, m_pLeftForm->GetResearchSource() != nullptr);
    for (auto step = m_Steps.cbegin(); step != m_Steps.cend(); ++step) Enable(step.key(), m_pLeftForm->CanStep(step.value()));
}

void CMainFrame::RunReadingStep(CReadingState::Step step) {
    if (m_pLeftForm->CanStep(step)) m_pLeftForm->RunStep(step);
    UpdateCommandUI();
}

void CMainFrame::OnEditCopy() {
    if (IsReaderActive())
        m_pBookView->CopyAll();
    else if (!m_pBookView->IsBlank())
        m_pBookView->LimitedCopy();
}

void CMainFrame::OnSelectAll() {
    if (!m_pBookView->IsBlank()) m_pBookView->selectAll();
}

void CMainFrame::OnPrint() {
    if (!m_pBookView->IsBlank()) m_pBookView->PrintNow();
}

void CMainFrame::OnPrintSetup() {
    if (m_pBookView->IsBlank()) return;
    if (IsReaderActive())
        m_pBookView->PageSetup();
    else
        m_pBookView->PrintPreview();
}

void CMainFrame::OnFilePrint() {
    if (IsReaderActive()) m_pBookView->PrintWithDialog();
}

void CMainFrame::OnFileSave() {
    const QString fileName = QFileDialog::getSaveFileName(this, QString(), m_Options.documentName);
    if (fileName.isEmpty()) return;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))  // the document holds nothing
        m_pMessages->ShowMessage(QString::fromUtf8(kSaveFailedMessage));
}

void CMainFrame::SetExportDialog(std::unique_ptr<CExportDialog> dialog) { m_pExportDialog = std::move(dialog); }

void CMainFrame::OnFileExport() {
    const CResearchSource* source = m_pLeftForm->GetResearchSource();
    if (!source) return;
    const std::optional<CExportDialog::Choice> choice = m_pExportDialog->Ask(this);
    if (!choice) return;
    const CBusyCursor busy;
    const std::string bytes = choice->listing == CExportDialog::Listing::kLines
                                  ? CResultExport::Lines(m_pConcordance->AllLines(), choice->format)
                                  : CResultExport::Entries(source->GetResults(), source->GetTotalHits(), choice->format);
    if (!CResultExport::Write(choice->path, bytes)) m_pMessages->ShowMessage(QString::fromUtf8(kExportFailedMessage));
}

void CMainFrame::OnViewAll() { m_wndSplitter->ToggleSide(0); }

void CMainFrame::OnHelpFile() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(m_Options.programFolder).filePath(QString::fromLatin1(kHelpFileName))));
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::OnNextPane() { CyclePane(1); }

void CMainFrame::OnPrevPane() { CyclePane(-1); }

// The panel and the reader are the splitter's panes 0 and 1, the dock's table
// the third while it shows; a hidden pane is passed over.
void CMainFrame::CyclePane(int direction) {
    QList<QWidget*> panes{m_wndSplitter->GetPane(0), m_wndSplitter->GetPane(1)};
    if (m_pConcordance->isVisible()) panes << m_pConcordance->CurrentTable();
    const QWidget* focus = QApplication::focusWidget();
    const bool inDock = panes.size() == 3 && focus && m_pConcordance->isAncestorOf(focus);
    const int current = inDock ? 2 : m_wndSplitter->GetActivePane();
    const int count = int(panes.size());
    for (int step = 1; step < count; ++step) {
        const int next = ((current + direction * step) % count + count) % count;
        if (!panes[next]->isVisibleTo(this)) continue;
        if (next < 2)
            m_wndSplitter->SetActivePane(next);
        else
            panes[next]->setFocus(Qt::OtherFocusReason);
        return;
    }
}
