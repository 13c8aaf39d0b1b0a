#include "base/codeconverter.h"

int32_t CCodeConverter::ToCharNumber(char32_t cp) {
    if (cp >= 0x3400 && cp <= 0x9FFF) return int32_t(cp - 0x3400);
    if (cp >= 0xF900 && cp <= 0xFAFF) return int32_t(cp - 0x8C00);
    if (cp >= 0x20000 && cp <= 0x2A6DF) return int32_t(cp - 0x18100);
    if (cp >= 0x2F800 && cp <= 0x2FA1F) return int32_t(cp - 0x1D220);
    if (cp >= 0x3042 && cp <= 0x30F6) return int32_t(cp + 0xF7BE);
    if (cp >= 0xE000 && cp <= 0xFFFF) return int32_t(cp + 0x48B5);
    return -1;
}

namespace {

// Decodes the code point at source without moving it; consumed gets its unit count.
CCodeConverter::Status DecodeOne(const char16_t* source, const char16_t* end, bool lenient,
                                 char32_t& cp, int& consumed) {
    cp = *source;
    consumed = 1;
    if (CCodeConverter::IsHighSurrogate(cp)) {
        if (source + 1 == end) return CCodeConverter::kSourceTruncated;
        if (CCodeConverter::IsLowSurrogate(source[1])) {
            cp = CCodeConverter::JoinSurrogates(source[0], source[1]);
            consumed = 2;
        } else if (!lenient) {
            return CCodeConverter::kIllegalSource;
        }
    } else if (CCodeConverter::IsLowSurrogate(cp) && !lenient) {
        return CCodeConverter::kIllegalSource;
    }
    return CCodeConverter::kConverted;
}

}  // namespace

CCodeConverter::Status CCodeConverter::Utf16ToUtf32(const char16_t*& source, const char16_t* sourceEnd,
                                                    char32_t*& target, char32_t* targetEnd,
                                                    bool lenient) {
    while (source < sourceEnd) {
        char32_t cp;
        int consumed;
        const Status status = DecodeOne(source, sourceEnd, lenient, cp, consumed);
        if (status != kConverted) return status;
        if (target >= targetEnd) return kTargetExhausted;
        *target++ = cp;
        source += consumed;
    }
    return kConverted;
}

void CCodeConverter::AppendUtf8(char32_t cp, std::string& bytes) {
    if (cp > 0x10FFFF) cp = 0xFFFD;
    char utf8[4];
    size_t length;
    if (cp < 0x80) {
        utf8[0] = char(cp);
        length = 1;
    } else if (cp < 0x800) {
        utf8[0] = char(0xC0 | (cp >> 6));
        utf8[1] = char(0x80 | (cp & 0x3F));
        length = 2;
    } else if (cp <= 0xFFFF) {
        utf8[0] = char(0xE0 | (cp >> 12));
        utf8[1] = char(0x80 | ((cp >> 6) & 0x3F));
        utf8[2] = char(0x80 | (cp & 0x3F));
        length = 3;
    } else {
        utf8[0] = char(0xF0 | (cp >> 18));
        utf8[1] = char(0x80 | ((cp >> 12) & 0x3F));
        utf8[2] = char(0x80 | ((cp >> 6) & 0x3F));
        utf8[3] = char(0x80 | (cp & 0x3F));
        length = 4;
    }
    bytes.append(utf8, length);  // one append: a byte at a time costs twice as much
}

std::string CCodeConverter::ToUtf8(std::u16string_view text) {
    std::string bytes;
    Utf16ToUtf8(text, bytes, true);
    return bytes;
}

std::string CCodeConverter::ToUtf8(std::u32string_view text) {
    std::string bytes;
    for (const char32_t c : text) AppendUtf8(c, bytes);
    return bytes;
}

CCodeConverter::Status CCodeConverter::Utf16ToUtf8(std::u16string_view units, std::string& bytes,
                                                   bool lenient) {
    bytes.reserve(bytes.size() + 4 * units.size());
    const char16_t* source = units.data();
    const char16_t* end = source + units.size();
    while (source < end) {
        char32_t cp;
        int consumed;
        const Status status = DecodeOne(source, end, lenient, cp, consumed);
        if (status != kConverted) return status;
        AppendUtf8(cp, bytes);
        source += consumed;
    }
    return kConverted;
}

bool CCodeConverter::Utf8ToUtf32(std::string_view bytes, std::u32string& out, size_t& badOffset) {
    out.clear();
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        char32_t cp;
        const size_t length = DecodeUtf8(bytes, at, cp);
        if (length == 0) {
            badOffset = at;
            return false;
        }
        out.push_back(cp);
        at += length;
    }
    return true;
}

bool CCodeConverter::Utf8ToUtf16(std::string_view bytes, std::u16string& units, size_t* badOffset) {
    for (size_t at = 0; at < bytes.size();) {
        char32_t cp;
        const size_t length = DecodeUtf8(bytes, at, cp);
        if (length == 0) {
            if (badOffset) *badOffset = at;
            return false;
        }
        if (cp >= 0x10000) {
            units.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            units.push_back(char16_t(cp));
        }
        at += length;
    }
    return true;
}
