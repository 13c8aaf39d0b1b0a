// MarkedMatch: one match of a term as the hit page marks it. A match's anchors
// are consecutive: its first chunk's, then one per later chunk and per "?" run.
#pragma once

struct MarkedMatch {
    int firstAnchor = 0;
    int anchorCount = 0;
};
