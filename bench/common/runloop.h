// The timing loop every engine's runner shares: warm-up passes over the whole
// query set, then timed passes; each query's pages are kept from its first run.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/queryset.h"

namespace runloop {

// search(query, pages) fills pages with the pages it finds.
template <typename Search>
std::vector<QueryOutcome> RunAll(const std::vector<BenchQuery>& queries, int warmups, int reps, Search search) {
    std::vector<QueryOutcome> outcomes(queries.size());
    std::vector<uint32_t> pages;
    for (int pass = 0; pass < warmups + reps; ++pass) {
        for (size_t i = 0; i < queries.size(); ++i) {
            pages.clear();
            const double start = queryset::NowMicros();
            search(queries[i], pages);
            const double elapsed = queryset::NowMicros() - start;
            if (pass == 0) outcomes[i].pages = pages;
            if (pass >= warmups) outcomes[i].micros.push_back(elapsed);
        }
    }
    return outcomes;
}

// Adds up the time spent in the calls it runs.
class CStopwatch {
public:
    template <typename Call>
    void Run(Call call) {
        const double start = queryset::NowMicros();
        call();
        m_micros += queryset::NowMicros() - start;
    }
    double Seconds() const { return m_micros / 1e6; }

private:
    double m_micros = 0;
};

// The value after "--name" in argv, or fallback.
inline std::string Option(int argc, char** argv, std::string_view name, std::string fallback = {}) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return argv[i + 1];
    return fallback;
}

inline int IntOption(int argc, char** argv, std::string_view name, int fallback) {
    const std::string value = Option(argc, argv, name);
    return value.empty() ? fallback : std::atoi(value.c_str());
}

}  // namespace runloop
