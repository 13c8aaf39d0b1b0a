// CHitPageText: the plain text of a hit page's text cell and where each marked
// match stands in it. Tags are dropped, breaks become one space and an
// annotation is set off by 〔 and 〕.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "docstore/markedmatch.h"

class CHitPageText {
public:
    struct Span {
        size_t begin = 0;  // in Text(), code points
        size_t end = 0;
        int anchor = 0;
    };

    static constexpr char32_t kNoteOpen = U'〔';
    static constexpr char32_t kNoteClose = U'〕';

    // cell is the rendered text cell; matches the marks the renderer made in it.
    CHitPageText(std::string_view cell, const std::vector<MarkedMatch>& matches);

    const std::u32string& Text() const { return m_text; }
    // The matches whose anchors stand in the cell, in text order.
    const std::vector<Span>& Spans() const { return m_spans; }

private:
    void Parse(std::string_view cell);
    void Tag(std::string_view tag);
    void Append(char32_t c);
    void Break();

    std::u32string m_text;
    std::vector<Span> m_spans;
    std::vector<size_t> m_anchorAt;  // by anchor number; npos until seen
    std::vector<size_t> m_markEnd;   // by anchor number; npos until its mark closes
    // Open <b> tags: the anchor of a mark, -1 for a tag of the text itself, -2
    // for a mark opened with no anchor before it (its anchor follows inside).
    std::vector<int> m_openBold;
    int m_lastAnchor = -1;  // the anchor just before, with nothing in between
    bool m_inNote = false;
};
