// Hit highlighting of one text run and the whole hit-page rendering.
#include <benchmark/benchmark.h>

#include "base/codeconverter.h"
#include "micro/microfixture.h"

namespace {

// Marks a one-character (args 1) or two-character (args 2) term in page 0's text cell.
void BM_HighlightItem(benchmark::State& state) {
    const auto& c = microfixture::Shared();
    FilterItem item;
    item.text = c.texts[0];
    const std::string term = microfixture::Phrase(c, 0, 0, size_t(state.range(0)));
    std::string out;
    int anchors = 0;
    for (auto _ : state) {
        out.clear();
        anchors = 0;
        CFileList::HighlightItem(item, term, out, anchors);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["anchors"] = anchors;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(item.text.size()));
}
BENCHMARK(BM_HighlightItem)->Arg(1)->Arg(2);

// Renders page 0 for a one-character and a two-character query.
void BM_RenderHitPage(benchmark::State& state) {
    const auto& c = microfixture::Shared();
    std::u16string terms;
    CCodeConverter::Utf8ToUtf16(microfixture::Phrase(c, 0, 0, size_t(state.range(0))), terms);
    std::string html;
    int anchors = 0;
    for (auto _ : state) {
        anchors = c.index.GetFileList().RenderHitPage(0, html, terms, 0);
        benchmark::DoNotOptimize(html.data());
    }
    state.counters["anchors"] = anchors;
}
BENCHMARK(BM_RenderHitPage)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
