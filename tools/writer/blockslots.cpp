#include "writer/blockslots.h"

#include "writer/hugepageallocator.h"

CBlockSlots::~CBlockSlots() {
    for (char* chunk : m_chunks) CHugePageAllocator<char>().deallocate(chunk, kChunkBytes);
}

uint32_t CBlockSlots::Take() {
    if (!m_free.empty()) {
        const uint32_t slot = m_free.back();
        m_free.pop_back();
        return slot;
    }
    if (m_taken == m_chunks.size() * kSlotsPerChunk) {
        m_chunks.reserve(m_chunks.size() + 1);
        m_chunks.push_back(CHugePageAllocator<char>().allocate(kChunkBytes));
    }
    return m_taken++;
}

void CBlockSlots::Give(uint32_t slot) { m_free.push_back(slot); }
