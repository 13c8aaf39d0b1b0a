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

}  // namespace utf8
