#include "build/collectionheader.h"

#include <charconv>

#include "base/codeconverter.h"
#include "build/builderror.h"
#include "build/linereader.h"
#include "docstore/storeformat.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kMaxTextBytes = storeformat::kHeaderTextBytes - 1;  // NUL-terminated in its block

std::string_view TrimLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return line;
}

}  // namespace

CollectionHeader CollectionHeader::Read(const std::filesystem::path& path) {
    CLineReader lines(path);
    CollectionHeader header;
    std::string_view line;
    if (!lines.Next(line)) throw CBuildError(path.string() + ": the first line must hold the header word");
    if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    line = TrimLine(line);
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), header.word);
    if (line.empty() || error != std::errc() || end != line.data() + line.size())
        throw CBuildError(path.string() + ":1: the header word must be a decimal number from -2147483648 to 2147483647");
    if (!lines.Next(line)) return header;
    line = TrimLine(line);
    std::u16string unused;
    if (!CCodeConverter::Utf8ToUtf16(line, unused)) throw CBuildError(path.string() + ":2: the header text is not valid UTF-8");
    if (line.size() > kMaxTextBytes)
        throw CBuildError(path.string() + ":2: the header text is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    header.text = std::string(line);
    return header;
}
