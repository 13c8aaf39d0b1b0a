// A paragraph of a volume as the builder lays it out: a heading or an
// ordinary paragraph, made of runs of main text and annotations in reading
// order. Lengths are in characters (code points).
#pragma once

#include <string>
#include <vector>

struct TextRun {
    bool annotation = false;
    std::u32string text;
};

struct Paragraph {
    bool heading = false;
    std::vector<TextRun> runs;

    size_t Length() const {
        size_t length = 0;
        for (const TextRun& run : runs) length += run.text.size();
        return length;
    }
};
