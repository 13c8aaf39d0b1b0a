#include "cli/rendercommand.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <stdexcept>

#include "base/codeconverter.h"
#include "cli/clicommon.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "index/searchscope.h"

namespace {

struct RenderRequest {
    const SearchScope* scope = &SearchScope::kFull;
    bool useVariants = true;
    bool ignorePunctuation = false;
    int page = 0;
    std::string keyword;  // UTF-8, as the user typed it
};

// kExitOk when args make a request, otherwise the usage error's status.
int ParseArguments(const std::vector<std::string>& args, RenderRequest& request) {
    std::vector<std::string> positionals;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--no-variants") {
            request.useVariants = false;
        } else if (arg == "--ignore-punctuation") {
            request.ignorePunctuation = true;
        } else if (arg == "--scope") {
            if (i + 1 == args.size()) return cli::UsageError("--scope needs full, main or notes");
            request.scope = SearchScope::Find(args[++i]);
            if (!request.scope) return cli::UsageError("unknown scope " + args[i]);
        } else if (arg.starts_with("--")) {
            return cli::UsageError("unknown option " + arg);
        } else {
            positionals.push_back(arg);
        }
    }
    if (positionals.size() != 2) return cli::UsageError("render needs PAGE and KEYWORD");
    if (!cli::ParseNumber(positionals[0], request.page)) return cli::UsageError("PAGE is not a number: " + positionals[0]);
    request.keyword = positionals[1];
    return cli::kExitOk;
}

int Render(const std::filesystem::path& dataFolder, const RenderRequest& request, CNotifier& notifier) {
    std::u16string query;
    if (!CCodeConverter::Utf8ToUtf16(request.keyword, query)) return cli::UsageError("KEYWORD is not valid UTF-8");
    // A search leaves its query with ideographic spaces between the words.
    std::replace(query.begin(), query.end(), u' ', u'\u3000');

    CIndex index(&notifier);
    if (!index.Open(dataFolder, storeformat::kBaseName, int(request.scope->indexScope))) return cli::kExitFailed;
    index.SetIgnorePunctuation(request.ignorePunctuation);
    const int pageCount = index.GetFileList().GetPageCount();
    if (request.page < 0 || request.page >= pageCount) {
        std::cerr << "quorel-cli: page " << request.page << " is out of range: the collection has pages 0 to "
                  << pageCount - 1 << '\n';
        return cli::kExitFailed;
    }
    std::string html;
    int anchors = 0;
    try {
        std::string stored;
        if (!index.ReadPage(request.page, stored)) throw std::runtime_error("its record lies outside the store");
        anchors = index.GetPageHtml(request.page, html, query, int(request.scope->renderScope), request.useVariants);
    } catch (const std::exception& error) {
        std::cerr << "quorel-cli: page " << request.page << " cannot be read: " << error.what() << '\n';
        return cli::kExitFailed;
    }
    if (std::fwrite(html.data(), 1, html.size(), stdout) != html.size() || std::fflush(stdout) != 0) {
        std::cerr << "quorel-cli: the page cannot be written to stdout\n";
        return cli::kExitFailed;
    }
    std::cerr << "anchors=" << anchors << '\n';
    return cli::kExitOk;
}

}  // namespace

int RunRenderCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                     CNotifier& notifier) {
    RenderRequest request;
    if (const int status = ParseArguments(args, request); status != cli::kExitOk) return status;
    return Render(dataFolder, request, notifier);
}
