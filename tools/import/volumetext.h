// CVolumeText: renders pieces into the text of one volume file: a "# " line
// for each title, the author when it changes, the text with its notes folded
// into annotations, and each note as an annotation line.
#pragma once

#include <cstddef>
#include <string>

#include "import/sourcemodel.h"

class CVolumeText {
public:
    void AddPiece(const SourcePiece& piece);

    const std::string& Text() const { return m_text; }
    bool IsEmpty() const { return m_text.empty(); }
    // Characters of text written, headings' "# " markers and line ends not counted.
    size_t Characters() const { return m_characters; }

private:
    void AddLine(const std::string& line, bool heading = false);

    std::string m_text;
    std::string m_lastByline;  // an author is named again only when it changes
    size_t m_characters = 0;
};
