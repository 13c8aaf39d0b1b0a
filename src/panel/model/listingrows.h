// CListingRows: the rows a search result is written out as, one listing each
// for the result entries, the totals by book and the concordance lines, with
// their column names; the command line and the reader window's export share them.
#pragma once

#include <string>
#include <vector>

#include "panel/model/booktotals.h"
#include "panel/model/concordanceline.h"
#include "panel/model/searchnodetag.h"

class CListingRows {
public:
    using Row = std::vector<std::string>;

    CListingRows() = delete;

    static Row EntryColumns();
    static Row EntryRow(const SearchNodeTag& entry);
    static Row BookColumns();
    static Row BookRow(const CBookTotals::Book& book);
    static Row LineColumns();
    static Row LineRow(const ConcordanceLine& line);
    // The totals line that heads a tab-separated listing of entries.
    static std::string TotalsLine(size_t pages, int hits);
};
