#include "panel/model/listingrows.h"

#include <string_view>

#include "base/codeconverter.h"

namespace {

std::string Utf8(std::u16string_view text) {
    std::string bytes;
    CCodeConverter::Utf16ToUtf8(text, bytes, true);
    return bytes;
}

std::string Utf8(std::u32string_view text) {
    std::string bytes;
    for (const char32_t c : text) CCodeConverter::AppendUtf8(c, bytes);
    return bytes;
}

}  // namespace

CListingRows::Row CListingRows::EntryColumns() { return {"category", "book", "volume", "pageInVolume", "page", "hits"}; }

CListingRows::Row CListingRows::EntryRow(const SearchNodeTag& entry) {
    return {Utf8(entry.category),           Utf8(entry.bookName),       Utf8(entry.volumeName),
            std::to_string(entry.pageInVolume), std::to_string(entry.page), std::to_string(entry.hitCount)};
}

CListingRows::Row CListingRows::BookColumns() { return {"category", "book", "pages", "hits"}; }

CListingRows::Row CListingRows::BookRow(const CBookTotals::Book& book) {
    return {Utf8(book.category), Utf8(book.bookName), std::to_string(book.pages), std::to_string(book.hits)};
}

CListingRows::Row CListingRows::LineColumns() {
    return {"CATEGORY", "BOOK", "VOLUME", "PAGEINVOLUME", "PAGE", "ANCHOR", "LEFT", "MATCH", "RIGHT"};
}

CListingRows::Row CListingRows::LineRow(const ConcordanceLine& line) {
    return {Utf8(line.category),
            Utf8(line.bookName),
            Utf8(line.volumeName),
            std::to_string(line.pageInVolume),
            std::to_string(line.page),
            std::to_string(line.anchor),
            Utf8(line.left),
            Utf8(line.match),
            Utf8(line.right)};
}

std::string CListingRows::TotalsLine(size_t pages, int hits) {
    return "全部で " + std::to_string(pages) + " 頁で、" + std::to_string(hits) + " 箇所でした。\n";
}
