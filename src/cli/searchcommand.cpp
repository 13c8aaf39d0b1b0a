#include "cli/searchcommand.h"

#include <charconv>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "base/codeconverter.h"
#include "cli/clicommon.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "index/searchscope.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"

namespace {

constexpr const char* kTotalsFormat = "全部で %d 頁で、%d 箇所でした。";
constexpr const char* kNoTableOfContents = "you delete data file!";

struct SearchRequest {
    bool raw = false;
    bool json = false;
    bool any = false;
    const SearchScope* scope = &SearchScope::kFull;
    bool useVariants = true;
    int range = 0;  // record index; 0: the whole collection
    std::string keyword;
};

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

// kExitOk when args make a request, otherwise the usage error's status.
int ParseArguments(const std::vector<std::string>& args, SearchRequest& request) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--raw") {
            request.raw = true;
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--any") {
            request.any = true;
        } else if (arg == "--no-variants") {
            request.useVariants = false;
        } else if (arg == "--scope" && hasValue) {
            request.scope = SearchScope::Find(args[++i]);
            if (!request.scope) return cli::UsageError("unknown scope " + args[i]);
        } else if (arg == "--range" && hasValue) {
            if (!ParseNumber(args[++i], request.range) || request.range < 1)
                return cli::UsageError("RECORD is a record number from 1: " + args[i]);
        } else if (arg.starts_with("--")) {
            return cli::UsageError("unknown option " + arg);
        } else if (request.keyword.empty() && i + 1 == args.size()) {
            request.keyword = arg;
        } else {
            return cli::UsageError("unexpected argument " + arg);
        }
    }
    if (request.keyword.empty()) return cli::UsageError("search needs a KEYWORD");
    if (request.raw && (request.json || request.range)) return cli::UsageError("--raw prints the result lists only");
    return cli::kExitOk;
}

std::string Utf8(const std::u16string& text) {
    std::string bytes;
    CCodeConverter::Utf16ToUtf8(text, bytes, true);
    return bytes;
}

void PrintRaw(const CIndex& index) {
    for (int i = 0; i < index.GetResultPageCount(); ++i)
        std::printf("%u\t%u\n", index.GetResultPages()[size_t(i)], index.GetResultCounts()[size_t(i)]);
}

// The entries of the range, or of every category in outline order.
int CollectEntries(const CTocModel& toc, const CIndex& index, int range, std::vector<SearchNodeTag>& entries) {
    if (range) {
        const ContentsNodeTag* node =
            toc.IsRecord(range) ? CTocModel::FindNodeByItem(toc.Root(), toc.Record(range)) : nullptr;
        return CResultBuilder::BuildResults(node, index.GetResultPages(), index.GetResultCounts(), entries);
    }
    int total = 0;
    for (const auto& category : toc.Root()->children) {
        if (category->level != 1) continue;
        std::vector<SearchNodeTag> part;
        total += CResultBuilder::BuildResults(category.get(), index.GetResultPages(), index.GetResultCounts(), part);
        entries.insert(entries.end(), part.begin(), part.end());
    }
    return total;
}

void PrintEntries(const std::vector<SearchNodeTag>& entries, int total) {
    std::printf(kTotalsFormat, int(entries.size()), total);
    std::printf("\n");
    for (const SearchNodeTag& e : entries)
        std::printf("%s\t%s\t%s\t%d\t%d\t%d\n", Utf8(e.category).c_str(), Utf8(e.bookName).c_str(),
                    Utf8(e.volumeName).c_str(), e.pageInVolume, e.page, e.hitCount);
}

void PrintJson(const std::vector<SearchNodeTag>& entries, int total) {
    nlohmann::ordered_json results = nlohmann::ordered_json::array();
    for (const SearchNodeTag& e : entries) {
        results.push_back({{"category", Utf8(e.category)},
                           {"book", Utf8(e.bookName)},
                           {"volume", Utf8(e.volumeName)},
                           {"pageInVolume", e.pageInVolume},
                           {"page", e.page},
                           {"hits", e.hitCount}});
    }
    const nlohmann::ordered_json out = {{"pages", entries.size()}, {"hits", total}, {"results", results}};
    std::printf("%s\n", out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

}  // namespace

int RunSearchCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                     CNotifier& notifier) {
    SearchRequest request;
    if (const int status = ParseArguments(args, request); status != cli::kExitOk) return status;
    std::u16string query;
    if (!CCodeConverter::Utf8ToUtf16(request.keyword, query)) return cli::UsageError("KEYWORD is not valid UTF-8");

    CIndex index(&notifier);
    if (!index.Open(dataFolder, storeformat::kBaseName, int(request.scope->indexScope))) return cli::kExitFailed;
    if (request.any)
        index.SearchAny(query, request.useVariants);
    else
        index.SearchAll(query, request.useVariants);
    if (request.raw) {
        PrintRaw(index);
        return cli::kExitOk;
    }
    CTocModel toc;
    if (!toc.LoadTableOfContents(dataFolder)) notifier.ShowMessage(kNoTableOfContents);
    std::vector<SearchNodeTag> entries;
    const int total = CollectEntries(toc, index, request.range, entries);
    if (request.json)
        PrintJson(entries, total);
    else
        PrintEntries(entries, total);
    return cli::kExitOk;
}
