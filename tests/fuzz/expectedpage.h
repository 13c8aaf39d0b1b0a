// The hit page as its rules read, written plainly: the cutters byte by byte,
// the term's chunks from its wildcard runs, and a fresh search for every chunk
// of every match attempt. The reference the renderer's cutters, highlighter
// and composer are checked against; its literals come from the tests' own
// spelling (pagetags.h), so that a wrong constant in the renderer shows. Quadratic where the renderer is not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "docstore/filelist.h"
#include "pagetags.h"

namespace expectedpage {

using pagetags::kHead;
using pagetags::kFirstCell;
using pagetags::kSecondCell;
using pagetags::kTail;
using pagetags::kNote;
using pagetags::kNoteEnd;
using pagetags::kMarkOpen;
using pagetags::kMarkClose;
using pagetags::kAnchorStart;
using pagetags::Anchor;

struct Page {
    std::string title, first, second;
};

// Section states: 0 before the title, 1 in it, 2 after it, 3 in the first
// cell, 4 after it, 5 in the second cell, 6 after it.
inline Page Split(std::string_view bytes) {
    Page page;
    int section = 0;
    bool inTag = false;
    std::string tag;
    auto sink = [&]() -> std::string* {
        return section == 1 ? &page.title : section == 3 ? &page.first : section == 5 ? &page.second : nullptr;
    };
    for (const char b : bytes) {
        if (!inTag) {
            if (b == '<') {
                tag = "<";
                inTag = true;
            } else if (std::string* text = sink()) {
                text->push_back(b);
            }
            continue;
        }
        tag.push_back(b);
        if (b != '>') continue;
        inTag = false;
        auto begins = [&](std::string_view literal) { return tag.find(literal) == 0; };
        if (begins("<title") && section == 0) section = 1;
        else if (begins("<TD")) section = section == 2 ? 3 : section == 4 ? 5 : section;
        else if (begins("</title>")) section = 2;
        else if (begins("</TD>")) section = section == 3 ? 4 : section == 5 ? 6 : section;
        else if (std::string* text = sink()) *text += tag;
    }
    return page;
}

struct Item {
    int kind;  // 0 main text, 1 annotation
    std::string text;
    bool operator==(const Item&) const = default;
};

inline std::vector<Item> Filter(std::string_view cell) {
    std::vector<Item> items{{0, ""}};
    bool inTag = false;
    std::string tag;
    for (const char b : cell) {
        if (!inTag) {
            if (b == '<') {
                tag = "<";
                inTag = true;
            } else {
                items.back().text.push_back(b);
            }
            continue;
        }
        tag.push_back(b);
        if (b != '>') continue;
        inTag = false;
        if (tag == kNote) items.push_back({1, ""});
        else if (items.back().kind == 1 && tag == kNoteEnd) items.push_back({0, ""});
        else items.back().text += tag;
    }
    return items;
}

struct Chunk {
    int kind;  // 2 begins the term, 0 after a "*", 1 after gap "?"
    std::string bytes;
    int gap;
    bool operator==(const Chunk&) const = default;
};

// The runs of bytes other than "*" and "?"; a run after a "*" is kind 0, the
// first run otherwise kind 2, a later run after "?"s only kind 1.
inline std::vector<Chunk> Chunks(std::string_view term) {
    std::vector<Chunk> chunks;
    bool star = false;
    int questions = 0;
    for (size_t i = 0; i < term.size();) {
        if (term[i] == '*' || term[i] == '?') {
            star = star || term[i] == '*';
            questions += term[i] == '?';
            ++i;
            continue;
        }
        const size_t end = term.find_first_of("*?", i);
        const size_t stop = end == std::string_view::npos ? term.size() : end;
        const int kind = star ? 0 : chunks.empty() ? 2 : 1;
        chunks.push_back({kind, std::string(term.substr(i, stop - i)), kind == 1 ? questions : 0});
        star = false;
        questions = 0;
        i = stop;
    }
    return chunks;
}

// Appends text with every match of term marked; the anchors take counter on,
// and once it reaches the page's bound the rest stays unmarked.
inline void Highlight(std::string_view text, std::string_view term, std::string& out, int& counter) {
    const std::vector<Chunk> chunks = Chunks(term);
    if (chunks.empty()) {
        out += text;
        return;
    }
    const size_t end = text.size();
    auto first = [&](std::string_view s, size_t start) {
        const size_t found = text.find(s, start);
        return found == std::string_view::npos ? end : found;
    };
    auto advanced = [end](size_t from, size_t length) { return from + length >= end ? end : from + length; };
    size_t cursor = 0, pos = 0;
    while (cursor < end) {
        if (counter >= CFileList::kMaxAnchors) {
            out += text.substr(cursor);
            return;
        }
        std::vector<size_t> hits;
        for (const Chunk& chunk : chunks) {
            const size_t length = chunk.bytes.size();
            if (chunk.kind == 2) {
                pos = first(chunk.bytes, pos);
                if (pos != end) {
                    hits.push_back(pos);
                    pos = advanced(pos, length);
                }
            } else if (chunk.kind == 0 && pos != end) {
                const size_t start = pos;
                pos = first(chunk.bytes, start);
                const size_t paragraph = first("<p>", start);
                const size_t heading = first("<h4>", start);
                if (paragraph < pos) {
                    pos = advanced(paragraph, 3);
                } else if (heading < pos) {
                    pos = advanced(heading, 4);
                } else if (pos != end) {
                    hits.push_back(pos);
                    pos = advanced(pos, length);
                }
            } else if (chunk.kind == 1 && pos != end && pos + 3 * size_t(chunk.gap) < end) {
                const size_t start = pos + 3 * size_t(chunk.gap);
                const size_t found = first(chunk.bytes, start);
                if (found == start) {
                    pos = start;
                    hits.push_back(pos);
                    pos = advanced(pos, length);
                } else if (found == end) {
                    pos = end;
                }
            }
        }
        if (hits.size() != chunks.size()) {
            out += text.substr(cursor, pos - cursor);
            cursor = pos;
            continue;
        }
        out += text.substr(cursor, hits[0] - cursor);
        for (size_t i = 0; i < hits.size(); ++i) {
            const size_t chunkEnd = hits[i] + chunks[i].bytes.size();
            out += Anchor(counter++) + kMarkOpen + std::string(text.substr(hits[i], chunks[i].bytes.size())) + kMarkClose;
            if (i + 1 == hits.size()) break;
            const std::string between(text.substr(chunkEnd, hits[i + 1] - chunkEnd));
            if (chunks[i + 1].kind == 1) out += kMarkOpen + Anchor(counter++) + between + kMarkClose;
            else out += between;
        }
        cursor = pos;
    }
}

// A text cell written back from its items: annotations in their tag again,
// the items scope marks highlighted. A scope other than 0, 1 and 2 writes nothing.
inline std::string Cell(std::string_view cell, std::string_view term, int scope, int& counter) {
    std::string text;
    if (scope < 0 || scope > 2) return text;
    for (const Item& item : Filter(cell)) {
        const bool marked = scope == 0 || (scope == 1 && item.kind == 0) || (scope == 2 && item.kind == 1);
        std::string part;
        if (marked) Highlight(item.text, term, part, counter);
        else part = item.text;
        text += item.kind == 1 ? kNote + part + kNoteEnd : part;
    }
    return text;
}

// One term pass over a page: title and cells in the template, the text cell
// (the first for parity 0, the second for 1) marked.
inline std::string Compose(std::string_view content, std::string_view term, int parity, int scope, int& counter) {
    Page page = Split(content);
    std::string& textCell = parity == 0 ? page.first : page.second;
    textCell = Cell(textCell, term, scope, counter);
    return kHead + page.title + kFirstCell + page.first + kSecondCell + page.second + kTail;
}

}  // namespace expectedpage
