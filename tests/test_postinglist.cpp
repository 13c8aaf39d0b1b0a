// A posting list walked entry by entry: pages and positions through chained
// blocks, jumps through the skip table landing where a plain walk lands, and
// lists that leave their file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/littleendian.h"
#include "index/indexformat.h"
#include "index/postinglist.h"

namespace {

struct Entry {
    uint32_t page;
    std::vector<uint32_t> positions;
};

// Entries laid out as the posting file holds them, in blocks stored in
// reverse order so that every hop goes back in the file.
class LaidOutList {
public:
    explicit LaidOutList(const std::vector<Entry>& entries) : m_entries(entries) {
        std::string list;
        uint32_t previousPage = 0;
        for (const Entry& entry : entries) {
            std::string positions;
            uint32_t previous = 0;
            for (uint32_t position : entry.positions) {
                indexformat::AppendVarint(position - previous, positions);
                previous = position;
            }
            indexformat::AppendVarint(entry.page - previousPage, list);
            littleendian::AppendUint16(uint32_t(positions.size()), list);
            list += positions;
            previousPage = entry.page;
        }
        const size_t block = indexformat::kBlockSize;
        const size_t blocks = (list.size() + block - 1) / block;
        list.resize(blocks * block, '\0');
        m_bytes.resize(list.size());
        m_chain.assign(blocks, indexformat::kNoBlock);
        for (size_t k = 0; k < blocks; ++k) {
            const size_t stored = blocks - 1 - k;  // the list's k-th block
            m_bytes.replace(stored * block, block, list, k * block, block);
            if (k + 1 < blocks) m_chain[stored] = uint32_t(stored - 1);
        }
        m_first = uint32_t(blocks - 1);
        m_source = {reinterpret_cast<const unsigned char*>(m_bytes.data()), m_bytes.size(), m_chain.data(),
                    uint32_t(m_chain.size())};
    }

    CPostingList Open() const {
        CPostingList list;
        list.Start(&m_source, m_first, m_entries.back().page);
        return list;
    }
    CPostingList::SkipTable Skips(uint32_t pageLimit = UINT32_MAX) const {
        return CPostingList::BuildSkipTable(&m_source, m_first, m_entries.back().page, pageLimit);
    }
    std::vector<uint32_t>& Chain() { return m_chain; }

private:
    std::vector<Entry> m_entries;
    std::string m_bytes;
    std::vector<uint32_t> m_chain;
    uint32_t m_first = 0;
    CPostingCursor::Source m_source;
};

// 600 entries on pages 3, 6, 9, ... with 1 to 40 positions each: several blocks.
std::vector<Entry> ManyEntries() {
    std::vector<Entry> entries;
    for (uint32_t i = 0; i < 600; ++i) {
        Entry entry{3 * (i + 1), {}};
        for (uint32_t k = 0; k <= i % 40; ++k) entry.positions.push_back(k * (i % 7 + 1) * 50);
        entries.push_back(entry);
    }
    return entries;
}

std::vector<uint32_t> ReadPositions(CPostingList& list) {
    std::vector<uint32_t> positions;
    uint32_t position = 0, delta;
    unsigned bytes;
    while (list.NextPosition(delta, bytes)) positions.push_back(position += delta);
    return positions;
}

TEST(PostingList, WalksEveryEntryThroughTheChain) {
    const std::vector<Entry> entries = ManyEntries();
    const LaidOutList laid(entries);
    CPostingList list = laid.Open();
    for (size_t i = 0; i < entries.size(); ++i) {
        ASSERT_FALSE(list.Bad()) << i;
        EXPECT_EQ(list.Page(), entries[i].page);
        EXPECT_EQ(list.AtLastEntry(), i + 1 == entries.size());
        // Every third entry is left unread: the step skips its positions.
        if (i % 3 == 1) {
            EXPECT_EQ(ReadPositions(list), entries[i].positions) << entries[i].page;
        } else if (i % 3 == 2) {
            EXPECT_EQ(list.CountPositions(), entries[i].positions.size());
        }
        EXPECT_EQ(list.Next(), i + 1 < entries.size());
    }
    EXPECT_EQ(list.Page(), entries.back().page);
}

// For every target, the jump through the skip table leaves the list on the
// entry (and the positions) a plain walk reaches, whether it starts at the
// beginning or after an earlier target.
TEST(PostingList, JumpsLandWhereThePlainWalkLands) {
    const std::vector<Entry> entries = ManyEntries();
    const LaidOutList laid(entries);
    const CPostingList::SkipTable skips = laid.Skips();
    ASSERT_EQ(skips.pages.size(), (entries.size() - 1) / CPostingList::kSkipSpacing);
    CPostingList rising = laid.Open();
    rising.UseSkipTable(&skips);
    for (uint32_t target = 0; target <= entries.back().page + 1; target += 7) {
        CPostingList plain = laid.Open();
        CPostingList jumping = laid.Open();
        jumping.UseSkipTable(&skips);
        const bool reached = plain.SkipTo(target);
        EXPECT_EQ(jumping.SkipTo(target), reached) << target;
        EXPECT_EQ(rising.SkipTo(target), reached) << target;
        EXPECT_EQ(jumping.Page(), plain.Page()) << target;
        EXPECT_EQ(rising.Page(), plain.Page()) << target;
        if (!reached) continue;
        const std::vector<uint32_t> expected = ReadPositions(plain);
        EXPECT_EQ(ReadPositions(jumping), expected) << target;
        EXPECT_EQ(ReadPositions(rising), expected) << target;
    }
}

TEST(PostingList, SkipTableStopsAtThePageLimit) {
    const LaidOutList laid(ManyEntries());
    const CPostingList::SkipTable skips = laid.Skips(300);
    ASSERT_FALSE(skips.pages.empty());
    EXPECT_LT(skips.pages.back(), 300u);
    EXPECT_GE(skips.pages.back() + 3 * CPostingList::kSkipSpacing, 300u);
}

TEST(PostingList, CopiesAnEntrysPositionBytes) {
    const LaidOutList laid({{5, {1, 200, 70000}}, {9, {4}}});
    CPostingList list = laid.Open();
    std::string bytes;
    ASSERT_TRUE(list.AppendPositionBytes(bytes));
    std::string expected;
    for (uint32_t delta : {1u, 199u, 69800u}) indexformat::AppendVarint(delta, expected);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(list.PositionBytes(), 0u);
    ASSERT_TRUE(list.Next());
    EXPECT_EQ(list.Page(), 9u);
    EXPECT_FALSE(list.Next());
}

// A chain that points past the file, or nowhere, ends the walk.
TEST(PostingList, AListLeavingItsFileGoesBad) {
    for (const uint32_t wrongNext : {uint32_t(1000), indexformat::kNoBlock}) {
        LaidOutList laid(ManyEntries());
        const size_t blocks = laid.Chain().size();
        ASSERT_GT(blocks, 2u);
        laid.Chain()[blocks - 1] = wrongNext;  // the list's first block
        CPostingList list = laid.Open();
        size_t steps = 0;
        while (list.Next()) ++steps;
        EXPECT_TRUE(list.Bad()) << wrongNext;
        EXPECT_FALSE(list.SkipTo(UINT32_MAX));
        EXPECT_LT(steps, 600u);
    }
    // A block that continues in itself is read at most as often as the file
    // has blocks: the walk ends.
    LaidOutList cycle(ManyEntries());
    const size_t blocks = cycle.Chain().size();
    cycle.Chain()[blocks - 1] = uint32_t(blocks - 1);
    CPostingList list = cycle.Open();
    size_t steps = 0;
    while (list.Next()) ++steps;
    EXPECT_LT(steps, 600u * blocks);
}

}  // namespace
