// Layout of the table-of-contents file "vrn.dir": a plain run of fixed records
// in outline preorder, no header, no trailer, integers little-endian.
#pragma once

#include <cstddef>

namespace tocformat {

//   offset  bytes  content
//   0       200    name, UTF-16LE, NUL-terminated, at most 99 characters
//   200     4      level: 1 category, 2 book, 3 volume (int32)
//   204     4      docID: page number of the run's first page + 1 (int32)
//   208     4      docNo: number of pages in the run (int32)
//   212     2      curFileName: printed page number of the run's first page (uint16)
//   214     2      reserved
inline constexpr size_t kNameOffset = 0;
inline constexpr size_t kNameBytes = 200;
inline constexpr size_t kMaxNameChars = kNameBytes / 2 - 1;  // 99
inline constexpr size_t kLevelOffset = 200;
inline constexpr size_t kDocIdOffset = 204;
inline constexpr size_t kDocNoOffset = 208;
inline constexpr size_t kFirstPrintedOffset = 212;
inline constexpr size_t kRecordBytes = 216;
inline constexpr int kMaxRecords = 9999;

inline constexpr const char* kFileName = "vrn.dir";

}  // namespace tocformat
