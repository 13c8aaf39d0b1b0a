// CIndex: one open search scope of the collection. It owns the scope's index
// tables, the mapped posting file, the document store (CFileList) and the
// variant groups, runs phrase searches over the posting lists and keeps the
// result lists of the last query. Searches on a closed index find nothing.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "index/indexfiles.h"
#include "docstore/filelist.h"
#include "index/indexformat.h"
#include "index/pairindex.h"
#include "index/postingcursor.h"
#include "index/postinglist.h"
#include "index/wordplan.h"

class CNotifier;

class CIndex {
public:
    // The combine modes of SearchPhrase.
    enum CombineMode { kReplace = 0, kUnion = 1, kIntersection = 2 };
    // Longest normalised word (with its closing "*") the search accepts, in
    // UTF-16 units; a longer one finds nothing.
    static constexpr size_t kMaxWordUnits = 299;
    // Most strings ExpandVariants returns, and most UTF-16 units in all of them
    // together; past either bound the remaining units keep only themselves.
    static constexpr size_t kMaxExpansions = 4096;
    static constexpr size_t kMaxExpansionUnits = size_t(1) << 20;

    // notifier (may be null) is told when an open fails; it must outlive the index.
    explicit CIndex(CNotifier* notifier = nullptr);
    ~CIndex();
    CIndex(const CIndex&) = delete;
    CIndex& operator=(const CIndex&) = delete;

    // Opens scope scopeType (0 full text, 1 annotations, 2 main text; any
    // other value is 0) of folder/baseName with the store and the variant table.
    // On failure tells the notifier "データを開けませんでした。" and stays closed.
    bool Open(const std::filesystem::path& folder, const std::string& baseName, int scopeType);
    // Releases the tables, the mapping and the store; keeps the variant groups
    // and the result lists. Safe on a closed index.
    void Close();
    bool IsOpen() const { return m_bOpen; }
    // The scope's pair index opened and matches its index files.
    bool HasPairIndex() const { return m_Pairs.IsOpen(); }

    // The document store's header word, shown first in the page label.
    int GetHeaderWord() const { return m_FileList.GetHeaderWord(); }
    bool GetPageLength(int page, uint32_t& length) const { return m_FileList.GetPageLength(page, length); }
    bool ReadPage(int page, std::string& buffer) const { return m_FileList.ReadPage(page, buffer); }
    bool FindPrintedPage(int startPage, int printedPage, int& page) const {
        return m_FileList.FindPrintedPage(startPage, printedPage, page);
    }
    const CFileList& GetFileList() const { return m_FileList; }

    // Replaces the variant groups with those of folder/"yitizi.txt"; false (and
    // no groups) when it cannot be read or is larger than 64 MiB. Groups past
    // the index tables' range are ignored.
    bool LoadVariantTable(const std::filesystem::path& folder);
    // The group number (88065 + group index) of the first group holding codePoint.
    bool FindVariantGroup(uint32_t codePoint, int32_t& groupNumber) const;
    // The members of the first group holding unit, or just the unit.
    std::vector<uint32_t> GetVariantAlternatives(char16_t unit) const;
    // Every variant spelling of query, character by character (a surrogate
    // pair is one character), the first varying slowest. A member above U+FFFF
    // is written as its surrogate pair; a member 0 is never a spelling.
    std::vector<std::u16string> ExpandVariants(std::u16string_view query) const;
    const std::vector<std::vector<uint32_t>>& GetVariantGroups() const { return m_VariantGroups; }

    // With the option on, the searches and the hit pages drop the query's
    // punctuation and let runs of punctuation and white space stand between
    // the characters of a word (docstore/punctuation.h); off by default.
    void SetIgnorePunctuation(bool ignore) { m_bIgnorePunctuation = ignore; }

    // Finds the pages holding word and merges them into the result lists.
    void SearchPhrase(std::u16string_view word, int combineMode, bool useVariants);
    // Words of query (up to a NUL); 0 when empty or holding a unit below
    // U+0100 other than space, "*" and "?".
    static int CountWords(std::u16string_view query);
    // Pages holding every word / any word of query. The spaces of query are
    // overwritten with U+3000. A rejected query leaves the results unchanged.
    void SearchAll(std::u16string& query, bool useVariants);
    void SearchAny(std::u16string& query, bool useVariants);

    const std::vector<uint32_t>& GetResultPages() const { return m_ResultPages; }
    const std::vector<uint32_t>& GetResultCounts() const { return m_ResultCounts; }
    int GetResultPageCount() const { return m_nResultPageCount; }

    // Renders page with every term of query marked (variant spellings too when
    // useVariants); html gets the UTF-8 page, the result is its anchor count.
    // marks, when given, gets the text cell's parity and the anchors of every match marked.
    int GetPageHtml(int page, std::string& html, std::u16string_view query, int renderScope, bool useVariants,
                    PageMarks* marks = nullptr) const;

private:
    // The spellings codePoint may take in a hit page: the members of its first
    // group that a text can hold, or just self (its own units) when none.
    std::vector<std::u16string> SpellingsOf(uint32_t codePoint, std::u16string_view self) const;
    // The skip table of character number's list, built on first use and kept
    // until the index closes. Covers the list only as far as its pages ascend.
    const CPostingList::SkipTable& SkipTableOf(int32_t number) const;
    // The same for a pair's list.
    const CPostingList::SkipTable& SkipTableOf(const CPairIndex::PairList& pair) const;
    // Adds to each term of plan the lists of the rarest pairs of its
    // characters side by side that the pair index holds (numbers: the
    // character number of each walk). Each stands with its first character and
    // only removes pages and positions that the characters' lists rule out too.
    void AddPairWalks(WordPlan& plan, const std::array<int32_t, kMaxChars>& numbers) const;
    void SearchWords(std::u16string& query, int laterMode, bool useVariants);
    void IntersectWords(std::vector<std::u16string_view> words, bool useVariants);
    // The pages (ascending) and counts of word; with candidates, only among them.
    void FindPhrase(std::u16string_view word, bool useVariants, const std::vector<uint32_t>* candidates,
                    std::vector<uint32_t>& pages, std::vector<uint32_t>& counts) const;
    // The character number of the character at word[k] (k moves past a
    // surrogate pair), its variant group's number when useVariants.
    int32_t CharNumberAt(std::u16string_view word, size_t& k, bool useVariants) const;
    // How much a word's walk is likely to read: the blocks of its shortest
    // list (0 when it cannot occur). Only orders the words of a query.
    uint32_t EstimateWordCost(std::u16string_view word, bool useVariants) const;
    static constexpr uint32_t kCostBlockBound = 1024;
    // Merges a word's pages and counts into the result lists; with kReplace
    // they trade places with the result lists, whose storage pages and counts keep.
    void Combine(int combineMode, std::vector<uint32_t>& pages, std::vector<uint32_t>& counts);

    CNotifier* m_pNotifier;
    CFileList m_FileList;
    bool m_bOpen = false;
    IndexScope m_Scope = IndexScope::kFullText;  // of the open files
    bool m_bIgnorePunctuation = false;
    CIndexFiles m_Files;
    CPairIndex m_Pairs;  // closed when the scope has none that matches

    std::vector<uint32_t> m_ResultPages;
    std::vector<uint32_t> m_ResultCounts;
    // The pages and counts of the word searched last, kept between searches
    // so that a long list of pages finds its storage ready.
    std::vector<uint32_t> m_FoundPages;
    std::vector<uint32_t> m_FoundCounts;
    int m_nResultPageCount = 0;

    // Skip tables of the lists searched so far, by character number. A cache:
    // filled by the const searches, it never changes what they find.
    mutable std::unordered_map<int32_t, CPostingList::SkipTable> m_SkipTables;
    mutable std::unordered_map<size_t, CPostingList::SkipTable> m_PairSkipTables;  // by pair id

    std::vector<std::vector<uint32_t>> m_VariantGroups;
    std::unordered_map<uint32_t, int> m_FirstGroupOf;  // code point -> first group index
};
