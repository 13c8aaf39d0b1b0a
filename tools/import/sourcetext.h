// CSourceText: the rules for text written into a source tree. Lines must not
// be mistaken for the builder's control lines, annotations in full-width
// brackets must open and close on one line, and names must be safe as file
// names. Input is UTF-8; invalid bytes are dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CSourceText {
public:
    // Longest volume name kept, in characters: short enough for a file name
    // and for the table of contents.
    static constexpr size_t kMaxNameChars = 40;

    // The paragraph as one line: control characters dropped, ASCII blanks
    // trimmed, a leading "#", a leading "---page---" and the "&" of "&KR"
    // turned into full-width forms so that they stay text. Line breaks inside
    // become spaces.
    static std::string CleanLine(std::string_view text);

    // The non-empty cleaned lines of text split at its line breaks.
    static std::vector<std::string> SplitLines(std::string_view text);

    // Joins paragraphs while a full-width bracket is open, so that a note
    // running over a paragraph end stays one annotation; a bracket still open
    // at the end is closed. A closing bracket with no opening one stays text.
    static std::vector<std::string> FoldAnnotations(const std::vector<std::string>& paragraphs);

    // A note as one annotation line "（…）"; brackets inside it become 〔〕 so
    // that it stays one annotation. Empty when the note holds no text.
    static std::string Annotation(std::string_view note);

    // A name usable as a file or folder name: cleaned, "/" and "\" in
    // full-width forms, no leading dot, at most kMaxNameChars characters.
    // Empty when nothing is left.
    static std::string FileNamePart(std::string_view name);

    // n (1 to 9999) in Chinese numerals: 1 一, 10 十, 11 十一, 101 一百零一, 410 四百一十.
    static std::string ChineseNumeral(int n);

    // Code points in text, not counting line feeds.
    static size_t CountCharacters(std::string_view text);
};
