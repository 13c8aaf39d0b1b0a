// Writes the seed corpus of every fuzz target into FOLDER/<target>/, each
// seed built from a collection written by the collection writer or from pages
// laid out by the collection builder; with TARGET, only that target's seeds:
//   fuzz_makeseeds tests/fuzz/corpus [TARGET]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "build/pagecomposer.h"
#include "collectioninput.h"
#include "docstore/filelist.h"
#include "docstore/tocformat.h"
#include "fuzzlayouts.h"
#include "handlist.h"
#include "pairfuzzcollection.h"
#include "scratchfolder.h"
#include "writer/collectionwriter.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CSeedWriter {
public:
    explicit CSeedWriter(fs::path root) : m_root(std::move(root)) {}
    void Write(const std::string& target, const std::string& name, const std::string& bytes) const {
        fs::create_directories(m_root / target);
        std::ofstream(m_root / target / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), std::streamsize(bytes.size()));
        std::printf("%s/%s: %zu bytes\n", target.c_str(), name.c_str(), bytes.size());
    }

private:
    fs::path m_root;
};

// A page whose full-text positions are the characters of text.
WriterPage TextPage(int number, std::u16string_view text) {
    WriterPage page;
    page.recordName = "a\\" + std::to_string(number) + ".htm";
    page.occurrences[0] = CCollectionWriter::Occurrences(text);
    return page;
}

// The fuzz_index input of a written collection: the entries of its searched
// characters, and only the blocks of their lists, renumbered in the order the
// lists reach them.
IndexFuzzInput IndexInputOf(const fs::path& folder) {
    const std::string header = ReadBytes(folder / "Index-idx.h");
    const std::string postings = ReadBytes(folder / "Index-idx.m");
    const size_t chainCount = (header.size() - indexformat::kChainOffset) / 4;
    auto chainOf = [&](uint32_t block) { return littleendian::LoadUint32(header, indexformat::kChainOffset + 4 * size_t(block)); };

    std::vector<int32_t> numbers;
    for (char32_t c : IndexFuzzInput::kCharacters) numbers.push_back(CCodeConverter::ToCharNumber(c));
    numbers.push_back(indexformat::kFirstGroupNumber);

    IndexFuzzInput input;
    std::map<uint32_t, uint32_t> renumbered;
    std::vector<uint32_t> order;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const uint32_t first = littleendian::LoadUint32(header, 4 * size_t(numbers[i]));
        if (first == indexformat::kNoBlock) continue;
        for (uint32_t b = first; b < chainCount && !renumbered.count(b); b = chainOf(b)) {
            renumbered[b] = uint32_t(order.size());
            order.push_back(b);
        }
        input.entries[i] = {renumbered.at(first), littleendian::LoadUint32(header, indexformat::kLastPageOffset + 4 * size_t(numbers[i]))};
    }
    for (uint32_t old : order) {
        const auto next = renumbered.find(chainOf(old));
        littleendian::AppendUint32(next == renumbered.end() ? indexformat::kNoBlock : next->second, input.chain);
        input.postings += postings.substr(size_t(old) * indexformat::kBlockSize, indexformat::kBlockSize);
    }
    return input;
}

void IndexSeeds(const CSeedWriter& out) {
    struct Seed {
        const char* name;
        std::vector<std::u16string> texts;
        bool scatter;
    };
    std::vector<Seed> seeds = {
        {"one-character", {u"", u"", u"天", u"鬼"}, false},
        {"phrases", {u"天地人", u"山川天地", u"天甲地", u"人乙乙天地", u"川天山地人", u"地天"}, false},
        {"chained", std::vector<std::u16string>(1100, u"天地"), true},
    };
    seeds[2].texts[7] = u"天地人山";
    for (const Seed& seed : seeds) {
        CScratchFolder folder;
        CCollectionWriter writer(WriterOptions{.headerWord = 0, .headerText = "", .nameWidth = 0, .scatterBlocks = seed.scatter});
        for (size_t p = 0; p < seed.texts.size(); ++p) writer.AddPage(TextPage(int(p) + 1, seed.texts[p]));
        writer.SetVariantGroups({{IndexFuzzInput::kGroupMembers[0], IndexFuzzInput::kGroupMembers[1]}});
        writer.Write(folder.Path());
        out.Write("fuzz_index", seed.name, IndexInputOf(folder.Path()).Encode());
    }
    // Positions that climb to the top of their 32-bit range, past what the
    // writer takes: 天's list, page 0 up there, page 1 at 0.
    std::vector<uint32_t> topPositions;
    for (uint32_t k = 1; k <= 1024; ++k) topPositions.push_back(4194303 * k);
    topPositions.push_back(0xFFFFFFFF);
    IndexFuzzInput top;
    top.entries[0] = {0, 1};
    top.postings = TwoPageList(topPositions, 0);
    for (uint32_t block = 1; block < top.postings.size() / indexformat::kBlockSize; ++block)
        littleendian::AppendUint32(block, top.chain);
    littleendian::AppendUint32(indexformat::kNoBlock, top.chain);
    out.Write("fuzz_index", "top-positions", top.Encode());
}

StoreFuzzInput StoreInputOf(const std::vector<std::pair<std::string, std::string>>& pages, WriterOptions options) {
    CScratchFolder folder;
    CCollectionWriter writer(options);
    for (const auto& [name, html] : pages) writer.AddPage(WriterPage{name, html, {}});
    writer.Write(folder.Path());
    return {ReadBytes(folder.Path() / "Index-fl.h"), ReadBytes(folder.Path() / "Index-fl.cnt")};
}

void FileListSeeds(const CSeedWriter& out) {
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"a\\1.htm", "<p>one</p>"}, {"a\\2.htm", ""},         {"b\\1.htm", "\xE5\xA4\xA9 third"},
        {"cover.htm", "x"},         {"v.1\\7.htm", "seven"}, {"c\\-3.htm", "minus"},
        {"c\\ 12abc.htm", "twelve"}, {"c\\99999999999.htm", "long"},
    };
    out.Write("fuzz_filelist", "pages", StoreInputOf(pages, {.headerWord = 42, .headerText = "header"}).Encode());
    out.Write("fuzz_filelist", "wide-names", StoreInputOf({pages[0], pages[2]}, {.nameWidth = 260}).Encode());
    out.Write("fuzz_filelist", "no-pages", StoreInputOf({}, {}).Encode());
    StoreFuzzInput shortTable = StoreInputOf({pages[0]}, {});
    shortTable.table.resize(10);
    out.Write("fuzz_filelist", "short-table", shortTable.Encode());
}

std::string TocBytes(const std::vector<TocRecord>& entries) {
    CScratchFolder folder;
    CCollectionWriter writer;
    for (const TocRecord& e : entries) writer.AddTocRecord(e);
    writer.Write(folder.Path());
    return ReadBytes(folder.Path() / tocformat::kFileName);
}

void TocSeeds(const CSeedWriter& out) {
    out.Write("fuzz_toc", "outline", TocBytes({
        {u"經部", 1, 1, 6, 1}, {u"論語", 2, 1, 4, 1}, {u"學而", 3, 1, 2, 1}, {u"為政", 3, 3, 2, 1},
        {u"孟子", 2, 5, 2, 1}, {u"梁惠王", 3, 5, 2, 1}, {u"集部", 1, 7, 3, 1}, {u"詩", 2, 7, 3, 1},
        {u"風", 3, 7, 3, 5},
    }));
    std::vector<TocRecord> deep;
    for (int level = 1; level <= 20; ++level) deep.push_back({std::u16string(99, u'深'), level, level, 3, 1});
    out.Write("fuzz_toc", "deep-and-partial", TocBytes(deep) + std::string(100, '\x01'));
    out.Write("fuzz_toc", "malformed", TocBytes({
        {u"卷", 3, 1, 2, 1}, {u"書", 2, -5, 7, 65535}, {u"類", 1, 0x7FFFFFFF, 0x7FFFFFFF, 0}, {u"卷", 3, 2, -1, 9},
    }));
}

void VariantSeeds(const CSeedWriter& out) {
    const VariantFuzzInput seeds[] = {
        {u"万 体", 0, "4E07,842C\n9AD4,4F53,8EC6\n"},
        {u"体萬", 0, "4E07,842C\r\n\r\n9AD4\r\n"},
        {u"\U00020000万", 0, ",,4e07,,0x842c,\n 20000,4E07, zz,123456789AB\n"},
        {std::u16string(40, u'万'), 0, "4E07,842C,842D,842E\n"},
        {std::u16string(1, u'万'), 0xFF, "4E07,842C\n"},
    };
    const char* names[] = {"two-groups", "carriage-returns", "odd-tokens", "bounded", "long-query"};
    for (size_t i = 0; i < std::size(seeds); ++i) out.Write("fuzz_variants", names[i], seeds[i].Encode());
}

void QuerySeeds(const CSeedWriter& out) {
    const QueryFuzzInput seeds[] = {
        {false, 0, u"天地 山川"},
        {true, 1, u"  万*地\u3000？人  "},
        {false, 2, u"天?地 **天**"},
        {false, 0, u"\U00020000天 \uFFFF \uE000あア"},
        {true, 0, u"\xD800天\xDC00 \xDBFF"},
        {false, 0, u"天a"},
        {false, 0, std::u16string(310, u'天')},
        {false, 1, std::u16string(u"天\0地 山", 6)},
    };
    for (size_t i = 0; i < std::size(seeds); ++i) out.Write("fuzz_query", "query-" + std::to_string(i), seeds[i].Encode());
}

void PhraseSeeds(const CSeedWriter& out) {
    std::mt19937 random(11);
    for (int seed = 0; seed < 6; ++seed) {
        CollectionFuzzInput input;
        input.scatterBlocks = seed % 2;
        input.useVariants = seed >= 3;
        input.groupSet = seed % 4;
        const size_t symbols = seed == 5 ? 2 : 4;  // a tiny alphabet makes long matches
        for (int w = 0; w < 3; ++w) {
            std::vector<uint8_t> word(1 + random() % 4);
            for (uint8_t& s : word) s = random() % 6 == 0 ? CollectionFuzzInput::kWildcard : uint8_t(random() % symbols);
            input.words.push_back(word);
        }
        const int pages = seed == 4 ? 300 : 20;
        for (int p = 0; p < pages; ++p) {
            std::vector<uint8_t> page(random() % 30);
            for (uint8_t& s : page) s = uint8_t(random() % CollectionFuzzInput::kAlphabet.size() % (symbols + 4));
            input.pages.push_back(page);
        }
        out.Write("fuzz_phrase_diff", "collection-" + std::to_string(seed), input.Encode());
    }
}


// A page as the collection builder lays it out: paragraphs of runs, "|"
// starting and ending an annotation, a leading "#" making a heading.
std::string BuiltPage(const std::vector<std::u32string>& lines, int printedPage) {
    std::vector<Paragraph> paragraphs;
    for (std::u32string_view line : lines) {
        Paragraph paragraph;
        paragraph.heading = line.starts_with(U'#');
        if (paragraph.heading) line.remove_prefix(1);
        bool annotation = false;
        paragraph.runs.push_back({});
        for (char32_t c : line) {
            if (c != U'|') {
                paragraph.runs.back().text += c;
                continue;
            }
            annotation = !annotation;
            paragraph.runs.push_back({annotation, {}});
        }
        paragraphs.push_back(paragraph);
    }
    const CPageComposer::PageInfo info{"唐詩", "卷一", 1, 1, printedPage, {}};
    return CPageComposer::Compose(paragraphs, info).html;
}

// A page as the hit page template gives it back, term marked.
std::string RenderedPage(const std::string& stored, const std::string& term, int parity) {
    std::string out;
    int counter = 0;
    CFileList::ComposePage(stored, out, term, parity, 0, counter);
    return out;
}

RenderFuzzInput RenderSeed(int flags, std::vector<RenderFuzzInput::Term> terms, std::string page) {
    RenderFuzzInput input;
    input.scope = flags & 3;
    input.oddPage = flags & 4;
    input.useVariants = flags & 8;
    input.ideographicSpaces = flags & 16;
    input.highCounter = flags & 32;
    input.terms = std::move(terms);
    input.page = std::move(page);
    return input;
}

void RenderSeeds(const CSeedWriter& out) {
    const std::string even = BuiltPage({U"#靜夜思", U"床前明月光|牀也|疑是地上霜", U"舉頭望明月|一作山月|低頭思故鄉"}, 2);
    const std::string odd = BuiltPage({U"#春曉", U"春眠不覺曉|曉也|處處聞啼鳥", U"夜來風雨聲|聲也|花落知多少"}, 1);
    const std::string variants = BuiltPage({U"万年萬年|萬也|万", U"甲乙丙丁|丙也|山川"}, 4);
    std::string malformed = "<title>t<TD>a</TD><td>b</td><TD>" + std::string(2, '\xE5') + "<font size=-1 color=\"#993366\">";
    malformed += "注<font size=-1 color=\"#993366\">再</font></font><p><h4>&amp;<b";
    const struct {
        const char* name;
        RenderFuzzInput input;
    } seeds[] = {
        {"even-page", RenderSeed(0, {{"明月", 0}, {"月", 0}}, even)},
        {"odd-page-main-text", RenderSeed(1 | 4, {{"曉", 0}, {"聲", 0}}, odd)},
        {"odd-page-annotations", RenderSeed(2 | 4, {{"也", 0}, {"花落", 0}}, odd)},
        {"wildcards", RenderSeed(0, {{"床?明", 0}, {"明*霜", 0}, {"*月", 0}, {"??", 0}, {"疑？", 0}}, even)},
        {"variants", RenderSeed(8 | 16, {{"万", 0}, {"甲丙", 0}, {"山", 0}}, variants)},
        {"rendered-page", RenderSeed(0, {{"光", 0}, {"明", 0}}, RenderedPage(even, "明月", 0))},
        {"long-term", RenderSeed(0, {{"明?", 0xF8}, {"月*", 0xF6}}, even)},
        {"odd-terms", RenderSeed(16, {{"", 0}, {std::string("明\0月", 7), 0}, {"\xFF\xFE\x20", 0}, {" \xE3\x80\x80", 0}}, even)},
        {"malformed-page", RenderSeed(0, {{"注", 0}, {"p", 0}, {"a", 0}}, malformed)},
        {"high-counter", RenderSeed(32, {{"頭", 0}, {"思", 0}}, even + even)},
        {"ascii-terms", RenderSeed(3, {{"TD", 0}, {"<p>", 0}, {"a", 0}, {"e", 0}}, even)},
    };
    for (const auto& seed : seeds) out.Write("fuzz_render", seed.name, seed.input.Encode());
}

// The pair file of the collection fuzz_pairindex searches, as written.
void PairIndexSeeds(const CSeedWriter& out) {
    CScratchFolder folder;
    WritePairFuzzCollection(folder.Path());
    out.Write("fuzz_pairindex", "as-written", ReadBytes(folder.Path() / "Index-idx.pair"));
}

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, void (*)(const CSeedWriter&)> targets = {
        {"fuzz_index", IndexSeeds},       {"fuzz_filelist", FileListSeeds}, {"fuzz_toc", TocSeeds},
        {"fuzz_variants", VariantSeeds},  {"fuzz_query", QuerySeeds},       {"fuzz_phrase_diff", PhraseSeeds},
        {"fuzz_render", RenderSeeds},     {"fuzz_pairindex", PairIndexSeeds},
    };
    if (argc != 2 && !(argc == 3 && targets.count(argv[2]))) {
        std::fprintf(stderr, "usage: fuzz_makeseeds FOLDER [TARGET]\n");
        return 2;
    }
    const CSeedWriter out(argv[1]);
    for (const auto& [target, write] : targets)
        if (argc == 2 || target == argv[2]) write(out);
    return 0;
}
