// TocRecord: one record of the table-of-contents file as read.
#pragma once

#include <cstdint>
#include <string>

struct TocRecord {
    std::u16string name;
    int32_t level = 0;
    int32_t docID = 0;
    int32_t docNo = 0;
    uint16_t curFileName = 0;
};
