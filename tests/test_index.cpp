// Opening and closing a search scope, and what corrupt or missing index files
// do: the open fails once with its message, or the walk ends early, never
// reading outside the mapped file.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "docstore/storeformat.h"
#include "fixture.h"
#include "index/index.h"
#include "index/indexformat.h"

namespace {

constexpr const char* kOpenFailed = "データを開けませんでした。";

std::vector<uint32_t> Pages(const CIndex& index) { return index.GetResultPages(); }

std::vector<uint32_t> Search(CIndex& index, const std::string& query) {
    std::u16string q = U16(query);
    index.SearchAll(q, false);
    return Pages(index);
}

void PatchUint32(const std::filesystem::path& path, size_t offset, uint32_t value) {
    std::string bytes = ReadFileBytes(path);
    ASSERT_LE(offset + 4, bytes.size());
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = char((value >> (8 * i)) & 0xFF);
    WriteFileBytes(path, bytes);
}

size_t FirstBlockEntry(char32_t cp) { return 4 * size_t(CCodeConverter::ToCharNumber(cp)); }

class IndexFilesTest : public ::testing::Test {
protected:
    void SetUp() override { WriteTextCollection(dir.Path(), {"天地", "山川", "天山"}); }
    std::filesystem::path File(const std::string& name) const { return dir.Path() / name; }
    CTempDir dir;
    CRecordingNotifier notifier;
    CIndex index{&notifier};
};

TEST_F(IndexFilesTest, OpensSearchesAndCloses) {
    ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(Search(index, "天"), (std::vector<uint32_t>{0, 2}));
    index.Close();
    index.Close();
    EXPECT_FALSE(index.IsOpen());
    // The results survive the close; a closed index finds nothing.
    EXPECT_EQ(Pages(index), (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(Search(index, "天"), (std::vector<uint32_t>{}));
}

// Each missing or broken file fails the open with one message and leaves it closed.
TEST_F(IndexFilesTest, BrokenFilesFailTheOpenOnce) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> breakIt;
    };
    const Case cases[] = {
        {"missing header", [](auto& d) { std::filesystem::remove(d / "Index-idx.h"); }},
        {"missing postings", [](auto& d) { std::filesystem::remove(d / "Index-idx.m"); }},
        {"missing page table", [](auto& d) { std::filesystem::remove(d / "Index-fl.h"); }},
        {"missing page content", [](auto& d) { std::filesystem::remove(d / "Index-fl.cnt"); }},
        {"empty header", [](auto& d) { WriteFileBytes(d / "Index-idx.h", ""); }},
        {"short header", [](auto& d) {
             WriteFileBytes(d / "Index-idx.h", ReadFileBytes(d / "Index-idx.h").substr(0, 1399999));
         }},
        {"header is a folder", [](auto& d) {
             std::filesystem::remove(d / "Index-idx.h");
             std::filesystem::create_directory(d / "Index-idx.h");
         }},
    };
    for (const Case& c : cases) {
        CTempDir broken;
        WriteTextCollection(broken.Path(), {"天地"});
        c.breakIt(broken.Path());
        CRecordingNotifier messages;
        CIndex failing(&messages);
        std::u16string q = u"天";
        failing.SearchAll(q, false);
        EXPECT_FALSE(failing.Open(broken.Path(), storeformat::kBaseName, 0)) << c.what;
        EXPECT_EQ(messages.messages, std::vector<std::string>{kOpenFailed}) << c.what;
        EXPECT_FALSE(failing.IsOpen()) << c.what;
        EXPECT_EQ(failing.GetResultPageCount(), 0) << c.what;
        EXPECT_EQ(Search(failing, "天"), (std::vector<uint32_t>{})) << c.what;
    }
}

TEST_F(IndexFilesTest, HeaderOfExactlyTheTablesOpensWithNoChain) {
    WriteFileBytes(File("Index-idx.h"), ReadFileBytes(File("Index-idx.h")).substr(0, indexformat::kChainOffset));
    ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    EXPECT_EQ(Search(index, "天"), (std::vector<uint32_t>{0, 2}));
}

TEST_F(IndexFilesTest, MissingVariantTableDoesNotFailTheOpen) {
    std::filesystem::remove(File("yitizi.txt"));
    EXPECT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, 0));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(index.GetVariantGroups().empty());
}

TEST(IndexScopes, EachScopeReadsItsOwnFiles) {
    CTempDir dir;
    CCollectionWriter writer;
    WriterPage page = TextPage("a\\0001.htm", "天地");
    page.occurrences[1] = CCollectionWriter::Occurrences(u"注");
    page.occurrences[2] = CCollectionWriter::Occurrences(u"正");
    writer.AddPage(page);
    writer.Write(dir.Path());
    CIndex index;
    struct Case {
        int scope;
        const char* hit;
        const char* miss;
    };
    for (const Case& c : {Case{0, "天地", "注"}, Case{1, "注", "天"}, Case{2, "正", "天"}, Case{7, "天地", "正"}}) {
        index.Close();
        std::u16string previous = u"天";
        index.SearchAll(previous, false);
        ASSERT_TRUE(index.Open(dir.Path(), storeformat::kBaseName, c.scope));
        EXPECT_EQ(index.GetResultPageCount(), 0) << "the open empties the results";
        EXPECT_EQ(Search(index, c.hit), (std::vector<uint32_t>{0})) << c.scope;
        EXPECT_EQ(Search(index, c.miss), (std::vector<uint32_t>{})) << c.scope;
    }
}

// A collection where 天 stands on every page, so its list runs through several
// chained blocks.
class CorruptPostingsTest : public ::testing::Test {
protected:
    static constexpr int kPages = 3000;
    void SetUp() override {
        std::vector<std::string> texts(kPages, "天地");
        WriteTextCollection(dir.Path(), texts);
        header = dir.Path() / "Index-idx.h";
        postings = dir.Path() / "Index-idx.m";
    }
    size_t Found(const std::string& query) {
        CIndex index;
        if (!index.Open(dir.Path(), storeformat::kBaseName, 0)) return size_t(-1);
        return Search(index, query).size();
    }
    uint32_t FirstBlockOf(char32_t cp) {
        const std::string bytes = ReadFileBytes(header);
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + FirstBlockEntry(cp), 4);
        return value;
    }
    CTempDir dir;
    std::filesystem::path header, postings;
};

TEST_F(CorruptPostingsTest, IntactListsFindEveryPage) {
    EXPECT_EQ(Found("天"), size_t(kPages));
    EXPECT_EQ(Found("天地"), size_t(kPages));
}

TEST_F(CorruptPostingsTest, FirstBlockPastTheFileFindsNothing) {
    for (uint32_t block : {9999u, 0xFFFFFFFEu, 0x7FFFFFFFu}) {
        PatchUint32(header, FirstBlockEntry(U'天'), block);
        EXPECT_EQ(Found("天"), 0u) << block;
        EXPECT_EQ(Found("天地"), 0u) << block;
    }
}

TEST_F(CorruptPostingsTest, ChainPastTheFileEndsTheList) {
    const uint32_t first = FirstBlockOf(U'天');
    PatchUint32(header, indexformat::kChainOffset + 4 * first, 123456);
    const size_t found = Found("天");
    EXPECT_GT(found, 0u);
    EXPECT_LT(found, size_t(kPages));
}

// A block that chains to itself, in a list whose last page is never reached,
// must not walk forever.
TEST_F(CorruptPostingsTest, ChainCycleEnds) {
    const uint32_t first = FirstBlockOf(U'天');
    PatchUint32(header, indexformat::kChainOffset + 4 * first, first);
    PatchUint32(header, indexformat::kLastPageOffset + FirstBlockEntry(U'天'), 0xFFFFFFF0u);
    EXPECT_LE(Found("天"), size_t(kPages));
    EXPECT_LE(Found("天地"), size_t(kPages));
}

TEST_F(CorruptPostingsTest, ChainTableShorterThanTheListEndsIt) {
    WriteFileBytes(header, ReadFileBytes(header).substr(0, indexformat::kChainOffset + 4));
    EXPECT_LT(Found("天"), size_t(kPages));
}

TEST_F(CorruptPostingsTest, TruncatedPostingFileEndsTheList) {
    const std::string bytes = ReadFileBytes(postings);
    for (size_t keep : {size_t(0), size_t(1), size_t(4096), bytes.size() - 4096 - 17, bytes.size() - 1}) {
        WriteFileBytes(postings, bytes.substr(0, keep));
        EXPECT_LE(Found("天地"), size_t(kPages)) << keep;
    }
}

TEST_F(CorruptPostingsTest, LastPageBeyondTheListStopsAtTheFileEnd) {
    PatchUint32(header, indexformat::kLastPageOffset + FirstBlockEntry(U'天'), 0xFFFFFFF0u);
    EXPECT_GE(Found("天地"), size_t(kPages - 1));
}

// Random bytes in place of the posting file and the tables: searches end, and
// AddressSanitizer sees no read outside the mapping.
TEST_F(CorruptPostingsTest, RandomPostingBytesNeverReadOutside) {
    std::mt19937 random(7);
    std::string bytes = ReadFileBytes(postings);
    for (int round = 0; round < 20; ++round) {
        std::string noise = bytes;
        for (size_t i = 0; i < noise.size(); i += 1 + random() % 7) noise[i] = char(random());
        noise.resize(random() % (noise.size() + 1));
        WriteFileBytes(postings, noise);
        PatchUint32(header, indexformat::kLastPageOffset + FirstBlockEntry(U'地'), random());
        Found("天地");
        Found("天*地");
        Found("天?地");
    }
}

}  // namespace
