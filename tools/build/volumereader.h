// CVolumeReader: reads one volume file of the source as paragraphs and forced
// page breaks. Lines are paragraphs; a line starting with "# " is a heading; a
// line holding only "\f" or "---page---" is a page break, and "---page---"
// followed by a blank and a label is a break to a page that carries that label
// (an edition's leaf, "1a"); empty lines are skipped. Inside a line, text
// between full-width brackets （ and ） is an annotation; brackets nested inside
// an annotation are text of it, a ） with no open annotation is main text, and
// an annotation still open at the end of the line ends there. U+2028 is a line
// break inside the paragraph, and "&KR0099;" a character without a code point
// (see paragraph.h).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "build/linereader.h"
#include "build/paragraph.h"

class CVolumeReader {
public:
    // kEmpty: a line with nothing to lay out; Next never returns it.
    enum class Item { kEnd, kEmpty, kParagraph, kPageBreak };

    // Raises CBuildError when the file cannot be opened.
    explicit CVolumeReader(const std::filesystem::path& path);

    // Longest page label, in characters.
    static constexpr size_t kMaxLabelChars = 32;

    // The next paragraph (into paragraph) or page break. Raises CBuildError,
    // naming file and line, for text that is not UTF-8 or holds a control character.
    Item Next(Paragraph& paragraph);
    uint64_t BytesRead() const { return m_lines.BytesRead(); }
    // The label of the page the last kPageBreak starts; empty for none.
    const std::u32string& PageLabel() const { return m_label; }

    // What one line (its code points, without the line end) holds; a page
    // break's label goes to label when it is given. Raises CBuildError for a
    // control character or a label longer than kMaxLabelChars.
    static Item ParseLine(std::u32string_view line, Paragraph& paragraph, std::u32string* label = nullptr);

private:
    std::filesystem::path m_path;
    CLineReader m_lines;
    std::u32string m_codePoints;
    std::u32string m_label;
};
