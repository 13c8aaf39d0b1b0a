// CIndex::Open and searches on a collection whose full-text pair index comes
// from the input. The input is sealed first, so that the reader goes past its
// checks: the stamp and the table checksum are made to match, and so is the
// checksum of every list the tables name. A pair list is one more list of the
// word, so whatever it holds, each search finds at most what it finds without
// the pair index, page by page.
#include <map>
#include <string>
#include <vector>

#include "base/littleendian.h"
#include "docstore/storeformat.h"
#include "fuzzcheck.h"
#include "index/index.h"
#include "index/indexfiles.h"
#include "index/indexformat.h"
#include "index/pairformat.h"
#include "pairfuzzcollection.h"
#include "scratchfolder.h"

namespace {

const char* const kPairFile = "Index-idx.pair";

struct Query {
    const char16_t* text;
    bool all;  // all words; else one phrase
    bool variants;
};
const Query kQueries[] = {
    {u"天地", false, false},   {u"地天人", false, false}, {u"天天地", false, false}, {u"天?地", false, false},
    {u"天地*人山", false, false}, {u"兲地", false, true}, {u"天地人 山", true, false}, {u"地人 天", true, true},
};

using Results = std::map<uint32_t, uint32_t>;  // page -> count

Results Search(CIndex& index, const Query& query) {
    std::u16string text = query.text;
    if (query.all)
        index.SearchAll(text, query.variants);
    else
        index.SearchPhrase(text, CIndex::kReplace, query.variants);
    CheckResultLists(index);
    Results results;
    for (int i = 0; i < index.GetResultPageCount(); ++i)
        results[index.GetResultPages()[size_t(i)]] = index.GetResultCounts()[size_t(i)];
    return results;
}

// The collection, the searches' results without its pair index, and the
// lists' checksums that sealing writes in.
class CPairFixture {
public:
    CPairFixture() {
        WritePairFuzzCollection(m_folder.Path());
        std::filesystem::remove(m_folder.Path() / kPairFile);
        CIndex index;
        FUZZ_CHECK(index.Open(m_folder.Path(), storeformat::kBaseName, 0));
        for (const Query& query : kQueries) m_baseline.push_back(Search(index, query));
        ReadStamp();
    }

    const std::filesystem::path& Folder() const { return m_folder.Path(); }
    const Results& Baseline(size_t query) const { return m_baseline[query]; }
    void Install(const std::string& bytes) const { m_folder.Write(kPairFile, bytes); }

    // The input with its stamp, checksums and the lists' checksums set right.
    std::string Seal(const uint8_t* data, size_t size) const {
        std::string bytes(reinterpret_cast<const char*>(data), size);
        if (bytes.size() < pairformat::kPreambleBytes) return bytes;
        bytes.replace(0, sizeof pairformat::kMagic, pairformat::kMagic, sizeof pairformat::kMagic);
        Put64(bytes, pairformat::kHeaderFileSizeOffset, m_stamp.headerSize);
        Put64(bytes, pairformat::kPostingFileSizeOffset, m_stamp.postingSize);
        Put64(bytes, pairformat::kHeaderChecksumOffset, m_stamp.headerChecksum);
        const uint64_t numbers = littleendian::LoadUint32(bytes, pairformat::kNumberCountOffset);
        const uint64_t pairs = littleendian::LoadUint32(bytes, pairformat::kPairCountOffset);
        const uint64_t tableEnd = pairformat::kPreambleBytes + numbers * pairformat::kNumberEntryBytes +
                                  pairs * pairformat::kPairEntryBytes;
        if (tableEnd > bytes.size()) return bytes;
        for (uint64_t i = 0; i < numbers; ++i) {
            const size_t entry = pairformat::kPreambleBytes + size_t(i) * pairformat::kNumberEntryBytes;
            const auto found = m_listChecksums.find(littleendian::LoadInt32(
                reinterpret_cast<const unsigned char*>(bytes.data()) + entry));
            if (found != m_listChecksums.end()) Put64(bytes, entry + 8, found->second);
        }
        const size_t dataStart = size_t(tableEnd);
        for (uint64_t i = 0; i < pairs; ++i) {
            const size_t entry = pairformat::kPreambleBytes + size_t(numbers) * pairformat::kNumberEntryBytes +
                                 size_t(i) * pairformat::kPairEntryBytes;
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + entry;
            const uint64_t offset = littleendian::LoadUint64(p + 8), length = littleendian::LoadUint32(p + 16);
            if (offset <= bytes.size() - dataStart && length <= bytes.size() - dataStart - offset)
                Put64(bytes, entry + 32, pairformat::Checksum(bytes.data() + dataStart + offset, size_t(length)));
        }
        const uint64_t preamble = pairformat::Checksum(bytes.data(), pairformat::kTableChecksumOffset);
        Put64(bytes, pairformat::kTableChecksumOffset,
              pairformat::Checksum(bytes.data() + pairformat::kPreambleBytes, dataStart - pairformat::kPreambleBytes,
                                   preamble));
        return bytes;
    }

private:
    static void Put64(std::string& bytes, size_t at, uint64_t value) {
        std::string encoded;
        littleendian::AppendUint64(value, encoded);
        bytes.replace(at, 8, encoded);
    }

    void ReadStamp() {
        const std::filesystem::path header = m_folder.Path() / "Index-idx.h";
        CIndexFiles files;
        files.Open(header, m_folder.Path() / "Index-idx.m");
        const auto stamp = pairformat::StampOf(header, files.Postings().size);
        FUZZ_CHECK(stamp.has_value());
        m_stamp = *stamp;
        for (int32_t n = 0; n < indexformat::kCharTableSize; ++n) {
            const int32_t block = files.FirstBlocks()[size_t(n)];
            if (block < 0) continue;
            if (const auto checksum = pairformat::ListChecksum(files.Postings(), uint32_t(block)))
                m_listChecksums[n] = *checksum;
        }
    }

    CScratchFolder m_folder;
    std::vector<Results> m_baseline;
    pairformat::Stamp m_stamp{};
    std::map<int32_t, uint64_t> m_listChecksums;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CPairFixture fixture;
    fixture.Install(fixture.Seal(data, size));
    CIndex index;
    FUZZ_CHECK(index.Open(fixture.Folder(), storeformat::kBaseName, 0));
    for (size_t q = 0; q < std::size(kQueries); ++q) {
        const Results& baseline = fixture.Baseline(q);
        for (const auto& [page, count] : Search(index, kQueries[q])) {
            const auto found = baseline.find(page);
            FUZZ_CHECK(found != baseline.end());
            FUZZ_CHECK(count <= found->second);
        }
    }
    return 0;
}
