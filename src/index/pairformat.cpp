#include "index/pairformat.h"

#include <xxhash.h>

#include "base/mappedfile.h"
#include "index/indexformat.h"

namespace pairformat {

uint64_t Checksum(const void* bytes, size_t count, uint64_t seed) { return XXH3_64bits_withSeed(bytes, count, seed); }

std::optional<uint64_t> ListChecksum(const CPostingCursor::Source& source, uint32_t firstBlock) {
    const size_t fileBlocks = (source.size + indexformat::kBlockSize - 1) / indexformat::kBlockSize;
    uint64_t checksum = 0;
    uint32_t block = firstBlock;
    for (size_t hops = 0; hops < fileBlocks; ++hops) {
        if (block >= fileBlocks || block >= source.chainCount) return std::nullopt;
        const size_t start = size_t(block) * indexformat::kBlockSize;
        const size_t end = std::min(source.size, start + indexformat::kBlockSize);
        checksum = Checksum(source.data + start, end - start, checksum);
        block = source.chain[block];
        if (block == indexformat::kNoBlock) return checksum;
    }
    return std::nullopt;
}

std::optional<Stamp> StampOf(const std::filesystem::path& headerPath, uint64_t postingSize) {
    CMappedFile header;
    if (!header.Open(headerPath)) return std::nullopt;
    return Stamp{header.Size(), postingSize, Checksum(header.Data(), header.Size())};
}

}  // namespace pairformat
