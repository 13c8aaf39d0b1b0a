// Fixtures of the page-rendering tests: stored pages with a title and two
// cells, the mark and anchor texts a hit is written with, and a collection of
// such pages written with the collection writer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pagetags.h"
#include "writer/collectionwriter.h"

namespace renderfixture {

using pagetags::kNote;

// An annotation as a text cell holds it.
inline std::string Note(const std::string& text) { return kNote + text + pagetags::kNoteEnd; }

// A stored page as the collection holds them: head, title, a table of two cells.
inline std::string StoredPage(const std::string& title, const std::string& firstCell, const std::string& secondCell) {
    return "<html><head><meta charset=utf-8><title>" + title + "</title></head><body bgcolor=white>"
           "<TABLE border=0><tr><TD width=80>" + firstCell + "</TD><TD width=450>" + secondCell +
           "</TD></tr></TABLE><p>footer</body></html>";
}

using pagetags::Anchor;

inline std::string Mark(const std::string& text) { return pagetags::kMarkOpen + text + pagetags::kMarkClose; }

// An anchored chunk: the anchor, then the marked text.
inline std::string Hit(int number, const std::string& text) { return Anchor(number) + Mark(text); }

struct StoredPageEntry {
    std::string recordName;
    std::string html;
};

// Writes the pages (no index entries needed for rendering) and the variant groups.
inline void WriteRenderCollection(const std::filesystem::path& folder, const std::vector<StoredPageEntry>& pages,
                                  std::vector<std::vector<uint32_t>> groups = {}, WriterOptions options = {}) {
    CCollectionWriter writer(options);
    for (const StoredPageEntry& entry : pages) {
        WriterPage page;
        page.recordName = entry.recordName;
        page.html = entry.html;
        writer.AddPage(std::move(page));
    }
    writer.SetVariantGroups(std::move(groups));
    writer.Write(folder);
}

}  // namespace renderfixture
