// CollectionFuzzInput: the input of the differential target, a small
// collection over an alphabet of eight characters and a few words to search.
// Shared by the target (Decode) and the seed generator (Encode).
//   0   1   bit 0: scatter continuation blocks; bit 1: variants on in the
//           search; bits 2-3: the variant group set (kGroupSets)
//   1   1   word count - 1 (low three bits)
//   then per word: length - 1 (low three bits), then one symbol byte per
//           character (value mod 10: a text symbol, 8 "?", 9 "？")
//   the rest: the pages. A byte below 0x80 appends text symbol (byte mod 8);
//           0x80..0xEF repeats the page's last symbol (byte - 0x7F) x 32 times;
//           0xF0 starts a new page after (byte - 0xF0) x 32 empty ones.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzzinput.h"

struct CollectionFuzzInput {
    // 。 has no character number; 𠀀 is a supplementary-plane character; ？
    // in the text is an ordinary character, in a word a wildcard.
    static constexpr std::array<char32_t, 8> kAlphabet = {U'天', U'地', U'人', U'山', U'川', U'。', U'\U00020000', U'？'};
    static constexpr uint8_t kWildcard = 8;
    static constexpr uint8_t kFullWidthWildcard = 9;
    static constexpr uint8_t kWordSymbols = 10;
    static constexpr uint8_t kRepeatFirst = 0x80;
    static constexpr uint8_t kPageBreak = 0xF0;
    static constexpr size_t kRepeatUnit = 32;
    // Limits that keep one input quick and inside the writer's limits (a page's
    // position data must fit in 65535 bytes).
    static constexpr size_t kMaxPages = 4000;
    static constexpr size_t kMaxPageSymbols = 40000;
    static constexpr size_t kMaxSymbols = 200000;

    // Variant groups as code points of kAlphabet; a code point standing in two
    // groups belongs to the first.
    static std::vector<std::vector<uint32_t>> GroupSet(int set) {
        switch (set) {
        case 1: return {{U'天', U'地'}};
        case 2: return {{U'天', U'地'}, {U'地', U'人'}};
        case 3: return {{U'山', U'\U00020000', U'川'}, {U'人'}};
        default: return {};
        }
    }

    bool scatterBlocks = false;
    bool useVariants = false;
    int groupSet = 0;
    std::vector<std::vector<uint8_t>> words;  // word symbols
    std::vector<std::vector<uint8_t>> pages;  // text symbols

    static CollectionFuzzInput Decode(const uint8_t* data, size_t size) {
        CFuzzInput in(data, size);
        CollectionFuzzInput input;
        const uint8_t flags = in.TakeByte();
        input.scatterBlocks = flags & 1;
        input.useVariants = flags & 2;
        input.groupSet = (flags >> 2) & 3;
        const size_t wordCount = 1 + (in.TakeByte() & 7);
        for (size_t w = 0; w < wordCount; ++w) {
            std::vector<uint8_t> word(1 + (in.TakeByte() & 7));
            for (uint8_t& symbol : word) symbol = in.TakeByte() % kWordSymbols;
            input.words.push_back(word);
        }
        input.pages.emplace_back();
        size_t symbols = 0;
        while (in.Left() > 0 && symbols < kMaxSymbols) {
            const uint8_t b = in.TakeByte();
            std::vector<uint8_t>& page = input.pages.back();
            if (b < kRepeatFirst) {
                if (page.size() < kMaxPageSymbols) page.push_back(b % kAlphabet.size());
                ++symbols;
            } else if (b < kPageBreak) {
                const uint8_t last = page.empty() ? 0 : page.back();
                const size_t count = std::min((b - kRepeatFirst + 1) * kRepeatUnit, kMaxPageSymbols - page.size());
                page.insert(page.end(), count, last);
                symbols += count;
            } else {
                const size_t breaks = 1 + (b - kPageBreak) * kRepeatUnit;
                for (size_t i = 0; i < breaks && input.pages.size() < kMaxPages; ++i) input.pages.emplace_back();
                symbols += breaks;
            }
        }
        return input;
    }

    // Writes the pages symbol by symbol (no repeats) with plain page breaks.
    std::string Encode() const {
        std::string out;
        out.push_back(char((scatterBlocks ? 1 : 0) | (useVariants ? 2 : 0) | groupSet << 2));
        out.push_back(char(words.size() - 1));
        for (const auto& word : words) {
            out.push_back(char(word.size() - 1));
            for (uint8_t symbol : word) out.push_back(char(symbol));
        }
        for (size_t p = 0; p < pages.size(); ++p) {
            if (p > 0) out.push_back(char(kPageBreak));
            for (uint8_t symbol : pages[p]) out.push_back(char(symbol));
        }
        return out;
    }
};
