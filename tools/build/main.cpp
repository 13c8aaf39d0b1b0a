// quorel-build: builds a collection from a folder of plain texts.
//   quorel-build [--page-chars N] [--variants FILE] [--threads N] [--pair-index] SOURCE_DIR OUTPUT_DIR
// --threads 1 builds on one thread; by default the build uses every core.
// --pair-index also writes the pair indexes that speed up phrases of common characters.
// Exit status 0 when the collection was written, 1 when it could not be built
// (the output folder is then as it was), 2 on a usage error.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "build/collectionbuilder.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: quorel-build [--page-chars N] [--variants FILE] [--threads N] [--pair-index] SOURCE_DIR OUTPUT_DIR\n";
constexpr size_t kMaxThreads = 256;

volatile std::sig_atomic_t g_interrupted = 0;

void OnSignal(int) { g_interrupted = 1; }

int Usage(const std::string& problem) {
    std::fprintf(stderr, "quorel-build: %s\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

// A number from 1 to max; 0 when text is no such number.
size_t ParseCount(const std::string& text, size_t max) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    const size_t value = std::stoul(text);
    return value <= max ? value : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    BuildOptions options;
    std::vector<std::string> folders;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--page-chars" && i + 1 < args.size()) {
            options.pageChars = ParseCount(args[++i], CCollectionBuilder::kMaxPageChars);
            if (options.pageChars == 0)
                return Usage("--page-chars takes a number from 1 to " + std::to_string(CCollectionBuilder::kMaxPageChars));
        } else if (arg == "--variants" && i + 1 < args.size()) {
            options.variants = args[++i];
        } else if (arg == "--threads" && i + 1 < args.size()) {
            options.threads = ParseCount(args[++i], kMaxThreads);
            if (options.threads == 0) return Usage("--threads takes a number from 1 to " + std::to_string(kMaxThreads));
        } else if (arg == "--pair-index") {
            options.pairIndex = true;
        } else if (arg.starts_with("--")) {
            return Usage("unknown option " + arg);
        } else {
            folders.push_back(arg);
        }
    }
    if (folders.size() != 2) return Usage("expected SOURCE_DIR and OUTPUT_DIR");
    options.source = folders[0];
    options.output = folders[1];
    options.warn = [](const std::string& note) { std::fprintf(stderr, "quorel-build: %s\n", note.c_str()); };
    options.progress = stderr;
    options.cancelled = [] { return g_interrupted != 0; };
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);  // a closed stderr must not end the build half-way
    try {
        CCollectionBuilder(options).Run();
        return kExitOk;
    } catch (const std::exception& error) {  // a CBuildError, or out of memory, a file system fault
        std::fprintf(stderr, "quorel-build: %s\n", error.what());
    }
    return kExitFailed;
}
