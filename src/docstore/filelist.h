// CFileList: reader of the two-file document store (page table and masked
// page content). Owned by value by CIndex; every page read seeks first, so
// reads do not depend on each other. Page numbers are 0-based record positions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/readonlyfile.h"
#include "docstore/filteritem.h"
#include "docstore/htmlnode.h"
#include "docstore/markedmatch.h"
#include "docstore/pagemarks.h"
#include "docstore/seg.h"

class CFileList {
public:
    CFileList() = default;
    ~CFileList() { Close(); }
    CFileList(const CFileList&) = delete;
    CFileList& operator=(const CFileList&) = delete;

    // Opens folder/baseName + "-fl.h" and "-fl.cnt". False (and closed) when a
    // file is missing or unreadable or the page table's name width is not 1..260.
    bool Open(const std::filesystem::path& folder, const std::string& baseName);
    // Safe on a closed store.
    void Close();
    bool IsOpen() const { return m_bOpen; }

    // The page table's header word; 0 until a store is opened.
    int GetHeaderWord() const { return m_nHeaderWord; }
    // Number of page records (0 when closed).
    int GetPageCount() const { return m_nPageCount; }

    // The length field of page n's record. False when closed or n is out of range.
    bool GetPageLength(int n, uint32_t& length) const;
    // Replaces buffer with page n's unmasked bytes. False when closed, when n is
    // out of range, or when the record's bytes do not lie inside the content
    // file. A read error raises CDataFileError.
    bool ReadPage(int n, std::string& buffer) const;
    // The record name of page n (up to its NUL). False when closed or out of range.
    bool GetRecordName(int n, std::string& name) const;

    // Scans the records from startPage on (a negative start counts as 0) for the
    // first whose name carries printedPage. On a miss, page holds the last record
    // examined, or the start - 1 when none was.
    bool FindPrintedPage(int startPage, int printedPage, int& page) const;

    // The printed page number a record name carries: the text between its last
    // "\" and the last "." after it, read as atoi reads it. None without both.
    static std::optional<int> PrintedPageOf(std::string_view recordName);
    // 0: the page's text stands in its first cell, 1: in its second cell.
    static int PageParity(std::string_view recordName);

    // The most anchors a hit page takes. Later terms match inside the marks of
    // earlier ones, so without a bound a few short terms would grow a page
    // exponentially; no real page comes near it.
    static constexpr int kMaxAnchors = 100000;

    // Page n with every match of every term of terms marked and anchored, in
    // the hit-page template; out gets the UTF-8 page, the result is the anchor
    // count. Terms are separated by U+0020 or U+3000 (a NUL ends the list);
    // each distinct term is one pass over the previous pass's output. scope 0
    // marks everything, 1 main text only, 2 annotations only. Once the page
    // holds kMaxAnchors anchors, the terms after the current one are not
    // processed. Returns 0 with out untouched when closed, when n cannot be
    // read, or when no term is given. A read error raises CDataFileError.
    // marks, when given, gets the text cell's parity and every match marked.
    // ignorePunctuation drops the terms' punctuation and lets runs of it stand
    // between their characters (punctuation.h).
    int RenderHitPage(int pageNumber, std::string& out, std::u16string_view terms, int scope,
                      PageMarks* marks = nullptr, bool ignorePunctuation = false) const;

    // One term pass: appends content rebuilt in the template to out, with the
    // term marked in the text cell (the first cell for parity 0, the second
    // for 1) as scope says. counter numbers the anchors and is advanced.
    static void ComposePage(std::string_view content, std::string& out, std::string_view term, int parity,
                            int scope, int& counter, std::vector<MarkedMatch>* matches = nullptr,
                            bool ignorePunctuation = false);

    // Cuts a page into its title, first cell and second cell (always three
    // nodes, empty where the page lacks them).
    static std::vector<HTMLNode> SplitPage(std::string_view page);
    // Cuts a cell into main-text and annotation runs; the first is always main text.
    static std::vector<FilterItem> FilterCell(const HTMLNode& cell);

    // The literal chunks of a term, in order; empty when the term holds only wildcards.
    static std::vector<Seg> ParseTerm(std::string_view term);
    // Appends item's text to out with every match of term marked, an anchor
    // numbered counter (then advanced) before each marked chunk. Once counter
    // reaches kMaxAnchors, the rest of the text is appended unmarked. matches,
    // when given, gets each match's anchors. ignorePunctuation lets a run of
    // punctuation stand between the characters of a chunk and around a "?".
    static void HighlightItem(const FilterItem& item, std::string_view term, std::string& out, int& counter,
                              std::vector<MarkedMatch>* matches = nullptr, bool ignorePunctuation = false);

private:
    uint64_t RecordOffset(int n) const;
    bool ReadRecordTail(int n, uint32_t& endOffset, uint32_t& length) const;

    int m_nHeaderWord = 0;
    bool m_bOpen = false;
    int m_nNameWidth = 100;  // record name width W
    int m_nPageCount = 0;
    CReadOnlyFile m_tableFile;
    CReadOnlyFile m_contentFile;
};
