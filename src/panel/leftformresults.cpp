// The results list: the rows of one list page, "<", ">" and the page box, and
// the opening of a row's page with the keyword marked.
#include "panel/leftform.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>

#include "panel/sortlistctrl.h"
#include "panel/tooltipresourcebutton.h"

void CLeftForm::ShowResultPage() {
    if (m_Pager.Page() < 1) return;
    m_ResultList->clear();
    UpdatePager();
    const size_t first = m_Pager.FirstEntry();
    for (size_t i = first; i < first + m_Pager.RowCount(); ++i) {
        const SearchNodeTag& entry = m_Results[i];
        m_ResultList->AddRow({QString::fromStdU16String(entry.category), QString::fromStdU16String(entry.bookName),
                              QString::fromStdU16String(entry.volumeName), QString::number(entry.pageInVolume)},
                             entry.page);
    }
}

void CLeftForm::UpdatePager() {
    const bool several = m_Pager.PageCount() > 1;
    m_PrevButton->setEnabled(several && !m_Pager.IsFirstPage());
    m_NextButton->setEnabled(several && !m_Pager.IsLastPage());
    m_PageEdit->setEnabled(true);
    m_PageEdit->setText(QString::number(m_Pager.Page()));
    m_PageEdit->setReadOnly(!several);
    m_PageEdit->selectAll();
    m_PageCountLabel->setText(QString::fromStdString(m_Pager.CountLabel()));
}

void CLeftForm::OnPrevListPage() {
    if (m_Pager.Prev()) ShowResultPage();
}

void CLeftForm::OnNextListPage() {
    if (m_Pager.Next()) ShowResultPage();
}

void CLeftForm::GoToListPage() {
    switch (m_Pager.GoToPage(m_PageEdit->text().toStdU16String())) {
    case CListPager::GoTo::kRejected:
        m_PageEdit->setText(QString::number(m_Pager.Page()));
        m_PageEdit->selectAll();
        break;
    case CListPager::GoTo::kMoved:
        ShowResultPage();
        break;
    case CListPager::GoTo::kUnchanged:
        break;
    }
}

void CLeftForm::OnResultItemChanged() {
    const QList<QTreeWidgetItem*> selected = m_ResultList->selectedItems();
    if (selected.isEmpty()) return;
    OpenHitPage(m_ResultList->ItemData(m_ResultList->indexOfTopLevelItem(selected.first())), 0);
}

void CLeftForm::OpenHit(int page, int anchor) { OpenHitPage(page, anchor); }

void CLeftForm::OpenHitPage(int page, int anchor) {
    const QString file = m_bAltFile ? m_strHitFile1 : m_strHitFile2;
    std::string html;
    int anchors = 0;
    try {
        anchors = m_Index.GetPageHtml(page, html, m_strKeyword.toStdU16String(), m_nScopeCode, m_bVariants);
    } catch (const std::exception&) {  // the content file cannot be read: the reader keeps its page
        return;
    }
    // A readable page always renders to the hit-page template; nothing at all
    // means the store could not give the page, and the reader keeps its page.
    if (html.empty()) return;
    if (!WritePageFile(file, html)) return;
    m_nHitCount = anchors;
    m_nCurrentHit = anchor >= 0 && anchor < anchors ? anchor : 0;
    m_strResultFile = file;
    m_Services.pReader->ShowHitPage(HitAddress(m_nCurrentHit), TextCellOf(page));
    m_bHitPageShown = true;
    m_bAltFile = !m_bAltFile;
    ReadOnFrom(page);
    ReportReadingState();
}

QString CLeftForm::HitAddress(int hit) const { return m_strResultFile + QString::asprintf("#%04d", hit); }

int CLeftForm::TextCellOf(int page) const {
    std::string name;
    return m_Index.GetFileList().GetRecordName(page, name) ? CFileList::PageParity(name) : 0;
}

// The page and volume steps go on from the result opened: its volume and page
// become the reading position. The tree's selection and the range stay.
void CLeftForm::ReadOnFrom(int page) {
    const auto entry = std::find_if(m_Results.begin(), m_Results.end(),
                                    [page](const SearchNodeTag& result) { return result.page == page; });
    if (entry == m_Results.end() || !m_Toc.IsRecord(entry->volumeRecord)) return;
    SetReadingPosition(entry->volumeRecord, entry->pageInVolume);
}
