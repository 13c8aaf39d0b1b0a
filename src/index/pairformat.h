// Layout of a scope's optional pair index ("-idx.pair"), written beside its
// "-idx.h" and "-idx.m" by the collection writer and read by CPairIndex. For
// pairs of list numbers whose lists are both long it holds the pair's own
// list: the positions p where the first number's list holds p and the
// second's p + 1. A scope without the file, or with one that does not match
// its index files, is searched over the character lists alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "index/postingcursor.h"

namespace pairformat {

inline constexpr const char* kExtension = "-idx.pair";

// All little-endian:
//   offset        bytes      content
//   0             8          kMagic
//   8             8          size of the header file ("-idx.h")
//   16            8          size of the posting file ("-idx.m")
//   24            8          checksum of the whole header file
//   32            4          count of numbers M
//   36            4          count of pairs N
//   40            8          checksum of bytes 0 .. 39 and of both tables
//   48            16 per     number table, ascending by number, every number
//                 number     a pair is made of:
//                              +0  int32   list number
//                              +4  uint32  0
//                              +8  uint64  checksum of its list (ListChecksum)
//   48 + 16 M     40 per     pair table, ascending by (first, second):
//                 pair         +0  int32   first list number
//                              +4  int32   second list number
//                              +8  uint64  offset of the pair's list in the data
//                              +16 uint32  bytes of the list
//                              +20 uint32  page of its last entry
//                              +24 uint32  its page entries
//                              +28 uint32  0
//                              +32 uint64  checksum of the list's bytes
//   after them    the rest   data: the pairs' lists one after the other, each
//                            in the posting-list entry format (indexformat.h).
//                            A list is read as if the data were posting blocks
//                            of indexformat::kBlockSize chained in file order.
inline constexpr char kMagic[8] = {'Q', 'R', 'L', 'P', 'A', 'I', 'R', '1'};
inline constexpr size_t kHeaderFileSizeOffset = 8;
inline constexpr size_t kPostingFileSizeOffset = 16;
inline constexpr size_t kHeaderChecksumOffset = 24;
inline constexpr size_t kNumberCountOffset = 32;
inline constexpr size_t kPairCountOffset = 36;
inline constexpr size_t kTableChecksumOffset = 40;
inline constexpr size_t kPreambleBytes = 48;
inline constexpr size_t kNumberEntryBytes = 16;
inline constexpr size_t kPairEntryBytes = 40;

// A checksum of bytes (XXH3, 64 bits), seeded so that a checksum of one part
// of a file can be continued over the next.
uint64_t Checksum(const void* bytes, size_t count, uint64_t seed = 0);

// The checksum of the list in firstBlock: of its blocks' bytes in chain
// order, up to the block whose chain entry is indexformat::kNoBlock; none when
// the chain leaves the file or its table, or hops more often than the file has blocks.
std::optional<uint64_t> ListChecksum(const CPostingCursor::Source& source, uint32_t firstBlock);

// What a pair index is stamped with: its scope's header file, by size and
// checksum of all its bytes, and the size of its posting file.
struct Stamp {
    uint64_t headerSize;
    uint64_t postingSize;
    uint64_t headerChecksum;
    bool operator==(const Stamp&) const = default;
};

// The stamp of the scope whose header file is headerPath and whose posting
// file has postingSize bytes; none when the header file cannot be read.
std::optional<Stamp> StampOf(const std::filesystem::path& headerPath, uint64_t postingSize);

}  // namespace pairformat
