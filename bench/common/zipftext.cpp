#include "common/zipftext.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <unordered_set>

#include "pagetags.h"

namespace {

constexpr char32_t kFirstIdeograph = 0x4E00;
constexpr char32_t kLastIdeograph = 0x9FFF;
const std::string& kAnnotationOpen = pagetags::kNote;
const std::string& kAnnotationClose = pagetags::kNoteEnd;

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

CZipfText::CZipfText(std::vector<char32_t> vocabulary, double exponent, uint64_t seed)
    : m_vocabulary(std::move(vocabulary)), m_random(seed) {
    double total = 0;
    m_cumulative.reserve(m_vocabulary.size());
    for (size_t rank = 0; rank < m_vocabulary.size(); ++rank) {
        total += 1.0 / std::pow(double(rank) + 3.0, exponent);
        m_cumulative.push_back(total);
    }
}

char32_t CZipfText::NextCharacter() {
    // 53 random bits as a fraction of the total weight: the same on every platform.
    const double u = double(m_random() >> 11) / double(uint64_t(1) << 53) * m_cumulative.back();
    const auto rank = std::upper_bound(m_cumulative.begin(), m_cumulative.end(), u) - m_cumulative.begin();
    return m_vocabulary[std::min(size_t(rank), m_vocabulary.size() - 1)];
}

std::string CZipfText::NextCell(size_t chars) {
    std::string cell;
    cell.reserve(chars * 3 + 64);
    // About every other page carries one annotation of 8 to 23 characters.
    const bool annotated = NextBelow(2) == 0 && chars > 40;
    const size_t noteStart = annotated ? NextBelow(chars - 30) : chars;
    const size_t noteLength = 8 + NextBelow(16);
    // Two pages in five are verse of five-character lines, two of seven, one is
    // prose with clauses of 8 to 24 characters.
    const uint64_t style = NextBelow(5);
    const bool prose = style == 4;
    const auto nextLineLength = [&]() -> size_t { return prose ? 8 + NextBelow(17) : style < 2 ? 5 : 7; };
    size_t inLine = 0;
    size_t lineLength = nextLineLength();
    bool comma = true;
    for (size_t i = 0; i < chars; ++i) {
        if (i == noteStart) cell += kAnnotationOpen;
        if (inLine == lineLength) {
            AppendUtf8(comma ? U'，' : U'。', cell);
            comma = !comma;
            inLine = 0;
            lineLength = nextLineLength();
        } else {
            AppendUtf8(NextCharacter(), cell);
            ++inLine;
        }
        if (annotated && i + 1 == noteStart + noteLength) cell += kAnnotationClose;
    }
    return cell;
}

std::vector<char32_t> CZipfText::Vocabulary(size_t count, uint64_t seed,
                                            const std::vector<std::vector<uint32_t>>& groups) {
    std::vector<char32_t> grouped, others;
    std::unordered_set<char32_t> seen;
    for (const auto& group : groups)
        for (uint32_t member : group)
            if (member >= kFirstIdeograph && member <= kLastIdeograph && seen.insert(member).second)
                grouped.push_back(member);
    for (char32_t cp = kFirstIdeograph; cp <= kLastIdeograph; ++cp)
        if (!seen.count(cp)) others.push_back(cp);
    std::mt19937_64 random(seed);
    std::shuffle(grouped.begin(), grouped.end(), random);
    std::shuffle(others.begin(), others.end(), random);
    // Half of the vocabulary (at most) from the groups, the rest from the others,
    // then mixed so that grouped characters have every rank.
    std::vector<char32_t> vocabulary(grouped.begin(), grouped.begin() + std::ptrdiff_t(std::min(grouped.size(), count / 2)));
    for (size_t i = 0; vocabulary.size() < count && i < others.size(); ++i) vocabulary.push_back(others[i]);
    std::shuffle(vocabulary.begin(), vocabulary.end(), random);
    return vocabulary;
}
