#include "index/indexfiles.h"

#include <bit>

#include "base/datafileerror.h"
#include "base/readonlyfile.h"
#include "index/indexformat.h"

void CIndexFiles::Open(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath) {
    Close();
    CReadOnlyFile header;
    if (!header.Open(headerPath)) throw CDataFileError("header file");
    const uint64_t size = header.Size();
    if (size < indexformat::kChainOffset) throw CDataFileError("header file too short");
    const uint64_t chainCount = (size - indexformat::kChainOffset) / 4;
    if (chainCount > 0xFFFFFFFFull) throw CDataFileError("header file too long");
    m_FirstBlock.resize(indexformat::kCharTableSize);
    m_LastPage.resize(indexformat::kCharTableSize);
    m_BlockChain.resize(size_t(chainCount));
    header.ReadExactly(indexformat::kFirstBlockOffset, m_FirstBlock.data(), indexformat::kFirstBlockBytes);
    header.ReadExactly(indexformat::kLastPageOffset, m_LastPage.data(), indexformat::kLastPageBytes);
    header.ReadExactly(indexformat::kChainOffset, m_BlockChain.data(), m_BlockChain.size() * 4);
    static_assert(std::endian::native == std::endian::little, "the tables are read as stored");
    if (!m_PostingFile.Open(postingPath)) throw CDataFileError("posting file");
    m_Postings = {m_PostingFile.Data(), m_PostingFile.Size(), m_BlockChain.data(), uint32_t(m_BlockChain.size())};
}

void CIndexFiles::Close() {
    m_FirstBlock = {};
    m_LastPage = {};
    m_BlockChain = {};
    m_Postings = {};
    m_PostingFile.Close();
}
