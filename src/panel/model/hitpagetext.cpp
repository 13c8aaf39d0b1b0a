#include "panel/model/hitpagetext.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "base/codeconverter.h"
#include "docstore/htmlentity.h"
#include "docstore/pagetemplate.h"

namespace {

constexpr size_t kUnseen = std::string_view::npos;
constexpr std::string_view kAnchorStart = "<a name=\"";
constexpr int kNotAMark = -1;
constexpr int kMarkWithoutAnchor = -2;

// The tags after which a reader sees a new line.
bool IsBreakTag(std::string_view tag) {
    std::string name;
    for (size_t i = 1; i < tag.size(); ++i) {
        const char c = tag[i];
        if (c == '/' && name.empty()) continue;
        if (!std::isalnum(static_cast<unsigned char>(c))) break;
        name.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    }
    static constexpr std::string_view kBreaks[] = {"p", "br", "h1", "h2", "h3", "h4", "h5", "h6", "div", "li", "tr", "td"};
    return std::find(std::begin(kBreaks), std::end(kBreaks), name) != std::end(kBreaks);
}

// The number of an anchor tag as the renderer writes it (at least four
// digits, nothing else in the tag); -1 for any other, such as a page's own.
int RendererAnchor(std::string_view tag) {
    constexpr std::string_view kAnchorEnd = "\">";
    constexpr size_t kMinDigits = 4;
    if (tag.size() < kAnchorStart.size() + kMinDigits + kAnchorEnd.size() || !tag.ends_with(kAnchorEnd)) return -1;
    const std::string_view digits = tag.substr(kAnchorStart.size(), tag.size() - kAnchorStart.size() - kAnchorEnd.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return -1;
    int number = -1;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);  // too large: stays -1
    return number;
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r'; }

}  // namespace

CHitPageText::CHitPageText(std::string_view cell, const std::vector<MarkedMatch>& matches) {
    size_t anchors = 0;
    for (const MarkedMatch& m : matches) anchors = std::max(anchors, size_t(m.firstAnchor) + size_t(m.anchorCount));
    m_anchorAt.assign(anchors, kUnseen);
    m_markEnd.assign(anchors, kUnseen);
    Parse(cell);
    while (!m_text.empty() && m_text.back() == U' ') m_text.pop_back();
    for (const MarkedMatch& m : matches) {
        if (m.anchorCount < 1) continue;
        const size_t begin = m_anchorAt[size_t(m.firstAnchor)];
        const size_t end = m_markEnd[size_t(m.firstAnchor + m.anchorCount - 1)];
        if (begin == kUnseen || end == kUnseen || end < begin) continue;
        m_spans.push_back({begin, std::min(end, m_text.size()), m.firstAnchor});
    }
    std::stable_sort(m_spans.begin(), m_spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
}

void CHitPageText::Parse(std::string_view cell) {
    for (size_t at = 0; at < cell.size();) {
        if (cell[at] == '<') {
            const size_t close = cell.find('>', at);
            if (close == std::string_view::npos) return;  // a cut-off tag ends the text
            Tag(cell.substr(at, close + 1 - at));
            at = close + 1;
            continue;
        }
        if (const htmlentity::Entity* entity = htmlentity::EntityAt(cell.substr(at))) {
            Append(entity->value);
            at += entity->name.size();
            continue;
        }
        char32_t c = 0;
        const size_t length = CCodeConverter::DecodeUtf8(cell, at, c);
        Append(length ? c : U'\uFFFD');
        at += length ? length : 1;
    }
}

void CHitPageText::Tag(std::string_view tag) {
    using namespace pagetemplate;
    if (tag == kMarkOpenTag) {
        m_openBold.push_back(m_lastAnchor >= 0 ? m_lastAnchor : kMarkWithoutAnchor);
        m_lastAnchor = -1;
    } else if (tag.starts_with(kAnchorStart)) {
        const int number = RendererAnchor(tag);
        if (number < 0 || size_t(number) >= m_anchorAt.size()) return;  // not one of the renderer's
        m_anchorAt[size_t(number)] = m_text.size();
        if (!m_openBold.empty() && m_openBold.back() == kMarkWithoutAnchor) {
            m_openBold.back() = number;  // the anchor of a "?" run stands inside its mark
        } else {
            m_lastAnchor = number;
        }
    } else if (tag == "</a>") {
        // closes an anchor; the mark that follows still belongs to it
    } else if (tag == kMarkCloseTag) {
        if (m_openBold.empty()) return;
        const int anchor = m_openBold.back();
        m_openBold.pop_back();
        if (anchor >= 0) m_markEnd[size_t(anchor)] = m_text.size();
        m_lastAnchor = -1;
    } else if (tag.starts_with("<b>") || tag.starts_with("<b ") || tag.starts_with("<B")) {
        m_openBold.push_back(kNotAMark);
        m_lastAnchor = -1;
    } else if (tag == kAnnotationTag) {
        Append(kNoteOpen);
        m_inNote = true;
    } else if (tag == kAnnotationCloseTag && m_inNote) {
        Append(kNoteClose);
        m_inNote = false;
    } else if (IsBreakTag(tag)) {
        Break();
    }
}

void CHitPageText::Append(char32_t c) {
    if (IsSpace(c)) {
        Break();
        return;
    }
    m_text.push_back(c);
    m_lastAnchor = -1;
}

void CHitPageText::Break() {
    if (!m_text.empty() && m_text.back() != U' ') m_text.push_back(U' ');
    m_lastAnchor = -1;
}
