#include "cli/toccommand.h"

#include <cstdio>

#include "cli/clicommon.h"
#include "docstore/storeformat.h"
#include "index/index.h"
#include "panel/model/tocmodel.h"

namespace {

bool WriteAll(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

}  // namespace

int RunTocCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                  CNotifier& notifier) {
    if (!args.empty()) return cli::UsageError("toc takes no arguments");
    CTocModel toc;
    if (!toc.LoadTableOfContents(dataFolder)) {
        notifier.ShowMessage(cli::kNoTableOfContents);
        return cli::kExitFailed;
    }
    std::string listing;
    for (const std::string& line : toc.ListingLines()) listing += line;
    return WriteAll(listing) ? cli::kExitOk : cli::Failure("the listing cannot be written to stdout");
}

int RunPageCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                   CNotifier& notifier) {
    int record = 0, printed = 0;
    if (args.empty() || args.size() > 2 || !cli::ParseNumber(args[0], record) ||
        (args.size() == 2 && !cli::ParseNumber(args[1], printed)))
        return cli::UsageError("page needs RECORD and optionally PRINTED, both numbers");
    CTocModel toc;
    if (!toc.LoadTableOfContents(dataFolder)) {
        notifier.ShowMessage(cli::kNoTableOfContents);
        return cli::kExitFailed;
    }
    if (!toc.IsRecord(record)) return cli::Failure("there is no record " + args[0]);
    const TocRecord& entry = toc.Record(record);
    if (args.size() == 1) printed = entry.curFileName;

    CIndex index(&notifier);
    if (!index.Open(dataFolder, storeformat::kBaseName, int(IndexScope::kFullText))) return cli::kExitFailed;
    int page = 0;
    std::string bytes;
    try {
        if (!index.FindPrintedPage(entry.docID - 1, printed, page) || !index.ReadPage(page, bytes))
            return cli::Failure("record " + args[0] + " has no page " + std::to_string(printed));
    } catch (const std::exception& error) {
        return cli::Failure(std::string("the page cannot be read: ") + error.what());
    }
    return WriteAll(bytes) ? cli::kExitOk : cli::Failure("the page cannot be written to stdout");
}
