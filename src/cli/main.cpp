// quorel-cli: the command-line front end over the core.
//   quorel-cli [--data DIR] search --raw [--any] [--scope full|main|notes] [--no-variants] KEYWORD
//   quorel-cli [--data DIR] render [--scope full|main|notes] [--no-variants] PAGE KEYWORD
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/rendercommand.h"
#include "index/codeconverter.h"
#include "index/index.h"
#include "index/notifier.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoData = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: quorel-cli [--data DIR] search --raw [--any] [--scope full|main|notes] [--no-variants] KEYWORD\n"
    "       quorel-cli [--data DIR] render [--scope full|main|notes] [--no-variants] PAGE KEYWORD\n";

class CStderrNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

struct SearchRequest {
    std::filesystem::path dataFolder = ExecutableFolder();
    bool raw = false;
    bool any = false;
    int scopeType = 0;
    bool useVariants = true;
    std::string keyword;
};

int Usage(const std::string& problem) {
    std::cerr << "quorel-cli: " << problem << '\n' << kUsage;
    return kExitUsage;
}

// Index scope type of a --scope value, -1 when unknown.
int ScopeType(const std::string& name) {
    if (name == "full") return 0;
    if (name == "notes") return 1;
    if (name == "main") return 2;
    return -1;
}

int RunSearch(const SearchRequest& request) {
    std::u16string query;
    if (!CCodeConverter::Utf8ToUtf16(request.keyword, query)) return Usage("KEYWORD is not valid UTF-8");
    CStderrNotifier notifier;
    CIndex index(&notifier);
    if (!index.Open(request.dataFolder, "Index", request.scopeType)) return kExitNoData;
    if (request.any)
        index.SearchAny(query, request.useVariants);
    else
        index.SearchAll(query, request.useVariants);
    const auto& pages = index.GetResultPages();
    const auto& counts = index.GetResultCounts();
    for (int i = 0; i < index.GetResultPageCount(); ++i) std::printf("%u\t%u\n", pages[size_t(i)], counts[size_t(i)]);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    SearchRequest request;
    size_t i = 0;
    if (i + 1 < args.size() && args[i] == "--data") {
        request.dataFolder = args[i + 1];
        i += 2;
    }
    if (i < args.size() && args[i] == "render") {
        CStderrNotifier notifier;
        return RunRenderCommand(request.dataFolder, std::vector<std::string>(args.begin() + i + 1, args.end()),
                                notifier);
    }
    if (i >= args.size() || args[i] != "search") return Usage("expected the command search or render");
    for (++i; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--raw") {
            request.raw = true;
        } else if (arg == "--any") {
            request.any = true;
        } else if (arg == "--no-variants") {
            request.useVariants = false;
        } else if (arg == "--scope" && i + 1 < args.size()) {
            request.scopeType = ScopeType(args[++i]);
            if (request.scopeType < 0) return Usage("unknown scope " + args[i]);
        } else if (arg.starts_with("--")) {
            return Usage("unknown option " + arg);
        } else if (request.keyword.empty() && i + 1 == args.size()) {
            request.keyword = arg;
        } else {
            return Usage("unexpected argument " + arg);
        }
    }
    if (!request.raw) return Usage("search needs --raw");
    if (request.keyword.empty()) return Usage("missing KEYWORD");
    return RunSearch(request);
}
