// CCollectionBuilder: builds a collection (document store, three indexes,
// variant table, table of contents) from a source folder of plain texts laid
// out as CATEGORY/BOOK/VOLUME.txt. It checks the whole layout before reading
// any text, streams the volumes one page at a time into the collection writer
// inside a temporary folder, and moves the result into place only when every
// file is complete. Any fault raises CBuildError and leaves the output folder
// as it was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

struct BuildOptions {
    std::filesystem::path source;
    std::filesystem::path output;
    size_t pageChars = 400;  // page budget in characters
    // The variant table; none: source/yitizi.txt if it exists, else no groups.
    std::optional<std::filesystem::path> variants;
    std::function<void(const std::string&)> warn;  // notes on skipped entries; may be empty
    std::FILE* progress = nullptr;                 // where progress goes; null: nowhere
    std::function<bool()> cancelled;               // polled between pages; may be empty
    // 1: one thread reads, composes and writes; more: the pages are read and
    // composed on a thread beside the one that writes them; 0: one per core.
    size_t threads = 0;
    // Also write each scope's pair index beside its index files; without it
    // an old one in the output folder is removed.
    bool pairIndex = false;
};

struct BuildSummary {
    size_t categories = 0;
    size_t books = 0;
    size_t volumes = 0;
    size_t pages = 0;
    uint64_t bytes = 0;  // source text read
    double seconds = 0;
};

class CCollectionBuilder {
public:
    static constexpr size_t kMaxPageChars = 100000;

    explicit CCollectionBuilder(BuildOptions options);
    // Threads for BuildOptions::threads 0: the cores of this machine.
    static size_t DefaultThreads();
    BuildSummary Run();

private:
    BuildOptions m_options;
};
