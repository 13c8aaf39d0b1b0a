// CListPager: the paging arithmetic of the results list. The entries of a
// search are shown 100 at a time, one list page each; the pager knows the
// number of list pages, the current one (1-based, 0 while there are no
// entries), which entries it holds, and what a number typed into the page box
// does. The search panel and its tests use it; it knows no widget.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CListPager {
public:
    static constexpr int kRowsPerPage = 100;

    // What a number typed into the page box did.
    enum class GoTo {
        kRejected,   // not a list page: the box shows the current page again
        kUnchanged,  // the current page
        kMoved,      // another page, now current
    };

    // A new search's entries: list page 1 when there are any, else 0.
    void Reset(size_t entryCount);

    size_t EntryCount() const { return m_nEntryCount; }
    int PageCount() const { return m_nListPageCount; }
    int Page() const { return m_nListPage; }
    bool IsFirstPage() const { return m_nListPage == 1; }
    bool IsLastPage() const { return m_nListPage == m_nListPageCount; }

    // Move one list page back or on; false (and no move) at the ends.
    bool Prev();
    bool Next();
    // The page number typed into the box, read like _wtol.
    GoTo GoToPage(std::u16string_view typed);

    // The entries of the current list page: [FirstEntry(), FirstEntry() + RowCount()).
    size_t FirstEntry() const;
    size_t RowCount() const;

    // The label beside the page box: "/" and the number of list pages.
    std::string CountLabel() const { return "/" + std::to_string(m_nListPageCount); }

    // The number text starts with, as _wtol reads it: blanks skipped, an
    // optional sign, then digits; 0 without digits. Values beyond int clamp to
    // its bounds.
    static int ParseNumber(std::u16string_view text);

private:
    size_t m_nEntryCount = 0;
    int m_nListPageCount = 0;
    int m_nListPage = 0;
};
