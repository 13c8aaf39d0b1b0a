// SearchNodeTag: one result entry of a search, a page with the outline entries
// that hold it and its hits.
#pragma once

#include <string>

struct SearchNodeTag {
    std::u16string category;    // "類別"
    std::u16string bookName;    // "書名"
    std::u16string volumeName;  // "巻"; empty when no volume holds the page
    int page = 0;               // page number of the store
    int pageInVolume = 0;       // "頁", the printed page number; 0 without a volume
    int volumeRecord = 0;       // record index of that volume; 0 without one
    int hitCount = 0;
};
