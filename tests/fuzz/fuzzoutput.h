// UTF-16 text as the seed generator lays it into inputs, in the layout that
// CFuzzInput reads back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/littleendian.h"

inline void AppendUnits(std::string& out, std::u16string_view units) {
    for (char16_t unit : units) littleendian::AppendUint16(unit, out);
}
