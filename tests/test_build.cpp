// A collection built from a small source tree, checked through the core: the
// table of contents, every page and record, and search results in all three
// scopes against a brute-force scan of the page texts, which in turn must hold
// exactly the source texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "base/codeconverter.h"
#include "build/builderror.h"
#include "build/collectionbuilder.h"
#include "docstore/storeformat.h"
#include "docstore/tocformat.h"
#include "index/index.h"
#include "sourcefixture.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kPageChars = 40;

// Folder and file names, lines and annotations of every kind; the comments give
// the pages the budget of 40 characters makes of them.
const std::vector<std::pair<std::string, std::string>> kSource = {
    {"collection.txt", "7\r\n四庫全書 テスト\r\n"},
    {"yitizi.txt", "4E07,842C\n\n5b78, 0x5B66\r\n"},
    // 36 characters on page 1, the rest on page 2; BOM and CRLF line ends.
    {"01-經部/03-論語/01-學而.txt",
     "\xEF\xBB\xBF# 學而第一\r\n子曰：學而時習之，不亦說乎？（說，音悅。）有朋自遠方來，不亦樂乎？\r\n\r\n"
     "人不知而不慍，不亦君子乎？\r\n君子（謂成德之人）不器。\r\n"},
    // A forced break; entities and adjacent annotations on page 2.
    {"01-經部/03-論語/02-為政.txt",
     "# 為政第二\n子曰：為政以德，譬如北辰，居其所而衆星共之。\n---page---\n子曰：学而不思則罔（学，一作學）。天&地<人>。\n"
     "道（注一）（注二）德。"},
    // 9 sorts before 10. One paragraph of 53 characters, cut after "：" (the 39th).
    {"01-經部/9-孟子/01-梁惠王.txt",
     "孟子見梁惠王。王曰：叟不遠千里而來（千里，一作萬里），亦將有以利吾國乎？孟子對曰：王何必曰利？亦有仁義而已矣。\n"},
    // Two annotations on page 1; supplementary-plane characters on page 2.
    {"01-經部/10-大學/01-經一章.txt",
     "大學之道，在明明德（明德，謂人之所得乎天），在親民（親，當作新），在止於至善。\n𠀀𠀁之字abc万年\n"},
    {"01-經部/readme.md", "a file where books are expected\n"},
    // Three pages by forced breaks, one of them doubled.
    {"02-集部/01-詩/01-周南.txt", "關關雎鳩，在河之洲。\n\f\n窈窕淑女，君子好逑。\n\f\n\f\n參差荇菜，左右流之。\n"},
    {"02-集部/01-詩/02-召南.txt", ""},
    {"02-集部/01-詩/notes.md", "not a volume\n"},
    {"03-史部/01-空/.hidden.txt", "skipped\n"},
};

struct TocCase {
    const char* name;
    int level;
    int docID;
    int docNo;
};

const TocCase kToc[] = {
    {"經部", 1, 1, 8}, {"論語", 2, 1, 4}, {"學而", 3, 1, 2},   {"為政", 3, 3, 2},
    {"孟子", 2, 5, 2}, {"梁惠王", 3, 5, 2}, {"大學", 2, 7, 2}, {"經一章", 3, 7, 2},
    {"集部", 1, 9, 4}, {"詩", 2, 9, 4},   {"周南", 3, 9, 3},   {"召南", 3, 12, 1},
};

struct BuiltRecord {
    std::string name;
    int level, docID, docNo, curFileName;
};

int32_t LoadInt32(const std::string& bytes, size_t at) {
    int32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::vector<BuiltRecord> ReadToc(const fs::path& folder) {
    const std::string bytes = ReadFileBytes(folder / tocformat::kFileName);
    EXPECT_EQ(bytes.size() % tocformat::kRecordBytes, 0u);
    std::vector<BuiltRecord> records;
    for (size_t at = 0; at + tocformat::kRecordBytes <= bytes.size(); at += tocformat::kRecordBytes) {
        std::u16string name;
        for (size_t i = 0; i < tocformat::kNameBytes; i += 2) {
            const char16_t unit = char16_t(uint8_t(bytes[at + i]) | uint8_t(bytes[at + i + 1]) << 8);
            if (unit == 0) break;
            name.push_back(unit);
        }
        std::string utf8;
        CCodeConverter::Utf16ToUtf8(name, utf8, false);
        uint16_t first;
        std::memcpy(&first, bytes.data() + at + tocformat::kFirstPrintedOffset, 2);
        records.push_back({utf8, LoadInt32(bytes, at + tocformat::kLevelOffset), LoadInt32(bytes, at + tocformat::kDocIdOffset),
                           LoadInt32(bytes, at + tocformat::kDocNoOffset), first});
    }
    return records;
}

// The characters of a volume's source as the pages must hold them, by an
// independent reading of the source rules.
std::vector<CellChar> SourceChars(const std::string& bytes) {
    std::vector<CellChar> chars;
    std::u32string text = U32(bytes);
    if (!text.empty() && text[0] == U'\uFEFF') text.erase(0, 1);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(U'\n', start), text.size());
        std::u32string line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == U'\r' || line.back() == U' ')) line.pop_back();
        if (line == U"\f" || line == U"---page---") continue;
        const bool heading = line.starts_with(U"# ");
        if (heading) line.erase(0, 2);
        int depth = 0;
        for (char32_t cp : line) {
            if (cp == U'（' && depth++ == 0) continue;
            if (cp == U'）' && depth > 0 && --depth == 0) continue;
            chars.push_back({cp, depth > 0, heading, 0, 0});
        }
    }
    return chars;
}

std::string Describe(const std::vector<CellChar>& chars) {
    std::string out;
    for (const CellChar& c : chars) {
        out += c.annotation ? "[" : c.heading ? "#" : "";
        CCodeConverter::AppendUtf8(c.cp, out);
        out += c.annotation ? "]" : "";
    }
    return out;
}

// Page number -> hits, as CIndex reports them.
using Hits = std::map<uint32_t, uint32_t>;

class BuiltCollection : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = new CTempDir;
        WriteSourceFiles(Source(), kSource);
        fs::create_directories(Source() / "03-史部/01-空");
        BuildOptions options;
        options.source = Source();
        options.output = Output();
        options.pageChars = kPageChars;
        options.warn = [](const std::string& note) { s_warnings.push_back(note); };
        s_summary = CCollectionBuilder(options).Run();
        s_pages = ReadStoredPages(Output());
        for (int scope = 0; scope < 3; ++scope) {
            s_index[scope] = new CIndex;
            ASSERT_TRUE(s_index[scope]->Open(Output(), storeformat::kBaseName, scope));
        }
    }
    static void TearDownTestSuite() {
        for (CIndex*& index : s_index) delete index, index = nullptr;
        delete s_root;
        s_root = nullptr;
    }

    static fs::path Source() { return s_root->Path() / "source"; }
    static fs::path Output() { return s_root->Path() / "out"; }

    static Hits Search(int scope, const std::string& query, bool variants, bool any = false) {
        std::u16string text = U16(query);
        CIndex& index = *s_index[scope];
        if (any)
            index.SearchAny(text, variants);
        else
            index.SearchAll(text, variants);
        Hits hits;
        for (int i = 0; i < index.GetResultPageCount(); ++i)
            hits[index.GetResultPages()[size_t(i)]] += index.GetResultCounts()[size_t(i)];
        return hits;
    }

    static std::vector<std::string> Names(const Hits& hits) {
        std::vector<std::string> names;
        for (const auto& [page, count] : hits) names.push_back(s_pages.at(page).recordName);
        return names;
    }

    static inline CTempDir* s_root = nullptr;
    static inline BuildSummary s_summary;
    static inline std::vector<StoredPage> s_pages;
    static inline std::vector<std::string> s_warnings;
    static inline CIndex* s_index[3] = {};
};

// Wrong docID/docNo runs, a wrong order of records or a lost entry would show here.
TEST_F(BuiltCollection, TableOfContentsCoversEachRunInPreorder) {
    const std::vector<BuiltRecord> records = ReadToc(Output());
    ASSERT_EQ(records.size(), std::size(kToc));
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].name, kToc[i].name) << i;
        EXPECT_EQ(records[i].level, kToc[i].level) << kToc[i].name;
        EXPECT_EQ(records[i].docID, kToc[i].docID) << kToc[i].name;
        EXPECT_EQ(records[i].docNo, kToc[i].docNo) << kToc[i].name;
        EXPECT_EQ(records[i].curFileName, 1) << kToc[i].name;
    }
    EXPECT_EQ(s_pages.size(), 12u);
    EXPECT_EQ(s_summary.pages, 12u);
    EXPECT_EQ(s_summary.volumes, 6u);

    // Each volume's first page is found where the reader looks for it.
    CFileList store;
    ASSERT_TRUE(store.Open(Output(), storeformat::kBaseName));
    for (const BuiltRecord& record : records) {
        int page = -1;
        EXPECT_TRUE(store.FindPrintedPage(record.docID - 1, record.curFileName, page)) << record.name;
        EXPECT_EQ(page, record.docID - 1) << record.name;
    }
}

// Record names: book and volume ids, printed pages from 1 in each volume; the
// title names book and volume; text and label cells alternate with the parity.
TEST_F(BuiltCollection, PagesFollowTheStoredLayout) {
    const std::vector<BuiltRecord> records = ReadToc(Output());
    int bookId = 0, volumeId = 0;
    std::string bookName;
    for (const BuiltRecord& record : records) {
        if (record.level == 2) ++bookId, volumeId = 0, bookName = record.name;
        if (record.level != 3) continue;
        ++volumeId;
        for (int printed = 1; printed <= record.docNo; ++printed) {
            const StoredPage& page = s_pages.at(size_t(record.docID - 2 + printed));
            char name[64];
            std::snprintf(name, sizeof name, "b%03d\\v%03d\\%04d.htm", bookId, volumeId, printed);
            EXPECT_EQ(page.recordName, name);
            EXPECT_EQ(CFileList::PrintedPageOf(page.recordName), printed);
            EXPECT_EQ(page.title, bookName + " " + record.name) << name;
            const int parity = printed % 2;
            EXPECT_EQ(page.cells[1 - parity], record.name + "<br>" + std::to_string(printed)) << name;
            EXPECT_TRUE(page.html.starts_with("<html>")) << name;
            EXPECT_TRUE(page.html.ends_with("</html>")) << name;
        }
    }
    for (const StoredPage& page : s_pages)
        for (char c : page.recordName) EXPECT_TRUE(c > 0x20 && c < 0x7F) << page.recordName;
}

// Text lost, doubled, reordered, escaped wrongly or given the wrong kind would
// show here; so would a page over the budget or a missed forced break.
TEST_F(BuiltCollection, PagesHoldTheSourceTextWithinTheBudget) {
    const std::vector<BuiltRecord> records = ReadToc(Output());
    std::map<std::string, std::string> sourceOf;
    for (const auto& [relative, bytes] : kSource)
        if (relative.ends_with(".txt") && std::count(relative.begin(), relative.end(), '/') == 2)
            sourceOf[relative.substr(relative.rfind('-') + 1, relative.size() - relative.rfind('-') - 5)] = bytes;
    for (const BuiltRecord& record : records) {
        if (record.level != 3) continue;
        std::vector<CellChar> stored;
        for (int p = record.docID - 1; p < record.docID - 1 + record.docNo; ++p) {
            const auto& text = s_pages.at(size_t(p)).text;
            EXPECT_LE(text.size(), kPageChars) << s_pages[size_t(p)].recordName;
            stored.insert(stored.end(), text.begin(), text.end());
        }
        EXPECT_EQ(Describe(stored), Describe(SourceChars(sourceOf.at(record.name)))) << record.name;
    }
    // 周南: one paragraph on each of its three pages.
    for (int p = 8; p < 11; ++p) {
        EXPECT_EQ(s_pages[size_t(p)].text.size(), 10u);
        EXPECT_EQ(s_pages[size_t(p)].text.back().paragraphIndex, 0);
    }
    EXPECT_TRUE(s_pages[11].text.empty());  // 召南 has no text but one page
    EXPECT_EQ(Utf8(std::u32string(1, s_pages[3].text.back().cp)), "。");
}

// The scanned layout's notes: entries that are not volumes, an empty book.
TEST_F(BuiltCollection, WarnsAboutSkippedEntries) {
    const auto mentions = [](const std::string& what) {
        return std::any_of(s_warnings.begin(), s_warnings.end(),
                           [&](const std::string& note) { return note.find(what) != std::string::npos; });
    };
    EXPECT_TRUE(mentions("notes.md"));
    EXPECT_TRUE(mentions("01-空"));
    EXPECT_FALSE(mentions("readme.md"));
    EXPECT_FALSE(mentions(".hidden"));
}

// The header word and text of collection.txt, and the variant table copied in
// its canonical form and loaded as the same groups.
TEST_F(BuiltCollection, CarriesHeaderAndVariantTable) {
    EXPECT_EQ(s_index[0]->GetHeaderWord(), 7);
    const std::string table = ReadFileBytes(Output() / "Index-fl.h");
    EXPECT_EQ(table.substr(8, std::strlen("四庫全書 テスト") + 1), std::string("四庫全書 テスト", std::strlen("四庫全書 テスト") + 1));
    EXPECT_EQ(ReadFileBytes(Output() / "yitizi.txt"), "4E07,842C\n5B78,5B66\n");
    const std::vector<std::vector<uint32_t>> groups = {{0x4E07, 0x842C}, {0x5B78, 0x5B66}};
    EXPECT_EQ(s_index[0]->GetVariantGroups(), groups);
}

// What a search word finds on one page by the positions the reader's
// highlighter sees: the scope's characters, an entity as one character, the
// annotations of the annotation scope kept apart.
class CBruteForce {
public:
    CBruteForce(const std::vector<StoredPage>& pages, const std::vector<std::vector<uint32_t>>& groups)
        : m_groups(groups) {
        for (const StoredPage& page : pages) {
            std::array<std::vector<std::u32string>, 3> segments;
            segments[0].emplace_back();
            segments[2].emplace_back();
            for (const CellChar& c : page.text) {
                segments[0][0].push_back(c.cp);
                if (!c.annotation) segments[2][0].push_back(c.cp);
                if (c.annotation) {
                    if (size_t(c.annotationIndex) >= segments[1].size()) segments[1].resize(size_t(c.annotationIndex) + 1);
                    segments[1][size_t(c.annotationIndex)].push_back(c.cp);
                }
            }
            m_pages.push_back(std::move(segments));
        }
    }

    // A word as the search reads it: characters without a number dropped.
    static std::u32string Normalise(std::u32string_view word) {
        std::u32string kept;
        for (char32_t cp : word)
            if (IsWildcard(cp) || CCodeConverter::ToCharNumber(cp) >= 0) kept.push_back(cp);
        return kept;
    }
    static bool IsWildcard(char32_t cp) { return cp == U'?' || cp == U'？'; }

    Hits Find(int scope, std::u32string_view word, bool variants) const {
        Hits hits;
        for (size_t p = 0; p < m_pages.size(); ++p) {
            uint32_t count = 0;
            for (const std::u32string& text : m_pages[p][size_t(scope)])
                for (size_t start = 0; start + word.size() <= text.size(); ++start) count += Matches(text, start, word, variants);
            if (count) hits[uint32_t(p)] = count;
        }
        return hits;
    }

private:
    bool Matches(const std::u32string& text, size_t start, std::u32string_view word, bool variants) const {
        for (size_t i = 0; i < word.size(); ++i)
            if (!IsWildcard(word[i]) && !Same(word[i], text[start + i], variants)) return false;
        return true;
    }
    // The search looks a character up under the first group that holds it.
    bool Same(char32_t wanted, char32_t found, bool variants) const {
        if (wanted == found) return true;
        if (!variants) return false;
        for (const auto& group : m_groups)
            if (std::find(group.begin(), group.end(), wanted) != group.end())
                return std::find(group.begin(), group.end(), found) != group.end();
        return false;
    }

    std::vector<std::vector<uint32_t>> m_groups;
    std::vector<std::array<std::vector<std::u32string>, 3>> m_pages;  // per page, per scope: its runs of text
};

// Every word of one to three characters the pages hold (and the same with
// its middle character a wildcard), searched in every scope with and without
// variants, must find exactly the pages and hit counts a scan of the text finds.
TEST_F(BuiltCollection, SearchMatchesABruteForceScanInEveryScope) {
    const CBruteForce scan(s_pages, s_index[0]->GetVariantGroups());
    // Words from the full text, and from the main text and the annotations
    // each run together, so that words across an annotation's edges come up too.
    std::set<std::u32string> words;
    for (const StoredPage& page : s_pages) {
        std::u32string texts[3];
        for (const CellChar& c : page.text) {
            texts[0].push_back(c.cp);
            texts[c.annotation ? 1 : 2].push_back(c.cp);
        }
        for (const std::u32string& text : texts)
            for (size_t start = 0; start < text.size(); ++start)
                for (size_t length = 1; length <= 3 && start + length <= text.size(); ++length) {
                    std::u32string word = text.substr(start, length);
                    words.insert(word);
                    if (length == 3) words.insert(word.substr(0, 1) + U"?" + word.substr(2));
                }
    }
    size_t searched = 0;
    for (const std::u32string& raw : words) {
        const std::u32string word = CBruteForce::Normalise(raw);
        // The query box refuses ASCII; leading and trailing wildcards match nothing in particular.
        if (word.empty() || CBruteForce::IsWildcard(word.front()) || CBruteForce::IsWildcard(word.back())) continue;
        if (std::any_of(raw.begin(), raw.end(), [](char32_t cp) { return cp < 0x100 && cp != U'?'; })) continue;
        if (raw.find(U'\u3000') != std::u32string::npos) continue;
        for (int scope = 0; scope < 3; ++scope)
            for (bool variants : {false, true}) {
                EXPECT_EQ(Search(scope, Utf8(raw), variants), scan.Find(scope, word, variants))
                    << Utf8(raw) << " scope " << scope << " variants " << variants;
                ++searched;
            }
    }
    EXPECT_GT(searched, 1000u);
}

// All words and any word: the pages of every word (or of some word), their
// hits summed, as the scan counts them.
TEST_F(BuiltCollection, MultiWordSearchesCombineTheScans) {
    const CBruteForce scan(s_pages, s_index[0]->GetVariantGroups());
    const char* queries[][2] = {{"子曰", "不亦"}, {"學而", "学而"}, {"君子", "之"}, {"萬", "之"}};
    for (const auto& query : queries)
        for (int scope = 0; scope < 3; ++scope)
            for (bool variants : {false, true}) {
                const Hits first = scan.Find(scope, U32(query[0]), variants);
                const Hits second = scan.Find(scope, U32(query[1]), variants);
                Hits all, any = first;
                for (const auto& [page, count] : second) {
                    any[page] += count;
                    if (first.count(page)) all[page] = first.at(page) + count;
                }
                const std::string text = std::string(query[0]) + " " + query[1];
                EXPECT_EQ(Search(scope, text, variants), all) << text << " scope " << scope;
                EXPECT_EQ(Search(scope, text, variants, true), any) << text << " scope " << scope;
            }
}

struct PositionCase {
    const char* why;
    const char* word;
    int scope;
    std::vector<std::string> pages;
};

// How the positions are counted, case by case.
TEST_F(BuiltCollection, PositionsFollowTheScopeRules) {
    const PositionCase cases[] = {
        {"an entity is one character", "天?地", 0, {"b001\\v002\\0002.htm"}},
        {"an entity is one character", "地?人", 0, {"b001\\v002\\0002.htm"}},
        {"main text runs on across an annotation", "君子不器", 2, {"b001\\v001\\0002.htm"}},
        {"the full text holds the annotation between", "君子不器", 0, {}},
        {"punctuation takes a main-text position", "來?亦", 2, {"b002\\v001\\0001.htm"}},
        {"punctuation takes a main-text position", "來亦", 2, {}},
        {"a star spans the text between annotations", "天*親", 0, {"b003\\v001\\0001.htm"}},
        {"a star never spans two annotations", "天*親", 1, {}},
        {"a star spans one annotation", "明德*天", 1, {"b003\\v001\\0001.htm"}},
        {"adjacent annotations stay apart", "一注", 1, {}},
        {"adjacent annotations stay apart", "注一", 1, {"b001\\v002\\0002.htm"}},
        {"wildcards next to a star do not bridge annotations", "天*????????親", 1, {}},
        {"a supplementary character is one position", "𠀀𠀁之字", 0, {"b003\\v001\\0002.htm"}},
        {"a paragraph cut by the budget ends its page", "孟子對曰王", 0, {}},
        {"the other cell is not indexed", "學而", 2, {"b001\\v001\\0001.htm"}},
    };
    for (const PositionCase& c : cases)
        EXPECT_EQ(Names(Search(c.scope, c.word, false)), c.pages) << c.why << ": " << c.word;
}

// An edition's pages in the source: labelled breaks, line breaks inside a
// paragraph and numbered characters, with a budget they must not cut by.
const std::vector<std::pair<std::string, std::string>> kEditionSource = {
    {"01-子部/01-家語/01-卷一.txt",
     "前言\n"
     "---page--- 1a\n"
     "甲乙丙丁\u2028戊己（注\u2028文）庚\u2028人乃&KR0099;然\n"
     "---page--- 1b\n"
     "---page--- 2a\n" +
         std::string("天地玄黃宇宙洪荒日月盈昃辰宿列張寒來暑往秋收冬藏閏餘成歲律呂調陽雲騰致雨露結爲霜金生麗水玉出崑岡") + "\n"},
};

// A leaf label lost or cut into pages, a blank leaf dropped, a line break or
// a numbered character that takes a wrong position or shows as text would show here.
TEST(EditionPages, KeepTheEditionsLeavesLinesAndNumberedCharacters) {
    CTempDir dir;
    WriteSourceFiles(dir.Path() / "source", kEditionSource);
    BuildOptions options;
    options.source = dir.Path() / "source";
    options.output = dir.Path() / "out";
    options.pageChars = 10;
    CCollectionBuilder(options).Run();
    const std::vector<StoredPage> pages = ReadStoredPages(options.output);
    ASSERT_EQ(pages.size(), 4u);
    const char* const labels[] = {"卷一<br>1", "卷一<br>2<br>1a", "卷一<br>3<br>1b", "卷一<br>4<br>2a"};
    for (size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(pages[p].cells[1 - (p + 1) % 2], labels[p]) << p;
    EXPECT_EQ(pages[1].cells[0], "<p>甲乙丙丁<br>戊己<font size=-1 color=\"#993366\">注<br>文</font>庚<br>人乃"
                                 "<span title=\"KR0099\">〓</span>然</p>");
    EXPECT_TRUE(pages[2].text.empty());
    EXPECT_EQ(pages[3].text.size(), 48u);

    struct Case {
        const char* why;
        int scope;
        const char* word;
        size_t pages;
    } const cases[] = {
        {"main text runs on across a line end", 2, "丁戊", 1},
        {"main text runs on across a note holding a line end", 2, "己庚", 1},
        {"a note reads on across its line end", 1, "注文", 1},
        {"a numbered character is one position", 0, "乃?然", 1},
        {"a numbered character is no other character", 0, "乃然", 0},
        {"a leaf is not cut by the budget", 0, "雲騰致雨露結", 1},
    };
    for (const Case& c : cases) {
        CIndex index;
        ASSERT_TRUE(index.Open(options.output, storeformat::kBaseName, c.scope));
        std::u16string word = U16(c.word);
        index.SearchAll(word, false);
        EXPECT_EQ(size_t(index.GetResultPageCount()), c.pages) << c.why << ": " << c.word;
    }
}

}  // namespace
