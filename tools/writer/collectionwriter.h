// CCollectionWriter: writes a whole collection in the reader's formats: the
// document store, the three index file pairs, the variant table and the table
// of contents. Tests build their fixtures with it and the collection builder
// feeds it. Pages stream to disk as they are added: the page content and the
// posting blocks go straight to spool files, and memory holds only the page
// records, the table of contents and at most one partial posting block per list.
// A page that exceeds a format limit is a fault that Write raises as
// CWriterError (CheckFault raises it at once); nothing checks the HTML itself.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "docstore/tocformat.h"
#include "writer/pairindexwriter.h"
#include "writer/postingwriter.h"
#include "writer/spoolfile.h"
#include "writer/writererror.h"

// One occurrence of a character in a scope: its code point and its position
// on the page. Characters without a character number are left out of the lists.
struct CharOccurrence {
    char32_t codePoint;
    uint32_t position;
};

struct WriterPage {
    std::string recordName;  // e.g. "b001\\v001\\0001.htm"
    std::string html;        // the page's UTF-8 bytes, stored masked
    // Occurrences per scope type: 0 full text, 1 annotations, 2 main text.
    std::array<std::vector<CharOccurrence>, 3> occurrences;
};

struct WriterOptions {
    int headerWord = 0;
    std::string headerText;
    int nameWidth = 0;           // 0: the longest record name + 1
    bool scatterBlocks = false;  // number the posting blocks backwards, so chains hop back
    // Where the page content and posting files grow while pages are added.
    // Give the folder that Write will get to have them written in place (the
    // writer then leaves them there); empty: a private temporary folder, removed
    // with the writer, from which Write copies them.
    std::filesystem::path spoolFolder;
    // More than 1: the posting lists grow on threads beside the one adding
    // pages, and Write closes the three scopes' lists side by side.
    size_t threads = 1;
    // Also write each scope's pair index, for the pairs of lists that reach
    // pairMinPages pages (0: one page in kPairPageShare of the collection's).
    bool pairIndex = false;
    uint32_t pairMinPages = 0;
    uint32_t pairSelectivity = CPairIndexWriter::kSelectivity;
};

class CCollectionWriter {
public:
    // Creates the spool files; raises CWriterError when it cannot.
    explicit CCollectionWriter(WriterOptions options = {});
    ~CCollectionWriter();
    CCollectionWriter(const CCollectionWriter&) = delete;
    CCollectionWriter& operator=(const CCollectionWriter&) = delete;

    // Returns the new page's page number. Pages after the first fault are not kept.
    int AddPage(WriterPage page);
    void AddTocRecord(TocRecord record);
    // Groups of code points, one line of the variant table each; the list of
    // group g (number 88065 + g) holds the occurrences of all its members. May
    // come before or after the pages.
    void SetVariantGroups(std::vector<std::vector<uint32_t>> groups);

    // Raises the first fault met so far as CWriterError.
    void CheckFault() const;

    // Writes every file of the collection into folder (which must exist). The
    // first call closes the collection: later pages are a fault. Raises
    // CWriterError on a fault or a failed write.
    void Write(const std::filesystem::path& folder);

    // The names of the files Write writes; the pair indexes only with pairIndex.
    static std::vector<std::string> FileNames();
    static std::vector<std::string> PairIndexNames();
    static constexpr uint32_t kPairPageShare = 16;

    // One position per code point of text, from first on: the full-text rule.
    static std::vector<CharOccurrence> Occurrences(std::u16string_view text, uint32_t first = 0);

private:
    // Where a page's bytes lie in the content file.
    struct PageRecord {
        std::string name;
        uint32_t endOffset;
        uint32_t length;
    };

    void AddPageContent(const WriterPage& page);
    void AddPagePostings(const WriterPage& page, uint32_t pageNumber);
    void Finish();
    void FinishPostings(const std::vector<std::vector<int32_t>>& members);
    std::string DescribeFault(const CWriterError& error) const;
    std::vector<std::vector<int32_t>> GroupMemberNumbers() const;
    void WriteStoreTable(const std::filesystem::path& folder) const;
    void WriteVariantTable(const std::filesystem::path& folder) const;
    void WriteTableOfContents(const std::filesystem::path& folder) const;
    void WritePairIndexes(const std::filesystem::path& folder) const;
    void PlaceSpoolFile(const std::filesystem::path& spoolPath, const std::filesystem::path& folder) const;

    WriterOptions m_options;
    std::filesystem::path m_spoolFolder;
    bool m_ownsSpoolFolder = false;
    CSpoolFile m_content;
    std::array<std::unique_ptr<CPostingWriter>, 3> m_postings;  // per scope type
    std::vector<PageRecord> m_records;
    std::vector<TocRecord> m_toc;
    std::vector<std::vector<uint32_t>> m_groups;
    std::vector<uint64_t> m_keys;  // scratch: one page's posting keys
    std::string m_masked;          // scratch: one page's masked bytes
    std::string m_fault;           // the first fault; empty while there is none
    bool m_bFinished = false;
};
