// CIndexFiles: one scope's index file pair as the lists are read from it: the
// header file's tables (each list's first block and last page, the block
// chain) and the mapped posting file, with the view the posting lists walk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/mappedfile.h"
#include "index/postingcursor.h"

class CIndexFiles {
public:
    CIndexFiles() = default;
    CIndexFiles(const CIndexFiles&) = delete;
    CIndexFiles& operator=(const CIndexFiles&) = delete;

    // Reads the tables of headerPath and maps postingPath; raises
    // CDataFileError when either cannot be read or the header is no header.
    void Open(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath);
    void Close();

    // Per list number (indexformat::kCharTableSize of them): the list's
    // first block (-1: no list) and the page of its last entry.
    const std::vector<int32_t>& FirstBlocks() const { return m_FirstBlock; }
    const std::vector<uint32_t>& LastPages() const { return m_LastPage; }
    // Per posting block: the block where its list continues.
    const std::vector<uint32_t>& BlockChain() const { return m_BlockChain; }
    // The posting file and chain table, as the lists walk them.
    const CPostingCursor::Source& Postings() const { return m_Postings; }

private:
    std::vector<int32_t> m_FirstBlock;
    std::vector<uint32_t> m_LastPage;
    std::vector<uint32_t> m_BlockChain;
    CMappedFile m_PostingFile;
    CPostingCursor::Source m_Postings;
};
