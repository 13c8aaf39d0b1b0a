// Little-endian integer coding: every data file stores its integers low byte
// first. The readers load fields from raw bytes with these, the writers append
// them, so both sides use one definition of the byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace littleendian {

inline uint16_t LoadUint16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

inline uint32_t LoadUint32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline int32_t LoadInt32(const unsigned char* p) { return int32_t(LoadUint32(p)); }

inline uint64_t LoadUint64(const unsigned char* p) { return uint64_t(LoadUint32(p)) | uint64_t(LoadUint32(p + 4)) << 32; }

inline uint32_t LoadUint32(std::string_view bytes, size_t at) {
    return LoadUint32(reinterpret_cast<const unsigned char*>(bytes.data()) + at);
}

inline void StoreUint16(uint32_t value, unsigned char* p) {
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

inline void StoreUint32(uint32_t value, unsigned char* p) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

inline void AppendUint16(uint32_t value, std::string& out) {
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

inline void AppendUint32(uint32_t value, std::string& out) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(char((value >> shift) & 0xFF));
}

inline void AppendUint64(uint64_t value, std::string& out) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(char((value >> shift) & 0xFF));
}

}  // namespace littleendian
