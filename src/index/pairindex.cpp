#include "index/pairindex.h"

#include <algorithm>
#include <cstring>

#include "base/littleendian.h"
#include "index/indexformat.h"
#include "index/pairformat.h"

using littleendian::LoadInt32;
using littleendian::LoadUint32;
using littleendian::LoadUint64;

namespace {

// The entry whose key is wanted in a table of count entries of entryBytes,
// ascending by the key that keyOf reads from an entry; null when none has it.
template <typename KeyOf>
const unsigned char* FindSorted(const unsigned char* table, size_t count, size_t entryBytes, uint64_t wanted,
                                KeyOf keyOf) {
    size_t low = 0, high = count;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const uint64_t found = keyOf(table + middle * entryBytes);
        if (found == wanted) return table + middle * entryBytes;
        if (found < wanted)
            low = middle + 1;
        else
            high = middle;
    }
    return nullptr;
}

}  // namespace

bool CPairIndex::Open(const std::filesystem::path& path, const std::filesystem::path& headerPath,
                      uint64_t postingSize) {
    Close();
    if (Map(path) && TablesIntact() && StampMatches(headerPath, postingSize)) return true;
    Close();
    return false;
}

bool CPairIndex::Map(const std::filesystem::path& path) {
    if (!m_File.Open(path) || m_File.Size() < pairformat::kPreambleBytes) return false;
    const unsigned char* data = m_File.Data();
    if (std::memcmp(data, pairformat::kMagic, sizeof pairformat::kMagic) != 0) return false;
    const uint64_t numberCount = LoadUint32(data + pairformat::kNumberCountOffset);
    const uint64_t pairCount = LoadUint32(data + pairformat::kPairCountOffset);
    const uint64_t tableEnd = pairformat::kPreambleBytes + numberCount * pairformat::kNumberEntryBytes +
                              pairCount * pairformat::kPairEntryBytes;
    const size_t dataBytes = m_File.Size() - size_t(std::min<uint64_t>(tableEnd, m_File.Size()));
    const size_t blocks = (dataBytes + indexformat::kBlockSize - 1) / indexformat::kBlockSize;
    if (tableEnd > m_File.Size() || pairCount == 0 || blocks >= indexformat::kNoBlock) return false;
    m_Numbers = data + pairformat::kPreambleBytes;
    m_Pairs = m_Numbers + numberCount * pairformat::kNumberEntryBytes;
    m_NumberCount = uint32_t(numberCount);
    m_PairCount = uint32_t(pairCount);
    // The lists fill the data, the last one ending the file.
    const unsigned char* last = m_Pairs + (pairCount - 1) * pairformat::kPairEntryBytes;
    if (LoadUint64(last + 8) + LoadUint32(last + 16) != dataBytes) return false;
    m_Chain.resize(blocks);
    for (size_t b = 0; b < blocks; ++b) m_Chain[b] = b + 1 < blocks ? uint32_t(b + 1) : indexformat::kNoBlock;
    m_Data = {data + tableEnd, dataBytes, m_Chain.data(), uint32_t(blocks)};
    return true;
}

void CPairIndex::Close() {
    m_File.Close();
    m_Numbers = m_Pairs = nullptr;
    m_NumberCount = m_PairCount = 0;
    m_Chain = {};
    m_Data = {};
    m_PairChecked.clear();
    m_NumberChecked.clear();
}

bool CPairIndex::TablesIntact() const {
    const unsigned char* data = m_File.Data();
    const uint64_t preamble = pairformat::Checksum(data, pairformat::kTableChecksumOffset);
    const size_t tableBytes = size_t(m_NumberCount) * pairformat::kNumberEntryBytes +
                              size_t(m_PairCount) * pairformat::kPairEntryBytes;
    return pairformat::Checksum(m_Numbers, tableBytes, preamble) == LoadUint64(data + pairformat::kTableChecksumOffset);
}

bool CPairIndex::StampMatches(const std::filesystem::path& headerPath, uint64_t postingSize) const {
    const unsigned char* data = m_File.Data();
    const pairformat::Stamp stored{LoadUint64(data + pairformat::kHeaderFileSizeOffset),
                                   LoadUint64(data + pairformat::kPostingFileSizeOffset),
                                   LoadUint64(data + pairformat::kHeaderChecksumOffset)};
    return pairformat::StampOf(headerPath, postingSize) == stored;
}

const unsigned char* CPairIndex::FindEntry(int32_t first, int32_t second) const {
    const auto key = [](int32_t a, int32_t b) { return uint64_t(uint32_t(a)) << 32 | uint32_t(b); };
    return FindSorted(m_Pairs, m_PairCount, pairformat::kPairEntryBytes, key(first, second),
                      [&key](const unsigned char* entry) { return key(LoadInt32(entry), LoadInt32(entry + 4)); });
}

bool CPairIndex::PairIntact(const unsigned char* entry) const {
    const uint64_t offset = LoadUint64(entry + 8);
    const uint64_t bytes = LoadUint32(entry + 16);
    if (bytes == 0 || offset > m_Data.size || bytes > m_Data.size - offset) return false;
    return pairformat::Checksum(m_Data.data + offset, size_t(bytes)) == LoadUint64(entry + 32);
}

bool CPairIndex::NumberMatches(int32_t number, const CIndexFiles& files) const {
    const auto [known, isNew] = m_NumberChecked.try_emplace(number, false);
    if (!isNew) return known->second;
    const std::vector<int32_t>& firstBlocks = files.FirstBlocks();
    if (number < 0 || size_t(number) >= firstBlocks.size() || firstBlocks[size_t(number)] < 0) return false;
    const unsigned char* entry =
        FindSorted(m_Numbers, m_NumberCount, pairformat::kNumberEntryBytes, uint64_t(uint32_t(number)),
                   [](const unsigned char* at) { return uint64_t(LoadUint32(at)); });
    if (!entry) return false;
    const auto checksum = pairformat::ListChecksum(files.Postings(), uint32_t(firstBlocks[size_t(number)]));
    known->second = checksum && *checksum == LoadUint64(entry + 8);
    return known->second;
}

std::optional<CPairIndex::PairList> CPairIndex::Find(int32_t first, int32_t second, const CIndexFiles& files) const {
    if (!IsOpen()) return std::nullopt;
    const unsigned char* entry = FindEntry(first, second);
    if (!entry) return std::nullopt;
    const size_t id = size_t(entry - m_Pairs) / pairformat::kPairEntryBytes;
    const auto [known, isNew] = m_PairChecked.try_emplace(id, false);
    if (isNew)
        known->second = PairIntact(entry) && NumberMatches(first, files) && NumberMatches(second, files);
    if (!known->second) return std::nullopt;
    const uint64_t offset = LoadUint64(entry + 8);
    return PairList{uint32_t(offset / indexformat::kBlockSize), uint32_t(offset % indexformat::kBlockSize),
                    LoadUint32(entry + 20), LoadUint32(entry + 24), id};
}
