// CKanripoJuan: turns one juan file of a Kanseki Repository text into the
// text of one volume file of the source tree, reading it line by line:
// "<pb:…>" of the text's edition starts a page labelled with its leaf ("1a"),
// "¶" ends a printed line, a blank line a paragraph, "*" lines are headings
// and "#" lines are dropped; an interlinear note "(A/B)" becomes one
// annotation reading A then B, joined with a note that continues it on the
// next line; "&KR0099;" stays a numbered character. Other markup is dropped.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

class CKanripoJuan {
public:
    using Warn = std::function<void(const std::string&)>;

    // edition: the text's edition, whose page breaks start pages. warned holds
    // the kinds of unknown markup already reported, so that each is reported once.
    CKanripoJuan(std::string edition, Warn warn, std::set<std::string>& warned);

    // The volume text of file; empty when the file holds no text. Raises
    // CImportError when the file cannot be read.
    std::string Convert(const std::filesystem::path& file);
    // Characters of text converted so far, markup and line ends not counted.
    size_t Characters() const { return m_characters; }

private:
    std::string m_edition;
    Warn m_warn;
    std::set<std::string>& m_warned;
    size_t m_characters = 0;
};
