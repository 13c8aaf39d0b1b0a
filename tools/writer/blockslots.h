// CBlockSlots: room for the partial blocks of the posting lists under
// construction, one block-sized slot for each list that has entries. Slots
// come in chunks of 2 MB asked of the kernel on huge pages, so that filling
// tens of thousands of them costs few page faults; a closed list gives its
// slot back to be taken again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "index/indexformat.h"

class CBlockSlots {
public:
    static constexpr uint32_t kNoSlot = UINT32_MAX;

    CBlockSlots() = default;
    ~CBlockSlots();
    CBlockSlots(const CBlockSlots&) = delete;
    CBlockSlots& operator=(const CBlockSlots&) = delete;

    uint32_t Take();
    void Give(uint32_t slot);
    // The kBlockSize bytes of slot; valid while the slots live.
    char* Bytes(uint32_t slot) { return m_chunks[slot / kSlotsPerChunk] + size_t(slot % kSlotsPerChunk) * kSlotBytes; }

private:
    static constexpr size_t kSlotBytes = indexformat::kBlockSize;
    static constexpr size_t kChunkBytes = size_t(2) << 20;
    static constexpr uint32_t kSlotsPerChunk = uint32_t(kChunkBytes / kSlotBytes);

    std::vector<char*> m_chunks;
    std::vector<uint32_t> m_free;  // slots given back
    uint32_t m_taken = 0;          // slots ever handed out: the first free ones of the last chunk follow
};
