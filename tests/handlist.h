// A posting list laid out by hand, for positions past what the collection
// writer takes: page 0's entry with the given positions, then page 1's with
// one position, padded to whole blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "index/indexformat.h"

inline std::string TwoPageList(const std::vector<uint32_t>& firstPagePositions, uint32_t secondPagePosition) {
    std::string encoded;
    uint32_t previous = 0;
    for (uint32_t position : firstPagePositions) {
        indexformat::AppendVarint(position - previous, encoded);
        previous = position;
    }
    std::string list;
    indexformat::AppendVarint(0, list);
    list.push_back(char(encoded.size() & 0xFF));
    list.push_back(char(encoded.size() >> 8));
    list += encoded;
    indexformat::AppendVarint(1, list);
    list.push_back(char(indexformat::VarintSize(secondPagePosition)));
    list.push_back('\0');
    indexformat::AppendVarint(secondPagePosition, list);
    const size_t block = indexformat::kBlockSize;
    list.resize((list.size() + block - 1) / block * block, '\0');
    return list;
}
