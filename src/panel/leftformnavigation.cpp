// Reading navigation: page by page within the volume read, volume by volume
// in record order (the tree's selection moves to its neighbour entry, whose
// selection handling has the last word), hit by hit within the result page
// opened last, and the page where the toolbar's slider was let go.
#include "panel/leftform.h"

#include <QTreeWidget>

bool CLeftForm::CanStep(Step step) const {
    const bool reading = m_Toc.IsRecord(m_nCurNode);
    switch (step) {
    case Step::kPrevPage: return m_Toc.HasPageBefore(m_nCurNode, m_nCurPage);
    case Step::kNextPage: return m_Toc.HasPageAfter(m_nCurNode, m_nCurPage);
    case Step::kPrevVolume: return reading && m_Toc.PreviousVolume(m_nCurNode) != 0;
    case Step::kNextVolume: return reading && m_Toc.NextVolume(m_nCurNode) != 0;
    // The hit steps move within the result page while the reader shows it.
    case Step::kPrevHit: return m_bHitPageShown && m_nCurrentHit - 1 >= 0;
    case Step::kNextHit: return m_bHitPageShown && m_nCurrentHit + 1 < m_nHitCount;
    }
    return false;
}

// The volume steps tell the user when there is nowhere to go; the other steps
// have no such message and do nothing then.
void CLeftForm::RunStep(Step step) {
    switch (step) {
    case Step::kPrevVolume: OnPrevVolume(); return;
    case Step::kNextVolume: OnNextVolume(); return;
    default: break;
    }
    if (!CanStep(step)) return;
    switch (step) {
    case Step::kPrevPage: OnPrevPage(); break;
    case Step::kNextPage: OnNextPage(); break;
    case Step::kPrevHit: OnPrevHit(); break;
    case Step::kNextHit: OnNextHit(); break;
    default: break;
    }
}

void CLeftForm::OnPrevPage() {
    --m_nCurPage;
    ShowTocPage(m_nCurNode, 0, m_nCurPage);
    m_Services.pPageControls->SetSliderPos(m_nCurPage);
    ShowPageLabel();
    ReportReadingState();
}

void CLeftForm::OnNextPage() {
    ++m_nCurPage;
    ShowTocPage(m_nCurNode, 0, m_nCurPage);
    m_Services.pPageControls->SetSliderPos(m_nCurPage);
    ShowPageLabel();
    ReportReadingState();
}

void CLeftForm::OnNextVolume() {
    const int record = m_Toc.NextVolume(m_nCurNode);
    if (record == 0) {
        Message(kLastVolumeMessage);
        return;
    }
    SetVolume(record);
    QTreeWidgetItem* selected = SelectedTreeItem();
    QTreeWidgetItem* next = NextSibling(selected);
    if (!next) next = FirstChild(NextSibling(selected ? selected->parent() : nullptr));
    SelectTreeItem(next);
    ShowPageLabel();
    ReportReadingState();
}

void CLeftForm::OnPrevVolume() {
    const int record = m_Toc.PreviousVolume(m_nCurNode);
    if (record == 0) {
        Message(kFirstVolumeMessage);
        return;
    }
    SetVolume(record);
    QTreeWidgetItem* selected = SelectedTreeItem();
    QTreeWidgetItem* prev = PrevSibling(selected);
    if (!prev) {
        prev = FirstChild(PrevSibling(selected ? selected->parent() : nullptr));
        while (QTreeWidgetItem* later = NextSibling(prev)) prev = later;
    }
    SelectTreeItem(prev);
    ShowPageLabel();
    ReportReadingState();
}

void CLeftForm::OnPrevHit() {
    --m_nCurrentHit;
    m_Services.pReader->Navigate2(HitAddress(m_nCurrentHit));
    ReportReadingState();
}

void CLeftForm::OnNextHit() {
    ++m_nCurrentHit;
    m_Services.pReader->Navigate2(HitAddress(m_nCurrentHit));
    ReportReadingState();
}

void CLeftForm::OnSliderRelease(int printedPage) {
    if (m_nCurNode == 0) return;
    ShowTocPage(m_nCurNode, 0, printedPage);
    m_nCurPage = printedPage;
    ShowPageLabel();
    ReportReadingState();
}
