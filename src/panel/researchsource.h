// CResearchSource: what the reader window's research tools (the concordance
// and the totals by book) ask of the search panel: the last search's result
// and its hit pages, and the two ways they lead back into the panel.
#pragma once

#include <vector>

#include "panel/model/concordance.h"
#include "panel/model/contentsnodetag.h"
#include "panel/model/searchnodetag.h"

class CResearchSource {
public:
    virtual ~CResearchSource() = default;

    // The result entries of the last search in list order, the outline entry
    // it searched in (null before the first search) and its hits.
    virtual const std::vector<SearchNodeTag>& GetResults() const = 0;
    virtual const ContentsNodeTag* GetSearchedRange() const = 0;
    virtual int GetTotalHits() const = 0;
    // Renders pages as the hit pages of the last search (its keyword, scope
    // and variant option, whatever is searched later); it reads the panel's
    // index and may be called while the panel lives.
    virtual CConcordance::PageRenderer HitPageRenderer() const = 0;
    // Opens page as a hit page at hit anchor (the first hit when the page has
    // fewer); the hit steps go on from there.
    virtual void OpenHit(int page, int anchor) = 0;
    // The search range becomes record's entry, as if chosen in the tree, and
    // the last search runs again in it.
    virtual void SearchInRange(int record) = 0;
};
