// Source trees for the builder tests: files written under a temporary folder,
// and a reading of a built collection's pages as the reader sees them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/codeconverter.h"
#include "docstore/filelist.h"
#include "docstore/storeformat.h"
#include "fixture.h"
#include "pagetags.h"

// Writes bytes to root/relative, creating the folders on the way.
inline void WriteSourceFile(const std::filesystem::path& root, const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path, bytes);
}

inline void WriteSourceFiles(const std::filesystem::path& root,
                             const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [relative, bytes] : files) WriteSourceFile(root, relative, bytes);
}

inline std::u32string U32(const std::string& utf8) {
    std::u32string out;
    size_t bad = 0;
    EXPECT_TRUE(CCodeConverter::Utf8ToUtf32(utf8, out, bad)) << utf8;
    return out;
}

inline std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t cp : text) CCodeConverter::AppendUtf8(cp, out);
    return out;
}

// One character of a page's text cell as the reader sees it.
struct CellChar {
    char32_t cp;
    bool annotation;
    bool heading;
    int annotationIndex;  // which annotation of the page, from 0; -1 in main text
    int paragraphIndex;   // which paragraph of the page, from 0
};

// A stored page cut the way the page renderer cuts it: the title, the two
// cells (the first "<TD" cell after the title and the next one), and the
// text cell's characters.
struct StoredPage {
    std::string recordName;
    std::string html;
    std::string title;
    std::string cells[2];
    std::vector<CellChar> text;  // the text cell by the page's parity
};

// Text between the end of the tag that starts with open (searched from `from`)
// and the next close; from moves past close. Empty when there is none.
inline std::string TakeElement(const std::string& html, const std::string& open, const std::string& close, size_t& from) {
    const size_t start = html.find(open, from);
    if (start == std::string::npos) return {};
    const size_t textStart = html.find('>', start) + 1;
    const size_t end = html.find(close, textStart);
    if (end == std::string::npos) return {};
    from = end + close.size();
    return html.substr(textStart, end - textStart);
}

// The characters of a text cell; the only tags a text cell may hold are the
// paragraph, heading and annotation tags, line breaks (which take no
// character) and the span around a numbered character's 〓, and the only
// entities &amp;, &lt; and &gt;.
inline std::vector<CellChar> ReadTextCell(const std::string& cell) {
    std::vector<CellChar> chars;
    bool annotation = false, heading = false;
    int annotations = 0, paragraphs = 0;
    const std::u32string text = U32(cell);
    for (size_t i = 0; i < text.size();) {
        if (text[i] == U'<') {
            const size_t end = text.find(U'>', i);
            const std::string tag = Utf8(text.substr(i, end - i + 1));
            if (tag == pagetags::kNote) {
                annotation = true;
                ++annotations;
            } else if (tag == pagetags::kNoteEnd) {
                annotation = false;
            } else if (tag == "<p>" || tag == "<h4>") {
                heading = tag == "<h4>";
                ++paragraphs;
            } else if (tag != "</p>" && tag != "</h4>" && tag != "<br>" && !tag.starts_with("<span title=\"KR") &&
                       tag != "</span>") {
                ADD_FAILURE() << "unexpected tag " << tag << " in " << cell;
            }
            i = end + 1;
            continue;
        }
        char32_t cp = text[i];
        size_t length = 1;
        if (cp == U'&') {
            const size_t end = text.find(U';', i);
            const std::string entity = Utf8(text.substr(i, end - i + 1));
            cp = entity == "&amp;" ? U'&' : entity == "&lt;" ? U'<' : entity == "&gt;" ? U'>' : U'\uFFFD';
            if (cp == U'\uFFFD') ADD_FAILURE() << "unexpected entity " << entity;
            length = end - i + 1;
        }
        chars.push_back({cp, annotation, heading, annotation ? annotations - 1 : -1, paragraphs - 1});
        i += length;
    }
    return chars;
}

// Every page of the store in folder, in page order.
inline std::vector<StoredPage> ReadStoredPages(const std::filesystem::path& folder) {
    CFileList store;
    EXPECT_TRUE(store.Open(folder, storeformat::kBaseName));
    std::vector<StoredPage> pages(size_t(store.GetPageCount()));
    for (int n = 0; n < store.GetPageCount(); ++n) {
        StoredPage& page = pages[size_t(n)];
        EXPECT_TRUE(store.GetRecordName(n, page.recordName));
        EXPECT_TRUE(store.ReadPage(n, page.html));
        size_t from = 0;
        page.title = TakeElement(page.html, "<title", "</title>", from);
        page.cells[0] = TakeElement(page.html, "<TD", "</TD>", from);
        page.cells[1] = TakeElement(page.html, "<TD", "</TD>", from);
        page.text = ReadTextCell(page.cells[CFileList::PageParity(page.recordName)]);
    }
    return pages;
}
