// CScopeText: the characters of a stored page's text cell at the positions the
// index gives them in one search scope, so that a search can look at what
// stands between the characters its posting lists place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docstore/renderscope.h"

class CFileList;

class CScopeText {
public:
    // What stands at a position no character of the scope takes.
    static constexpr char32_t kUnused = 0;

    // Positions: every character of the cell outside tags takes one, an
    // entity counting as the one character it stands for; the main-text scope
    // counts only main text, the annotation scope only annotations, each
    // annotation after the first pagetemplate::kAnnotationGap positions after
    // the one before. content is the stored page; parity says which cell is
    // the text cell (0: the first).
    CScopeText(std::string_view content, int parity, RenderScope scope);
    // The scope text of page n of store; none when the page cannot be read.
    // A read error raises CDataFileError.
    static std::optional<CScopeText> Read(const CFileList& store, int n, RenderScope scope);

    // The character at position; kUnused where none stands or past the text.
    char32_t At(uint64_t position) const { return position < m_chars.size() ? m_chars[size_t(position)] : kUnused; }
    size_t Size() const { return m_chars.size(); }
    // The number of the run of text that position lies in: two characters of
    // different runs are parted by an annotation's bounds or a new paragraph.
    size_t RunOf(uint64_t position) const;

private:
    void AppendRun(std::string_view run);

    std::u32string m_chars;
    std::vector<size_t> m_runStarts;  // ascending: where each run's characters begin
};
