// CZipfText: synthetic classical text for the benchmarks. Characters are drawn
// from a fixed vocabulary with Zipf-like frequencies (rank r has weight
// 1 / (r + 3)^exponent), set in verse lines of five or seven characters or in
// prose clauses, closed by "，" or "。", with an occasional annotation. The same seed gives the same
// text on every run.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class CZipfText {
public:
    // vocabulary: the characters by rank, most frequent first (at least one).
    CZipfText(std::vector<char32_t> vocabulary, double exponent, uint64_t seed);

    // The raw text cell of one page of exactly chars characters outside tags
    // (punctuation included), UTF-8.
    std::string NextCell(size_t chars);

    // count distinct ideographs of U+4E00..U+9FFF in a seeded random order;
    // the members of groups come first, so that variant queries have work.
    static std::vector<char32_t> Vocabulary(size_t count, uint64_t seed,
                                            const std::vector<std::vector<uint32_t>>& groups);

private:
    char32_t NextCharacter();
    uint64_t NextBelow(uint64_t bound) { return m_random() % bound; }

    std::vector<char32_t> m_vocabulary;
    std::vector<double> m_cumulative;  // running sums of the weights, by rank
    std::mt19937_64 m_random;
};
