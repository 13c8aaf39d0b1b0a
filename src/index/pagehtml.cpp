// The hit page of a search result, with the query's variant spellings marked
// as well when the variant option is on, and punctuation passed over inside
// its words when that option is.
#include <string>
#include <vector>

#include "index/index.h"

int CIndex::GetPageHtml(int page, std::string& html, std::u16string_view query, int renderScope,
                        bool useVariants, PageMarks* marks) const {
    query = query.substr(0, query.find(u'\0'));  // the query ends at a NUL
    // The renderer drops the punctuation of every spelling when it is ignored.
    // An empty query has nothing to expand.
    if (!useVariants || query.empty())
        return m_FileList.RenderHitPage(page, html, query, renderScope, marks, m_bIgnorePunctuation);
    // Every spelling becomes terms of one list; the renderer passes over each
    // distinct term once, in the order the spellings come.
    const std::vector<std::u16string> spellings = ExpandVariants(query);
    std::u16string terms;
    terms.reserve(spellings.size() * (query.size() + 1));
    for (size_t i = 0; i < spellings.size(); ++i) {
        if (i > 0) terms.push_back(u' ');
        terms.append(spellings[i]);
    }
    return m_FileList.RenderHitPage(page, html, terms, renderScope, marks, m_bIgnorePunctuation);
}
