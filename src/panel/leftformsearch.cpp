// The search: the keyword box and the options read, the range checked, the
// index searched and the entries of the range built; and the scope buttons,
// which reopen the index on another part of the text.
#include "panel/leftform.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include "docstore/punctuation.h"
#include "docstore/storeformat.h"
#include "index/searchscope.h"
#include "panel/busycursor.h"
#include "panel/model/resultbuilder.h"
#include "panel/sortlistctrl.h"

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

QString TotalsText(size_t pages, int hits) {
    return QStringLiteral("全部で %1 頁で、%2 箇所でした。").arg(pages).arg(hits);
}

}  // namespace

// The box's text; none while it is empty, which ends a search silently.
std::optional<QString> CLeftForm::ReadKeywordBox() const {
    const QString text = m_KeywordBox->text();
    if (text.isEmpty()) return std::nullopt;
    return text;
}

void CLeftForm::OnSearch() {
    m_nCurrentHit = 0;
    m_nAndOr = m_OrButton->isChecked() ? 1 : 0;
    m_bVariants = m_VariantCheck->isChecked();
    m_bIgnorePunctuation = m_PunctuationCheck->isChecked();
    const QString previousKeyword = m_strKeyword;
    const std::optional<QString> typed = ReadKeywordBox();
    if (!typed) {
        ReportReadingState();
        return;
    }
    m_strKeyword = *typed;
    m_strKeyword.replace(QChar(kIdeographicSpace), QLatin1Char(' '));
    if (m_nScopeItem == 0) {
        Message(kNoRangeMessage);
        ReportReadingState();
        return;
    }
    // Spaces alone are no keyword either.
    if (m_strKeyword.trimmed().isEmpty()) {
        m_strKeyword = previousKeyword;
        Message(kNoKeywordMessage);
        ReportReadingState();
        return;
    }
    RunSearch();
    ReportReadingState();
}

void CLeftForm::RunSearch() {
    const CBusyCursor busy;
    // Without its punctuation the query is what both the search and the hit pages read.
    m_Index.SetIgnorePunctuation(m_bIgnorePunctuation);
    if (m_bIgnorePunctuation)
        m_strKeyword = QString::fromStdU16String(punctuation::WithoutPunctuation(m_strKeyword.toStdU16String()));
    std::u16string query = m_strKeyword.toStdU16String();
    // A query the index rejects (ASCII letters, say) leaves its lists as the
    // previous query left them; it finds nothing here.
    const bool accepted = CIndex::CountWords(query) > 0;
    if (m_nAndOr == 0)
        m_Index.SearchAll(query, m_bVariants);
    else
        m_Index.SearchAny(query, m_bVariants);
    m_strKeyword = QString::fromStdU16String(query);  // its spaces are ideographic now
    m_ResultList->clear();

    static const std::vector<uint32_t> kNone;
    const int total = CResultBuilder::BuildResults(m_Toc.Node(m_nScopeItem), accepted ? m_Index.GetResultPages() : kNone,
                                                   accepted ? m_Index.GetResultCounts() : kNone, m_Results);
    m_nSearchedItem = m_nScopeItem;
    m_nTotalHits = total;
    m_Pager.Reset(m_Results.size());
    m_TotalsLabel->setText(TotalsText(m_Results.size(), total));
    LayoutPanel();
    ShowResultPage();
    if (m_Services.searchFinished) m_Services.searchFinished();
}

// Until the next search, its options are what the last one left.
void CLeftForm::SearchInRange(int record) {
    QTreeWidgetItem* item = GetTreeItem(record);
    if (!item || m_strKeyword.isEmpty()) return;
    SelectTreeItem(item);
    RunSearch();
    ReportReadingState();
}

CConcordance::PageRenderer CLeftForm::HitPageRenderer() const {
    return [index = &m_Index, query = m_strKeyword.toStdU16String(), scope = m_nScopeCode,
            variants = m_bVariants](int page, CConcordance::HitPage& hitPage) {
        index->GetPageHtml(page, hitPage.html, query, scope, variants, &hitPage.marks);
    };
}

void CLeftForm::OnScopeFull() { OpenScope(SearchScope::kFull); }
void CLeftForm::OnScopeMain() { OpenScope(SearchScope::kMain); }
void CLeftForm::OnScopeNotes() { OpenScope(SearchScope::kNotes); }

// The entries listed stay; a result opened afterwards is marked in the new scope.
void CLeftForm::OpenScope(const SearchScope& scope) {
    m_Index.Close();
    m_Index.Open(QFile::encodeName(m_Services.dataFolder).toStdString(), storeformat::kBaseName,
                 int(scope.indexScope));
    m_nScopeCode = int(scope.renderScope);
}
