#include "writer/pairindexwriter.h"

#include <algorithm>
#include <queue>
#include <set>
#include <string>
#include <vector>

#include "base/littleendian.h"
#include "base/mappedfile.h"
#include "base/readonlyfile.h"
#include "index/indexformat.h"
#include "index/pairformat.h"
#include "index/postinglist.h"
#include "writer/spoolfile.h"
#include "writer/writererror.h"

namespace {

// The scope's index files as read back: the tables of the header file and the
// mapped posting file.
struct ScopeFiles {
    CMappedFile header;
    CMappedFile postings;
    std::vector<int32_t> firstBlock;
    std::vector<uint32_t> lastPage;
    std::vector<uint32_t> chain;
    CPostingCursor::Source source;
};

void ReadScope(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath, ScopeFiles& files) {
    if (!files.header.Open(headerPath) || files.header.Size() < indexformat::kChainOffset)
        throw CWriterError("cannot read back " + headerPath.string());
    if (!files.postings.Open(postingPath)) throw CWriterError("cannot read back " + postingPath.string());
    const unsigned char* header = files.header.Data();
    files.firstBlock.resize(indexformat::kCharTableSize);
    files.lastPage.resize(indexformat::kCharTableSize);
    for (size_t n = 0; n < indexformat::kCharTableSize; ++n) {
        files.firstBlock[n] = littleendian::LoadInt32(header + indexformat::kFirstBlockOffset + 4 * n);
        files.lastPage[n] = littleendian::LoadUint32(header + indexformat::kLastPageOffset + 4 * n);
    }
    const size_t chainCount = (files.header.Size() - indexformat::kChainOffset) / 4;
    files.chain.resize(chainCount);
    for (size_t b = 0; b < chainCount; ++b)
        files.chain[b] = littleendian::LoadUint32(header + indexformat::kChainOffset + 4 * b);
    files.source = {files.postings.Data(), files.postings.Size(), files.chain.data(), uint32_t(chainCount)};
}

// The numbers whose lists hold at least minPages page entries.
std::vector<int32_t> LongLists(const ScopeFiles& files, uint32_t minPages) {
    std::vector<int32_t> numbers;
    for (int32_t n = 0; n < int32_t(indexformat::kCharTableSize); ++n) {
        if (files.firstBlock[size_t(n)] < 0) continue;
        CPostingList list;
        list.Start(&files.source, uint32_t(files.firstBlock[size_t(n)]), files.lastPage[size_t(n)]);
        uint32_t pages = 1;
        while (pages < minPages && list.Next()) ++pages;
        if (list.Bad()) throw CWriterError("a posting list cannot be read back");
        if (pages >= minPages) numbers.push_back(n);
    }
    return numbers;
}

// One pair's list as it grows, page entry by page entry.
struct PairList {
    int32_t first;
    int32_t second;
    std::string bytes;
    uint32_t lastPage = 0;
    uint32_t pages = 0;
    bool unwritable = false;  // an entry past the format's limits: the pair is left out
};

// Appends the entry of page with positions (ascending) to list.
void AppendEntry(PairList& list, uint32_t page, const uint32_t* positions, size_t count) {
    const uint32_t delta = page - (list.pages == 0 ? 0 : list.lastPage);
    size_t entryBytes = 0;
    uint32_t previous = 0;
    for (size_t i = 0; i < count; ++i) {
        if (positions[i] - previous > indexformat::kMaxVarint) list.unwritable = true;
        entryBytes += indexformat::VarintSize(positions[i] - previous);
        previous = positions[i];
    }
    if (delta > indexformat::kMaxVarint || entryBytes > indexformat::kMaxPositionBytes) list.unwritable = true;
    if (list.unwritable) return;
    indexformat::AppendVarint(delta, list.bytes);
    littleendian::AppendUint16(uint32_t(entryBytes), list.bytes);
    previous = 0;
    for (size_t i = 0; i < count; ++i) {
        indexformat::AppendVarint(positions[i] - previous, list.bytes);
        previous = positions[i];
    }
    list.lastPage = page;
    ++list.pages;
}

// Walks the long lists page by page and grows the list of every two of them
// that stand side by side somewhere. A position's numbers are its character
// and its variant groups; the pairs of two positions are their characters'
// and, where either has groups, those of its groups (or its character when it
// has none) with the other's. So each pair held gets every position it has.
class CPairCollector {
public:
    CPairCollector(const ScopeFiles& files, const std::vector<int32_t>& numbers)
        : m_rankCount(numbers.size()), m_cells(numbers.size() * numbers.size(), kNoList) {
        m_walks.resize(numbers.size());
        for (size_t i = 0; i < numbers.size(); ++i) {
            const size_t n = size_t(numbers[i]);
            m_walks[i].number = numbers[i];
            m_walks[i].list.Start(&files.source, uint32_t(files.firstBlock[n]), files.lastPage[n]);
            m_queue.push({m_walks[i].list.Page(), uint32_t(i)});
        }
    }

    // The lists of the pairs found on at most one page in selectivity of the
    // pages of the rarer of their two numbers.
    std::vector<PairList> Collect(uint32_t selectivity) {
        while (!m_queue.empty()) {
            const uint32_t page = m_queue.top().page;
            while (!m_queue.empty() && m_queue.top().page == page) {
                const uint32_t i = m_queue.top().walk;
                m_queue.pop();
                ReadEntry(i);
                ++m_walks[i].pages;
                if (m_walks[i].list.Next()) m_queue.push({m_walks[i].list.Page(), i});
                if (m_walks[i].list.Bad()) throw CWriterError("a posting list cannot be read back");
            }
            AddPage(page);
        }
        std::vector<PairList> selective;
        for (size_t cell = 0; cell < m_cells.size(); ++cell) {
            if (m_cells[cell] == kNoList) continue;
            PairList& list = m_lists[m_cells[cell]];
            const uint32_t rarer = std::min(m_walks[cell / m_rankCount].pages, m_walks[cell % m_rankCount].pages);
            if (!list.unwritable && uint64_t(list.pages) * selectivity <= rarer) selective.push_back(std::move(list));
        }
        return selective;
    }

private:
    static constexpr uint32_t kNoList = UINT32_MAX;
    static constexpr uint32_t kNone = UINT32_MAX;
    struct Walk {
        CPostingList list;
        int32_t number;
        uint32_t pages = 0;  // entries read
    };
    struct Head {
        uint32_t page;
        uint32_t walk;  // walks are ranked by number, characters before groups
        bool operator>(const Head& other) const { return page != other.page ? page > other.page : walk > other.walk; }
    };
    // What stands at one position of the page: its character's rank and the
    // ranks of its groups (kNone: not among the long lists).
    struct Slot {
        uint32_t character = kNone;
        uint32_t firstGroup = kNone;
        uint32_t moreGroups = 0;  // further groups, in m_moreGroups
    };

    void ReadEntry(uint32_t rank) {
        const bool group = m_walks[rank].number >= indexformat::kFirstGroupNumber;
        uint32_t position = 0, delta;
        unsigned bytes;
        while (m_walks[rank].list.NextPosition(delta, bytes)) {
            position += delta;
            if (position >= m_slots.size()) m_slots.resize(size_t(position) + 2);
            Slot& slot = m_slots[position];
            if (slot.character == kNone && slot.firstGroup == kNone) m_used.push_back(position);
            if (!group) {
                slot.character = rank;
            } else if (slot.firstGroup == kNone) {
                slot.firstGroup = rank;
            } else {
                ++slot.moreGroups;
                m_moreGroups.push_back({position, rank});
            }
        }
    }

    // The ranks that pair as a position's left or right side besides its
    // character: its groups, or its character when it has none.
    void SideRanks(uint32_t position, std::vector<uint32_t>& ranks) const {
        ranks.clear();
        const Slot& slot = m_slots[position];
        if (slot.firstGroup == kNone) {
            if (slot.character != kNone) ranks.push_back(slot.character);
            return;
        }
        ranks.push_back(slot.firstGroup);
        if (slot.moreGroups == 0) return;
        for (const auto& [at, rank] : m_moreGroups)
            if (at == position) ranks.push_back(rank);
    }

    void AddPage(uint32_t page) {
        std::sort(m_used.begin(), m_used.end());
        m_found.clear();
        for (uint32_t position : m_used) {
            if (position + 1 >= m_slots.size()) continue;
            const Slot& left = m_slots[position];
            const Slot& right = m_slots[position + 1];
            if (left.character != kNone && right.character != kNone)
                m_found.push_back({Cell(left.character, right.character), position});
            if (left.firstGroup == kNone && right.firstGroup == kNone) continue;
            SideRanks(position, m_left);
            SideRanks(position + 1, m_right);
            for (uint32_t x : m_left)
                for (uint32_t y : m_right)
                    if (x != left.character || y != right.character) m_found.push_back({Cell(x, y), position});
        }
        std::stable_sort(m_found.begin(), m_found.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < m_found.size();) {
            m_positions.clear();
            size_t next = i;
            for (; next < m_found.size() && m_found[next].first == m_found[i].first; ++next)
                m_positions.push_back(m_found[next].second);
            AppendEntry(ListOf(m_found[i].first), page, m_positions.data(), m_positions.size());
            i = next;
        }
        for (uint32_t position : m_used) m_slots[position] = Slot{};
        m_used.clear();
        m_moreGroups.clear();
    }

    size_t Cell(uint32_t left, uint32_t right) const { return size_t(left) * m_rankCount + right; }

    PairList& ListOf(size_t cell) {
        if (m_cells[cell] == kNoList) {
            m_cells[cell] = uint32_t(m_lists.size());
            PairList& list = m_lists.emplace_back();
            list.first = m_walks[cell / m_rankCount].number;
            list.second = m_walks[cell % m_rankCount].number;
        }
        return m_lists[m_cells[cell]];
    }

    size_t m_rankCount;
    std::vector<Walk> m_walks;  // by rank
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> m_queue;
    std::vector<uint32_t> m_cells;  // pair (left rank, right rank) -> its list in m_lists
    std::vector<PairList> m_lists;
    // The page being read.
    std::vector<Slot> m_slots;  // by position
    std::vector<uint32_t> m_used;  // positions whose slot is set
    std::vector<std::pair<uint32_t, uint32_t>> m_moreGroups;  // (position, rank)
    std::vector<std::pair<size_t, uint32_t>> m_found;  // (cell, position)
    std::vector<uint32_t> m_positions, m_left, m_right;
};

uint64_t ListChecksumOf(const ScopeFiles& files, int32_t number) {
    const auto checksum = pairformat::ListChecksum(files.source, uint32_t(files.firstBlock[size_t(number)]));
    if (!checksum) throw CWriterError("a posting list cannot be read back");
    return *checksum;
}

// The preamble and both tables of pairs (ascending by numbers).
std::string PairIndexBytes(const ScopeFiles& files, const std::vector<const PairList*>& pairs) {
    std::set<int32_t> numbers;
    for (const PairList* list : pairs) {
        numbers.insert(list->first);
        numbers.insert(list->second);
    }
    std::string tables;
    for (int32_t number : numbers) {
        littleendian::AppendUint32(uint32_t(number), tables);
        littleendian::AppendUint32(0, tables);
        littleendian::AppendUint64(ListChecksumOf(files, number), tables);
    }
    uint64_t offset = 0;
    for (const PairList* list : pairs) {
        littleendian::AppendUint32(uint32_t(list->first), tables);
        littleendian::AppendUint32(uint32_t(list->second), tables);
        littleendian::AppendUint64(offset, tables);
        littleendian::AppendUint32(uint32_t(list->bytes.size()), tables);
        littleendian::AppendUint32(list->lastPage, tables);
        littleendian::AppendUint32(list->pages, tables);
        littleendian::AppendUint32(0, tables);
        littleendian::AppendUint64(pairformat::Checksum(list->bytes.data(), list->bytes.size()), tables);
        offset += list->bytes.size();
    }
    std::string preamble(pairformat::kMagic, sizeof pairformat::kMagic);
    littleendian::AppendUint64(files.header.Size(), preamble);
    littleendian::AppendUint64(files.postings.Size(), preamble);
    littleendian::AppendUint64(pairformat::Checksum(files.header.Data(), files.header.Size()), preamble);
    littleendian::AppendUint32(uint32_t(numbers.size()), preamble);
    littleendian::AppendUint32(uint32_t(pairs.size()), preamble);
    const uint64_t preambleChecksum = pairformat::Checksum(preamble.data(), preamble.size());
    littleendian::AppendUint64(pairformat::Checksum(tables.data(), tables.size(), preambleChecksum), preamble);
    return preamble + tables;
}

}  // namespace

void CPairIndexWriter::Write(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath,
                             const std::filesystem::path& pairPath, uint32_t minPages, uint32_t selectivity) {
    ScopeFiles files;
    ReadScope(headerPath, postingPath, files);
    const std::vector<PairList> found =
        CPairCollector(files, LongLists(files, minPages)).Collect(selectivity);
    std::vector<const PairList*> kept;
    for (const PairList& list : found) kept.push_back(&list);
    CSpoolFile file;
    file.Create(pairPath);
    file.Append(PairIndexBytes(files, kept));
    for (const PairList* list : kept) file.Append(list->bytes);
    file.Close();
}
