// The punctuation and white space a search that ignores punctuation passes
// over: the characters an editor adds to a text, which may stand between the
// characters of a phrase in one edition and not in another.
#pragma once

#include <string>
#include <string_view>

namespace punctuation {

// A run of punctuation between two characters of a phrase is at most this many
// characters long; a longer run parts them. Line breaks do not count.
inline constexpr unsigned kMaxRun = 4;

// ASCII punctuation and white space, the Latin-1 space, guillemets and middle
// dot, general punctuation (U+2000-U+206F), the CJK symbols and punctuation
// block (U+3000-U+303F) without the marks that stand for characters
// (々〆〇〒〓, the Suzhou numerals, the kana repeat marks, 〸〹〺〻〼), the
// katakana middle dot, the vertical, compatibility and small forms, and the
// full-width and half-width punctuation (U+FF01-U+FF0F, U+FF1A-U+FF20,
// U+FF3B-U+FF40, U+FF5B-U+FF65).
constexpr bool IsIgnorable(char32_t c) {
    if (c < 0x80) return (c >= 0x09 && c <= 0x0D) || (c >= 0x20 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) ||
                         (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
    if (c < 0x2000) return c == 0xA0 || c == 0xAB || c == 0xB7 || c == 0xBB;
    if (c <= 0x206F) return true;
    if (c >= 0x3000 && c <= 0x303F)
        return c <= 0x3004 || (c >= 0x3008 && c <= 0x3011) || (c >= 0x3014 && c <= 0x301F) || c == 0x3030 ||
               c == 0x303D;
    if (c == 0x30FB) return true;
    if (c >= 0xFE10 && c <= 0xFE19) return true;
    if (c >= 0xFE30 && c <= 0xFE6B) return true;
    return (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
           (c >= 0xFF5B && c <= 0xFF65);
}

// A query as the search that ignores punctuation reads it: its punctuation
// dropped, the full-width "？" written as "?" (one character of any kind but
// punctuation), and "?", "*" and the word separators U+0020 and U+3000 kept.
// Units are taken one by one: no character of the set lies outside the basic plane.
inline std::u16string WithoutPunctuation(std::u16string_view query) {
    std::u16string kept;
    kept.reserve(query.size());
    for (const char16_t unit : query) {
        if (unit == u'\uFF1F') {
            kept.push_back(u'?');
        } else if (unit == u'?' || unit == u'*' || unit == u' ' || unit == u'\u3000' || !IsIgnorable(unit)) {
            kept.push_back(unit);
        }
    }
    return kept;
}

}  // namespace punctuation
