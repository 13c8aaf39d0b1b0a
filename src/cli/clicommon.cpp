#include "cli/clicommon.h"

#include <charconv>

#include "base/codeconverter.h"

namespace cli {

namespace {

constexpr const char* kUsage =
    "usage: quorel-cli [--data DIR] COMMAND ...\n"
    "  search [--raw] [--json] [--format tsv|csv|json] [--by-book] [--any] [--scope full|main|notes]\n"
    "         [--no-variants] [--ignore-punctuation] [--range RECORD] KEYWORD\n"
    "  kwic [--context N] [--sort position|left|right] [--limit N] [--format tsv|csv|json] [--any]\n"
    "       [--scope full|main|notes] [--no-variants] [--ignore-punctuation] [--range RECORD] KEYWORD\n"
    "  render [--scope full|main|notes] [--no-variants] [--ignore-punctuation] PAGE KEYWORD\n"
    "  toc\n"
    "  page RECORD [PRINTED]\n";

}  // namespace

int UsageError(const std::string& problem) {
    std::cerr << "quorel-cli: " << problem << '\n' << kUsage;
    return kExitUsage;
}

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

std::string Utf8(std::u16string_view text) { return CCodeConverter::ToUtf8(text); }

std::string Utf8(std::u32string_view text) { return CCodeConverter::ToUtf8(text); }

int Failure(const std::string& problem) {
    std::cerr << "quorel-cli: " << problem << '\n';
    return kExitFailed;
}

}  // namespace cli
