#include "panel/model/booktotals.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

constexpr int kBookLevel = 2;

void CollectBooks(const ContentsNodeTag* node, std::vector<const ContentsNodeTag*>& books) {
    if (node->level == kBookLevel) {
        books.push_back(node);
        return;
    }
    if (node->level > kBookLevel) return;
    for (const auto& child : node->children) CollectBooks(child.get(), books);
}

// The range's books: its own, or those below it.
std::vector<const ContentsNodeTag*> BooksOf(const ContentsNodeTag* range) {
    while (range->level > kBookLevel && range->parent) range = range->parent;
    std::vector<const ContentsNodeTag*> books;
    CollectBooks(range, books);
    return books;
}

}  // namespace

std::vector<CBookTotals::Book> CBookTotals::Count(const ContentsNodeTag* range,
                                                  const std::vector<SearchNodeTag>& results) {
    std::vector<Book> totals;
    if (!range) return totals;
    std::vector<std::pair<uint32_t, int>> pages;  // page, hits; ascending
    pages.reserve(results.size());
    for (const SearchNodeTag& entry : results) pages.emplace_back(uint32_t(entry.page), entry.hitCount);
    std::sort(pages.begin(), pages.end());
    for (const ContentsNodeTag* book : BooksOf(range)) {
        if (book->docNo < 1) continue;
        // The book covers pages docID - 1 to docID + docNo - 2.
        const auto first = std::lower_bound(pages.begin(), pages.end(), std::make_pair(uint32_t(book->docID - 1), INT_MIN));
        Book total{book->parent ? book->parent->name : std::u16string(), book->name, book, 0, 0};
        for (auto p = first; p != pages.end() && book->Covers(p->first); ++p) {
            ++total.pages;
            total.hits = p->second > INT_MAX - total.hits ? INT_MAX : total.hits + p->second;
        }
        if (total.pages) totals.push_back(std::move(total));
    }
    return totals;
}
