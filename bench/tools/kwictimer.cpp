// quorel-bench-kwic: times the concordance lines of searches on a built
// collection, in this one process, after each search and its result entries
// (not timed): the first 100 lines of every query of the query set (what the
// reader shows first), and all the lines of the set's query whose hits come
// nearest to --all-near, of the set's query with the most hits, of that query
// with a full-width "？" added (which the hit pages mark only where the text
// holds one: every page is read for a few lines) and of each QUERY named after
// OUT.json (every word needed, variants on).
//   quorel-bench-kwic COLLECTION QUERIES.json OUT.json [--reps N] [--all-near HITS] [QUERY...]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/codeconverter.h"
#include "common/queryset.h"
#include "common/runloop.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "panel/model/concordance.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"

namespace {

constexpr size_t kFirstLines = 100;
constexpr const char* kUsage =
    "usage: quorel-bench-kwic COLLECTION QUERIES.json OUT.json [--reps N] [--all-near HITS] [QUERY...]\n";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One query searched, with its result entries as the panel lists them.
struct Searched {
    std::u16string query;  // as the search left it
    bool variants = false;
    std::vector<SearchNodeTag> entries;
    int hits = 0;
};

Searched Search(CIndex& index, CTocModel& toc, const BenchQuery& query) {
    Searched searched;
    CCodeConverter::Utf8ToUtf16(query.text, searched.query);
    searched.variants = query.variants;
    if (query.anyWord)
        index.SearchAny(searched.query, query.variants);
    else
        index.SearchAll(searched.query, query.variants);
    searched.hits = CResultBuilder::BuildCollectionResults(toc.Root(), index.GetResultPages(),
                                                           index.GetResultCounts(), searched.entries);
    return searched;
}

CConcordance::PageRenderer Renderer(const CIndex& index, const Searched& searched) {
    return [&index, &searched](int page, CConcordance::HitPage& hitPage) {
        index.GetPageHtml(page, hitPage.html, searched.query, 0, searched.variants, &hitPage.marks);
    };
}

// Median milliseconds, over reps passes after one warm-up pass, to make up to
// count lines of a fresh concordance; lines gets how many it made.
double TimeLines(const CIndex& index, const Searched& searched, size_t count, int reps, size_t& lines) {
    std::vector<double> millis;
    for (int pass = 0; pass <= reps; ++pass) {
        const double start = queryset::NowMicros();
        CConcordance concordance(searched.entries, Renderer(index, searched));
        std::vector<ConcordanceLine> made;
        concordance.FetchMore(count, made);
        const double spent = (queryset::NowMicros() - start) / 1000;
        lines = made.size();
        if (pass > 0) millis.push_back(spent);
    }
    return Median(millis);
}

nlohmann::json AllLines(const CIndex& index, const std::string& text, const Searched& searched, int reps) {
    size_t lines = 0;
    const double millis = TimeLines(index, searched, SIZE_MAX, reps, lines);
    return {{"text", text}, {"pages", searched.entries.size()}, {"hits", searched.hits}, {"lines", lines},
            {"ms", millis}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const int reps = std::max(1, runloop::IntOption(argc, argv, "--reps", 5));
    const int near = runloop::IntOption(argc, argv, "--all-near", 10000);
    std::vector<BenchQuery> queries;
    try {
        queries = queryset::Load(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorel-bench-kwic: %s\n", error.what());
        return 1;
    }
    CIndex index;
    CTocModel toc;
    if (!index.Open(folder, storeformat::kBaseName, 0) || !toc.LoadTableOfContents(folder)) {
        std::fprintf(stderr, "quorel-bench-kwic: cannot open %s\n", folder.c_str());
        return 1;
    }
    index.LoadVariantTable(folder);

    nlohmann::json first = nlohmann::json::array();
    size_t nearest = 0, most = 0;
    int nearestGap = -1, mostHits = -1;
    for (size_t q = 0; q < queries.size(); ++q) {
        const Searched searched = Search(index, toc, queries[q]);
        size_t lines = 0;
        const double millis = TimeLines(index, searched, kFirstLines, reps, lines);
        first.push_back({{"id", queries[q].id}, {"text", queries[q].text}, {"class", queries[q].queryClass},
                         {"pages", searched.entries.size()}, {"hits", searched.hits}, {"lines", lines},
                         {"ms", millis}});
        const int gap = std::abs(searched.hits - near);
        if (nearestGap < 0 || gap < nearestGap) nearest = q, nearestGap = gap;
        if (searched.hits > mostHits) most = q, mostHits = searched.hits;
    }
    nlohmann::json all = nlohmann::json::array();
    std::vector<size_t> chosen;
    if (!queries.empty()) chosen.push_back(nearest);
    if (most != nearest) chosen.push_back(most);
    for (const size_t q : chosen)
        all.push_back(AllLines(index, queries[q].text, Search(index, toc, queries[q]), reps));
    if (!queries.empty()) {
        BenchQuery unmarked = queries[most];
        unmarked.text += "？";
        all.push_back(AllLines(index, unmarked.text, Search(index, toc, unmarked), reps));
        all.back()["unmarked"] = true;
    }
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reps" || arg == "--all-near") {
            ++i;
            continue;
        }
        BenchQuery named;
        named.text = arg;
        named.variants = true;
        all.push_back(AllLines(index, arg, Search(index, toc, named), reps));
    }
    const nlohmann::json out = {{"first_lines", kFirstLines}, {"reps", reps}, {"near", near},
                                {"first", first}, {"all", all}};
    std::ofstream(argv[3]) << out.dump(1) << "\n";
    return 0;
}
