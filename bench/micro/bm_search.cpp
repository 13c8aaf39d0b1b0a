// The page alignment walk and position matching of CIndex::SearchPhrase on the
// synthetic collection, for words of different lengths and shapes.
#include <benchmark/benchmark.h>

#include "base/codeconverter.h"
#include "micro/microfixture.h"

namespace {

std::u16string U16(const std::string& utf8) {
    std::u16string units;
    CCodeConverter::Utf8ToUtf16(utf8, units);
    return units;
}

// A word from the start of a verse line of page 0: "*" joins two lines, "?" replaces a middle character.
std::u16string Word(int shape) {
    const auto& c = microfixture::Shared();
    switch (shape) {
    case 0: return U16(microfixture::Phrase(c, 0, 0, 1));
    case 1: return U16(microfixture::Phrase(c, 0, 0, 2));
    case 2: return U16(microfixture::Phrase(c, 0, 0, 4));
    case 3: return U16(microfixture::Phrase(c, 0, 0, 2) + "*" + microfixture::Phrase(c, 1, 0, 2));
    default: return U16(microfixture::Phrase(c, 0, 0, 1) + "?" + microfixture::Phrase(c, 0, 2, 1));
    }
}

void BM_SearchPhrase(benchmark::State& state) {
    auto& c = microfixture::Shared();
    const std::u16string word = Word(int(state.range(0)));
    for (auto _ : state) {
        c.index.SearchPhrase(word, CIndex::kReplace, false);
        benchmark::DoNotOptimize(c.index.GetResultPageCount());
    }
    state.counters["pages"] = c.index.GetResultPageCount();
}
// 0: one character, 1: two, 2: four, 3: "AB*CD", 4: "A?C".
BENCHMARK(BM_SearchPhrase)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace
