// WordPlan: one search word as the phrase search walks it: the posting-list
// walk of each indexed character with its offset in the word, the word's
// terms, and what the walk may find. Shared by the exact position matching and
// the matching that lets punctuation stand between a term's characters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "index/postinglist.h"

class CScopeText;

inline constexpr size_t kMaxChars = 300;
inline constexpr uint32_t kMaxTermDistance = 300;
// Most pair lists a word's walk adds to its characters' lists.
inline constexpr size_t kMaxPairWalks = 2;

// One indexed character of the word and its walk through its posting list.
struct CharWalk {
    CPostingList list;    // no skip table for a word of one character
    uint32_t aligned;     // occurrence position + (L - 1 - wordOffset)
    uint32_t wordOffset;  // characters and wildcards before it, "*" not counted
};

// The characters of one term that holds indexed characters: [begin, end).
struct CharTerm {
    size_t begin;
    size_t end;
};

struct WordPlan {
    std::array<CharWalk, kMaxChars> chars;
    size_t charCount = 0;
    std::array<CharTerm, kMaxChars> terms;
    size_t termCount = 0;
    uint32_t length = 0;     // L
    uint32_t pageCount = 0;  // pages of the store; a list that reaches past them is corrupt
    // When set, only these pages (ascending) can be found: the pages the
    // earlier words of an all-words query left.
    const std::vector<uint32_t>* candidates = nullptr;
    // When set, runs of punctuation may stand between the characters of a
    // term, and this gives a page's text (null when it cannot be read) to
    // look at what stands between them.
    std::function<const CScopeText*(uint32_t page)> spaced;
};

// Counts the matches on page, all of whose lists stand on it, letting runs of
// punctuation stand between the characters of each term (plan.spaced set).
void MatchSpaced(WordPlan& plan, uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts);
