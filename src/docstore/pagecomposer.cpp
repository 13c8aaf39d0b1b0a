// The hit page: the stored page rebuilt in the fixed template once per distinct
// search term, each pass marking its term in the text cell within the render
// scope and numbering its anchors after those of the terms before it.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/pagetemplate.h"
#include "docstore/punctuation.h"
#include "docstore/renderscope.h"

namespace {

// Capacity hint for a rebuilt text cell; not a limit.
constexpr size_t kCellReserve = 10000;

bool IsMarked(const FilterItem& item, RenderScope scope) {
    if (scope == RenderScope::kAll) return true;
    return item.kind == FilterItem::kAnnotation ? scope == RenderScope::kNotes : scope == RenderScope::kMainText;
}

// The text cell with term marked as scope says, annotations wrapped in their tag again.
std::string MarkCell(const HTMLNode& cell, std::string_view term, int scopeValue, int& counter,
                     std::vector<MarkedMatch>* matches, bool ignorePunctuation) {
    std::string text;
    const std::optional<RenderScope> scope = RenderScopeOf(scopeValue);
    if (!scope) return text;
    text.reserve(std::max(kCellReserve, cell.text.size() + cell.text.size() / 2));
    for (const FilterItem& item : CFileList::FilterCell(cell)) {
        const bool annotation = item.kind == FilterItem::kAnnotation;
        if (annotation) text.append(pagetemplate::kAnnotationTag);
        if (IsMarked(item, *scope))
            CFileList::HighlightItem(item, term, text, counter, matches, ignorePunctuation);
        else
            text.append(item.text);
        if (annotation) text.append(pagetemplate::kAnnotationCloseTag);
    }
    return text;
}

bool IsTermSeparator(char16_t unit) { return unit == u' ' || unit == u'\u3000'; }

// Calls visit for each maximal run of units between separators.
template <typename Visit>
void ForEachTerm(std::u16string_view terms, Visit visit) {
    size_t i = 0;
    while (i < terms.size()) {
        while (i < terms.size() && IsTermSeparator(terms[i])) ++i;
        const size_t start = i;
        while (i < terms.size() && !IsTermSeparator(terms[i])) ++i;
        if (i > start) visit(terms.substr(start, i - start));
    }
}

}  // namespace

void CFileList::ComposePage(std::string_view content, std::string& out, std::string_view term, int parity,
                            int scope, int& counter, std::vector<MarkedMatch>* matches, bool ignorePunctuation) {
    using namespace pagetemplate;
    std::vector<HTMLNode> nodes = SplitPage(content);
    HTMLNode& textCell = nodes[parity == 0 ? 1 : 2];
    textCell.text = MarkCell(textCell, term, scope, counter, matches, ignorePunctuation);
    out.reserve(out.size() + kHeadPiece.size() + kFirstCellPiece.size() + kSecondCellPiece.size() +
                kTailPiece.size() + nodes[0].text.size() + nodes[1].text.size() + nodes[2].text.size());
    out.append(kHeadPiece).append(nodes[0].text);
    out.append(kFirstCellPiece).append(nodes[1].text);
    out.append(kSecondCellPiece).append(nodes[2].text);
    out.append(kTailPiece);
}

int CFileList::RenderHitPage(int pageNumber, std::string& out, std::u16string_view terms, int scope,
                             PageMarks* marks, bool ignorePunctuation) const {
    std::string recordName;
    std::string content;
    if (!GetRecordName(pageNumber, recordName) || !ReadPage(pageNumber, content)) return 0;
    const int parity = PageParity(recordName);
    if (marks) marks->parity = parity;
    terms = terms.substr(0, terms.find(u'\0'));  // the term list ends at a NUL
    const std::u16string spacedTerms = ignorePunctuation ? punctuation::WithoutPunctuation(terms) : std::u16string();
    if (ignorePunctuation) terms = spacedTerms;

    int counter = 0;
    bool composed = false;
    std::set<std::string> doneTerms;
    std::string pass;
    ForEachTerm(terms, [&](std::u16string_view term) {
        if (counter >= kMaxAnchors) return;  // the page takes no more marks
        std::string bytes;
        CCodeConverter::Utf16ToUtf8(term, bytes, true);  // an unpaired surrogate stands for itself
        if (!doneTerms.insert(bytes).second) return;
        // Each pass rebuilds the previous pass's output; earlier marks are tags to it.
        pass.clear();
        ComposePage(content, pass, bytes, parity, scope, counter, marks ? &marks->matches : nullptr, ignorePunctuation);
        content.swap(pass);
        composed = true;
    });
    if (composed) out.swap(content);
    return counter;
}
