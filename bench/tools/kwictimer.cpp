// quorel-bench-kwic: times the concordance lines of searches on a built
// collection, in this one process: the first 100 lines of each query (what
// the reader shows first) and all of its lines, after the search and its
// result entries, which are not timed.
//   quorel-bench-kwic COLLECTION [--reps N] QUERY...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "panel/model/concordance.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"

namespace {

constexpr size_t kFirstLines = 100;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

CConcordance::PageRenderer Renderer(const CIndex& index, const std::u16string& query) {
    return [&index, &query](int page, CConcordance::HitPage& hitPage) {
        std::string name;
        if (!index.GetFileList().GetRecordName(page, name)) return false;
        hitPage.parity = CFileList::PageParity(name);
        index.GetPageHtml(page, hitPage.html, query, 0, true, &hitPage.matches);
        return true;
    };
}

// Milliseconds to make up to count lines of a fresh concordance; lines gets how many.
double TimeLines(const std::vector<SearchNodeTag>& entries, const CIndex& index, const std::u16string& query,
                 size_t count, size_t& lines) {
    const auto start = std::chrono::steady_clock::now();
    CConcordance concordance(entries, Renderer(index, query));
    std::vector<ConcordanceLine> made;
    concordance.FetchMore(count, made);
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    lines = made.size();
    return spent.count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorel-bench-kwic COLLECTION [--reps N] QUERY...\n");
        return 2;
    }
    const std::string folder = argv[1];
    int reps = 5;
    int first = 2;
    if (argc > 4 && std::strcmp(argv[2], "--reps") == 0) reps = std::max(1, std::atoi(argv[3])), first = 4;
    CIndex index;
    CTocModel toc;
    if (!index.Open(folder, storeformat::kBaseName, 0) || !toc.LoadTableOfContents(folder)) {
        std::fprintf(stderr, "quorel-bench-kwic: cannot open %s\n", folder.c_str());
        return 1;
    }
    index.LoadVariantTable(folder);
    std::printf("query\tpages\thits\tfirst 100 ms\tall lines\tall ms\n");
    for (int q = first; q < argc; ++q) {
        std::u16string query;
        CCodeConverter::Utf8ToUtf16(argv[q], query);
        index.SearchAll(query, true);
        std::vector<SearchNodeTag> entries;
        const int hits = CResultBuilder::BuildCollectionResults(toc.Root(), index.GetResultPages(),
                                                                index.GetResultCounts(), entries);
        std::vector<double> firstTimes, allTimes;
        size_t allLines = 0, firstLines = 0;
        for (int r = 0; r <= reps; ++r) {  // the first pass warms the cache and is not counted
            const double a = TimeLines(entries, index, query, kFirstLines, firstLines);
            const double b = TimeLines(entries, index, query, SIZE_MAX, allLines);
            if (r == 0) continue;
            firstTimes.push_back(a);
            allTimes.push_back(b);
        }
        std::printf("%s\t%zu\t%d\t%.2f\t%zu\t%.1f\n", argv[q], entries.size(), hits, Median(firstTimes), allLines,
                    Median(allTimes));
    }
    return 0;
}
