// soak_search: thousands of random searches in one process on one collection,
// each followed by what the search panel does with its results (result
// entries inside a range, the first result page read from the store), with
// the scope switched now and then. Search words are cut from the text of
// random pages of the store. Prints the resident memory and open file
// descriptors at the start and the end; a leak check is the sanitizer's or
// valgrind's (tests/soak/run).
//   soak_search --write DIR [--pages N] [--seed N]     writes a generated collection
//   soak_search [--data DIR] [--searches N] [--seed N] [--max-growth-kb N]
// Without --data the soak runs on a generated collection in a temporary folder.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "index/notifier.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"
#include "processstatus.h"
#include "writer/collectionwriter.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    fs::path write;
    fs::path data;
    int pages = 3000;
    int searches = 10000;
    unsigned seed = 1;
    long maxGrowthKb = 0;  // 0: report only
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--write") options.write = value;
        else if (name == "--data") options.data = value;
        else if (name == "--pages") options.pages = std::atoi(value);
        else if (name == "--searches") options.searches = std::atoi(value);
        else if (name == "--seed") options.seed = unsigned(std::strtoul(value, nullptr, 10));
        else if (name == "--max-growth-kb") options.maxGrowthKb = std::atol(value);
        else return false;
    }
    return argc % 2 == 1 && options.pages > 0 && options.searches >= 0;
}

long OpenDescriptors() {
    long count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

class CTempFolder {
public:
    CTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "quorel-soak-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
    }
    ~CTempFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

// Characters drawn with falling frequency from the first 3000 ideographs, so
// that a few are on nearly every page and most are rare.
class CTextSource {
public:
    explicit CTextSource(std::mt19937& random) : m_random(random) {}
    char16_t Next() {
        const double u = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
        return char16_t(0x4E00 + int(3000 * u * u * u));
    }
    std::u16string Text(size_t length) {
        std::u16string text;
        for (size_t i = 0; i < length; ++i) text += Next();
        return text;
    }

private:
    std::mt19937& m_random;
};

std::string Utf8(std::u16string_view text) {
    std::string bytes;
    CCodeConverter::Utf16ToUtf8(text, bytes, true);
    return bytes;
}

// Categories of books of volumes of 40 pages; every page has main text and
// an annotation; 40 pairs of characters are variant groups.
void WriteCollection(const fs::path& folder, int pages, std::mt19937& random) {
    CTextSource source(random);
    CCollectionWriter writer;
    constexpr int kVolumePages = 40, kBookVolumes = 5, kCategoryBooks = 4;
    for (int p = 0; p < pages; ++p) {
        const int volume = p / kVolumePages, book = volume / kBookVolumes;
        const std::u16string main = source.Text(150 + random() % 400);
        const std::u16string note = source.Text(random() % 80);
        char name[48];
        std::snprintf(name, sizeof name, "b%03d\\v%03d\\%04d.htm", book + 1, volume + 1, p % kVolumePages + 1);
        WriterPage page;
        page.recordName = name;
        page.html = "<html><head><title>" + std::string(name) + "</title></head><body><table><tr><td>" +
                    Utf8(main) + "</td><td>" + Utf8(note) + "</td></tr></table></body></html>";
        page.occurrences[0] = CCollectionWriter::Occurrences(main + note);
        page.occurrences[1] = CCollectionWriter::Occurrences(note);
        page.occurrences[2] = CCollectionWriter::Occurrences(main);
        writer.AddPage(std::move(page));
        if (p % kVolumePages != 0) continue;
        if (volume % (kBookVolumes * kCategoryBooks) == 0) {
            const int first = p + 1, count = std::min(pages - p, kVolumePages * kBookVolumes * kCategoryBooks);
            writer.AddTocRecord({u"類" + std::u16string(1, char16_t(0x4E00 + book)), 1, first, count, 1});
        }
        if (volume % kBookVolumes == 0)
            writer.AddTocRecord({u"書" + std::u16string(1, char16_t(0x4E00 + book)), 2, p + 1,
                                std::min(pages - p, kVolumePages * kBookVolumes), 1});
        writer.AddTocRecord({u"巻" + std::u16string(1, char16_t(0x4E00 + volume)), 3, p + 1,
                            std::min(pages - p, kVolumePages), 1});
    }
    std::vector<std::vector<uint32_t>> groups;
    for (uint32_t i = 0; i < 40; ++i) groups.push_back({0x4E00 + 7 * i, 0x4E00 + 7 * i + 3});
    writer.SetVariantGroups(groups);
    writer.Write(folder);
}

// The indexed characters of a random page, markup and all: the text words are
// cut from.
std::u16string PageText(const CIndex& index, std::mt19937& random) {
    const int pages = index.GetFileList().GetPageCount();
    std::string html;
    std::u16string units, text;
    if (pages == 0 || !index.ReadPage(int(random() % unsigned(pages)), html)) return text;
    CCodeConverter::Utf8ToUtf16(html, units);
    for (char16_t unit : units)
        if (CCodeConverter::ToCharNumber(unit) >= 0) text += unit;
    return text;
}

// A query as users type them: words cut from page text, sometimes with "?" or
// "*", sometimes several; now and then something odd (ASCII, long, lone
// surrogates, characters without a number).
std::u16string RandomQuery(const CIndex& index, std::mt19937& random) {
    const unsigned kind = random() % 100;
    if (kind < 3) return u"天a";
    if (kind < 5) return std::u16string(400, char16_t(0x4E00 + random() % 50));
    if (kind < 7) return u"\xD800\x4E00 \xDC00\uFFFF。";
    std::u16string query;
    const int words = 1 + int(random() % 3);
    for (int w = 0; w < words; ++w) {
        if (!query.empty()) query += random() % 2 ? u' ' : u'\u3000';
        const std::u16string text = PageText(index, random);
        if (text.empty()) {
            query += char16_t(0x4E00 + random() % 3000);
            continue;
        }
        const size_t length = std::min<size_t>(1 + random() % 5, text.size());
        std::u16string word = text.substr(random() % (text.size() - length + 1), length);
        if (random() % 10 == 0) word[random() % word.size()] = u'?';
        if (random() % 10 == 0) word.insert(random() % (word.size() + 1), u"*");
        query += word;
    }
    return query;
}

class CStderrNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

void Report(const char* when, int searches) {
    std::printf("%-6s after %5d searches: rss %ld kB, peak %ld kB, open descriptors %ld\n", when, searches,
                StatusKb("VmRSS"), StatusKb("VmHWM"), OpenDescriptors());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_search [--data DIR] [--pages N] [--searches N] [--seed N] [--max-growth-kb N]\n");
        return 2;
    }
    std::mt19937 random(options.seed);
    if (!options.write.empty()) {
        fs::create_directories(options.write);
        WriteCollection(options.write, options.pages, random);
        return 0;
    }
    CTempFolder generated;
    fs::path folder = options.data;
    if (folder.empty()) {
        folder = generated.Path();
        WriteCollection(folder, options.pages, random);
    }

    CStderrNotifier notifier;
    CIndex index(&notifier);
    CTocModel toc;
    if (!index.Open(folder, storeformat::kBaseName, 0)) return 1;
    if (!toc.LoadTableOfContents(folder)) std::fprintf(stderr, "you delete data file!\n");

    // The first searches fill the allocator's caches; memory is measured after them.
    const int warmUp = std::min(options.searches, 200);
    long startRss = 0;
    long pagesFound = 0, hitsFound = 0, pagesRead = 0;
    int scope = 0;
    for (int s = 0; s < options.searches; ++s) {
        if (s == warmUp) {
            Report("start", s);
            startRss = StatusKb("VmRSS");
        }
        if (s > 0 && s % 1000 == 0) {
            // A change of scope, as the scope buttons make it.
            index.Close();
            scope = (scope + 1) % 3;
            if (!index.Open(folder, storeformat::kBaseName, scope)) return 1;
        }
        std::u16string query = RandomQuery(index, random);
        const bool useVariants = random() % 2;
        if (random() % 2) index.SearchAll(query, useVariants);
        else index.SearchAny(query, useVariants);

        const std::vector<uint32_t> pages = index.GetResultPages();
        const std::vector<uint32_t> counts = index.GetResultCounts();
        const int range = toc.NodeCount() > 1 ? 1 + int(random() % unsigned(toc.NodeCount() - 1)) : 0;
        std::vector<SearchNodeTag> entries;
        hitsFound += CResultBuilder::BuildResults(toc.Node(range), pages, counts, entries);
        pagesFound += long(entries.size());
        if (!pages.empty()) {
            std::string html;
            pagesRead += index.ReadPage(int(pages[0]), html);
        }
        if (range > 0) {
            // The page a table-of-contents selection shows.
            int page = 0;
            index.FindPrintedPage(toc.Record(range).docID - 1, toc.Record(range).curFileName, page);
        }
    }
    Report("end", options.searches);
    std::printf("%d searches: %ld result entries, %ld hits, %ld pages read\n", options.searches, pagesFound,
                hitsFound, pagesRead);
    const long growth = StatusKb("VmRSS") - startRss;
    if (options.maxGrowthKb > 0 && startRss > 0 && growth > options.maxGrowthKb) {
        std::fprintf(stderr, "resident memory grew by %ld kB, more than %ld kB\n", growth, options.maxGrowthKb);
        return 1;
    }
    return 0;
}
