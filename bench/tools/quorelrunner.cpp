// quorel-bench-quorel: Quorel's side of the benchmark. "search" runs the query
// set through CIndex::SearchAll / SearchAny in this one process (with
// punctuation ignored when asked) and writes the run report; "render" times CIndex::GetPageHtml on typical pages (the pages
// of two-character phrases) and on hit-dense pages (the pages with the most
// hits of the most frequent single character).
#include <algorithm>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <numeric>
#include <string_view>

#include "base/codeconverter.h"
#include "common/queryset.h"
#include "common/runloop.h"
#include "docstore/storeformat.h"
#include "index/index.h"

namespace {

const char* kUsage =
    "usage: quorel-bench-quorel search COLLECTION QUERIES.json OUT.json [--reps N] [--warmups N] [--pages FILE]\n"
    "                                  [--ignore-punctuation]\n"
    "       quorel-bench-quorel render COLLECTION QUERIES.json OUT.json [--reps N]\n";

std::u16string U16(const std::string& utf8) {
    std::u16string units;
    CCodeConverter::Utf8ToUtf16(utf8, units);
    return units;
}

void Search(CIndex& index, const BenchQuery& query, std::u16string& buffer, std::vector<uint32_t>& pages) {
    buffer = U16(query.text);
    if (query.anyWord) {
        index.SearchAny(buffer, query.variants);
    } else {
        index.SearchAll(buffer, query.variants);
    }
    const auto& found = index.GetResultPages();
    pages.assign(found.begin(), found.begin() + index.GetResultPageCount());
}

int RunSearch(CIndex& index, const std::vector<BenchQuery>& queries, int argc, char** argv) {
    index.SetIgnorePunctuation(std::find(argv, argv + argc, std::string_view("--ignore-punctuation")) != argv + argc);
    const int reps = runloop::IntOption(argc, argv, "--reps", 5);
    const int warmups = runloop::IntOption(argc, argv, "--warmups", 1);
    std::u16string buffer;
    auto outcomes = runloop::RunAll(queries, warmups, reps, [&](const BenchQuery& query, std::vector<uint32_t>& pages) {
        Search(index, query, buffer, pages);
    });
    // The hit totals, from one more untimed run of each query.
    for (size_t i = 0; i < queries.size(); ++i) {
        std::vector<uint32_t> pages;
        Search(index, queries[i], buffer, pages);
        const auto& counts = index.GetResultCounts();
        outcomes[i].hits = std::accumulate(counts.begin(), counts.begin() + ptrdiff_t(pages.size()), uint64_t(0));
    }
    queryset::WriteReport(argv[4], "quorel", queries, outcomes, runloop::Option(argc, argv, "--pages"));
    return 0;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct RenderCase {
    int page;
    std::u16string query;
    bool variants;
};

// Median microseconds and anchors per page of rendering every case reps times.
nlohmann::json TimeRendering(const CIndex& index, const std::vector<RenderCase>& cases, int reps) {
    std::vector<double> micros;
    std::vector<double> anchors;
    std::string html;
    for (const RenderCase& c : cases) {
        std::vector<double> samples;
        int count = 0;
        for (int r = 0; r < reps + 1; ++r) {
            const double start = queryset::NowMicros();
            count = index.GetPageHtml(c.page, html, c.query, 0, c.variants);
            if (r > 0) samples.push_back(queryset::NowMicros() - start);  // the first render warms up
        }
        micros.push_back(Median(samples));
        anchors.push_back(count);
    }
    std::vector<double> sorted = micros;
    std::sort(sorted.begin(), sorted.end());
    return {{"pages", cases.size()},
            {"median_us", Median(micros)},
            {"p90_us", sorted.empty() ? 0 : sorted[sorted.size() * 9 / 10]},
            {"median_anchors", Median(anchors)}};
}

int RunRender(CIndex& index, const std::vector<BenchQuery>& queries, int argc, char** argv) {
    const int reps = runloop::IntOption(argc, argv, "--reps", 20);
    std::u16string buffer;
    std::vector<uint32_t> pages;
    // Typical: the first and a middle page of each plain two-character phrase.
    std::vector<RenderCase> typical;
    const BenchQuery* densest = nullptr;
    size_t densestPages = 0;
    for (const BenchQuery& query : queries) {
        if (query.queryClass == "phrase-2") {
            Search(index, query, buffer, pages);
            if (pages.empty()) continue;
            typical.push_back({int(pages.front()), U16(query.text), false});
            typical.push_back({int(pages[pages.size() / 2]), U16(query.text), false});
        }
        if (query.queryClass == "phrase-1") {
            Search(index, query, buffer, pages);
            if (pages.size() > densestPages) {
                densestPages = pages.size();
                densest = &query;
            }
        }
    }
    // Hit-dense: the 20 pages with the most hits of the most frequent character.
    std::vector<RenderCase> dense;
    size_t densestHits = 0;
    if (densest) {
        Search(index, *densest, buffer, pages);
        std::vector<uint32_t> counts(index.GetResultCounts().begin(), index.GetResultCounts().begin() + ptrdiff_t(pages.size()));
        std::vector<size_t> order(pages.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return counts[a] > counts[b]; });
        for (size_t k = 0; k < std::min<size_t>(20, order.size()); ++k)
            dense.push_back({int(pages[order[k]]), U16(densest->text), false});
        if (!order.empty()) densestHits = counts[order.front()];
    }
    nlohmann::json report = {{"typical", TimeRendering(index, typical, reps)},
                             {"dense", TimeRendering(index, dense, reps)},
                             {"dense_query", densest ? densest->text : ""},
                             {"dense_max_hits", densestHits},
                             {"maxrss_kb", queryset::PeakRssKb()}};
    std::ofstream(argv[4]) << report.dump() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    if (command != "search" && command != "render") {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const std::vector<BenchQuery> queries = queryset::Load(argv[3]);
        CIndex index;
        if (!index.Open(argv[2], storeformat::kBaseName, 0)) {
            std::cerr << "cannot open the collection in " << argv[2] << "\n";
            return 1;
        }
        return command == "search" ? RunSearch(index, queries, argc, argv) : RunRender(index, queries, argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
