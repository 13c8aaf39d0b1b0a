// The benchmark's query set as the harness writes it (one JSON file shared by
// every engine) and the run report each engine's runner writes back: per query
// the latency of every timed repetition and the pages found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct BenchQuery {
    std::string id;
    std::string queryClass;
    bool anyWord = false;   // "any": a page needs one word; otherwise every word
    bool variants = false;  // Quorel's variant option
    std::string text;       // the query as typed into Quorel, words separated by spaces
    // Per word, the spellings a peer must look for (the word itself, or all its
    // variant spellings). "?" stands for one character, "*" for a gap.
    std::vector<std::vector<std::string>> words;
};

struct QueryOutcome {
    std::vector<double> micros;   // one per timed repetition
    std::vector<uint32_t> pages;  // pages found, any order
    uint64_t hits = 0;            // Quorel's hit count over all pages; 0 for the peers
};

namespace queryset {

// Throws std::runtime_error on a file that cannot be read or parsed.
std::vector<BenchQuery> Load(const std::filesystem::path& path);

// Writes {"engine", "maxrss_kb", "queries":[{"id","pages","hash","micros"}]}.
// The page list itself goes to pagesPath (one line "id<TAB>p,p,...") when given.
void WriteReport(const std::filesystem::path& path, const std::string& engine, const std::vector<BenchQuery>& queries,
                 const std::vector<QueryOutcome>& outcomes, const std::filesystem::path& pagesPath);

// Peak resident memory of this process (this program image) in KiB.
long PeakRssKb();

// Microseconds since an arbitrary start, for timing.
double NowMicros();

}  // namespace queryset
