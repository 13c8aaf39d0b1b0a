// CVariantTable: reads a variant table for the builder: one group per line,
// its members as comma-separated hexadecimal code points (an optional "0x"
// allowed). Unlike the reader, which takes any bytes, the builder accepts only
// well-formed tables, so that the copy it writes (one line per group,
// uppercase hex, blank lines and empty groups left out) and the group lists
// of the index agree with what the reader will load.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

class CVariantTable {
public:
    // Raises CBuildError, naming file and line, for an unreadable file, a member
    // that is not a hexadecimal code point up to 10FFFF, or more groups than
    // the index tables have numbers for.
    static std::vector<std::vector<uint32_t>> Read(const std::filesystem::path& path);
};
