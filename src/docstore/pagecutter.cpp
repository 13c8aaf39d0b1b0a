// The two page cutters: a stored page into title and cells, a text cell into
// main-text and annotation runs. Both are single passes over the bytes that
// know only a few literal tags; a tag runs from its "<" to the first ">".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docstore/filelist.h"
#include "docstore/pagetemplate.h"

namespace {

// Where SplitPage stands in the page.
enum class Section {
    kBeforeTitle,
    kInTitle,
    kAfterTitle,
    kInFirstCell,
    kAfterFirstCell,
    kInSecondCell,
    kAfterSecondCell,
};

constexpr size_t kTitleNode = 0;
constexpr size_t kFirstCellNode = 1;
constexpr size_t kSecondCellNode = 2;

// Calls text(run) for every run of bytes outside tags and tag(tag) for every
// complete tag, in order. A tag left open at the end is dropped.
template <typename OnText, typename OnTag>
void ScanTags(std::string_view bytes, OnText text, OnTag tag) {
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t open = bytes.find('<', i);
        if (open == std::string_view::npos) {
            text(bytes.substr(i));
            return;
        }
        text(bytes.substr(i, open - i));
        const size_t close = bytes.find('>', open + 1);
        if (close == std::string_view::npos) return;
        tag(bytes.substr(open, close - open + 1));
        i = close + 1;
    }
}

// The node that collects the bytes of a section, or null where they are dropped.
std::string* SectionText(Section section, std::vector<HTMLNode>& nodes) {
    switch (section) {
    case Section::kInTitle: return &nodes[kTitleNode].text;
    case Section::kInFirstCell: return &nodes[kFirstCellNode].text;
    case Section::kInSecondCell: return &nodes[kSecondCellNode].text;
    default: return nullptr;
    }
}

// The section after tag, or nullopt when tag is none of the title and cell tags
// (it is then content of the current section).
std::optional<Section> SectionAfterTag(std::string_view tag, Section section) {
    using namespace pagetemplate;
    if (tag.starts_with(kTitleOpen) && section == Section::kBeforeTitle) return Section::kInTitle;
    if (tag.starts_with(kCellOpen)) {
        if (section == Section::kAfterTitle) return Section::kInFirstCell;
        if (section == Section::kAfterFirstCell) return Section::kInSecondCell;
        return section;
    }
    if (tag == kTitleClose) return Section::kAfterTitle;
    if (tag == kCellClose) {
        if (section == Section::kInFirstCell) return Section::kAfterFirstCell;
        if (section == Section::kInSecondCell) return Section::kAfterSecondCell;
        return section;
    }
    return std::nullopt;
}

}  // namespace

std::vector<HTMLNode> CFileList::SplitPage(std::string_view page) {
    std::vector<HTMLNode> nodes(3);
    Section section = Section::kBeforeTitle;
    ScanTags(
        page,
        [&](std::string_view run) {
            if (std::string* text = SectionText(section, nodes)) text->append(run);
        },
        [&](std::string_view tag) {
            if (const auto next = SectionAfterTag(tag, section)) {
                section = *next;
            } else if (std::string* text = SectionText(section, nodes)) {
                text->append(tag);
            }
        });
    return nodes;
}

std::vector<FilterItem> CFileList::FilterCell(const HTMLNode& cell) {
    // Main text resumed after an annotation usually runs on for a while.
    constexpr size_t kMainTextReserve = 1000;
    std::vector<FilterItem> items(1);
    ScanTags(
        cell.text, [&](std::string_view run) { items.back().text.append(run); },
        [&](std::string_view tag) {
            if (tag == pagetemplate::kAnnotationTag) {
                items.push_back({std::string(), FilterItem::kAnnotation});
            } else if (items.back().kind == FilterItem::kAnnotation && tag == pagetemplate::kAnnotationCloseTag) {
                items.push_back({std::string(), FilterItem::kMainText});
                items.back().text.reserve(kMainTextReserve);
            } else {
                items.back().text.append(tag);
            }
        });
    return items;
}
