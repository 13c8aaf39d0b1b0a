// Character numbers and the UTF-16 conversions.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/codeconverter.h"

namespace {

struct CharNumberCase {
    char32_t codePoint;
    int32_t number;
};

// Each range edge, the overlap of the compatibility ideographs with the
// private-use row, and characters that must stay unindexed.
TEST(CodeConverter, CharacterNumbersAtRangeEdges) {
    const CharNumberCase cases[] = {
        {0x33FF, -1},     {0x3400, 0},      {0x4E00, 6656},   {0x9FFF, 27647},  {0xA000, -1},
        {0x3041, -1},     {0x3042, 75776},  {0x30F6, 75956},  {0x30F7, -1},     {0xF8FF, 82356},
        {0xE000, 75957},  {0xF900, 27904},  {0xFAFF, 28415},  {0xFB00, 82869},
        {0xFF1F, 83924},  {0xFFFF, 84148},  {0x3000, -1},     {0x0041, -1},     {0x20000, 32512},
        {0x2A6DF, 75231}, {0x2A6E0, -1},    {0x2F800, 75232}, {0x2FA1F, 75775}, {0x2FA20, -1},
        {0xAC00, -1},     {0xD800, -1},     {0x1F600, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(CCodeConverter::ToCharNumber(c.codePoint), c.number) << std::hex << uint32_t(c.codePoint);
}

TEST(CodeConverter, Utf16ToUtf32JoinsPairsAndReportsStops) {
    const char16_t pair[] = {0xD840, 0xDC00};
    const char16_t* source = pair;
    char32_t target[2];
    char32_t* cursor = target;
    EXPECT_EQ(CCodeConverter::Utf16ToUtf32(source, pair + 2, cursor, target + 2, true), CCodeConverter::kConverted);
    EXPECT_EQ(cursor - target, 1);
    EXPECT_EQ(target[0], char32_t(0x20000));
    EXPECT_EQ(CCodeConverter::ToCharNumber(target[0]), 32512);

    // A high surrogate at the end stops before it.
    const char16_t tail[] = {u'a', 0xD800};
    source = tail;
    cursor = target;
    EXPECT_EQ(CCodeConverter::Utf16ToUtf32(source, tail + 2, cursor, target + 2, true), CCodeConverter::kSourceTruncated);
    EXPECT_EQ(source, tail + 1);
    EXPECT_EQ(cursor, target + 1);

    // A full target stops before the unit.
    const char16_t three[] = {u'a', u'b', u'c'};
    source = three;
    cursor = target;
    EXPECT_EQ(CCodeConverter::Utf16ToUtf32(source, three + 3, cursor, target + 2, false), CCodeConverter::kTargetExhausted);
    EXPECT_EQ(source, three + 2);

    // An unpaired surrogate: its own code point when lenient, a stop when strict.
    const char16_t lone[] = {0xDC00, u'a'};
    source = lone;
    cursor = target;
    EXPECT_EQ(CCodeConverter::Utf16ToUtf32(source, lone + 2, cursor, target + 2, true), CCodeConverter::kConverted);
    EXPECT_EQ(target[0], char32_t(0xDC00));
    source = lone;
    cursor = target;
    EXPECT_EQ(CCodeConverter::Utf16ToUtf32(source, lone + 2, cursor, target + 2, false), CCodeConverter::kIllegalSource);
    EXPECT_EQ(source, lone);
}

struct Utf8Case {
    std::u16string units;
    bool lenient;
    std::string bytes;
    CCodeConverter::Status status;
};

TEST(CodeConverter, Utf16ToUtf8) {
    const Utf8Case cases[] = {
        {u"abc", true, "abc", CCodeConverter::kConverted},
        {u"\u4E00", true, "\xE4\xB8\x80", CCodeConverter::kConverted},
        {u"\u00E9\u07FF", true, "\xC3\xA9\xDF\xBF", CCodeConverter::kConverted},
        {std::u16string{0xD840, 0xDC00}, true, "\xF0\xA0\x80\x80", CCodeConverter::kConverted},
        {std::u16string{0xD800, u'a'}, true, "\xED\xA0\x80" "a", CCodeConverter::kConverted},
        {std::u16string{u'x', 0xD800, u'a'}, false, "x", CCodeConverter::kIllegalSource},
        {std::u16string{u'x', 0xD800}, true, "x", CCodeConverter::kSourceTruncated},
        {u"", true, "", CCodeConverter::kConverted},
    };
    for (const auto& c : cases) {
        std::string bytes = "";
        EXPECT_EQ(CCodeConverter::Utf16ToUtf8(c.units, bytes, c.lenient), c.status);
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(CodeConverter, Utf16ToUtf8Appends) {
    std::string bytes = "<";
    CCodeConverter::Utf16ToUtf8(u"天", bytes, true);
    EXPECT_EQ(bytes, "<\xE5\xA4\xA9");
}

TEST(CodeConverter, Utf8ToUtf16AcceptsOnlyWellFormedInput) {
    std::u16string units;
    EXPECT_TRUE(CCodeConverter::Utf8ToUtf16("a\xE5\xA4\xA9\xF0\xA0\x80\x80", units));
    EXPECT_EQ(units, (std::u16string{u'a', u'天', 0xD840, 0xDC00}));
}

struct MalformedCase {
    std::string bytes;
    size_t badOffset;
    std::u32string before;  // what is decoded ahead of the fault
};

// Each kind of fault, found after some good text so that its offset counts.
TEST(CodeConverter, MalformedUtf8ReportsTheFaultsOffset) {
    const MalformedCase cases[] = {
        {"\x80", 0, U""},                        // continuation byte as lead
        {"ab\xC0\xAF", 2, U"ab"},               // overlong two-byte form
        {"\xE5\xA4\xA9\xE0\x80\x80", 3, U"天"}, // overlong three-byte form
        {"a\xF0\x80\x80\x80", 1, U"a"},         // overlong four-byte form
        {"a\xE5\xA4", 1, U"a"},                 // cut off by the end
        {"\xF0\xA0\x80", 0, U""},              // cut off by the end
        {"x\xED\xA0\x80", 1, U"x"},             // surrogate
        {"\xF4\x90\x80\x80", 0, U""},         // past U+10FFFF
        {"abc\xFF", 3, U"abc"},                 // no lead byte at all
        {"\xE5\x41\xA9", 0, U""},              // bad continuation byte
    };
    for (const MalformedCase& c : cases) {
        std::u32string out;
        size_t bad = 99;
        EXPECT_FALSE(CCodeConverter::Utf8ToUtf32(c.bytes, out, bad)) << c.bytes;
        EXPECT_EQ(bad, c.badOffset) << c.bytes;
        EXPECT_EQ(out, c.before) << c.bytes;
        std::u16string units;
        bad = 99;
        EXPECT_FALSE(CCodeConverter::Utf8ToUtf16(c.bytes, units, &bad)) << c.bytes;
        EXPECT_EQ(bad, c.badOffset) << c.bytes;
        EXPECT_EQ(units.size(), c.before.size()) << c.bytes;
    }
}

// A sequence cut off by the end of the view is a fault even when the bytes
// past the view would complete it.
TEST(CodeConverter, DecodingStaysInsideTheView) {
    const std::string whole = "\xE5\xA4\xA9";
    char32_t cp = 0;
    EXPECT_EQ(CCodeConverter::DecodeUtf8(std::string_view(whole).substr(0, 2), 0, cp), 0u);
    EXPECT_EQ(CCodeConverter::DecodeUtf8(whole, 0, cp), 3u);
    EXPECT_EQ(cp, U'天');
    std::u32string out;
    size_t bad = 0;
    EXPECT_TRUE(CCodeConverter::Utf8ToUtf32("", out, bad));
    EXPECT_TRUE(out.empty());
}

}  // namespace
