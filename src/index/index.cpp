#include "index/index.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "base/datafileerror.h"
#include "base/readonlyfile.h"
#include "docstore/punctuation.h"
#include "index/indexformat.h"
#include "index/notifier.h"
#include "index/pairformat.h"
#include "index/variantformat.h"

namespace {

constexpr const char* kOpenFailedMessage = "データを開けませんでした。";
// A variant table is a few hundred kilobytes; a file past this bound is not
// one and is not read into memory.
constexpr uint64_t kMaxVariantTableBytes = uint64_t(64) << 20;

// strtoul in base 16, clamped to 32 bits as a 32-bit runtime would.
uint32_t ParseHexToken(std::string_view token) {
    const std::string text(token);
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 16);
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(value);
}

}  // namespace

CIndex::CIndex(CNotifier* notifier) : m_pNotifier(notifier) {}

CIndex::~CIndex() { Close(); }

bool CIndex::Open(const std::filesystem::path& folder, const std::string& baseName, int scopeType) {
    LoadVariantTable(folder);
    m_Scope = indexformat::IndexScopeOf(scopeType);
    const std::string prefix = baseName + indexformat::ScopeSuffix(m_Scope);
    m_ResultPages.clear();
    m_nResultPageCount = 0;
    try {
        const std::filesystem::path headerPath = folder / (prefix + indexformat::kHeaderExtension);
        m_Files.Open(headerPath, folder / (prefix + indexformat::kPostingExtension));
        m_Pairs.Open(folder / (prefix + pairformat::kExtension), headerPath,
                     m_Files.Postings().size);  // without it the lists are walked alone
        if (!m_FileList.Open(folder, baseName)) throw CDataFileError("document store");
        m_bOpen = true;
        return true;
    } catch (const std::exception&) {  // a data-file error or a failed allocation
        if (m_pNotifier) m_pNotifier->ShowMessage(kOpenFailedMessage);
        Close();
        return false;
    }
}

void CIndex::Close() {
    m_bOpen = false;
    m_SkipTables.clear();
    m_PairSkipTables.clear();
    m_Pairs.Close();
    m_Files.Close();
    m_FileList.Close();
}

bool CIndex::LoadVariantTable(const std::filesystem::path& folder) {
    m_VariantGroups.clear();
    m_FirstGroupOf.clear();
    std::string text;
    try {
        CReadOnlyFile file;
        if (!file.Open(folder / variantformat::kFileName) || file.Size() > kMaxVariantTableBytes) return false;
        text.resize(size_t(file.Size()));
        text.resize(file.ReadSome(0, text.data(), text.size()));
    } catch (const CDataFileError&) {
        return false;
    }
    variantformat::ForEachRun(text, variantformat::kLineEnd, [this](std::string_view line) {
        if (m_VariantGroups.size() == size_t(variantformat::kMaxGroups)) return;
        std::vector<uint32_t> group;
        variantformat::ForEachRun(line, variantformat::kMemberSeparator,
                                  [&group](std::string_view token) { group.push_back(ParseHexToken(token)); });
        const int index = int(m_VariantGroups.size());
        for (uint32_t member : group) m_FirstGroupOf.emplace(member, index);
        m_VariantGroups.push_back(std::move(group));
    });
    return true;
}

bool CIndex::FindVariantGroup(uint32_t codePoint, int32_t& groupNumber) const {
    const auto found = m_FirstGroupOf.find(codePoint);
    if (found == m_FirstGroupOf.end()) return false;
    groupNumber = indexformat::kFirstGroupNumber + found->second;
    return true;
}

std::vector<uint32_t> CIndex::GetVariantAlternatives(char16_t unit) const {
    const auto found = m_FirstGroupOf.find(unit);
    if (found == m_FirstGroupOf.end()) return {unit};
    return m_VariantGroups[size_t(found->second)];
}

namespace {

// The code point of the character at query[i] and the units it spans: a
// surrogate pair is one character, an unpaired half stands for itself.
std::pair<uint32_t, size_t> CharacterAt(std::u16string_view query, size_t i) {
    const char16_t unit = query[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < query.size() && query[i + 1] >= 0xDC00 && query[i + 1] <= 0xDFFF)
        return {0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (uint32_t(query[i + 1]) - 0xDC00), 2};
    return {unit, 1};
}

// The UTF-16 spelling of a group member; empty for what no text can hold
// (0, a surrogate value, anything past U+10FFFF).
std::u16string SpellingOf(uint32_t member) {
    if (member == 0 || (member >= 0xD800 && member <= 0xDFFF) || member > 0x10FFFF) return {};
    if (member <= 0xFFFF) return std::u16string(1, char16_t(member));
    const uint32_t offset = member - 0x10000;
    return {char16_t(0xD800 + (offset >> 10)), char16_t(0xDC00 + (offset & 0x3FF))};
}

}  // namespace

std::vector<std::u16string> CIndex::SpellingsOf(uint32_t codePoint, std::u16string_view self) const {
    std::vector<std::u16string> forms;
    // No character equals the member 0, and an unpaired surrogate half is no character.
    const bool character = codePoint != 0 && (codePoint < 0xD800 || codePoint > 0xDFFF);
    const auto found = character ? m_FirstGroupOf.find(codePoint) : m_FirstGroupOf.end();
    if (found != m_FirstGroupOf.end()) {
        for (uint32_t member : m_VariantGroups[size_t(found->second)]) {
            std::u16string form = SpellingOf(member);
            if (!form.empty()) forms.push_back(std::move(form));
        }
    }
    if (forms.empty()) forms.emplace_back(self);
    return forms;
}

std::vector<std::u16string> CIndex::ExpandVariants(std::u16string_view query) const {
    // The longest spelling bounds the units of every spelling; a long query
    // gets fewer spellings, so that their units stay within kMaxExpansionUnits.
    size_t longest = 0;
    for (size_t i = 0; i < query.size();) {
        const auto [codePoint, span] = CharacterAt(query, i);
        size_t widest = 0;
        for (const std::u16string& form : SpellingsOf(codePoint, query.substr(i, span)))
            widest = std::max(widest, form.size());
        longest += widest;
        i += span;
    }
    const size_t maxStrings = std::clamp<size_t>(kMaxExpansionUnits / std::max<size_t>(longest, 1), 1, kMaxExpansions);
    // The spellings of each character in turn; once the product would pass the
    // bound, the rest of the query keeps only itself.
    std::vector<std::vector<std::u16string>> forms;
    size_t total = 1;
    size_t fixedFrom = 0;
    while (fixedFrom < query.size()) {
        const auto [codePoint, span] = CharacterAt(query, fixedFrom);
        std::vector<std::u16string> spellings = SpellingsOf(codePoint, query.substr(fixedFrom, span));
        if (total * spellings.size() > maxStrings) break;
        total *= spellings.size();
        forms.push_back(std::move(spellings));
        fixedFrom += span;
    }
    const std::u16string_view fixedTail = query.substr(fixedFrom);
    std::vector<std::u16string> result;
    result.reserve(total);
    std::vector<size_t> choice(forms.size(), 0);
    std::u16string current;
    for (;;) {
        current.clear();
        for (size_t i = 0; i < forms.size(); ++i) current += forms[i][choice[i]];
        current += fixedTail;
        result.push_back(current);
        // The last character varies fastest.
        size_t i = forms.size();
        while (i > 0 && ++choice[i - 1] == forms[i - 1].size()) choice[--i] = 0;
        if (i == 0) break;
    }
    return result;
}

int CIndex::CountWords(std::u16string_view query) {
    int words = 0;
    bool inWord = false;
    for (char16_t unit : query) {
        if (unit == 0) break;
        if (unit == u' ' || unit == u'\u3000') {
            inWord = false;
        } else if (unit >= 0x100 || unit == u'*' || unit == u'?') {
            if (!inWord) ++words;
            inWord = true;
        } else {
            return 0;
        }
    }
    return words;
}

void CIndex::SearchAll(std::u16string& query, bool useVariants) { SearchWords(query, kIntersection, useVariants); }

void CIndex::SearchAny(std::u16string& query, bool useVariants) { SearchWords(query, kUnion, useVariants); }

// The first word replaces the results, every later word is merged by laterMode.
void CIndex::SearchWords(std::u16string& query, int laterMode, bool useVariants) {
    // Without its punctuation the query is read from a copy, and the caller's keeps its spaces.
    std::u16string spaced;
    if (m_bIgnorePunctuation) spaced = punctuation::WithoutPunctuation(query.substr(0, query.find(u'\0')));
    std::u16string& text = m_bIgnorePunctuation ? spaced : query;
    if (CountWords(text) == 0) return;
    m_ResultPages.clear();
    m_ResultCounts.clear();
    m_nResultPageCount = 0;
    const size_t end = std::min(text.find(u'\0'), text.size());
    std::vector<std::u16string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= end; ++i) {
        const bool separator = i < end && (text[i] == u' ' || text[i] == u'\u3000');
        if (i < end && !separator) continue;
        if (separator) text[i] = u'\u3000';
        if (i > start) words.push_back(std::u16string_view(text).substr(start, i - start));
        start = i + 1;
    }
    if (laterMode == kUnion) {
        for (std::u16string_view word : words) SearchPhrase(word, kUnion, useVariants);
    } else {
        IntersectWords(words, useVariants);
    }
}

void CIndex::IntersectWords(std::vector<std::u16string_view> words, bool useVariants) {
    // The pages every word holds, ascending, with the counts summed, do not
    // depend on the order of the words: the cheapest word goes first, and each
    // later one looks only at the pages still left.
    std::vector<uint32_t> cost;
    for (std::u16string_view word : words) cost.push_back(EstimateWordCost(word, useVariants));
    std::vector<size_t> order(words.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&cost](size_t a, size_t b) { return cost[a] < cost[b]; });
    for (size_t k = 0; k < order.size(); ++k) {
        m_FoundPages.clear();
        m_FoundCounts.clear();
        FindPhrase(words[order[k]], useVariants, k == 0 ? nullptr : &m_ResultPages, m_FoundPages, m_FoundCounts);
        Combine(k == 0 ? kReplace : kIntersection, m_FoundPages, m_FoundCounts);
        if (m_nResultPageCount == 0) return;
    }
}
