// The shared fixture of the micro-benchmarks: a synthetic collection of Zipf
// text written once into a temporary folder (removed at exit), its page texts,
// and posting lists laid out in memory as the posting file holds them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "index/index.h"
#include "index/postingcursor.h"

namespace microfixture {

// 5,000 pages of 400 characters; the index is open on the full-text scope.
struct Collection {
    std::filesystem::path folder;
    std::vector<std::string> texts;  // each page's text cell without tags, UTF-8
    CIndex index;
};
Collection& Shared();

// The first count characters of page's text, UTF-8.
std::string Phrase(const Collection& collection, size_t page, size_t offset, size_t count);

// A posting list of pages entries with positionsPerPage positions each, in
// 4096-byte blocks chained in order; source views it.
struct PostingList {
    std::string bytes;  // whole blocks
    std::vector<uint32_t> chain;
    CPostingCursor::Source source;
    uint32_t pages = 0;
};
PostingList MakeList(uint32_t pages, uint32_t positionsPerPage, uint32_t positionStep);

}  // namespace microfixture
