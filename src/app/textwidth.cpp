#include "app/textwidth.h"

#include <algorithm>
#include <iterator>

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth code points, in ascending order.
constexpr CodeRange kWideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// The code point starting at text[i] and the number of units it takes.
char32_t CodePointAt(QStringView text, qsizetype i, qsizetype& units) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        units = 2;
        return QChar::surrogateToUcs4(unit, text[i + 1].unicode());
    }
    units = 1;
    return unit;
}

}  // namespace

int CTextWidth::CharWidth(char32_t codePoint) {
    const auto after = std::upper_bound(std::begin(kWideRanges), std::end(kWideRanges), codePoint,
                                        [](char32_t c, const CodeRange& range) { return c < range.first; });
    if (after == std::begin(kWideRanges)) return 1;
    return codePoint <= std::prev(after)->last ? 2 : 1;
}

qsizetype CTextWidth::Width(QStringView text) {
    qsizetype width = 0;
    for (qsizetype i = 0, units = 0; i < text.size(); i += units) width += CharWidth(CodePointAt(text, i, units));
    return width;
}

QString CTextWidth::Cut(QStringView text, qsizetype limit) {
    qsizetype width = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype units = 0;
        const int charWidth = CharWidth(CodePointAt(text, i, units));
        if (width + charWidth > limit) break;
        width += charWidth;
        i += units;
    }
    return text.first(i).toString();
}
