// ContentsNodeTag: one entry of the table-of-contents outline (category, book
// or volume) with the run of pages it covers. A node owns its children; the
// root owns the whole outline.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ContentsNodeTag {
    std::u16string name;
    int32_t level = 0;  // 0 root, 1 category, 2 book, 3 volume
    int32_t docID = 0;  // page number of the run's first page + 1
    int32_t docNo = 0;  // pages in the run
    uint16_t curFileName = 0;  // printed page number of the run's first page
    int record = 0;     // record index in the table (0 for the root)
    ContentsNodeTag* parent = nullptr;
    ContentsNodeTag* prevVolume = nullptr;  // the volume loaded just before, under the same parent
    ContentsNodeTag* nextVolume = nullptr;
    std::vector<std::unique_ptr<ContentsNodeTag>> children;

    // docID <= page + 1 <= docID + docNo - 1, compared unsigned.
    bool Covers(uint32_t page) const {
        return uint32_t(docID) <= page + 1 && page + 1 <= uint32_t(docID) + uint32_t(docNo) - 1;
    }
};
