// Result lists as the fuzz targets compare them, and how the words' own
// results combine into the results of a whole query: by intersection in
// SearchAll, by union in SearchAny. Written plainly, quadratic and all, as the
// reference the index's merging is checked against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "index/index.h"

using Hits = std::vector<std::pair<uint32_t, uint32_t>>;  // (page, count) in result order

inline Hits Results(const CIndex& index) {
    Hits hits;
    for (int i = 0; i < index.GetResultPageCount(); ++i)
        hits.push_back({index.GetResultPages()[size_t(i)], index.GetResultCounts()[size_t(i)]});
    return hits;
}

inline Hits::iterator FindPage(Hits& hits, uint32_t page) {
    return std::find_if(hits.begin(), hits.end(), [page](const auto& h) { return h.first == page; });
}

// All words: the first word's pages that every later word has too, counts summed.
inline Hits Intersect(const std::vector<Hits>& perWord) {
    if (perWord.empty()) return {};
    Hits result = perWord[0];
    for (size_t w = 1; w < perWord.size(); ++w) {
        Hits kept;
        for (const auto& [page, count] : perWord[w]) {
            const auto earlier = FindPage(result, page);
            if (earlier != result.end()) kept.push_back({page, count + earlier->second});
        }
        result = kept;
    }
    return result;
}

// Any word: pages in the order they are first found, counts summed.
inline Hits Unite(const std::vector<Hits>& perWord) {
    Hits result;
    for (const Hits& hits : perWord) {
        for (const auto& [page, count] : hits) {
            const auto earlier = FindPage(result, page);
            if (earlier != result.end()) earlier->second += count;
            else result.push_back({page, count});
        }
    }
    return result;
}

// The words of a query: the runs between spaces and ideographic spaces, up
// to the first NUL.
inline std::vector<std::u16string> QueryWords(std::u16string_view query) {
    query = query.substr(0, query.find(u'\0'));
    std::vector<std::u16string> words;
    size_t start = 0;
    for (size_t i = 0; i <= query.size(); ++i) {
        if (i < query.size() && query[i] != u' ' && query[i] != u'\u3000') continue;
        if (i > start) words.emplace_back(query.substr(start, i - start));
        start = i + 1;
    }
    return words;
}
