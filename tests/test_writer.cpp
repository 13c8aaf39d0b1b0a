// The streaming collection writer: long posting lists chained across blocks,
// variant-group lists merged from their members, faults reported at Write.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 3000;

// Page p holds 天, then 地 on every third page and 人 elsewhere, 萬 on every
// fifth page and 万 on every seventh.
std::string PageText(int p) {
    std::string text = "天";
    text += p % 3 == 0 ? "地" : "人";
    if (p % 5 == 0) text += "萬";
    if (p % 7 == 0) text += "万萬";
    return text;
}

void WriteLongLists(const fs::path& folder, bool scatter, bool groupsFirst) {
    WriterOptions options;
    options.scatterBlocks = scatter;
    CCollectionWriter writer(options);
    const std::vector<std::vector<uint32_t>> groups = {{0x4E07, 0x842C}};
    if (groupsFirst) writer.SetVariantGroups(groups);
    for (int p = 0; p < kPages; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "a\\%04d.htm", p + 1);
        writer.AddPage(TextPage(name, PageText(p)));
    }
    if (!groupsFirst) writer.SetVariantGroups(groups);
    writer.Write(folder);
}

std::map<uint32_t, uint32_t> Search(const fs::path& folder, const std::string& word, bool variants) {
    CIndex index;
    EXPECT_TRUE(index.Open(folder, storeformat::kBaseName, 0));
    std::u16string query = U16(word);
    index.SearchAll(query, variants);
    std::map<uint32_t, uint32_t> hits;
    for (int i = 0; i < index.GetResultPageCount(); ++i) hits[index.GetResultPages()[size_t(i)]] = index.GetResultCounts()[size_t(i)];
    return hits;
}

// Lists of several blocks, in either block order, and group lists built from
// their members whether the groups come before the pages or after them.
TEST(CollectionWriter, ChainsLongListsAndMergesGroupLists) {
    CTempDir root;
    for (bool scatter : {false, true}) {
        for (bool groupsFirst : {true, false}) {
            const fs::path folder = root.Path() / (std::to_string(scatter) + std::to_string(groupsFirst));
            fs::create_directories(folder);
            WriteLongLists(folder, scatter, groupsFirst);
            std::map<uint32_t, uint32_t> all, earth, wan, variants, manFollowedByWan;
            for (int p = 0; p < kPages; ++p) {
                all[uint32_t(p)] = 1;
                if (p % 3 == 0) earth[uint32_t(p)] = 1;
                if (p % 7 == 0) wan[uint32_t(p)] = 1;
                const uint32_t forms = (p % 5 == 0) + (p % 7 == 0 ? 2 : 0);
                if (forms) variants[uint32_t(p)] = forms;
                if (p % 3 != 0 && forms) manFollowedByWan[uint32_t(p)] = 1;
            }
            const std::string what = "scatter " + std::to_string(scatter) + " groups first " + std::to_string(groupsFirst);
            EXPECT_EQ(Search(folder, "天", false), all) << what;
            EXPECT_EQ(Search(folder, "天地", false), earth) << what;
            EXPECT_EQ(Search(folder, "万", false), wan) << what;
            EXPECT_EQ(Search(folder, "万", true), variants) << what;
            EXPECT_EQ(Search(folder, "萬", true), variants) << what;
            // The group's positions, whether one member or both held the page.
            EXPECT_EQ(Search(folder, "人万", true), manFollowedByWan) << what;
            EXPECT_GT(fs::file_size(folder / "Index-idx.m"), 4 * 4096u) << what;
        }
        // Group lists do not depend on when the groups were set.
        for (const char* name : {"Index-idx.h", "Index-idx.m"})
            EXPECT_EQ(ReadFileBytes(root.Path() / (std::to_string(scatter) + "1") / name),
                      ReadFileBytes(root.Path() / (std::to_string(scatter) + "0") / name))
                << name;
    }
}

// A page made of count occurrences of cp, one position apart (or step apart).
WriterPage RepeatedPage(const std::string& name, char32_t cp, size_t count, uint32_t step = 1, uint32_t first = 0) {
    WriterPage page;
    page.recordName = name;
    page.html = "<html></html>";
    for (size_t i = 0; i < count; ++i) page.occurrences[0].push_back({cp, first + uint32_t(i) * step});
    return page;
}

// An entry longer than a block runs on into the next one, in a character's
// list and in its group's list copied from it; the entries after it still read.
TEST(CollectionWriter, ContinuesAnEntryLongerThanABlock) {
    CTempDir folder;
    CCollectionWriter writer;
    writer.AddPage(TextPage("a\\0001.htm", "天地万"));
    writer.AddPage(RepeatedPage("a\\0002.htm", U'万', 5000, 1, 2));
    writer.AddPage(TextPage("a\\0003.htm", "万天"));
    writer.SetVariantGroups({{0x4E07, 0x842C}});
    writer.Write(folder.Path());
    const std::map<uint32_t, uint32_t> expected{{0, 1}, {1, 5000}, {2, 1}};
    EXPECT_EQ(Search(folder.Path(), "万", false), expected);
    EXPECT_EQ(Search(folder.Path(), "萬", true), expected);
    EXPECT_EQ(Search(folder.Path(), "天", false), (std::map<uint32_t, uint32_t>{{0, 1}, {2, 1}}));
}

struct FaultCase {
    const char* name;
    std::vector<WriterPage> pages;
    std::vector<std::vector<uint32_t>> groups;
    int nameWidth;
    const char* message;
};

// Each format limit, met by one page among good ones, fails the whole Write
// with a message naming the page; the good pages alone would have been written.
TEST(CollectionWriter, ReportsFormatLimitsAtWrite) {
    const WriterPage good = TextPage("a\\0001.htm", "天地");
    const FaultCase cases[] = {
        {"a position beyond 4194303", {good, RepeatedPage("a\\0002.htm", U'天', 1, 1, 5000000)}, {}, 0,
         "a\\0002.htm: a position beyond 4194303"},
        {"position data over 65535 bytes", {good, RepeatedPage("a\\0002.htm", U'之', 70000)}, {}, 0,
         "a\\0002.htm: a character's position data on one page over 65535 bytes"},
        {"a group's union over 65535 bytes",
         {good, [] {
              WriterPage page = RepeatedPage("a\\0002.htm", U'万', 40000, 2);
              for (size_t i = 0; i < 40000; ++i) page.occurrences[0].push_back({U'萬', uint32_t(2 * i + 1)});
              return page;
          }()},
         {{0x4E07, 0x842C}}, 0, "a\\0002.htm: a character's position data on one page over 65535 bytes"},
        {"a record name over 259 bytes", {good, RepeatedPage(std::string(300, 'x'), U'天', 1)}, {}, 0,
         "over the name width"},
        {"a record name over the given width", {good}, {}, 10, "over the name width"},
        {"too many groups", {good}, std::vector<std::vector<uint32_t>>(11936, {0x4E00}), 0, "more than 11935 variant groups"},
    };
    for (const FaultCase& c : cases) {
        CTempDir folder;
        WriterOptions options;
        options.nameWidth = c.nameWidth;
        CCollectionWriter writer(options);
        for (const WriterPage& page : c.pages) writer.AddPage(page);
        writer.SetVariantGroups(c.groups);
        try {
            writer.Write(folder.Path());
            ADD_FAILURE() << c.name << ": no fault";
        } catch (const CWriterError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
        }
    }
}

// A fault is there to see as soon as its page is added, and stays.
TEST(CollectionWriter, KeepsTheFirstFault) {
    CTempDir folder;
    CCollectionWriter writer;
    writer.AddPage(TextPage("a\\0001.htm", "天"));
    EXPECT_NO_THROW(writer.CheckFault());
    writer.AddPage(RepeatedPage("a\\0002.htm", U'天', 1, 1, 5000000));
    EXPECT_THROW(writer.CheckFault(), CWriterError);
    writer.AddPage(TextPage("a\\0003.htm", "地"));
    EXPECT_THROW(writer.Write(folder.Path()), CWriterError);
    EXPECT_THROW(writer.Write(folder.Path()), CWriterError);
}

// Write may run again into another folder with the same result; pages after it are a fault.
TEST(CollectionWriter, WritesTheSameCollectionTwice) {
    CTempDir root;
    const fs::path first = root.Path() / "first", second = root.Path() / "second";
    fs::create_directories(first);
    fs::create_directories(second);
    CCollectionWriter writer;
    writer.AddPage(TextPage("a\\0001.htm", "天地"));
    writer.AddTocRecord({u"卷", 3, 1, 1, 1});
    writer.Write(first);
    writer.Write(second);
    for (const std::string& name : CCollectionWriter::FileNames())
        EXPECT_EQ(ReadFileBytes(first / name), ReadFileBytes(second / name)) << name;
    writer.AddPage(TextPage("a\\0002.htm", "人"));
    EXPECT_THROW(writer.Write(first), CWriterError);
    EXPECT_EQ(Search(first, "天地", false), (std::map<uint32_t, uint32_t>{{0, 1}}));
}

// Spooling into the output folder leaves the files in place, and nothing else.
TEST(CollectionWriter, SpoolsIntoTheOutputFolder) {
    CTempDir folder;
    WriterOptions options;
    options.spoolFolder = folder.Path();
    {
        CCollectionWriter writer(options);
        writer.AddPage(TextPage("a\\0001.htm", "天地"));
        writer.Write(folder.Path());
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path())) names.insert(entry.path().filename().string());
    const auto expected = CCollectionWriter::FileNames();
    EXPECT_EQ(names, std::set<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(Search(folder.Path(), "天地", false), (std::map<uint32_t, uint32_t>{{0, 1}}));
}

}  // namespace
