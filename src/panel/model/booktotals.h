// CBookTotals: the pages and hits of a search result per book, with the
// category above each book, in outline order.
#pragma once

#include <string>
#include <vector>

#include "panel/model/contentsnodetag.h"
#include "panel/model/searchnodetag.h"

class CBookTotals {
public:
    struct Book {
        std::u16string category;
        std::u16string bookName;
        const ContentsNodeTag* node = nullptr;
        int pages = 0;
        int hits = 0;  // stops at INT_MAX
    };

    CBookTotals() = delete;

    // The books within range (the whole outline for the root, the book of a
    // volume) that hold entries of results, in outline order.
    static std::vector<Book> Count(const ContentsNodeTag* range, const std::vector<SearchNodeTag>& results);
};
