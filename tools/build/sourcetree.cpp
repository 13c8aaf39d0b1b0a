#include "build/sourcetree.h"

#include <algorithm>

#include "base/codeconverter.h"
#include "build/builderror.h"
#include "docstore/tocformat.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kVolumeExtension = ".txt";

enum class Level { kCategory, kBook, kVolume };

struct NamedEntry {
    std::string digits;  // the ordering number without leading zeros
    std::string fileName;
    SourceEntry entry;
};

// Numbers compare by value: fewer digits first, then digit by digit.
bool Before(const NamedEntry& a, const NamedEntry& b) {
    if (a.digits.size() != b.digits.size()) return a.digits.size() < b.digits.size();
    if (a.digits != b.digits) return a.digits < b.digits;
    return a.fileName < b.fileName;
}

// Splits "01-經部" into the number without leading zeros and the shown name.
NamedEntry ParseName(const fs::path& path, std::string_view stem) {
    const size_t digitCount = std::min(stem.find_first_not_of("0123456789"), stem.size());
    if (digitCount == 0) throw CBuildError(path.string() + ": the name must start with a number that orders it");
    NamedEntry named;
    std::string_view digits = stem.substr(0, digitCount);
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    named.digits = std::string(digits);
    std::string_view shown = stem.substr(digitCount);
    if (!shown.empty() && std::string_view("-_. ").find(shown.front()) != std::string_view::npos) shown.remove_prefix(1);
    if (shown.empty()) throw CBuildError(path.string() + ": no name after the number");
    if (!CCodeConverter::Utf8ToUtf16(shown, named.entry.tocName))
        throw CBuildError(path.string() + ": the name is not valid UTF-8");
    if (named.entry.tocName.size() > tocformat::kMaxNameChars)
        throw CBuildError(path.string() + ": the name is longer than " + std::to_string(tocformat::kMaxNameChars) +
                          " characters");
    named.entry.name = std::string(shown);
    named.entry.path = path;
    return named;
}

// The entries of folder that belong at level, in order.
std::vector<SourceEntry> ListLevel(const fs::path& folder, Level level, const CSourceTree::Warn& warn) {
    std::vector<NamedEntry> found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path path = it->path();
        const std::string fileName = path.filename().string();
        if (fileName.starts_with('.')) continue;
        std::error_code statusError;
        const bool isFolder = it->is_directory(statusError);
        if (level != Level::kVolume) {
            if (isFolder) found.push_back(ParseName(path, fileName));
            continue;
        }
        // Anything but a folder named *.txt is a volume; one that cannot be read fails later.
        if (isFolder || !fileName.ends_with(kVolumeExtension)) {
            warn("skipping " + path.string() + ": not a " + std::string(kVolumeExtension) + " file");
            continue;
        }
        NamedEntry named = ParseName(path, std::string_view(fileName).substr(0, fileName.size() - kVolumeExtension.size()));
        std::error_code sizeError;
        named.entry.bytes = fs::file_size(path, sizeError);
        if (sizeError) named.entry.bytes = 0;
        found.push_back(std::move(named));
    }
    if (error) throw CBuildError("cannot read the folder " + folder.string() + ": " + error.message());
    std::sort(found.begin(), found.end(), Before);
    std::vector<SourceEntry> entries;
    entries.reserve(found.size());
    for (NamedEntry& named : found) entries.push_back(std::move(named.entry));
    return entries;
}

}  // namespace

std::vector<SourceEntry> CSourceTree::Scan(const fs::path& root, const Warn& warn) {
    std::error_code error;
    if (!fs::is_directory(root, error)) throw CBuildError(root.string() + ": no such source folder");
    std::vector<SourceEntry> categories = ListLevel(root, Level::kCategory, warn);
    for (SourceEntry& category : categories) {
        category.children = ListLevel(category.path, Level::kBook, warn);
        for (SourceEntry& book : category.children) {
            book.children = ListLevel(book.path, Level::kVolume, warn);
            if (book.children.empty()) warn("skipping " + book.path.string() + ": no volumes");
        }
        std::erase_if(category.children, [](const SourceEntry& book) { return book.children.empty(); });
        if (category.children.empty()) warn("skipping " + category.path.string() + ": no books with volumes");
    }
    std::erase_if(categories, [](const SourceEntry& category) { return category.children.empty(); });
    if (categories.empty())
        throw CBuildError(root.string() + ": no volumes found (expected CATEGORY/BOOK/VOLUME.txt)");
    return categories;
}

size_t CSourceTree::RecordCount(const std::vector<SourceEntry>& categories) {
    size_t count = 0;
    for (const SourceEntry& category : categories) {
        ++count;
        for (const SourceEntry& book : category.children) count += 1 + book.children.size();
    }
    return count;
}

uint64_t CSourceTree::TotalBytes(const std::vector<SourceEntry>& categories) {
    uint64_t bytes = 0;
    for (const SourceEntry& category : categories)
        for (const SourceEntry& book : category.children)
            for (const SourceEntry& volume : book.children) bytes += volume.bytes;
    return bytes;
}
