// CCodeConverter: the dense character number under which a code point is found
// in the index tables, and the UTF-16 conversions the search and the page
// rendering need. Stateless; every operation is static.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CCodeConverter {
public:
    // Outcome of a conversion.
    enum Status : unsigned {
        kConverted = 0,      // all input converted
        kSourceTruncated = 1,// input ends with a high surrogate; stopped before it
        kTargetExhausted = 2,// no room left in the target (UTF-32 only)
        kIllegalSource = 3,  // unpaired surrogate in strict mode; stopped before it
    };

    CCodeConverter() = delete;

    // The character number of a code point (0 to 84148), or -1 when the code
    // point is not indexed.
    static int32_t ToCharNumber(char32_t codePoint);

    // Converts [sourceCursor, sourceEnd) into code points at
    // [targetCursor, targetEnd), advancing both cursors past what was
    // converted. Lenient mode takes an unpaired surrogate as its own code point.
    static Status Utf16ToUtf32(const char16_t*& sourceCursor, const char16_t* sourceEnd,
                               char32_t*& targetCursor, char32_t* targetEnd, bool lenient);

    // Appends the UTF-8 encoding of units to bytes.
    static Status Utf16ToUtf8(std::u16string_view units, std::string& bytes, bool lenient);

    // Appends the UTF-8 form of one code point; one past U+10FFFF is written as U+FFFD.
    static void AppendUtf8(char32_t codePoint, std::string& bytes);

    // text in UTF-8, leniently: a lone surrogate is encoded as its own code point.
    static std::string ToUtf8(std::u16string_view text);
    static std::string ToUtf8(std::u32string_view text);

    // The one strict UTF-8 decoder: the sequence at bytes[at] (at < size) goes
    // to codePoint and its length in bytes is returned; 0 when it is malformed
    // (a bad lead or continuation byte, a form cut off by the end of bytes, an
    // overlong form, a surrogate, a value past U+10FFFF). Never reads past bytes.
    static size_t DecodeUtf8(std::string_view bytes, size_t at, char32_t& codePoint) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
        const unsigned char lead = p[0];
        if (lead < 0x80) {
            codePoint = lead;
            return 1;
        }
        size_t length;
        char32_t value, minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, value = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, value = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, value = lead & 0x07, minimum = 0x10000;
        } else {
            return 0;
        }
        if (bytes.size() - at < length) return 0;
        for (size_t k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80) return 0;
            value = value << 6 | (p[k] & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
        codePoint = value;
        return length;
    }

    // Replaces out with the code points of bytes. False at the first malformed
    // sequence; out then holds what came before it and badOffset its byte offset.
    static bool Utf8ToUtf32(std::string_view bytes, std::u32string& out, size_t& badOffset);

    // Appends the UTF-16 form of bytes to units. False at the first malformed
    // sequence; units then holds what came before it and badOffset (when
    // given) its byte offset.
    static bool Utf8ToUtf16(std::string_view bytes, std::u16string& units, size_t* badOffset = nullptr);

    static bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
    static bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
    static char32_t JoinSurrogates(char16_t high, char16_t low) {
        return (char32_t(high) - 0xD800) * 0x400 + (char32_t(low) - 0xDC00) + 0x10000;
    }
};
