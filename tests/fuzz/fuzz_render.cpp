// Page rendering on a stored page and terms from the input (wildcards, "？",
// empty and very long terms, NULs, invalid UTF-8): SplitPage, FilterCell,
// ParseTerm and HighlightItem against the plainly written rules, the term
// passes of RenderHitPage and GetPageHtml over a collection written by the
// collection writer. Beyond the reference, what must hold on any page: the
// marks taken out give back the text, anchors are numbered without gaps in
// the order written, output grows at most by the marks of its anchors, and a
// page without anchors is the stored page in the template.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "expectedpage.h"
#include "expectedresults.h"
#include "fuzzcheck.h"
#include "fuzzlayouts.h"
#include "index/index.h"
#include "panel/model/concordance.h"
#include "panel/model/hitpagetext.h"
#include "scratchfolder.h"
#include "writer/collectionwriter.h"

namespace {

using namespace expectedpage;

// The most bytes one anchor brings: its tag with a ten-digit number, the
// mark's open and close tags.
const size_t kMarkupPerAnchor = Anchor(2147483647).size() + kMarkOpen.size() + kMarkClose.size();
const size_t kTemplateBytes = kHead.size() + kFirstCell.size() + kSecondCell.size() + kTail.size();
// Work the quadratic reference may do on one text and term.
constexpr size_t kReferenceBudget = size_t(1) << 16;

// A collection of two pages, printed pages 2 and 1, written once. Each input
// puts its page into both: the content file keeps the size the writer gave
// it (the index measured it at open), the page's bytes are written over its
// start and both records are pointed at them.
class CRenderCollection {
public:
    static constexpr int kNameWidth = 16;
    static constexpr int kEvenPage = 0;
    static constexpr int kOddPage = 1;

    CRenderCollection() {
        CCollectionWriter writer(WriterOptions{.headerWord = 0, .headerText = "", .nameWidth = kNameWidth});
        for (const char* name : {"a\\0002.htm", "a\\0001.htm"})
            writer.AddPage(WriterPage{name, std::string(RenderFuzzInput::kMaxPageBytes, ' '), {}});
        writer.SetVariantGroups({{U'万', U'萬'}, {U'山', U'川'}, {U'甲', U'乙', U'丙'}});
        writer.Write(m_folder.Path());
        FUZZ_CHECK(m_index.Open(m_folder.Path(), storeformat::kBaseName, 0));
    }

    const CIndex& Index() const { return m_index; }
    const CFileList& Store() const { return m_index.GetFileList(); }

    void SetPage(std::string_view bytes) {
        std::string masked(bytes);
        for (char& b : masked) b = char(static_cast<unsigned char>(b) ^ storeformat::kMask);
        std::fstream content(File(storeformat::kContentExtension), std::ios::in | std::ios::out | std::ios::binary);
        content.write(masked.data(), std::streamsize(masked.size()));
        std::fstream table(File(storeformat::kTableExtension), std::ios::in | std::ios::out | std::ios::binary);
        for (int record = 0; record < 2; ++record) {
            table.seekp(std::streamoff(storeformat::kRecordsOffset + size_t(record) * (kNameWidth + 8) + kNameWidth));
            AppendTail(table, uint32_t(bytes.size()));
        }
        FUZZ_CHECK(content.flush() && table.flush());
    }

private:
    std::string File(const char* extension) const { return (m_folder.Path() / (std::string(storeformat::kBaseName) + extension)).string(); }

    // End offset and length: the page stands at the start of the content file.
    static void AppendTail(std::fstream& table, uint32_t length) {
        std::string tail;
        littleendian::AppendUint32(length, tail);
        littleendian::AppendUint32(length, tail);
        table.write(tail.data(), std::streamsize(tail.size()));
    }

    CScratchFolder m_folder;
    CIndex m_index;
};

bool HoldsMarkup(std::string_view text) {
    return text.find(kAnchorStart) != std::string_view::npos || text.find(kMarkOpen) != std::string_view::npos ||
           text.find(kMarkClose) != std::string_view::npos;
}

// The anchors first .. last - 1 stand in marked in this order, each once.
void CheckAnchorsInOrder(std::string_view marked, int first, int last) {
    size_t at = 0;
    for (int n = first; n < last; ++n) {
        at = marked.find(Anchor(n), at);
        FUZZ_CHECK(at != std::string_view::npos);
    }
}

// HighlightItem on one item: as the rules mark it (when punctuation counts),
// the marks and anchors taken out give back the text, and the growth is that
// of the anchors.
void CheckHighlight(const FilterItem& item, std::string_view term, int start, bool ignorePunctuation) {
    std::string marked = "kept";
    int counter = start;
    CFileList::HighlightItem(item, term, marked, counter, nullptr, ignorePunctuation);
    FUZZ_CHECK(marked.starts_with("kept"));
    marked.erase(0, 4);
    const int anchors = counter - start;
    FUZZ_CHECK(anchors >= 0 && size_t(anchors) <= 2 * item.text.size());
    // Past the page's bound only the match that reached it adds anchors.
    FUZZ_CHECK(size_t(counter) < size_t(std::max(start, CFileList::kMaxAnchors)) + 2 * term.size());
    FUZZ_CHECK(marked.size() <= item.text.size() + size_t(anchors) * kMarkupPerAnchor);
    if (anchors == 0) FUZZ_CHECK(marked == item.text);
    if (!ignorePunctuation && Chunks(term).size() * item.text.size() <= kReferenceBudget) {
        std::string expected;
        int expectedCounter = start;
        Highlight(item.text, term, expected, expectedCounter);
        FUZZ_CHECK(marked == expected);
        FUZZ_CHECK(counter == expectedCounter);
    }
    if (HoldsMarkup(item.text)) return;  // its own tags could not be told from the marks
    std::string plain;
    int next = start;
    for (size_t i = 0; i < marked.size();) {
        const std::string_view rest = std::string_view(marked).substr(i);
        const std::string anchor = Anchor(next);
        if (rest.starts_with(anchor)) {
            i += anchor.size();
            ++next;
        } else if (rest.starts_with(kMarkOpen)) {
            i += kMarkOpen.size();
        } else if (rest.starts_with(kMarkClose)) {
            i += kMarkClose.size();
        } else {
            plain.push_back(marked[i++]);
        }
    }
    FUZZ_CHECK(plain == item.text);
    FUZZ_CHECK(next == counter);
}

void CheckParseTerm(std::string_view term) {
    const std::vector<Seg> segs = CFileList::ParseTerm(term);
    const std::vector<Chunk> expected = Chunks(term);
    FUZZ_CHECK(segs.size() == expected.size());
    for (size_t i = 0; i < segs.size(); ++i) {
        FUZZ_CHECK(segs[i].kind == expected[i].kind && segs[i].bytes == expected[i].bytes);
        if (segs[i].kind == Seg::kAfterQuestion) FUZZ_CHECK(segs[i].gap == expected[i].gap);
    }
}

std::vector<Item> Items(const std::vector<FilterItem>& items) {
    std::vector<Item> plain;
    for (const FilterItem& item : items) plain.push_back({item.kind, item.text});
    return plain;
}

// The cutters agree with the rules; the cells of the text cell are then highlighted.
std::vector<FilterItem> CheckCutters(std::string_view page, int parity) {
    const std::vector<HTMLNode> nodes = CFileList::SplitPage(page);
    FUZZ_CHECK(nodes.size() == 3);
    const Page expected = Split(page);
    FUZZ_CHECK(nodes[0].text == expected.title && nodes[1].text == expected.first && nodes[2].text == expected.second);
    for (const HTMLNode& node : nodes) {
        const std::vector<FilterItem> items = CFileList::FilterCell(node);
        FUZZ_CHECK(!items.empty() && items[0].kind == FilterItem::kMainText);
        FUZZ_CHECK(Items(items) == Filter(node.text));
    }
    return CFileList::FilterCell(nodes[size_t(1 + parity)]);
}

// The page in the template with nothing marked.
std::string Unmarked(std::string_view content, int parity, int scope) {
    std::string out;
    int counter = 0;
    CFileList::ComposePage(content, out, "*", parity, scope, counter);
    FUZZ_CHECK(counter == 0);
    return out;
}

// One term pass: as the rules compose it, its anchors follow the earlier
// ones in page order, it grows only by their marks, and without anchors it
// is the unmarked page.
std::string CheckPass(std::string_view content, std::string_view term, int parity, int scope, int& counter) {
    const int first = counter;
    std::string out;
    CFileList::ComposePage(content, out, term, parity, scope, counter);
    const std::vector<HTMLNode> nodes = CFileList::SplitPage(content);
    const size_t cell = nodes[size_t(1 + parity)].text.size();
    const size_t nodeBytes = nodes[0].text.size() + nodes[1].text.size() + nodes[2].text.size();
    FUZZ_CHECK(counter >= first && size_t(counter - first) <= 2 * cell);
    FUZZ_CHECK(out.size() <= kTemplateBytes + nodeBytes + cell / 4 + size_t(counter - first) * kMarkupPerAnchor);
    FUZZ_CHECK(out.starts_with(kHead) && out.ends_with(kTail));
    CheckAnchorsInOrder(out, first, counter);
    if (counter == first) FUZZ_CHECK(out == Unmarked(content, parity, scope));
    if (Chunks(term).size() * content.size() <= kReferenceBudget) {
        int expectedCounter = first;
        FUZZ_CHECK(out == Compose(content, term, parity, scope, expectedCounter));
        FUZZ_CHECK(counter == expectedCounter);
    }
    return out;
}

// A term as UTF-16: decoded when it is UTF-8, its bytes as UTF-16LE units
// (lone surrogates, NULs, separators and all) when it is not.
std::u16string TermUnits(const std::string& bytes) {
    std::u16string units;
    if (CCodeConverter::Utf8ToUtf16(bytes, units)) return units;
    units.clear();
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const uint8_t low = uint8_t(bytes[i]);
        units.push_back(char16_t(i + 1 < bytes.size() ? low | uint8_t(bytes[i + 1]) << 8 : low));
    }
    return units;
}

// RenderHitPage from the store: one pass per distinct term up to the first
// NUL, each over the one before, until the page holds its most anchors;
// nothing rendered without a term.
void CheckRender(const CFileList& store, int record, std::string_view stored, std::u16string_view terms, int scope) {
    std::string out = "kept";
    const int anchors = store.RenderHitPage(record, out, terms, scope);
    std::string recordName;
    FUZZ_CHECK(store.GetRecordName(record, recordName));
    const int parity = CFileList::PageParity(recordName);
    std::string expected(stored);
    int counter = 0;
    std::vector<std::string> done;
    for (const std::u16string& term : QueryWords(terms)) {
        if (counter >= CFileList::kMaxAnchors) break;
        std::string bytes;
        CCodeConverter::Utf16ToUtf8(term, bytes, true);
        if (std::find(done.begin(), done.end(), bytes) != done.end()) continue;
        done.push_back(bytes);
        expected = CheckPass(expected, bytes, parity, scope, counter);
    }
    FUZZ_CHECK(anchors == counter);
    if (done.empty()) {
        FUZZ_CHECK(out == "kept");
        return;
    }
    FUZZ_CHECK(out == expected);
    if (anchors == 0) FUZZ_CHECK(out == Unmarked(stored, parity, scope));
}

// GetPageHtml without variants, or with a query none of whose units has a
// variant, renders the query itself.
void CheckPageHtml(const CIndex& index, int record, std::u16string_view query, int scope, bool useVariants) {
    std::string html = "kept";
    const int anchors = index.GetPageHtml(record, html, query, scope, useVariants);
    std::string direct = "kept";
    const int directAnchors = index.GetFileList().RenderHitPage(record, direct, query, scope);
    const std::u16string_view words = query.substr(0, query.find(u'\0'));
    bool grouped = false;
    for (char16_t unit : words) grouped = grouped || index.GetVariantAlternatives(unit).size() > 1;
    if (!useVariants || !grouped) {
        FUZZ_CHECK(html == direct && anchors == directAnchors);
        return;
    }
    // Every spelling keeps the query's separators, so it has terms when the query has.
    FUZZ_CHECK(anchors >= 0);
    FUZZ_CHECK((html == "kept") == QueryWords(words).empty());
    if (html != "kept") FUZZ_CHECK(html.starts_with(kHead) && html.ends_with(kTail));
}

// The matches the renderer reports number its anchors without gaps and leave
// the page as it is; the concordance lines stand inside the cell's text, in
// text order, at most one per match.
void CheckConcordance(const CFileList& store, int record, std::u16string_view terms, int scope) {
    std::string plain;
    const int anchors = store.RenderHitPage(record, plain, terms, scope);
    CConcordance::HitPage hitPage;
    FUZZ_CHECK(store.RenderHitPage(record, hitPage.html, terms, scope, &hitPage.marks) == anchors);
    FUZZ_CHECK(hitPage.html == plain);
    const std::vector<MarkedMatch>& matches = hitPage.marks.matches;
    int next = 0;
    for (const MarkedMatch& match : matches) {
        FUZZ_CHECK(match.firstAnchor == next && match.anchorCount >= 1);
        next += match.anchorCount;
    }
    FUZZ_CHECK(next == anchors);
    std::string recordName;
    FUZZ_CHECK(store.GetRecordName(record, recordName));
    const int parity = hitPage.marks.parity;
    FUZZ_CHECK(parity == CFileList::PageParity(recordName));
    const CHitPageText text(CFileList::SplitPage(hitPage.html)[parity == 0 ? 1 : 2].text, matches);
    FUZZ_CHECK(text.Spans().size() <= matches.size());
    size_t previous = 0;
    for (const CHitPageText::Span& span : text.Spans()) {
        FUZZ_CHECK(previous <= span.begin && span.begin <= span.end && span.end <= text.Text().size());
        previous = span.begin;
    }
    SearchNodeTag entry;
    entry.page = record;
    CConcordance concordance({entry}, [&](int, CConcordance::HitPage& out) { out = hitPage; }, 3);
    std::vector<ConcordanceLine> lines;
    concordance.FetchMore(SIZE_MAX, lines);
    FUZZ_CHECK(lines.size() == text.Spans().size() && concordance.AtEnd());
    for (const ConcordanceLine& line : lines) FUZZ_CHECK(line.left.size() <= 3 && line.right.size() <= 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CRenderCollection collection;
    const RenderFuzzInput input = RenderFuzzInput::Decode(data, size);
    const int parity = input.oddPage ? 1 : 0;
    const int start = input.highCounter ? 9998 : 0;

    std::vector<std::string> terms;
    for (const RenderFuzzInput::Term& term : input.terms) terms.push_back(term.Expanded());
    const std::vector<FilterItem> items = CheckCutters(input.page, parity);
    const std::string unmarked = Unmarked(input.page, parity, input.scope);
    FUZZ_CHECK(Unmarked(unmarked, parity, input.scope) == unmarked);
    for (const std::string& term : terms) {
        CheckParseTerm(term);
        for (const FilterItem& item : items) {
            CheckHighlight(item, term, start, false);
            CheckHighlight(item, term, start, true);
        }
    }

    collection.SetPage(input.page);
    const int record = input.oddPage ? CRenderCollection::kOddPage : CRenderCollection::kEvenPage;
    std::string stored;
    FUZZ_CHECK(collection.Store().ReadPage(record, stored) && stored == input.page);
    std::u16string list;
    for (const std::string& term : terms) {
        if (!list.empty()) list.push_back(input.ideographicSpaces ? u'\u3000' : u' ');
        list += TermUnits(term);
    }
    CheckRender(collection.Store(), record, input.page, list, input.scope);
    CheckRender(collection.Store(), record, input.page, u"*", input.scope);
    CheckPageHtml(collection.Index(), record, list, input.scope, input.useVariants);
    CheckConcordance(collection.Store(), record, list, input.scope);
    return 0;
}
