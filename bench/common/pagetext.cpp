#include "common/pagetext.h"

#include "base/codeconverter.h"
#include "docstore/filelist.h"

namespace pagetext {

namespace {

// More than the phrase search's 300-character reach, so no phrase joins two annotations.
constexpr uint32_t kAnnotationGap = 1000;

std::u16string Utf16Of(std::string_view utf8) {
    std::u16string units;
    CCodeConverter::Utf8ToUtf16(utf8, units);
    return units;
}

void Append(std::vector<CharOccurrence>& to, const std::vector<CharOccurrence>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

std::string TextCellOf(std::string_view html, std::string_view recordName) {
    std::vector<HTMLNode> nodes = CFileList::SplitPage(html);
    return std::move(nodes[1 + size_t(CFileList::PageParity(recordName))].text);
}

std::string StripTags(std::string_view cell) {
    std::string text;
    text.reserve(cell.size());
    size_t i = 0;
    while (i < cell.size()) {
        const size_t open = cell.find('<', i);
        const std::string_view run = cell.substr(i, open == std::string_view::npos ? open : open - i);
        for (char byte : run) text.push_back(static_cast<unsigned char>(byte) < 0x20 ? ' ' : byte);
        if (open == std::string_view::npos) break;
        const size_t close = cell.find('>', open + 1);
        if (close == std::string_view::npos) break;  // a tag left open at the end is dropped
        i = close + 1;
    }
    return text;
}

std::array<std::vector<CharOccurrence>, 3> ScopeOccurrences(std::string_view cell) {
    std::array<std::vector<CharOccurrence>, 3> scopes;
    HTMLNode node;
    node.text = std::string(cell);
    uint32_t full = 0, main = 0, notes = 0;
    for (const FilterItem& item : CFileList::FilterCell(node)) {
        const std::u16string text = Utf16Of(StripTags(item.text));
        const auto inFull = CCollectionWriter::Occurrences(text, full);
        full += uint32_t(inFull.size());
        Append(scopes[0], inFull);
        if (item.kind == FilterItem::kAnnotation) {
            if (text.empty()) continue;
            if (notes > 0) notes += kAnnotationGap;
            const auto inNotes = CCollectionWriter::Occurrences(text, notes);
            notes += uint32_t(inNotes.size());
            Append(scopes[1], inNotes);
        } else {
            const auto inMain = CCollectionWriter::Occurrences(text, main);
            main += uint32_t(inMain.size());
            Append(scopes[2], inMain);
        }
    }
    return scopes;
}

}  // namespace pagetext
