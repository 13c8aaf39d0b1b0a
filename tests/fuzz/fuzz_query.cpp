// CountWords, SearchAll, SearchAny and SearchPhrase on arbitrary UTF-16 from
// the input (lone surrogates, U+FFFF, very long words, many words) against a
// small collection written once per process. An accepted query must give what
// its words, searched one by one, combine to; searched with punctuation
// ignored, a query without wildcards finds every page and more than every
// count that the exact search finds.
#include <map>
#include <random>
#include <string>

#include "base/codeconverter.h"
#include "docstore/storeformat.h"
#include "expectedresults.h"
#include "fuzzcheck.h"
#include "fuzzlayouts.h"
#include "index/index.h"
#include "scratchfolder.h"
#include "writer/collectionwriter.h"

namespace {

// Ideographs of the basic and supplementary planes, a private-use character,
// U+FFFF, kana, the full-width "？" and characters without a number.
const std::u16string kAlphabet = u"天地人山川万萬\U00020000\U0002A6DF\uE000\uFFFFあア？。、";

// Pages of random text over kAlphabet, a few long ones for wide positions, and
// the groups 万/萬 and 山/川.
class CQueryCollection {
public:
    CQueryCollection() {
        std::mt19937 random(8);
        CCollectionWriter writer;
        std::vector<char32_t> symbols;
        for (size_t i = 0; i < kAlphabet.size(); ++i) {
            const bool pair = CCodeConverter::IsHighSurrogate(kAlphabet[i]);
            symbols.push_back(pair ? CCodeConverter::JoinSurrogates(kAlphabet[i], kAlphabet[i + 1]) : kAlphabet[i]);
            i += pair;
        }
        for (int p = 0; p < 80; ++p) {
            const size_t length = p % 20 == 19 ? 20000 : random() % 200;
            std::u32string text;
            for (size_t i = 0; i < length; ++i) text += symbols[random() % symbols.size()];
            WriterPage page;
            page.recordName = "a\\" + std::to_string(p + 1) + ".htm";
            for (size_t i = 0; i < text.size(); ++i) page.occurrences[0].push_back({text[i], uint32_t(i)});
            // The text in both cells, so that either parity reads it.
            std::string cell;
            for (const char32_t c : text) CCodeConverter::AppendUtf8(c, cell);
            page.html = "<html><head><title>a</title></head><body><table><tr><TD>" + cell + "</TD><TD>" + cell +
                        "</TD></tr></table></body></html>";
            writer.AddPage(std::move(page));
        }
        writer.SetVariantGroups({{U'万', U'萬'}, {U'山', U'川'}});
        writer.Write(m_folder.Path());
        FUZZ_CHECK(m_index.Open(m_folder.Path(), storeformat::kBaseName, 0));
    }
    CIndex& Index() { return m_index; }

private:
    CScratchFolder m_folder;
    CIndex m_index;
};

// The query as SearchAll and SearchAny leave it: spaces before the first NUL
// become ideographic spaces.
std::u16string WithIdeographicSpaces(std::u16string query) {
    for (char16_t& unit : query) {
        if (unit == 0) break;
        if (unit == u' ') unit = u'\u3000';
    }
    return query;
}

// Each word's own results, from SearchPhrase alone.
std::vector<Hits> WordResults(CIndex& index, const std::u16string& query, bool useVariants) {
    std::vector<Hits> perWord;
    for (const std::u16string& word : QueryWords(query)) {
        index.SearchPhrase(word, CIndex::kReplace, useVariants);
        perWord.push_back(Results(index));
    }
    return perWord;
}

// The exact results of the query are in the index: searched again with
// punctuation ignored, the lists stay well formed and, for a query without
// wildcards, hold every exact page with at least its count.
void CheckIgnoringPunctuation(CIndex& index, const std::u16string& query, bool useVariants, bool any) {
    const Hits exact = Results(index);
    std::u16string buffer = query;
    index.SetIgnorePunctuation(true);
    if (any) index.SearchAny(buffer, useVariants);
    else index.SearchAll(buffer, useVariants);
    index.SetIgnorePunctuation(false);
    CheckResultLists(index);
    const std::u16string_view words = std::u16string_view(query).substr(0, query.find(u'\0'));
    if (words.find_first_of(u"?*\uFF1F") != std::u16string_view::npos) return;
    std::map<uint32_t, uint32_t> spaced;
    for (const auto& [page, count] : Results(index)) spaced[page] += count;
    for (const auto& [page, count] : exact) {
        const auto found = spaced.find(page);
        FUZZ_CHECK(found != spaced.end() && found->second >= count);
    }
}

void Search(CIndex& index, const std::u16string& query, bool useVariants, bool any) {
    const bool accepted = CIndex::CountWords(query) > 0;
    const std::vector<Hits> perWord = accepted ? WordResults(index, query, useVariants) : std::vector<Hits>();
    const Hits before = Results(index);
    std::u16string buffer = query;
    if (any) index.SearchAny(buffer, useVariants);
    else index.SearchAll(buffer, useVariants);
    if (!accepted) {
        // A rejected query changes neither the results nor the caller's buffer.
        FUZZ_CHECK(buffer == query);
        FUZZ_CHECK(Results(index) == before);
        return;
    }
    FUZZ_CHECK(buffer == WithIdeographicSpaces(query));
    CheckResultLists(index);
    FUZZ_CHECK(Results(index) == (any ? Unite(perWord) : Intersect(perWord)));
    CheckIgnoringPunctuation(index, query, useVariants, any);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CQueryCollection collection;
    const QueryFuzzInput input = QueryFuzzInput::Decode(data, size);
    CIndex& index = collection.Index();
    // The same results before every input, so that a rejected query keeps
    // what this input expects and not what the previous one left.
    std::u16string reset = u"天";
    index.SearchAll(reset, false);
    const int words = CIndex::CountWords(input.query);
    FUZZ_CHECK(words >= 0 && size_t(words) <= (input.query.size() + 1) / 2);
    Search(index, input.query, input.useVariants, false);
    Search(index, input.query, input.useVariants, true);
    // The whole input as one word, merged into the results left above.
    index.SearchPhrase(input.query, input.combineMode, input.useVariants);
    CheckResultLists(index);
    return 0;
}
