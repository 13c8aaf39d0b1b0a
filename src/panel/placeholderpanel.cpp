#include "panel/placeholderpanel.h"

#include <string>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr const char* kTocFileName = "windows.html";

}  // namespace

CPlaceholderPanel::CPlaceholderPanel(const CPanelServices& services, QWidget* parent)
    : CSearchPanel(parent), m_Services(services), m_Notifier(services.pMessages), m_Index(&m_Notifier) {
    setObjectName(QStringLiteral("searchPanel"));
    m_strTocFile = QDir(m_Services.tempFolder).filePath(QString::fromLatin1(kTocFileName));

    auto* title = new QLabel(QStringLiteral("頁一覧"), this);
    title->setObjectName(QStringLiteral("panelTitle"));
    title->setContentsMargins(6, 4, 6, 2);
    m_pPageList = new QListWidget(this);
    m_pPageList->setObjectName(QStringLiteral("pageList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(m_pPageList);
    setFocusProxy(m_pPageList);

    m_Index.Open(QFile::encodeName(m_Services.dataFolder).toStdString(), "Index", 0);
    FillPageList();
    // A selection, not the current row: the list makes its first row current
    // when it first gets the focus, which must not show a page.
    connect(m_pPageList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = m_pPageList->selectedItems();
        if (!selected.isEmpty()) ShowPage(m_pPageList->row(selected.first()) + 1);
    });
}

CPlaceholderPanel::~CPlaceholderPanel() {
    m_Index.Close();
    QFile::remove(m_strTocFile);
}

int CPlaceholderPanel::PageCount() const { return m_Index.IsOpen() ? m_Index.GetFileList().GetPageCount() : 0; }

void CPlaceholderPanel::FillPageList() {
    for (int page = 0; page < PageCount(); ++page) {
        std::string name;
        m_Index.GetFileList().GetRecordName(page, name);
        m_pPageList->addItem(QStringLiteral("%1　%2").arg(page + 1).arg(QString::fromLatin1(name)));
    }
}

bool CPlaceholderPanel::CanStep(Step step) const {
    switch (step) {
    case Step::kPrevPage: return m_nCurNode != 0 && m_nCurPage > 1;
    case Step::kNextPage: return m_nCurNode != 0 && m_nCurPage < PageCount();
    default: return false;  // one volume, no result pages
    }
}

void CPlaceholderPanel::RunStep(Step step) {
    if (!CanStep(step)) return;
    ShowPage(step == Step::kPrevPage ? m_nCurPage - 1 : m_nCurPage + 1);
}

void CPlaceholderPanel::OnSliderRelease(int printedPage) {
    if (m_nCurNode != 0) ShowPage(printedPage);
}

void CPlaceholderPanel::ShowPage(int printedPage) {
    if (printedPage < 1 || printedPage > PageCount()) return;
    std::string html;
    bool read = false;
    try {
        read = m_Index.ReadPage(printedPage - 1, html);
    } catch (const std::exception&) {  // a read error of the content file
        read = false;
    }
    QFile file(m_strTocFile);
    if (read && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(html.data(), qint64(html.size())) == qint64(html.size())) {
        file.close();
        m_Services.pReader->Navigate2(m_strTocFile);
    }
    m_nCurNode = 1;
    m_nCurPage = printedPage;
    m_Services.pPageControls->SetSliderRange(1, PageCount());
    m_Services.pPageControls->SetSliderPos(printedPage);
    m_Services.pPageControls->SetPageLabel(CPageControls::PageLabelText(m_Index.GetHeaderWord(), printedPage));
    {
        const QSignalBlocker blocker(m_pPageList);
        m_pPageList->setCurrentRow(printedPage - 1);
    }
    if (m_Services.readingStateChanged) m_Services.readingStateChanged();
}
