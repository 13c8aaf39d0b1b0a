#include "writer/collectionwriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unordered_map>

#include "docstore/storeformat.h"
#include "docstore/tocformat.h"
#include "index/codeconverter.h"
#include "index/indexformat.h"

namespace {

void AppendUint16(uint32_t value, std::string& out) {
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

void AppendUint32(uint32_t value, std::string& out) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(char((value >> shift) & 0xFF));
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file.flush()) throw CWriterError("cannot write " + path.string());
}

void CheckVarint(uint32_t value, const char* what) {
    if (value > indexformat::kMaxVarint)
        throw CWriterError(std::string(what) + " beyond " + std::to_string(indexformat::kMaxVarint));
}

// The posting list of one character number: (page, position) in ascending order.
struct Posting {
    uint32_t page;
    uint32_t position;
};

std::string EncodeList(const std::vector<Posting>& postings) {
    std::string out;
    uint32_t previousPage = 0;
    for (size_t i = 0; i < postings.size();) {
        const uint32_t page = postings[i].page;
        std::string positions;
        uint32_t previous = 0;
        for (; i < postings.size() && postings[i].page == page; ++i) {
            CheckVarint(postings[i].position - previous, "a position delta");
            indexformat::AppendVarint(postings[i].position - previous, positions);
            previous = postings[i].position;
        }
        if (positions.size() > indexformat::kMaxPositionBytes)
            throw CWriterError("a page entry's position data over 65535 bytes");
        CheckVarint(page - previousPage, "a page delta");
        indexformat::AppendVarint(page - previousPage, out);
        AppendUint16(uint32_t(positions.size()), out);
        out += positions;
        previousPage = page;
    }
    return out;
}

}  // namespace

CCollectionWriter::CCollectionWriter(WriterOptions options) : m_options(std::move(options)) {}

int CCollectionWriter::AddPage(WriterPage page) {
    m_pages.push_back(std::move(page));
    return int(m_pages.size() - 1);
}

void CCollectionWriter::AddTocEntry(TocEntry entry) { m_toc.push_back(std::move(entry)); }

void CCollectionWriter::SetVariantGroups(std::vector<std::vector<uint32_t>> groups) { m_groups = std::move(groups); }

std::vector<CharOccurrence> CCollectionWriter::Occurrences(std::u16string_view text, uint32_t first) {
    std::vector<CharOccurrence> result;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (CCodeConverter::IsHighSurrogate(cp) && i + 1 < text.size() && CCodeConverter::IsLowSurrogate(text[i + 1])) {
            cp = CCodeConverter::JoinSurrogates(text[i], text[i + 1]);
            ++i;
        }
        result.push_back({cp, first++});
    }
    return result;
}

void CCollectionWriter::Write(const std::filesystem::path& folder) const {
    if (m_groups.size() > size_t(indexformat::kMaxGroups))
        throw CWriterError("more than " + std::to_string(indexformat::kMaxGroups) + " variant groups");
    if (m_toc.size() > size_t(tocformat::kMaxRecords))
        throw CWriterError("more than " + std::to_string(tocformat::kMaxRecords) + " table-of-contents records");
    WriteStore(folder);
    for (int scope = 0; scope < 3; ++scope) WriteIndex(folder, scope);
    WriteVariantTable(folder);
    WriteTableOfContents(folder);
}

void CCollectionWriter::WriteStore(const std::filesystem::path& folder) const {
    size_t longest = 0;
    for (const WriterPage& page : m_pages) longest = std::max(longest, page.recordName.size());
    const size_t width = m_options.nameWidth > 0 ? size_t(m_options.nameWidth) : std::max<size_t>(longest + 1, 1);
    if (width > size_t(storeformat::kMaxNameWidth) || longest >= width)
        throw CWriterError("a record name over the name width");

    std::string table;
    AppendUint32(uint32_t(m_options.headerWord), table);
    AppendUint32(uint32_t(width), table);
    std::string headerText = m_options.headerText.substr(0, storeformat::kHeaderTextBytes - 1);
    headerText.resize(storeformat::kHeaderTextBytes, '\0');
    table += headerText;

    std::string content;
    for (const WriterPage& page : m_pages) {
        for (unsigned char byte : page.html) content.push_back(char(byte ^ storeformat::kMask));
        if (content.size() > 0xFFFFFFFFull) throw CWriterError("page content beyond 4 GiB");
        std::string name = page.recordName;
        name.resize(width, '\0');
        table += name;
        AppendUint32(uint32_t(content.size()), table);
        AppendUint32(uint32_t(page.html.size()), table);
    }
    WriteFile(folder / (std::string("Index") + storeformat::kTableExtension), table);
    WriteFile(folder / (std::string("Index") + storeformat::kContentExtension), content);
}

void CCollectionWriter::WriteIndex(const std::filesystem::path& folder, int scopeType) const {
    std::unordered_map<uint32_t, std::vector<uint32_t>> groupsOf;
    for (size_t g = 0; g < m_groups.size(); ++g)
        for (uint32_t member : m_groups[g]) {
            auto& list = groupsOf[member];
            if (std::find(list.begin(), list.end(), uint32_t(g)) == list.end()) list.push_back(uint32_t(g));
        }

    std::vector<std::vector<Posting>> lists(indexformat::kCharTableSize);
    for (size_t p = 0; p < m_pages.size(); ++p) {
        std::vector<CharOccurrence> occurrences = m_pages[p].occurrences[size_t(scopeType)];
        std::stable_sort(occurrences.begin(), occurrences.end(),
                         [](const CharOccurrence& a, const CharOccurrence& b) { return a.position < b.position; });
        for (const CharOccurrence& o : occurrences) {
            const int32_t number = CCodeConverter::ToCharNumber(o.codePoint);
            if (number < 0) continue;
            lists[size_t(number)].push_back({uint32_t(p), o.position});
            const auto groups = groupsOf.find(o.codePoint);
            if (groups == groupsOf.end()) continue;
            for (uint32_t g : groups->second)
                lists[size_t(indexformat::kFirstGroupNumber) + g].push_back({uint32_t(p), o.position});
        }
    }

    // Encode every list, then give each its blocks: first blocks in character
    // order, continuation blocks after them (or from the file's end backwards).
    std::vector<std::string> encoded(lists.size());
    size_t firstBlocks = 0, continuationBlocks = 0;
    for (size_t c = 0; c < lists.size(); ++c) {
        if (lists[c].empty()) continue;
        encoded[c] = EncodeList(lists[c]);
        const size_t blocks = (encoded[c].size() + indexformat::kBlockSize - 1) / indexformat::kBlockSize;
        ++firstBlocks;
        continuationBlocks += blocks - 1;
    }
    const size_t totalBlocks = firstBlocks + continuationBlocks;
    if (totalBlocks >= indexformat::kNoBlock) throw CWriterError("posting file beyond its block numbers");

    std::string postings(totalBlocks * indexformat::kBlockSize, '\0');
    std::vector<uint32_t> chain(totalBlocks, indexformat::kNoBlock);
    std::vector<int32_t> firstBlock(indexformat::kCharTableSize, -1);
    std::vector<uint32_t> lastPage(indexformat::kCharTableSize, 0);
    uint32_t nextFirst = 0;
    size_t continuationsTaken = 0;
    for (size_t c = 0; c < lists.size(); ++c) {
        if (lists[c].empty()) continue;
        lastPage[c] = lists[c].back().page;
        firstBlock[c] = int32_t(nextFirst);
        uint32_t block = nextFirst++;
        const std::string& bytes = encoded[c];
        for (size_t start = 0; start < bytes.size(); start += indexformat::kBlockSize) {
            if (start > 0) {
                const size_t k = continuationsTaken++;
                const uint32_t next = uint32_t(m_options.scatterBlocks ? totalBlocks - 1 - k : firstBlocks + k);
                chain[block] = next;
                block = next;
            }
            const size_t count = std::min(indexformat::kBlockSize, bytes.size() - start);
            postings.replace(size_t(block) * indexformat::kBlockSize, count, bytes, start, count);
        }
    }

    std::string header;
    header.reserve(indexformat::kChainOffset + chain.size() * 4);
    for (int32_t b : firstBlock) AppendUint32(uint32_t(b), header);
    header.append(indexformat::kReservedShortBytes + indexformat::kReservedLongBytes, '\0');
    for (uint32_t page : lastPage) AppendUint32(page, header);
    for (uint32_t next : chain) AppendUint32(next, header);

    const std::string prefix = std::string("Index") + indexformat::ScopeSuffix(scopeType);
    WriteFile(folder / (prefix + indexformat::kHeaderExtension), header);
    WriteFile(folder / (prefix + indexformat::kPostingExtension), postings);
}

void CCollectionWriter::WriteVariantTable(const std::filesystem::path& folder) const {
    std::string text;
    for (const auto& group : m_groups) {
        for (size_t i = 0; i < group.size(); ++i) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%s%X", i ? "," : "", unsigned(group[i]));
            text += hex;
        }
        text += '\n';
    }
    WriteFile(folder / "yitizi.txt", text);
}

void CCollectionWriter::WriteTableOfContents(const std::filesystem::path& folder) const {
    std::string records;
    for (const TocEntry& entry : m_toc) {
        if (entry.name.size() > tocformat::kMaxNameChars) throw CWriterError("a table-of-contents name over 99 characters");
        std::string record(tocformat::kRecordBytes, '\0');
        for (size_t i = 0; i < entry.name.size(); ++i) {
            record[2 * i] = char(entry.name[i] & 0xFF);
            record[2 * i + 1] = char(entry.name[i] >> 8);
        }
        std::string fields;
        AppendUint32(uint32_t(entry.level), fields);
        AppendUint32(uint32_t(entry.docID), fields);
        AppendUint32(uint32_t(entry.docNo), fields);
        AppendUint16(entry.firstPrinted, fields);
        record.replace(tocformat::kLevelOffset, fields.size(), fields);
        records += record;
    }
    WriteFile(folder / tocformat::kFileName, records);
}
