#include "import/sourcetext.h"

#include <algorithm>

#include "base/codeconverter.h"

namespace {

constexpr std::string_view kOpenBracket = "\xEF\xBC\x88";   // （ U+FF08
constexpr std::string_view kCloseBracket = "\xEF\xBC\x89";  // ） U+FF09
constexpr std::string_view kInnerOpen = "\xE3\x80\x94";     // 〔 U+3014
constexpr std::string_view kInnerClose = "\xE3\x80\x95";    // 〕 U+3015
constexpr std::string_view kFullWidthHash = "\xEF\xBC\x83"; // ＃ U+FF03
constexpr std::string_view kFullWidthHyphen = "\xEF\xBC\x8D";  // － U+FF0D
constexpr std::string_view kPageBreakLine = "---page---";
constexpr std::string_view kNumberedCharStart = "&KR";                      // the builder's numbered character
constexpr std::string_view kFullWidthNumberedCharStart = "\xEF\xBC\x86KR";  // ＆KR

// One decoded code point and the bytes it took; length 0 at an invalid byte.
struct CodePoint {
    char32_t value = 0;
    size_t length = 0;
};

CodePoint DecodeAt(std::string_view text, size_t at) {
    CodePoint c;
    c.length = CCodeConverter::DecodeUtf8(text, at, c.value);
    return c;
}

bool IsLineBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029; }

// Control and format characters that have no place in a source line.
bool IsDropped(char32_t c) {
    return (c < 0x20 && c != U'\t') || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF;
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Appends text with control characters dropped and line breaks and tabs as spaces.
void AppendClean(std::string& out, std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const CodePoint c = DecodeAt(text, at);
        if (c.length == 0) {
            ++at;
            continue;
        }
        if (IsLineBreak(c.value) || c.value == U'\t')
            out += ' ';
        else if (!IsDropped(c.value))
            out.append(text.substr(at, c.length));
        at += c.length;
    }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Change in bracket depth over text, never going below zero.
int BracketDepthAfter(std::string_view text, int depth) {
    for (size_t at = 0; at < text.size(); ++at) {
        if (text.substr(at, kOpenBracket.size()) == kOpenBracket)
            ++depth;
        else if (text.substr(at, kCloseBracket.size()) == kCloseBracket && depth > 0)
            --depth;
    }
    return depth;
}

}  // namespace

std::string CSourceText::CleanLine(std::string_view text) {
    std::string spaced;
    AppendClean(spaced, text);
    std::string line(TrimBlanks(spaced));
    if (line.starts_with(kPageBreakLine)) {
        std::string prefix(kPageBreakLine);
        ReplaceAll(prefix, "-", kFullWidthHyphen);
        line.replace(0, kPageBreakLine.size(), prefix);
    }
    ReplaceAll(line, kNumberedCharStart, kFullWidthNumberedCharStart);
    if (!line.empty() && line.front() == '#') line.replace(0, 1, kFullWidthHash);
    return line;
}

std::vector<std::string> CSourceText::SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = 0; at <= text.size();) {
        const CodePoint c = at < text.size() ? DecodeAt(text, at) : CodePoint{U'\n', 1};
        const size_t step = c.length == 0 ? 1 : c.length;
        if (c.length != 0 && IsLineBreak(c.value)) {
            std::string line = CleanLine(text.substr(start, at - start));
            if (!line.empty()) lines.push_back(std::move(line));
            start = at + step;
        }
        at += step;
    }
    return lines;
}

std::vector<std::string> CSourceText::FoldAnnotations(const std::vector<std::string>& paragraphs) {
    std::vector<std::string> lines;
    int depth = 0;
    for (const auto& paragraph : paragraphs) {
        if (depth > 0)
            lines.back() += paragraph;
        else
            lines.push_back(paragraph);
        depth = BracketDepthAfter(paragraph, depth);
    }
    for (; depth > 0; --depth) lines.back() += kCloseBracket;
    return lines;
}

std::string CSourceText::Annotation(std::string_view note) {
    std::string text = CleanLine(note);
    if (text.empty()) return {};
    ReplaceAll(text, kOpenBracket, kInnerOpen);
    ReplaceAll(text, kCloseBracket, kInnerClose);
    return std::string(kOpenBracket) + text + std::string(kCloseBracket);
}

std::string CSourceText::FileNamePart(std::string_view name) {
    std::string clean = CleanLine(name);
    ReplaceAll(clean, "/", "\xEF\xBC\x8F");   // ／
    ReplaceAll(clean, "\\", "\xEF\xBC\xBC");  // ＼
    if (!clean.empty() && clean.front() == '.') clean.replace(0, 1, "\xEF\xBC\x8E");  // ．
    size_t at = 0;
    for (size_t chars = 0; at < clean.size() && chars < kMaxNameChars; ++chars)
        at += std::max<size_t>(1, DecodeAt(clean, at).length);
    clean.resize(at);
    return std::string(TrimBlanks(clean));
}

std::string CSourceText::ChineseNumeral(int n) {
    static const char* const kDigits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static const char* const kUnits[] = {"千", "百", "十", ""};
    if (n < 1 || n > 9999) return std::to_string(n);
    const int places[] = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
    std::string out;
    bool zeroPending = false;
    for (int i = 0; i < 4; ++i) {
        if (places[i] == 0) {
            zeroPending = !out.empty();
            continue;
        }
        if (zeroPending) out += kDigits[0];
        zeroPending = false;
        // 十 alone for ten to nineteen; 一十 inside larger numbers (一百一十).
        if (!(i == 2 && places[i] == 1 && out.empty())) out += kDigits[places[i]];
        out += kUnits[i];
    }
    return out;
}

size_t CSourceText::CountCharacters(std::string_view text) {
    return size_t(std::count_if(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte & 0xC0) != 0x80 && byte != '\n';
    }));
}
