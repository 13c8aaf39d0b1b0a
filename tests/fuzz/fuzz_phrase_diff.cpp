// Differential check of the phrase search: a random small collection from the
// input is written by the collection writer and searched by CIndex and by a
// brute-force matcher over the same positions. Both must find the same pages
// with the same counts, word by word and combined by SearchAll and SearchAny.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/codeconverter.h"
#include "collectioninput.h"
#include "docstore/storeformat.h"
#include "expectedresults.h"
#include "fuzzcheck.h"
#include "index/index.h"
#include "scratchfolder.h"
#include "writer/collectionwriter.h"

namespace {

using Groups = std::vector<std::vector<uint32_t>>;

bool IsWildcard(char32_t c) { return c == U'?' || c == U'？'; }

std::u32string WordText(const std::vector<uint8_t>& symbols) {
    std::u32string word;
    for (uint8_t s : symbols) {
        if (s == CollectionFuzzInput::kWildcard) word += U'?';
        else if (s == CollectionFuzzInput::kFullWidthWildcard) word += U'？';
        else word += CollectionFuzzInput::kAlphabet[s];
    }
    return word;
}

std::u16string ToUtf16(const std::u32string& text) {
    std::u16string units;
    for (char32_t c : text) {
        if (c < 0x10000) {
            units += char16_t(c);
        } else {
            units += char16_t(0xD800 + ((c - 0x10000) >> 10));
            units += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return units;
}

// The code points a word character stands for: its first group, or itself.
bool Matches(char32_t wordChar, char32_t textChar, const Groups& groups, bool useVariants) {
    if (useVariants) {
        for (const auto& group : groups)
            if (std::find(group.begin(), group.end(), wordChar) != group.end())
                return std::find(group.begin(), group.end(), textChar) != group.end();
    }
    return wordChar == textChar;
}

// Alignments at which every character of the word stands where the word puts
// it; wildcards stand for any position, inside the page or not. Characters
// without a number leave the word first; a word of wildcards alone finds nothing.
uint32_t BruteForceCount(const std::u32string& text, std::u32string word, const Groups& groups, bool useVariants) {
    std::erase_if(word, [](char32_t c) { return !IsWildcard(c) && CCodeConverter::ToCharNumber(c) < 0; });
    uint32_t count = 0;
    const long length = long(word.size());
    for (long start = -length; start < long(text.size()); ++start) {
        bool any = false, all = true;
        for (long k = 0; k < length && all; ++k) {
            if (IsWildcard(word[size_t(k)])) continue;
            any = true;
            const long at = start + k;
            all = at >= 0 && at < long(text.size()) && Matches(word[size_t(k)], text[size_t(at)], groups, useVariants);
        }
        count += any && all;
    }
    return count;
}

Hits BruteForceHits(const std::vector<std::u32string>& texts, const std::u32string& word, const Groups& groups,
                    bool useVariants) {
    Hits hits;
    for (size_t p = 0; p < texts.size(); ++p)
        if (const uint32_t n = BruteForceCount(texts[p], word, groups, useVariants)) hits.push_back({uint32_t(p), n});
    return hits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScratchFolder folder;
    const CollectionFuzzInput input = CollectionFuzzInput::Decode(data, size);
    const Groups groups = CollectionFuzzInput::GroupSet(input.groupSet);

    std::vector<std::u32string> texts;
    CCollectionWriter writer(WriterOptions{.headerWord = 0, .headerText = "", .nameWidth = 0,
                                           .scatterBlocks = input.scatterBlocks});
    for (const auto& symbols : input.pages) {
        std::u32string text;
        for (uint8_t s : symbols) text += CollectionFuzzInput::kAlphabet[s];
        WriterPage page;
        page.recordName = "a\\" + std::to_string(texts.size() + 1) + ".htm";
        for (size_t i = 0; i < text.size(); ++i) page.occurrences[0].push_back({text[i], uint32_t(i)});
        writer.AddPage(std::move(page));
        texts.push_back(std::move(text));
    }
    writer.SetVariantGroups(groups);
    writer.Write(folder.Path());

    CIndex index;
    FUZZ_CHECK(index.Open(folder.Path(), storeformat::kBaseName, 0));
    std::vector<Hits> perWord;
    std::u16string query;
    for (const auto& symbols : input.words) {
        const std::u32string word = WordText(symbols);
        perWord.push_back(BruteForceHits(texts, word, groups, input.useVariants));
        index.SearchPhrase(ToUtf16(word), CIndex::kReplace, input.useVariants);
        FUZZ_CHECK(Results(index) == perWord.back());
        query += (query.empty() ? u"" : u" ") + ToUtf16(word);
    }
    std::u16string buffer = query;
    index.SearchAll(buffer, input.useVariants);
    FUZZ_CHECK(Results(index) == Intersect(perWord));
    buffer = query;
    index.SearchAny(buffer, input.useVariants);
    FUZZ_CHECK(Results(index) == Unite(perWord));
    return 0;
}
