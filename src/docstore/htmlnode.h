// HTMLNode: one section of a stored page as CFileList::SplitPage cuts it out
// (the title or one of the two table cells). Owns its bytes.
#pragma once

#include <string>

struct HTMLNode {
    std::string text;  // UTF-8 bytes, tags included, cell and title tags removed
};
