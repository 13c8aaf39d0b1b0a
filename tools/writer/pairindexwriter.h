// CPairIndexWriter: writes a scope's pair index (index/pairformat.h) from its
// finished index files: for two list numbers whose lists both reach minPages
// pages, the positions where the first stands just before the second.
#pragma once

#include <cstdint>
#include <filesystem>

class CPairIndexWriter {
public:
    // A pair is kept when it is on at most one page in kSelectivity of the
    // pages of the rarer of its two numbers: a commoner pair narrows the walk
    // too little to be worth its bytes.
    static constexpr uint32_t kSelectivity = 8;

    // Reads the scope's header and posting files and writes pairPath with the
    // pairs that selectivity keeps. Raises CWriterError when the files cannot
    // be read back or pairPath cannot be written.
    static void Write(const std::filesystem::path& headerPath, const std::filesystem::path& postingPath,
                      const std::filesystem::path& pairPath, uint32_t minPages, uint32_t selectivity = kSelectivity);
};
