// CConcordance: the concordance lines of a search result, one per match marked
// on the hit pages, made page by page in result order as they are asked for,
// and the orders a concordancer sorts them in.
//
// A concordance owns its result entries and holds nothing of the index but
// its renderer, so it may be filled on a thread of its own. A renderer calling
// CIndex::GetPageHtml reads only the document store (positioned reads) and the
// variant groups; other const calls and the searches may run beside it, but
// the index must not be opened, closed or given another variant table until
// the concordance's thread has stopped.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "docstore/pagemarks.h"
#include "panel/model/concordanceline.h"
#include "panel/model/searchnodetag.h"

class CConcordance {
public:
    enum class SortOrder { kPosition, kLeft, kRight };

    // A rendered hit page: its HTML and what the renderer marked in it.
    struct HitPage {
        std::string html;
        PageMarks marks;
    };
    // Renders page as the hit page of the search; a page that cannot be read
    // is left with no marks.
    using PageRenderer = std::function<void(int page, HitPage& hitPage)>;

    static constexpr int kDefaultContext = 20;

    // results are the result entries in list order; context the most
    // characters before and after a match.
    CConcordance(std::vector<SearchNodeTag> results, PageRenderer render, int context = kDefaultContext);

    // Appends up to count further lines to lines; returns how many it appended.
    // Reads at most maxPages further result pages: a result whose pages mark
    // little can take long to yield count lines, and a caller that shows
    // progress or can be cancelled asks for a few pages at a time.
    size_t FetchMore(size_t count, std::vector<ConcordanceLine>& lines, size_t maxPages = SIZE_MAX);
    bool AtEnd() const { return m_pending.empty() && m_nextResult == m_results.size(); }
    // Result entries read so far, of ResultCount().
    size_t PagesRead() const { return m_nextResult; }
    size_t ResultCount() const { return m_results.size(); }

    // Stable, by code point: result order, the text before the match read
    // backwards from the match, or the text after it.
    static void Sort(std::vector<ConcordanceLine>& lines, SortOrder order);

private:
    void LoadNextPage();

    std::vector<SearchNodeTag> m_results;
    PageRenderer m_render;
    size_t m_context;
    size_t m_nextResult = 0;
    size_t m_nextSequence = 0;
    std::deque<ConcordanceLine> m_pending;
};
