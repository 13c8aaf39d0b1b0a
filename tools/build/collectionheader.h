// CollectionHeader: the optional "collection.txt" at the top of a source
// folder. Its first line is the header word (a decimal number), the first
// number of the reader's page label; its second line, if any, is the header
// text of the page table. Further lines are not read.
#pragma once

#include <filesystem>
#include <string>

struct CollectionHeader {
    int word = 0;
    std::string text;  // UTF-8, at most 259 bytes

    // Raises CBuildError for an unreadable file, a first line that is not a
    // 32-bit decimal number, or a text that is not UTF-8 or does not fit.
    static CollectionHeader Read(const std::filesystem::path& path);
};
