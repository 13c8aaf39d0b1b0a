#include "app/concordancedock.h"

#include <climits>
#include <iterator>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/concordancemodel.h"
#include "panel/researchsource.h"

namespace {

constexpr int kPointSize = 11;
constexpr int kRecordRole = Qt::UserRole;  // a book row's data: the book's record index
constexpr int kLineColumnWidths[CConcordanceModel::kColumnCount] = {110, 90, 40, 300, 80, 300};
constexpr const char* kBookHeaders[] = {"類別", "書名", "頁", "箇所"};
// The sorts of the headers, also in the table's context menu (the menu key, Shift+F10).
struct SortCommand {
    const char* text;
    int column;
};
constexpr SortCommand kSortCommands[] = {
    {"結果順に並べる(&P)", CConcordanceModel::kPage},
    {"前文脈で並べる(&L)", CConcordanceModel::kLeft},
    {"後文脈で並べる(&R)", CConcordanceModel::kRight},
};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The left context is cut at its start, so the text next to the match stays in sight.
class CLeftContextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideLeft;
    }
};

QWidget* TabPage(QWidget* table, QLabel* label) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(table);
    layout->addWidget(label);
    return page;
}

}  // namespace

CConcordanceDock::CConcordanceDock(QWidget* parent) : QDockWidget(Text("用例一覧"), parent) {
    setObjectName(QStringLiteral("concordanceDock"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable);
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("sans-serif")});
    font.setPointSize(kPointSize);
    setFont(font);
    m_Tabs = new QTabWidget(this);
    m_Tabs->setObjectName(QStringLiteral("concordanceTabs"));
    CreateLinesTab();
    CreateBooksTab();
    setWidget(m_Tabs);
}

void CConcordanceDock::CreateLinesTab() {
    m_pModel = new CConcordanceModel(this);
    m_LineView = new QTableView;
    m_LineView->setObjectName(QStringLiteral("concordanceLines"));
    m_LineView->setModel(m_pModel);
    m_LineView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_LineView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_LineView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_LineView->setWordWrap(false);
    m_LineView->setShowGrid(false);
    m_LineView->setAlternatingRowColors(true);
    m_LineView->verticalHeader()->hide();
    m_LineView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_LineView->verticalHeader()->setDefaultSectionSize(m_LineView->fontMetrics().height() + 6);
    m_LineView->setItemDelegateForColumn(CConcordanceModel::kLeft, new CLeftContextDelegate(m_LineView));
    QHeaderView* header = m_LineView->horizontalHeader();
    for (int column = 0; column < CConcordanceModel::kColumnCount; ++column)
        header->resizeSection(column, kLineColumnWidths[column]);
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &CConcordanceDock::OnHeaderClicked);
    connect(m_LineView, &QAbstractItemView::activated, this, &CConcordanceDock::OnLineActivated);
    m_LineView->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const SortCommand& command : kSortCommands) {
        auto* action = new QAction(Text(command.text), m_LineView);
        const int column = command.column;
        connect(action, &QAction::triggered, this, [this, column] { OnHeaderClicked(column); });
        m_LineView->addAction(action);
    }
    m_LinesLabel = new QLabel;
    m_LinesLabel->setObjectName(QStringLiteral("concordanceStatus"));
    connect(m_pModel, &CConcordanceModel::ProgressChanged, this, &CConcordanceDock::ShowProgress);
    m_Tabs->addTab(TabPage(m_LineView, m_LinesLabel), Text("用例一覧"));
}

void CConcordanceDock::CreateBooksTab() {
    m_BookList = new QTreeWidget;
    m_BookList->setObjectName(QStringLiteral("bookTotals"));
    m_BookList->setRootIsDecorated(false);
    m_BookList->setAlternatingRowColors(true);
    m_BookList->setColumnCount(int(std::size(kBookHeaders)));
    QStringList headers;
    for (const char* header : kBookHeaders) headers << Text(header);
    m_BookList->setHeaderLabels(headers);
    m_BookList->header()->resizeSection(0, 90);
    m_BookList->header()->resizeSection(1, 200);
    m_BookList->header()->resizeSection(2, 70);
    connect(m_BookList, &QTreeWidget::itemActivated, this, &CConcordanceDock::OnBookActivated);
    m_BooksLabel = new QLabel;
    m_BooksLabel->setObjectName(QStringLiteral("bookTotalsStatus"));
    m_Tabs->addTab(TabPage(m_BookList, m_BooksLabel), Text("書名別集計"));
}

void CConcordanceDock::SetSource(CResearchSource* source) {
    m_pSource = source;
    m_bStale = false;
    Refill();
}

void CConcordanceDock::OnSearchFinished() {
    if (isHidden()) {
        m_bStale = true;
        return;
    }
    Refill();
}

void CConcordanceDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (!m_bStale) return;
    m_bStale = false;
    Refill();
}

void CConcordanceDock::Refill() {
    if (!m_pSource) {
        m_pModel->Start(nullptr);
        m_Books.clear();
        FillBooks();
        return;
    }
    m_pModel->Start(std::make_unique<CConcordance>(m_pSource->GetResults(), m_pSource->HitPageRenderer(), kContext));
    const ContentsNodeTag* range = m_pSource->GetSearchedRange();
    m_Books = range ? CBookTotals::Count(range, m_pSource->GetResults()) : std::vector<CBookTotals::Book>();
    FillBooks();
}

void CConcordanceDock::FillBooks() {
    m_BookList->clear();
    int pages = 0;
    int hits = 0;
    for (const CBookTotals::Book& book : m_Books) {
        auto* item = new QTreeWidgetItem(m_BookList, {QString::fromStdU16String(book.category),
                                                      QString::fromStdU16String(book.bookName),
                                                      QString::number(book.pages), QString::number(book.hits)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kRecordRole, book.node ? book.node->record : 0);
        pages += book.pages;
        hits = book.hits > INT_MAX - hits ? INT_MAX : hits + book.hits;
    }
    m_BooksLabel->setText(
        QStringLiteral("%1 書、全部で %2 頁で、%3 箇所でした。").arg(m_Books.size()).arg(pages).arg(hits));
}

void CConcordanceDock::ShowProgress() {
    QString text = QStringLiteral("用例 %1 件").arg(m_pModel->rowCount());
    if (m_pModel->Failed())
        text += Text("（読めない頁があり、そこまでです）");
    else if (m_pModel->IsFilling())
        text += QStringLiteral("（%1 / %2 頁を読み込み中）").arg(m_pModel->PagesRead()).arg(m_pModel->ResultCount());
    else if (!m_pModel->AtEnd())
        text += QStringLiteral("（%1 / %2 頁まで）").arg(m_pModel->PagesRead()).arg(m_pModel->ResultCount());
    m_LinesLabel->setText(text);
}

void CConcordanceDock::OnHeaderClicked(int section) {
    m_pModel->sort(section);
    QHeaderView* header = m_LineView->horizontalHeader();
    const bool byContext = CConcordanceModel::OrderOfColumn(section) != CConcordance::SortOrder::kPosition;
    header->setSortIndicatorShown(byContext);
    if (byContext) header->setSortIndicator(section, Qt::AscendingOrder);
}

void CConcordanceDock::OnLineActivated(const QModelIndex& index) {
    if (!m_pSource || !index.isValid()) return;
    const ConcordanceLine& line = m_pModel->Line(index.row());
    m_pSource->OpenHit(line.page, line.anchor);
}

void CConcordanceDock::OnBookActivated(QTreeWidgetItem* item) {
    const int record = item ? item->data(0, kRecordRole).toInt() : 0;
    if (m_pSource && record > 0) m_pSource->SearchInRange(record);
}

const std::vector<ConcordanceLine>& CConcordanceDock::AllLines() {
    if (m_bStale) {
        m_bStale = false;
        Refill();
    }
    m_pModel->FetchAll();
    return m_pModel->Lines();
}

QWidget* CConcordanceDock::CurrentTable() const {
    return m_Tabs->currentIndex() == kBooksTab ? static_cast<QWidget*>(m_BookList) : m_LineView;
}
