#include "writer/pairindexwriter.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/littleendian.h"
#include "base/datafileerror.h"
#include "index/indexfiles.h"
#include "index/indexformat.h"
#include "index/pairformat.h"
#include "index/postinglist.h"
#include "writer/spoolfile.h"
#include "writer/writererror.h"

namespace {

// Most lists that pairs are made of: the pairs' table of cells grows with its square.
constexpr size_t kMaxLongLists = 4096;

// The numbers whose lists hold at least minPages page entries, ascending; of
// more than kMaxLongLists, those with the most entries.
std::vector<int32_t> LongLists(const CIndexFiles& files, uint32_t minPages) {
    std::vector<std::pair<uint32_t, int32_t>> found;  // (entries, number)
    for (int32_t n = 0; n < int32_t(indexformat::kCharTableSize); ++n) {
        if (files.FirstBlocks()[size_t(n)] < 0) continue;
        CPostingList list;
        list.Start(&files.Postings(), uint32_t(files.FirstBlocks()[size_t(n)]), files.LastPages()[size_t(n)]);
        uint32_t pages = 1;
        while (list.Next()) ++pages;
        if (list.Bad()) throw CWriterError("a posting list cannot be read back");
        if (pages >= minPages) found.push_back({pages, n});
    }
    if (found.size() > kMaxLongLists) {
        std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        found.resize(kMaxLongLists);
    }
    std::vector<int32_t> numbers;
    for (const auto& [pages, number] : found) numbers.push_back(number);
    std::sort(numbers.begin(), numbers.end());
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
    CPairCollector(const CIndexFiles& files, const std::vector<int32_t>& numbers)
        : m_rankCount(numbers.size()), m_cells(numbers.size() * numbers.size(), kNoList) {
        m_walks.resize(numbers.size());
        for (size_t i = 0; i < numbers.size(); ++i) {
            const size_t n = size_t(numbers[i]);
            m_walks[i].number = numbers[i];
            m_walks[i].list.Start(&files.Postings(), uint32_t(files.FirstBlocks()[n]), files.LastPages()[n]);
        }
    }

    // The lists of the pairs found on at most one page in selectivity of the
    // pages of the rarer of their two numbers.
    std::vector<PairList> Collect(uint32_t selectivity) {
        // A window of pages at a time: each list is read on its own as far as
        // the window reaches, and the window's occurrences sorted by page.
        // Each window starts at the first page a list has left, so that every
        // one reads at least an entry.
        for (uint32_t next; FirstPageLeft(next);) {
            const uint32_t first = next / kWindowPages * kWindowPages;
            ReadWindow(first);
            SortWindowByPage(first);
            for (uint32_t k = 0; k < kWindowPages; ++k) {
                if (m_pageStart[k] == m_pageStart[k + 1]) continue;
                for (size_t i = m_pageStart[k]; i < m_pageStart[k + 1]; ++i) Place(m_byPage[i]);
                AddPage(first + k);
            }
            AppendWindow();
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
        bool done = false;   // read to its last entry
    };
    static constexpr uint32_t kWindowPages = 1024;
    // One occurrence of a long list's number within the window.
    struct Occurrence {
        uint32_t page;
        uint32_t position;
        uint32_t rank;
    };
    // What stands at one position of the page: its character's rank and the
    // ranks of its groups (kNone: not among the long lists).
    struct Slot {
        uint32_t character = kNone;
        uint32_t firstGroup = kNone;
        uint32_t moreGroups = 0;  // further groups, in m_moreGroups
    };

    // The page of the first entry not yet read of any list; false when all are read.
    bool FirstPageLeft(uint32_t& page) const {
        bool left = false;
        for (const Walk& walk : m_walks) {
            if (walk.done) continue;
            page = left ? std::min(page, walk.list.Page()) : walk.list.Page();
            left = true;
        }
        return left;
    }

    // Reads every list's entries on the pages [first, first + kWindowPages).
    void ReadWindow(uint32_t first) {
        const uint64_t end = uint64_t(first) + kWindowPages;
        m_window.clear();
        for (uint32_t rank = 0; rank < m_walks.size(); ++rank) {
            Walk& walk = m_walks[rank];
            while (!walk.done && walk.list.Page() < end) {
                if (walk.list.Page() < first) throw CWriterError("a posting list cannot be read back");
                uint32_t position = 0, delta;
                unsigned bytes;
                while (walk.list.NextPosition(delta, bytes)) {
                    position += delta;
                    m_window.push_back({walk.list.Page(), position, rank});
                }
                ++walk.pages;
                walk.done = !walk.list.Next();
                if (walk.list.Bad()) throw CWriterError("a posting list cannot be read back");
            }
        }
    }

    // m_byPage: the window's occurrences by page, in the order read;
    // m_pageStart[k]: where those of page first + k begin.
    void SortWindowByPage(uint32_t first) {
        m_pageStart.assign(kWindowPages + 1, 0);
        for (const Occurrence& occurrence : m_window) ++m_pageStart[occurrence.page - first + 1];
        for (uint32_t k = 0; k < kWindowPages; ++k) m_pageStart[k + 1] += m_pageStart[k];
        m_byPage.resize(m_window.size());
        std::vector<size_t> next(m_pageStart.begin(), m_pageStart.end() - 1);
        for (const Occurrence& occurrence : m_window) m_byPage[next[occurrence.page - first]++] = occurrence;
    }

    // Records an occurrence of the page being read in its position's slot.
    void Place(const Occurrence& occurrence) {
        const uint32_t position = occurrence.position, rank = occurrence.rank;
        if (position >= m_slots.size()) m_slots.resize(size_t(position) + 2);
        Slot& slot = m_slots[position];
        if (slot.character == kNone && slot.firstGroup == kNone) m_used.push_back(position);
        if (m_walks[rank].number < indexformat::kFirstGroupNumber) {
            slot.character = rank;
        } else if (slot.firstGroup == kNone) {
            slot.firstGroup = rank;
        } else {
            ++slot.moreGroups;
            m_moreGroups.push_back({position, rank});
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

    // The pairs of the page's positions one apart, into m_found.
    void AddPage(uint32_t page) {
        std::sort(m_used.begin(), m_used.end());
        for (uint32_t position : m_used) {
            if (position + 1 >= m_slots.size()) continue;
            const Slot& left = m_slots[position];
            const Slot& right = m_slots[position + 1];
            if (left.character != kNone && right.character != kNone)
                m_found.push_back({Cell(left.character, right.character), page, position});
            if (left.firstGroup == kNone && right.firstGroup == kNone) continue;
            SideRanks(position, m_left);
            SideRanks(position + 1, m_right);
            for (uint32_t x : m_left)
                for (uint32_t y : m_right)
                    if (x != left.character || y != right.character) m_found.push_back({Cell(x, y), page, position});
        }
        for (uint32_t position : m_used) m_slots[position] = Slot{};
        m_used.clear();
        m_moreGroups.clear();
    }

    // Appends the window's pairs to their lists, each list's entries at once:
    // m_found is sorted by cell, keeping each cell's pages and positions in
    // the ascending order they were found in.
    void AppendWindow() {
        RadixSortByCell();
        for (size_t i = 0; i < m_found.size();) {
            PairList& list = ListOf(m_found[i].cell);
            size_t next = i;
            for (; next < m_found.size() && m_found[next].cell == m_found[i].cell;) {
                m_positions.clear();
                const uint32_t page = m_found[next].page;
                for (; next < m_found.size() && m_found[next].cell == m_found[i].cell && m_found[next].page == page; ++next)
                    m_positions.push_back(m_found[next].position);
                AppendEntry(list, page, m_positions.data(), m_positions.size());
            }
            i = next;
        }
        m_found.clear();
    }

    // A stable sort by cell (below 2^24: kMaxLongLists squared) in two passes of 12 bits.
    void RadixSortByCell() {
        constexpr uint32_t kBits = 12, kBuckets = 1u << kBits;
        m_sorted.resize(m_found.size());
        std::vector<size_t> start(kBuckets + 1);
        for (uint32_t shift : {0u, kBits}) {
            std::fill(start.begin(), start.end(), 0);
            for (const Found& found : m_found) ++start[((found.cell >> shift) & (kBuckets - 1)) + 1];
            for (uint32_t b = 0; b < kBuckets; ++b) start[b + 1] += start[b];
            for (const Found& found : m_found) m_sorted[start[(found.cell >> shift) & (kBuckets - 1)]++] = found;
            m_found.swap(m_sorted);
        }
    }

    uint32_t Cell(uint32_t left, uint32_t right) const { return left * uint32_t(m_rankCount) + right; }

    PairList& ListOf(uint32_t cell) {
        if (m_cells[cell] == kNoList) {
            m_cells[cell] = uint32_t(m_lists.size());
            PairList& list = m_lists.emplace_back();
            list.first = m_walks[cell / m_rankCount].number;
            list.second = m_walks[cell % m_rankCount].number;
        }
        return m_lists[m_cells[cell]];
    }

    size_t m_rankCount;
    std::vector<Walk> m_walks;  // by rank, characters before groups
    std::vector<Occurrence> m_window, m_byPage;
    std::vector<size_t> m_pageStart;
    std::vector<uint32_t> m_cells;  // pair (left rank, right rank) -> its list in m_lists
    std::vector<PairList> m_lists;
    // The page being read.
    std::vector<Slot> m_slots;  // by position
    std::vector<uint32_t> m_used;  // positions whose slot is set
    std::vector<std::pair<uint32_t, uint32_t>> m_moreGroups;  // (position, rank)
    // The pairs of the window's pages, one per position of each.
    struct Found {
        uint32_t cell;
        uint32_t page;
        uint32_t position;
    };
    std::vector<Found> m_found, m_sorted;
    std::vector<uint32_t> m_positions, m_left, m_right;
};

uint64_t ListChecksumOf(const CIndexFiles& files, int32_t number) {
    const auto checksum = pairformat::ListChecksum(files.Postings(), uint32_t(files.FirstBlocks()[size_t(number)]));
    if (!checksum) throw CWriterError("a posting list cannot be read back");
    return *checksum;
}

// The preamble and both tables of pairs (ascending by numbers).
std::string PairIndexBytes(const CIndexFiles& files, const pairformat::Stamp& stamp,
                           const std::vector<const PairList*>& pairs) {
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
    littleendian::AppendUint64(stamp.headerSize, preamble);
    littleendian::AppendUint64(stamp.postingSize, preamble);
    littleendian::AppendUint64(stamp.headerChecksum, preamble);
    littleendian::AppendUint32(uint32_t(numbers.size()), preamble);
    littleendian::AppendUint32(uint32_t(pairs.size()), preamble);
    const uint64_t preambleChecksum = pairformat::Checksum(preamble.data(), preamble.size());
    littleendian::AppendUint64(pairformat::Checksum(tables.data(), tables.size(), preambleChecksum), preamble);
    return preamble + tables;
}

}  // namespace

void CPairIndexWriter::Write(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath,
                             const std::filesystem::path& pairPath, uint32_t minPages, uint32_t selectivity) {
    CIndexFiles files;
    try {
        files.Open(headerPath, postingPath);
    } catch (const CDataFileError&) {
        throw CWriterError("cannot read back " + headerPath.string());
    }
    const std::optional<pairformat::Stamp> stamp = pairformat::StampOf(headerPath, files.Postings().size);
    if (!stamp) throw CWriterError("cannot read back " + headerPath.string());
    const std::vector<PairList> found =
        CPairCollector(files, LongLists(files, minPages)).Collect(selectivity);
    std::vector<const PairList*> kept;
    for (const PairList& list : found) kept.push_back(&list);
    CSpoolFile file;
    file.Create(pairPath);
    file.Append(PairIndexBytes(files, *stamp, kept));
    for (const PairList* list : kept) file.Append(list->bytes);
    file.Close();
}
