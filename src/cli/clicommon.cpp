#include "cli/clicommon.h"

namespace cli {

namespace {

constexpr const char* kUsage =
    "usage: quorel-cli [--data DIR] COMMAND ...\n"
    "  search [--raw] [--json] [--format tsv|csv|json] [--by-book] [--any] [--scope full|main|notes]\n"
    "         [--no-variants] [--range RECORD] KEYWORD\n"
    "  kwic [--context N] [--sort position|left|right] [--limit N] [--format tsv|csv|json] [--any]\n"
    "       [--scope full|main|notes] [--no-variants] [--range RECORD] KEYWORD\n"
    "  render [--scope full|main|notes] [--no-variants] PAGE KEYWORD\n"
    "  toc\n"
    "  page RECORD [PRINTED]\n";

}  // namespace

int UsageError(const std::string& problem) {
    std::cerr << "quorel-cli: " << problem << '\n' << kUsage;
    return kExitUsage;
}

int Failure(const std::string& problem) {
    std::cerr << "quorel-cli: " << problem << '\n';
    return kExitFailed;
}

}  // namespace cli
