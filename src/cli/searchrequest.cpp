#include "cli/searchrequest.h"

#include "base/codeconverter.h"
#include "cli/clicommon.h"
#include "docstore/storeformat.h"
#include "panel/model/resultbuilder.h"

bool SearchRequest::TakeOption(const std::vector<std::string>& args, size_t& i, int& status) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    status = cli::kExitOk;
    if (arg == "--any") {
        any = true;
    } else if (arg == "--no-variants") {
        useVariants = false;
    } else if (arg == "--ignore-punctuation") {
        ignorePunctuation = true;
    } else if (arg == "--scope" && hasValue) {
        scope = SearchScope::Find(args[++i]);
        if (!scope) status = cli::UsageError("unknown scope " + args[i]);
    } else if (arg == "--range" && hasValue) {
        if (!cli::ParseNumber(args[++i], range) || range < 1)
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
    run.index.SetIgnorePunctuation(request.ignorePunctuation);
    if (request.any)
        run.index.SearchAny(request.query, request.useVariants);
    else
        run.index.SearchAll(request.query, request.useVariants);
    return cli::kExitOk;
}

void ListEntries(const std::filesystem::path& dataFolder, const SearchRequest& request, SearchRun& run,
                 CNotifier& notifier) {
    if (!run.toc.LoadTableOfContents(dataFolder)) notifier.ShowMessage(cli::kNoTableOfContents);
    ContentsNodeTag* root = run.toc.Root();
    run.range = root;
    if (request.range)
        run.range = run.toc.IsRecord(request.range) ? CTocModel::FindNodeByItem(root, run.toc.Record(request.range))
                                                    : nullptr;
    const CIndex& index = run.index;
    run.totalHits = run.range == root ? CResultBuilder::BuildCollectionResults(root, index.GetResultPages(),
                                                                               index.GetResultCounts(), run.entries)
                                      : CResultBuilder::BuildResults(run.range, index.GetResultPages(),
                                                                     index.GetResultCounts(), run.entries);
}
