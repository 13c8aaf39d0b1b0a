// quorel-cli search --raw on a collection written by the writer: output lines,
// options, and exit statuses.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "panel/model/tablewriter.h"
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
        writer.AddPage(TextPage("b\\0005.htm", "山川天地"));
        writer.SetVariantGroups({{0x4E07, 0x842C}});
        // 經部 > 論語 > 學而 (pages 0-1), 為政 (page 2); 集部 > 詩 > 風 (page 3, printed 5)
        writer.AddTocRecord({u"經部", 1, 1, 3, 1});
        writer.AddTocRecord({u"論語", 2, 1, 3, 1});
        writer.AddTocRecord({u"學而", 3, 1, 2, 1});
        writer.AddTocRecord({u"為政", 3, 3, 1, 3});
        writer.AddTocRecord({u"集部", 1, 4, 1, 5});
        writer.AddTocRecord({u"詩", 2, 4, 1, 5});
        writer.AddTocRecord({u"風", 3, 4, 1, 5});
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
        {{"天地"}, "0\t2\n2\t1\n3\t1\n"},
        {{"天地 山川"}, "0\t3\n3\t2\n"},
        {{"天地\u3000山川"}, "0\t3\n3\t2\n"},
        {{"--any", "天地 山川"}, "0\t3\n2\t1\n3\t2\n1\t1\n"},
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

// Without --raw the entries are listed as the search panel lists them.
TEST_F(CliSearchTest, ListsEntriesByTableOfContents) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"search", "天地"},
         "全部で 3 頁で、4 箇所でした。\n經部\t論語\t學而\t1\t0\t2\n經部\t論語\t為政\t3\t2\t1\n"
         "集部\t詩\t風\t5\t3\t1\n"},
        {{"search", "--range", "2", "--any", "山川"},
         "全部で 2 頁で、2 箇所でした。\n經部\t論語\t學而\t1\t0\t1\n經部\t論語\t學而\t2\t1\t1\n"},
        {{"search", "--range", "7", "天地"}, "全部で 1 頁で、1 箇所でした。\n集部\t詩\t風\t5\t3\t1\n"},
        {{"search", "--range", "99", "天地"}, "全部で 0 頁で、0 箇所でした。\n"},
        {{"search", "鬼"}, "全部で 0 頁で、0 箇所でした。\n"},
        {{"search", "--json", "--range", "7", "天地"},
         "{\"pages\":1,\"hits\":1,\"results\":[{\"category\":\"集部\",\"book\":\"詩\",\"volume\":\"風\","
         "\"pageInVolume\":5,\"page\":3,\"hits\":1}]}\n"},
        {{"toc"},
         "name=經部\tdocID=1\tdocNo=3\tcurFileName=1\n\tname=論語\tdocID=1\tdocNo=3\tcurFileName=1\n"
         "\t\tname=學而\tdocID=1\tdocNo=2\tcurFileName=1\n\t\tname=為政\tdocID=3\tdocNo=1\tcurFileName=3\n"
         "name=集部\tdocID=4\tdocNo=1\tcurFileName=5\n\tname=詩\tdocID=4\tdocNo=1\tcurFileName=5\n"
         "\t\tname=風\tdocID=4\tdocNo=1\tcurFileName=5\n"},
        {{"page", "3"}, TextPage("", "天地天地山川").html},
        {{"page", "3", "2"}, TextPage("", "萬年山川").html},
        {{"page", "7"}, TextPage("", "山川天地").html},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", dir.Path().string()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 0) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST_F(CliSearchTest, MissingPagesAndRecordsExitOne) {
    for (std::vector<std::string> args : {std::vector<std::string>{"page", "3", "9"}, {"page", "8"}, {"page", "0"}}) {
        args.insert(args.begin(), {"--data", dir.Path().string()});
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    std::filesystem::remove(dir.Path() / "vrn.dir");
    const CliResult toc = RunCli({"--data", dir.Path().string(), "toc"});
    EXPECT_EQ(toc.status, 1);
    EXPECT_EQ(toc.err, "you delete data file!\n");
    const CliResult search = RunCli({"--data", dir.Path().string(), "search", "天地"});
    EXPECT_EQ(search.status, 0);
    EXPECT_EQ(search.out, "全部で 0 頁で、0 箇所でした。\n");
}

// The default collection beside the executables: 學而 finds 論語's 学而篇 through
// the variant groups, and only with them.
TEST(CliDefaultCollection, FindsXueErInTheAnalects) {
    const CliResult withVariants = RunCli({"--data", QUOREL_DEFAULT_COLLECTION, "search", "--range", "1", "學而"});
    ASSERT_EQ(withVariants.status, 0);
    EXPECT_NE(withVariants.out.find("經部\t論語\t学而篇\t1\t"), std::string::npos) << withVariants.out;
    const CliResult without = RunCli({"--data", QUOREL_DEFAULT_COLLECTION, "search", "--no-variants", "學而"});
    EXPECT_EQ(without.out.find("論語"), std::string::npos);
}

std::vector<std::vector<std::string>> TsvRows(const std::string& out) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

CliResult RunOnDefault(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", QUOREL_DEFAULT_COLLECTION});
    return RunCli(args);
}

// The kwic lines of a search: one per hit marked, the columns and formats,
// and the orders.
TEST(CliKwic, LinesOfTheDefaultCollection) {
    const CliResult r = RunOnDefault({"kwic", "--context", "4", "學而"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = TsvRows(r.out);
    ASSERT_GT(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"CATEGORY", "BOOK", "VOLUME", "PAGEINVOLUME", "PAGE", "ANCHOR",
                                                 "LEFT", "MATCH", "RIGHT"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"經部", "論語", "学而篇", "1", "21", "0", "子曰：“", "学而",
                                                 "时习之，"}));
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 9u);
        EXPECT_LE(U16(rows[i][6]).size(), 4u);
    }
    const CliResult limited = RunOnDefault({"kwic", "--limit", "2", "--format", "json", "學而"});
    ASSERT_EQ(limited.status, 0);
    const auto jsonRows = TsvRows(limited.out);
    ASSERT_EQ(jsonRows.size(), 2u);
    const auto first = nlohmann::json::parse(limited.out.substr(0, limited.out.find('\n')));
    EXPECT_EQ(first["page"], 21);
    EXPECT_EQ(first["match"], "学而");
    const CliResult csv = RunOnDefault({"kwic", "--format", "csv", "--limit", "1", "學而"});
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n') + 1), "CATEGORY,BOOK,VOLUME,PAGEINVOLUME,PAGE,ANCHOR,LEFT,MATCH,RIGHT\r\n");
}

TEST(CliKwic, SortedByTheTextAfterOrBeforeTheMatch) {
    for (const char* order : {"left", "right"}) {
        const CliResult r = RunOnDefault({"kwic", "--sort", order, "子曰"});
        ASSERT_EQ(r.status, 0);
        auto rows = TsvRows(r.out);
        rows.erase(rows.begin());
        const CliResult unsorted = RunOnDefault({"kwic", "子曰"});
        EXPECT_EQ(rows.size() + 1, TsvRows(unsorted.out).size());
        for (size_t i = 1; i < rows.size(); ++i) {
            if (std::string(order) == "right") {
                EXPECT_LE(rows[i - 1][8], rows[i][8]);  // UTF-8 bytes sort as code points do
            } else {
                std::u32string a, b;
                size_t bad = 0;
                CCodeConverter::Utf8ToUtf32(rows[i - 1][6], a, bad);
                CCodeConverter::Utf8ToUtf32(rows[i][6], b, bad);
                EXPECT_FALSE(std::lexicographical_compare(b.rbegin(), b.rend(), a.rbegin(), a.rend()));
            }
        }
    }
}

// --ignore-punctuation finds a phrase copied without the edition's punctuation
// in search, kwic and render, and each command without it finds nothing.
TEST(CliIgnorePunctuation, FindsThePhraseInEveryCommand) {
    const char* phrase = "學而時習之不亦說乎";
    EXPECT_EQ(RunOnDefault({"search", phrase}).out, "全部で 0 頁で、0 箇所でした。\n");
    const CliResult search = RunOnDefault({"search", "--ignore-punctuation", phrase});
    ASSERT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out, "全部で 1 頁で、1 箇所でした。\n經部\t論語\t学而篇\t1\t21\t1\n");
    const CliResult kwic = RunOnDefault({"kwic", "--ignore-punctuation", "--context", "2", phrase});
    ASSERT_EQ(kwic.status, 0) << kwic.err;
    const auto rows = TsvRows(kwic.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][7], "学而时习之，不亦说乎");
    EXPECT_EQ(RunOnDefault({"render", "21", phrase}).err, "anchors=0\n");
    EXPECT_EQ(RunOnDefault({"render", "--ignore-punctuation", "21", phrase}).err, "anchors=1\n");
}

// Pages and hits by book add up to the search's totals, book by book.
TEST(CliSearchByBook, TotalsEqualTheSearch) {
    for (const char* query : {"子曰", "之", "學而", "君子 小人"}) {
        const CliResult books = RunOnDefault({"search", "--by-book", query});
        const CliResult entries = RunOnDefault({"search", query});
        ASSERT_EQ(books.status, 0);
        const auto bookRows = TsvRows(books.out);
        const auto entryRows = TsvRows(entries.out);
        EXPECT_EQ(bookRows[0], entryRows[0]);  // the same totals line
        std::map<std::string, std::pair<long, long>> counted;
        for (size_t i = 1; i < entryRows.size(); ++i) {
            auto& c = counted[entryRows[i][0] + "/" + entryRows[i][1]];
            c.first += 1;
            c.second += std::stol(entryRows[i][5]);
        }
        ASSERT_EQ(bookRows.size() - 1, counted.size()) << query;
        for (size_t i = 1; i < bookRows.size(); ++i) {
            const auto& c = counted[bookRows[i][0] + "/" + bookRows[i][1]];
            EXPECT_EQ(std::to_string(c.first), bookRows[i][2]) << bookRows[i][1];
            EXPECT_EQ(std::to_string(c.second), bookRows[i][3]) << bookRows[i][1];
        }
    }
}

TEST(CliTableWriter, CsvQuotesByRfc4180) {
    const CTableWriter csv(CTableWriter::Format::kCsv);
    const CTableWriter tsv(CTableWriter::Format::kTsv);
    struct Case {
        std::vector<std::string> fields;
        const char* csv;
        const char* tsv;
    };
    const Case cases[] = {
        {{"天地", "1"}, "天地,1\r\n", "天地\t1\n"},
        {{"a,b", "say \"x\"", ""}, "\"a,b\",\"say \"\"x\"\"\",\r\n", "a,b\tsay \"x\"\t\n"},
        {{"line\nbreak", "tab\there"}, "\"line\nbreak\",tab\there\r\n", "line break\ttab here\n"},
        {{"cr\r"}, "\"cr\r\"\r\n", "cr \n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(csv.FormatRow(c.fields), c.csv);
        EXPECT_EQ(tsv.FormatRow(c.fields), c.tsv);
    }
    EXPECT_FALSE(CTableWriter::FormatOf("xlsx"));
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
        {"search", "--range", "x", "天"},
        {"search", "--raw", "--range", "1", "天"},
        {"search", "--raw", "--by-book", "天"},
        {"search", "--format", "xml", "天"},
        {"kwic"},
        {"kwic", "--context", "-1", "天"},
        {"kwic", "--context", "x", "天"},
        {"kwic", "--limit", "-5", "天"},
        {"kwic", "--sort", "middle", "天"},
        {"kwic", "--format", "xml", "天"},
        {"kwic", "天", "地"},
        {"toc", "extra"},
        {"page"},
        {"page", "1", "2", "3"},
        {"page", "one"},
    };
    for (const auto& args : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}

}  // namespace
