// Concordance lines: the text around every match the hit page marks, their
// sort orders, and agreement with the hit pages of the default collection.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "index/searchscope.h"
#include "panel/model/concordance.h"
#include "panel/model/hitpagetext.h"

namespace {

std::string Utf8(const std::u32string& text) {
    std::string bytes;
    for (const char32_t c : text) CCodeConverter::AppendUtf8(c, bytes);
    return bytes;
}

// "left|match|right@anchor" per line.
std::vector<std::string> Describe(const std::vector<ConcordanceLine>& lines) {
    std::vector<std::string> out;
    for (const ConcordanceLine& line : lines)
        out.push_back(Utf8(line.left) + "|" + Utf8(line.match) + "|" + Utf8(line.right) + "@" +
                      std::to_string(line.anchor));
    return out;
}

CConcordance::PageRenderer StoreRenderer(const CFileList& store, std::u16string terms, int scope) {
    return [&store, terms, scope](int page, CConcordance::HitPage& hitPage) {
        store.RenderHitPage(page, hitPage.html, terms, scope, &hitPage.marks);
    };
}

std::vector<ConcordanceLine> AllLines(CConcordance& concordance) {
    std::vector<ConcordanceLine> lines;
    while (!concordance.AtEnd()) concordance.FetchMore(2, lines);
    return lines;
}

TEST(ConcordanceTest, LinesOfOnePage) {
    struct Case {
        const char* cell;
        const char16_t* terms;
        int scope;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // context clipped at the cell's start and end
        {"天地山川天地", u"天地", 0, {"|天地|山川天@0", "地山川|天地|@1"}},
        // a later term marks inside an earlier mark: each match is its own line, in text order
        {"天地山川天地", u"天地 地", 0, {"|天地|山川天@0", "天|地|山川天@2", "地山川|天地|@1", "山川天|地|@3"}},
        // "?" and "*": the match runs from the first chunk to the end of the last
        {"天地山川", u"天?山", 0, {"|天地山|川@0"}},
        {"天地山川天", u"天*川", 0, {"|天地山川|天@0"}},
        // annotations are set off; breaks and runs of white space are one space
        {"山<font size=-1 color=\"#993366\">注天地</font>川", u"天地", 0, {"山〔注|天地|〕川@0"}},
        {"天地<br>山\n \n川</p><p>", u"天地", 0, {"|天地| 山 @0"}},
        {"&amp;天地&lt;", u"天地", 0, {"&|天地|<@0"}},
        // the scope decides what is marked; context takes in the rest
        {"天地<font size=-1 color=\"#993366\">天地</font>", u"天地", 2, {"天地〔|天地|〕@0"}},
        {"<b>天</b>地天地", u"天地", 0, {"天地|天地|@0"}},
        // the page's own anchors are not the renderer's
        {"天地山<a name=\"0\"></a>天地<a name=\"x1\">", u"天地", 0, {"|天地|山天地@0", "天地山|天地|@1"}},
        {"山川", u"天地", 0, {}},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        CCollectionWriter writer;
        writer.AddPage(TextPage("a\\0002.htm", c.cell));  // an even page: the text in the first cell
        writer.Write(dir.Path());
        CFileList store;
        ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
        SearchNodeTag entry;
        entry.page = 0;
        CConcordance concordance({entry}, StoreRenderer(store, c.terms, c.scope), 3);
        EXPECT_EQ(Describe(AllLines(concordance)), c.lines) << c.cell;
    }
}

TEST(ConcordanceTest, FetchesPageByPageInResultOrder) {
    CTempDir dir;
    CCollectionWriter writer;
    for (const char* text : {"天地", "山川", "天地天地"}) writer.AddPage(TextPage("a\\0002.htm", text));
    writer.Write(dir.Path());
    CFileList store;
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    std::vector<SearchNodeTag> results(3);
    results[0].page = 2, results[1].page = 1, results[2].page = 0;
    int rendered = 0;
    const CConcordance::PageRenderer render = StoreRenderer(store, u"天地", 0);
    CConcordance concordance(results, [&](int page, CConcordance::HitPage& hitPage) {
        ++rendered;
        render(page, hitPage);
    });
    std::vector<ConcordanceLine> lines;
    EXPECT_EQ(concordance.FetchMore(1, lines), 1u);
    EXPECT_EQ(rendered, 1);  // only the first page is read for the first line
    EXPECT_EQ(concordance.FetchMore(10, lines), 2u);
    EXPECT_TRUE(concordance.AtEnd());
    std::vector<int> pages;
    for (const ConcordanceLine& line : lines) pages.push_back(line.page);
    EXPECT_EQ(pages, (std::vector<int>{2, 2, 0}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].resultIndex, 2u);

    // A page budget stops on a page that marks nothing, short of the count asked for.
    CConcordance budgeted({results[1], results[2]}, render);
    lines.clear();
    EXPECT_EQ(budgeted.FetchMore(10, lines, 1), 0u);
    EXPECT_EQ(budgeted.PagesRead(), 1u);
    EXPECT_FALSE(budgeted.AtEnd());
    EXPECT_EQ(budgeted.FetchMore(10, lines, 1), 1u);
    EXPECT_EQ(budgeted.PagesRead(), budgeted.ResultCount());
    EXPECT_TRUE(budgeted.AtEnd());
    EXPECT_EQ(budgeted.FetchMore(10, lines, 0), 0u);
}

TEST(ConcordanceTest, SortOrders) {
    auto line = [](std::u32string left, std::u32string right, size_t sequence) {
        ConcordanceLine l;
        l.left = std::move(left), l.right = std::move(right), l.sequence = sequence;
        return l;
    };
    const std::vector<ConcordanceLine> lines = {line(U"乙甲", U"丙", 0), line(U"甲乙", U"甲", 1), line(U"丙甲", U"甲", 2),
                                                line(U"", U"", 3), line(U"𠀀", U"𠀀", 4),
                                                line(U"\uFFFF", U"\uFFFF", 5)};
    auto orderOf = [&](CConcordance::SortOrder order) {
        std::vector<ConcordanceLine> sorted = lines;
        CConcordance::Sort(sorted, order);
        std::vector<size_t> sequence;
        for (const ConcordanceLine& l : sorted) sequence.push_back(l.sequence);
        return sequence;
    };
    // By code point (丙 U+4E19 < 乙 U+4E59 < 甲 U+7532 < U+FFFF < U+20000, which UTF-16 units would put
    // before U+FFFF). left: read backwards from the match, nearest character first.
    EXPECT_EQ(orderOf(CConcordance::SortOrder::kLeft), (std::vector<size_t>{3, 1, 2, 0, 5, 4}));
    // right: ties keep result order
    EXPECT_EQ(orderOf(CConcordance::SortOrder::kRight), (std::vector<size_t>{3, 0, 1, 2, 5, 4}));
    std::vector<ConcordanceLine> shuffled = {lines[2], lines[0], lines[1]};
    CConcordance::Sort(shuffled, CConcordance::SortOrder::kPosition);
    EXPECT_EQ(shuffled[0].sequence, 0u);
    EXPECT_EQ(shuffled[2].sequence, 2u);
}

// Text of html after offset with its tags removed.
std::string PlainAfter(const std::string& html, size_t offset) {
    std::string plain;
    bool inTag = false;
    for (size_t i = offset; i < html.size(); ++i) {
        if (html[i] == '<') inTag = true;
        if (!inTag) plain.push_back(html[i]);
        if (html[i] == '>') inTag = false;
    }
    return plain;
}

// On the default collection, every result page yields one line per match it
// marks, anchored where the match begins, for each scope and for words with
// wildcards, several words and variants.
TEST(ConcordanceDefaultCollection, LinesAgreeWithTheHitPages) {
    struct Case {
        const char16_t* query;
        const SearchScope* scope;
        bool variants;
    };
    const Case cases[] = {
        {u"學而", &SearchScope::kFull, true},  {u"子曰", &SearchScope::kMain, false},
        {u"之", &SearchScope::kNotes, true},   {u"子?曰", &SearchScope::kFull, true},
        {u"子*曰", &SearchScope::kFull, false}, {u"君子 小人", &SearchScope::kFull, true},
    };
    for (const Case& c : cases) {
        CIndex index;
        ASSERT_TRUE(index.Open(QUOREL_DEFAULT_COLLECTION, storeformat::kBaseName, int(c.scope->indexScope)));
        ASSERT_TRUE(index.LoadVariantTable(QUOREL_DEFAULT_COLLECTION));
        std::u16string query = c.query;
        index.SearchAll(query, c.variants);
        std::vector<SearchNodeTag> results;
        for (const uint32_t page : index.GetResultPages()) results.push_back({u"", u"", u"", int(page), 0, 0, 0});
        ASSERT_FALSE(results.empty());
        const int renderScope = int(c.scope->renderScope);
        CConcordance concordance(results, [&](int page, CConcordance::HitPage& hitPage) {
            index.GetPageHtml(page, hitPage.html, query, renderScope, c.variants, &hitPage.marks);
        });
        const std::vector<ConcordanceLine> lines = AllLines(concordance);
        size_t expected = 0;
        for (const SearchNodeTag& entry : results) {
            std::string html;
            PageMarks marks;
            const int anchors = index.GetPageHtml(entry.page, html, query, renderScope, c.variants, &marks);
            int counted = 0;
            for (const MarkedMatch& m : marks.matches) counted += m.anchorCount;
            EXPECT_EQ(counted, anchors) << entry.page;
            expected += marks.matches.size();
            for (const ConcordanceLine& line : lines) {
                if (line.page != entry.page) continue;
                char tag[32];
                std::snprintf(tag, sizeof tag, "<a name=\"%04d\"></a>", line.anchor);
                const size_t at = html.find(tag);
                ASSERT_NE(at, std::string::npos) << line.anchor;
                const std::string first = Utf8(line.match.substr(0, 1));
                EXPECT_TRUE(PlainAfter(html, at).starts_with(first)) << entry.page << " " << line.anchor;
            }
        }
        EXPECT_EQ(lines.size(), expected) << Utf8(std::u32string(c.query, c.query + std::char_traits<char16_t>::length(c.query)));
    }
}

}  // namespace
