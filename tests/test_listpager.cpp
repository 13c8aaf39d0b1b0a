// The paging of the results list: list pages of 100 entries, the rows each
// holds, the moves of "<" and ">" and the number typed into the page box.
#include <gtest/gtest.h>

#include <climits>

#include "panel/model/listpager.h"

namespace {

struct PagingCase {
    size_t entries;
    int pages;
    size_t lastPageRows;
};

// A wrong rounding of the page count shows an empty last page or loses one.
TEST(ListPagerTest, PagesOfAHundredEntries) {
    const PagingCase cases[] = {{0, 0, 0}, {1, 1, 1}, {100, 1, 100}, {101, 2, 1}, {250, 3, 50}, {300, 3, 100}};
    for (const PagingCase& c : cases) {
        SCOPED_TRACE(c.entries);
        CListPager pager;
        pager.Reset(c.entries);
        EXPECT_EQ(pager.PageCount(), c.pages);
        EXPECT_EQ(pager.Page(), c.pages > 0 ? 1 : 0);
        EXPECT_EQ(pager.CountLabel(), "/" + std::to_string(c.pages));
        while (pager.Next()) {
        }
        EXPECT_EQ(pager.Page(), c.pages);
        EXPECT_EQ(pager.RowCount(), c.lastPageRows);
        EXPECT_EQ(pager.FirstEntry() + pager.RowCount(), c.entries);
    }
}

// "<" and ">" stop at the ends; the first and last page flags follow.
TEST(ListPagerTest, StepsStopAtTheEnds) {
    CListPager pager;
    pager.Reset(250);
    EXPECT_TRUE(pager.IsFirstPage());
    EXPECT_FALSE(pager.IsLastPage());
    EXPECT_FALSE(pager.Prev());
    EXPECT_EQ(pager.Page(), 1);
    EXPECT_TRUE(pager.Next());
    EXPECT_EQ(pager.FirstEntry(), 100u);
    EXPECT_EQ(pager.RowCount(), 100u);
    EXPECT_TRUE(pager.Next());
    EXPECT_TRUE(pager.IsLastPage());
    EXPECT_FALSE(pager.IsFirstPage());
    EXPECT_FALSE(pager.Next());
    EXPECT_EQ(pager.Page(), 3);
    EXPECT_TRUE(pager.Prev());
    EXPECT_EQ(pager.Page(), 2);

    pager.Reset(0);  // a search without entries: nothing to step through
    EXPECT_FALSE(pager.Next());
    EXPECT_FALSE(pager.Prev());
    EXPECT_EQ(pager.RowCount(), 0u);
}

// The page box: numbers outside 1..n or no number at all are rejected and
// leave the page; the current page changes nothing; others move.
TEST(ListPagerTest, TypedPageNumbers) {
    struct Case {
        std::u16string typed;
        CListPager::GoTo outcome;
        int page;
    };
    const Case cases[] = {
        {u"", CListPager::GoTo::kRejected, 2},     {u"0", CListPager::GoTo::kRejected, 2},
        {u"4", CListPager::GoTo::kRejected, 2},    {u"-1", CListPager::GoTo::kRejected, 2},
        {u"x3", CListPager::GoTo::kRejected, 2},   {u"99999999999999999999", CListPager::GoTo::kRejected, 2},
        {u"2", CListPager::GoTo::kUnchanged, 2},   {u"3", CListPager::GoTo::kMoved, 3},
        {u" 1", CListPager::GoTo::kMoved, 1},      {u"03", CListPager::GoTo::kMoved, 3},
        {u"1abc", CListPager::GoTo::kMoved, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        CListPager pager;
        pager.Reset(250);
        pager.Next();
        EXPECT_EQ(pager.GoToPage(c.typed), c.outcome);
        EXPECT_EQ(pager.Page(), c.page);
    }
}

// Reading numbers like _wtol, without overflowing on long digit runs.
TEST(ListPagerTest, ParseNumber) {
    EXPECT_EQ(CListPager::ParseNumber(u"42"), 42);
    EXPECT_EQ(CListPager::ParseNumber(u"  +7頁"), 7);
    EXPECT_EQ(CListPager::ParseNumber(u"-12"), -12);
    EXPECT_EQ(CListPager::ParseNumber(u"頁"), 0);
    EXPECT_EQ(CListPager::ParseNumber(u""), 0);
    EXPECT_EQ(CListPager::ParseNumber(u"2147483647"), INT_MAX);
    EXPECT_EQ(CListPager::ParseNumber(u"123456789012345678901234567890"), INT_MAX);
    EXPECT_EQ(CListPager::ParseNumber(u"-123456789012345678901234567890"), INT_MIN);
}

}  // namespace
