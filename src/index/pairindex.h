// CPairIndex: a scope's optional pair index (pairformat.h), mapped read-only.
// It opens only when its stamp matches the scope's index files, and hands out
// a pair's list only once the list and the two lists it was made from check out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/mappedfile.h"
#include "index/indexfiles.h"
#include "index/postingcursor.h"

class CPairIndex {
public:
    // Where a pair's list starts in Source(), and what the walk needs of it.
    struct PairList {
        uint32_t block;
        uint32_t offset;  // within the block
        uint32_t lastPage;
        uint32_t pages;   // its page entries
        size_t id;        // the pair's place in the table
    };

    // Maps path when its stamp matches the header file at headerPath and a
    // posting file of postingSize bytes; false (and closed) otherwise.
    bool Open(const std::filesystem::path& path, const std::filesystem::path& headerPath, uint64_t postingSize);
    void Close();
    bool IsOpen() const { return m_PairCount > 0; }

    // The list of the pair (first, second) when the index holds it, its bytes
    // are intact and the lists of both numbers in files are the ones it was
    // made from. Checked once per pair and number; a pair that fails is never
    // handed out.
    std::optional<PairList> Find(int32_t first, int32_t second, const CIndexFiles& files) const;

    // The pairs' lists, read as chained posting blocks.
    const CPostingCursor::Source* Source() const { return &m_Data; }

private:
    // Maps path and finds its tables and data; false when it is no pair index.
    bool Map(const std::filesystem::path& path);
    bool StampMatches(const std::filesystem::path& headerPath, uint64_t postingSize) const;
    bool TablesIntact() const;
    // The table entry of (first, second); null when there is none.
    const unsigned char* FindEntry(int32_t first, int32_t second) const;
    bool PairIntact(const unsigned char* entry) const;
    bool NumberMatches(int32_t number, const CIndexFiles& files) const;

    CMappedFile m_File;
    const unsigned char* m_Numbers = nullptr;  // number table
    const unsigned char* m_Pairs = nullptr;    // pair table
    uint32_t m_NumberCount = 0;
    uint32_t m_PairCount = 0;
    std::vector<uint32_t> m_Chain;  // block b of the data continues in b + 1
    CPostingCursor::Source m_Data;

    // What the checks found so far, by pair id and by number. Caches: they
    // never change what Find hands out.
    mutable std::unordered_map<size_t, bool> m_PairChecked;
    mutable std::unordered_map<int32_t, bool> m_NumberChecked;
};
