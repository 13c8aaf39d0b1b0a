#include "build/volumereader.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "base/codeconverter.h"
#include "build/builderror.h"

namespace {

constexpr char32_t kOpenBracket = U'\uFF08';   // （
constexpr char32_t kCloseBracket = U'\uFF09';  // ）
constexpr char32_t kByteOrderMark = U'\uFEFF';
constexpr std::u32string_view kBreakLine = U"---page---";
constexpr std::u32string_view kFormFeedLine = U"\f";
constexpr std::u32string_view kHeadingMark = U"# ";
constexpr std::u32string_view kNumberedCharOpen = U"&KR";
constexpr char32_t kNumberedCharClose = U';';
constexpr size_t kMaxNumberDigits = 5;

bool IsBlank(char32_t cp) { return cp == U' ' || cp == U'\t' || cp == U'\r'; }

std::u32string_view Trim(std::u32string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsControl(char32_t cp) { return (cp < 0x20 && cp != U'\t') || cp == 0x7F; }

std::string Hex(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(cp));
    return text;
}

// The break line's label: what follows "---page---" and a blank; none when
// the line is no break line.
std::optional<std::u32string_view> BreakLabel(std::u32string_view line) {
    if (line == kFormFeedLine || line == kBreakLine) return std::u32string_view();
    if (!line.starts_with(kBreakLine) || !IsBlank(line[kBreakLine.size()])) return std::nullopt;
    return Trim(line.substr(kBreakLine.size()));
}

// The numbered character "&KR0099;" at the start of text, and its length;
// none when text does not start with one.
std::optional<std::pair<char32_t, size_t>> NumberedChar(std::u32string_view text) {
    if (!text.starts_with(kNumberedCharOpen)) return std::nullopt;
    uint32_t number = 0;
    size_t at = kNumberedCharOpen.size();
    for (; at < text.size() && at - kNumberedCharOpen.size() < kMaxNumberDigits && text[at] >= U'0' && text[at] <= U'9'; ++at)
        number = number * 10 + uint32_t(text[at] - U'0');
    if (at == kNumberedCharOpen.size() || at >= text.size() || text[at] != kNumberedCharClose || number > kMaxCharNumber)
        return std::nullopt;
    return std::make_pair(kNumberedCharBase + number, at + 1);
}

// Appends cp to the main text at the paragraph's end.
void AppendMainText(Paragraph& paragraph, char32_t cp) {
    if (paragraph.runs.empty() || paragraph.runs.back().annotation) paragraph.runs.push_back({false, {}});
    paragraph.runs.back().text.push_back(cp);
}

// Ends the annotation at the paragraph's end; an empty one is dropped.
void CloseAnnotation(Paragraph& paragraph) {
    if (paragraph.runs.back().text.empty()) paragraph.runs.pop_back();
}

}  // namespace

CVolumeReader::CVolumeReader(const std::filesystem::path& path) : m_path(path), m_lines(path) {}

CVolumeReader::Item CVolumeReader::Next(Paragraph& paragraph) {
    std::string_view line;
    while (m_lines.Next(line)) {
        const auto where = [this] { return m_path.string() + ":" + std::to_string(m_lines.LineNumber()) + ": "; };
        size_t badOffset = 0;
        if (!CCodeConverter::Utf8ToUtf32(line, m_codePoints, badOffset))
            throw CBuildError(where() + "invalid UTF-8 at byte " + std::to_string(badOffset + 1) + " of the line");
        std::u32string_view text = m_codePoints;
        if (m_lines.LineNumber() == 1 && !text.empty() && text.front() == kByteOrderMark) text.remove_prefix(1);
        try {
            const Item item = ParseLine(text, paragraph, &m_label);
            if (item != Item::kEmpty) return item;
        } catch (const CBuildError& error) {
            throw CBuildError(where() + error.what());
        }
    }
    return Item::kEnd;
}

CVolumeReader::Item CVolumeReader::ParseLine(std::u32string_view line, Paragraph& paragraph, std::u32string* label) {
    line = Trim(line);
    if (const auto breakLabel = BreakLabel(line)) {
        for (char32_t cp : *breakLabel)
            if (IsControl(cp)) throw CBuildError("control character " + Hex(cp) + " in the page label");
        if (breakLabel->size() > kMaxLabelChars)
            throw CBuildError("a page label longer than " + std::to_string(kMaxLabelChars) + " characters");
        if (label) *label = *breakLabel;
        return Item::kPageBreak;
    }
    paragraph = {};
    if (line.starts_with(kHeadingMark)) {
        paragraph.heading = true;
        line = Trim(line.substr(kHeadingMark.size()));
    }
    int depth = 0;  // brackets open inside the current annotation
    for (size_t at = 0; at < line.size(); ++at) {
        char32_t cp = line[at];
        if (IsControl(cp)) throw CBuildError("control character " + Hex(cp));
        if (const auto numbered = NumberedChar(line.substr(at))) {
            cp = numbered->first;
            at += numbered->second - 1;
        }
        if (cp == kOpenBracket && depth++ == 0) {
            paragraph.runs.push_back({true, {}});  // every annotation is a run of its own
        } else if (cp == kCloseBracket && depth > 0 && --depth == 0) {
            CloseAnnotation(paragraph);
        } else if (depth > 0) {
            paragraph.runs.back().text.push_back(cp);
        } else {
            AppendMainText(paragraph, cp);
        }
    }
    if (depth > 0) CloseAnnotation(paragraph);
    return paragraph.runs.empty() ? Item::kEmpty : Item::kParagraph;
}
