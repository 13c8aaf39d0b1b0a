// Little-endian field writers: the seed generator builds inputs with them in
// the layout that CFuzzInput reads back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline void AppendUint16(std::string& out, uint32_t value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

inline void AppendUint32(std::string& out, uint32_t value) {
    AppendUint16(out, value & 0xFFFF);
    AppendUint16(out, value >> 16);
}

inline void AppendUnits(std::string& out, std::u16string_view units) {
    for (char16_t unit : units) AppendUint16(out, unit);
}
