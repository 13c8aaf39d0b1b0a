// PageMarks: what a hit page's renderer marked: which cell holds the text it
// marked in, and every match with its anchors, pass after pass.
#pragma once

#include <vector>

#include "docstore/markedmatch.h"

struct PageMarks {
    int parity = 0;  // 0: the text stands in the first cell, 1: in the second
    std::vector<MarkedMatch> matches;
};
