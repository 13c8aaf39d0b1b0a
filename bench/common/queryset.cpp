#include "common/queryset.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace queryset {

std::vector<BenchQuery> Load(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    const nlohmann::json doc = nlohmann::json::parse(in);
    std::vector<BenchQuery> queries;
    for (const auto& q : doc.at("queries")) {
        BenchQuery query;
        query.id = q.at("id").get<std::string>();
        query.queryClass = q.at("class").get<std::string>();
        query.anyWord = q.at("mode").get<std::string>() == "any";
        query.variants = q.at("variants").get<bool>();
        query.text = q.at("text").get<std::string>();
        query.words = q.at("words").get<std::vector<std::vector<std::string>>>();
        queries.push_back(std::move(query));
    }
    return queries;
}

namespace {

// FNV-1a over the sorted page list: equal hashes mean equal page sets.
uint64_t HashPages(std::vector<uint32_t> pages) {
    std::sort(pages.begin(), pages.end());
    uint64_t hash = 1469598103934665603ull;
    for (uint32_t page : pages) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (page >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

}  // namespace

void WriteReport(const std::filesystem::path& path, const std::string& engine, const std::vector<BenchQuery>& queries,
                 const std::vector<QueryOutcome>& outcomes, const std::filesystem::path& pagesPath) {
    nlohmann::json doc;
    doc["engine"] = engine;
    doc["maxrss_kb"] = PeakRssKb();
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < queries.size(); ++i) {
        list.push_back({{"id", queries[i].id},
                        {"pages", outcomes[i].pages.size()},
                        {"hash", std::to_string(HashPages(outcomes[i].pages))},
                        {"hits", outcomes[i].hits},
                        {"micros", outcomes[i].micros}});
    }
    doc["queries"] = list;
    std::ofstream out(path);
    out << doc.dump() << "\n";
    if (!out) throw std::runtime_error("cannot write " + path.string());
    if (pagesPath.empty()) return;
    std::ofstream pages(pagesPath);
    for (size_t i = 0; i < queries.size(); ++i) {
        std::vector<uint32_t> sorted = outcomes[i].pages;
        std::sort(sorted.begin(), sorted.end());
        pages << queries[i].id << '\t';
        for (size_t k = 0; k < sorted.size(); ++k) pages << (k ? "," : "") << sorted[k];
        pages << '\n';
    }
    if (!pages) throw std::runtime_error("cannot write " + pagesPath.string());
}

long PeakRssKb() {
    // VmHWM, not getrusage: Linux carries ru_maxrss over an exec, so a runner
    // started by a large harness would report the harness's peak.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

double NowMicros() {
    using namespace std::chrono;
    return double(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count()) / 1000.0;
}

}  // namespace queryset
