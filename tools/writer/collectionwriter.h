// CCollectionWriter: writes a whole collection in the reader's formats from
// pages held in memory: the document store, the three index file pairs, the
// variant table and the table of contents. Tests build their fixtures with it
// and the collection builder feeds it. Write raises CWriterError when the
// input exceeds a format limit; nothing checks the HTML itself.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CWriterError : public std::runtime_error {
public:
    explicit CWriterError(const std::string& what) : std::runtime_error(what) {}
};

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

struct TocEntry {
    std::u16string name;   // at most 99 UTF-16 units
    int level = 1;         // 1 category, 2 book, 3 volume
    int docID = 1;         // first page number + 1
    int docNo = 0;         // pages in the run
    uint16_t firstPrinted = 0;
};

struct WriterOptions {
    int headerWord = 0;
    std::string headerText;
    int nameWidth = 0;           // 0: the longest record name + 1
    bool scatterBlocks = false;  // lay continuation blocks backwards from the file's end
};

class CCollectionWriter {
public:
    explicit CCollectionWriter(WriterOptions options = {});

    // Returns the new page's page number.
    int AddPage(WriterPage page);
    void AddTocEntry(TocEntry entry);
    // Groups of code points, one line of the variant table each; the lists of
    // group g (number 88065 + g) hold the occurrences of all its members.
    void SetVariantGroups(std::vector<std::vector<uint32_t>> groups);

    // Writes every file of the collection into folder (which must exist).
    void Write(const std::filesystem::path& folder) const;

    // One position per code point of text, from first on: the full-text rule.
    static std::vector<CharOccurrence> Occurrences(std::u16string_view text, uint32_t first = 0);

private:
    void WriteStore(const std::filesystem::path& folder) const;
    void WriteIndex(const std::filesystem::path& folder, int scopeType) const;
    void WriteVariantTable(const std::filesystem::path& folder) const;
    void WriteTableOfContents(const std::filesystem::path& folder) const;

    WriterOptions m_options;
    std::vector<WriterPage> m_pages;
    std::vector<TocEntry> m_toc;
    std::vector<std::vector<uint32_t>> m_groups;
};
