// UTF-8 decoding and encoding for the builder's source texts. Decoding is
// strict: the source must be well-formed UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// Replaces out with the code points of bytes. False at the first malformed
// sequence (a bad lead or continuation byte, a truncated or overlong form, a
// surrogate, a value past U+10FFFF); badOffset then holds its byte offset.
bool Decode(std::string_view bytes, std::u32string& out, size_t& badOffset);

// Appends the UTF-8 form of a code point (at most U+10FFFF, no surrogate).
inline void Append(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

}  // namespace utf8
