#include "cli/kwiccommand.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/clicommon.h"
#include "cli/searchrequest.h"
#include "panel/model/concordance.h"
#include "panel/model/listingrows.h"
#include "panel/model/tablewriter.h"

namespace {

// Lines are made and written this many at a time.
constexpr size_t kBatch = 100;
// The widest context asked for; more would only repeat the page.
constexpr int kMaxContext = 100000;

struct KwicCommand {
    SearchRequest search;
    int context = CConcordance::kDefaultContext;
    CConcordance::SortOrder order = CConcordance::SortOrder::kPosition;
    size_t limit = SIZE_MAX;
    bool json = false;
    CTableWriter::Format format = CTableWriter::Format::kTsv;
};

std::optional<CConcordance::SortOrder> SortOrderOf(const std::string& name) {
    if (name == "position") return CConcordance::SortOrder::kPosition;
    if (name == "left") return CConcordance::SortOrder::kLeft;
    if (name == "right") return CConcordance::SortOrder::kRight;
    return std::nullopt;
}

// Takes the kwic command's own options; false when arg is none of them.
bool TakeKwicOption(const std::vector<std::string>& args, size_t& i, KwicCommand& command, int& status) {
    const std::string& arg = args[i];
    status = cli::kExitOk;
    if (i + 1 == args.size()) return false;
    const std::string& value = args[i + 1];
    int number = 0;
    if (arg == "--context") {
        if (!cli::ParseNumber(value, number) || number < 0 || number > kMaxContext)
            status = cli::UsageError("--context takes 0 to " + std::to_string(kMaxContext) + ": " + value);
        command.context = number;
    } else if (arg == "--limit") {
        if (!cli::ParseNumber(value, number) || number < 0) status = cli::UsageError("--limit takes a count: " + value);
        command.limit = size_t(number);
    } else if (arg == "--sort") {
        const auto order = SortOrderOf(value);
        if (!order) status = cli::UsageError("--sort takes position, left or right: " + value);
        command.order = order.value_or(CConcordance::SortOrder::kPosition);
    } else if (arg == "--format") {
        const auto format = CTableWriter::FormatOf(value);
        command.json = value == "json";
        if (!format && !command.json) status = cli::UsageError("unknown format " + value);
        command.format = format.value_or(CTableWriter::Format::kTsv);
    } else {
        return false;
    }
    ++i;
    return true;
}

int ParseArguments(const std::vector<std::string>& args, KwicCommand& command) {
    for (size_t i = 0; i < args.size(); ++i) {
        int status = cli::kExitOk;
        if (command.search.TakeOption(args, i, status) || TakeKwicOption(args, i, command, status)) {
            if (status != cli::kExitOk) return status;
        } else if (args[i].starts_with("--")) {
            return cli::UsageError("unknown option " + args[i]);
        } else if (!command.search.TakeKeyword(args, i)) {
            return cli::UsageError("unexpected argument " + args[i]);
        }
    }
    if (command.search.keyword.empty()) return cli::UsageError("kwic needs a KEYWORD");
    return command.search.Check();
}

class CLineWriter {
public:
    explicit CLineWriter(const KwicCommand& command) : m_json(command.json), m_table(command.format) {
        if (!m_json)
            m_table.WriteRow(CListingRows::LineColumns());
    }

    void Write(const ConcordanceLine& line) const {
        if (m_json) {
            const nlohmann::ordered_json out = {
                {"category", cli::Utf8(line.category)}, {"book", cli::Utf8(line.bookName)},
                {"volume", cli::Utf8(line.volumeName)}, {"pageInVolume", line.pageInVolume},
                {"page", line.page},               {"anchor", line.anchor},
                {"left", cli::Utf8(line.left)},         {"match", cli::Utf8(line.match)},
                {"right", cli::Utf8(line.right)}};
            std::printf("%s\n", out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
            return;
        }
        m_table.WriteRow(CListingRows::LineRow(line));
    }

private:
    bool m_json;
    CTableWriter m_table;
};

CConcordance::PageRenderer HitPageRenderer(const CIndex& index, const SearchRequest& request) {
    return [&index, &request](int page, CConcordance::HitPage& hitPage) {
        index.GetPageHtml(page, hitPage.html, request.query, int(request.scope->renderScope), request.useVariants,
                          &hitPage.marks);
    };
}

// In result order the lines go out as they are made; a sorted listing needs them all first.
void WriteLines(CConcordance& concordance, const KwicCommand& command) {
    const CLineWriter writer(command);
    std::vector<ConcordanceLine> lines;
    size_t written = 0;
    if (command.order == CConcordance::SortOrder::kPosition) {
        while (written < command.limit && !concordance.AtEnd()) {
            lines.clear();
            concordance.FetchMore(std::min(kBatch, command.limit - written), lines);
            for (const ConcordanceLine& line : lines) writer.Write(line);
            written += lines.size();
        }
        return;
    }
    concordance.FetchMore(SIZE_MAX, lines);
    CConcordance::Sort(lines, command.order);
    for (size_t i = 0; i < lines.size() && i < command.limit; ++i) writer.Write(lines[i]);
}

}  // namespace

int RunKwicCommand(const std::filesystem::path& dataFolder, const std::vector<std::string>& args,
                   CNotifier& notifier) {
    KwicCommand command;
    if (const int status = ParseArguments(args, command); status != cli::kExitOk) return status;
    SearchRun run(notifier);
    if (RunSearch(dataFolder, command.search, run) != cli::kExitOk) return cli::kExitFailed;
    ListEntries(dataFolder, command.search, run, notifier);
    CConcordance concordance(run.entries, HitPageRenderer(run.index, command.search), command.context);
    try {
        WriteLines(concordance, command);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        return cli::Failure(std::string("a page cannot be read: ") + error.what());
    }
    return cli::kExitOk;
}
