#include "panel/model/listpager.h"

#include <algorithm>
#include <climits>

void CListPager::Reset(size_t entryCount) {
    const size_t pages = entryCount / kRowsPerPage + (entryCount % kRowsPerPage != 0 ? 1 : 0);
    // More than INT_MAX list pages would need more entries than memory holds.
    m_nEntryCount = entryCount;
    m_nListPageCount = pages > size_t(INT_MAX) ? INT_MAX : int(pages);
    m_nListPage = m_nListPageCount > 0 ? 1 : 0;
}

bool CListPager::Prev() {
    if (m_nListPage <= 1) return false;
    --m_nListPage;
    return true;
}

bool CListPager::Next() {
    if (m_nListPage >= m_nListPageCount) return false;
    ++m_nListPage;
    return true;
}

CListPager::GoTo CListPager::GoToPage(std::u16string_view typed) {
    const int n = ParseNumber(typed);
    if (n < 1 || n > m_nListPageCount) return GoTo::kRejected;
    if (n == m_nListPage) return GoTo::kUnchanged;
    m_nListPage = n;
    return GoTo::kMoved;
}

size_t CListPager::FirstEntry() const {
    return m_nListPage < 1 ? 0 : size_t(m_nListPage - 1) * kRowsPerPage;
}

size_t CListPager::RowCount() const {
    if (m_nListPage < 1) return 0;
    const size_t first = FirstEntry();
    return first >= m_nEntryCount ? 0 : std::min<size_t>(kRowsPerPage, m_nEntryCount - first);
}

int CListPager::ParseNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
    }
    return int(negative ? -value : value);
}
