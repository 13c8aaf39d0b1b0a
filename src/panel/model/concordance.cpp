#include "panel/model/concordance.h"

#include <algorithm>

#include "docstore/filelist.h"
#include "panel/model/hitpagetext.h"

CConcordance::CConcordance(std::vector<SearchNodeTag> results, PageRenderer render, int context)
    : m_results(std::move(results)), m_render(std::move(render)), m_context(size_t(std::max(context, 0))) {}

size_t CConcordance::FetchMore(size_t count, std::vector<ConcordanceLine>& lines, size_t maxPages) {
    size_t appended = 0;
    size_t pagesRead = 0;
    while (appended < count && !AtEnd()) {
        if (m_pending.empty()) {
            if (pagesRead++ == maxPages) break;
            LoadNextPage();
            continue;
        }
        lines.push_back(std::move(m_pending.front()));
        m_pending.pop_front();
        ++appended;
    }
    return appended;
}

void CConcordance::LoadNextPage() {
    const size_t resultIndex = m_nextResult++;
    const SearchNodeTag& entry = m_results[resultIndex];
    HitPage hitPage;
    m_render(entry.page, hitPage);
    if (hitPage.marks.matches.empty()) return;
    const std::vector<HTMLNode> cells = CFileList::SplitPage(hitPage.html);
    const CHitPageText text(cells[hitPage.marks.parity == 0 ? 1 : 2].text, hitPage.marks.matches);
    const std::u32string& plain = text.Text();
    for (const CHitPageText::Span& span : text.Spans()) {
        ConcordanceLine line;
        line.category = entry.category;
        line.bookName = entry.bookName;
        line.volumeName = entry.volumeName;
        line.pageInVolume = entry.pageInVolume;
        line.page = entry.page;
        line.anchor = span.anchor;
        line.resultIndex = resultIndex;
        line.sequence = m_nextSequence++;
        const size_t leftStart = span.begin - std::min(span.begin, m_context);
        line.left = plain.substr(leftStart, span.begin - leftStart);
        line.match = plain.substr(span.begin, span.end - span.begin);
        line.right = plain.substr(span.end, m_context);
        m_pending.push_back(std::move(line));
    }
}

void CConcordance::Sort(std::vector<ConcordanceLine>& lines, SortOrder order) {
    switch (order) {
    case SortOrder::kPosition:
        std::stable_sort(lines.begin(), lines.end(),
                         [](const ConcordanceLine& a, const ConcordanceLine& b) { return a.sequence < b.sequence; });
        break;
    case SortOrder::kLeft:
        std::stable_sort(lines.begin(), lines.end(), [](const ConcordanceLine& a, const ConcordanceLine& b) {
            return std::lexicographical_compare(a.left.rbegin(), a.left.rend(), b.left.rbegin(), b.left.rend());
        });
        break;
    case SortOrder::kRight:
        std::stable_sort(lines.begin(), lines.end(),
                         [](const ConcordanceLine& a, const ConcordanceLine& b) { return a.right < b.right; });
        break;
    }
}
