#include "build/pagecomposer.h"

#include <cstdio>

#include "base/codeconverter.h"
#include "build/pagelayout.h"
#include "index/index.h"

namespace {

// A "*" spans at most 300 characters, and a word holds at most
// CIndex::kMaxWordUnits characters and wildcards.
static_assert(pagelayout::kAnnotationGap > 300 + CIndex::kMaxWordUnits,
              "a word must not reach from one annotation into the next");

// Counts the text cell's characters in the three scopes while it is written.
class CScopePositions {
public:
    explicit CScopePositions(WriterPage& page) : m_page(page) {}

    void StartAnnotation() {
        if (m_annotationsSeen++ > 0) m_annotation += pagelayout::kAnnotationGap;
    }

    void Add(char32_t cp, bool annotation) {
        const bool indexed = CCodeConverter::ToCharNumber(cp) >= 0;
        if (indexed) m_page.occurrences[kFull].push_back({cp, m_full});
        ++m_full;
        const size_t scope = annotation ? kAnnotations : kMain;
        uint32_t& position = annotation ? m_annotation : m_main;
        if (indexed) m_page.occurrences[scope].push_back({cp, position});
        ++position;
    }

private:
    static constexpr size_t kFull = 0, kAnnotations = 1, kMain = 2;  // scope types

    WriterPage& m_page;
    uint32_t m_full = 0;
    uint32_t m_main = 0;
    uint32_t m_annotation = 0;
    int m_annotationsSeen = 0;
};

// One character of the text cell: a line break as a tag without a position, a
// numbered character as 〓 carrying its number, anything else as itself.
void AppendCellChar(char32_t cp, bool annotation, CScopePositions& positions, std::string& html) {
    if (cp == kLineBreak) {
        html += pagelayout::kLineBreak;
        return;
    }
    if (IsNumberedChar(cp)) {
        char open[64];
        std::snprintf(open, sizeof open, pagelayout::kNumberedCharOpenFormat, unsigned(cp - kNumberedCharBase));
        html += open;
        html += pagelayout::kNumberedCharMark;
        html += pagelayout::kNumberedCharClose;
        positions.Add(pagelayout::kNumberedCharMarkCp, annotation);
        return;
    }
    positions.Add(cp, annotation);
    CPageComposer::AppendEscaped(std::u32string_view(&cp, 1), html);
}

void AppendTextCell(const std::vector<Paragraph>& paragraphs, WriterPage& page) {
    CScopePositions positions(page);
    for (const Paragraph& paragraph : paragraphs) {
        page.html += paragraph.heading ? pagelayout::kHeadingOpen : pagelayout::kParagraphOpen;
        for (const TextRun& run : paragraph.runs) {
            if (run.annotation) {
                positions.StartAnnotation();
                page.html += pagelayout::kAnnotationOpen;
            }
            for (char32_t cp : run.text) AppendCellChar(cp, run.annotation, positions, page.html);
            if (run.annotation) page.html += pagelayout::kAnnotationClose;
        }
        page.html += paragraph.heading ? pagelayout::kHeadingClose : pagelayout::kParagraphClose;
    }
}

void AppendLabelCell(const CPageComposer::PageInfo& info, std::string& html) {
    CPageComposer::AppendEscaped(info.volumeName, html);
    html += pagelayout::kLabelSeparator;
    html += std::to_string(info.printedPage);
    if (info.pageLabel.empty()) return;
    html += pagelayout::kLabelSeparator;
    CPageComposer::AppendEscaped(info.pageLabel, html);
}

}  // namespace

WriterPage CPageComposer::Compose(const std::vector<Paragraph>& paragraphs, const PageInfo& info) {
    WriterPage page;
    page.recordName = RecordName(info.bookId, info.volumeId, info.printedPage);
    size_t characters = 0;
    size_t annotated = 0;
    for (const Paragraph& paragraph : paragraphs)
        for (const TextRun& run : paragraph.runs) {
            characters += run.text.size();
            if (run.annotation) annotated += run.text.size();
        }
    page.html.reserve(1024 + characters * 4);
    page.occurrences[0].reserve(characters);
    page.occurrences[1].reserve(annotated);
    page.occurrences[2].reserve(characters - annotated);

    page.html += pagelayout::kHead;
    AppendEscaped(info.bookName, page.html);
    page.html += pagelayout::kTitleSeparator;
    AppendEscaped(info.volumeName, page.html);
    page.html += pagelayout::kTitleEnd;
    // Even printed pages carry their text in the first cell, odd ones in the second.
    const bool textFirst = info.printedPage % 2 == 0;
    for (const bool textCell : {textFirst, !textFirst}) {
        page.html += textCell ? pagelayout::kTextCellOpen : pagelayout::kLabelCellOpen;
        if (textCell)
            AppendTextCell(paragraphs, page);
        else
            AppendLabelCell(info, page.html);
        page.html += pagelayout::kCellClose;
    }
    page.html += pagelayout::kTail;
    return page;
}

std::string CPageComposer::RecordName(int bookId, int volumeId, int printedPage) {
    char name[64];
    std::snprintf(name, sizeof name, pagelayout::kRecordNameFormat, bookId, volumeId, printedPage);
    return name;
}

void CPageComposer::AppendEscaped(std::u32string_view text, std::string& out) {
    for (char32_t cp : text) {
        switch (cp) {
        case U'&': out += "&amp;"; break;
        case U'<': out += "&lt;"; break;
        case U'>': out += "&gt;"; break;
        default: CCodeConverter::AppendUtf8(cp, out);
        }
    }
}

void CPageComposer::AppendEscaped(std::string_view utf8, std::string& out) {
    for (size_t special = utf8.find_first_of("&<>"); special != std::string_view::npos;
         special = utf8.find_first_of("&<>")) {
        out.append(utf8.substr(0, special));
        out += utf8[special] == '&' ? "&amp;" : utf8[special] == '<' ? "&lt;" : "&gt;";
        utf8.remove_prefix(special + 1);
    }
    out.append(utf8);
}
