// The search that ignores punctuation: the punctuation set, the text positions
// it reads pages by, and on the default collection what it finds and marks
// beside the exact search.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/pagetemplate.h"
#include "docstore/punctuation.h"
#include "docstore/scopetext.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "index/searchscope.h"

namespace {

TEST(Punctuation, TellsPunctuationFromCharacters) {
    for (const char32_t c : std::u32string(U"，。、；：？！「」『』《》〈〉…—　 ,.;:!?()\"'・·“”‘’﹁﹂︰"))
        EXPECT_TRUE(punctuation::IsIgnorable(c)) << uint32_t(c);
    for (const char32_t c : std::u32string(U"學之々〆〇〓ーあア一Aa0𠀀\uFF21\uFF10"))
        EXPECT_FALSE(punctuation::IsIgnorable(c)) << uint32_t(c);
}

TEST(Punctuation, QueriesKeepTheirWildcardsAndSeparators) {
    struct Case {
        std::u16string query;
        std::u16string kept;
    };
    const Case cases[] = {
        {u"學而時習之，不亦說乎", u"學而時習之不亦說乎"},
        {u"「學而」", u"學而"},
        {u"學？而", u"學?而"},
        {u"學?而*時", u"學?而*時"},
        {u"學而 時習　之", u"學而 時習　之"},
        {u"，。", u""},
        {u"\xD840\xDC00，學", u"\xD840\xDC00學"},
    };
    for (const Case& c : cases) EXPECT_EQ(punctuation::WithoutPunctuation(c.query), c.kept);
}

// The pages and counts of the last search, by page.
std::map<uint32_t, uint32_t> Results(const CIndex& index) {
    std::map<uint32_t, uint32_t> results;
    for (size_t i = 0; i < index.GetResultPages().size(); ++i)
        results[index.GetResultPages()[i]] = index.GetResultCounts()[i];
    return results;
}

std::string Utf8(std::u16string_view text) {
    std::string bytes;
    CCodeConverter::Utf16ToUtf8(text, bytes, true);
    return bytes;
}

std::map<uint32_t, uint32_t> Search(CIndex& index, std::u16string query, bool variants, bool ignorePunctuation) {
    index.SetIgnorePunctuation(ignorePunctuation);
    index.SearchAll(query, variants);
    return Results(index);
}

// One page per text, the text in both cells so that either parity reads it,
// every character one position.
void WriteBothCellCollection(const std::filesystem::path& folder, const std::vector<std::string>& texts) {
    CCollectionWriter writer;
    for (size_t i = 0; i < texts.size(); ++i) {
        WriterPage page = TextPage("a\\" + std::to_string(i + 1) + ".htm", texts[i]);
        page.html = "<html><title>t</title><TD>" + texts[i] + "</TD><TD>" + texts[i] + "</TD></html>";
        writer.AddPage(std::move(page));
    }
    writer.Write(folder);
}

int MarkedMatches(const CIndex& index, int page, const std::u16string& query, const SearchScope& scope, bool variants) {
    std::string html;
    PageMarks marks;
    index.GetPageHtml(page, html, query, int(scope.renderScope), variants, &marks);
    return int(marks.matches.size());
}

// The results of count matches on page 1; none for no match.
std::map<uint32_t, uint32_t> OnSecondPage(uint32_t count) {
    if (count == 0) return {};
    return {{1u, count}};
}

// What a word finds with punctuation ignored, page by page of a small
// collection: runs of punctuation up to the bound inside a term, "?" for one
// character that is not punctuation, "*" as in the exact search, the query's
// own punctuation dropped; and the exact search beside it.
TEST(SpacedSearch, RulesOnPagesOfText) {
    struct Case {
        const char* what;
        std::string word;
        std::string text;
        uint32_t spaced;  // matches counted with punctuation ignored
        uint32_t exact;
        int marked;  // on the hit page with punctuation ignored
    };
    const Case cases[] = {
        {"side by side", "學而", "學而", 1, 1, 1},
        {"a comma", "學而", "學，而", 1, 0, 1},
        {"marks that are not indexed", "學而", "學。」「而", 1, 0, 1},
        {"ASCII and white space", "學而", "學, 而", 1, 0, 1},
        {"the longest run", "學而", "學。」「，而", 1, 0, 1},
        {"a run one too long", "學而", "學。」「，，而", 0, 0, 0},
        {"a character between", "學而", "學之而", 0, 0, 0},
        {"a mark that stands for a character", "學而", "學〇而", 0, 0, 0},
        {"each start counts", "學學", "學，學，學", 2, 0, 1},
        {"three characters, two runs", "學而時", "學，而。時學而時", 2, 1, 2},
        {"? over a character", "學?而", "學之而", 1, 1, 1},
        {"? with runs around it", "學?而", "學，之。而", 1, 0, 1},
        {"? is not punctuation", "學?而", "學，而", 0, 1, 0},
        {"the full-width ？ too", "學？而", "學，而", 0, 1, 0},
        {"* as in the exact search", "學而*時習", "學，而之之時。習", 1, 0, 1},
        {"the query's own punctuation", "學，而", "學而", 1, 0, 1},
        {"ASCII punctuation in the query", "學,而", "學。而", 1, 0, 1},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        WriteBothCellCollection(dir.Path(), {"之", c.text});
        CIndex index;
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0)) << c.what;
        // The exact search first: a query it rejects leaves the lists empty.
        const std::map<uint32_t, uint32_t> exact = Search(index, U16(c.word), false, false);
        const std::map<uint32_t, uint32_t> spaced = Search(index, U16(c.word), false, true);
        EXPECT_EQ(spaced, OnSecondPage(c.spaced)) << c.what;
        EXPECT_EQ(exact, OnSecondPage(c.exact)) << c.what;
        EXPECT_EQ(MarkedMatches(index, 1, U16(c.word), SearchScope::kFull, false), c.marked) << c.what;
    }
}

// The scope text of a page of the open index, which every page has.
CScopeText ScopeTextOf(const CIndex& index, int page, const SearchScope& scope) {
    std::optional<CScopeText> text = CScopeText::Read(index.GetFileList(), page, scope.renderScope);
    EXPECT_TRUE(text) << page;
    return text ? std::move(*text) : CScopeText("", 0, scope.renderScope);
}

TEST(ScopeText, PlacesAnnotationsApartAndSkipsTags) {
    const std::string note = std::string(pagetemplate::kAnnotationTag) + "注&amp;<br>文" +
                             std::string(pagetemplate::kAnnotationCloseTag);
    const std::string cell = "<p>學<span title=\"KR0001\">〓</span>而" + note + "時" + note + "</p><p>之</p>";
    const std::string page = "<html><head><title>b v</title></head><body><table><tr><TD>label</TD><TD>" + cell +
                             "</TD></tr></table></body></html>";
    const CScopeText full(page, 1, RenderScope::kAll);
    EXPECT_EQ(full.Size(), 11u);
    EXPECT_NE(full.RunOf(9), full.RunOf(10));  // so does a new paragraph
    EXPECT_EQ(full.At(1), U'〓');
    EXPECT_EQ(full.At(4), U'&');
    EXPECT_EQ(full.At(11), CScopeText::kUnused);
    EXPECT_NE(full.RunOf(2), full.RunOf(3));  // an annotation's bounds part them
    const CScopeText main(page, 1, RenderScope::kMainText);
    EXPECT_EQ(main.Size(), 5u);
    EXPECT_EQ(main.At(3), U'時');
    const CScopeText notes(page, 1, RenderScope::kNotes);
    EXPECT_EQ(notes.Size(), 3u + pagetemplate::kAnnotationGap + 3u);
    EXPECT_EQ(notes.At(3), CScopeText::kUnused);
    EXPECT_EQ(notes.At(3 + pagetemplate::kAnnotationGap), U'注');
    const CScopeText wrongCell(page, 0, RenderScope::kAll);
    EXPECT_EQ(wrongCell.Size(), 5u);  // "label"
}

// How often the pair a, b stands side by side in the text.
uint32_t CountPair(const CScopeText& text, char32_t a, char32_t b) {
    uint32_t count = 0;
    for (size_t i = 0; i + 1 < text.Size(); ++i) count += text.At(i) == a && text.At(i + 1) == b;
    return count;
}

const SearchScope* const kScopes[] = {&SearchScope::kFull, &SearchScope::kMain, &SearchScope::kNotes};

// The text positions agree with the index's: on every page of every scope, a
// pair of characters stands side by side in the text as often as the index
// finds it, annotations, line breaks and entities included.
TEST(ScopeText, AgreesWithTheIndexOnTheDefaultCollection) {
    const std::u32string pairs[] = {U"子曰", U"之不", U"而不", U"不知", U"天下", U"人之"};
    for (const SearchScope* scope : kScopes) {
        CIndex index;
        ASSERT_TRUE(index.Open(QUOREL_DEFAULT_COLLECTION, storeformat::kBaseName, int(scope->indexScope)));
        for (const std::u32string& pair : pairs) {
            std::u16string query(pair.begin(), pair.end());
            index.SearchAll(query, false);
            const std::map<uint32_t, uint32_t> found = Results(index);
            for (int page = 0; page < index.GetFileList().GetPageCount(); ++page) {
                const uint32_t inText = CountPair(ScopeTextOf(index, page, *scope), pair[0], pair[1]);
                const auto at = found.find(uint32_t(page));
                EXPECT_EQ(inText, at == found.end() ? 0u : at->second) << scope->name << " page " << page;
            }
        }
    }
}


TEST(SpacedSearch, FindsAPhraseCopiedFromAnotherEdition) {
    CIndex index;
    ASSERT_TRUE(index.Open(QUOREL_DEFAULT_COLLECTION, storeformat::kBaseName, 0));
    const std::u16string query = u"學而時習之不亦說乎";
    EXPECT_TRUE(Search(index, query, true, false).empty());
    const std::map<uint32_t, uint32_t> punctuated = Search(index, u"學而時習之，不亦說乎", true, false);
    ASSERT_EQ(punctuated.size(), 1u);
    EXPECT_EQ(Search(index, query, true, true), punctuated);
    EXPECT_TRUE(Search(index, query, false, true).empty());  // the collection holds the simplified spelling

    index.SetIgnorePunctuation(true);
    std::string html;
    index.GetPageHtml(int(punctuated.begin()->first), html, query, 0, true);
    const std::string span = std::string(pagetemplate::kMarkOpenTag) + "学而时习之，不亦说乎" +
                             std::string(pagetemplate::kMarkCloseTag);
    EXPECT_NE(html.find(span), std::string::npos);
    index.SetIgnorePunctuation(false);
    html.clear();
    EXPECT_EQ(index.GetPageHtml(int(punctuated.begin()->first), html, query, 0, true), 0);
}

// Phrases taken from the text across a run of punctuation ("AB，CD" searched
// as "ABCD"), in every scope: the search finds their pages and every page and
// count the exact search finds, and each page only it finds marks at least one
// match and at most as many as it counts (the search counts overlapping
// matches, the marks never overlap).
TEST(SpacedSearch, AgreesWithItsMarksAndKeepsTheExactMatches) {
    for (const SearchScope* scope : kScopes) {
        CIndex index;
        ASSERT_TRUE(index.Open(QUOREL_DEFAULT_COLLECTION, storeformat::kBaseName, int(scope->indexScope)));
        struct Spot {
            std::u16string query;
            uint32_t page;
        };
        std::vector<Spot> spots;
        for (int page = 0; page < index.GetFileList().GetPageCount() && spots.size() < 60; page += 7) {
            const CScopeText text = ScopeTextOf(index, page, *scope);
            for (size_t i = 2; i + 3 < text.Size(); ++i) {
                const auto indexed = [&](size_t at) { return CCodeConverter::ToCharNumber(text.At(at)) >= 0 && !punctuation::IsIgnorable(text.At(at)); };
                if (!indexed(i - 2) || !indexed(i - 1) || !punctuation::IsIgnorable(text.At(i))) continue;
                size_t after = i;
                while (after < text.Size() && punctuation::IsIgnorable(text.At(after))) ++after;
                if (after - i > punctuation::kMaxRun || after + 1 >= text.Size() || !indexed(after) || !indexed(after + 1))
                    continue;
                if (text.RunOf(i - 2) != text.RunOf(after + 1)) continue;
                std::u32string word{text.At(i - 2), text.At(i - 1), text.At(after), text.At(after + 1)};
                std::string bytes;
                for (char32_t c : word) CCodeConverter::AppendUtf8(c, bytes);
                std::u16string query;
                CCodeConverter::Utf8ToUtf16(bytes, query);
                spots.push_back({query, uint32_t(page)});
                break;
            }
        }
        ASSERT_GE(spots.size(), 10u) << scope->name;
        for (const Spot& spot : spots) {
            for (const bool variants : {false, true}) {
                const std::map<uint32_t, uint32_t> exact = Search(index, spot.query, variants, false);
                const std::map<uint32_t, uint32_t> spaced = Search(index, spot.query, variants, true);
                EXPECT_TRUE(spaced.count(spot.page)) << scope->name << " page " << spot.page;
                for (const auto& [page, count] : exact) {
                    ASSERT_TRUE(spaced.count(page)) << scope->name << " page " << page;
                    EXPECT_GE(spaced.at(page), count);
                }
                for (const auto& [page, count] : spaced) {
                    if (exact.count(page)) continue;
                    const int marked = MarkedMatches(index, int(page), spot.query, *scope, variants);
                    EXPECT_GE(marked, 1) << scope->name << " page " << page << " " << Utf8(spot.query);
                    EXPECT_LE(marked, int(count)) << scope->name << " page " << page << " " << Utf8(spot.query);
                }
            }
        }
    }
}

}  // namespace
