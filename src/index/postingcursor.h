// CPostingCursor: reads one character's posting list from the mapped posting
// file, following the block chain lazily. Every hop is checked once against the
// file and the chain table; a list that leaves them, or hops more often than
// the file has blocks (a cycle), goes bad and reads no further.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "index/indexformat.h"

class CPostingCursor {
public:
    // The view over the posting file and chain table the cursor walks.
    struct Source {
        const unsigned char* data = nullptr;  // mapped posting file
        size_t size = 0;
        const uint32_t* chain = nullptr;      // block chain table
        uint32_t chainCount = 0;
    };

    // A place in the list that the cursor can be put back to.
    struct Mark {
        uint32_t block;
        uint32_t hops;
        uint16_t offset;  // of the next byte within the block, 1 to 4096
    };

    // Starts at byte offset (below indexformat::kBlockSize) of firstBlock.
    void Start(const Source* source, uint32_t firstBlock, uint32_t offset = 0) {
        m_source = source;
        m_hops = 0;
        m_bad = false;
        EnterBlock(firstBlock);
        if (!m_bad && offset > 0) {
            if (m_pos + offset >= m_blockEnd) GoBad();
            else m_pos += offset;
        }
    }

    bool Bad() const { return m_bad; }

    // REQUIRES: !Bad(). The place of the next byte.
    Mark GetMark() const {
        return {m_block, uint32_t(m_hops), uint16_t(m_pos - size_t(m_block) * indexformat::kBlockSize)};
    }
    // Puts the cursor back to a mark taken on this list.
    void Restore(const Mark& mark) {
        EnterBlock(mark.block);
        m_pos += mark.offset;
        m_hops = mark.hops;
    }

    // One byte of the list; 0 once the cursor has gone bad.
    uint8_t ReadByte() {
        if (m_pos == m_blockEnd && !Hop()) return 0;
        return m_source->data[m_pos++];
    }

    // A variable-length number; bytes gets the number of bytes it took.
    uint32_t ReadVarint(unsigned& bytes) {
        if (m_blockEnd - m_pos >= 3) return ReadVarintInBlock(bytes);
        return ReadVarintAcrossBlocks(bytes);
    }

    // Skips count bytes, then reads a page entry's header: its page delta and
    // its position-data length. The same as Skip, ReadVarint and ReadLength.
    [[gnu::always_inline]] void NextHeader(uint32_t count, uint32_t& delta, uint32_t& length) {
        const size_t start = m_pos + count;
        if (!m_bad && start + 5 <= m_blockEnd) {
            m_pos = start;
            unsigned bytes;
            delta = ReadVarintInBlock(bytes);
            const unsigned char* p = m_source->data + m_pos;
            m_pos += 2;
            length = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            return;
        }
        Skip(count);
        unsigned bytes;
        delta = ReadVarint(bytes);
        length = ReadLength();
    }

    // Asks the processor to fetch the byte count bytes ahead within the
    // block (the next entry's header, while this entry is matched).
    void PrefetchAhead(uint32_t count) const {
        const size_t at = m_pos + count;
        if (at < m_blockEnd) __builtin_prefetch(m_source->data + at);
    }

    // The uint16 position-data length, low byte first.
    uint32_t ReadLength() {
        if (m_blockEnd - m_pos >= 2) {
            const unsigned char* p = m_source->data + m_pos;
            m_pos += 2;
            return uint32_t(p[0]) | uint32_t(p[1]) << 8;
        }
        const uint32_t low = ReadByte();
        return low | uint32_t(ReadByte()) << 8;
    }

    // Reads variable-length numbers until they have taken at least count bytes
    // (the last may run past them) and returns how many it read. Only their
    // lengths are looked at, so this counts the positions of an entry.
    uint32_t CountVarints(uint32_t count) {
        uint32_t numbers = 0;
        uint32_t taken = 0;
        // Whole numbers inside the block: the first byte gives the length.
        while (taken < count && m_blockEnd - m_pos >= 3) {
            const uint32_t b0 = m_source->data[m_pos];
            const uint32_t bytes = b0 < 0x80 ? 1 : b0 < 0xC0 ? 2 : 3;
            m_pos += bytes;
            taken += bytes;
            ++numbers;
        }
        while (taken < count) {
            unsigned bytes;
            ReadVarint(bytes);
            taken += bytes;
            ++numbers;
        }
        return numbers;
    }

    // Appends the next count bytes of the list to out; false when the list
    // ends (or goes bad) first.
    bool AppendBytes(uint32_t count, std::string& out) {
        while (count > 0) {
            if (m_pos == m_blockEnd && !Hop()) return false;
            const size_t run = count < m_blockEnd - m_pos ? count : m_blockEnd - m_pos;
            out.append(reinterpret_cast<const char*>(m_source->data + m_pos), run);
            m_pos += run;
            count -= uint32_t(run);
        }
        return true;
    }

    // Skips count bytes; may stop exactly at the end of a block.
    void Skip(uint32_t count) {
        if (m_bad) return;
        m_pos += count;
        while (m_pos > m_blockEnd && !m_bad) {
            const size_t excess = m_pos - m_blockEnd;
            if (!Hop()) return;
            m_pos += excess;
        }
    }

private:
    void EnterBlock(uint32_t block) {
        const size_t start = size_t(block) * indexformat::kBlockSize;
        if (block == indexformat::kNoBlock || start >= m_source->size) {
            GoBad();
            return;
        }
        m_block = block;
        m_pos = start;
        const size_t end = start + indexformat::kBlockSize;
        m_blockEnd = end < m_source->size ? end : m_source->size;
    }

    // Moves to the block the list continues in; false when there is none.
    bool Hop() {
        const bool fullBlock = m_blockEnd - size_t(m_block) * indexformat::kBlockSize == indexformat::kBlockSize;
        if (m_bad || !fullBlock || m_block >= m_source->chainCount ||
            ++m_hops > m_source->size / indexformat::kBlockSize) {
            GoBad();
            return false;
        }
        EnterBlock(m_source->chain[m_block]);
        return !m_bad;
    }

    void GoBad() {
        m_bad = true;
        m_pos = m_blockEnd = 0;
    }

    // Byte by byte, each byte hopping to the next block when needed.
    [[gnu::noinline]] uint32_t ReadVarintAcrossBlocks(unsigned& bytes) {
        const uint32_t b0 = ReadByte();
        if (b0 < 0x80) { bytes = 1; return b0; }
        if (b0 < 0xC0) { bytes = 2; return (b0 & 0x3F) << 8 | ReadByte(); }
        bytes = 3;
        const uint32_t b1 = ReadByte();
        return (b0 & 0x3F) << 16 | b1 << 8 | ReadByte();
    }

    uint32_t ReadVarintInBlock(unsigned& bytes) {
        const unsigned char* p = m_source->data + m_pos;
        const uint32_t b0 = p[0];
        if (b0 < 0x80) { bytes = 1; m_pos += 1; return b0; }
        if (b0 < 0xC0) { bytes = 2; m_pos += 2; return (b0 & 0x3F) << 8 | p[1]; }
        bytes = 3;
        m_pos += 3;
        return (b0 & 0x3F) << 16 | uint32_t(p[1]) << 8 | p[2];
    }

    const Source* m_source = nullptr;
    uint32_t m_block = 0;
    size_t m_pos = 0;       // file offset of the next byte
    size_t m_blockEnd = 0;  // file offset just past the current block's bytes
    size_t m_hops = 0;      // chain hops taken, bounded by the file's block count
    bool m_bad = false;
};
