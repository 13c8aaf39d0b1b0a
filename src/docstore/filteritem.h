// FilterItem: one run of a text cell as CFileList::FilterCell cuts it: main
// text or the content of one annotation (its font tags removed). Owns its bytes.
#pragma once

#include <string>

struct FilterItem {
    enum Kind { kMainText = 0, kAnnotation = 1 };

    std::string text;  // UTF-8 bytes, other tags included
    int kind = kMainText;
};
