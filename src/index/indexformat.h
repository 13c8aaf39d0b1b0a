// Layout of an index file pair ("-idx.h" header, "-idx.m" postings), shared by
// the reader (CIndex) and the collection writer so the two cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace indexformat {

// Every per-character table has one entry per character number. Numbers below
// kFirstGroupNumber are single characters; from it on they are variant groups.
inline constexpr int kCharTableSize = 100000;
inline constexpr int kFirstGroupNumber = 88065;
inline constexpr int kMaxGroups = kCharTableSize - kFirstGroupNumber;  // 11935

// Header file, all little-endian:
//   offset        bytes            content
//   0             400000           first block of each character's list (int32, -1: none)
//   400000        200000           reserved, read past
//   600000        400000           reserved, read past
//   1000000       400000           page number of each list's last entry (uint32)
//   1400000       4 per block      block chain: the block where block b's list continues
inline constexpr size_t kFirstBlockOffset = 0;
inline constexpr size_t kFirstBlockBytes = 4 * kCharTableSize;
inline constexpr size_t kReservedShortBytes = 200000;
inline constexpr size_t kReservedLongBytes = 400000;
inline constexpr size_t kLastPageOffset = kFirstBlockBytes + kReservedShortBytes + kReservedLongBytes;
inline constexpr size_t kLastPageBytes = 4 * kCharTableSize;
inline constexpr size_t kChainOffset = kLastPageOffset + kLastPageBytes;  // 1400000
inline constexpr uint32_t kNoBlock = 0xFFFFFFFF;

// Posting file: blocks of kBlockSize bytes. A list starts at byte 0 of its first
// block and after byte 4095 of block b continues at byte 0 of block chain[b].
// A list is a run of page entries in ascending page order:
//   page delta       variable-length number (the first entry's delta is its page)
//   position bytes   uint16, low byte first
//   positions        that many bytes of variable-length numbers, each the distance
//                    from the previous occurrence on the page (the first from 0)
// It ends with the entry whose page is the character's last-page entry.
inline constexpr size_t kBlockSize = 4096;
inline constexpr uint32_t kMaxPositionBytes = 0xFFFF;

// Variable-length number, 1 to 3 bytes, the bytes after the first big-endian:
//   0xxxxxxx                     0 .. 127
//   10xxxxxx b1                  0 .. 16383
//   11xxxxxx b1 b2               0 .. 4194303
inline constexpr uint32_t kMaxVarint = 0x3FFFFF;

inline constexpr unsigned kMaxVarintBytes = 3;

// How many bytes the variable-length form of value takes.
inline constexpr unsigned VarintSize(uint32_t value) { return value < 0x80 ? 1 : value < 0x4000 ? 2 : 3; }

// Writes the variable-length form of value (at most kMaxVarint) at out and
// returns the place just past it.
inline unsigned char* PutVarint(uint32_t value, unsigned char* out) {
    if (value < 0x80) {
        *out++ = static_cast<unsigned char>(value);
    } else if (value < 0x4000) {
        *out++ = static_cast<unsigned char>(0x80 | (value >> 8));
        *out++ = static_cast<unsigned char>(value & 0xFF);
    } else {
        *out++ = static_cast<unsigned char>(0xC0 | (value >> 16));
        *out++ = static_cast<unsigned char>((value >> 8) & 0xFF);
        *out++ = static_cast<unsigned char>(value & 0xFF);
    }
    return out;
}

// Appends the variable-length form of value (at most kMaxVarint) to out.
inline void AppendVarint(uint32_t value, std::string& out) {
    unsigned char bytes[kMaxVarintBytes];
    out.append(reinterpret_cast<const char*>(bytes), size_t(PutVarint(value, bytes) - bytes));
}

}  // namespace indexformat

// The index file pairs of a collection, one per part of the text.
enum class IndexScope : int {
    kFullText = 0,
    kNotes = 1,     // annotations only
    kMainText = 2,  // main text only
};

namespace indexformat {

// The index scope an int stands for; any value but 1 and 2 is the full text.
inline IndexScope IndexScopeOf(int value) {
    return value == int(IndexScope::kNotes) || value == int(IndexScope::kMainText) ? IndexScope(value)
                                                                                  : IndexScope::kFullText;
}

// File names of one scope: folder / base + suffix + "-idx.h" and "-idx.m".
inline const char* ScopeSuffix(IndexScope scope) {
    switch (scope) {
    case IndexScope::kNotes: return "_desc";
    case IndexScope::kMainText: return "_content";
    case IndexScope::kFullText: break;
    }
    return "";
}
inline constexpr const char* kHeaderExtension = "-idx.h";
inline constexpr const char* kPostingExtension = "-idx.m";

}  // namespace indexformat
