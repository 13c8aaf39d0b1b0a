// CIndex::Open and searches on an index whose header entries for a few
// characters, block chain table and posting file come from the input. The rest
// of the header, the document store and the variant table are written once.
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "base/codeconverter.h"
#include "docstore/storeformat.h"
#include "fuzzcheck.h"
#include "fuzzlayouts.h"
#include "index/index.h"
#include "scratchfolder.h"
#include "writer/collectionwriter.h"

namespace {

// Enough pages for page deltas of every width; they are empty, so the store
// costs nothing to open.
constexpr int kStorePages = 20000;

// The collection in the scratch folder, with its header file held open so
// that each input only rewrites its own entries and the chain table.
class CFuzzedIndexFiles {
public:
    CFuzzedIndexFiles() {
        CCollectionWriter writer;
        for (int p = 0; p < kStorePages; ++p) writer.AddPage({"a\\" + std::to_string(p) + ".htm", "", {}});
        writer.SetVariantGroups({{IndexFuzzInput::kGroupMembers[0], IndexFuzzInput::kGroupMembers[1]}});
        writer.Write(m_folder.Path());
        // No character has a list until an input gives it one.
        std::string header(indexformat::kChainOffset, '\0');
        header.replace(indexformat::kFirstBlockOffset, indexformat::kFirstBlockBytes, indexformat::kFirstBlockBytes, '\xFF');
        m_folder.Write("Index-idx.h", header);
        m_header = ::open((m_folder.Path() / "Index-idx.h").c_str(), O_WRONLY | O_CLOEXEC);
        FUZZ_CHECK(m_header >= 0);
        for (size_t i = 0; i < std::size(IndexFuzzInput::kCharacters); ++i)
            m_numbers[i] = CCodeConverter::ToCharNumber(IndexFuzzInput::kCharacters[i]);
        m_numbers[IndexFuzzInput::kEntries - 1] = indexformat::kFirstGroupNumber;
    }
    ~CFuzzedIndexFiles() { ::close(m_header); }

    const std::filesystem::path& Folder() const { return m_folder.Path(); }

    void Install(const IndexFuzzInput& input) {
        for (size_t i = 0; i < IndexFuzzInput::kEntries; ++i) {
            const size_t entry = 4 * size_t(m_numbers[i]);
            WriteAt(indexformat::kFirstBlockOffset + entry, &input.entries[i].firstBlock, 4);
            WriteAt(indexformat::kLastPageOffset + entry, &input.entries[i].lastPage, 4);
        }
        FUZZ_CHECK(::ftruncate(m_header, off_t(indexformat::kChainOffset)) == 0);
        WriteAt(indexformat::kChainOffset, input.chain.data(), input.chain.size());
        m_folder.Write("Index-idx.m", input.postings);
    }

private:
    void WriteAt(size_t offset, const void* bytes, size_t count) {
        FUZZ_CHECK(::pwrite(m_header, bytes, count, off_t(offset)) == ssize_t(count));
    }

    CScratchFolder m_folder;
    int m_header = -1;
    int32_t m_numbers[IndexFuzzInput::kEntries] = {};
};

void SearchAll(CIndex& index, std::u16string query, bool useVariants) {
    index.SearchAll(query, useVariants);
    CheckResultLists(index);
    // Every word is merged by intersection, which keeps the ascending order.
    FUZZ_CHECK(std::is_sorted(index.GetResultPages().begin(), index.GetResultPages().end()));
}

void SearchAny(CIndex& index, std::u16string query, bool useVariants) {
    index.SearchAny(query, useVariants);
    CheckResultLists(index);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CFuzzedIndexFiles files;
    files.Install(IndexFuzzInput::Decode(data, size));
    CIndex index;
    if (!index.Open(files.Folder(), storeformat::kBaseName, 0)) return 0;
    // One character, phrases through several lists, wildcards and term
    // distances, and the group list through either member.
    SearchAll(index, u"天", false);
    SearchAll(index, u"天地", false);
    SearchAll(index, u"地天人", false);
    SearchAll(index, u"天?地", false);
    SearchAll(index, u"天*人", false);
    SearchAll(index, u"人*??*天地", false);
    SearchAll(index, u"山", true);
    SearchAll(index, u"天川*地山", true);
    SearchAll(index, u"天地 人", false);
    SearchAny(index, u"人 天 地 山", true);
    // The same lists walked with punctuation ignored: the positions are read
    // in full, and every page's text is empty.
    index.SetIgnorePunctuation(true);
    SearchAll(index, u"天地", false);
    SearchAll(index, u"地天人", false);
    SearchAll(index, u"天?地", false);
    SearchAll(index, u"人*??*天地", false);
    SearchAll(index, u"天川*地山", true);
    return 0;
}
