// The page text the peers search and the positions the synthetic and
// replicated collections are indexed with: if these drift from each other the
// engines search different pages and the agreement check means nothing.
#include <gtest/gtest.h>

#include "base/codeconverter.h"
#include "common/pagetext.h"
#include "common/zipftext.h"

namespace {

const std::string kNote = "<font size=-1 color=\"#993366\">";

std::string Page(const std::string& first, const std::string& second) {
    return "<html><title>t</title><TABLE><tr><TD>" + first + "</TD><TD>" + second + "</TD></tr></TABLE></html>";
}

// Code points of the occurrences, as a UTF-8 string, and their positions.
std::string Chars(const std::vector<CharOccurrence>& occurrences) {
    std::u16string units;
    for (const CharOccurrence& o : occurrences) units.push_back(char16_t(o.codePoint));
    std::string utf8;
    CCodeConverter::Utf16ToUtf8(units, utf8, true);
    return utf8;
}

std::vector<uint32_t> Positions(const std::vector<CharOccurrence>& occurrences) {
    std::vector<uint32_t> positions;
    for (const CharOccurrence& o : occurrences) positions.push_back(o.position);
    return positions;
}

// A wrong cell (parity) or a tag left in would make the peers search other text.
TEST(PageText, TextCellByParityWithoutTags) {
    struct Case {
        const char* name;
        std::string page;
        std::string text;
    } cases[] = {
        {"a\\0002.htm", Page("天<br>地", "山川"), "天地"},
        {"a\\0003.htm", Page("天地", "山<b>川</b>"), "山川"},
        {"nodot", Page("天地", "山川"), "天地"},                      // no printed page number: parity 0
        {"a\\0004.htm", Page("天\n地\t人", ""), "天 地 人"},        // control characters keep their position
        {"a\\0004.htm", Page("天" + kNote + "注</font>地", ""), "天注地"},  // annotations are full text
        {"a\\0004.htm", Page("天地<b", ""), "天地"},                // an open tag at the end is dropped
    };
    for (const Case& c : cases)
        EXPECT_EQ(pagetext::StripTags(pagetext::TextCellOf(c.page, c.name)), c.text) << c.name << " " << c.page;
}

// The three scopes: main text runs on across an annotation, separate
// annotations stay out of the phrase search's reach of each other.
TEST(PageText, ScopePositions) {
    const auto scopes = pagetext::ScopeOccurrences("天<b>地</b>" + kNote + "注一</font>人" + kNote + "注二</font>");
    EXPECT_EQ(Chars(scopes[0]), "天地注一人注二");
    EXPECT_EQ(Positions(scopes[0]), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Chars(scopes[2]), "天地人");
    EXPECT_EQ(Positions(scopes[2]), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(Chars(scopes[1]), "注一注二");
    ASSERT_EQ(scopes[1].size(), 4u);
    EXPECT_EQ(scopes[1][1].position, 1u);
    EXPECT_GT(scopes[1][2].position - scopes[1][1].position, 300u);
}

// Full-text positions must count exactly the characters of the exported text.
TEST(PageText, FullTextPositionsMatchTheExportedText) {
    CZipfText text(CZipfText::Vocabulary(500, 3, {}), 1.0, 4);
    for (int page = 0; page < 50; ++page) {
        const std::string cell = text.NextCell(400);
        std::u16string exported;
        CCodeConverter::Utf8ToUtf16(pagetext::StripTags(cell), exported);
        const auto scopes = pagetext::ScopeOccurrences(cell);
        ASSERT_EQ(exported.size(), 400u);
        ASSERT_EQ(scopes[0].size(), exported.size());
        for (size_t i = 0; i < exported.size(); ++i) ASSERT_EQ(scopes[0][i].codePoint, char32_t(exported[i]));
    }
}

// The query set is drawn from the text: the same seed must give the same text.
TEST(ZipfText, SameSeedSameText) {
    const auto vocabulary = CZipfText::Vocabulary(300, 9, {{0x842C, 0x4E07}});
    EXPECT_EQ(vocabulary, CZipfText::Vocabulary(300, 9, {{0x842C, 0x4E07}}));
    EXPECT_NE(std::find(vocabulary.begin(), vocabulary.end(), U'萬'), vocabulary.end());  // grouped members come first
    CZipfText a(vocabulary, 1.0, 5), b(vocabulary, 1.0, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.NextCell(200), b.NextCell(200));
}

}  // namespace
