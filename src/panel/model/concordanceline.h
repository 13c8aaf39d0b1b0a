// ConcordanceLine: one hit of a search result in its context, as the
// concordance lists it: where it stands and the text around it.
#pragma once

#include <string>

struct ConcordanceLine {
    std::u16string category;
    std::u16string bookName;
    std::u16string volumeName;
    int pageInVolume = 0;
    int page = 0;
    int anchor = 0;           // the anchor of the match's first chunk on the hit page
    size_t resultIndex = 0;   // the result entry the line belongs to
    size_t sequence = 0;      // the line's place in result order
    std::u32string left;      // context before the match, nearest character last
    std::u32string match;
    std::u32string right;
};
