// quorel-cli search --raw on a collection written by the writer: output lines,
// options, and exit statuses.
#include <gtest/gtest.h>

#include "cliprocess.h"
#include "fixture.h"

namespace {

class CliSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCollectionWriter writer;
        WriterPage first = TextPage("a\\0001.htm", "天地天地山川");
        first.occurrences[1] = CCollectionWriter::Occurrences(u"注天地");
        writer.AddPage(first);
        writer.AddPage(TextPage("a\\0002.htm", "萬年山川"));
        writer.AddPage(TextPage("a\\0003.htm", "天地"));
        writer.SetVariantGroups({{0x4E07, 0x842C}});
        writer.Write(dir.Path());
    }
    CliResult Search(std::vector<std::string> options) {
        std::vector<std::string> args = {"--data", dir.Path().string(), "search", "--raw"};
        args.insert(args.end(), options.begin(), options.end());
        return RunCli(args);
    }
    CTempDir dir;
};

TEST_F(CliSearchTest, PrintsPagesAndHits) {
    struct Case {
        std::vector<std::string> options;
        std::string out;
    };
    const Case cases[] = {
        {{"天地"}, "0\t2\n2\t1\n"},
        {{"天地 山川"}, "0\t3\n"},
        {{"天地\u3000山川"}, "0\t3\n"},
        {{"--any", "天地 山川"}, "0\t3\n2\t1\n1\t1\n"},
        {{"--scope", "notes", "天地"}, "0\t1\n"},
        {{"--scope", "main", "注"}, ""},
        {{"--scope", "full", "万年"}, "1\t1\n"},
        {{"--no-variants", "万年"}, ""},
        {{"天a"}, ""},  // rejected: prints nothing, still a search that ran
        {{"鬼"}, ""},
    };
    for (const Case& c : cases) {
        const CliResult r = Search(c.options);
        EXPECT_EQ(r.status, 0) << c.options.back();
        EXPECT_EQ(r.out, c.out) << c.options.back();
    }
}

TEST_F(CliSearchTest, MissingDataExitsOne) {
    const CliResult r = RunCli({"--data", (dir.Path() / "none").string(), "search", "--raw", "天"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "データを開けませんでした。\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliSearchTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"search"},
        {"frobnicate"},
        {"--data"},
        {"search", "--raw"},
        {"search", "--raw", "--scope", "side", "天"},
        {"search", "--raw", "--bogus", "天"},
        {"search", "--raw", "天", "地"},
        {"search", "--raw", "\xFF"},
    };
    for (const auto& args : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}

}  // namespace
