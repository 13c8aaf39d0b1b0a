// CCodeConverter: the dense character number under which a code point is found
// in the index tables, and the UTF-16 conversions the search and the page
// rendering need. Stateless; every operation is static.
#pragma once

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

    // Decodes UTF-8 into UTF-16. Returns false on malformed input (bad lead
    // or continuation bytes, overlong forms, surrogates, values past U+10FFFF);
    // units then holds what was decoded before the fault.
    static bool Utf8ToUtf16(std::string_view bytes, std::u16string& units);

    static bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
    static bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
    static char32_t JoinSurrogates(char16_t high, char16_t low) {
        return (char32_t(high) - 0xD800) * 0x400 + (char32_t(low) - 0xDC00) + 0x10000;
    }
};
