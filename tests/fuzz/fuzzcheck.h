// FUZZ_CHECK: an invariant of the code under test. A failure prints the
// condition and aborts, which libFuzzer reports as a crash with the input.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "index/index.h"

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : FuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

// The result lists of a search: parallel, counted, every page a page of the
// store, no page twice, and no page without a hit.
inline void CheckResultLists(const CIndex& index) {
    const std::vector<uint32_t>& pages = index.GetResultPages();
    const std::vector<uint32_t>& counts = index.GetResultCounts();
    FUZZ_CHECK(pages.size() == counts.size());
    FUZZ_CHECK(size_t(index.GetResultPageCount()) == pages.size());
    const uint32_t storePages = uint32_t(index.GetFileList().GetPageCount());
    for (size_t i = 0; i < pages.size(); ++i) {
        FUZZ_CHECK(pages[i] < storePages);
        FUZZ_CHECK(counts[i] > 0);
    }
    std::vector<uint32_t> sorted = pages;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
}
