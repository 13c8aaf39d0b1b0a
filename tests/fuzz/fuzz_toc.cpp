// The table-of-contents loader on a "vrn.dir" from the input, then the
// lookups the search panel makes over its records: the scope path, the node
// of a record, and the result entries of a search inside each record's range.
#include <string>
#include <vector>

#include "docstore/tocformat.h"
#include "fuzzcheck.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"
#include "scratchfolder.h"

namespace {

// Pages at and around the edges of every record's run, with the record's
// numbers as hit counts, so huge and negative values reach the builder.
void ResultListsOf(const CTocModel& toc, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    for (int r = 1; r < toc.NodeCount(); ++r) {
        const TocRecord& record = toc.Record(r);
        const uint32_t first = uint32_t(record.docID) - 1;
        for (uint32_t page : {first, first + 1, first + uint32_t(record.docNo) - 1, first + uint32_t(record.docNo)}) {
            pages.push_back(page);
            counts.push_back(uint32_t(record.docNo));
        }
    }
}

void CheckRecord(const CTocModel& toc, int r, const std::vector<uint32_t>& pages,
                 const std::vector<uint32_t>& counts) {
    ContentsNodeTag* node = toc.Node(r);
    FUZZ_CHECK(node && node->record == r);
    const TocRecord& record = toc.Record(r);
    FUZZ_CHECK(node->level == record.level && node->docID == record.docID);
    FUZZ_CHECK(record.name.size() <= tocformat::kNameBytes / 2);  // an unterminated field gives 100
    FUZZ_CHECK(toc.ScopePath(r).size() >= record.name.size());
    const int parent = toc.ParentRecord(r);
    FUZZ_CHECK(parent >= 0 && parent < r);
    const ContentsNodeTag* found = CTocModel::FindNodeByItem(toc.Root(), record);
    FUZZ_CHECK(found && found->docNo == record.docNo && found->curFileName == record.curFileName);

    std::vector<SearchNodeTag> results;
    CResultBuilder::BuildResults(node, pages, counts, results);
    FUZZ_CHECK(results.size() <= pages.size());
    for (const SearchNodeTag& entry : results) FUZZ_CHECK(node->Covers(uint32_t(entry.page)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CScratchFolder folder;
    folder.Write(tocformat::kFileName, std::string_view(reinterpret_cast<const char*>(data), size));
    CTocModel toc;
    FUZZ_CHECK(toc.LoadTableOfContents(folder.Path()));
    const int records = toc.NodeCount() - 1;
    FUZZ_CHECK(records >= 0 && records <= tocformat::kMaxRecords);
    FUZZ_CHECK(size_t(records) <= size / tocformat::kRecordBytes);
    FUZZ_CHECK(toc.ListingLines().size() == size_t(records));
    FUZZ_CHECK(!toc.Node(0) && !toc.Node(records + 1));
    std::vector<uint32_t> pages, counts;
    ResultListsOf(toc, pages, counts);
    for (int r = 1; r <= records; ++r) CheckRecord(toc, r, pages, counts);
    std::vector<SearchNodeTag> results;
    CResultBuilder::BuildResults(nullptr, pages, counts, results);
    FUZZ_CHECK(results.empty());
    return 0;
}
