// Layout of the table-of-contents file "vrn.dir": a plain run of fixed records
// in outline preorder, no header, no trailer, integers little-endian. The
// collection writer encodes TocRecord with it and the table-of-contents model
// decodes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/littleendian.h"

// One record of the table of contents.
struct TocRecord {
    std::u16string name;       // at most tocformat::kMaxNameChars UTF-16 units
    int32_t level = 0;         // 1 category, 2 book, 3 volume
    int32_t docID = 0;         // page number of the run's first page + 1
    int32_t docNo = 0;         // pages in the run
    uint16_t curFileName = 0;  // printed page number of the run's first page
};

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

// The record at p (kRecordBytes bytes); its name ends at the first NUL unit.
inline TocRecord DecodeRecord(const unsigned char* p) {
    TocRecord record;
    for (size_t i = 0; i + 1 < kNameBytes; i += 2) {
        const char16_t unit = littleendian::LoadUint16(p + kNameOffset + i);
        if (unit == 0) break;
        record.name.push_back(unit);
    }
    record.level = littleendian::LoadInt32(p + kLevelOffset);
    record.docID = littleendian::LoadInt32(p + kDocIdOffset);
    record.docNo = littleendian::LoadInt32(p + kDocNoOffset);
    record.curFileName = littleendian::LoadUint16(p + kFirstPrintedOffset);
    return record;
}

// Appends record's kRecordBytes bytes; the name is cut to kMaxNameChars units.
inline void AppendRecord(const TocRecord& record, std::string& out) {
    const size_t start = out.size();
    out.resize(start + kRecordBytes, '\0');
    auto* p = reinterpret_cast<unsigned char*>(out.data()) + start;
    for (size_t i = 0; i < record.name.size() && i < kMaxNameChars; ++i)
        littleendian::StoreUint16(record.name[i], p + kNameOffset + 2 * i);
    littleendian::StoreUint32(uint32_t(record.level), p + kLevelOffset);
    littleendian::StoreUint32(uint32_t(record.docID), p + kDocIdOffset);
    littleendian::StoreUint32(uint32_t(record.docNo), p + kDocNoOffset);
    littleendian::StoreUint16(record.curFileName, p + kFirstPrintedOffset);
}

}  // namespace tocformat
