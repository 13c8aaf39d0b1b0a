// The layout of a stored page as the builder writes it, and how its text is
// counted in the three search scopes. The page reader finds the title and the
// two cells by the literal "<title", "<TD" and "</TD>" tags and an annotation
// by its exact font tag; "*" in a highlighted term stops at "<p>" and "<h4>".
//
//   <html><head>...<title>BOOK VOLUME</title></head><body><table ...><tr>
//   <TD ...>CELL 1</TD><TD ...>CELL 2</TD></tr></table></body></html>
//
// The text cell is the first cell on even printed pages and the second on odd
// ones; the other cell holds the marginal label (volume name, page number and,
// for an edition's page, its leaf label).
// The text cell holds the paragraphs, "<p>...</p>" or "<h4>...</h4>", with each
// annotation as kAnnotationOpen + text + kAnnotationClose. Nothing else, not
// even a line break, stands between them, and "&", "<" and ">" in the text are
// written as entities. A line break inside a paragraph is kLineBreak, and a
// character without a code point is kNumberedCharMark inside a span whose
// title is its number ("KR0099"). Positions: every character of the text cell outside
// tags takes one position, an entity counting as the one character it stands
// for; in the main-text scope only main-text characters take positions, in the
// annotation scope only annotation characters, with kAnnotationGap unused
// positions between two annotations.
#pragma once

#include <cstddef>
#include <string_view>

#include "docstore/pagetemplate.h"

namespace pagelayout {

inline constexpr std::string_view kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
inline constexpr std::string_view kTitleEnd = "</title></head><body>"
    "<table border=0 cellPadding=12 cellSpacing=0 height=477 width=635><tr>";
// The wide cell holds the text, the narrow one the marginal label.
inline constexpr std::string_view kTextCellOpen = "<TD height=477 width=520 vAlign=top>";
inline constexpr std::string_view kLabelCellOpen =
    "<TD height=477 width=80 vAlign=top align=\"center\" bgcolor=\"#F5EFE0\">";
inline constexpr std::string_view kCellClose = "</TD>";
inline constexpr std::string_view kTail = "</tr></table></body></html>";

inline constexpr std::string_view kTitleSeparator = " ";
inline constexpr std::string_view kLabelSeparator = "<br>";

inline constexpr std::string_view kParagraphOpen = pagetemplate::kParagraphBarrier;
inline constexpr std::string_view kParagraphClose = "</p>";
inline constexpr std::string_view kHeadingOpen = pagetemplate::kHeadingBarrier;
inline constexpr std::string_view kHeadingClose = "</h4>";
inline constexpr std::string_view kAnnotationOpen = pagetemplate::kAnnotationTag;
inline constexpr std::string_view kAnnotationClose = pagetemplate::kAnnotationCloseTag;

inline constexpr std::string_view kLineBreak = pagetemplate::kLineBreakTag;
inline constexpr const char* kNumberedCharOpenFormat = "<span title=\"KR%04u\">";
inline constexpr std::string_view kNumberedCharMark = "\xE3\x80\x93";  // 〓 U+3013
inline constexpr char32_t kNumberedCharMarkCp = U'\u3013';
inline constexpr std::string_view kNumberedCharClose = "</span>";

// A "*" in a search word spans at most 300 characters, and a word holds fewer
// than 300 wildcards: with more unused positions than both together between
// two annotations, no word matches across them.
inline constexpr unsigned kAnnotationGap = pagetemplate::kAnnotationGap;

// Record name: book id, volume id (within the book), printed page number.
inline constexpr const char* kRecordNameFormat = "b%03d\\v%03d\\%04d.htm";

}  // namespace pagelayout
