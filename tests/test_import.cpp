// The importer: text rules, the plan's volume cuts on small JSON fixtures, the
// committed default subset, the source writer's replacement rules and errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "fixture.h"
#include "import/collectionimporter.h"
#include "import/importerror.h"
#include "import/importplan.h"
#include "import/sourcetext.h"
#include "import/sourcewriter.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

void WriteJson(const fs::path& folder, const std::string& relative, const std::string& text) {
    fs::create_directories((folder / relative).parent_path());
    WriteFileBytes(folder / relative, text);
}

BookPlan Book(std::string name, VolumeRule rule, std::vector<FileSource> files, std::vector<std::string> fields = {},
              int perVolume = 0) {
    return {std::move(name), rule, std::move(files), std::move(fields), perVolume, false};
}

CImportPlan OneBookPlan(BookPlan book) {
    CImportPlan plan;
    plan.headerWord = 7;
    plan.headerText = "試験";
    plan.categories = {{"集部", {std::move(book)}}};
    return plan;
}

ImportTotals Import(const fs::path& json, const fs::path& out, CImportPlan plan) {
    CSourceWriter writer(out);
    CCollectionImporter importer(json, std::move(plan));
    const ImportTotals totals = importer.Run(writer);
    writer.Commit();
    return totals;
}

// The message of the CImportError that importing plan raises; empty when none.
std::string ImportFailure(const fs::path& json, const fs::path& out, CImportPlan plan) {
    try {
        Import(json, out, std::move(plan));
    } catch (const CImportError& error) {
        return error.what();
    }
    return {};
}

struct FoldCase {
    std::vector<std::string> paragraphs;
    std::vector<std::string> lines;
};

// A note split over paragraphs must come out as one annotation on one line;
// a note left open must not swallow the text that follows in the builder.
TEST(SourceText, FoldAnnotationsKeepsEachNoteOnOneLine) {
    const FoldCase cases[] = {
        {{"萬里（一作「千里」）長征", "人未還。"}, {"萬里（一作「千里」）長征", "人未還。"}},
        {{"春卯（京本注：「夏午。", "」）順。", "雷居震位。"}, {"春卯（京本注：「夏午。」）順。", "雷居震位。"}},
        {{"甲（乙（丙）", "丁）戊", "己"}, {"甲（乙（丙）丁）戊", "己"}},
        {{"未完（注", "續"}, {"未完（注續）"}},
        {{"孤）字", "（注）"}, {"孤）字", "（注）"}},
        {{}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(CSourceText::FoldAnnotations(c.paragraphs), c.lines) << c.paragraphs.size();
}

struct CleanCase {
    std::string input;
    std::string line;
};

// Lines the builder would read as headings or page breaks, and control
// characters, must not reach the source as such.
TEST(SourceText, CleanLineNeutralisesControlLines) {
    const CleanCase cases[] = {
        {"  子曰：學而時習之\t", "子曰：學而時習之"},
        {"# 不是標題", "＃ 不是標題"},
        {"#", "＃"},
        {"---page---", "－－－page－－－"},
        {"\f", ""},
        {"甲\n乙\r丙", "甲 乙 丙"},
        {std::string("甲\x01\x7F", 5) + "乙", "甲乙"},
        {"\xEF\xBB\xBF字", "字"},
        {"a\xFF\xC0\x80" "b\xE4\xB8", "ab"},
        {"\xED\xA0\x80" "c", "c"},
    };
    for (const auto& c : cases) EXPECT_EQ(CSourceText::CleanLine(c.input), c.line) << c.input;
}

TEST(SourceText, SplitLinesDropsEmptyLines) {
    EXPECT_THAT(CSourceText::SplitLines("一\n\n  \r\n二\xE2\x80\xA8三"), ElementsAre("一", "二", "三"));
}

// Brackets inside a note would end the annotation early.
TEST(SourceText, AnnotationWrapsNoteAndNeutralisesInnerBrackets) {
    EXPECT_EQ(CSourceText::Annotation("1.欧陽炯--（896-971）五代词人"), "（1.欧陽炯--〔896-971〕五代词人）");
    EXPECT_EQ(CSourceText::Annotation(" \t"), "");
}

struct NameCase {
    std::string input;
    std::string name;
};

TEST(SourceText, FileNamePartIsSafeAndShort) {
    std::string longName;
    for (int i = 0; i < 45; ++i) longName += "詩";
    std::string fortyChars;
    for (int i = 0; i < 40; ++i) fortyChars += "詩";
    const NameCase cases[] = {
        {"仙吕/点绛唇", "仙吕／点绛唇"},
        {"a\\b", "a＼b"},
        {"..", "．."},
        {"\t \n", ""},
        {longName, fortyChars},
        {std::string(50, 'a'), std::string(40, 'a')},
    };
    for (const auto& c : cases) EXPECT_EQ(CSourceText::FileNamePart(c.input), c.name) << c.input;
}

TEST(SourceText, ChineseNumerals) {
    const std::pair<int, const char*> cases[] = {
        {1, "一"},           {10, "十"},         {11, "十一"},       {20, "二十"},     {21, "二十一"},
        {100, "一百"},       {101, "一百零一"},  {110, "一百一十"},  {410, "四百一十"}, {509, "五百零九"},
        {1000, "一千"},      {1001, "一千零一"}, {1010, "一千零一十"}, {9999, "九千九百九十九"},
    };
    for (const auto& [n, numeral] : cases) EXPECT_EQ(CSourceText::ChineseNumeral(n), numeral) << n;
}

TEST(SourceWriter, PrefixWidthFollowsCount) {
    EXPECT_EQ(CSourceWriter::PrefixedName(1, 9, "經部"), "01-經部");
    EXPECT_EQ(CSourceWriter::PrefixedName(12, 12, "a"), "12-a");
    EXPECT_EQ(CSourceWriter::PrefixedName(7, 509, "卷七"), "007-卷七");
    EXPECT_EQ(CSourceWriter::PrefixedName(1000, 1000, "b"), "1000-b");
}

// A chapter list becomes one volume per chapter, with name prefixes, and
// collection.txt holds the header word and text.
TEST(Importer, ChaptersBecomeVolumes) {
    CTempDir dir;
    WriteJson(dir.Path() / "json", "lunyu/lunyu.json",
              R"([{"chapter":"學而篇","paragraphs":["子曰：學而時習之。","有朋自遠方來。"]},)"
              R"( {"chapter":"爲政篇","paragraphs":["子曰：爲政以德。"]}])");
    const BookPlan book = Book("論語", VolumeRule::kDivisions, {{"lunyu/lunyu.json", {}}});
    const ImportTotals totals = Import(dir.Path() / "json", dir.Path() / "out", OneBookPlan(book));

    EXPECT_THAT(TreeFiles(dir.Path() / "out"),
                ElementsAre("01-集部/01-論語/01-學而篇.txt", "01-集部/01-論語/02-爲政篇.txt", "collection.txt"));
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/01-集部/01-論語/01-學而篇.txt"), "子曰：學而時習之。\n有朋自遠方來。\n");
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/collection.txt"), "7\n試験\n");
    EXPECT_EQ(totals.volumes, 2u);
    EXPECT_EQ(totals.characters, 9u + 7u + 8u);
}

// Titles become headings, the author is named once per run, biographies and
// notes become annotations, and notes in the text stay inside their brackets.
TEST(Importer, PoemsGetHeadingsBylinesAndAnnotations) {
    CTempDir dir;
    WriteJson(dir.Path() / "json", "poems.json",
              R"([{"title":"出塞","author":"王昌齡","biography":"字少伯。","paragraphs":["秦時明月漢時關，","萬里（一作「千里」）長征人未還。"],"notes":["1.關--關塞。",""]},)"
              R"( {"rhythmic":"菩薩蠻","author":"王昌齡","paragraphs":["春（注：","未完"]},)"
              R"( {"title":"# 怪題","author":"李白","paragraphs":["---page---"],"comment":["評曰：好。"]}])");
    const BookPlan book = Book("詩選", VolumeRule::kVolumePerFile, {{"poems.json", "卷上"}});
    Import(dir.Path() / "json", dir.Path() / "out", OneBookPlan(book));

    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/01-集部/01-詩選/01-卷上.txt"),
              "# 出塞\n王昌齡\n（字少伯。）\n秦時明月漢時關，\n萬里（一作「千里」）長征人未還。\n（1.關--關塞。）\n"
              "# 菩薩蠻\n春（注：未完）\n"
              "# ＃ 怪題\n李白\n－－－page－－－\n（評曰：好。）\n");
}

// Sections group consecutive poems; fixed counts cut runs of N across files.
TEST(Importer, VolumesByFieldsAndByFixedCount) {
    CTempDir dir;
    const fs::path json = dir.Path() / "json";
    WriteJson(json, "shijing.json",
              R"([{"title":"關雎","chapter":"國風","section":"周南","content":["關關雎鳩"]},)"
              R"( {"title":"葛覃","chapter":"國風","section":"周南","content":["葛之覃兮"]},)"
              R"( {"title":"鵲巢","chapter":"國風","section":"召南","content":["維鵲有巢"]}])");
    WriteJson(json, "p/poet.2.json", R"([{"title":"三","paragraphs":["三"]}])");
    WriteJson(json, "p/poet.10.json", R"([{"title":"四","paragraphs":["四"]},{"title":"五","paragraphs":["五"]}])");
    WriteJson(json, "p/poet.0.json", R"([{"title":"一","paragraphs":["一"]},{"title":"二","paragraphs":["二"]}])");
    WriteJson(json, "p/poet.x.json", R"(not even json)");

    CImportPlan plan;
    plan.categories = {{"經部", {Book("詩經", VolumeRule::kByFields, {{"shijing.json", {}}}, {"chapter", "section"})}},
                       {"集部", {Book("詩", VolumeRule::kFixedCount, {{"p/poet.#.json", {}}}, {}, 2)}}};
    Import(json, dir.Path() / "out", plan);

    EXPECT_THAT(TreeFiles(dir.Path() / "out"),
                ElementsAre("01-經部/01-詩經/01-國風·周南.txt", "01-經部/01-詩經/02-國風·召南.txt",
                            "02-集部/01-詩/01-卷一.txt", "02-集部/01-詩/02-卷二.txt", "02-集部/01-詩/03-卷三.txt",
                            "collection.txt"));
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/01-經部/01-詩經/01-國風·周南.txt"), "# 關雎\n關關雎鳩\n# 葛覃\n葛之覃兮\n");
    // Numeric order: poet.0, poet.2, poet.10.
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/02-集部/01-詩/02-卷二.txt"), "# 三\n三\n# 四\n四\n");
}

// An anthology object: preface, divisions of entries, divisions of
// paragraphs, and poems in several parts.
TEST(Importer, AnthologyObjectDivisions) {
    CTempDir dir;
    WriteJson(dir.Path() / "json", "a.json",
              R"({"title":"選","preface":["序文。"],"content":[)"
              R"({"type":"五言絕句","content":[{"chapter":"春曉","author":"（唐）孟浩然","paragraphs":["春眠不覺曉。"]},)"
              R"(  {"chapter":"二首","author":"（唐）孟浩然","paragraphs":[{"subchapter":"其一","paragraphs":["甲。"]},{"subchapter":"其二","paragraphs":["乙。"]}]}]},)"
              R"({"title":"卷二","paragraphs":["丙。"]},)"
              R"({"title":"","paragraphs":[]}]})");
    const BookPlan book = Book("選", VolumeRule::kDivisions, {{"a.json", {}}});
    Import(dir.Path() / "json", dir.Path() / "out", OneBookPlan(book));

    EXPECT_THAT(TreeFiles(dir.Path() / "out"), ElementsAre("01-集部/01-選/01-序.txt", "01-集部/01-選/02-五言絕句.txt",
                                                           "01-集部/01-選/03-卷二.txt", "collection.txt"));
    EXPECT_EQ(ReadFileBytes(dir.Path() / "out/01-集部/01-選/02-五言絕句.txt"),
              "# 春曉\n（唐）孟浩然\n春眠不覺曉。\n# 二首\n其一\n甲。\n其二\n乙。\n");
}

// The committed subset must hold every file the default plan names, in the
// shapes the reader expects.
TEST(Importer, DefaultSubsetImports) {
    CTempDir dir;
    const ImportTotals totals = Import(QUOREL_DEFAULT_JSON, dir.Path() / "out", CImportPlan::Subset());
    EXPECT_EQ(totals.categories, 4u);
    EXPECT_GT(totals.volumes, 100u);
    EXPECT_GT(totals.characters, 400000u);
    const std::string xueer = ReadFileBytes(dir.Path() / "out/01-經部/03-論語/01-学而篇.txt");
    EXPECT_TRUE(xueer.starts_with("子曰：“学而时习之")) << xueer.substr(0, 60);
    for (const auto& file : TreeFiles(dir.Path() / "out"))
        EXPECT_GT(fs::file_size(dir.Path() / "out" / file), 0u) << file;
}

struct BadInputCase {
    const char* what;
    std::string json;  // contents of in.json; empty for no file
    const char* message;
};

// Bad files give a message naming the file and the fault, never a crash, and
// leave no partial tree behind.
TEST(Importer, BadInputIsReported) {
    const BadInputCase cases[] = {
        {"truncated", R"([{"title":"a","paragraphs":["b")", "invalid JSON"},
        {"not json", "\x01\x02", "invalid JSON"},
        {"invalid UTF-8", "[{\"title\":\"\xC0\xAF\"}]", "invalid JSON"},
        {"wrong top level", "42", "expected a list of poems"},
        {"entry not an object", R"(["a"])", "entry 1: expected a JSON object"},
        {"title not text", R"([{"title":5,"paragraphs":["a"]}])", "entry 1: \"title\" is not text"},
        {"paragraph not text", R"([{"title":"a","paragraphs":["a",7]}])", "\"paragraphs\" holds something other than text"},
        {"notes an object", R"([{"title":"a","paragraphs":["a"],"notes":{}}])", "\"notes\" is neither text"},
        {"no text", R"([])", "no text in"},
        {"deep nesting", std::string(100000, '[') + std::string(100000, ']'), "expected a JSON object"},
        {"missing file", "", "file not found"},
    };
    for (const auto& c : cases) {
        CTempDir dir;
        if (!c.json.empty()) WriteJson(dir.Path() / "json", "in.json", c.json);
        fs::create_directories(dir.Path() / "json");
        const BookPlan book = Book("書", VolumeRule::kVolumePerFile, {{"in.json", "卷"}});
        const std::string message = ImportFailure(dir.Path() / "json", dir.Path() / "out", OneBookPlan(book));
        EXPECT_THAT(message, HasSubstr(c.message)) << c.what;
        EXPECT_THAT(message, HasSubstr("in.json")) << c.what;
        EXPECT_THAT(TreeFiles(dir.Path()), ::testing::Each(::testing::StartsWith("json/"))) << c.what;
    }
}

TEST(Importer, PatternWithoutMatchIsReported) {
    CTempDir dir;
    WriteJson(dir.Path() / "json", "p/poet.x.json", "[]");
    const BookPlan book = Book("書", VolumeRule::kFixedCount, {{"p/poet.#.json", {}}}, {}, 10);
    EXPECT_THAT(ImportFailure(dir.Path() / "json", dir.Path() / "out", OneBookPlan(book)), HasSubstr("no matching file"));
}

// An earlier import is replaced whole; a failed import leaves it untouched;
// a folder that is not a source tree is never replaced.
TEST(SourceWriter, ReplacesOnlyEarlierImports) {
    CTempDir dir;
    const fs::path json = dir.Path() / "json";
    const fs::path out = dir.Path() / "out";
    WriteJson(json, "in.json", R"([{"title":"新","paragraphs":["新"]}])");
    const BookPlan book = Book("書", VolumeRule::kVolumePerFile, {{"in.json", "卷"}});

    fs::create_directories(out / "01-old");
    WriteFileBytes(out / "collection.txt", "1\nold\n");
    Import(json, out, OneBookPlan(book));
    EXPECT_THAT(TreeFiles(out), ElementsAre("01-集部/01-書/01-卷.txt", "collection.txt"));

    WriteJson(json, "in.json", "[");
    EXPECT_THAT(ImportFailure(json, out, OneBookPlan(book)), HasSubstr("invalid JSON"));
    EXPECT_THAT(TreeFiles(out), ElementsAre("01-集部/01-書/01-卷.txt", "collection.txt"));

    const fs::path precious = dir.Path() / "precious";
    fs::create_directories(precious);
    WriteFileBytes(precious / "thesis.txt", "keep");
    EXPECT_THROW(CSourceWriter writer(precious), CImportError);
    WriteFileBytes(dir.Path() / "plain-file", "keep");
    EXPECT_THROW(CSourceWriter writer(dir.Path() / "plain-file"), CImportError);
    EXPECT_EQ(ReadFileBytes(precious / "thesis.txt"), "keep");
    EXPECT_THAT(TreeFiles(dir.Path()), ElementsAre("json/in.json", "out/01-集部/01-書/01-卷.txt",
                                                   "out/collection.txt", "plain-file", "precious/thesis.txt"));
}

// The command line: usage errors exit 2, import failures 1 with a message.
TEST(ImportCommand, ExitStatus) {
    CTempDir dir;
    const std::string tool = QUOREL_IMPORT;
    const std::string out = (dir.Path() / "out").string();
    const std::string log = (dir.Path() / "log").string();
    const std::pair<std::string, int> cases[] = {
        {"", 2},
        {"--bogus a b", 2},
        {"a", 2},
        {(dir.Path() / "missing").string() + " " + out, 1},
        {std::string(QUOREL_DEFAULT_JSON) + " " + out, 0},
    };
    for (const auto& [args, status] : cases) {
        const int raw = std::system((tool + " " + args + " >" + log + " 2>&1").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << args;
        EXPECT_EQ(WEXITSTATUS(raw), status) << args << ": " << ReadFileBytes(log);
    }
    EXPECT_THAT(ReadFileBytes(log), HasSubstr("characters"));
    EXPECT_TRUE(fs::exists(dir.Path() / "out" / "collection.txt"));
}

}  // namespace
