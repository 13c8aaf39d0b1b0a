// Page rendering: the template, the page and cell cutters, term patterns and
// hit highlighting, the per-term passes of a hit page and the variant spellings.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "base/datafileerror.h"
#include "docstore/filelist.h"
#include "docstore/pagetemplate.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "renderfixture.h"

using namespace renderfixture;

namespace {

WriterOptions NameWidthOptions(int width) {
    WriterOptions options;
    options.nameWidth = width;
    return options;
}

// The template written out byte by byte, independent of the constants.
using pagetags::kHead;
using pagetags::kTail;
const std::string& kFirst = pagetags::kFirstCell;
const std::string& kSecond = pagetags::kSecondCell;

std::string Template(const std::string& title, const std::string& first, const std::string& second) {
    return kHead + title + kFirst + first + kSecond + second + kTail;
}

// A wrong byte in a template piece or tag would change every rendered page.
TEST(PageTemplate, LiteralsHaveTheirByteLengths) {
    using namespace pagetemplate;
    const std::pair<std::string_view, size_t> cases[] = {
        {kHeadPiece, 88},    {kFirstCellPiece, 235}, {kSecondCellPiece, 58},  {kTailPiece, 58},
        {kAnnotationTag, 30}, {kMarkOpenTag, 41},     {kMarkCloseTag, 4},      {kAnnotationCloseTag, 7},
    };
    for (const auto& [text, length] : cases) EXPECT_EQ(text.size(), length) << text;
    EXPECT_EQ(std::string(kHeadPiece) + std::string(kFirstCellPiece) + std::string(kSecondCellPiece) +
                  std::string(kTailPiece),
              kHead + kFirst + kSecond + kTail);
    EXPECT_EQ(Anchor(0).size(), 19u);
    EXPECT_EQ(Anchor(9999).size(), 19u);
}

struct SplitCase {
    const char* what;
    std::string page;
    std::string title, first, second;
};

// Each rule of the page cutter, and how malformed pages degrade.
TEST(SplitPage, CutsTitleAndCells) {
    const SplitCase cases[] = {
        {"a stored page", StoredPage("論語", "一", "<p>學而<br>"), "論語", "一", "<p>學而<br>"},
        {"no title at all", "<TD>a</TD><TD>b</TD>", "", "", ""},
        {"no closing title: the cells are never entered", "<title>t<TD>a</TD><TD>b</TD>", "tab", "", ""},
        {"a closing title alone opens the cells", "x</title><TD>a</TD><TD>b</TD>", "", "a", "b"},
        {"lower-case cells", "<title>t</title><td>a</td><td>b</td>", "t", "", ""},
        {"a nested <TD inside the first cell", "<title>t</title><TD>a<TD x=1>b</TD>c<TD>d</TD>e", "t", "ab", "d"},
        {"a cell close with a space is content", "<title>t</title><TD>a</TD >b</TD><TD>c</TD>", "t", "a</TD >b", "c"},
        {"a second title tag is content", "<title>a<title x>b</title>", "a<title x>b", "", ""},
        {"an unterminated tag at the end is lost", "<title>t</title><TD>a<b", "t", "a", ""},
        {"a > in text is text", "<title>1>0</title><TD>a>b</TD>", "1>0", "a>b", ""},
        {"a < inside a tag belongs to the tag", "<title>t</title><TD><a<b>x</TD>", "t", "<a<b>x", ""},
        {"an empty page", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const std::vector<HTMLNode> nodes = CFileList::SplitPage(c.page);
        ASSERT_EQ(nodes.size(), 3u) << c.what;
        EXPECT_EQ(nodes[0].text, c.title) << c.what;
        EXPECT_EQ(nodes[1].text, c.first) << c.what;
        EXPECT_EQ(nodes[2].text, c.second) << c.what;
    }
}

struct FilterCase {
    const char* what;
    std::string cell;
    std::vector<std::pair<int, std::string>> items;  // kind, text
};

// Annotations are recognised by their exact font tag only; everything else is text.
TEST(FilterCell, CutsMainTextAndAnnotations) {
    const std::string kOffColour = "<font size=-1 color=\"#993367\">";
    const std::string kUpperCase = "<FONT size=-1 color=\"#993366\">";
    const std::string kOtherSpacing = "<font  size=-1 color=\"#993366\">";
    const FilterCase cases[] = {
        {"plain text", "甲&amp;乙", {{0, "甲&amp;乙"}}},
        {"an annotation inside", "甲" + Note("注") + "乙", {{0, "甲"}, {1, "注"}, {0, "乙"}}},
        {"a cell that begins and ends with an annotation", Note("注"), {{0, ""}, {1, "注"}, {0, ""}}},
        {"other tags stay in their item", "<p>甲" + Note("注<br>釋") + "<br>",
         {{0, "<p>甲"}, {1, "注<br>釋"}, {0, "<br>"}}},
        {"a colour one byte off", kOffColour + "注</font>", {{0, kOffColour + "注</font>"}}},
        {"upper case", kUpperCase + "注</FONT>", {{0, kUpperCase + "注</FONT>"}}},
        {"other spacing", kOtherSpacing + "注</font>", {{0, kOtherSpacing + "注</font>"}}},
        {"a closing font in main text", "甲</font>乙", {{0, "甲</font>乙"}}},
        {"an annotation tag inside an annotation", kNote + "a" + kNote + "b</font>c</font>",
         {{0, ""}, {1, "a"}, {1, "b"}, {0, "c</font>"}}},
        {"an unclosed annotation", kNote + "注", {{0, ""}, {1, "注"}}},
        {"an unterminated tag", "甲<font size", {{0, "甲"}}},
    };
    for (const auto& c : cases) {
        HTMLNode cell;
        cell.text = c.cell;
        std::vector<std::pair<int, std::string>> items;
        for (const FilterItem& item : CFileList::FilterCell(cell)) items.emplace_back(item.kind, item.text);
        EXPECT_EQ(items, c.items) << c.what;
    }
}

struct ParseCase {
    std::string term;
    std::vector<Seg> segs;
};

// Chunks, their kinds and "?" gaps; stray wildcards bind nothing.
TEST(ParseTerm, CutsTermsIntoChunks) {
    const ParseCase cases[] = {
        {"AB", {{Seg::kFirst, "AB", 0}}},
        {"A?B", {{Seg::kFirst, "A", 0}, {Seg::kAfterQuestion, "B", 1}}},
        {"A??B", {{Seg::kFirst, "A", 0}, {Seg::kAfterQuestion, "B", 2}}},
        {"A*B", {{Seg::kFirst, "A", 0}, {Seg::kAfterStar, "B", 0}}},
        {"*A", {{Seg::kAfterStar, "A", 0}}},
        {"**A**B*", {{Seg::kAfterStar, "A", 0}, {Seg::kAfterStar, "B", 0}}},
        {"?A?", {{Seg::kFirst, "A", 0}}},
        {"A*?B", {{Seg::kFirst, "A", 0}, {Seg::kAfterStar, "B", 0}}},
        {"A?B*C??D",
         {{Seg::kFirst, "A", 0}, {Seg::kAfterQuestion, "B", 1}, {Seg::kAfterStar, "C", 0},
          {Seg::kAfterQuestion, "D", 2}}},
        {"甲？乙", {{Seg::kFirst, "甲？乙", 0}}},
        {"??", {}},
        {"*?*", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const std::vector<Seg> segs = CFileList::ParseTerm(c.term);
        ASSERT_EQ(segs.size(), c.segs.size()) << c.term;
        for (size_t i = 0; i < segs.size(); ++i) {
            EXPECT_EQ(segs[i].kind, c.segs[i].kind) << c.term << " #" << i;
            EXPECT_EQ(segs[i].bytes, c.segs[i].bytes) << c.term << " #" << i;
            if (segs[i].kind == Seg::kAfterQuestion) {
                EXPECT_EQ(segs[i].gap, c.segs[i].gap) << c.term << " #" << i;
            }
        }
    }
}

struct HighlightCase {
    const char* what;
    std::string text;
    std::string term;
    std::string marked;
    int anchors;
};

// Marks, anchors and the text between them for every kind of chunk.
TEST(HighlightItem, MarksEveryMatch) {
    const std::string open = "<b style='color:red;background:#D9D9D9;'>";
    const HighlightCase cases[] = {
        {"a term found twice", "甲乙丙甲乙", "甲乙", Hit(0, "甲乙") + "丙" + Hit(1, "甲乙"), 2},
        {"matches never overlap", "甲甲甲", "甲甲", Hit(0, "甲甲") + "甲", 1},
        {"no match", "甲乙", "丙", "甲乙", 0},
        {"? over a 3-byte character", "丙甲丁乙丙", "甲?乙",
         "丙" + Hit(0, "甲") + open + Anchor(1) + "丁</b>" + Hit(2, "乙") + "丙", 3},
        {"?? over two characters", "甲丙丁乙", "甲??乙",
         Hit(0, "甲") + open + Anchor(1) + "丙丁</b>" + Hit(2, "乙"), 3},
        {"? over an ASCII byte", "甲a乙", "甲?乙", "甲a乙", 0},
        {"? over a 4-byte character", "甲𠀀乙", "甲?乙", "甲𠀀乙", 0},
        {"? over a line-break tag", "甲<br>乙", "甲?乙", "甲<br>乙", 0},
        {"? past the end of the text", "甲丁", "甲?乙", "甲丁", 0},
        {"a failed ? attempt resumes after its first chunk", "甲甲丁乙", "甲?乙",
         "甲" + Hit(0, "甲") + open + Anchor(1) + "丁</b>" + Hit(2, "乙"), 3},
        {"a * stretch", "甲丙<br>丁乙戊", "甲*乙", Hit(0, "甲") + "丙<br>丁" + Hit(1, "乙") + "戊", 2},
        {"a <p> after the stretch does not stop it", "甲丙乙<p>", "甲*乙",
         Hit(0, "甲") + "丙" + Hit(1, "乙") + "<p>", 2},
        {"a * stretch stopped by <p>", "甲丙<p>丁甲乙", "甲*乙", "甲丙<p>丁" + Hit(0, "甲") + Hit(1, "乙"), 2},
        {"a * stretch stopped by <h4>", "甲<h4>乙", "甲*乙", "甲<h4>乙", 0},
        {"a leading * still finds the chunk after a <p>", "乙<p>甲", "*甲", "乙<p>" + Hit(0, "甲"), 1},
        {"a leading * chunk cannot start inside a <p>", "<p>甲", "*p>甲", "<p>甲", 0},
        {"a leading * chunk cannot start inside a <h4>", "<h4>甲", "*4>甲", "<h4>甲", 0},
        {"without the * it can", "<p>甲", "p>甲", "<" + Hit(0, "p>甲"), 1},
        {"a wildcard-only term", "甲乙", "*?*", "甲乙", 0},
        {"an empty term", "甲乙", "", "甲乙", 0},
        {"a chunk inside a tag is marked there too", "<a title=\"甲\">甲</a>", "甲",
         "<a title=\"" + Hit(0, "甲") + "\">" + Hit(1, "甲") + "</a>", 2},
        {"entities are not decoded", "甲&amp;乙", "甲&乙", "甲&amp;乙", 0},
        {"an empty item", "", "甲", "", 0},
    };
    for (const auto& c : cases) {
        FilterItem item;
        item.text = c.text;
        std::string out = "kept|";
        int counter = 0;
        CFileList::HighlightItem(item, c.term, out, counter);
        EXPECT_EQ(out, "kept|" + c.marked) << c.what;
        EXPECT_EQ(counter, c.anchors) << c.what;
    }
}

// With punctuation ignored, a run of punctuation, white space and line breaks
// may stand between a chunk's characters and around a "?", and the mark spans
// it; a "?" then stands for one character that is not punctuation.
TEST(HighlightItem, PassesOverPunctuationWhenAsked) {
    const std::string open = "<b style='color:red;background:#D9D9D9;'>";
    const HighlightCase cases[] = {
        {"a comma inside the phrase", "子曰學，而時", "學而", "子曰" + Hit(0, "學，而") + "時", 1},
        {"a run of marks and spaces", "學」。　「而", "學而", Hit(0, "學」。　「而"), 1},
        {"ASCII punctuation", "學, 而", "學而", Hit(0, "學, 而"), 1},
        {"a line break", "學<br>而", "學而", Hit(0, "學<br>而"), 1},
        {"an entity for punctuation", "學&lt;而", "學而", Hit(0, "學&lt;而"), 1},
        {"the longest run", "學。」<br>「，而", "學而", Hit(0, "學。」<br>「，而"), 1},
        {"a run one too long", "學。」「，，而", "學而", "學。」「，，而", 0},
        {"a character between", "學之而", "學而", "學之而", 0},
        {"marks that stand for characters", "學〇而學々而", "學而", "學〇而學々而", 0},
        {"punctuation before the phrase stays outside", "，學而，", "學而", "，" + Hit(0, "學而") + "，", 1},
        {"a later start after a failed one", "學之學，而", "學而", "學之" + Hit(0, "學，而"), 1},
        {"? over one character with runs around it", "學，之。而", "學?而",
         Hit(0, "學") + open + Anchor(1) + "，之。</b>" + Hit(2, "而"), 3},
        {"? over a 4-byte character", "學𠀀而", "學?而", Hit(0, "學") + open + Anchor(1) + "𠀀</b>" + Hit(2, "而"), 3},
        {"? is not punctuation", "學，而", "學?而", "學，而", 0},
        {"? over a tag", "學<i>之</i>而", "學?而", "學<i>之</i>而", 0},
        {"a * stretch with spaced chunks", "學，而<br>時，習", "學而*時習",
         Hit(0, "學，而") + "<br>" + Hit(1, "時，習"), 2},
        {"another tag parts the phrase", "學<i>而", "學而", "學<i>而", 0},
    };
    for (const auto& c : cases) {
        FilterItem item;
        item.text = c.text;
        std::string out;
        int counter = 0;
        CFileList::HighlightItem(item, c.term, out, counter, nullptr, true);
        EXPECT_EQ(out, c.marked) << c.what;
        EXPECT_EQ(counter, c.anchors) << c.what;
    }
}

// Anchor numbers run past 9999 with five digits, uncut.
TEST(HighlightItem, AnchorsFrom10000KeepAllDigits) {
    FilterItem item;
    item.text = "甲乙甲";
    std::string out;
    int counter = 9999;
    CFileList::HighlightItem(item, "甲", out, counter);
    EXPECT_EQ(out, "<a name=\"9999\"></a>" + Mark("甲") + "乙<a name=\"10000\"></a>" + Mark("甲"));
    EXPECT_EQ(counter, 10001);
}

// Once the page holds its most anchors, the rest of the text stays unmarked,
// so that no caller's counter runs on without bound.
TEST(HighlightItem, StopsMarkingAtTheAnchorBound) {
    FilterItem item;
    item.text = "甲乙甲?乙";
    std::string out;
    int counter = CFileList::kMaxAnchors - 1;
    CFileList::HighlightItem(item, "甲", out, counter);
    EXPECT_EQ(out, Anchor(CFileList::kMaxAnchors - 1) + Mark("甲") + "乙甲?乙");
    EXPECT_EQ(counter, CFileList::kMaxAnchors);
    out.clear();
    CFileList::HighlightItem(item, "乙", out, counter);
    EXPECT_EQ(out, item.text);
    EXPECT_EQ(counter, CFileList::kMaxAnchors);
}

// The stored page is rebuilt in the template even when nothing matches.
TEST(ComposePage, WritesTheTemplateForAPageWithoutHits) {
    std::string out = "kept|";
    int counter = 0;
    CFileList::ComposePage(StoredPage("論語", "一", "學而" + Note("注")), out, "無", 0, 0, counter);
    EXPECT_EQ(out, "kept|" + Template("論語", "一", "學而" + Note("注")));
    EXPECT_EQ(counter, 0);

    out.clear();
    CFileList::ComposePage("<html>no cells</html>", out, "無", 0, 0, counter);
    EXPECT_EQ(out, Template("", "", ""));
}

// Which items each render scope marks, and that annotations are written back.
TEST(ComposePage, RenderScopesMarkTheirItemsOnly) {
    const std::string page = StoredPage("t", "甲" + Note("甲乙") + "甲", "");
    struct {
        int scope;
        std::string cell;
        int anchors;
    } const cases[] = {
        {0, Hit(0, "甲") + Note(Hit(1, "甲") + "乙") + Hit(2, "甲"), 3},
        {1, Hit(0, "甲") + Note("甲乙") + Hit(1, "甲"), 2},
        {2, "甲" + Note(Hit(0, "甲") + "乙") + "甲", 1},
        {3, "", 0},
        {-1, "", 0},
    };
    for (const auto& c : cases) {
        std::string out;
        int counter = 0;
        CFileList::ComposePage(page, out, "甲", 0, c.scope, counter);
        EXPECT_EQ(out, Template("t", c.cell, "")) << "scope " << c.scope;
        EXPECT_EQ(counter, c.anchors) << "scope " << c.scope;
    }
}

// The text cell follows the parity; the other cell and the title stay unmarked.
TEST(ComposePage, ParityChoosesTheTextCell) {
    const std::string page = StoredPage("甲", "甲", "甲");
    std::string out;
    int counter = 0;
    CFileList::ComposePage(page, out, "甲", 0, 0, counter);
    EXPECT_EQ(out, Template("甲", Hit(0, "甲"), "甲"));
    out.clear();
    CFileList::ComposePage(page, out, "甲", 1, 0, counter);
    EXPECT_EQ(out, Template("甲", "甲", Hit(1, "甲")));
    EXPECT_EQ(counter, 2);
}

// A collection of three pages: printed pages 7 and 8 and a cover without a number.
class RenderHitPageTest : public ::testing::Test {
protected:
    static constexpr int kNameWidth = 24;

    void SetUp() override {
        WriteRenderCollection(m_dir.Path(),
                              {{"b\\v1\\0007.htm", StoredPage("七", "甲乙", "乙甲")},
                               {"b\\v1\\0008.htm", StoredPage("八", "乙甲", "甲乙")},
                               {"cover", StoredPage("表紙", "甲", "甲")}},
                              {}, NameWidthOptions(kNameWidth));
        ASSERT_TRUE(m_store.Open(m_dir.Path(), storeformat::kBaseName));
    }

    std::string Render(int page, std::u16string_view terms, int scope, int& anchors) {
        std::string out;
        anchors = m_store.RenderHitPage(page, out, terms, scope);
        return out;
    }

    CTempDir m_dir;
    CFileList m_store;
};

// Printed page 7 marks only its second cell, 8 only its first, a cover its first.
TEST_F(RenderHitPageTest, ParityOfThePrintedPage) {
    int anchors = 0;
    EXPECT_EQ(Render(0, u"甲", 0, anchors), Template("七", "甲乙", "乙" + Hit(0, "甲")));
    EXPECT_EQ(anchors, 1);
    EXPECT_EQ(Render(1, u"甲", 0, anchors), Template("八", "乙" + Hit(0, "甲"), "甲乙"));
    EXPECT_EQ(Render(2, u"甲", 0, anchors), Template("表紙", Hit(0, "甲"), "甲"));
}

// Later terms pass over the earlier marks; a repeated term is skipped.
TEST_F(RenderHitPageTest, EachDistinctTermIsOnePassInOrder) {
    int anchors = 0;
    const std::string twoTerms = Render(1, u"甲 乙", 0, anchors);
    EXPECT_EQ(twoTerms, Template("八", Hit(1, "乙") + Hit(0, "甲"), "甲乙"));
    EXPECT_EQ(anchors, 2);
    EXPECT_EQ(Render(1, u"甲 乙 甲", 0, anchors), twoTerms);
    EXPECT_EQ(anchors, 2);
}

// Short ASCII terms match inside the marks of the terms before them, each
// mark holding several matches of the next: the page grew exponentially with
// the number of terms until the anchor bound stopped the passes.
TEST(RenderHitPage, TermsMatchingEarlierMarksStopAtTheAnchorBound) {
    CTempDir dir;
    WriteRenderCollection(dir.Path(), {{"a\0002.htm", StoredPage("t", std::string(1000, 'a'), "")}});
    CFileList store;
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    std::string out;
    const int anchors = store.RenderHitPage(0, out, u"a o r e d l c s y", 0);
    EXPECT_GE(anchors, CFileList::kMaxAnchors);
    EXPECT_LT(anchors, CFileList::kMaxAnchors + 2);
    EXPECT_LT(out.size(), size_t(CFileList::kMaxAnchors) * 100);
    EXPECT_TRUE(out.starts_with(kHead) && out.ends_with(kTail));
}

// Separators of every kind and number give the same terms.
TEST_F(RenderHitPageTest, TermSeparators) {
    int expectedAnchors = 0;
    const std::string expected = Render(1, u"甲 乙", 0, expectedAnchors);
    const std::u16string lists[] = {
        u"甲\u3000乙", u"　甲\u3000\u3000乙 ", u"甲  乙", u"甲 乙 甲\xD800",
        std::u16string(u"甲 乙\0丙", 5),  // the list ends at a NUL
    };
    for (const auto& terms : lists) {
        int anchors = 0;
        EXPECT_EQ(Render(1, terms, 0, anchors), expected);
        EXPECT_EQ(anchors, expectedAnchors);
    }
}

// Nothing to render leaves out as it was: no term, a closed store, no such page.
TEST_F(RenderHitPageTest, NothingRenderedLeavesOutUntouched) {
    const std::pair<int, std::u16string> cases[] = {
        {0, u""}, {0, u" \u3000 "}, {-1, u"甲"}, {3, u"甲"}, {INT_MAX, u"甲"}, {INT_MIN, u"甲"},
    };
    for (const auto& [page, terms] : cases) {
        std::string out = "kept";
        EXPECT_EQ(m_store.RenderHitPage(page, out, terms, 0), 0);
        EXPECT_EQ(out, "kept");
    }
    m_store.Close();
    std::string out = "kept";
    EXPECT_EQ(m_store.RenderHitPage(0, out, u"甲", 0), 0);
    EXPECT_EQ(out, "kept");
}

// A record whose bytes lie outside the content file is a page that cannot be read.
TEST_F(RenderHitPageTest, RecordOutsideTheContentFileRendersNothing) {
    m_store.Close();
    {
        std::fstream table(m_dir.Path() / "Index-fl.h", std::ios::in | std::ios::out | std::ios::binary);
        table.seekp(268 + 2 * (kNameWidth + 8) + kNameWidth);  // end offset of the cover
        const char huge[4] = {'\xFF', '\xFF', '\xFF', '\x7F'};
        table.write(huge, sizeof huge);
    }
    ASSERT_TRUE(m_store.Open(m_dir.Path(), storeformat::kBaseName));
    std::string out = "kept";
    EXPECT_EQ(m_store.RenderHitPage(2, out, u"甲", 0), 0);
    EXPECT_EQ(out, "kept");
}

// A store that fails under the reader raises to the caller instead of rendering garbage.
TEST_F(RenderHitPageTest, ReadErrorRaises) {
    std::filesystem::resize_file(m_dir.Path() / "Index-fl.cnt", 10);
    std::string out = "kept";
    EXPECT_THROW(m_store.RenderHitPage(2, out, u"甲", 0), CDataFileError);
    EXPECT_EQ(out, "kept");
}

// Variant spellings of the query are marked too, in the order the expansion gives them.
class PageHtmlTest : public ::testing::Test {
protected:
    void Open(const std::string& cell, std::vector<std::vector<uint32_t>> groups) {
        WriteRenderCollection(m_dir.Path(), {{"a\\0002.htm", StoredPage("t", cell, "")}}, std::move(groups));
        ASSERT_TRUE(m_index.Open(m_dir.Path(), storeformat::kBaseName, 0));
    }

    std::string Html(std::u16string_view query, bool useVariants, int& anchors) {
        std::string html;
        anchors = m_index.GetPageHtml(0, html, query, 0, useVariants);
        return html;
    }

    std::string Rendered(std::u16string_view terms, int& anchors) {
        std::string html;
        anchors = m_index.GetFileList().RenderHitPage(0, html, terms, 0);
        return html;
    }

    CTempDir m_dir;
    CIndex m_index;
};

// 万 with the group 4E07,842C renders as the term list 万 萬.
TEST_F(PageHtmlTest, VariantGroupAddsItsSpellings) {
    Open("万年萬年", {{0x4E07, 0x842C}});
    int anchors = 0, expectedAnchors = 0;
    EXPECT_EQ(Html(u"万", true, anchors), Rendered(u"万 萬", expectedAnchors));
    EXPECT_EQ(anchors, 2);
    EXPECT_EQ(expectedAnchors, 2);
    EXPECT_EQ(Html(u"万", false, anchors), Template("t", Hit(0, "万") + "年萬年", ""));
    EXPECT_EQ(anchors, 1);
}

// Two words expand to every combination; each distinct term is marked once, in
// the order of its first spelling.
TEST_F(PageHtmlTest, TwoWordsMarkEachDistinctSpellingOnce) {
    Open("萬體万体", {{0x4E07, 0x842C}, {0x4F53, 0x9AD4}});
    int anchors = 0, expectedAnchors = 0;
    EXPECT_EQ(Html(u"万\u3000体", true, anchors), Rendered(u"万 体 體 萬", expectedAnchors));
    EXPECT_EQ(anchors, 4);
    EXPECT_EQ(Html(u"万\u3000体", true, anchors),
              Template("t", Hit(3, "萬") + Hit(2, "體") + Hit(0, "万") + Hit(1, "体"), ""));
}

// A table written on Windows ends a line with a comma and CR LF, which adds
// the member 0 to its group; 0 is never a spelling, so no term is cut short
// and no part of a spelling is marked by itself.
TEST_F(PageHtmlTest, TrailingCommaLinesMarkAsCleanOnes) {
    Open("山川天地山巛水山", {{0x5DDD, 0x5DDB}, {0x5C71}});
    WriteFileBytes(m_dir.Path() / "yitizi.txt", "5DDD,5DDB,\r\n0x5C71,\r\n");
    ASSERT_TRUE(m_index.LoadVariantTable(m_dir.Path()));
    ASSERT_EQ(m_index.GetVariantGroups()[0], (std::vector<uint32_t>{0x5DDD, 0x5DDB, 0}));
    int anchors = 0;
    EXPECT_EQ(Html(u"山川", true, anchors), Template("t", Hit(0, "山川") + "天地" + Hit(1, "山巛") + "水山", ""));
    EXPECT_EQ(anchors, 2);
}

// A member above U+FFFF is marked like any other, whichever member is typed.
TEST_F(PageHtmlTest, SupplementaryMembersAreMarked) {
    Open("万年\xF0\xA0\x80\x80年萬年", {{0x4E07, 0x20000, 0x842C}});
    const std::string expected = Template("t", Hit(0, "万年") + Hit(1, "\xF0\xA0\x80\x80年") + Hit(2, "萬年"), "");
    for (std::u16string_view query : {u"万年", u"\U00020000年"}) {
        int anchors = 0;
        EXPECT_EQ(Html(query, true, anchors), expected);
        EXPECT_EQ(anchors, 3);
    }
}

// An empty query has nothing to expand and renders nothing.
TEST_F(PageHtmlTest, EmptyQueryWithVariantsRendersNothing) {
    Open("万", {{0x4E07, 0x842C}});
    std::string html = "kept";
    EXPECT_EQ(m_index.GetPageHtml(0, html, u"", 0, true), 0);
    EXPECT_EQ(html, "kept");
}

// A query with 2^13 spellings stays within the expansion bound: the spellings
// under it are all marked, those past it keep the typed character.
TEST_F(PageHtmlTest, VariantRichQueryStaysBounded) {
    std::string allTraditional;
    for (int i = 0; i < 12; ++i) allTraditional += "萬";
    Open(allTraditional + "万|" + allTraditional + "萬", {{0x4E07, 0x842C}});
    int anchors = 0;
    const std::string html = Html(std::u16string(13, u'万'), true, anchors);
    EXPECT_EQ(anchors, 1);
    EXPECT_NE(html.find(Hit(0, allTraditional + "万")), std::string::npos);
    EXPECT_EQ(html.find(Mark(allTraditional + "萬")), std::string::npos);
}

}  // namespace
