// CFileList on a page table and content file from the input: the open, the
// raw page reads, the record names and the scan by printed page number.
#include <climits>
#include <string>

#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "fuzzcheck.h"
#include "fuzzlayouts.h"
#include "scratchfolder.h"

namespace {

// Page numbers looked at: the first records, the edges and values far outside.
constexpr int kScannedPages = 64;

// The reads of page n agree with each other; outside the store they all fail.
void ReadRecord(const CFileList& store, int n) {
    uint32_t length = 0;
    std::string bytes, name;
    const bool inside = n >= 0 && n < store.GetPageCount();
    FUZZ_CHECK(store.GetPageLength(n, length) == inside);
    FUZZ_CHECK(store.GetRecordName(n, name) == inside);
    const bool read = store.ReadPage(n, bytes);
    FUZZ_CHECK(!read || inside);
    if (read) FUZZ_CHECK(bytes.size() == length);
    if (inside) {
        FUZZ_CHECK(name.size() <= 260);
        CFileList::PageParity(name);
    }
}

// A hit is the first record from the start that carries the number; a miss
// leaves the last record examined, or the start - 1 when there was none.
void FindPrinted(const CFileList& store, int start, int printed) {
    int page = INT_MIN;
    const bool found = store.FindPrintedPage(start, printed, page);
    const int from = std::max(start, 0);
    const int pages = store.GetPageCount();
    if (!found) {
        FUZZ_CHECK(page == (from < pages ? pages - 1 : from - 1));
        return;
    }
    FUZZ_CHECK(page >= from && page < pages);
    std::string name;
    FUZZ_CHECK(store.GetRecordName(page, name));
    FUZZ_CHECK(CFileList::PrintedPageOf(name) == printed);
    if (page - from > kScannedPages) return;
    for (int earlier = from; earlier < page; ++earlier) {
        FUZZ_CHECK(store.GetRecordName(earlier, name));
        FUZZ_CHECK(CFileList::PrintedPageOf(name) != printed);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScratchFolder folder;
    const StoreFuzzInput input = StoreFuzzInput::Decode(data, size);
    folder.Write("Index-fl.h", input.table);
    folder.Write("Index-fl.cnt", input.content);
    CFileList store;
    if (!store.Open(folder.Path(), storeformat::kBaseName)) {
        FUZZ_CHECK(!store.IsOpen() && store.GetPageCount() == 0);
        return 0;
    }
    const int pages = store.GetPageCount();
    FUZZ_CHECK(pages >= 0);
    for (int n : {-1, pages, pages + 1, INT_MAX, INT_MIN}) ReadRecord(store, n);
    for (int n = 0; n < pages && n < kScannedPages; ++n) {
        ReadRecord(store, n);
        std::string name;
        store.GetRecordName(n, name);
        if (const auto printed = CFileList::PrintedPageOf(name)) FindPrinted(store, n > 0 ? n - 1 : 0, *printed);
    }
    for (int start : {INT_MIN, -1, 0, pages / 2, pages, INT_MAX})
        for (int printed : {0, 1, -1, INT_MAX, INT_MIN}) FindPrinted(store, start, printed);
    // Reading leaves no state behind: the same page reads the same bytes again.
    if (pages > 0) {
        std::string first, again;
        if (store.ReadPage(0, first)) {
            FUZZ_CHECK(store.ReadPage(0, again));
            FUZZ_CHECK(first == again);
        }
    }
    return 0;
}
