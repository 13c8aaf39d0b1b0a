// The document store: opening, raw page reads, printed page numbers and the
// scan by printed page number, on stores written by the writer or by hand.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <optional>

#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "fixture.h"

namespace {

struct RawRecord {
    std::string name;
    uint32_t endOffset;
    uint32_t length;
};

std::string Uint32Bytes(uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8) out.push_back(char((value >> shift) & 0xFF));
    return out;
}

// A page table written byte by byte, for layouts the writer never produces.
void WriteRawStore(const std::filesystem::path& folder, int32_t width, const std::vector<RawRecord>& records,
                   const std::string& content) {
    std::string table = Uint32Bytes(7) + Uint32Bytes(uint32_t(width)) + std::string(260, 'h');
    for (const RawRecord& r : records) {
        std::string name = r.name;
        name.resize(size_t(width), '\0');
        table += name + Uint32Bytes(r.endOffset) + Uint32Bytes(r.length);
    }
    WriteFileBytes(folder / "Index-fl.h", table);
    std::string masked = content;
    for (char& c : masked) c = char(c ^ 0x5A);
    WriteFileBytes(folder / "Index-fl.cnt", masked);
}

class FileListTest : public ::testing::Test {
protected:
    void WritePages(const std::vector<std::pair<std::string, std::string>>& pages) {
        WriterOptions options;
        options.headerWord = 42;
        options.headerText = "header";
        CCollectionWriter writer(options);
        for (const auto& [name, html] : pages) writer.AddPage(WriterPage{name, html, {}});
        writer.Write(dir.Path());
        ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    }
    CTempDir dir;
    CFileList store;
};

TEST_F(FileListTest, ReadsPagesAndHeaderWord) {
    WritePages({{"a\\1.htm", "<p>one</p>"}, {"a\\2.htm", ""}, {"b\\1.htm", "\xE5\xA4\xA9 third"}});
    EXPECT_EQ(store.GetHeaderWord(), 42);
    EXPECT_EQ(store.GetPageCount(), 3);
    uint32_t length = 0;
    ASSERT_TRUE(store.GetPageLength(0, length));
    EXPECT_EQ(length, 10u);
    std::string page = "stale";
    ASSERT_TRUE(store.ReadPage(2, page));
    EXPECT_EQ(page, "\xE5\xA4\xA9 third");
    // Reading twice gives the same bytes; an empty record reads as empty.
    ASSERT_TRUE(store.ReadPage(2, page));
    EXPECT_EQ(page, "\xE5\xA4\xA9 third");
    ASSERT_TRUE(store.ReadPage(1, page));
    EXPECT_EQ(page, "");
    std::string name;
    ASSERT_TRUE(store.GetRecordName(2, name));
    EXPECT_EQ(name, "b\\1.htm");
}

TEST_F(FileListTest, PageNumbersOutsideTheStoreReturnFalse) {
    WritePages({{"a\\1.htm", "x"}});
    uint32_t length = 99;
    std::string page = "kept";
    for (int n : {-1, 1, 1000000, INT32_MAX}) {
        EXPECT_FALSE(store.GetPageLength(n, length)) << n;
        EXPECT_FALSE(store.ReadPage(n, page)) << n;
    }
    EXPECT_EQ(length, 99u);
    EXPECT_EQ(page, "kept");
}

TEST_F(FileListTest, FindPrintedPageScansFromTheStart) {
    WritePages({{"a\\1.htm", ""}, {"a\\2.htm", ""}, {"b\\1.htm", ""}});
    struct Case {
        int start, printed;
        bool found;
        int page;
    };
    const Case cases[] = {
        {0, 1, true, 0}, {1, 1, true, 2}, {0, 3, false, 2}, {0, 2, true, 1},
        {3, 1, false, 2},   // start at the page count examines nothing
        {-5, 1, true, 0},   // a negative start counts as 0
        {-5, 9, false, 2},
    };
    for (const Case& c : cases) {
        int page = -100;
        EXPECT_EQ(store.FindPrintedPage(c.start, c.printed, page), c.found) << c.start << "," << c.printed;
        EXPECT_EQ(page, c.page) << c.start << "," << c.printed;
    }
}

TEST_F(FileListTest, HeaderOnlyStoreHasNoPages) {
    WritePages({});
    EXPECT_EQ(store.GetPageCount(), 0);
    int page = 5;
    EXPECT_FALSE(store.FindPrintedPage(0, 1, page));
    EXPECT_EQ(page, -1);
}

TEST_F(FileListTest, FindPrintedPageCrossesReadChunks) {
    std::vector<std::pair<std::string, std::string>> pages;
    for (int i = 1; i <= 1500; ++i) pages.push_back({"v\\" + std::to_string(i) + ".htm", ""});
    WritePages(pages);
    int page = 0;
    ASSERT_TRUE(store.FindPrintedPage(0, 1300, page));
    EXPECT_EQ(page, 1299);
    ASSERT_TRUE(store.FindPrintedPage(700, 1500, page));
    EXPECT_EQ(page, 1499);
}

// A table of INT_MAX records (a sparse file: all but the last record are
// zeros): the scan from near the top reads its last chunk and stops there,
// its record index never passing INT_MAX.
TEST_F(FileListTest, FindPrintedPageAtTheTopOfTheRecordRange) {
    constexpr int32_t kWidth = 8;
    constexpr uint64_t kRecordBytes = kWidth + 8;
    WriteRawStore(dir.Path(), kWidth, {}, "");
    const std::filesystem::path table = dir.Path() / "Index-fl.h";
    std::filesystem::resize_file(table, 268 + kRecordBytes * uint64_t(INT_MAX));
    {
        std::fstream file(table, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(std::streamoff(268 + kRecordBytes * uint64_t(INT_MAX - 1)));
        file.write("a\\5.htm", 8);
    }
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    ASSERT_EQ(store.GetPageCount(), INT_MAX);
    int page = 0;
    EXPECT_TRUE(store.FindPrintedPage(INT_MAX - 600, 5, page));
    EXPECT_EQ(page, INT_MAX - 1);
    EXPECT_FALSE(store.FindPrintedPage(INT_MAX - 600, 6, page));
    EXPECT_EQ(page, INT_MAX - 1);
}

TEST_F(FileListTest, OpenTwiceAndClose) {
    WritePages({{"a\\1.htm", "x"}});
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    EXPECT_EQ(store.GetPageCount(), 1);
    store.Close();
    store.Close();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.GetHeaderWord(), 0);
    std::string page;
    EXPECT_FALSE(store.ReadPage(0, page));
    int found = 0;
    EXPECT_FALSE(store.FindPrintedPage(0, 1, found));
}

TEST(FileList, MissingFilesFailTheOpen) {
    CTempDir dir;
    CFileList store;
    EXPECT_FALSE(store.Open(dir.Path(), storeformat::kBaseName));
    WriteRawStore(dir.Path(), 20, {}, "");
    std::filesystem::remove(dir.Path() / "Index-fl.cnt");
    EXPECT_FALSE(store.Open(dir.Path(), storeformat::kBaseName));
    EXPECT_FALSE(store.IsOpen());
}

TEST(FileList, NameWidthMustLieInOneTo260) {
    for (int32_t width : {0, -1, 261, 100000, INT32_MIN}) {
        CTempDir dir;
        WriteRawStore(dir.Path(), width, {}, "");
        CFileList store;
        EXPECT_FALSE(store.Open(dir.Path(), storeformat::kBaseName)) << width;
    }
    for (int32_t width : {1, 260}) {
        CTempDir dir;
        WriteRawStore(dir.Path(), width, {{"", 0, 0}}, "");
        CFileList store;
        ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName)) << width;
        EXPECT_EQ(store.GetPageCount(), 1);
    }
}

TEST(FileList, TruncatedPageTableKeepsWhatItHas) {
    CTempDir dir;
    WriteFileBytes(dir.Path() / "Index-fl.h", Uint32Bytes(3) + Uint32Bytes(20));
    WriteFileBytes(dir.Path() / "Index-fl.cnt", "");
    CFileList store;
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    EXPECT_EQ(store.GetHeaderWord(), 3);
    EXPECT_EQ(store.GetPageCount(), 0);
    // A partial last record is no page.
    WriteRawStore(dir.Path(), 20, {{"a\\1.htm", 0, 0}}, "");
    std::string table = ReadFileBytes(dir.Path() / "Index-fl.h");
    WriteFileBytes(dir.Path() / "Index-fl.h", table + "partial");
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    EXPECT_EQ(store.GetPageCount(), 1);
}

TEST(FileList, RecordsOutsideTheContentFileFailTheRead) {
    CTempDir dir;
    WriteRawStore(dir.Path(), 20,
                  {{"a\\1.htm", 10, 4}, {"a\\2.htm", 11, 4}, {"a\\3.htm", 3, 4}, {"a\\4.htm", 0xFFFFFFFF, 0xFFFFFFFF},
                   {"a\\5.htm", 4, 4}},
                  "abcdefghij");
    CFileList store;
    ASSERT_TRUE(store.Open(dir.Path(), storeformat::kBaseName));
    std::string page;
    ASSERT_TRUE(store.ReadPage(0, page));
    EXPECT_EQ(page, "ghij");
    ASSERT_TRUE(store.ReadPage(4, page));  // pages need not lie in page order
    EXPECT_EQ(page, "abcd");
    for (int n : {1, 2, 3}) EXPECT_FALSE(store.ReadPage(n, page)) << n;
}

TEST(FileList, PrintedPageNumbersOfRecordNames) {
    struct Case {
        const char* name;
        std::optional<int> printed;
        int parity;
    };
    const Case cases[] = {
        {"b003\\v012\\0012.htm", 12, 0},
        {"a\\7.htm", 7, 1},
        {"a\\cover.htm", 0, 0},
        {"a\\12b.htm", 12, 0},
        {"v.1\\7.htm", 7, 1},
        {"a\\ +9.htm", 9, 1},
        {"a\\-3.htm", -3, 1},
        {"abc.htm", std::nullopt, 0},
        {"a\\b", std::nullopt, 0},
        {"a.b\\c", std::nullopt, 0},
        {"a\\.htm", 0, 0},
        {"a\\00000000001999.htm", 1, 1},  // only 11 characters are read
        {"a\\99999999999.htm", INT32_MAX, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CFileList::PrintedPageOf(c.name), c.printed) << c.name;
        EXPECT_EQ(CFileList::PageParity(c.name), c.parity) << c.name;
    }
}

}  // namespace
