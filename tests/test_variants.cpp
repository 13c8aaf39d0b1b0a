// The variant table: loading groups from yitizi.txt, group lookups, the
// expansion of a query into its spellings, and searches through group lists.
#include <gtest/gtest.h>

#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"

namespace {

class VariantTableTest : public ::testing::Test {
protected:
    std::vector<std::vector<uint32_t>> Load(const std::string& text) {
        WriteFileBytes(dir.Path() / "yitizi.txt", text);
        EXPECT_TRUE(index.LoadVariantTable(dir.Path()));
        return index.GetVariantGroups();
    }
    int32_t GroupOf(uint32_t cp) {
        int32_t number = -7;
        return index.FindVariantGroup(cp, number) ? number : -1;
    }
    CTempDir dir;
    CIndex index;
};

TEST_F(VariantTableTest, LinesAndTokens) {
    using Groups = std::vector<std::vector<uint32_t>>;
    struct Case {
        std::string text;
        Groups groups;
    };
    const Case cases[] = {
        {"4E07,842C\n9AD4,4F53,8EC6\n", {{0x4E07, 0x842C}, {0x9AD4, 0x4F53, 0x8EC6}}},
        {"4E07,842C\n\n\n9AD4", {{0x4E07, 0x842C}, {0x9AD4}}},            // blank lines skipped
        {"4E07,842C\r\n\r\n9AD4\r\n", {{0x4E07, 0x842C}, {0}, {0x9AD4}}},  // a lone CR is a group
        {",,4e07,,0x842c,", {{0x4E07, 0x842C}}},                           // empty tokens, case, prefix
        {" 4E07, zz,123456789AB", {{0x4E07, 0, 0xFFFFFFFF}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.text), c.groups) << c.text;
}

TEST_F(VariantTableTest, FirstGroupWins) {
    Load("4E07,842C\n9AD4,4F53\n842C,4E07,5F00\n");
    EXPECT_EQ(GroupOf(0x4E07), 88065);
    EXPECT_EQ(GroupOf(0x4F53), 88066);
    EXPECT_EQ(GroupOf(0x842C), 88065);
    EXPECT_EQ(GroupOf(0x5F00), 88067);
    EXPECT_EQ(GroupOf(0x5929), -1);
    EXPECT_EQ(index.GetVariantAlternatives(0x842C), (std::vector<uint32_t>{0x4E07, 0x842C}));
    EXPECT_EQ(index.GetVariantAlternatives(u'天'), (std::vector<uint32_t>{u'天'}));
}

TEST_F(VariantTableTest, GroupsPastTheTablesAreIgnored) {
    std::string text;
    for (int g = 0; g < 12000; ++g) {
        char line[16];
        std::snprintf(line, sizeof line, "%X\n", 0x100000 + g);
        text += line;
    }
    EXPECT_EQ(Load(text).size(), 11935u);
    EXPECT_EQ(GroupOf(0x100000 + 11934), 99999);
    EXPECT_EQ(GroupOf(0x100000 + 11935), -1);
}

TEST_F(VariantTableTest, MissingFileLeavesNoGroups) {
    Load("4E07,842C");
    EXPECT_FALSE(index.LoadVariantTable(dir.Path() / "nowhere"));
    EXPECT_TRUE(index.GetVariantGroups().empty());
    EXPECT_EQ(GroupOf(0x4E07), -1);
}

// A huge variant table (here a sparse one) was read whole into memory, and
// one too large to allocate made CIndex::Open throw.
TEST_F(VariantTableTest, OversizedFileLeavesNoGroups) {
    Load("4E07,842C");
    std::filesystem::resize_file(dir.Path() / "yitizi.txt", (uint64_t(64) << 20) + 1);
    EXPECT_FALSE(index.LoadVariantTable(dir.Path()));
    EXPECT_TRUE(index.GetVariantGroups().empty());
}

TEST_F(VariantTableTest, ExpandVariants) {
    Load("4E07,842C\n9AD4,4F53\n");
    EXPECT_EQ(index.ExpandVariants(u"万年"), (std::vector<std::u16string>{u"万年", u"萬年"}));
    EXPECT_EQ(index.ExpandVariants(u"万 体"),
              (std::vector<std::u16string>{u"万 體", u"万 体", u"萬 體", u"萬 体"}));
    EXPECT_EQ(index.ExpandVariants(u""), (std::vector<std::u16string>{u""}));
}

TEST_F(VariantTableTest, ExpansionIsBounded) {
    Load("4E00,4E01,4E02,4E03\n");
    const std::u16string query(12, u'\u4E00');  // 4^12 spellings without a bound
    const auto expanded = index.ExpandVariants(query);
    EXPECT_EQ(expanded.size(), 4096u);
    for (const auto& s : expanded) EXPECT_EQ(s.substr(6), query.substr(6));
}

// A long query of variant characters made 4096 spellings of its full length
// (a 65536-unit query: 512 MB); the spellings now share a bound on units too.
TEST_F(VariantTableTest, LongQueriesExpandWithinTheUnitBound) {
    Load("4E07,842C\n");
    struct Case {
        size_t length;
        size_t spellings;
    };
    for (const Case& c : {Case{256, 4096}, Case{257, 2048}, Case{65536, 16}, Case{CIndex::kMaxExpansionUnits + 1, 1}}) {
        const std::u16string query(c.length, u'万');
        const auto expanded = index.ExpandVariants(query);
        ASSERT_EQ(expanded.size(), c.spellings) << c.length;
        EXPECT_EQ(expanded.back().substr(0, 4), c.spellings == 1 ? u"万万万万" : u"萬萬萬萬") << c.length;
        EXPECT_EQ(expanded.back().size(), c.length);
    }
}

// The expansion goes by characters: a member above U+FFFF is written as its
// surrogate pair, a pair in the query varies through its group, and what no
// text can hold (the member 0 of a CR LF line's trailing comma, a surrogate
// value, a value past U+10FFFF) is never a spelling.
TEST_F(VariantTableTest, ExpansionGoesByCharacters) {
    using Spellings = std::vector<std::u16string>;
    struct Case {
        std::string table;
        std::u16string query;
        Spellings spellings;
    };
    const Case cases[] = {
        {"4E07,20000,842C\n", u"万", {u"万", u"\U00020000", u"萬"}},
        {"4E07,20000,842C\n", u"\U00020000年", {u"万年", u"\U00020000年", u"萬年"}},
        {"4E07,20000,842C\n", u"年\U00020000", {u"年万", u"年\U00020000", u"年萬"}},
        {"20000,20001\n", u"\U00020001", {u"\U00020000", u"\U00020001"}},
        {"5DDD,5DDB,\r\n0x5C71,\r\n", u"山川", {u"山川", u"山巛"}},
        {"5DDD,5DDB,\r\n", std::u16string(u"\0川", 2), {std::u16string(u"\0川", 2), std::u16string(u"\0巛", 2)}},
        {"4E07,D840,110000,842C\n", u"万", {u"万", u"萬"}},
        {"D840,4E07\n", std::u16string(1, char16_t(0xD840)), {std::u16string(1, char16_t(0xD840))}},
        {"4E07,842C\n", u"\xD840万", {u"\xD840万", u"\xD840萬"}},
    };
    for (const Case& c : cases) {
        Load(c.table);
        EXPECT_EQ(index.ExpandVariants(c.query), c.spellings) << c.table;
    }
    EXPECT_EQ(GroupOf(0x20000), -1);
    Load("4E07,20000,842C\n");
    EXPECT_EQ(GroupOf(0x20000), 88065);
}

// A supplementary member counts one character towards the bounds but two
// units towards the unit bound.
TEST_F(VariantTableTest, SupplementaryMembersShareTheUnitBound) {
    Load("4E07,20000\n");
    const std::u16string query(CIndex::kMaxExpansionUnits / 2, u'万');
    const auto expanded = index.ExpandVariants(query);
    ASSERT_EQ(expanded.size(), 1u);
    EXPECT_EQ(expanded[0], query);
    EXPECT_EQ(index.ExpandVariants(std::u16string(256, u'万')).size(), 2048u);
}

// Pages written in either form are found by either form when variants count.
TEST(VariantSearch, GroupListsFindEveryMember) {
    CTempDir dir;
    WriteTextCollection(dir.Path(), {"萬年", "万年", "千年", "\xF0\xA0\x80\x80"}, {}, {{0x4E07, 0x842C}, {0x5343, 0x20000}});
    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    struct Case {
        std::u16string query;
        bool variants;
        std::vector<uint32_t> pages;
    };
    const Case cases[] = {
        {u"万年", true, {0, 1}},  {u"萬年", true, {0, 1}},  {u"万年", false, {1}},
        {u"萬", false, {0}},      {u"千", true, {2, 3}},    {u"\U00020000", true, {2, 3}},
        {u"\U00020000", false, {3}},
    };
    for (Case c : cases) {
        index.SearchAll(c.query, c.variants);
        EXPECT_EQ(index.GetResultPages(), c.pages);
    }
}

}  // namespace
