// CSourceTree: the layout of a source folder, read before any text is. The
// folders at the top are the categories, the folders in them the books, and
// the ".txt" files in those the volumes. Every entry's name starts with a
// number that orders it among its siblings and is not shown: "01-經部"
// shows 經部 (a "-", "_", "." or space after the number is dropped too).
// Entries starting with "." are skipped, and so are files where folders are
// expected and anything but ".txt" files in a book.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct SourceEntry {
    std::string name;             // shown name, UTF-8
    std::u16string tocName;       // the same for the table of contents
    std::filesystem::path path;
    uint64_t bytes = 0;           // volumes: the file's size
    std::vector<SourceEntry> children;
};

class CSourceTree {
public:
    using Warn = std::function<void(const std::string&)>;

    // The categories of root, each with its books and their volumes, in order.
    // A category or book with no volumes is left out with a warning. Raises
    // CBuildError for a missing or unreadable folder, an entry without a number
    // or a name, a name that is not UTF-8 or longer than a table-of-contents
    // name may be, or a tree without any volume.
    static std::vector<SourceEntry> Scan(const std::filesystem::path& root, const Warn& warn);

    // Table-of-contents records the tree needs: one per category, book and volume.
    static size_t RecordCount(const std::vector<SourceEntry>& categories);
    static uint64_t TotalBytes(const std::vector<SourceEntry>& categories);
};
