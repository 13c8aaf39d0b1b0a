// Fixtures of the page-rendering tests: stored pages with a title and two
// cells, the mark and anchor texts a hit is written with, and a collection of
// such pages written with the collection writer.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "writer/collectionwriter.h"

namespace renderfixture {

// The annotation tag of a text cell, spelled out here so that a wrong constant shows.
inline const std::string kNote = "<font size=-1 color=\"#993366\">";

// An annotation as a text cell holds it.
inline std::string Note(const std::string& text) { return kNote + text + "</font>"; }

// A stored page as the collection holds them: head, title, a table of two cells.
inline std::string StoredPage(const std::string& title, const std::string& firstCell, const std::string& secondCell) {
    return "<html><head><meta charset=utf-8><title>" + title + "</title></head><body bgcolor=white>"
           "<TABLE border=0><tr><TD width=80>" + firstCell + "</TD><TD width=450>" + secondCell +
           "</TD></tr></TABLE><p>footer</body></html>";
}

inline std::string Anchor(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "<a name=\"%04d\"></a>", number);
    return text;
}

inline std::string Mark(const std::string& text) { return "<b style='color:red;background:#D9D9D9;'>" + text + "</b>"; }

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
