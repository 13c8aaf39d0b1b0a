#include "docstore/filelist.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "base/datafileerror.h"
#include "base/littleendian.h"
#include "docstore/storeformat.h"

namespace {

std::string_view NameField(const char* field, size_t width) {
    const void* nul = std::memchr(field, 0, width);
    return std::string_view(field, nul ? static_cast<const char*>(nul) - field : width);
}

}  // namespace

bool CFileList::Open(const std::filesystem::path& folder, const std::string& baseName) {
    Close();
    try {
        if (!m_tableFile.Open(folder / (baseName + storeformat::kTableExtension))) return false;
        if (!m_contentFile.Open(folder / (baseName + storeformat::kContentExtension))) {
            Close();
            return false;
        }
        // A table shorter than its header gives its fields only the bytes it has.
        unsigned char header[storeformat::kRecordsOffset] = {};
        m_tableFile.ReadSome(0, header, sizeof header);
        const int headerWord = littleendian::LoadInt32(header + storeformat::kHeaderWordOffset);
        const int width = littleendian::LoadInt32(header + storeformat::kNameWidthOffset);
        if (width < storeformat::kMinNameWidth || width > storeformat::kMaxNameWidth) {
            Close();
            return false;
        }
        m_nHeaderWord = headerWord;
        m_nNameWidth = width;
        const uint64_t size = m_tableFile.Size();
        const uint64_t records = size > storeformat::kRecordsOffset
            ? (size - storeformat::kRecordsOffset) / uint64_t(width + storeformat::kRecordTailBytes)
            : 0;
        m_nPageCount = int(std::min<uint64_t>(records, INT_MAX));
        m_bOpen = true;
        return true;
    } catch (const CDataFileError&) {
        Close();
        return false;
    }
}

void CFileList::Close() {
    m_tableFile.Close();
    m_contentFile.Close();
    m_bOpen = false;
    m_nHeaderWord = 0;
    m_nNameWidth = 100;
    m_nPageCount = 0;
}

uint64_t CFileList::RecordOffset(int n) const {
    return storeformat::kRecordsOffset + uint64_t(n) * uint64_t(m_nNameWidth + storeformat::kRecordTailBytes);
}

bool CFileList::ReadRecordTail(int n, uint32_t& endOffset, uint32_t& length) const {
    if (!m_bOpen || n < 0 || n >= m_nPageCount) return false;
    unsigned char tail[storeformat::kRecordTailBytes];
    m_tableFile.ReadExactly(RecordOffset(n) + uint64_t(m_nNameWidth), tail, sizeof tail);
    endOffset = littleendian::LoadUint32(tail);
    length = littleendian::LoadUint32(tail + 4);
    return true;
}

bool CFileList::GetPageLength(int n, uint32_t& length) const {
    uint32_t endOffset;
    return ReadRecordTail(n, endOffset, length);
}

bool CFileList::ReadPage(int n, std::string& buffer) const {
    uint32_t endOffset, length;
    if (!ReadRecordTail(n, endOffset, length)) return false;
    if (length > endOffset || endOffset > m_contentFile.Size()) return false;
    buffer.resize(length);
    m_contentFile.ReadExactly(endOffset - length, buffer.data(), length);
    for (char& byte : buffer) byte = char(static_cast<unsigned char>(byte) ^ storeformat::kMask);
    return true;
}

bool CFileList::GetRecordName(int n, std::string& name) const {
    if (!m_bOpen || n < 0 || n >= m_nPageCount) return false;
    std::vector<char> field(static_cast<size_t>(m_nNameWidth));
    m_tableFile.ReadExactly(RecordOffset(n), field.data(), field.size());
    name = NameField(field.data(), field.size());
    return true;
}

bool CFileList::FindPrintedPage(int startPage, int printedPage, int& page) const {
    if (!m_bOpen) return false;
    startPage = std::max(startPage, 0);
    page = startPage - 1;
    // Records are read in chunks; only the name field of each is looked at.
    const size_t recordBytes = size_t(m_nNameWidth) + storeformat::kRecordTailBytes;
    constexpr int kRecordsPerChunk = 512;
    std::vector<char> chunk(recordBytes * kRecordsPerChunk);
    try {
        // Advancing by the chunk's own count keeps first within the page count,
        // even for a table of nearly INT_MAX records.
        for (int first = startPage, count = 0; first < m_nPageCount; first += count) {
            count = std::min(kRecordsPerChunk, m_nPageCount - first);
            m_tableFile.ReadExactly(RecordOffset(first), chunk.data(), recordBytes * size_t(count));
            for (int i = 0; i < count; ++i) {
                page = first + i;
                const auto printed = PrintedPageOf(NameField(chunk.data() + recordBytes * size_t(i),
                                                             size_t(m_nNameWidth)));
                if (printed && *printed == printedPage) return true;
            }
        }
    } catch (const CDataFileError&) {
        // a read error ends the scan as a miss
    }
    return false;
}

std::optional<int> CFileList::PrintedPageOf(std::string_view name) {
    const size_t slash = name.rfind('\\');
    if (slash == std::string_view::npos) return std::nullopt;
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot < slash) return std::nullopt;
    // At most 11 characters are looked at, as the original's 12-byte buffer held.
    std::string_view digits = name.substr(slash + 1, std::min<size_t>(dot - slash - 1, 11));
    size_t i = 0;
    while (i < digits.size() && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) negative = digits[i++] == '-';
    long long value = 0;
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (digits[i] - '0'), INT_MAX + 1LL);
    }
    if (negative) value = -value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int CFileList::PageParity(std::string_view recordName) {
    const auto printed = PrintedPageOf(recordName);
    return printed && *printed % 2 != 0 ? 1 : 0;
}
