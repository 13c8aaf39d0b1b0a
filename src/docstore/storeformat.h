// Layout of the document store ("-fl.h" page table, "-fl.cnt" page content),
// shared by CFileList and the collection writer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace storeformat {

// Page table file, all integers 32-bit little-endian:
//   offset   bytes      content
//   0        4          header word (shown first in the page label)
//   4        4          record name width W
//   8        260        header text, not interpreted
//   268      W + 8      one record per page, in page-number order
// Record: name (W bytes, NUL-terminated within the field), end offset in the
// content file (uint32, just past the page's last byte), length (uint32).
inline constexpr size_t kHeaderWordOffset = 0;
inline constexpr size_t kNameWidthOffset = 4;
inline constexpr size_t kHeaderTextOffset = 8;
inline constexpr size_t kHeaderTextBytes = 260;
inline constexpr size_t kRecordsOffset = kHeaderTextOffset + kHeaderTextBytes;  // 268
inline constexpr size_t kRecordTailBytes = 4 + 4;
inline constexpr int kMinNameWidth = 1;
inline constexpr int kMaxNameWidth = 260;

// Content file: every stored byte is the page byte XOR kMask.
inline constexpr unsigned char kMask = 0x5A;

// Every data file of a collection, the index files too, is named after one base.
inline constexpr const char* kBaseName = "Index";

inline constexpr const char* kTableExtension = "-fl.h";
inline constexpr const char* kContentExtension = "-fl.cnt";

}  // namespace storeformat
