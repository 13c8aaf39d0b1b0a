// A paragraph of a volume as the builder lays it out: a heading or an
// ordinary paragraph, made of runs of main text and annotations in reading
// order. Lengths are in characters (code points).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A line break inside a paragraph: the page shows it as a line end, and it
// takes no position in any search scope.
inline constexpr char32_t kLineBreak = U'\u2028';

// A character without a code point, by its number in the Kanseki Repository's
// character table ("&KR0099;" in the source): kNumberedCharBase + its number,
// past the last code point, so that no character of the text is taken for one.
// The page shows it as 〓 with "KR0099" as its title; it takes one position.
inline constexpr char32_t kNumberedCharBase = 0x110000;
inline constexpr uint32_t kMaxCharNumber = 0xFFFD;

inline bool IsNumberedChar(char32_t cp) { return cp >= kNumberedCharBase && cp <= kNumberedCharBase + kMaxCharNumber; }

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
