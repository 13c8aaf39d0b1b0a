// Layout of the variant table "yitizi.txt": plain text beside the index files,
// written by the collection writer and read by the index and the builder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "index/indexformat.h"

namespace variantformat {

// One group per line, its members separated by commas:
//   line    = member *("," member) LF
//   member  = hexadecimal code point, written in uppercase ("4E00")
// Group g (from 0, in line order) has the character number
// indexformat::kFirstGroupNumber + g; at most kMaxGroups groups have one.
// Empty lines and empty members are skipped. The index takes any other bytes
// of a member as strtoul in base 16 reads them; the builder accepts only code
// points up to 10FFFF, with an optional "0x".
inline constexpr const char* kFileName = "yitizi.txt";
inline constexpr char kLineEnd = '\n';
inline constexpr char kMemberSeparator = ',';
inline constexpr int kMaxGroups = indexformat::kMaxGroups;

// Calls visit for each run of text between separators; empty runs are skipped.
template <typename Visit>
void ForEachRun(std::string_view text, char separator, Visit visit) {
    size_t start = text.find_first_not_of(separator);
    while (start != std::string_view::npos) {
        const size_t end = text.find(separator, start);
        visit(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = text.find_first_not_of(separator, end);
    }
}

// Appends group's line.
inline void AppendLine(const std::vector<uint32_t>& group, std::string& out) {
    for (size_t i = 0; i < group.size(); ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%s%X", i ? "," : "", unsigned(group[i]));
        out += hex;
    }
    out += kLineEnd;
}

}  // namespace variantformat
