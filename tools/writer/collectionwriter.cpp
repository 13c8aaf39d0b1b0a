#include "writer/collectionwriter.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <functional>
#include <thread>

#include "base/codeconverter.h"
#include "base/littleendian.h"
#include "docstore/storeformat.h"
#include "docstore/tocformat.h"
#include "index/indexformat.h"
#include "index/pairformat.h"
#include "index/variantformat.h"

namespace {

constexpr uint64_t kMaxContentBytes = 0xFFFFFFFFull;  // end offsets are uint32

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    CSpoolFile file;
    file.Create(path);
    file.Append(bytes);
    file.Close();
}

std::string IndexPrefix(int scopeType) {
    return std::string(storeformat::kBaseName) + indexformat::ScopeSuffix(IndexScope(scopeType));
}

// Runs work for the three scopes, side by side when parallel; the first
// scope's fault, in scope order, is the one raised, as when they run one
// after the other.
void ForEachScope(bool parallel, const std::function<void(int scope)>& work) {
    if (!parallel) {
        for (int scope = 0; scope < 3; ++scope) work(scope);
        return;
    }
    std::array<std::exception_ptr, 3> errors;
    auto run = [&](int scope) {
        try {
            work(scope);
        } catch (...) {
            errors[size_t(scope)] = std::current_exception();
        }
    };
    std::thread annotations(run, 1);
    std::thread mainText(run, 2);
    run(0);
    annotations.join();
    mainText.join();
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

std::filesystem::path MakePrivateFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorel-writer-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw CWriterError("cannot create a temporary folder in " + pattern);
    return pattern;
}

}  // namespace

CCollectionWriter::CCollectionWriter(WriterOptions options) : m_options(std::move(options)) {
    m_ownsSpoolFolder = m_options.spoolFolder.empty();
    m_spoolFolder = m_ownsSpoolFolder ? MakePrivateFolder() : m_options.spoolFolder;
    try {
        m_content.Create(m_spoolFolder / (std::string(storeformat::kBaseName) + storeformat::kContentExtension));
        for (int scope = 0; scope < 3; ++scope)
            m_postings[size_t(scope)] = std::make_unique<CPostingWriter>(
                m_spoolFolder / (IndexPrefix(scope) + indexformat::kPostingExtension), m_options.threads > 1);
    } catch (...) {
        if (m_ownsSpoolFolder) std::filesystem::remove_all(m_spoolFolder);
        throw;
    }
}

// Spool files still open are unlinked with their folder and closed afterwards.
CCollectionWriter::~CCollectionWriter() {
    if (m_ownsSpoolFolder) {
        std::error_code ignored;
        std::filesystem::remove_all(m_spoolFolder, ignored);
    }
}

int CCollectionWriter::AddPage(WriterPage page) {
    const int number = int(m_records.size());
    if (!m_fault.empty()) return number;
    try {
        if (m_bFinished) throw CWriterError("a page added after the collection was written");
        AddPageContent(page);
        AddPagePostings(page, uint32_t(number));
    } catch (const CWriterError& error) {
        m_fault = DescribeFault(error);
    }
    return number;
}

void CCollectionWriter::AddPageContent(const WriterPage& page) {
    const size_t widthLimit = size_t(m_options.nameWidth > 0 ? m_options.nameWidth : storeformat::kMaxNameWidth);
    if (page.recordName.size() >= widthLimit) throw CWriterError("the record name " + page.recordName + " over the name width");
    if (m_content.Size() + page.html.size() > kMaxContentBytes) throw CWriterError("page content beyond 4 GiB");
    m_masked.resize(page.html.size());
    std::transform(page.html.begin(), page.html.end(), m_masked.begin(),
                   [](char byte) { return char(static_cast<unsigned char>(byte) ^ storeformat::kMask); });
    m_content.Append(m_masked);
    m_records.push_back({page.recordName, uint32_t(m_content.Size()), uint32_t(page.html.size())});
}

void CCollectionWriter::AddPagePostings(const WriterPage& page, uint32_t pageNumber) {
    for (size_t scope = 0; scope < 3; ++scope) {
        m_keys.clear();
        for (const CharOccurrence& occurrence : page.occurrences[scope]) {
            const int32_t number = CCodeConverter::ToCharNumber(occurrence.codePoint);
            if (number >= 0) m_keys.push_back(uint64_t(number) << 32 | occurrence.position);
        }
        m_postings[scope]->AddPage(pageNumber, m_keys);
    }
}

// The fault's message, led by the record name of the page at fault.
std::string CCollectionWriter::DescribeFault(const CWriterError& error) const {
    const int page = error.Page();
    if (page < 0 || size_t(page) >= m_records.size()) return error.what();
    return m_records[size_t(page)].name + ": " + error.what();
}

void CCollectionWriter::AddTocRecord(TocRecord record) { m_toc.push_back(std::move(record)); }

void CCollectionWriter::SetVariantGroups(std::vector<std::vector<uint32_t>> groups) { m_groups = std::move(groups); }

void CCollectionWriter::CheckFault() const {
    if (!m_fault.empty()) throw CWriterError(m_fault);
}

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

std::vector<std::string> CCollectionWriter::FileNames() {
    std::vector<std::string> names{std::string(storeformat::kBaseName) + storeformat::kTableExtension,
                                   std::string(storeformat::kBaseName) + storeformat::kContentExtension};
    for (int scope = 0; scope < 3; ++scope) {
        names.push_back(IndexPrefix(scope) + indexformat::kHeaderExtension);
        names.push_back(IndexPrefix(scope) + indexformat::kPostingExtension);
    }
    names.push_back(variantformat::kFileName);
    names.push_back(tocformat::kFileName);
    return names;
}

std::vector<std::string> CCollectionWriter::PairIndexNames() {
    std::vector<std::string> names;
    for (int scope = 0; scope < 3; ++scope) names.push_back(IndexPrefix(scope) + pairformat::kExtension);
    return names;
}

void CCollectionWriter::Write(const std::filesystem::path& folder) {
    CheckFault();
    if (m_groups.size() > size_t(variantformat::kMaxGroups))
        throw CWriterError("more than " + std::to_string(variantformat::kMaxGroups) + " variant groups");
    if (m_toc.size() > size_t(tocformat::kMaxRecords))
        throw CWriterError("more than " + std::to_string(tocformat::kMaxRecords) + " table-of-contents records");
    for (const TocRecord& record : m_toc)
        if (record.name.size() > tocformat::kMaxNameChars)
            throw CWriterError("a table-of-contents name over " + std::to_string(tocformat::kMaxNameChars) + " characters");
    if (!m_bFinished) {
        try {
            Finish();
        } catch (const CWriterError& error) {
            m_fault = DescribeFault(error);
            throw CWriterError(m_fault);
        }
    }
    WriteStoreTable(folder);
    PlaceSpoolFile(m_content.Path(), folder);
    for (int scope = 0; scope < 3; ++scope) {
        const CPostingWriter& postings = *m_postings[size_t(scope)];
        postings.WriteHeader(folder / (IndexPrefix(scope) + indexformat::kHeaderExtension));
        PlaceSpoolFile(postings.PostingPath(), folder);
    }
    WriteVariantTable(folder);
    WriteTableOfContents(folder);
    if (m_options.pairIndex) WritePairIndexes(folder);
}

void CCollectionWriter::Finish() {
    m_content.Close();
    const auto members = GroupMemberNumbers();
    if (m_options.threads > 1)
        FinishPostings(members);
    else
        for (auto& postings : m_postings) postings->Finish(members, m_options.scatterBlocks);
    m_bFinished = true;
}

// The scopes' lists are closed side by side.
void CCollectionWriter::FinishPostings(const std::vector<std::vector<int32_t>>& members) {
    ForEachScope(true, [&](int scope) { m_postings[size_t(scope)]->Finish(members, m_options.scatterBlocks); });
}

// The distinct character numbers of each group's members; members without a
// number have no list to contribute.
std::vector<std::vector<int32_t>> CCollectionWriter::GroupMemberNumbers() const {
    std::vector<std::vector<int32_t>> numbers(m_groups.size());
    for (size_t g = 0; g < m_groups.size(); ++g)
        for (uint32_t member : m_groups[g]) {
            const int32_t number = CCodeConverter::ToCharNumber(char32_t(member));
            if (number >= 0 && std::find(numbers[g].begin(), numbers[g].end(), number) == numbers[g].end())
                numbers[g].push_back(number);
        }
    return numbers;
}

// Spool files already in folder stay; any other is copied there.
void CCollectionWriter::PlaceSpoolFile(const std::filesystem::path& spoolPath,
                                       const std::filesystem::path& folder) const {
    const std::filesystem::path target = folder / spoolPath.filename();
    std::error_code error;
    if (std::filesystem::equivalent(spoolPath, target, error)) return;
    std::filesystem::copy_file(spoolPath, target, std::filesystem::copy_options::overwrite_existing, error);
    if (error) throw CWriterError("cannot write " + target.string() + ": " + error.message());
}

void CCollectionWriter::WriteStoreTable(const std::filesystem::path& folder) const {
    size_t longest = 0;
    for (const PageRecord& record : m_records) longest = std::max(longest, record.name.size());
    const size_t width = m_options.nameWidth > 0 ? size_t(m_options.nameWidth) : longest + 1;
    if (width > size_t(storeformat::kMaxNameWidth) || longest >= width)
        throw CWriterError("a record name over the name width");

    std::string table;
    table.reserve(storeformat::kRecordsOffset + m_records.size() * (width + storeformat::kRecordTailBytes));
    littleendian::AppendUint32(uint32_t(m_options.headerWord), table);
    littleendian::AppendUint32(uint32_t(width), table);
    std::string headerText = m_options.headerText.substr(0, storeformat::kHeaderTextBytes - 1);
    headerText.resize(storeformat::kHeaderTextBytes, '\0');
    table += headerText;
    for (const PageRecord& record : m_records) {
        table += record.name;
        table.append(width - record.name.size(), '\0');
        littleendian::AppendUint32(record.endOffset, table);
        littleendian::AppendUint32(record.length, table);
    }
    WriteFile(folder / (std::string(storeformat::kBaseName) + storeformat::kTableExtension), table);
}

void CCollectionWriter::WriteVariantTable(const std::filesystem::path& folder) const {
    std::string text;
    for (const auto& group : m_groups) variantformat::AppendLine(group, text);
    WriteFile(folder / variantformat::kFileName, text);
}

void CCollectionWriter::WriteTableOfContents(const std::filesystem::path& folder) const {
    std::string records;
    records.reserve(m_toc.size() * tocformat::kRecordBytes);
    for (const TocRecord& record : m_toc) tocformat::AppendRecord(record, records);
    WriteFile(folder / tocformat::kFileName, records);
}

// From the index files just written; with threads, the three scopes side by side.
void CCollectionWriter::WritePairIndexes(const std::filesystem::path& folder) const {
    const uint32_t minPages = m_options.pairMinPages > 0
                                  ? m_options.pairMinPages
                                  : std::max<uint32_t>(1, uint32_t(m_records.size() / kPairPageShare));
    ForEachScope(m_options.threads > 1, [&](int scope) {
        const std::string prefix = IndexPrefix(scope);
        CPairIndexWriter::Write(folder / (prefix + indexformat::kHeaderExtension),
                                folder / (prefix + indexformat::kPostingExtension),
                                folder / (prefix + pairformat::kExtension), minPages, m_options.pairSelectivity);
    });
}
