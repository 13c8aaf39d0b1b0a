#include "cli/searchrequest.h"

#include <charconv>

#include "base/codeconverter.h"
#include "cli/clicommon.h"
#include "docstore/storeformat.h"
#include "panel/model/resultbuilder.h"

namespace {

constexpr const char* kNoTableOfContents = "you delete data file!";

// The entries of the range, or of every category in outline order.
int CollectEntries(const ContentsNodeTag* root, const ContentsNodeTag* range, const CIndex& index,
                   std::vector<SearchNodeTag>& entries) {
    if (range != root)
        return CResultBuilder::BuildResults(range, index.GetResultPages(), index.GetResultCounts(), entries);
    int total = 0;
    for (const auto& category : root->children) {
        if (category->level != 1) continue;
        std::vector<SearchNodeTag> part;
        total += CResultBuilder::BuildResults(category.get(), index.GetResultPages(), index.GetResultCounts(), part);
        entries.insert(entries.end(), part.begin(), part.end());
    }
    return total;
}

}  // namespace

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool SearchRequest::TakeOption(const std::vector<std::string>& args, size_t& i, int& status) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    status = cli::kExitOk;
    if (arg == "--any") {
        any = true;
    } else if (arg == "--no-variants") {
        useVariants = false;
    } else if (arg == "--scope" && hasValue) {
        scope = SearchScope::Find(args[++i]);
        if (!scope) status = cli::UsageError("unknown scope " + args[i]);
    } else if (arg == "--range" && hasValue) {
        if (!ParseNumber(args[++i], range) || range < 1)
            status = cli::UsageError("RECORD is a record number from 1: " + args[i]);
    } else {
        return false;
    }
    return true;
}

bool SearchRequest::TakeKeyword(const std::vector<std::string>& args, size_t i) {
    if (!keyword.empty() || i + 1 != args.size() || args[i].starts_with("--")) return false;
    keyword = args[i];
    return true;
}

int SearchRequest::Check() const {
    if (keyword.empty()) return cli::UsageError("a KEYWORD is needed");
    std::u16string units;
    if (!CCodeConverter::Utf8ToUtf16(keyword, units)) return cli::UsageError("KEYWORD is not valid UTF-8");
    return cli::kExitOk;
}

int RunSearch(const std::filesystem::path& dataFolder, SearchRequest& request, SearchRun& run) {
    CCodeConverter::Utf8ToUtf16(request.keyword, request.query);
    if (!run.index.Open(dataFolder, storeformat::kBaseName, int(request.scope->indexScope))) return cli::kExitFailed;
    if (request.any)
        run.index.SearchAny(request.query, request.useVariants);
    else
        run.index.SearchAll(request.query, request.useVariants);
    return cli::kExitOk;
}

void ListEntries(const std::filesystem::path& dataFolder, const SearchRequest& request, SearchRun& run,
                 CNotifier& notifier) {
    if (!run.toc.LoadTableOfContents(dataFolder)) notifier.ShowMessage(kNoTableOfContents);
    ContentsNodeTag* root = run.toc.Root();
    run.range = root;
    if (request.range)
        run.range = run.toc.IsRecord(request.range) ? CTocModel::FindNodeByItem(root, run.toc.Record(request.range))
                                                    : nullptr;
    run.totalHits = CollectEntries(root, run.range, run.index, run.entries);
}
