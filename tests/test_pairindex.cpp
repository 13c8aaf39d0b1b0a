// The pair index: a collection written with it finds exactly what the one
// written without it finds, for every kind of word, scope and combination;
// its lists are walked; and a missing, stale, truncated or corrupt file, or a
// pair list whose source lists changed, is passed over with the same pages found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>

#include "base/littleendian.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "index/indexformat.h"
#include "index/pairformat.h"

namespace {

namespace fs = std::filesystem;

// The results of one query, as the index left them.
struct Outcome {
    std::vector<uint32_t> pages;
    std::vector<uint32_t> counts;
    bool operator==(const Outcome&) const = default;
};

struct Query {
    const char* text;
    int mode;  // 0: one phrase, 1: all words, 2: any word
    bool variants;
};

// Phrases of two to five characters, words with "?" and "*", variant
// spellings, several words: each reaches the pairs in its own way.
const Query kQueries[] = {
    {"天地", 0, false},     {"地天", 0, false},       {"天天", 0, false},     {"天地人", 0, false},
    {"山水月天", 0, false}, {"天地人山水", 0, false}, {"天?地", 0, false},    {"天地*山水", 0, false},
    {"天*地人", 0, false},  {"兲地", 0, false},       {"天地", 0, true},      {"兲地人", 0, true},
    {"地兲", 0, true},      {"天地 山水", 1, false},  {"天地 月", 1, true},   {"天地 水山", 2, false},
    {"人人 天地人", 2, true}, {"天", 0, false},        {"天地?", 0, false},   {"?天地", 0, false},
};

// With expectPairs, whether the pair index opens is checked too.
std::vector<Outcome> RunQueries(const fs::path& folder, int scope, std::optional<bool> expectPairs) {
    CIndex index;
    EXPECT_TRUE(index.Open(folder, storeformat::kBaseName, scope));
    if (expectPairs) {
        EXPECT_EQ(index.HasPairIndex(), *expectPairs) << folder << " scope " << scope;
    }
    std::vector<Outcome> outcomes;
    for (const Query& query : kQueries) {
        std::u16string text = U16(query.text);
        if (query.mode == 0)
            index.SearchPhrase(text, CIndex::kReplace, query.variants);
        else if (query.mode == 1)
            index.SearchAll(text, query.variants);
        else
            index.SearchAny(text, query.variants);
        const auto count = size_t(index.GetResultPageCount());
        outcomes.push_back({{index.GetResultPages().begin(), index.GetResultPages().begin() + ptrdiff_t(count)},
                            {index.GetResultCounts().begin(), index.GetResultCounts().begin() + ptrdiff_t(count)}});
    }
    return outcomes;
}

// Pages of the six characters and the variant 兲 of 天, drawn with a fixed
// seed, so that every pair of them stands side by side on some pages.
std::vector<std::string> RandomTexts(unsigned seed) {
    const char* alphabet[] = {"天", "地", "人", "山", "水", "月", "兲"};
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (int page = 0; page < 80; ++page) {
        std::string text;
        const int length = 5 + int(random() % 120);
        for (int i = 0; i < length; ++i) text += alphabet[random() % 7 == 6 ? 6 : random() % 6];
        texts.push_back(text);
    }
    return texts;
}

const std::vector<std::vector<uint32_t>> kGroups = {{0x5929, 0x5172}};  // 天 兲

WriterOptions WithPairs() {
    WriterOptions options;
    options.pairIndex = true;
    options.pairMinPages = 1;
    options.pairSelectivity = 1;  // every pair, however common
    return options;
}

std::string PairFileName(int scope) {
    return std::string(storeformat::kBaseName) + indexformat::ScopeSuffix(IndexScope(scope)) + pairformat::kExtension;
}

class PairIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTextCollection(with.Path(), RandomTexts(7), WithPairs(), kGroups);
        WriteTextCollection(without.Path(), RandomTexts(7), {}, kGroups);
        for (int scope : {0, 2}) baseline[scope] = RunQueries(without.Path(), scope, false);
    }

    fs::path PairPath() const { return with.Path() / PairFileName(0); }
    void ExpectBaseline(bool expectPairs) { EXPECT_EQ(RunQueries(with.Path(), 0, expectPairs), baseline[0]); }

    CTempDir with, without;
    std::vector<Outcome> baseline[3];
};

TEST_F(PairIndexTest, LeavesTheFixedFilesAsTheyAre) {
    for (const std::string& name : CCollectionWriter::FileNames())
        EXPECT_EQ(ReadFileBytes(with.Path() / name), ReadFileBytes(without.Path() / name)) << name;
    for (const std::string& name : CCollectionWriter::PairIndexNames()) {
        EXPECT_TRUE(fs::exists(with.Path() / name)) << name;
        EXPECT_FALSE(fs::exists(without.Path() / name)) << name;
    }
}

TEST_F(PairIndexTest, FindsWhatTheListsAloneFind) {
    for (int scope : {0, 2}) EXPECT_EQ(RunQueries(with.Path(), scope, true), baseline[scope]) << "scope " << scope;
    // The notes scope of these pages is empty: no pair is kept, and the file is passed over.
    EXPECT_EQ(RunQueries(with.Path(), 1, false), RunQueries(without.Path(), 1, false));
}

TEST_F(PairIndexTest, KeepsOnlySelectivePairs) {
    CTempDir selective;
    WriterOptions options = WithPairs();
    options.pairSelectivity = CPairIndexWriter::kSelectivity;
    WriteTextCollection(selective.Path(), RandomTexts(7), options, kGroups);
    EXPECT_LT(fs::file_size(selective.Path() / PairFileName(0)), fs::file_size(PairPath()));
    EXPECT_EQ(RunQueries(selective.Path(), 0, false), baseline[0]);  // every pair here is common
}

TEST(PairIndexLimits, PairsAtMostTheLongestLists) {
    // More long lists than the pairs are made of: those past the bound pair
    // with nothing, and phrases through them walk the lists alone.
    std::string text;
    for (char32_t c = 0x4E00; c < 0x4E00 + 4200; ++c) CCodeConverter::AppendUtf8(c, text);
    const std::vector<std::string> texts = {text, text, text.substr(0, 3 * 2000)};
    CTempDir with, without;
    WriteTextCollection(with.Path(), texts, WithPairs());
    WriteTextCollection(without.Path(), texts);
    CIndex pairs, lists;
    ASSERT_TRUE(pairs.Open(with.Path(), storeformat::kBaseName, 0));
    ASSERT_TRUE(lists.Open(without.Path(), storeformat::kBaseName, 0));
    EXPECT_TRUE(pairs.HasPairIndex());
    // Words of three characters from the start, the middle, across the
    // bound (the 4096th and 4097th long lists) and past it.
    for (char32_t start : {0x4E00, 0x4E00 + 3000, 0x4E00 + 4094, 0x4E00 + 4150}) {
        std::string word;
        for (char32_t c = start; c < start + 3; ++c) CCodeConverter::AppendUtf8(c, word);
        pairs.SearchPhrase(U16(word), CIndex::kReplace, false);
        lists.SearchPhrase(U16(word), CIndex::kReplace, false);
        EXPECT_EQ(pairs.GetResultPages(), lists.GetResultPages()) << word;
        EXPECT_EQ(pairs.GetResultCounts(), lists.GetResultCounts()) << word;
        EXPECT_GT(pairs.GetResultPageCount(), 0) << word;
    }
}

// The file's tables, to be altered and sealed again with a fresh checksum.
struct PairFileBytes {
    std::string bytes;
    uint32_t numbers() const { return littleendian::LoadUint32(bytes, pairformat::kNumberCountOffset); }
    uint32_t pairs() const { return littleendian::LoadUint32(bytes, pairformat::kPairCountOffset); }
    size_t PairEntry(size_t i) const {
        return pairformat::kPreambleBytes + numbers() * pairformat::kNumberEntryBytes + i * pairformat::kPairEntryBytes;
    }
    size_t NumberEntry(size_t i) const { return pairformat::kPreambleBytes + i * pairformat::kNumberEntryBytes; }
    size_t DataStart() const { return PairEntry(pairs()); }
    void Seal() {
        const uint64_t preamble = pairformat::Checksum(bytes.data(), pairformat::kTableChecksumOffset);
        const size_t tables = std::min(DataStart(), bytes.size()) - pairformat::kPreambleBytes;
        std::string sum;
        littleendian::AppendUint64(pairformat::Checksum(bytes.data() + pairformat::kPreambleBytes, tables, preamble),
                                   sum);
        bytes.replace(pairformat::kTableChecksumOffset, 8, sum);
    }
};

TEST_F(PairIndexTest, WalksThePairLists) {
    // Two pairs' table entries swapped, the file sealed again: each checks out,
    // and the walk that trusts them finds other pages.
    PairFileBytes file{ReadFileBytes(PairPath())};
    ASSERT_GE(file.pairs(), 2u);
    const size_t a = file.PairEntry(0), b = file.PairEntry(1);
    for (size_t k = 8; k < pairformat::kPairEntryBytes; ++k) std::swap(file.bytes[a + k], file.bytes[b + k]);
    file.Seal();
    WriteFileBytes(PairPath(), file.bytes);
    EXPECT_NE(RunQueries(with.Path(), 0, true), baseline[0]);
}

TEST_F(PairIndexTest, PassesOverAFileThatDoesNotMatch) {
    const std::string good = ReadFileBytes(PairPath());
    PairFileBytes file{good};
    struct Case {
        const char* what;
        std::string bytes;
        bool opens;  // the stamp and tables check out; only some pairs fail
    };
    std::vector<Case> cases = {
        {"empty", "", false},
        {"magic only", good.substr(0, 8), false},
        {"preamble only", good.substr(0, pairformat::kPreambleBytes), false},
        {"cut in the tables", good.substr(0, file.DataStart() - 3), false},
        {"cut in the data", good.substr(0, file.DataStart() + (good.size() - file.DataStart()) / 2), false},
        {"a byte more", good + '\0', false},
        {"last byte gone", good.substr(0, good.size() - 1), false},
    };
    const auto flipped = [&good](size_t at, bool seal) {
        PairFileBytes altered{good};
        altered.bytes[at] = char(altered.bytes[at] ^ 0x5A);
        if (seal) altered.Seal();
        return altered.bytes;
    };
    cases.push_back({"wrong magic", flipped(3, false), false});
    cases.push_back({"header size changed", flipped(pairformat::kHeaderFileSizeOffset, true), false});
    cases.push_back({"posting size changed", flipped(pairformat::kPostingFileSizeOffset, true), false});
    cases.push_back({"header checksum changed", flipped(pairformat::kHeaderChecksumOffset, true), false});
    cases.push_back({"table byte, not sealed", flipped(file.PairEntry(0) + 2, false), false});
    cases.push_back({"pair count past the file", flipped(pairformat::kPairCountOffset + 3, true), false});
    cases.push_back({"pair offset past the data", flipped(file.PairEntry(0) + 14, true), true});
    cases.push_back({"pair list byte", flipped(file.DataStart() + 1, false), true});
    cases.push_back({"every data byte", [&] {
                         std::string bytes = good;
                         for (size_t i = file.DataStart(); i < bytes.size(); ++i) bytes[i] = char(0xFF);
                         return bytes;
                     }(), true});
    cases.push_back({"a number's list checksum", flipped(file.NumberEntry(0) + 8, true), true});
    cases.push_back({"a number not in the index", flipped(file.NumberEntry(0) + 2, true), true});
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        WriteFileBytes(PairPath(), test.bytes);
        ExpectBaseline(test.opens);
    }
    fs::remove(PairPath());
    ExpectBaseline(false);
}

TEST_F(PairIndexTest, PassesOverAFileOfAnEarlierBuild) {
    // The collection rebuilt from other pages without a pair index: the old
    // file is still there. Its stamp may well match (these pages leave the
    // header file as it was), but none of its lists does.
    const std::string old = ReadFileBytes(PairPath());
    WriteTextCollection(with.Path(), RandomTexts(8), {}, kGroups);
    WriteTextCollection(without.Path(), RandomTexts(8), {}, kGroups);
    ASSERT_EQ(ReadFileBytes(PairPath()), old);
    EXPECT_EQ(RunQueries(with.Path(), 0, std::nullopt), RunQueries(without.Path(), 0, false));
}

TEST_F(PairIndexTest, PassesOverPairsWhoseListsChanged) {
    // One position byte of a list changed in place: the header and the file
    // sizes stay, so the file opens, but the pairs made from that list no
    // longer match it and the search walks the lists alone.
    const std::string header = ReadFileBytes(with.Path() / (std::string(storeformat::kBaseName) + "-idx.h"));
    const int32_t number = CCodeConverter::ToCharNumber(U'地');
    const int32_t block = littleendian::LoadInt32(reinterpret_cast<const unsigned char*>(header.data()) + 4 * number);
    for (CTempDir* dir : {&with, &without}) {
        const fs::path postings = dir->Path() / (std::string(storeformat::kBaseName) + "-idx.m");
        std::string bytes = ReadFileBytes(postings);
        // The first entry: its page delta, two length bytes, then its first position.
        const size_t start = size_t(block) * indexformat::kBlockSize;
        const uint8_t lead = uint8_t(bytes[start]);
        const size_t at = start + (lead < 0x80 ? 1 : lead < 0xC0 ? 2 : 3) + 2;
        bytes[at] = char(uint8_t(bytes[at]) < 0x7F ? bytes[at] + 1 : bytes[at] - 1);
        WriteFileBytes(postings, bytes);
    }
    EXPECT_EQ(RunQueries(with.Path(), 0, true), RunQueries(without.Path(), 0, false));
}

}  // namespace
