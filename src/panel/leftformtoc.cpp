// The table of contents: the tree of "目録", the search range it selects, and
// the pages of a volume shown as the store holds them.
#include "panel/leftform.h"

#include <algorithm>
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QStandardPaths>
#include <QTreeWidget>

namespace {

constexpr int kRecordRole = Qt::UserRole;  // a tree item's data: its record index
constexpr const char* kClosedIcon = ":/res/tree_closed.png";
constexpr const char* kOpenIcon = ":/res/tree_open.png";
constexpr const char* kBlankLocation = "about:blank";

QIcon NodeIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap(QString::fromLatin1(kClosedIcon)), QIcon::Normal);
    icon.addPixmap(QPixmap(QString::fromLatin1(kOpenIcon)), QIcon::Selected);
    return icon;
}

}  // namespace

void CLeftForm::LoadTableOfContents() {
    if (!m_Toc.LoadTableOfContents(QFile::encodeName(m_Services.dataFolder).toStdString())) {
        Message(kNoTocMessage);
        return;
    }
    WriteListing();
    const QIcon icon = NodeIcon();
    m_TreeItems.assign(size_t(m_Toc.NodeCount()), nullptr);
    for (int record = 1; record < m_Toc.NodeCount(); ++record) {
        const int parent = m_Toc.ParentRecord(record);
        auto* item = parent ? new QTreeWidgetItem(m_TreeItems[size_t(parent)]) : new QTreeWidgetItem(m_TreeCtrl);
        item->setText(0, QString::fromStdU16String(m_Toc.Record(record).name));
        item->setIcon(0, icon);
        item->setData(0, kRecordRole, record);
        m_TreeItems[size_t(record)] = item;
    }
    // The first entry is the search range until the user chooses one.
    if (m_Toc.IsRecord(1)) {
        m_nScopeItem = 1;
        m_strScopePath = QString::fromStdU16String(m_Toc.ScopePath(1));
    }
}

// The listing serves diagnosis only: a cache folder that cannot be written
// loses it and nothing else.
void CLeftForm::WriteListing() const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return;
    QFile listing(QDir(folder).filePath(QString::fromLatin1(kListingFileName)));
    if (!listing.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    for (const std::string& line : m_Toc.ListingLines()) listing.write(line.data(), qint64(line.size()));
}

QTreeWidgetItem* CLeftForm::GetTreeItem(int record) const {
    return m_Toc.IsRecord(record) ? m_TreeItems[size_t(record)] : nullptr;
}

QTreeWidgetItem* CLeftForm::SelectedTreeItem() const {
    const QList<QTreeWidgetItem*> selected = m_TreeCtrl->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void CLeftForm::OnTocSelChanged() {
    QTreeWidgetItem* item = SelectedTreeItem();
    if (!item) {  // the selection was cleared: no range until the next one
        m_nScopeItem = 0;
        m_strScopePath.clear();
        m_ScopeLabel->setText(m_strScopePath);
        return;
    }
    const int record = item->data(0, kRecordRole).toInt();
    m_nScopeItem = uint16_t(record);
    m_strScopePath = item->text(0);
    for (const QTreeWidgetItem* ancestor = item->parent(); ancestor; ancestor = ancestor->parent())
        m_strScopePath = ancestor->text(0) + QLatin1Char('\\') + m_strScopePath;
    m_ScopeLabel->setText(m_strScopePath);
    if (item->childCount() == 0) SetVolume(record);
    ReportReadingState();
}

// Makes record the volume read and shows its first page; the slider covers
// the volume's printed pages.
void CLeftForm::SetVolume(int record) {
    ShowTocPage(record, 1, 1);
    SetReadingPosition(record, m_Toc.Record(record).curFileName);
}

// Reading printedPage of record's volume: the slider covers the volume's
// printed pages and stands at the page, and the page box shows it.
void CLeftForm::SetReadingPosition(int record, int printedPage) {
    const TocRecord& volume = m_Toc.Record(record);
    m_nCurNode = record;
    m_nCurPage = printedPage;
    const int64_t last = int64_t(volume.curFileName) + std::max<int64_t>(volume.docNo, 1) - 1;
    m_Services.pPageControls->SetSliderRange(volume.curFileName, int(std::min<int64_t>(last, INT32_MAX)));
    m_Services.pPageControls->SetSliderPos(printedPage);
    ShowPageLabel();
}

void CLeftForm::ShowPageLabel() {
    m_Services.pPageControls->SetPageLabel(CPageControls::PageLabelText(m_Index.GetHeaderWord(), m_nCurPage));
}

void CLeftForm::ShowTocPage(int record, int useOwnPage, int printedPage) {
    const ContentsNodeTag* node = m_Toc.Node(record);
    if (!node) return;
    if (useOwnPage == 1) printedPage = node->curFileName;
    m_bHitPageShown = false;  // whatever is shown now, it is not the hit page
    int page = -1;
    std::string html;
    bool found = false;
    try {
        // The scan runs on past the run's end; a page found there belongs to
        // another entry and is not this one's.
        found = m_Index.FindPrintedPage(node->docID > 0 ? node->docID - 1 : 0, printedPage, page) &&
                node->Covers(uint32_t(page)) && m_Index.ReadPage(page, html);
    } catch (const std::exception&) {  // the content file cannot be read
        found = false;
    }
    if (!found) {
        m_Services.pReader->Navigate2(QString::fromLatin1(kBlankLocation));
        return;
    }
    if (WritePageFile(m_strTocFile, html)) m_Services.pReader->Navigate2(m_strTocFile);
}

// A missing item is the tree's end: its siblings and parent are missing too,
// and the first child of a missing item is the first top-level entry.
QTreeWidgetItem* CLeftForm::NextSibling(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) return parent->child(parent->indexOfChild(item) + 1);
    return m_TreeCtrl->topLevelItem(m_TreeCtrl->indexOfTopLevelItem(item) + 1);
}

QTreeWidgetItem* CLeftForm::PrevSibling(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) return parent->child(parent->indexOfChild(item) - 1);
    return m_TreeCtrl->topLevelItem(m_TreeCtrl->indexOfTopLevelItem(item) - 1);
}

QTreeWidgetItem* CLeftForm::FirstChild(QTreeWidgetItem* item) const {
    return item ? item->child(0) : m_TreeCtrl->topLevelItem(0);
}

// Selecting runs the selection handling at once; a missing item clears the selection.
void CLeftForm::SelectTreeItem(QTreeWidgetItem* item) {
    if (!item) {
        m_TreeCtrl->clearSelection();
        return;
    }
    m_TreeCtrl->setCurrentItem(item);
    m_TreeCtrl->scrollToItem(item);
}
