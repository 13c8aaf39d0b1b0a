// quorel-cli render: the bytes it prints are the bytes CIndex::GetPageHtml
// returns, and its exit statuses tell usage errors from missing pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cliprocess.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "renderfixture.h"

using namespace renderfixture;

namespace {

class RenderCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Printed page 1 holds its text in the second cell, page 2 in the first.
        const std::string first = "學而時習之" + Note("學者覺也") + "\t<br>";
        const std::string second = "萬學" + Note("学") + std::string("\r\n\0x", 4);
        WriteRenderCollection(m_data.Path(),
                              {{"b\\v1\\0001.htm", StoredPage("一", "", first)},
                               {"b\\v1\\0002.htm", StoredPage("二", second, "")}},
                              {{0x5B66, 0x5B78}});
    }

    CliResult Run(const std::vector<std::string>& args) const { return RunCli(args); }

    CTempDir m_data;
};

struct RenderCase {
    std::vector<std::string> options;
    int page;
    std::string keyword;
    int scopeType;
    int renderScope;
    bool useVariants;
};

// Every scope and the variant switch give GetPageHtml's bytes and anchor count.
TEST_F(RenderCliTest, PrintsTheBytesOfGetPageHtml) {
    const RenderCase cases[] = {
        {{}, 0, "學", 0, 0, true},
        {{"--scope", "full"}, 1, "學", 0, 0, true},
        {{"--no-variants"}, 1, "學", 0, 0, false},
        {{"--scope", "main"}, 0, "學", 2, 1, true},
        {{"--scope", "notes", "--no-variants"}, 0, "學", 1, 2, false},
        {{}, 0, "學 時?之", 0, 0, true},
        {{}, 0, "學*習", 0, 0, true},
        {{}, 1, "無", 0, 0, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--data", m_data.Path().string(), "render"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(std::to_string(c.page));
        args.push_back(c.keyword);
        const CliResult result = Run(args);

        CIndex index;
        ASSERT_TRUE(index.Open(m_data.Path(), storeformat::kBaseName, c.scopeType));
        std::u16string query = U16(c.keyword);
        for (char16_t& unit : query)
            if (unit == u' ') unit = u'\u3000';  // as the search leaves it
        std::string html;
        const int anchors = index.GetPageHtml(c.page, html, query, c.renderScope, c.useVariants);

        EXPECT_EQ(result.status, 0) << c.keyword << ": " << result.err;
        EXPECT_EQ(result.out, html) << c.keyword;
        EXPECT_EQ(result.err, "anchors=" + std::to_string(anchors) + "\n") << c.keyword;
    }
}

// The page bytes pass through unchanged, NUL and control bytes included.
TEST_F(RenderCliTest, OutputIsBinarySafe) {
    const CliResult result = Run({"--data", m_data.Path().string(), "render", "1", "學"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(std::string("\r\n\0x", 4)), std::string::npos);
    EXPECT_EQ(result.err, "anchors=2\n");
}

struct FailureCase {
    std::vector<std::string> args;
    int status;
    std::string message;  // part of stderr
};

// Usage errors are 2; data that cannot be opened and pages out of range are 1.
TEST_F(RenderCliTest, ExitStatuses) {
    const std::string data = m_data.Path().string();
    const FailureCase cases[] = {
        {{"--data", data, "render", "2", "學"}, 1, "out of range"},
        {{"--data", data, "render", "-1", "學"}, 1, "out of range"},
        {{"--data", (m_data.Path() / "missing").string(), "render", "0", "學"}, 1,
         "データを開けませんでした。"},
        {{"--data", data, "render", "x", "學"}, 2, "PAGE is not a number"},
        {{"--data", data, "render", "99999999999", "學"}, 2, "PAGE is not a number"},
        {{"--data", data, "render", "0"}, 2, "needs PAGE and KEYWORD"},
        {{"--data", data, "render", "0", "學", "習"}, 2, "needs PAGE and KEYWORD"},
        {{"--data", data, "render", "--scope", "all", "0", "學"}, 2, "unknown scope"},
        {{"--data", data, "render", "0", "學", "--scope"}, 2, "--scope needs"},
        {{"--data", data, "render", "--any", "0", "學"}, 2, "unknown option"},
        {{"--data", data, "render", "0", "\xFF"}, 2, "not valid UTF-8"},
    };
    for (const auto& c : cases) {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << c.message;
    }
}

// A variant table written on Windows (CR LF, a comma ending each line) marks
// what the clean table marks: both spellings of 山川, never 山 by itself.
TEST(RenderCliVariants, WindowsTableMarksEverySpelling) {
    CTempDir data;
    WriteRenderCollection(data.Path(), {{"b\\v1\\0002.htm", StoredPage("一", "山川天地山巛水山", "")}},
                          {{0x5DDD, 0x5DDB}, {0x5C71}});
    WriteFileBytes(data.Path() / "yitizi.txt", "5DDD,5DDB,\r\n0x5C71,\r\n");
    const CliResult marked = RunCli({"--data", data.Path().string(), "render", "0", "山川"});
    EXPECT_EQ(marked.err, "anchors=2\n");
    EXPECT_NE(marked.out.find(Hit(0, "山川") + "天地" + Hit(1, "山巛") + "水山"), std::string::npos);
    const CliResult plain = RunCli({"--data", data.Path().string(), "render", "--no-variants", "0", "山川"});
    EXPECT_EQ(plain.err, "anchors=1\n");
}

}  // namespace
