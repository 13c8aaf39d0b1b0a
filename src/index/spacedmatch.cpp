// Position matching that lets punctuation stand inside a phrase. Within a term
// each character follows the one before it after the wildcards between them,
// with a run of at most punctuation::kMaxRun punctuation characters before,
// between and after those wildcards; a "?" then stands for one character that
// is not punctuation. The posting lists give the candidates, the page's text
// says what stands between them. Terms follow one another as in the exact
// search: the next term starts at most 300 positions after the last one ends.
#include <algorithm>
#include <vector>

#include "docstore/punctuation.h"
#include "docstore/scopetext.h"
#include "index/wordplan.h"

namespace {

constexpr uint32_t kNoPosition = UINT32_MAX;

// The decoded positions of every character of the word on one page.
using PagePositions = std::vector<std::vector<uint32_t>>;

void ReadPositions(WordPlan& plan, PagePositions& positions) {
    positions.resize(plan.charCount);
    for (size_t i = 0; i < plan.charCount; ++i) {
        std::vector<uint32_t>& list = positions[i];
        list.clear();
        uint64_t position = 0;
        uint32_t delta;
        unsigned bytes;
        while (plan.chars[i].list.NextPosition(delta, bytes)) {
            position += delta;  // the first number is the distance from 0
            if (position >= kNoPosition) break;  // the rest of the entry is corrupt
            list.push_back(uint32_t(position));
        }
    }
}

// One page's matching: its positions, and its text once a link needs it.
class SpacedPage {
public:
    SpacedPage(WordPlan& plan, uint32_t page, const PagePositions& positions)
        : m_plan(plan), m_page(page), m_positions(positions) {}

    // The position where term t ends when its first character stands at start; kNoPosition when it cannot.
    uint32_t TermEnd(size_t t, uint32_t start) {
        const CharTerm& term = m_plan.terms[t];
        uint32_t at = start;
        for (size_t k = term.begin + 1; k < term.end && at != kNoPosition; ++k)
            at = NextChar(k, at, m_plan.chars[k].wordOffset - m_plan.chars[k - 1].wordOffset - 1);
        return at;
    }

    // The first start of term t in [from, to] from which the term completes; its end, or kNoPosition.
    uint32_t FirstTermEnd(size_t t, uint64_t from, uint64_t to) {
        const std::vector<uint32_t>& starts = m_positions[m_plan.terms[t].begin];
        for (auto it = std::lower_bound(starts.begin(), starts.end(), from); it != starts.end() && *it <= to; ++it) {
            const uint32_t end = TermEnd(t, *it);
            if (end != kNoPosition) return end;
        }
        return kNoPosition;
    }

private:
    // Where character k stands after the character at `at` with `wildcards`
    // characters between them; kNoPosition when it does not.
    uint32_t NextChar(size_t k, uint32_t at, uint32_t wildcards) {
        const std::vector<uint32_t>& list = m_positions[k];
        const auto next = std::upper_bound(list.begin(), list.end(), at);
        if (next == list.end()) return kNoPosition;
        const uint64_t reach = uint64_t(at) + (uint64_t(wildcards) + 1) * (punctuation::kMaxRun + 1);
        if (*next > reach) return kNoPosition;
        if (wildcards == 0) {
            if (*next == at + 1) return *next;  // side by side: no text needed
            if (WordCharBetween(at, *next)) return kNoPosition;  // which is no punctuation
        }
        const CScopeText* text = Text();
        if (!text) return kNoPosition;
        const uint64_t found = PastBetween(*text, at, wildcards);
        return found != kNoPosition && std::binary_search(list.begin(), list.end(), uint32_t(found)) ? uint32_t(found)
                                                                                                      : kNoPosition;
    }

    // Whether a character of the word stands strictly between from and to.
    bool WordCharBetween(uint32_t from, uint32_t to) const {
        for (const std::vector<uint32_t>& list : m_positions) {
            const auto after = std::upper_bound(list.begin(), list.end(), from);
            if (after != list.end() && *after < to) return true;
        }
        return false;
    }

    // The position after the character at `at`, a punctuation run, and
    // `wildcards` characters that are not punctuation each followed by such a
    // run, all within the text run of `at`; kNoPosition when the text holds
    // something else there.
    static uint64_t PastBetween(const CScopeText& text, uint32_t at, uint32_t wildcards) {
        const uint32_t run = text.RunOf(at);
        uint64_t p = SkipPunctuation(text, uint64_t(at) + 1);
        for (uint32_t w = 0; w < wildcards; ++w) {
            const char32_t c = text.At(p);
            if (c == CScopeText::kUnused || punctuation::IsIgnorable(c)) return kNoPosition;
            p = SkipPunctuation(text, p + 1);
        }
        if (p >= text.Size() || text.RunOf(p) != run) return kNoPosition;
        return p;
    }

    // Past at most punctuation::kMaxRun punctuation characters from p.
    static uint64_t SkipPunctuation(const CScopeText& text, uint64_t p) {
        for (unsigned n = 0; n < punctuation::kMaxRun && punctuation::IsIgnorable(text.At(p)); ++n) ++p;
        return p;
    }

    const CScopeText* Text() {
        if (!m_textRead) {
            m_text = m_plan.spaced(m_page);
            m_textRead = true;
        }
        return m_text;
    }

    WordPlan& m_plan;
    uint32_t m_page;
    const PagePositions& m_positions;
    const CScopeText* m_text = nullptr;
    bool m_textRead = false;
};

}  // namespace

void MatchSpaced(WordPlan& plan, uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    thread_local PagePositions positions;
    ReadPositions(plan, positions);
    SpacedPage matcher(plan, page, positions);
    uint32_t found = 0;
    for (const uint32_t start : positions[plan.terms[0].begin]) {
        uint32_t end = matcher.TermEnd(0, start);
        for (size_t t = 1; t < plan.termCount && end != kNoPosition; ++t) {
            const CharTerm& before = plan.terms[t - 1];
            const CharTerm& term = plan.terms[t];
            const uint64_t from = uint64_t(end) + plan.chars[term.begin].wordOffset - plan.chars[before.end - 1].wordOffset;
            end = matcher.FirstTermEnd(t, from, from + kMaxTermDistance);
        }
        if (end != kNoPosition) ++found;
    }
    if (found == 0) return;
    pages.push_back(page);
    counts.push_back(found);
}
