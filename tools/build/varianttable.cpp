#include "build/varianttable.h"

#include <charconv>
#include <string_view>

#include "build/builderror.h"
#include "build/linereader.h"
#include "index/variantformat.h"

namespace {

constexpr uint32_t kMaxCodePoint = 0x10FFFF;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A member's code point; false when the token is not one.
bool ParseMember(std::string_view token, uint32_t& codePoint) {
    if (token.starts_with("0x") || token.starts_with("0X")) token.remove_prefix(2);
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), codePoint, 16);
    return !token.empty() && error == std::errc() && end == token.data() + token.size() && codePoint <= kMaxCodePoint;
}

}  // namespace

std::vector<std::vector<uint32_t>> CVariantTable::Read(const std::filesystem::path& path) {
    CLineReader lines(path);
    std::vector<std::vector<uint32_t>> groups;
    std::string_view line;
    while (lines.Next(line)) {
        std::vector<uint32_t> group;
        variantformat::ForEachRun(line, variantformat::kMemberSeparator, [&](std::string_view run) {
            const std::string_view token = Trim(run);
            if (token.empty()) return;
            uint32_t codePoint;
            if (!ParseMember(token, codePoint))
                throw CBuildError(path.string() + ":" + std::to_string(lines.LineNumber()) + ": \"" + std::string(token) +
                                  "\" is not a hexadecimal code point");
            group.push_back(codePoint);
        });
        if (group.empty()) continue;
        if (groups.size() == size_t(variantformat::kMaxGroups))
            throw CBuildError(path.string() + ": more than " + std::to_string(variantformat::kMaxGroups) +
                              " variant groups");
        groups.push_back(std::move(group));
    }
    return groups;
}
