#include "build/utf8.h"

namespace utf8 {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool Decode(std::string_view bytes, std::u32string& out, size_t& badOffset) {
    out.clear();
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        size_t length;
        char32_t cp, minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        } else {
            badOffset = i;
            return false;
        }
        if (size - i < length) {
            badOffset = i;
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if (!IsContinuation(p[i + k])) {
                badOffset = i;
                return false;
            }
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        out.push_back(cp);
        i += length;
    }
    return true;
}

}  // namespace utf8
