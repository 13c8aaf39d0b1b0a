// Seg: one literal chunk of a search term, as CFileList::ParseTerm cuts the
// term at its "*" and "?" wildcards. The highlighter matches the chunks in order.
#pragma once

#include <string>

struct Seg {
    enum Kind {
        kAfterStar = 0,      // follows a "*": any stretch within a paragraph before it
        kAfterQuestion = 1,  // follows gap "?" inside the same "*"-separated piece
        kFirst = 2,          // begins the term
    };

    int kind = kFirst;
    std::string bytes;  // never empty once the term is parsed
    int gap = 0;        // kAfterQuestion: the number of "?" before the chunk
};
