// Reads the corpus file quorel-bench-export writes: one line "PAGE<TAB>TEXT"
// per page. The peers' indexers build their indexes from it.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corpusfile {

// Calls visit(page, text) for every well-formed line; returns the bytes of text read.
inline size_t ForEachPage(const std::string& path, const std::function<void(uint32_t, std::string_view)>& visit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string line;
    size_t textBytes = 0;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) continue;
        const uint32_t page = uint32_t(std::stoul(line.substr(0, tab)));
        const std::string_view text = std::string_view(line).substr(tab + 1);
        textBytes += text.size();
        visit(page, text);
    }
    return textBytes;
}

// Number of code points of UTF-8 text.
inline size_t CodePoints(std::string_view utf8) {
    size_t count = 0;
    for (unsigned char byte : utf8) count += (byte & 0xC0) != 0x80;
    return count;
}

// True when a spelling holds a wildcard: "?", "？" or "*".
inline bool HasWildcard(std::string_view spelling) {
    return spelling.find_first_of("?*") != std::string_view::npos || spelling.find("\xEF\xBC\x9F") != std::string_view::npos;
}

}  // namespace corpusfile
