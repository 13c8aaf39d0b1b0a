#include "panel/model/listingrows.h"

#include "base/codeconverter.h"

CListingRows::Row CListingRows::EntryColumns() { return {"category", "book", "volume", "pageInVolume", "page", "hits"}; }

CListingRows::Row CListingRows::EntryRow(const SearchNodeTag& entry) {
    return {CCodeConverter::ToUtf8(entry.category),           CCodeConverter::ToUtf8(entry.bookName),       CCodeConverter::ToUtf8(entry.volumeName),
            std::to_string(entry.pageInVolume), std::to_string(entry.page), std::to_string(entry.hitCount)};
}

CListingRows::Row CListingRows::BookColumns() { return {"category", "book", "pages", "hits"}; }

CListingRows::Row CListingRows::BookRow(const CBookTotals::Book& book) {
    return {CCodeConverter::ToUtf8(book.category), CCodeConverter::ToUtf8(book.bookName), std::to_string(book.pages), std::to_string(book.hits)};
}

CListingRows::Row CListingRows::LineColumns() {
    return {"CATEGORY", "BOOK", "VOLUME", "PAGEINVOLUME", "PAGE", "ANCHOR", "LEFT", "MATCH", "RIGHT"};
}

CListingRows::Row CListingRows::LineRow(const ConcordanceLine& line) {
    return {CCodeConverter::ToUtf8(line.category),
            CCodeConverter::ToUtf8(line.bookName),
            CCodeConverter::ToUtf8(line.volumeName),
            std::to_string(line.pageInVolume),
            std::to_string(line.page),
            std::to_string(line.anchor),
            CCodeConverter::ToUtf8(line.left),
            CCodeConverter::ToUtf8(line.match),
            CCodeConverter::ToUtf8(line.right)};
}

std::string CListingRows::TotalsLine(size_t pages, int hits) {
    return "全部で " + std::to_string(pages) + " 頁で、" + std::to_string(hits) + " 箇所でした。\n";
}
