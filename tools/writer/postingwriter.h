// CPostingWriter: builds the index file pair of one search scope while pages
// arrive. Occurrences are gathered in a batch of bounded size, which is sorted
// by character (a counting sort, stable, so pages and positions keep their
// order) and appended list by list. Each list keeps its bytes until a 4096-byte
// block is full, and the block goes to the posting file at once, so memory
// holds the batch and at most one partial block per list. A full batch may be
// appended on a thread of its own while the next one gathers. The lists of the
// variant groups are merged from their members' finished lists at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "index/postinglist.h"
#include "writer/blockslots.h"
#include "writer/hugepageallocator.h"
#include "writer/spoolfile.h"

class CPostingWriter {
public:
    // Creates the posting file at postingPath. bBackground: full batches are
    // appended on a thread of their own; a fault there is raised by the AddPage
    // that hands over the next batch, or by Finish.
    explicit CPostingWriter(const std::filesystem::path& postingPath, bool bBackground = false);
    ~CPostingWriter();
    CPostingWriter(const CPostingWriter&) = delete;
    CPostingWriter& operator=(const CPostingWriter&) = delete;

    // Adds the occurrences of page, which must follow every page added before.
    // keys: character number << 32 | position, in any order. Raises
    // CWriterError, before anything is added, when an entry would exceed the
    // format: a page number or position beyond 4194303, or position data of one
    // character over 65535 bytes.
    void AddPage(uint32_t page, std::span<const uint64_t> keys);

    // Closes the character lists, adds the list of group g under 88065 + g as
    // the union of the lists of its members (character numbers), and closes the
    // posting file. scatterBlocks numbers the blocks backwards, so that every
    // chained list continues in a block before its current one.
    // REQUIRES: called once, after the last AddPage.
    void Finish(const std::vector<std::vector<int32_t>>& groupMembers, bool scatterBlocks);

    // Writes the header file. REQUIRES: Finish.
    void WriteHeader(const std::filesystem::path& path) const;
    const std::filesystem::path& PostingPath() const { return m_postings.Path(); }

private:
    using Keys = std::vector<uint64_t, CHugePageAllocator<uint64_t>>;

    // A posting list under construction.
    struct List {
        uint32_t slot = CBlockSlots::kNoSlot;  // holds the bytes not yet in a block
        uint16_t used = 0;                     // of the slot, fewer than a block's
        int32_t firstBlock = -1;      // -1 until the first block is written
        uint32_t lastBlock = 0;       // block holding the list's latest full chunk
        uint32_t lastPage = 0;        // page of the latest entry
        bool hasEntries = false;
    };

    void CheckPage(uint32_t page, std::span<const uint64_t> keys);
    static void CheckKeys(uint32_t page, std::span<const uint64_t> keys);
    void FlushBatch();
    void WaitForAppend();
    void AppendBatch();
    void AppendEntry(List& list, uint32_t page, std::span<const uint64_t> keys);
    static uint32_t PageDelta(const List& list, uint32_t page);
    static unsigned char* PutHeader(uint32_t pageDelta, size_t positionBytes, unsigned char* out);
    void AppendBytes(List& list, const char* bytes, size_t count);
    void WriteBlock(List& list, std::string_view bytes);
    void CloseList(List& list);
    // The members' finished lists, read back while their group's list is merged.
    void MergeWalks(List& group, std::vector<CPostingList>& walks);
    void CopyEntriesBefore(List& group, std::vector<CPostingList>& walks, size_t w, uint32_t limit);
    void MergeEntry(List& group, std::vector<CPostingList>& walks, uint32_t page);
    static void ReadPositions(CPostingList& walk, std::vector<uint64_t>& positions);
    void CopyPositions(List& list, CPostingList& walk);
    void ReverseBlocks();

    const bool m_bBackground;
    CSpoolFile m_postings;
    std::vector<List> m_lists;      // one per character number
    CBlockSlots m_slots;
    std::vector<uint32_t> m_chain;  // per block: the block its list continues in
    Keys m_batch;  // number << 44 | (page - m_batchFirstPage) << 22 | position
    uint32_t m_batchFirstPage = 0;
    Keys m_appending;  // the batch handed over, in the same form
    uint32_t m_appendingFirstPage = 0;
    std::thread m_appender;             // appends m_appending when in the background
    std::exception_ptr m_appendError;
    int64_t m_lastPage = -1;        // the page added last
    Keys m_sorted;  // scratch: the batch sorted by number
    std::vector<uint32_t> m_counts; // scratch: the counting sort's buckets
    std::vector<uint64_t> m_positions;  // scratch: the merged positions of one page
    std::vector<unsigned char> m_entry;  // scratch: one entry being encoded
    std::string m_copied;                // scratch: one entry copied from a member's list
};
