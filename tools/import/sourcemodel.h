// The importer's in-memory model: pieces read from the package's JSON, and the
// books of rendered volume texts that the source writer puts on disk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One poem, chapter or entry as read from the JSON, all text UTF-8.
struct SourcePiece {
    std::string heading;                 // title; written as a "# " line
    std::string byline;                  // author (and source), written when it changes
    std::string bylineNote;              // about the author; an annotation after the byline
    std::vector<std::string> lines;      // the text, one paragraph each
    std::vector<std::string> notes;      // notes and comments; annotations after the text
    std::vector<std::string> groupKeys;  // values of the fields a book groups its volumes by
};

// A division of a text as the JSON gives it (a chapter, a section, a form of
// verse): it becomes one volume.
struct SourceDivision {
    std::string name;
    std::vector<SourcePiece> pieces;
};

// A volume: its name (shown in the table of contents) and its file text.
struct SourceVolume {
    std::string name;
    std::string text;
};

struct SourceBook {
    std::string name;
    std::vector<SourceVolume> volumes;
};

// A category folder of a source tree being written, with its book count.
struct WrittenCategory {
    std::string name;
    std::string folder;  // "01-經部"
    size_t books = 0;
};

struct ImportTotals {
    size_t categories = 0;
    size_t books = 0;
    size_t volumes = 0;
    size_t characters = 0;  // text characters, headings' markers and line ends not counted
};
