#include "writer/postingwriter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

#include "base/littleendian.h"
#include "base/mappedfile.h"
#include "index/indexformat.h"
#include "index/postingcursor.h"
#include "writer/writererror.h"

namespace {

constexpr size_t kBlockSize = indexformat::kBlockSize;

// A batch key: character number, page within the batch, position.
constexpr unsigned kPageShift = 22;
constexpr unsigned kNumberShift = 44;
constexpr uint64_t kPositionMask = (uint64_t(1) << kPageShift) - 1;
constexpr uint64_t kPageMask = (uint64_t(1) << (kNumberShift - kPageShift)) - 1;
constexpr uint32_t kMaxBatchPage = uint32_t(kPageMask);
constexpr size_t kBatchKeys = size_t(1) << 20;  // 8 MB of keys

// An entry's header: its page delta and the length of its position data.
constexpr size_t kEntryHeaderBytes = indexformat::kMaxVarintBytes + 2;

[[noreturn, gnu::cold]] void FailVarint(const char* what, uint32_t page) {
    throw CWriterError(std::string(what) + " beyond " + std::to_string(indexformat::kMaxVarint), int(page));
}

void CheckVarint(uint32_t value, const char* what, uint32_t page) {
    if (value > indexformat::kMaxVarint) [[unlikely]]
        FailVarint(what, page);
}

[[noreturn, gnu::cold]] void FailPageOrder() { throw CWriterError("pages added out of order"); }

[[noreturn, gnu::cold]] void FailPositionBytes(uint32_t page) {
    throw CWriterError("a character's position data on one page over " +
                           std::to_string(indexformat::kMaxPositionBytes) + " bytes",
                       int(page));
}

[[noreturn, gnu::cold]] void FailReadBack() { throw CWriterError("a posting list cannot be read back"); }

}  // namespace

// Appends the positions of the current entry to positions.
void CPostingWriter::ReadPositions(CPostingList& walk, std::vector<uint64_t>& positions) {
    uint32_t position = 0;
    for (uint32_t left = walk.PositionBytes(); left > 0; left = walk.PositionBytes()) {
        uint32_t delta;
        unsigned bytes;
        walk.NextPosition(delta, bytes);
        position += delta;
        if (walk.Bad() || bytes > left || position > indexformat::kMaxVarint) FailReadBack();
        positions.push_back(position);
    }
}

// Appends the current entry of walk to list as it stands, position data
// still encoded.
void CPostingWriter::CopyPositions(List& list, CPostingList& walk) {
    const uint32_t page = walk.Page();
    m_copied.resize(kEntryHeaderBytes);
    unsigned char* const header = reinterpret_cast<unsigned char*>(m_copied.data());
    m_copied.resize(size_t(PutHeader(PageDelta(list, page), walk.PositionBytes(), header) - header));
    if (!walk.AppendPositionBytes(m_copied)) FailReadBack();
    list.lastPage = page;
    list.hasEntries = true;
    AppendBytes(list, m_copied.data(), m_copied.size());
}

CPostingWriter::CPostingWriter(const std::filesystem::path& postingPath, bool bBackground)
    : m_bBackground(bBackground), m_lists(indexformat::kCharTableSize) {
    m_postings.Create(postingPath);
}

CPostingWriter::~CPostingWriter() {
    if (m_appender.joinable()) m_appender.join();
}

void CPostingWriter::AddPage(uint32_t page, std::span<const uint64_t> keys) {
    CheckPage(page, keys);
    if (!m_batch.empty() && (page - m_batchFirstPage > kMaxBatchPage || m_batch.size() + keys.size() > kBatchKeys))
        FlushBatch();
    if (m_batch.empty()) m_batchFirstPage = page;
    const size_t start = m_batch.size();
    const uint64_t pageField = uint64_t(page - m_batchFirstPage) << kPageShift;
    bool ascending = true;
    bool inRange = true;
    uint32_t previous = 0;
    for (uint64_t key : keys) {
        const uint32_t position = uint32_t(key);
        inRange = inRange && (key >> 32) < uint64_t(indexformat::kFirstGroupNumber) &&
                  position <= indexformat::kMaxVarint;
        ascending = ascending && position >= previous;
        previous = position;
        m_batch.push_back((key >> 32) << kNumberShift | pageField | position);
    }
    if (!inRange) {
        m_batch.resize(start);
        CheckKeys(page, keys);
    }
    m_lastPage = page;
    // The batch sort keeps the order of a page's positions; they must ascend.
    if (!ascending) std::sort(m_batch.begin() + std::ptrdiff_t(start), m_batch.end());
}

// Raises the fault of the first key out of the format's range.
void CPostingWriter::CheckKeys(uint32_t page, std::span<const uint64_t> keys) {
    for (uint64_t key : keys) {
        if ((key >> 32) >= uint64_t(indexformat::kFirstGroupNumber))
            throw CWriterError("a character number out of range", int(page));
        CheckVarint(uint32_t(key), "a position", page);
    }
}

// The checks of a page that do not look at every key; AddPage checks those.
void CPostingWriter::CheckPage(uint32_t page, std::span<const uint64_t> keys) {
    if (m_lastPage >= 0 && int64_t(page) <= m_lastPage) FailPageOrder();
    if (keys.empty()) return;
    CheckVarint(page, "a page number", page);  // the first entry of a list holds the page itself
    // Each position takes at most 3 bytes; only a page with many more
    // occurrences than a page normally has can fill an entry.
    if (keys.size() * 3 <= indexformat::kMaxPositionBytes) return;
    CheckKeys(page, keys);
    std::vector<uint64_t> sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size();) {
        const uint64_t number = sorted[i] >> 32;
        std::string bytes;
        uint32_t previous = 0;
        for (; i < sorted.size() && sorted[i] >> 32 == number; ++i) {
            indexformat::AppendVarint(uint32_t(sorted[i]) - previous, bytes);
            previous = uint32_t(sorted[i]);
        }
        if (bytes.size() > indexformat::kMaxPositionBytes) FailPositionBytes(page);
    }
}

// Hands the batch over to be appended, once the one before it is in, and
// starts a new batch.
void CPostingWriter::FlushBatch() {
    WaitForAppend();
    m_appending.swap(m_batch);
    m_batch.clear();
    m_appendingFirstPage = m_batchFirstPage;
    if (!m_bBackground) {
        AppendBatch();
        return;
    }
    m_appender = std::thread([this] {
        try {
            AppendBatch();
        } catch (...) {
            m_appendError = std::current_exception();
        }
    });
}

// Waits for the batch being appended; raises the fault met appending it.
void CPostingWriter::WaitForAppend() {
    if (m_appender.joinable()) m_appender.join();
    if (m_appendError) std::rethrow_exception(m_appendError);
}

// Sorts the batch handed over by character number, stably, and appends each
// character's entries to its list.
void CPostingWriter::AppendBatch() {
    m_counts.assign(size_t(indexformat::kFirstGroupNumber) + 1, 0);
    for (uint64_t key : m_appending) ++m_counts[size_t(key >> kNumberShift) + 1];
    for (size_t n = 1; n < m_counts.size(); ++n) m_counts[n] += m_counts[n - 1];
    m_sorted.resize(m_appending.size());
    for (uint64_t key : m_appending) m_sorted[m_counts[size_t(key >> kNumberShift)]++] = key;
    m_appending.clear();

    const std::span<const uint64_t> sorted(m_sorted);
    for (size_t i = 0; i < sorted.size();) {
        const uint64_t number = sorted[i] >> kNumberShift;
        List& list = m_lists[size_t(number)];
        for (; i < sorted.size() && sorted[i] >> kNumberShift == number;) {
            const uint64_t pageKey = sorted[i] >> kPageShift;
            size_t end = i + 1;
            while (end < sorted.size() && sorted[end] >> kPageShift == pageKey) ++end;
            AppendEntry(list, m_appendingFirstPage + uint32_t(pageKey & kPageMask), sorted.subspan(i, end - i));
            i = end;
        }
    }
}

// Appends page's entry to list; keys hold its positions, ascending, in their
// low bits. The entry is encoded straight into the list's partial block when
// it fits there, else beside it and copied in across the block's end.
void CPostingWriter::AppendEntry(List& list, uint32_t page, std::span<const uint64_t> keys) {
    const uint32_t pageDelta = PageDelta(list, page);
    const size_t headerBytes = indexformat::VarintSize(pageDelta) + 2;
    const size_t most = headerBytes + keys.size() * indexformat::kMaxVarintBytes;
    if (list.slot == CBlockSlots::kNoSlot) list.slot = m_slots.Take();
    const bool bInPlace = list.used + most <= kBlockSize;
    if (!bInPlace && m_entry.size() < most) m_entry.resize(most);
    unsigned char* const entry =
        bInPlace ? reinterpret_cast<unsigned char*>(m_slots.Bytes(list.slot)) + list.used : m_entry.data();
    unsigned char* const positions = entry + headerBytes;
    unsigned char* end = positions;
    uint32_t previous = 0;
    for (uint64_t key : keys) {
        const uint32_t position = uint32_t(key & kPositionMask);
        CheckVarint(position - previous, "a position", page);
        end = indexformat::PutVarint(position - previous, end);
        previous = position;
    }
    if (size_t(end - positions) > indexformat::kMaxPositionBytes) FailPositionBytes(page);
    PutHeader(pageDelta, size_t(end - positions), entry);
    list.lastPage = page;
    list.hasEntries = true;
    if (!bInPlace) {
        AppendBytes(list, reinterpret_cast<const char*>(entry), size_t(end - entry));
        return;
    }
    list.used = uint16_t(list.used + size_t(end - entry));
    if (list.used < kBlockSize) return;
    WriteBlock(list, std::string_view(m_slots.Bytes(list.slot), kBlockSize));
    list.used = 0;
}

// The distance of page from the list's latest page; raises the fault when
// page does not follow it or the distance is beyond the format.
uint32_t CPostingWriter::PageDelta(const List& list, uint32_t page) {
    if (list.hasEntries && page <= list.lastPage) [[unlikely]]
        FailPageOrder();
    const uint32_t pageDelta = page - (list.hasEntries ? list.lastPage : 0);
    CheckVarint(pageDelta, "a page delta", page);
    return pageDelta;
}

// Writes an entry's header at out and returns the place past it.
// REQUIRES: positionBytes <= kMaxPositionBytes.
unsigned char* CPostingWriter::PutHeader(uint32_t pageDelta, size_t positionBytes, unsigned char* out) {
    unsigned char* end = indexformat::PutVarint(pageDelta, out);
    *end++ = static_cast<unsigned char>(positionBytes & 0xFF);
    *end++ = static_cast<unsigned char>(positionBytes >> 8);
    return end;
}

// Appends bytes to list's partial block; each block filled goes to the
// posting file.
void CPostingWriter::AppendBytes(List& list, const char* bytes, size_t count) {
    if (list.slot == CBlockSlots::kNoSlot) list.slot = m_slots.Take();
    char* const block = m_slots.Bytes(list.slot);
    while (count > 0) {
        const size_t part = std::min(count, kBlockSize - list.used);
        std::memcpy(block + list.used, bytes, part);
        list.used = uint16_t(list.used + part);
        bytes += part;
        count -= part;
        if (list.used < kBlockSize) return;
        WriteBlock(list, std::string_view(block, kBlockSize));
        list.used = 0;
    }
}

void CPostingWriter::WriteBlock(List& list, std::string_view bytes) {
    if (m_chain.size() >= size_t(INT32_MAX)) throw CWriterError("posting file beyond its block numbers");
    const uint32_t block = uint32_t(m_chain.size());
    static constexpr char kZeros[kBlockSize] = {};
    m_postings.Append(bytes);
    m_postings.Append(std::string_view(kZeros, kBlockSize - bytes.size()));
    m_chain.push_back(indexformat::kNoBlock);
    if (list.firstBlock < 0)
        list.firstBlock = int32_t(block);
    else
        m_chain[list.lastBlock] = block;
    list.lastBlock = block;
}

// Writes the list's partial block, if any, and gives its slot back.
void CPostingWriter::CloseList(List& list) {
    if (list.slot == CBlockSlots::kNoSlot) return;
    if (list.used > 0) WriteBlock(list, std::string_view(m_slots.Bytes(list.slot), list.used));
    m_slots.Give(list.slot);
    list.slot = CBlockSlots::kNoSlot;
    list.used = 0;
}

void CPostingWriter::Finish(const std::vector<std::vector<int32_t>>& groupMembers, bool scatterBlocks) {
    if (groupMembers.size() > size_t(indexformat::kMaxGroups))
        throw CWriterError("more than " + std::to_string(indexformat::kMaxGroups) + " variant groups");
    FlushBatch();
    WaitForAppend();
    Keys().swap(m_batch);
    Keys().swap(m_appending);
    Keys().swap(m_sorted);
    for (int32_t c = 0; c < indexformat::kFirstGroupNumber; ++c) CloseList(m_lists[size_t(c)]);
    m_postings.Flush();

    // The members' lists are read back from the file as written so far; the
    // group lists grow behind them.
    CMappedFile written;
    if (!written.Open(m_postings.Path())) throw CWriterError("cannot read back " + m_postings.Path().string());
    const std::vector<uint32_t> chain = m_chain;
    const CPostingCursor::Source source{written.Data(), written.Size(), chain.data(), uint32_t(chain.size())};
    for (size_t g = 0; g < groupMembers.size(); ++g) {
        List& group = m_lists[size_t(indexformat::kFirstGroupNumber) + g];
        std::vector<CPostingList> walks;
        for (int32_t member : groupMembers[g]) {
            const List& list = m_lists.at(size_t(member));
            if (!list.hasEntries) continue;
            CPostingList& walk = walks.emplace_back();
            walk.Start(&source, uint32_t(list.firstBlock), list.lastPage);
            if (walk.Bad()) FailReadBack();
        }
        MergeWalks(group, walks);
        CloseList(group);
    }
    written.Close();
    m_postings.Close();
    if (scatterBlocks) ReverseBlocks();
}

// Writes the union of the walks' lists into group, page by page. The entries
// of a page that only one member holds keep that member's position data as
// they are; the positions of a page that several hold are merged.
void CPostingWriter::MergeWalks(List& group, std::vector<CPostingList>& walks) {
    while (!walks.empty()) {
        // The walk on the lowest page, and the lowest page of the others.
        size_t lowest = 0;
        uint32_t page = walks[0].Page();
        uint32_t others = UINT32_MAX;
        for (size_t w = 1; w < walks.size(); ++w) {
            const uint32_t at = walks[w].Page();
            if (at < page) {
                others = page;
                page = at;
                lowest = w;
            } else {
                others = std::min(others, at);
            }
        }
        if (others > page)
            CopyEntriesBefore(group, walks, lowest, others);
        else
            MergeEntry(group, walks, page);
    }
}

// Copies the entries of walks[w] before page limit; a walk that ends leaves walks.
void CPostingWriter::CopyEntriesBefore(List& group, std::vector<CPostingList>& walks, size_t w, uint32_t limit) {
    CPostingList& walk = walks[w];
    do {
        CopyPositions(group, walk);
        if (walk.AtLastEntry()) {
            walks.erase(walks.begin() + std::ptrdiff_t(w));
            return;
        }
        if (!walk.Next()) FailReadBack();
    } while (walk.Page() < limit);
}

// Writes one entry for page with the positions of every walk on it, and moves
// those walks past it.
void CPostingWriter::MergeEntry(List& group, std::vector<CPostingList>& walks, uint32_t page) {
    m_positions.clear();
    for (CPostingList& walk : walks)
        if (walk.Page() == page) ReadPositions(walk, m_positions);
    std::sort(m_positions.begin(), m_positions.end());
    AppendEntry(group, page, m_positions);
    std::erase_if(walks, [page](const CPostingList& walk) { return walk.Page() == page && walk.AtLastEntry(); });
    for (CPostingList& walk : walks)
        if (walk.Page() == page && !walk.Next()) FailReadBack();
}

void CPostingWriter::ReverseBlocks() {
    const uint32_t count = uint32_t(m_chain.size());
    const auto mirror = [count](uint32_t block) { return count - 1 - block; };
    const std::filesystem::path path = m_postings.Path();
    const std::filesystem::path reversedPath = path.string() + ".reversed";
    {
        CMappedFile original;
        if (!original.Open(path)) throw CWriterError("cannot read back " + path.string());
        CSpoolFile reversed;
        reversed.Create(reversedPath);
        for (uint32_t b = 0; b < count; ++b)
            reversed.Append({reinterpret_cast<const char*>(original.Data()) + size_t(mirror(b)) * kBlockSize, kBlockSize});
        reversed.Close();
    }
    std::error_code error;
    std::filesystem::rename(reversedPath, path, error);
    if (error) throw CWriterError("cannot replace " + path.string() + ": " + error.message());

    std::vector<uint32_t> chain(count, indexformat::kNoBlock);
    for (uint32_t b = 0; b < count; ++b)
        if (m_chain[b] != indexformat::kNoBlock) chain[mirror(b)] = mirror(m_chain[b]);
    m_chain = std::move(chain);
    for (List& list : m_lists)
        if (list.firstBlock >= 0) list.firstBlock = int32_t(mirror(uint32_t(list.firstBlock)));
}

void CPostingWriter::WriteHeader(const std::filesystem::path& path) const {
    std::string header;
    header.reserve(indexformat::kChainOffset + m_chain.size() * 4);
    for (const List& list : m_lists) littleendian::AppendUint32(uint32_t(list.firstBlock), header);
    header.append(indexformat::kReservedShortBytes + indexformat::kReservedLongBytes, '\0');
    for (const List& list : m_lists) littleendian::AppendUint32(list.lastPage, header);
    for (uint32_t next : m_chain) littleendian::AppendUint32(next, header);
    CSpoolFile file;
    file.Create(path);
    file.Append(header);
    file.Close();
}
