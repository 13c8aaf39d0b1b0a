// CResultBuilder: turns the index's result lists into result entries inside a
// search range of the outline: the category, book, volume and printed page
// of every page the range covers, sorted by printed page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "panel/model/contentsnodetag.h"
#include "panel/model/searchnodetag.h"

class CResultBuilder {
public:
    CResultBuilder() = delete;

    // Replaces results with one entry per page of pages that range covers, in
    // ascending pageInVolume (equal ones keep the lists' order), and returns
    // their hits. A null range covers no page. Hit counts and their total stop
    // at INT_MAX.
    static int BuildResults(const ContentsNodeTag* range, const std::vector<uint32_t>& pages,
                            const std::vector<uint32_t>& counts, std::vector<SearchNodeTag>& results);

    // The entries of every category of the outline under root, category by
    // category in outline order, each sorted as BuildResults sorts; returns
    // their hits (stopping at INT_MAX).
    static int BuildCollectionResults(const ContentsNodeTag* root, const std::vector<uint32_t>& pages,
                                      const std::vector<uint32_t>& counts, std::vector<SearchNodeTag>& results);

    // The category above the range (the range itself at level 1).
    static std::u16string GetCategoryName(const ContentsNodeTag* range);
    // The book of the range that holds page.
    static std::u16string GetBookName(uint32_t page, const ContentsNodeTag* range);
    // The volume of the range that holds page; null when none does.
    static const ContentsNodeTag* FindVolumeNode(uint32_t page, const ContentsNodeTag* range);
};
