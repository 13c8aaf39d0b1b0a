#include "cli/searchcommand.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli/clicommon.h"
#include "cli/searchrequest.h"
#include "panel/model/booktotals.h"
#include "panel/model/listingrows.h"
#include "panel/model/tablewriter.h"

namespace {

enum class Output { kTable, kJson };

struct SearchCommand {
    SearchRequest search;
    bool raw = false;
    bool byBook = false;
    Output output = Output::kTable;
    CTableWriter::Format format = CTableWriter::Format::kTsv;
};

// kExitOk when args make a request, otherwise the usage error's status.
int ParseArguments(const std::vector<std::string>& args, SearchCommand& command) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        int status = cli::kExitOk;
        if (command.search.TakeOption(args, i, status)) {
            if (status != cli::kExitOk) return status;
        } else if (arg == "--raw") {
            command.raw = true;
        } else if (arg == "--json") {
            command.output = Output::kJson;
        } else if (arg == "--by-book") {
            command.byBook = true;
        } else if (arg == "--format" && i + 1 < args.size()) {
            const std::string& name = args[++i];
            if (name == "json") {
                command.output = Output::kJson;
            } else if (const auto format = CTableWriter::FormatOf(name)) {
                command.output = Output::kTable;
                command.format = *format;
            } else {
                return cli::UsageError("unknown format " + name);
            }
        } else if (arg.starts_with("--")) {
            return cli::UsageError("unknown option " + arg);
        } else if (!command.search.TakeKeyword(args, i)) {
            return cli::UsageError("unexpected argument " + arg);
        }
    }
    if (command.search.keyword.empty()) return cli::UsageError("search needs a KEYWORD");
    if (command.raw && (command.output == Output::kJson || command.search.range || command.byBook))
        return cli::UsageError("--raw prints the result lists only");
    return command.search.Check();
}

void PrintRaw(const CIndex& index) {
    for (int i = 0; i < index.GetResultPageCount(); ++i)
        std::printf("%u\t%u\n", index.GetResultPages()[size_t(i)], index.GetResultCounts()[size_t(i)]);
}

// The totals line heads a TSV listing; a CSV file opens with its column names.
void WriteHead(const CTableWriter& writer, CTableWriter::Format format, const SearchRun& run,
               const CListingRows::Row& columns) {
    if (format == CTableWriter::Format::kCsv) {
        writer.WriteRow(columns);
        return;
    }
    std::fputs(CListingRows::TotalsLine(run.entries.size(), run.totalHits).c_str(), stdout);
}

void PrintEntries(const SearchRun& run, CTableWriter::Format format) {
    const CTableWriter writer(format);
    WriteHead(writer, format, run, CListingRows::EntryColumns());
    for (const SearchNodeTag& e : run.entries) writer.WriteRow(CListingRows::EntryRow(e));
}

void PrintBooks(const SearchRun& run, CTableWriter::Format format) {
    const CTableWriter writer(format);
    WriteHead(writer, format, run, CListingRows::BookColumns());
    for (const CBookTotals::Book& book : CBookTotals::Count(run.range, run.entries))
        writer.WriteRow(CListingRows::BookRow(book));
}

void PrintJson(const SearchRun& run, bool byBook) {
    nlohmann::ordered_json results = nlohmann::ordered_json::array();
    if (byBook) {
        for (const CBookTotals::Book& book : CBookTotals::Count(run.range, run.entries))
            results.push_back({{"category", cli::Utf8(book.category)},
                               {"book", cli::Utf8(book.bookName)},
                               {"pages", book.pages},
                               {"hits", book.hits}});
    } else {
        for (const SearchNodeTag& e : run.entries)
            results.push_back({{"category", cli::Utf8(e.category)},
                               {"book", cli::Utf8(e.bookName)},
                               {"volume", cli::Utf8(e.volumeName)},
                               {"pageInVolume", e.pageInVolume},
                               {"page", e.page},
                               {"hits", e.hitCount}});
    }
    const nlohmann::ordered_json out = {
        {"pages", run.entries.size()}, {"hits", run.totalHits}, {byBook ? "books" : "results", results}};
    std::printf("%s\n", out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

}  // namespace

int RunSearchCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                     CNotifier& notifier) {
    SearchCommand command;
    if (const int status = ParseArguments(args, command); status != cli::kExitOk) return status;
    SearchRun run(notifier);
    if (RunSearch(dataFolder, command.search, run) != cli::kExitOk) return cli::kExitFailed;
    if (command.raw) {
        PrintRaw(run.index);
        return cli::kExitOk;
    }
    ListEntries(dataFolder, command.search, run, notifier);
    if (command.output == Output::kJson)
        PrintJson(run, command.byBook);
    else if (command.byBook)
        PrintBooks(run, command.format);
    else
        PrintEntries(run, command.format);
    return cli::kExitOk;
}
