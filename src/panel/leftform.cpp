// The panel's construction, its controls and their placement, the Enter key
// and the clean-up. The table of contents, the search, the results list and
// the reading navigation have files of their own.
#include "panel/leftform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTreeWidget>

#include "docstore/storeformat.h"
#include "index/indexformat.h"
#include "panel/sortlistctrl.h"
#include "panel/tooltipresourcebutton.h"

namespace {

constexpr const char* kTocFileName = "windows.html";
constexpr const char* kHitFileName1 = "windows1.html";
constexpr const char* kHitFileName2 = "windows2.html";
constexpr const char* kPrevPicture = ":/res/list_prev.png";
constexpr const char* kNextPicture = ":/res/list_next.png";

// The dialog font: a Japanese gothic face at 11 points.
constexpr int kDialogPointSize = 11;
// The keyword box's own font size, in pixels.
constexpr int kKeywordPixelSize = 14;

// The form's placements leave the tabs 22 pixels of height and put a group's
// title on the top line of its frame, as on a dialog.
// The page box keeps its number selected for the next one typed; the
// selection shows only while the box has the focus.
constexpr const char* kStyleSheet = R"(
QTabBar::tab { height: 20px; padding: 0 10px; }
QLineEdit#listPageEdit:!focus { selection-background-color: palette(base); selection-color: palette(text); }
QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 8px; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }
)";

struct Column {
    const char* header;
    int width;
};
constexpr Column kResultColumns[] = {{"類別", 45}, {"書名", 80}, {"巻", 60}, {"頁", 60}};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CLeftForm::CLeftForm(const CPanelServices& services, QWidget* parent)
    : CSearchPanel(parent), m_Services(services), m_Notifier(services.pMessages), m_Index(&m_Notifier) {
    setObjectName(QStringLiteral("searchPanel"));
    const QDir temp(m_Services.tempFolder);
    m_strTocFile = temp.filePath(QString::fromLatin1(kTocFileName));
    m_strHitFile1 = temp.filePath(QString::fromLatin1(kHitFileName1));
    m_strHitFile2 = temp.filePath(QString::fromLatin1(kHitFileName2));
    m_Index.Open(QFile::encodeName(m_Services.dataFolder).toStdString(), storeformat::kBaseName,
                 int(IndexScope::kFullText));
    OnInitialUpdate();
}

CLeftForm::~CLeftForm() {
    m_PageEdit->removeEventFilter(this);  // its focus may move while the children go
    m_Index.Close();
    for (const QString& file : {m_strTocFile, m_strHitFile1, m_strHitFile2}) QFile::remove(file);
}

void CLeftForm::OnInitialUpdate() {
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("sans-serif")});
    font.setPointSize(kDialogPointSize);
    setFont(font);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    CreateControls();
    LoadTableOfContents();
    m_TotalsLabel->setText(Text("検索集計："));
    m_ScopeLabel->setText(m_strScopePath);
    m_TabCtrl->setCurrentIndex(kTocTab);
    // Enter anywhere in the panel: installed on every control, so the key is
    // seen before the control that has the focus handles it.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    LayoutPanel();
}

void CLeftForm::CreateControls() {
    m_TabCtrl = new QTabWidget(this);
    m_TabCtrl->setObjectName(QStringLiteral("tabs"));
    m_TabCtrl->addTab(new QWidget, Text("目録"));
    m_TabCtrl->addTab(new QWidget, Text("検索"));
    connect(m_TabCtrl, &QTabWidget::currentChanged, this, &CLeftForm::OnTabChanged);

    m_TreeCtrl = new QTreeWidget(this);
    m_TreeCtrl->setObjectName(QStringLiteral("toc"));
    m_TreeCtrl->setHeaderHidden(true);
    m_TreeCtrl->setColumnCount(1);
    m_TreeCtrl->setIconSize(QSize(20, 20));
    m_TreeCtrl->setSelectionMode(QAbstractItemView::SingleSelection);
    m_TreeCtrl->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_TreeCtrl->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_TreeCtrl->header()->setStretchLastSection(false);
    connect(m_TreeCtrl, &QTreeWidget::itemSelectionChanged, this, &CLeftForm::OnTocSelChanged);

    CreateSearchControls();
    CreateResultControls();
    // From the search button the Tab key goes on to the results it filled.
    setTabOrder(m_SearchButton, m_ResultList);
}

void CLeftForm::CreateSearchControls() {
    m_PromptLabel = new QLabel(Text("キーワードを入力して下さい。"), this);
    m_PromptLabel->setObjectName(QStringLiteral("prompt"));

    m_KeywordBox = new QLineEdit(this);
    m_KeywordBox->setObjectName(QStringLiteral("keywordBox"));
    QFont keywordFont = font();
    keywordFont.setFamilies({QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Serif CJK JP"), QStringLiteral("serif")});
    keywordFont.setPixelSize(kKeywordPixelSize);
    m_KeywordBox->setFont(keywordFont);

    m_SearchButton = new QPushButton(Text("検索"), this);
    m_SearchButton->setObjectName(QStringLiteral("searchButton"));
    connect(m_SearchButton, &QPushButton::clicked, this, &CLeftForm::OnSearch);

    m_Separator = new QFrame(this);
    m_Separator->setObjectName(QStringLiteral("separator"));
    m_Separator->setFrameShape(QFrame::HLine);
    m_Separator->setFrameShadow(QFrame::Sunken);

    m_VariantCheck = new QCheckBox(Text("簡繁・中日等の異体字の関連"), this);
    m_VariantCheck->setObjectName(QStringLiteral("variants"));
    m_VariantCheck->setChecked(m_bVariants);

    m_PunctuationCheck = new QCheckBox(Text("句読点を無視"), this);
    m_PunctuationCheck->setObjectName(QStringLiteral("punctuation"));
    m_PunctuationCheck->setChecked(m_Services.ignorePunctuation);
    if (m_Services.ignorePunctuationChanged)
        connect(m_PunctuationCheck, &QCheckBox::toggled, this, m_Services.ignorePunctuationChanged);

    m_MethodGroup = new QGroupBox(Text("検索方法："), this);
    m_MethodGroup->setObjectName(QStringLiteral("methodGroup"));
    m_AndButton = new QRadioButton(QStringLiteral("and"), this);
    m_AndButton->setObjectName(QStringLiteral("andButton"));
    m_OrButton = new QRadioButton(QStringLiteral("or"), this);
    m_OrButton->setObjectName(QStringLiteral("orButton"));
    auto* andOr = new QButtonGroup(this);
    andOr->addButton(m_AndButton, 0);
    andOr->addButton(m_OrButton, 1);
    m_AndButton->setChecked(m_nAndOr == 0);

    m_TargetGroup = new QGroupBox(Text("検索対象："), this);
    m_TargetGroup->setObjectName(QStringLiteral("targetGroup"));
    m_FullButton = new QRadioButton(Text("全文"), this);
    m_FullButton->setObjectName(QStringLiteral("fullButton"));
    m_MainButton = new QRadioButton(Text("正文"), this);
    m_MainButton->setObjectName(QStringLiteral("mainButton"));
    m_NotesButton = new QRadioButton(Text("注釈"), this);
    m_NotesButton->setObjectName(QStringLiteral("notesButton"));
    auto* scopes = new QButtonGroup(this);
    for (QRadioButton* scope : {m_FullButton, m_MainButton, m_NotesButton}) scopes->addButton(scope);
    m_FullButton->setChecked(true);
    connect(m_FullButton, &QRadioButton::clicked, this, &CLeftForm::OnScopeFull);
    connect(m_MainButton, &QRadioButton::clicked, this, &CLeftForm::OnScopeMain);
    connect(m_NotesButton, &QRadioButton::clicked, this, &CLeftForm::OnScopeNotes);

    m_RangeGroup = new QGroupBox(Text("検索範囲："), this);
    m_RangeGroup->setObjectName(QStringLiteral("rangeGroup"));
    m_ScopeLabel = new QLabel(this);
    m_ScopeLabel->setObjectName(QStringLiteral("scopeLabel"));
    QPalette red = m_ScopeLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_ScopeLabel->setPalette(red);

    m_TotalsLabel = new QLabel(this);
    m_TotalsLabel->setObjectName(QStringLiteral("totalsLabel"));
}

void CLeftForm::CreateResultControls() {
    m_ResultList = new CSortListCtrl(this);
    m_ResultList->setObjectName(QStringLiteral("results"));
    QStringList headers;
    for (const Column& column : kResultColumns) headers << Text(column.header);
    m_ResultList->setHeaderLabels(headers);
    m_ResultList->header()->setMinimumSectionSize(1);  // "類別" is narrower than the style's minimum
    for (int i = 0; i < int(std::size(kResultColumns)); ++i) m_ResultList->setColumnWidth(i, kResultColumns[i].width);
    m_ResultList->header()->setStretchLastSection(false);
    m_ResultList->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_ResultList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty()) OnResultItemChanged();
            });

    m_PrevButton = new CToolTipResourceButton(QStringLiteral("<"), this);
    m_PrevButton->setObjectName(QStringLiteral("prevListPage"));
    m_PrevButton->LoadBitmap(QString::fromLatin1(kPrevPicture));
    const QString prevTip = QStringLiteral("Previous Page");
    m_PrevButton->SetToolTipText(&prevTip, true);
    connect(m_PrevButton, &QPushButton::clicked, this, &CLeftForm::OnPrevListPage);

    m_NextButton = new CToolTipResourceButton(QStringLiteral(">"), this);
    m_NextButton->setObjectName(QStringLiteral("nextListPage"));
    m_NextButton->LoadBitmap(QString::fromLatin1(kNextPicture));
    const QString nextTip = QStringLiteral("Next Page");
    m_NextButton->SetToolTipText(&nextTip, true);
    connect(m_NextButton, &QPushButton::clicked, this, &CLeftForm::OnNextListPage);

    m_PageEdit = new QLineEdit(this);
    m_PageEdit->setObjectName(QStringLiteral("listPageEdit"));
    m_PageEdit->setAlignment(Qt::AlignCenter);
    m_PageEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_PageEdit));
    m_PageEdit->setTextMargins(0, 0, 0, 0);

    m_PageCountLabel = new QLabel(this);
    m_PageCountLabel->setObjectName(QStringLiteral("listPageCount"));
}

void CLeftForm::resizeEvent(QResizeEvent* event) {
    CSearchPanel::resizeEvent(event);
    LayoutPanel();
}

void CLeftForm::LayoutPanel() {
    const int w = width();
    const int h = height();
    m_TabCtrl->setGeometry(0, 0, w - 1, h - 1);
    if (m_TabCtrl->currentIndex() == kSearchTab)
        LayoutSearchTab(w, h);
    else
        LayoutTocTab(w, h);
}

// A tab switch, by mouse or keyboard, gives the focus to the tab's first control.
void CLeftForm::OnTabChanged() {
    LayoutPanel();
    (m_TabCtrl->currentIndex() == kSearchTab ? static_cast<QWidget*>(m_KeywordBox) : m_TreeCtrl)
        ->setFocus(Qt::TabFocusReason);
}

// The controls of the tab shown come first; a control that had the focus
// hands it to first before it is hidden, so the focus never leaves the panel.
void CLeftForm::HideControls(std::initializer_list<QWidget*> controls, QWidget* first) {
    for (QWidget* control : controls)
        if (control->hasFocus()) first->setFocus(Qt::OtherFocusReason);
    for (QWidget* control : controls) control->hide();
}

void CLeftForm::LayoutSearchTab(int w, int h) {
    struct Placement {
        QWidget* control;
        QRect rect;
    };
    const Placement placements[] = {
        {m_PromptLabel, {5, 28, w - 10, 15}},  {m_KeywordBox, {5, 45, w - 60, 25}},
        {m_SearchButton, {w - 50, 45, 45, 25}}, {m_Separator, {4, 75, w - 8, 1}},
        {m_VariantCheck, {5, 80, w - 15, 15}},  {m_PunctuationCheck, {5, 98, w - 15, 15}},
        {m_MethodGroup, {5, 118, w - 10, 40}},  {m_AndButton, {10, 133, 50, 20}},
        {m_OrButton, {w - 70, 133, 50, 20}},    {m_TargetGroup, {5, 163, w - 10, 40}},
        {m_FullButton, {10, 178, 60, 20}},      {m_MainButton, {97, 178, 60, 20}},
        {m_NotesButton, {189, 178, 60, 20}},    {m_RangeGroup, {5, 208, w - 10, 40}},
        {m_ScopeLabel, {10, 223, w - 30, 20}},  {m_TotalsLabel, {5, 253, w - 15, 15}},
    };
    // The groups were made before the controls they frame, which so stand above them.
    for (const Placement& p : placements) {
        p.control->setGeometry(p.rect);
        p.control->show();
    }

    int pagerHeight = 0;
    if (m_Pager.PageCount() > 0) {
        const int bw = m_PrevButton->width();
        const int bh = m_PrevButton->height();
        pagerHeight = bh + 2;
        const int y = h - 3 - pagerHeight;
        const int boxX = (w - 139) / 2 + 37;
        m_PrevButton->move(5, y);
        m_NextButton->move(w - bw - 5, y);
        m_PageEdit->setGeometry(boxX, y + 6, 35, 20);
        m_PageCountLabel->setGeometry(boxX + 37, y + 8, 30, 24);
        for (QWidget* control : {static_cast<QWidget*>(m_PrevButton), static_cast<QWidget*>(m_NextButton),
                                 static_cast<QWidget*>(m_PageEdit), static_cast<QWidget*>(m_PageCountLabel)})
            control->show();
        m_PrevButton->setEnabled(!m_Pager.IsFirstPage());
        m_NextButton->setEnabled(!m_Pager.IsLastPage());
    } else {
        for (QWidget* control : {static_cast<QWidget*>(m_PrevButton), static_cast<QWidget*>(m_NextButton),
                                 static_cast<QWidget*>(m_PageEdit), static_cast<QWidget*>(m_PageCountLabel)})
            control->hide();
    }
    m_ResultList->setGeometry(5, 268, w - 10, h - 272 - pagerHeight);
    m_ResultList->show();
    HideControls({m_TreeCtrl}, m_KeywordBox);
    setFocusProxy(m_KeywordBox);
}

void CLeftForm::LayoutTocTab(int w, int h) {
    m_TreeCtrl->setGeometry(5, 26, w - 10, h - 30);
    m_TreeCtrl->show();
    HideControls({m_SearchButton, m_MethodGroup, m_TargetGroup, m_RangeGroup, m_AndButton, m_OrButton, m_FullButton,
                  m_MainButton, m_NotesButton, m_VariantCheck, m_PunctuationCheck, m_Separator, m_PromptLabel, m_TotalsLabel, m_ScopeLabel,
                  m_KeywordBox, m_PrevButton, m_NextButton, m_PageEdit, m_PageCountLabel, m_ResultList},
                 m_TreeCtrl);
    setFocusProxy(m_TreeCtrl);
}

bool CLeftForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // None of the panel's controls does anything of its own with Enter,
            // so the key ends here and is applied once, not again by each
            // parent it would be passed on to.
            ApplyEnterKey(watched);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == m_PageEdit) {
        GoToListPage();
    }
    return CSearchPanel::eventFilter(watched, event);
}

// The keyword box always searches and the page box always goes to its list
// page; elsewhere the number of list pages decides.
void CLeftForm::ApplyEnterKey(QObject* target) {
    if (target == m_KeywordBox)
        OnSearch();
    else if (target == m_PageEdit || m_Pager.PageCount() > 1)
        GoToListPage();
    else
        OnSearch();
}

void CLeftForm::Message(const char* text) {
    if (m_Services.pMessages) m_Services.pMessages->ShowMessage(QString::fromUtf8(text));
}

void CLeftForm::ReportReadingState() {
    if (m_Services.readingStateChanged) m_Services.readingStateChanged();
}

bool CLeftForm::WritePageFile(const QString& path, std::string_view bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
