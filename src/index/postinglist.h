// CPostingList: one character's posting list read page entry by page entry
// over a CPostingCursor: the current entry's page and position bytes, the step
// to the next entry, the jump to a far page through the list's own skip table,
// and the current entry's positions counted, read or copied. The phrase
// search, the skip tables and the writer's read-back walk lists with it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "index/postingcursor.h"

class CPostingList {
public:
    // Every kSkipSpacing-th page entry of a list, with the cursor just past its
    // header: a walk that must reach a far page jumps to the last such entry
    // before it instead of reading every header on the way.
    static constexpr uint32_t kSkipSpacing = 8;
    struct SkipState {
        CPostingCursor::Mark mark;
        uint16_t unread;  // position bytes of the entry
    };
    struct SkipTable {
        std::vector<uint32_t> pages;  // ascending, searched on their own
        std::vector<SkipState> states;
    };

    // Starts the list at byte offset of firstBlock and reads its first entry's
    // header; lastPage is the page of the list's last entry.
    void Start(const CPostingCursor::Source* source, uint32_t firstBlock, uint32_t lastPage, uint32_t offset = 0) {
        m_cursor.Start(source, firstBlock, offset);
        m_lastPage = lastPage;
        m_skips = nullptr;
        m_nextSkip = 0;
        m_nextSkipPage = kNoSkipPage;
        unsigned bytes;
        m_page = m_cursor.ReadVarint(bytes);
        m_unread = m_cursor.ReadLength();
    }

    // Lets SkipTo jump through table (built for this list; null: no jumps).
    void UseSkipTable(const SkipTable* table) {
        m_skips = table;
        m_nextSkip = 0;
        m_nextSkipPage = table && !table->pages.empty() ? table->pages[0] : kNoSkipPage;
    }
    const SkipTable* GetSkipTable() const { return m_skips; }

    // The list left its file or chain table; it reads no further.
    bool Bad() const { return m_cursor.Bad(); }
    // The page of the current entry.
    uint32_t Page() const { return m_page; }
    // The current entry's position bytes not yet read.
    uint32_t PositionBytes() const { return m_unread; }
    // The current entry is the list's last one.
    bool AtLastEntry() const { return m_page >= m_lastPage; }

    // Moves to the next entry, skipping what is left of the current one's
    // positions, and asks for the header after it ahead of time; false when
    // the current entry was the last or the list goes bad.
    [[gnu::always_inline]] bool Next() {
        if (m_page >= m_lastPage) return false;
        uint32_t delta;
        m_cursor.NextHeader(m_unread, delta, m_unread);
        m_cursor.PrefetchAhead(m_unread);
        m_page += delta;
        return !m_cursor.Bad();
    }

    // Moves to the first entry on or after target, jumping through the skip
    // table first when there is one; false when the list ends first.
    [[gnu::always_inline]] bool SkipTo(uint32_t target) {
        if (m_page < target && m_nextSkipPage < target) JumpAhead(target);
        while (m_page < target) {
            if (!Next()) return false;
        }
        return true;
    }

    // The next position number of the current entry (the distance from the
    // previous one) and its byte count; false when the entry has none left. A
    // number that runs past the entry's bytes ends it.
    [[gnu::always_inline]] bool NextPosition(uint32_t& delta, unsigned& bytes) {
        if (m_unread == 0) return false;
        delta = m_cursor.ReadVarint(bytes);
        m_unread = bytes <= m_unread ? m_unread - bytes : 0;
        return true;
    }

    // The number of positions of the current entry, counted without decoding
    // them; the entry has none left afterwards.
    uint32_t CountPositions() {
        const uint32_t count = m_cursor.CountVarints(m_unread);
        m_unread = 0;
        return count;
    }

    // Appends the current entry's position bytes, still encoded, to out; false
    // when the list ends or goes bad first.
    bool AppendPositionBytes(std::string& out) {
        const bool complete = m_cursor.AppendBytes(m_unread, out);
        m_unread = 0;
        return complete;
    }

    // One walk over the entry headers of the list at offset of firstBlock whose last entry
    // is on lastPage. It stops at the last page, at a page that does not ascend
    // or is pageLimit or more, or where the list goes bad, so that the table
    // covers the list only as far as its pages ascend.
    static SkipTable BuildSkipTable(const CPostingCursor::Source* source, uint32_t firstBlock, uint32_t lastPage,
                                    uint32_t pageLimit, uint32_t offset = 0) {
        SkipTable table;
        CPostingList list;
        list.Start(source, firstBlock, lastPage, offset);
        for (uint32_t entry = 0; !list.Bad() && list.m_page < lastPage && list.m_page < pageLimit; ++entry) {
            if (entry > 0 && entry % kSkipSpacing == 0) {
                table.pages.push_back(list.m_page);
                table.states.push_back({list.m_cursor.GetMark(), uint16_t(list.m_unread)});
            }
            uint32_t delta;
            list.m_cursor.NextHeader(list.m_unread, delta, list.m_unread);
            if (delta == 0 || list.m_page + delta < list.m_page) break;
            list.m_page += delta;
        }
        return table;
    }

private:
    // When a skip point lies between the current entry and target, puts the
    // list on the last entry of the table before target, as reading entry
    // after entry would. The point is found by galloping from the last one
    // passed: targets are mostly near.
    [[gnu::always_inline]] void JumpAhead(uint32_t target) {
        const std::vector<uint32_t>& pages = m_skips->pages;
        const size_t size = pages.size();
        size_t k = m_nextSkip;
        while (k < size && pages[k] <= m_page) ++k;
        m_nextSkip = k;
        m_nextSkipPage = k < size ? pages[k] : kNoSkipPage;
        if (m_nextSkipPage >= target) return;
        size_t low = k, step = 1;  // pages[low] < target
        while (low + step < size && pages[low + step] < target) {
            low += step;
            step *= 2;
        }
        const size_t high = std::min(size, low + step);
        const size_t beyond = size_t(
            std::lower_bound(pages.begin() + ptrdiff_t(low), pages.begin() + ptrdiff_t(high), target) - pages.begin());
        const SkipState& state = m_skips->states[beyond - 1];
        m_page = pages[beyond - 1];
        m_unread = state.unread;
        m_cursor.Restore(state.mark);
        m_nextSkip = beyond;
        m_nextSkipPage = beyond < size ? pages[beyond] : kNoSkipPage;
    }

    CPostingCursor m_cursor;
    uint32_t m_page = 0;      // page of the current entry
    uint32_t m_unread = 0;    // position bytes of the current entry not yet read
    uint32_t m_lastPage = 0;  // page of the list's last entry
    const SkipTable* m_skips = nullptr;
    size_t m_nextSkip = 0;    // no skip point before it lies beyond the current entry
    // The page of skip point m_nextSkip; a target past it may be jumped to.
    // Once the walk has stepped past that point by itself it is stale, and
    // the next jump looks further.
    static constexpr uint32_t kNoSkipPage = UINT32_MAX;
    uint32_t m_nextSkipPage = kNoSkipPage;
};
