// The builder's reading of source lines and its page filling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "build/builderror.h"
#include "build/pagefiller.h"
#include "build/volumereader.h"

namespace {

std::u32string U32(const std::string& utf8) {
    std::u32string out;
    size_t bad = 0;
    EXPECT_TRUE(CCodeConverter::Utf8ToUtf32(utf8, out, bad)) << utf8;
    return out;
}

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t cp : text) CCodeConverter::AppendUtf8(cp, out);
    return out;
}

// A paragraph in source notation again: "# " for a heading, （…） around annotations.
std::string Notation(const Paragraph& paragraph) {
    std::string out = paragraph.heading ? "# " : "";
    for (const TextRun& run : paragraph.runs) out += run.annotation ? "（" + Utf8(run.text) + "）" : Utf8(run.text);
    return out;
}

Paragraph Parse(const std::string& line) {
    Paragraph paragraph;
    EXPECT_EQ(CVolumeReader::ParseLine(U32(line), paragraph), CVolumeReader::Item::kParagraph) << line;
    return paragraph;
}

struct LineCase {
    const char* line;
    CVolumeReader::Item item;
    const char* runs;  // the runs as "M:text|A:text" (main, annotation)
    bool heading;
};

// Every kind of line, and the bracket rules: nesting, a stray ）, an annotation
// left open, adjacent annotations kept apart, blanks around the text.
TEST(VolumeReader, ParsesLinesIntoParagraphsAndBreaks) {
    using Item = CVolumeReader::Item;
    const LineCase cases[] = {
        {"子曰學而", Item::kParagraph, "M:子曰學而", false},
        {"不亦說乎（說，音悅。）有朋", Item::kParagraph, "M:不亦說乎|A:說，音悅。|M:有朋", false},
        {"甲（乙（丙）丁）戊", Item::kParagraph, "M:甲|A:乙（丙）丁|M:戊", false},
        {"甲）乙", Item::kParagraph, "M:甲）乙", false},
        {"甲（乙丙", Item::kParagraph, "M:甲|A:乙丙", false},
        {"（注）", Item::kParagraph, "A:注", false},
        {"甲（一）（二）乙", Item::kParagraph, "M:甲|A:一|A:二|M:乙", false},
        {"甲（）乙（", Item::kParagraph, "M:甲乙", false},
        {"（）", Item::kEmpty, "", false},
        {"# 學而第一", Item::kParagraph, "M:學而第一", true},
        {"#學而", Item::kParagraph, "M:#學而", false},
        {"  甲乙 \r", Item::kParagraph, "M:甲乙", false},
        {"", Item::kEmpty, "", false},
        {" \t\r", Item::kEmpty, "", false},
        {"\f", Item::kPageBreak, "", false},
        {"---page---\r", Item::kPageBreak, "", false},
        {"----page---", Item::kParagraph, "M:----page---", false},
        {"a & b < c", Item::kParagraph, "M:a & b < c", false},
    };
    for (const LineCase& c : cases) {
        Paragraph paragraph;
        EXPECT_EQ(CVolumeReader::ParseLine(U32(c.line), paragraph), c.item) << c.line;
        if (c.item != Item::kParagraph) continue;
        std::string runs;
        for (const TextRun& run : paragraph.runs) runs += (runs.empty() ? "" : "|") + std::string(run.annotation ? "A:" : "M:") + Utf8(run.text);
        EXPECT_EQ(runs, c.runs) << c.line;
        EXPECT_EQ(paragraph.heading, c.heading) << c.line;
    }
}

struct MarkupCase {
    const char* line;
    CVolumeReader::Item item;
    const char* label;         // a break's label
    std::u32string firstRun;   // a paragraph's first run
};

// Page labels after "---page---", and "&KR0099;" as one numbered character
// only when it is well formed: a label lost or a code shown as text would show here.
TEST(VolumeReader, ReadsPageLabelsAndNumberedCharacters) {
    using Item = CVolumeReader::Item;
    const MarkupCase cases[] = {
        {"---page--- 1a", Item::kPageBreak, "1a", {}},
        {"---page---\t12b \r", Item::kPageBreak, "12b", {}},
        {"---page---", Item::kPageBreak, "", {}},
        {"\f", Item::kPageBreak, "", {}},
        {"---page---1a", Item::kParagraph, "", U"---page---1a"},
        {"甲&KR0099;乙", Item::kParagraph, "", {U'甲', kNumberedCharBase + 99, U'乙'}},
        {"&KR65533;", Item::kParagraph, "", {kNumberedCharBase + 65533}},
        {"&KR65534;", Item::kParagraph, "", U"&KR65534;"},
        {"&KR;&KR12a;&KR123456;", Item::kParagraph, "", U"&KR;&KR12a;&KR123456;"},
        {"&KR12", Item::kParagraph, "", U"&KR12"},
        {"甲\u2028乙", Item::kParagraph, "", {U'甲', kLineBreak, U'乙'}},
        {"\U000F0063", Item::kParagraph, "", {U'\U000F0063'}},  // a private-use character stays itself
    };
    for (const MarkupCase& c : cases) {
        Paragraph paragraph;
        std::u32string label = U"stale";
        EXPECT_EQ(CVolumeReader::ParseLine(U32(c.line), paragraph, &label), c.item) << c.line;
        if (c.item == Item::kPageBreak) {
            EXPECT_EQ(Utf8(label), c.label) << c.line;
        } else if (c.item == Item::kParagraph) {
            ASSERT_FALSE(paragraph.runs.empty()) << c.line;
            EXPECT_EQ(paragraph.runs[0].text, c.firstRun) << c.line;
        }
    }
    Paragraph paragraph;
    ASSERT_EQ(CVolumeReader::ParseLine(U32("（注&KR0001;）"), paragraph), Item::kParagraph);
    EXPECT_TRUE(paragraph.runs[0].annotation);
    EXPECT_EQ(paragraph.runs[0].text, (std::u32string{U'注', kNumberedCharBase + 1}));
}

// A label too long for the margin or holding a control character is refused
// rather than mis-shown.
TEST(VolumeReader, RefusesBadLabels) {
    for (const std::u32string& line : {U32("---page--- " + std::string(33, 'a')), U32("---page--- 1\x01a")}) {
        Paragraph paragraph;
        EXPECT_THROW(CVolumeReader::ParseLine(line, paragraph), CBuildError) << Utf8(line);
    }
    Paragraph paragraph;
    EXPECT_EQ(CVolumeReader::ParseLine(U32("---page--- " + std::string(32, 'a')), paragraph), CVolumeReader::Item::kPageBreak);
}

// A control character (other than a tab) in a line is refused, not copied into a page.
TEST(VolumeReader, RefusesControlCharacters) {
    const std::u32string withNul = {U'甲', U'\0', U'乙'};
    for (const std::u32string& line : {U32("甲\x01乙"), U32("甲\f乙"), U32("\x7f"), withNul}) {
        Paragraph paragraph;
        EXPECT_THROW(CVolumeReader::ParseLine(line, paragraph), CBuildError) << Utf8(line);
    }
    Paragraph paragraph;
    EXPECT_EQ(CVolumeReader::ParseLine(U32("甲\t乙"), paragraph), CVolumeReader::Item::kParagraph);
}

struct FillCase {
    const char* name;
    size_t budget;
    std::vector<std::string> lines;  // source lines; "|" is a forced break, "=" one to a printed page of 20
    std::vector<std::string> pages;  // each page's paragraphs joined by " / "
};

// Filling, keeping paragraphs whole where they fit, cutting only longer ones
// (after punctuation in the second half of the room), carrying a heading over,
// and forced breaks.
TEST(PageFiller, FillsPagesUpToTheBudget) {
    const FillCase cases[] = {
        {"fills one page", 10, {"abc", "defg", "hij"}, {"abc / defg / hij"}},
        {"moves a paragraph that does not fit", 10, {"aaaaaa", "bbbbbb", "cccc"}, {"aaaaaa", "bbbbbb / cccc"}},
        {"a paragraph of exactly the budget", 4, {"aaaa", "bbbb"}, {"aaaa", "bbbb"}},
        {"cuts a long paragraph at the budget", 10, {"bb", "aaaaaaaaaaaaaaaaaaaaaaaaa"},
         {"bb / aaaaaaaa", "aaaaaaaaaa", "aaaaaaa"}},
        {"cuts after punctuation in the second half", 10, {"aaaaaaa,bbbbbbbbb"}, {"aaaaaaa,", "bbbbbbbbb"}},
        {"ignores punctuation in the first half", 10, {"aa,aaaaaaaaaaaa"}, {"aa,aaaaaaa", "aaaaa"}},
        {"cuts after full-width punctuation", 6, {"甲乙丙丁。戊己庚辛"}, {"甲乙丙丁。", "戊己庚辛"}},
        {"cuts inside an annotation", 4, {"ab（cdefgh）ij"}, {"ab（cd）", "（efgh）", "ij"}},
        {"carries a heading to the next page", 10, {"xxxxxx", "# hh", "yyyyy"}, {"xxxxxx", "# hh / yyyyy"}},
        {"carries a heading before a long paragraph", 6, {"xxxx", "# hh", "yyyyyyyyyy"},
         {"xxxx", "# hh / yyyy", "yyyyyy"}},
        {"keeps a heading alone when its paragraph fills a page", 10, {"# hh", "yyyyyyyyy"}, {"# hh", "yyyyyyyyy"}},
        {"forced breaks", 100, {"aa", "|", "bb", "|", "|", "cc", "|"}, {"aa", "bb", "cc"}},
        {"a break before any text adds no page", 100, {"|", "aa"}, {"aa"}},
        {"an empty volume has one empty page", 100, {}, {""}},
        {"a budget of one", 1, {"ab"}, {"a", "b"}},
        {"cuts after a line break", 6, {"甲乙丙丁\u2028戊己庚辛"}, {"甲乙丙丁\u2028", "戊己庚辛"}},
        {"a printed page holds more than the budget", 4, {"=", "aaaaaa", "bbb"}, {"aaaaaa / bbb"}},
        {"a printed page too long for its own budget is cut", 4, {"=", std::string(25, 'a')},
         {std::string(20, 'a'), std::string(5, 'a')}},
        {"blank printed pages are pages", 100, {"=", "=", "aa", "="}, {"", "aa", ""}},
        {"a plain break returns to the budget", 4, {"=", "aaaaaa", "|", "bbbbbb"}, {"aaaaaa", "bbbb", "bb"}},
    };
    for (const FillCase& c : cases) {
        std::vector<std::string> pages;
        CPageFiller filler(c.budget, [&pages](const std::vector<Paragraph>& page) {
            std::string text;
            for (const Paragraph& paragraph : page) text += (text.empty() ? "" : " / ") + Notation(paragraph);
            pages.push_back(text);
        });
        for (const std::string& line : c.lines) {
            if (line == "|")
                filler.Break();
            else if (line == "=")
                filler.BreakToPrintedPage(20);
            else
                filler.Add(Parse(line));
        }
        filler.Finish();
        EXPECT_EQ(pages, c.pages) << c.name;
    }
}

}  // namespace
