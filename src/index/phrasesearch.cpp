// The phrase search: a word's characters are looked up in their posting
// lists, the lists are aligned page by page, and on a page that every list
// reaches the occurrences are aligned by position.
#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>

#include "base/codeconverter.h"
#include "base/datafileerror.h"
#include "docstore/punctuation.h"
#include "docstore/scopetext.h"
#include "index/index.h"
#include "index/indexformat.h"
#include "index/searchscope.h"
#include "index/wordplan.h"

namespace {

// Skips leading "*", folds runs of "*" and closes the word with one "*", then
// drops every character that has no character number ("?" and "*" stay).
std::u16string NormaliseWord(std::u16string_view word) {
    std::u16string folded;
    folded.reserve(word.size() + 1);
    size_t i = word.find_first_not_of(u'*');
    for (; i < word.size(); ++i) {
        if (word[i] == u'*' && !folded.empty() && folded.back() == u'*') continue;
        folded.push_back(word[i]);
    }
    if (!folded.empty() && folded.back() != u'*') folded.push_back(u'*');

    std::u16string kept;
    kept.reserve(folded.size());
    for (size_t k = 0; k < folded.size();) {
        const bool pair = k + 1 < folded.size() && CCodeConverter::IsHighSurrogate(folded[k]) &&
                          CCodeConverter::IsLowSurrogate(folded[k + 1]);
        const size_t units = pair ? 2 : 1;
        const char32_t cp = pair ? CCodeConverter::JoinSurrogates(folded[k], folded[k + 1]) : folded[k];
        if (cp == u'?' || cp == u'*' || CCodeConverter::ToCharNumber(cp) >= 0) kept.append(folded, k, units);
        k += units;
    }
    return kept;
}

uint32_t MaxAligned(const WordPlan& plan, size_t begin, size_t end) {
    uint32_t best = plan.chars[begin].aligned;
    for (size_t i = begin + 1; i < end; ++i) best = std::max(best, plan.chars[i].aligned);
    return best;
}

void RecordMatch(uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    if (!pages.empty() && pages.back() == page) {
        ++counts.back();
    } else {
        pages.push_back(page);
        counts.push_back(1);
    }
}

// Aligned positions stay below this, so that the position after a match
// still fits; an entry whose positions climb to it is corrupt.
constexpr uint32_t kAlignedLimit = 0xFFFFFFFF;

// Reads the next position number of c into its aligned position; false when the
// entry has none left, or its positions leave the range and it ends there.
[[gnu::always_inline]] inline bool AdvancePosition(CharWalk& c) {
    uint32_t delta;
    unsigned bytes;
    if (!c.list.NextPosition(delta, bytes)) return false;
    const uint64_t aligned = uint64_t(c.aligned) + delta;
    if (aligned >= kAlignedLimit) return false;  // the rest of the entry is skipped with the page
    c.aligned = uint32_t(aligned);
    return true;
}

// A word of one character (and wildcards) matches at each of its positions:
// they are counted, not decoded. Only an entry long enough to hold numbers
// that climb to the top of the range is read number by number, and ends there.
void CountPositions(WordPlan& plan, uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    CharWalk& c = plan.chars[0];
    const uint32_t base = plan.length - 1 - c.wordOffset;
    uint32_t found = 0;
    if ((uint64_t(c.list.PositionBytes()) / 3 + 1) * indexformat::kMaxVarint + base < kAlignedLimit) {
        found = c.list.CountPositions();
    } else {
        c.aligned = base;
        while (AdvancePosition(c)) ++found;
    }
    if (found == 0) return;
    pages.push_back(page);
    counts.push_back(found);
}

// A word of one term matches where all its characters have the same aligned
// position: the ascending aligned positions are intersected leapfrog fashion,
// each character moving straight to the target before the next is looked at.
// On well-formed lists this counts what the general passes below count.
void MatchOneTerm(WordPlan& plan, uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    const size_t n = plan.charCount;
    uint32_t target = 0;
    for (size_t i = 0; i < n; ++i) {
        CharWalk& c = plan.chars[i];
        c.aligned = plan.length - 1 - c.wordOffset;
        if (!AdvancePosition(c)) return;
        target = std::max(target, c.aligned);
    }
    size_t agreeing = 0;  // characters standing on target, just before i
    for (size_t i = 0;; i = i + 1 == n ? 0 : i + 1) {
        CharWalk& c = plan.chars[i];
        while (c.aligned < target) {
            if (!AdvancePosition(c)) return;
        }
        if (c.aligned > target) {
            target = c.aligned;
            agreeing = 1;
        } else if (++agreeing == n) {
            RecordMatch(page, pages, counts);
            ++target;
            agreeing = 0;
        }
    }
}

// Counts the matches on the page all characters stand on.
void MatchPositions(WordPlan& plan, uint32_t page, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    if (plan.charCount == 1) return CountPositions(plan, page, pages, counts);
    if (plan.termCount == 1) return MatchOneTerm(plan, page, pages, counts);
    const size_t n = plan.charCount;
    for (size_t i = 0; i < n; ++i) {
        CharWalk& c = plan.chars[i];
        c.aligned = plan.length - 1 - c.wordOffset;
        if (!AdvancePosition(c)) return;
    }
    const CharTerm* terms = plan.terms.data();
    const size_t termCount = plan.termCount;
    for (;;) {
        uint32_t target = MaxAligned(plan, 0, terms[0].end);
        size_t advanceStart = 0;
        bool matched = true;
        for (size_t t = 0; t < termCount && matched; ++t) {
            const uint32_t value = plan.chars[terms[t].begin].aligned;
            for (size_t i = terms[t].begin + 1; i < terms[t].end; ++i) {
                if (plan.chars[i].aligned != value) {
                    target = MaxAligned(plan, 0, terms[t].end);
                    advanceStart = terms[t].begin;
                    matched = false;
                    break;
                }
            }
        }
        for (size_t t = 0; t + 1 < termCount && matched; ++t) {
            const uint32_t a = plan.chars[terms[t].end - 1].aligned;
            const uint32_t b = plan.chars[terms[t + 1].begin].aligned;
            if (b < a) {
                target = MaxAligned(plan, 0, terms[t].end);
                advanceStart = terms[t].begin;
                matched = false;
            } else if (b - a > kMaxTermDistance) {
                target = MaxAligned(plan, 0, n);
                advanceStart = 0;
                matched = false;
            }
        }
        if (matched) {
            RecordMatch(page, pages, counts);
            ++target;
            advanceStart = 0;
        }
        for (size_t i = advanceStart; i < n; ++i) {
            CharWalk& c = plan.chars[i];
            if (c.aligned < target && !AdvancePosition(c)) return;
        }
    }
}

// The pages every character's list holds (and that are candidates, when
// there are candidates), in ascending order, each matched by position. The
// lists are brought to a target page rarest first: a list that lands beyond
// the target raises it at once, so the long lists move only when the short
// ones agree. Which lists move first changes nothing but the work.
void WalkPages(WordPlan& plan, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    const size_t n = plan.charCount;
    uint32_t target = 0;
    for (size_t i = 0; i < n; ++i) {
        const CPostingList& list = plan.chars[i].list;
        if (list.Bad()) return;
        target = std::max(target, list.Page());
    }
    std::array<size_t, kMaxChars> order;
    std::iota(order.begin(), order.begin() + ptrdiff_t(n), size_t(0));
    const auto length = [&plan](size_t i) {
        const CPostingList::SkipTable* skips = plan.chars[i].list.GetSkipTable();
        return skips ? skips->pages.size() : 0;
    };
    std::stable_sort(order.begin(), order.begin() + ptrdiff_t(n), [&](size_t a, size_t b) { return length(a) < length(b); });
    const std::vector<uint32_t>* candidates = plan.candidates;
    size_t nextCandidate = 0;
    for (;;) {
        bool agreed = true;
        if (candidates) {
            while (nextCandidate < candidates->size() && (*candidates)[nextCandidate] < target) ++nextCandidate;
            if (nextCandidate == candidates->size()) return;
            target = (*candidates)[nextCandidate];
        }
        if (target >= plan.pageCount) return;
        for (size_t k = 0; k < n; ++k) {
            CPostingList& list = plan.chars[order[k]].list;
            if (!list.SkipTo(target)) return;
            if (list.Page() > target) {
                target = list.Page();
                agreed = false;
                break;
            }
        }
        if (!agreed) continue;
        if (plan.spaced)
            MatchSpaced(plan, target, pages, counts);
        else
            MatchPositions(plan, target, pages, counts);
        ++target;
    }
}

}  // namespace

int32_t CIndex::CharNumberAt(std::u16string_view word, size_t& k, bool useVariants) const {
    char32_t cp = word[k];
    if (CCodeConverter::IsHighSurrogate(cp) && k + 1 < word.size() && CCodeConverter::IsLowSurrogate(word[k + 1])) {
        cp = CCodeConverter::JoinSurrogates(word[k], word[k + 1]);
        ++k;
    }
    int32_t number = CCodeConverter::ToCharNumber(cp);
    if (useVariants) FindVariantGroup(cp, number);
    return number;
}

uint32_t CIndex::EstimateWordCost(std::u16string_view word, bool useVariants) const {
    if (!m_bOpen) return 0;
    const std::u16string normalised = NormaliseWord(word);
    if (normalised.size() > kMaxWordUnits) return 0;
    uint32_t cheapest = UINT32_MAX;
    for (size_t k = 0; k < normalised.size(); ++k) {
        if (normalised[k] == u'*' || normalised[k] == u'?' || normalised[k] == u'\uFF1F') continue;
        const int32_t firstBlock = m_Files.FirstBlocks()[size_t(CharNumberAt(normalised, k, useVariants))];
        if (firstBlock == -1) return 0;
        // The blocks of the list, as far as the chain table tells and at most a bound.
        uint32_t blocks = 1;
        const std::vector<uint32_t>& chain = m_Files.BlockChain();
        for (uint32_t b = uint32_t(firstBlock); blocks < kCostBlockBound && b < chain.size(); ++blocks) b = chain[b];
        cheapest = std::min(cheapest, blocks);
    }
    return cheapest == UINT32_MAX ? 0 : cheapest;
}

void CIndex::FindPhrase(std::u16string_view word, bool useVariants, const std::vector<uint32_t>* candidates,
                        std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) const {
    if (!m_bOpen) return;
    const std::u16string normalised =
        NormaliseWord(m_bIgnorePunctuation ? std::u16string_view(punctuation::WithoutPunctuation(word)) : word);
    if (normalised.size() > kMaxWordUnits) return;

    WordPlan plan;
    std::array<int32_t, kMaxChars> numbers;  // character number of each walk
    size_t termBegin = 0;
    uint32_t offset = 0;
    for (size_t k = 0; k < normalised.size(); ++k) {
        const char16_t unit = normalised[k];
        if (unit == u'*') {
            if (plan.charCount > termBegin) plan.terms[plan.termCount++] = {termBegin, plan.charCount};
            termBegin = plan.charCount;
            continue;
        }
        if (unit == u'?' || unit == u'\uFF1F') {
            ++offset;
            continue;
        }
        const int32_t number = CharNumberAt(normalised, k, useVariants);
        const int32_t firstBlock = m_Files.FirstBlocks()[size_t(number)];
        if (firstBlock == -1) return;
        numbers[plan.charCount] = number;
        CharWalk& c = plan.chars[plan.charCount++];
        c.wordOffset = offset++;
        c.list.Start(&m_Files.Postings(), uint32_t(firstBlock), m_Files.LastPages()[size_t(number)]);
    }
    if (plan.charCount == 0) return;
    // A word of one character on its own reads its whole list; the others skip.
    plan.candidates = candidates;
    if (plan.charCount > 1 || candidates) {
        for (size_t i = 0; i < plan.charCount; ++i) plan.chars[i].list.UseSkipTable(&SkipTableOf(numbers[i]));
    }
    if (!m_bIgnorePunctuation && m_Pairs.IsOpen()) AddPairWalks(plan, numbers);
    plan.length = offset;
    plan.pageCount = uint32_t(m_FileList.GetPageCount());
    std::optional<CScopeText> text;  // of the page the spaced matching asked for last
    if (m_bIgnorePunctuation && plan.charCount > 1) {
        const RenderScope scope = SearchScope::OfIndex(m_Scope).renderScope;
        plan.spaced = [this, &text, scope](uint32_t page) -> const CScopeText* {
            try {
                text = CScopeText::Read(m_FileList, int(page), scope);
            } catch (const CDataFileError&) {  // an unreadable page shows no punctuation
                text.reset();
            }
            return text ? &*text : nullptr;
        };
    }
    WalkPages(plan, pages, counts);
}

const CPostingList::SkipTable& CIndex::SkipTableOf(int32_t number) const {
    const auto [found, isNew] = m_SkipTables.try_emplace(number);
    if (isNew)
        found->second =
            CPostingList::BuildSkipTable(&m_Files.Postings(), uint32_t(m_Files.FirstBlocks()[size_t(number)]),
                                         m_Files.LastPages()[size_t(number)], uint32_t(m_FileList.GetPageCount()));
    return found->second;
}

const CPostingList::SkipTable& CIndex::SkipTableOf(const CPairIndex::PairList& pair) const {
    const auto [found, isNew] = m_PairSkipTables.try_emplace(pair.id);
    if (isNew)
        found->second = CPostingList::BuildSkipTable(m_Pairs.Source(), pair.block, pair.lastPage,
                                                     uint32_t(m_FileList.GetPageCount()), pair.offset);
    return found->second;
}

void CIndex::AddPairWalks(WordPlan& plan, const std::array<int32_t, kMaxChars>& numbers) const {
    struct Candidate {
        CPairIndex::PairList pair;
        size_t term;
        uint32_t wordOffset;
    };
    std::vector<Candidate> candidates;
    for (size_t t = 0; t < plan.termCount; ++t) {
        for (size_t i = plan.terms[t].begin + 1; i < plan.terms[t].end; ++i) {
            if (plan.chars[i].wordOffset != plan.chars[i - 1].wordOffset + 1) continue;
            if (const auto pair = m_Pairs.Find(numbers[i - 1], numbers[i], m_Files))
                candidates.push_back({*pair, t, plan.chars[i - 1].wordOffset});
        }
    }
    const size_t room = std::min(kMaxPairWalks, kMaxChars - plan.charCount);
    if (candidates.size() > room) {
        std::partial_sort(candidates.begin(), candidates.begin() + ptrdiff_t(room), candidates.end(),
                          [](const Candidate& a, const Candidate& b) { return a.pair.pages < b.pair.pages; });
        candidates.resize(room);
    }
    if (candidates.empty()) return;
    // Each term's pairs go right after its characters.
    const std::vector<CharWalk> chars(plan.chars.begin(), plan.chars.begin() + ptrdiff_t(plan.charCount));
    size_t next = 0;
    for (size_t t = 0; t < plan.termCount; ++t) {
        const CharTerm term = plan.terms[t];
        plan.terms[t].begin = next;
        for (size_t i = term.begin; i < term.end; ++i) plan.chars[next++] = chars[i];
        for (const Candidate& candidate : candidates) {
            if (candidate.term != t) continue;
            CharWalk& walk = plan.chars[next++];
            walk.wordOffset = candidate.wordOffset;
            walk.list.Start(m_Pairs.Source(), candidate.pair.block, candidate.pair.lastPage, candidate.pair.offset);
            walk.list.UseSkipTable(&SkipTableOf(candidate.pair));
        }
        plan.terms[t].end = next;
    }
    plan.charCount = next;
}

void CIndex::SearchPhrase(std::u16string_view word, int combineMode, bool useVariants) {
    m_FoundPages.clear();
    m_FoundCounts.clear();
    FindPhrase(word, useVariants, nullptr, m_FoundPages, m_FoundCounts);
    Combine(combineMode, m_FoundPages, m_FoundCounts);
}

void CIndex::Combine(int combineMode, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) {
    if (combineMode != kUnion && combineMode != kIntersection) {
        m_ResultPages.swap(pages);
        m_ResultCounts.swap(counts);
        m_nResultPageCount = int(m_ResultPages.size());
        return;
    }
    // The earlier results ordered by page (first occurrence first), walked
    // alongside the ascending found pages.
    const size_t earlier = size_t(m_nResultPageCount);
    std::vector<uint32_t> order(earlier);
    std::iota(order.begin(), order.end(), 0u);
    if (!std::is_sorted(m_ResultPages.begin(), m_ResultPages.begin() + ptrdiff_t(earlier))) {
        std::stable_sort(order.begin(), order.end(),
                         [this](uint32_t a, uint32_t b) { return m_ResultPages[a] < m_ResultPages[b]; });
    }
    std::vector<uint32_t> keptPages, keptCounts;
    size_t next = 0;
    for (size_t f = 0; f < pages.size(); ++f) {
        while (next < earlier && m_ResultPages[order[next]] < pages[f]) ++next;
        const bool present = next < earlier && m_ResultPages[order[next]] == pages[f];
        if (combineMode == kUnion) {
            if (present) {
                m_ResultCounts[order[next]] += counts[f];
            } else {
                m_ResultPages.push_back(pages[f]);
                m_ResultCounts.push_back(counts[f]);
            }
        } else if (present) {
            keptPages.push_back(pages[f]);
            keptCounts.push_back(counts[f] + m_ResultCounts[order[next]]);
        }
    }
    if (combineMode == kIntersection) {
        m_ResultPages = std::move(keptPages);
        m_ResultCounts = std::move(keptCounts);
    }
    m_nResultPageCount = int(m_ResultPages.size());
}
