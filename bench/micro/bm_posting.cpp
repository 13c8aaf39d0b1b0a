// Posting list decoding: every position of every entry, and skipping entries
// by their length, across chained blocks.
#include <benchmark/benchmark.h>

#include "micro/microfixture.h"

namespace {

// Decodes every page entry and position; args: positions per page.
void BM_PostingDecode(benchmark::State& state) {
    const auto list = microfixture::MakeList(20000, uint32_t(state.range(0)), 37);
    for (auto _ : state) {
        CPostingCursor cursor;
        cursor.Start(&list.source, 0);
        uint64_t sum = 0;
        unsigned bytes;
        for (uint32_t p = 0; p < list.pages; ++p) {
            sum += cursor.ReadVarint(bytes);
            uint32_t unread = cursor.ReadLength();
            while (unread > 0) {
                sum += cursor.ReadVarint(bytes);
                unread -= std::min(unread, bytes);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(list.bytes.size()));
}
BENCHMARK(BM_PostingDecode)->Arg(1)->Arg(4)->Arg(32);

// Reads only the entry headers and skips the positions; args: positions per page.
void BM_PostingSkip(benchmark::State& state) {
    const auto list = microfixture::MakeList(20000, uint32_t(state.range(0)), 37);
    for (auto _ : state) {
        CPostingCursor cursor;
        cursor.Start(&list.source, 0);
        uint64_t sum = 0;
        unsigned bytes;
        for (uint32_t p = 0; p < list.pages; ++p) {
            sum += cursor.ReadVarint(bytes);
            cursor.Skip(cursor.ReadLength());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * list.pages);
}
BENCHMARK(BM_PostingSkip)->Arg(1)->Arg(4)->Arg(32);

}  // namespace
