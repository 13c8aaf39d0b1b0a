#include "import/kanripojuan.h"

#include <fstream>
#include <string_view>

#include "import/importerror.h"
#include "import/sourcetext.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineEnd = "\xC2\xB6";              // ¶ ends a printed line
constexpr std::string_view kLineBreak = "\xE2\x80\xA8";        // U+2028, the builder's line break
constexpr std::string_view kAnnotationOpen = "\xEF\xBC\x88";   // （
constexpr std::string_view kAnnotationClose = "\xEF\xBC\x89";  // ）
constexpr std::string_view kTextOpen = "\xE3\x80\x94";         // 〔 for a （ that is text
constexpr std::string_view kTextClose = "\xE3\x80\x95";        // 〕 for a ） that is text
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kNumberedCharStart = "&KR";
constexpr std::string_view kPageBreak = "---page---";
constexpr std::string_view kHeadingMark = "# ";
constexpr std::string_view kFullWidthHash = "\xEF\xBC\x83";    // ＃
constexpr std::string_view kFullWidthHyphen = "\xEF\xBC\x8D";  // －
constexpr std::string_view kPageTag = "pb";
constexpr std::string_view kMilestoneTag = "md";  // another edition's milestone
constexpr size_t kMaxLabelChars = 32;             // the builder's longest page label
constexpr size_t kMaxCharNumberDigits = 5;

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Length of the numbered character "&KR0099;" at the start of text; 0 for none.
size_t NumberedCharLength(std::string_view text) {
    if (!text.starts_with(kNumberedCharStart)) return 0;
    size_t at = kNumberedCharStart.size();
    while (at < text.size() && at - kNumberedCharStart.size() < kMaxCharNumberDigits && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == kNumberedCharStart.size() || at >= text.size() || text[at] != ';') return 0;
    return at + 1;
}

// The leaf of a page break's reference "KR3a0001_SBCK_001-1a": after the last "-".
std::string LeafLabel(std::string_view reference) {
    const size_t dash = reference.rfind('-');
    std::string label = CSourceText::CleanLine(dash == std::string_view::npos ? reference : reference.substr(dash + 1));
    ReplaceAll(label, kLineEnd, "");
    size_t at = 0;
    for (size_t chars = 0; at < label.size() && chars < kMaxLabelChars; ++chars)
        do ++at; while (at < label.size() && (static_cast<unsigned char>(label[at]) & 0xC0) == 0x80);
    label.resize(at);
    return label;
}

// The edition of a page break's reference: between its first two "_".
std::string_view ReferenceEdition(std::string_view reference) {
    const size_t first = reference.find('_');
    const size_t second = first == std::string_view::npos ? first : reference.find('_', first + 1);
    return second == std::string_view::npos ? std::string_view() : reference.substr(first + 1, second - first - 1);
}

// A paragraph pieced together from cleaned parts may still begin like one of
// the builder's control lines; its first character then becomes full-width.
void KeepAsText(std::string& paragraph) {
    if (paragraph.starts_with('#')) paragraph.replace(0, 1, kFullWidthHash);
    if (paragraph.starts_with(kPageBreak)) paragraph.replace(0, 1, kFullWidthHyphen);
}

// The conversion of one file: the volume text grows paragraph by paragraph,
// each built as one source line with its notes and line breaks.
class CJuanConversion {
public:
    CJuanConversion(const std::string& edition, const std::string& file, const CKanripoJuan::Warn& warn,
                    std::set<std::string>& warned)
        : m_edition(edition), m_file(file), m_warn(warn), m_warned(warned) {}

    void AddLine(std::string_view line, size_t number) {
        m_lineNumber = number;
        if (line.starts_with('#')) return;  // header or comment
        if (IsBlankLine(line)) {
            if (!m_inNote) EndParagraph();  // a note left open holds its paragraph together
            return;
        }
        if (line.starts_with('*') && !m_inNote) {
            EndParagraph();
            m_heading = true;
            AddText(line.substr(std::min(line.find_first_not_of('*'), line.size())));
            CloseOpenNote();
            EndParagraph();
            return;
        }
        AddText(line);
    }

    std::string Finish() {
        CloseOpenNote();
        EndParagraph();
        return m_hasText ? std::move(m_out) : std::string();
    }

    size_t Characters() const { return m_characters; }

private:
    void AddText(std::string_view text) {
        for (size_t at = 0; at < text.size();) {
            const char c = text[at];
            if (text.substr(at).starts_with(kLineEnd)) {
                EndPrintedLine();
                at += kLineEnd.size();
            } else if (c == '(' && !m_inNote) {
                OpenNote();
                ++at;
            } else if (c == ')' && m_inNote) {
                CloseNote();
                ++at;
            } else if (c == '/' && m_inNote) {
                FlushChunk();  // the column break of a two-column note; the bytes around it stay apart
                ++at;
            } else if (c == '<' && text.find('>', at) != std::string_view::npos) {
                FlushChunk();
                const size_t end = text.find('>', at);
                Markup(text.substr(at + 1, end - at - 1));
                at = end + 1;
            } else if (const size_t length = NumberedCharLength(text.substr(at))) {
                FlushChunk();
                Append(text.substr(at, length));
                ++m_characters;
                at += length;
            } else {
                m_chunk += c;
                ++at;
            }
        }
        FlushChunk();  // each line is cleaned alone: bytes of two lines never join into a character
    }

    void Markup(std::string_view tag) {
        const std::string_view kind = tag.substr(0, tag.find_first_of(": \t"));
        const size_t colon = tag.find(':');
        const std::string_view reference = colon == std::string_view::npos ? std::string_view() : tag.substr(colon + 1);
        if (kind == kPageTag && (m_edition.empty() || ReferenceEdition(reference) == m_edition)) {
            StartPage(LeafLabel(reference));
            return;
        }
        if (kind == kPageTag || kind == kMilestoneTag) return;  // another edition's page
        const std::string kindName = CSourceText::CleanLine(kind.substr(0, 20));
        if (m_warned.insert(kindName).second)
            m_warn(Where(m_lineNumber) + "markup <" + kindName + "…> is not known; dropped (reported once)");
    }

    void StartPage(const std::string& label) {
        CloseOpenNote();
        EndParagraph();
        m_out += kPageBreak;
        if (!label.empty()) m_out += " " + label;
        m_out += '\n';
    }

    // The text gathered since the last mark, cleaned, goes into the paragraph.
    void FlushChunk() {
        if (m_chunk.empty()) return;
        ReplaceAll(m_chunk, kAnnotationOpen, kTextOpen);
        ReplaceAll(m_chunk, kAnnotationClose, kTextClose);
        const std::string clean = CSourceText::CleanLine(m_chunk);
        m_chunk.clear();
        if (clean.empty()) return;
        m_characters += CSourceText::CountCharacters(clean);
        Append(clean);
    }

    // Appends to the paragraph, after the line break waiting for more text.
    void Append(std::string_view text) {
        if (m_breakPending && !m_paragraph.empty()) m_paragraph += kLineBreak;
        m_breakPending = false;
        m_paragraph += text;
    }

    // A line end is kept only between text: none opens or closes a paragraph.
    void EndPrintedLine() {
        FlushChunk();
        if (!m_paragraph.empty()) m_breakPending = true;
    }

    // A note that opens a printed line right after a note closed the one
    // before continues that note.
    void OpenNote() {
        FlushChunk();
        m_inNote = true;
        m_noteLine = m_lineNumber;
        if (m_breakPending && m_noteEnd == m_paragraph.size()) {
            m_paragraph.resize(m_noteEnd - kAnnotationClose.size());
            return;
        }
        Append(kAnnotationOpen);
    }

    void CloseNote() {
        FlushChunk();
        m_paragraph += kAnnotationClose;
        m_noteEnd = m_paragraph.size();
        m_inNote = false;
    }

    void CloseOpenNote() {
        if (!m_inNote) return;
        m_warn(Where(m_noteLine) + "note not closed; it ends with its page");
        CloseNote();
    }

    void EndParagraph() {
        FlushChunk();
        if (!m_paragraph.empty()) {
            KeepAsText(m_paragraph);
            if (m_heading) m_out += kHeadingMark;
            m_out += m_paragraph;
            m_out += '\n';
            m_hasText = true;
        }
        m_paragraph.clear();
        m_heading = false;
        m_breakPending = false;
        m_noteEnd = std::string::npos;
    }

    std::string Where(size_t line) const { return m_file + ":" + std::to_string(line) + ": "; }

    const std::string& m_edition;
    const std::string m_file;
    const CKanripoJuan::Warn& m_warn;
    std::set<std::string>& m_warned;
    std::string m_out;        // the volume text so far
    std::string m_paragraph;  // the paragraph being built, as one source line
    std::string m_chunk;      // text not yet cleaned
    bool m_heading = false;
    bool m_inNote = false;
    bool m_breakPending = false;           // a line end waits for text after it
    size_t m_noteEnd = std::string::npos;  // paragraph size just after the last note closed
    size_t m_noteLine = 0;                 // where the open note began
    size_t m_lineNumber = 0;
    size_t m_characters = 0;
    bool m_hasText = false;
};

}  // namespace

CKanripoJuan::CKanripoJuan(std::string edition, Warn warn, std::set<std::string>& warned)
    : m_edition(std::move(edition)), m_warn(std::move(warn)), m_warned(warned) {
    if (!m_warn) m_warn = [](const std::string&) {};
}

std::string CKanripoJuan::Convert(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw CImportError(file.string() + ": cannot read");
    CJuanConversion conversion(m_edition, file.string(), m_warn, m_warned);
    size_t number = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string_view text = line;
        if (++number == 1 && text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
        conversion.AddLine(text, number);
    }
    if (in.bad()) throw CImportError(file.string() + ": cannot read");
    m_characters += conversion.Characters();
    return conversion.Finish();
}
