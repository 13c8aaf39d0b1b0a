// The table of contents read from vrn.dir and the result entries built from
// the index's result lists inside a search range.
#include <gtest/gtest.h>

#include <climits>

#include "fixture.h"
#include "panel/model/resultbuilder.h"
#include "panel/model/tocmodel.h"

namespace {

std::string TocBytes(const std::vector<TocRecord>& entries) {
    CTempDir dir;
    CCollectionWriter writer;
    for (const auto& e : entries) writer.AddTocRecord(e);
    writer.Write(dir.Path());
    return ReadFileBytes(dir.Path() / "vrn.dir");
}

class TocModelTest : public ::testing::Test {
protected:
    bool Load(const std::vector<TocRecord>& entries, const std::string& tail = "") {
        WriteFileBytes(dir.Path() / "vrn.dir", TocBytes(entries) + tail);
        return toc.LoadTableOfContents(dir.Path());
    }
    CTempDir dir;
    CTocModel toc;
};

// 經部 > 論語 > 學而, 為政; 孟子 > 梁惠王; 集部 > 詩 > 風
const std::vector<TocRecord> kOutline = {
    {u"經部", 1, 1, 6, 1},  {u"論語", 2, 1, 4, 1}, {u"學而", 3, 1, 2, 1}, {u"為政", 3, 3, 2, 1},
    {u"孟子", 2, 5, 2, 1},  {u"梁惠王", 3, 5, 2, 1}, {u"集部", 1, 7, 3, 1}, {u"詩", 2, 7, 3, 1},
    {u"風", 3, 7, 3, 5},
};

TEST_F(TocModelTest, BuildsTheOutline) {
    ASSERT_TRUE(Load(kOutline));
    EXPECT_EQ(toc.NodeCount(), 10);
    const ContentsNodeTag* root = toc.Root();
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[0]->name, u"經部");
    EXPECT_EQ(root->children[0]->children.size(), 2u);
    const ContentsNodeTag* xueer = toc.Node(3);
    EXPECT_EQ(xueer->name, u"學而");
    EXPECT_EQ(xueer->parent, toc.Node(2));
    EXPECT_EQ(toc.ParentRecord(3), 2);
    EXPECT_EQ(toc.ParentRecord(1), 0);
    // Volumes of one book are linked; a new book starts a new chain.
    EXPECT_EQ(xueer->nextVolume, toc.Node(4));
    EXPECT_EQ(toc.Node(4)->prevVolume, xueer);
    EXPECT_EQ(toc.Node(6)->prevVolume, nullptr);
    EXPECT_EQ(toc.Node(4)->nextVolume, nullptr);
    EXPECT_EQ(toc.ScopePath(2), u"經部\\論語");
    EXPECT_EQ(toc.ScopePath(9), u"集部\\詩\\風");
    EXPECT_EQ(toc.ScopePath(1), u"經部");
    EXPECT_EQ(toc.Node(0), nullptr);
    EXPECT_EQ(toc.Node(10), nullptr);
}

struct VolumeStepCase {
    int record;
    int next;      // NextVolume
    int previous;  // PreviousVolume
};

// Volumes are records 3, 4, 6 and 9; a step skips categories and books and
// crosses book and category bounds.
TEST_F(TocModelTest, VolumeStepsGoByRecordOrder) {
    ASSERT_TRUE(Load(kOutline));
    const VolumeStepCase cases[] = {
        {0, 3, 0}, {1, 3, 0}, {3, 4, 0}, {4, 6, 3}, {5, 6, 4}, {6, 9, 4}, {7, 9, 6}, {9, 0, 6}, {99, 0, 9}, {-5, 3, 0},
    };
    for (const VolumeStepCase& c : cases) {
        EXPECT_EQ(toc.NextVolume(c.record), c.next) << c.record;
        EXPECT_EQ(toc.PreviousVolume(c.record), c.previous) << c.record;
    }
    CTocModel empty;
    EXPECT_EQ(empty.NextVolume(0), 0);
    EXPECT_EQ(empty.PreviousVolume(5), 0);
}

struct PageStepCase {
    int record;
    int printedPage;
    bool before, after;
};

// 學而 runs over printed pages 1 and 2, 風 over 5 to 7.
TEST_F(TocModelTest, PageStepsStayInsideTheRun) {
    ASSERT_TRUE(Load(kOutline));
    const PageStepCase cases[] = {
        {3, 1, false, true}, {3, 2, true, false}, {9, 5, false, true}, {9, 6, true, true},
        {9, 7, true, false}, {9, 4, false, true}, {9, 8, true, false}, {0, 1, false, false},
        {10, 1, false, false}, {9, INT_MIN, false, true}, {9, INT_MAX, true, false},
    };
    for (const PageStepCase& c : cases) {
        EXPECT_EQ(toc.HasPageBefore(c.record, c.printedPage), c.before) << c.record << " " << c.printedPage;
        EXPECT_EQ(toc.HasPageAfter(c.record, c.printedPage), c.after) << c.record << " " << c.printedPage;
    }
}

TEST_F(TocModelTest, ListingLines) {
    ASSERT_TRUE(Load({{u"經部", 1, 1, 6, 1}, {u"論語", 2, 1, 4, 1}, {u"學而", 3, 1, 2, 7}}));
    EXPECT_EQ(toc.ListingLines(), (std::vector<std::string>{
                                      "name=經部\tdocID=1\tdocNo=6\tcurFileName=1\n",
                                      "\tname=論語\tdocID=1\tdocNo=4\tcurFileName=1\n",
                                      "\t\tname=學而\tdocID=1\tdocNo=2\tcurFileName=7\n",
                                  }));
}

TEST_F(TocModelTest, TwoBooksInARowBelongToTheCategory) {
    ASSERT_TRUE(Load({{u"A", 1, 1, 3, 1}, {u"B1", 2, 1, 1, 1}, {u"B2", 2, 2, 2, 1}, {u"V", 3, 2, 2, 1}}));
    EXPECT_EQ(toc.Node(2)->parent, toc.Node(1));
    EXPECT_EQ(toc.Node(3)->parent, toc.Node(1));
    EXPECT_EQ(toc.Node(4)->parent, toc.Node(3));
}

TEST_F(TocModelTest, MalformedFiles) {
    // A volume with no book above it becomes a top-level entry.
    ASSERT_TRUE(Load({{u"V", 3, 1, 1, 1}, {u"A", 1, 1, 1, 1}}));
    EXPECT_EQ(toc.Node(1)->parent, toc.Root());
    EXPECT_EQ(toc.ParentRecord(1), 0);
    EXPECT_EQ(toc.Root()->children.size(), 2u);

    // A trailing partial record is ignored; a level past the handle table stops loading.
    CTocModel partial;
    WriteFileBytes(dir.Path() / "vrn.dir", TocBytes({{u"A", 1, 1, 1, 1}}) + std::string(100, '\x01'));
    ASSERT_TRUE(partial.LoadTableOfContents(dir.Path()));
    EXPECT_EQ(partial.NodeCount(), 2);
    for (int level : {0, -1, 20, 1000}) {
        CTocModel deep;
        WriteFileBytes(dir.Path() / "vrn.dir", TocBytes({{u"A", 1, 1, 1, 1}, {u"X", level, 1, 1, 1}, {u"B", 1, 2, 1, 1}}));
        ASSERT_TRUE(deep.LoadTableOfContents(dir.Path()));
        EXPECT_EQ(deep.NodeCount(), 2) << level;
    }
}

TEST_F(TocModelTest, NamesOf99CharactersAndUnterminatedNames) {
    const std::u16string long99(99, u'書');
    ASSERT_TRUE(Load({{long99, 1, 1, 1, 1}}));
    EXPECT_EQ(toc.Node(1)->name, long99);
    std::string bytes = TocBytes({{long99, 1, 1, 1, 1}});
    bytes[198] = 'x';  // no terminator inside the field
    bytes[199] = 0;
    WriteFileBytes(dir.Path() / "vrn.dir", bytes);
    CTocModel unterminated;
    ASSERT_TRUE(unterminated.LoadTableOfContents(dir.Path()));
    EXPECT_EQ(unterminated.Node(1)->name.size(), 100u);
}

TEST_F(TocModelTest, RecordsPastTheTableAreIgnored) {
    std::vector<TocRecord> many(10005, TocRecord{u"V", 1, 1, 1, 1});
    std::string bytes;
    for (size_t i = 0; i < many.size(); i += 5000) {
        std::vector<TocRecord> part(many.begin() + ptrdiff_t(i), many.begin() + ptrdiff_t(std::min(many.size(), i + 5000)));
        bytes += TocBytes(part);
    }
    WriteFileBytes(dir.Path() / "vrn.dir", bytes);
    ASSERT_TRUE(toc.LoadTableOfContents(dir.Path()));
    EXPECT_EQ(toc.NodeCount(), 10000);
}

TEST_F(TocModelTest, MissingFileLeavesAnEmptyOutline) {
    EXPECT_FALSE(toc.LoadTableOfContents(dir.Path()));
    EXPECT_EQ(toc.NodeCount(), 1);
    EXPECT_TRUE(toc.Root()->children.empty());
}

TEST_F(TocModelTest, FindNodeByItemMatchesTheNumbers) {
    ASSERT_TRUE(Load(kOutline));
    EXPECT_EQ(CTocModel::FindNodeByItem(toc.Root(), toc.Record(6)), toc.Node(6));
    // 孟子 and 梁惠王 differ only in level.
    EXPECT_EQ(CTocModel::FindNodeByItem(toc.Root(), toc.Record(5)), toc.Node(5));
    EXPECT_EQ(CTocModel::FindNodeByItem(toc.Root(), TocRecord{u"", 3, 99, 1, 1}), nullptr);
}

// Pages 0..8 as laid out by kOutline: 學而 0-1, 為政 2-3, 梁惠王 4-5, 風 6-8.
class ResultBuilderTest : public TocModelTest {
protected:
    void SetUp() override { ASSERT_TRUE(Load(kOutline)); }
    std::vector<SearchNodeTag> results;
    const std::vector<uint32_t> pages = {8, 3, 0, 5, 2, 6, 42};
    const std::vector<uint32_t> counts = {1, 2, 3, 4, 5, 6, 7};
};

TEST_F(ResultBuilderTest, CategoryRange) {
    EXPECT_EQ(CResultBuilder::BuildResults(toc.Node(1), pages, counts, results), 14);
    ASSERT_EQ(results.size(), 4u);
    // Sorted by printed page; equal printed pages keep the lists' order.
    EXPECT_EQ(results[0].page, 0);
    EXPECT_EQ(results[0].pageInVolume, 1);
    EXPECT_EQ(results[1].page, 2);
    EXPECT_EQ(results[2].page, 3);
    EXPECT_EQ(results[3].page, 5);
    EXPECT_EQ(results[3].category, u"經部");
    EXPECT_EQ(results[3].bookName, u"孟子");
    EXPECT_EQ(results[3].volumeName, u"梁惠王");
    EXPECT_EQ(results[3].volumeRecord, 6);  // opening the entry reads on in that volume
    EXPECT_EQ(results[3].pageInVolume, 2);
    EXPECT_EQ(results[3].hitCount, 4);
}

TEST_F(ResultBuilderTest, BookAndVolumeRanges) {
    EXPECT_EQ(CResultBuilder::BuildResults(toc.Node(2), pages, counts, results), 10);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].bookName, u"論語");
    EXPECT_EQ(results[0].category, u"經部");

    EXPECT_EQ(CResultBuilder::BuildResults(toc.Node(9), pages, counts, results), 7);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].page, 6);
    EXPECT_EQ(results[0].pageInVolume, 5);  // the volume's printed pages start at 5
    EXPECT_EQ(results[1].pageInVolume, 7);
    EXPECT_EQ(results[1].category, u"集部");
    EXPECT_EQ(results[1].bookName, u"詩");
    EXPECT_EQ(results[1].volumeName, u"風");
}

TEST_F(ResultBuilderTest, NoRangeCoversNothing) {
    EXPECT_EQ(CResultBuilder::BuildResults(nullptr, pages, counts, results), 0);
    EXPECT_TRUE(results.empty());
}

TEST_F(ResultBuilderTest, PagesOutsideEveryVolume) {
    CTocModel gaps;
    WriteFileBytes(dir.Path() / "vrn.dir", TocBytes({{u"A", 1, 1, 10, 1}, {u"B", 2, 1, 3, 1}}));
    ASSERT_TRUE(gaps.LoadTableOfContents(dir.Path()));
    EXPECT_EQ(CResultBuilder::BuildResults(gaps.Node(1), {8, 1}, {1, 1}, results), 2);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].page, 8);  // no volume: page 0 sorts first
    EXPECT_EQ(results[0].volumeName, u"");
    EXPECT_EQ(results[0].volumeRecord, 0);
    EXPECT_EQ(results[0].bookName, u"");
    EXPECT_EQ(results[1].bookName, u"B");
}

// Hit counts near 2^31 on pages near 2^32, as a corrupt index and table of
// contents give them, overflowed the total.
TEST_F(ResultBuilderTest, HugeHitCountsSaturate) {
    CTocModel huge;
    WriteFileBytes(dir.Path() / "vrn.dir", TocBytes({{u"A", 1, 0x7FFFFFFF, 0x7FFFFFFF, 0}}));
    ASSERT_TRUE(huge.LoadTableOfContents(dir.Path()));
    const std::vector<uint32_t> edges = {0x7FFFFFFE, 0x7FFFFFFF, 0xFFFFFFFC};
    EXPECT_EQ(CResultBuilder::BuildResults(huge.Node(1), edges, {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}, results), INT_MAX);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(CResultBuilder::BuildResults(huge.Node(1), edges, {0xFFFFFFFF, 1, 2}, results), INT_MAX);
    EXPECT_EQ(results[0].hitCount, INT_MAX);
}

}  // namespace
