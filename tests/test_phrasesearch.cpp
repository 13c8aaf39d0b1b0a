// The phrase search and the combination of words: wildcards, term distances,
// overlapping counts, lists through chained blocks, and a differential check
// against a brute-force matcher over the same positions.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <map>
#include <numeric>

#include "docstore/storeformat.h"
#include "fixture.h"
#include "handlist.h"
#include "index/index.h"
#include "index/indexformat.h"

namespace {

using Hits = std::vector<std::pair<uint32_t, uint32_t>>;  // (page, count)

Hits Results(const CIndex& index) {
    Hits hits;
    for (int i = 0; i < index.GetResultPageCount(); ++i)
        hits.push_back({index.GetResultPages()[size_t(i)], index.GetResultCounts()[size_t(i)]});
    return hits;
}

Hits Phrase(CIndex& index, const std::u16string& word) {
    index.SearchPhrase(word, CIndex::kReplace, false);
    return Results(index);
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

class PhraseSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::string> texts = {
            "天地天地",                                // 0
            "天天天",                                  // 1
            "天甲地",                                  // 2
            "天甲乙地",                                // 3
            "天天地",                                  // 4
            "天地地",                                  // 5
            "地天",                                    // 6
            "天" + Repeat("甲", 300) + "地",           // 7: 300 between
            "天" + Repeat("甲", 301) + "地",           // 8: 301 between
            "\xF0\xA0\x80\x80天",                      // 9: U+20000 before 天
            "天地甲乙山川",                            // 10: 2 between 地 and 山
            "天地" + Repeat("甲", 302) + "山川",       // 11: 302 between
            "天地" + Repeat("甲", 303) + "山川",       // 12: 303 between
            "天地山川",                                // 13: nothing between
        };
        WriteTextCollection(dir.Path(), texts);
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    }
    CTempDir dir;
    CIndex index;
};

TEST_F(PhraseSearchTest, WordsFindTheirPagesAndCounts) {
    struct Case {
        std::u16string word;
        Hits hits;
    };
    const Case cases[] = {
        {u"天地", {{0, 2}, {4, 1}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"天天", {{1, 2}, {4, 1}}},  // overlapping occurrences count apart
        {u"天?地", {{2, 1}, {4, 1}, {5, 1}}},
        {u"天？地", {{2, 1}, {4, 1}, {5, 1}}},
        {u"天??地", {{0, 1}, {3, 1}}},
        {u"天*地", {{0, 2}, {2, 1}, {3, 1}, {4, 2}, {5, 1}, {7, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"*天地*", {{0, 2}, {4, 1}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"天地*", {{0, 2}, {4, 1}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"天**地", {{0, 2}, {2, 1}, {3, 1}, {4, 2}, {5, 1}, {7, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"天。地", {{0, 2}, {4, 1}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
        {u"地*天", {{0, 1}, {6, 1}}},
        {u"\U00020000天", {{9, 1}}},
        {u"天地*??*山川", {{10, 1}, {11, 1}}},
        {u"甲甲甲甲", {{7, 297}, {8, 298}, {11, 299}, {12, 300}}},
        {u"。、", {}},
        {u"??", {}},
        {u"*", {}},
        {u"", {}},
        {u"天鬼", {}},  // a character with no list finds nothing
        {u"ab天", {{0, 2}, {1, 3}, {2, 1}, {3, 1}, {4, 2}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(Phrase(index, cases[i].word), cases[i].hits) << "case " << i;
}

// The 300-character reach of "*": exactly 300 between passes, 301 does not.
TEST_F(PhraseSearchTest, StarReachesThreeHundredCharacters) {
    const Hits hits = Phrase(index, u"天*地");
    auto has = [&](uint32_t page) {
        return std::any_of(hits.begin(), hits.end(), [page](auto& h) { return h.first == page; });
    };
    EXPECT_TRUE(has(7));
    EXPECT_FALSE(has(8));
}

TEST_F(PhraseSearchTest, OverlongWordsFindNothing) {
    std::u16string word(CIndex::kMaxWordUnits - 1, u'甲');  // with its closing "*" it just fits
    EXPECT_FALSE(Phrase(index, word).empty());
    word += u'甲';
    EXPECT_TRUE(Phrase(index, word).empty());
    // Unindexed characters do not count toward the limit.
    EXPECT_FALSE(Phrase(index, u"甲" + std::u16string(5000, u'。')).empty());
}

TEST_F(PhraseSearchTest, CombineModes) {
    index.SearchPhrase(u"天地", CIndex::kReplace, false);
    index.SearchPhrase(u"山川", CIndex::kIntersection, false);
    EXPECT_EQ(Results(index), (Hits{{10, 2}, {11, 2}, {12, 2}, {13, 2}}));

    index.SearchPhrase(u"天天", CIndex::kReplace, false);
    index.SearchPhrase(u"天地", CIndex::kUnion, false);
    EXPECT_EQ(Results(index), (Hits{{1, 2}, {4, 2}, {0, 2}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}));
    // Intersection with an unsorted list keeps the found list's ascending order.
    index.SearchPhrase(u"地", CIndex::kIntersection, false);
    EXPECT_EQ(Results(index), (Hits{{0, 4}, {4, 3}, {5, 3}, {10, 2}, {11, 2}, {12, 2}, {13, 2}}));
    // An empty word leaves a union alone and empties the other modes.
    index.SearchPhrase(u"鬼", CIndex::kUnion, false);
    EXPECT_EQ(Results(index).size(), 7u);
    index.SearchPhrase(u"鬼", CIndex::kIntersection, false);
    EXPECT_TRUE(Results(index).empty());
}

TEST_F(PhraseSearchTest, SearchAllAndSearchAny) {
    std::u16string query = u"  天地  山川  ";
    index.SearchAll(query, false);
    EXPECT_EQ(Results(index), (Hits{{10, 2}, {11, 2}, {12, 2}, {13, 2}}));
    EXPECT_EQ(query, u"\u3000\u3000天地\u3000\u3000山川\u3000\u3000");

    query = u"天天 天地";
    index.SearchAny(query, false);
    EXPECT_EQ(Results(index), (Hits{{1, 2}, {4, 2}, {0, 2}, {5, 1}, {10, 1}, {11, 1}, {12, 1}, {13, 1}}));

    query = u"天地 鬼";
    index.SearchAny(query, false);
    EXPECT_EQ(Results(index).size(), 7u);
    index.SearchAll(query, false);
    EXPECT_TRUE(Results(index).empty());

    // A rejected query leaves the previous results.
    query = u"天地";
    index.SearchAll(query, false);
    for (std::u16string rejected : {u"天a", u"天\t地", u"天\u00E9", u"1"}) {
        index.SearchAll(rejected, false);
        EXPECT_EQ(Results(index).size(), 7u);
    }
    query = u"*";
    index.SearchAll(query, false);
    EXPECT_TRUE(Results(index).empty());
    // The ideographic space separates words too.
    query = u"天地\u3000山川";
    index.SearchAll(query, false);
    EXPECT_EQ(Results(index).size(), 4u);
}

TEST(CountWords, CountsAndRejects) {
    struct Case {
        std::u16string query;
        int words;
    };
    const Case cases[] = {
        {u"", 0},          {u"天", 1},         {u"天地 山川", 2},    {u"  天  ", 1},
        {u"天\u3000地", 2}, {u"*", 1},          {u"? *", 2},          {u"天a", 0},
        {u"天 1", 0},      {u"\u00FF", 0},     {u"\u0100", 1},       {u"天\t", 0},
        {std::u16string(u"天\0a", 3), 1},     {std::u16string(1, char16_t(0xD800)), 1},       {u"   ", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CIndex::CountWords(c.query), c.words);
}

// 天 on every page at position 200 (a two-byte number), 地 after it on every
// other page: entries of five bytes put lengths and numbers across block ends.
TEST(PhraseSearchBlocks, ListsThroughChainedBlocksWithStraddlingNumbers) {
    for (bool scatter : {false, true}) {
        CTempDir dir;
        std::vector<std::string> texts;
        for (int p = 0; p < 4000; ++p) texts.push_back(Repeat("乙", 200) + (p % 2 ? "天地" : "天"));
        WriterOptions options;
        options.scatterBlocks = scatter;
        WriteTextCollection(dir.Path(), texts, options);
        ASSERT_GT(std::filesystem::file_size(dir.Path() / "Index-idx.m"), 5 * 4096u);
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
        std::u16string query = u"天";
        index.SearchAll(query, false);
        EXPECT_EQ(index.GetResultPageCount(), 4000);
        // A single character's positions are counted across the block ends too.
        query = u"乙";
        index.SearchAll(query, false);
        ASSERT_EQ(index.GetResultPageCount(), 4000);
        EXPECT_EQ(std::count(index.GetResultCounts().begin(), index.GetResultCounts().end(), 200u), 4000);
        query = u"乙天地";
        index.SearchAll(query, false);
        ASSERT_EQ(index.GetResultPageCount(), 2000);
        for (int i = 0; i < 2000; ++i) {
            EXPECT_EQ(index.GetResultPages()[size_t(i)], uint32_t(2 * i + 1));
            EXPECT_EQ(index.GetResultCounts()[size_t(i)], 1u);
        }
    }
}

// A corrupt list whose positions climb to 2^32 - 1: the count after a match
// there wrapped to 0 and the search never ended. The page now ends below it,
// and the rest of the entry is skipped so the next page still reads.
TEST(PhraseSearchPositions, PositionsAtTheTopOfTheRangeEndThePage) {
    CTempDir dir;
    WriteTextCollection(dir.Path(), {"", "天地"});
    // Page 0's positions climb to 2^32 - 1, past what a builder writes, so
    // the lists are encoded here by hand.
    std::vector<uint32_t> tian, di;
    for (uint32_t k = 1; k <= 1024; ++k) tian.push_back(4194303 * k);
    tian.push_back(0xFFFFFFFE);
    tian.push_back(0xFFFFFFFF);
    for (uint32_t k = 1; k <= 1024; ++k) di.push_back(4194303 * k - 7);
    di.push_back(0xFFFFFFFF);
    const std::string tianList = TwoPageList(tian, 0), diList = TwoPageList(di, 1);
    std::string header(indexformat::kChainOffset, '\0');
    for (int c = 0; c < indexformat::kCharTableSize; ++c) std::memset(&header[4 * size_t(c)], 0xFF, 4);
    auto setEntry = [&header](char32_t cp, uint32_t firstBlock) {
        const size_t number = size_t(CCodeConverter::ToCharNumber(cp));
        std::memcpy(&header[indexformat::kFirstBlockOffset + 4 * number], &firstBlock, 4);
        const uint32_t lastPage = 1;
        std::memcpy(&header[indexformat::kLastPageOffset + 4 * number], &lastPage, 4);
    };
    setEntry(U'天', 0);
    setEntry(U'地', uint32_t(tianList.size() / 4096));
    const size_t blocks = (tianList.size() + diList.size()) / 4096;
    for (uint32_t b = 0; b < blocks; ++b) {
        const uint32_t next = b + 1;
        header.append(reinterpret_cast<const char*>(&next), 4);
    }
    WriteFileBytes(dir.Path() / "Index-idx.h", header);
    WriteFileBytes(dir.Path() / "Index-idx.m", tianList + diList);

    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    EXPECT_EQ(Phrase(index, u"天"), (Hits{{0, 1025}, {1, 1}}));
    EXPECT_EQ(Phrase(index, u"天地"), (Hits{{1, 1}}));
}

// Counts the alignments at which every character of a word without "*"
// stands where the word puts it ("?" standing for any character).
uint32_t BruteForceCount(const std::u16string& text, const std::u16string& word) {
    uint32_t count = 0;
    const int length = int(word.size());
    for (int start = -length; start < int(text.size()); ++start) {
        bool any = false, all = true;
        for (int k = 0; k < length && all; ++k) {
            if (word[size_t(k)] == u'?') continue;
            any = true;
            const int at = start + k;
            all = at >= 0 && at < int(text.size()) && text[size_t(at)] == word[size_t(k)];
        }
        count += any && all;
    }
    return count;
}

// Random pages over a tiny alphabet, random words with "?": the index and the
// brute-force matcher agree on every page and count.
TEST(PhraseSearchDifferential, AgreesWithBruteForce) {
    const std::u16string alphabet = u"天地人";
    std::mt19937 random(2024);
    for (int round = 0; round < 4; ++round) {
        std::vector<std::u16string> texts;
        std::vector<std::string> utf8;
        for (int p = 0; p < 300; ++p) {
            std::u16string text;
            const int length = int(random() % (round == 3 ? 2000 : 40));
            for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
            std::string bytes;
            CCodeConverter::Utf16ToUtf8(text, bytes, true);
            texts.push_back(text);
            utf8.push_back(bytes);
        }
        CTempDir dir;
        WriterOptions options;
        options.scatterBlocks = round % 2 == 1;
        WriteTextCollection(dir.Path(), utf8, options);
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
        for (int q = 0; q < 60; ++q) {
            std::u16string word;
            const int length = 1 + int(random() % 5);
            for (int i = 0; i < length; ++i) word += random() % 4 == 0 ? u'?' : alphabet[random() % alphabet.size()];
            Hits expected;
            for (size_t p = 0; p < texts.size(); ++p)
                if (uint32_t n = BruteForceCount(texts[p], word)) expected.push_back({uint32_t(p), n});
            index.SearchPhrase(word, CIndex::kReplace, false);
            ASSERT_EQ(Results(index), expected) << "round " << round << " query " << q;
        }
    }
}

// A rare character among common ones: words with it make the common lists
// jump far ahead through their skip tables (kept from one word to the next),
// and the index must still agree with the brute-force matcher.
TEST(PhraseSearchDifferential, FarSkipsAgreeWithBruteForce) {
    std::mt19937 random(77);
    for (bool scatter : {false, true}) {
        std::vector<std::u16string> texts;
        std::vector<std::string> utf8;
        for (int p = 0; p < 3000; ++p) {
            std::u16string text;
            for (int i = 0; i < 40; ++i) text += random() % 1500 == 0 ? u'山' : u"天地人"[random() % 3];
            std::string bytes;
            CCodeConverter::Utf16ToUtf8(text, bytes, true);
            texts.push_back(text);
            utf8.push_back(bytes);
        }
        CTempDir dir;
        WriterOptions options;
        options.scatterBlocks = scatter;
        WriteTextCollection(dir.Path(), utf8, options);
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
        const std::u16string words[] = {u"山天", u"天山", u"地?山", u"山?人天", u"天地山人", u"人天山", u"山天"};
        for (int round = 0; round < 2; ++round) {
            for (const std::u16string& word : words) {
                Hits expected;
                for (size_t p = 0; p < texts.size(); ++p)
                    if (uint32_t n = BruteForceCount(texts[p], word)) expected.push_back({uint32_t(p), n});
                index.SearchPhrase(word, CIndex::kReplace, false);
                ASSERT_EQ(Results(index), expected) << "scatter " << scatter << " round " << round;
            }
        }
        // All words, in either order: the pages holding both, the counts summed,
        // however the search orders its words.
        const std::pair<std::u16string, std::u16string> pairs[] = {{u"天", u"山人"}, {u"山", u"天地"}, {u"天地", u"人天"}};
        for (const auto& [a, b] : pairs) {
            Hits expected;
            for (size_t p = 0; p < texts.size(); ++p) {
                const uint32_t na = BruteForceCount(texts[p], a), nb = BruteForceCount(texts[p], b);
                if (na && nb) expected.push_back({uint32_t(p), na + nb});
            }
            for (std::u16string query : {a + u" " + b, b + u" " + a}) {
                index.SearchAll(query, false);
                ASSERT_EQ(Results(index), expected) << "scatter " << scatter;
            }
        }
    }
}

// The default collection's pages and counts for words of its most frequent
// characters, as the search found them before its walk was tuned: any change
// to how lists are walked or positions matched must find the same pages in
// the same order with the same counts. Each row: pages, summed counts and a
// hash of the (page, count) list.
uint64_t HashResults(const CIndex& index) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int i = 0; i < index.GetResultPageCount(); ++i) {
        for (uint32_t value : {index.GetResultPages()[size_t(i)], index.GetResultCounts()[size_t(i)]}) {
            for (int b = 0; b < 4; ++b) {
                hash ^= (value >> (8 * b)) & 0xFF;
                hash *= 0x100000001b3ull;
            }
        }
    }
    return hash;
}

TEST(PhraseSearchDefaultCollection, FrequentWordsFindWhatTheyFoundBefore) {
    struct Case {
        const char16_t* query;
        bool anyWord;
        IndexScope scope;
        bool variants;
        int pages;
        uint64_t hits;
        uint64_t hash;
    };
    const Case cases[] = {
        {u"之", false, IndexScope::kFullText, true, 1978, 16568, 0x7eedc1bb15b42507ull},
        {u"不知", false, IndexScope::kFullText, true, 265, 374, 0x3304f5119416f4b1ull},
        {u"而不", false, IndexScope::kFullText, false, 493, 927, 0x50307245f3d15160ull},
        {u"人之", false, IndexScope::kMainText, true, 393, 579, 0x9e32aca665cc5f8cull},
        {u"子曰", false, IndexScope::kFullText, true, 534, 1396, 0xd4821d7202a54e95ull},
        {u"天下", false, IndexScope::kNotes, true, 26, 27, 0x1a0c520e4463c418ull},
        {u"不可以", false, IndexScope::kFullText, true, 87, 140, 0x6f6932c20ebb0d0full},
        {u"天下之", false, IndexScope::kFullText, false, 134, 225, 0xb887817c34012fb1ull},
        {u"以為", false, IndexScope::kFullText, true, 375, 561, 0x462f74a55b32a920ull},
        {u"也而", false, IndexScope::kFullText, true, 40, 43, 0x819be1e08833672dull},
        {u"之不", false, IndexScope::kNotes, false, 17, 17, 0xd2237dadf075f99bull},
        {u"有無", false, IndexScope::kFullText, true, 18, 18, 0x462d30e550796cd4ull},
        {u"天下之人", false, IndexScope::kFullText, true, 7, 7, 0xddf939fd2b4db7dfull},
        {u"學而時習", false, IndexScope::kFullText, true, 1, 1, 0x9d89319df69825c1ull},
        {u"而不知其", false, IndexScope::kMainText, false, 6, 7, 0xf66049e0f1165515ull},
        {u"之?不", false, IndexScope::kFullText, true, 237, 305, 0x0b46af478adf60aaull},
        {u"不??之", false, IndexScope::kFullText, false, 143, 174, 0x684569569b869beeull},
        {u"?之", false, IndexScope::kFullText, true, 1978, 16568, 0x7eedc1bb15b42507ull},
        {u"子*曰", false, IndexScope::kFullText, true, 914, 4679, 0x77e4b57cda242b3dull},
        {u"之 不", false, IndexScope::kFullText, true, 1673, 24568, 0x867e0f0f566a385eull},
        {u"人之 天下", false, IndexScope::kFullText, false, 106, 393, 0x06a0e79e14f7df1dull},
        {u"之不 其", true, IndexScope::kFullText, true, 1650, 6516, 0x81438137bdef87ddull},
        {u"無為 有", true, IndexScope::kNotes, true, 209, 426, 0x78121e817ce1dd60ull},
        {u"之之", false, IndexScope::kFullText, true, 17, 20, 0x90d176c94efbda28ull},
        {u"不知不", false, IndexScope::kFullText, false, 1, 1, 0xd9e905c1222a0285ull},
        {u"之為", false, IndexScope::kMainText, true, 113, 143, 0x20fad5eb101099d4ull},
    };
    for (const Case& c : cases) {
        CIndex index;
        ASSERT_TRUE(index.Open(QUOREL_DEFAULT_COLLECTION, storeformat::kBaseName, int(c.scope)));
        std::u16string query = c.query;
        if (c.anyWord) {
            index.SearchAny(query, c.variants);
        } else {
            index.SearchAll(query, c.variants);
        }
        const auto& counts = index.GetResultCounts();
        const uint64_t hits = std::accumulate(counts.begin(), counts.begin() + index.GetResultPageCount(), uint64_t(0));
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        EXPECT_EQ(index.GetResultPageCount(), c.pages);
        EXPECT_EQ(hits, c.hits);
        EXPECT_EQ(HashResults(index), c.hash);
    }
}

}  // namespace
