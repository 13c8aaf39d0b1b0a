// The literal texts of a rendered hit page, shared by the page cutters, the
// highlighter and the composer: the fixed template the title and the two cells
// are written back into, the tags the cutters recognise, and the mark and
// anchor tags of a hit. Every literal is compared and written byte for byte.
#pragma once

#include <cstddef>
#include <string_view>

namespace pagetemplate {

// The template, in writing order (\t is one TAB byte):
//   kHeadPiece (88) title kFirstCellPiece (235) first cell
//   kSecondCellPiece (58) second cell kTailPiece (58)
inline constexpr std::string_view kHeadPiece =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
inline constexpr std::string_view kFirstCellPiece =
    "</title></head><div align=\"center\"><center><BODY>\t\t"
    "<TABLE border=1 cellPadding=0 cellSpacing=1 class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t"
    "<tr>  <TD height=477 width=80 vAlign=top align=\"center\" background=\"../Back.gif\">";
inline constexpr std::string_view kSecondCellPiece =
    "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">";
inline constexpr std::string_view kTailPiece = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";

// Tags that cut a stored page into title and cells. A tag matches the opening
// literals when it begins with them and the closing ones when it equals them.
inline constexpr std::string_view kTitleOpen = "<title";
inline constexpr std::string_view kTitleClose = "</title>";
inline constexpr std::string_view kCellOpen = "<TD";
inline constexpr std::string_view kCellClose = "</TD>";

// An annotation inside the text cell: exactly this tag, up to the next "</font>".
inline constexpr std::string_view kAnnotationTag = "<font size=-1 color=\"#993366\">";  // 30 bytes
inline constexpr std::string_view kAnnotationCloseTag = "</font>";

// A marked chunk of a hit, and the anchor before it: "%04d" is the anchor
// number, 19 bytes for 0 to 9999 and wider (never cut) from 10000 on.
inline constexpr std::string_view kMarkOpenTag = "<b style='color:red;background:#D9D9D9;'>";  // 41 bytes
inline constexpr std::string_view kMarkCloseTag = "</b>";
inline constexpr const char* kAnchorFormat = "<a name=\"%04d\"></a>";

// A "*" stretch never crosses a paragraph or a heading.
inline constexpr std::string_view kParagraphBarrier = "<p>";
inline constexpr std::string_view kHeadingBarrier = "<h4>";

// A line break inside a paragraph; a search that ignores punctuation passes over it.
inline constexpr std::string_view kLineBreakTag = "<br>";

// The unused positions the index leaves between two annotations of a page in
// the annotation scope, so that no word matches from one into the next.
inline constexpr unsigned kAnnotationGap = 600;

// A "?" stands for one book character: 3 UTF-8 bytes.
inline constexpr size_t kQuestionMarkBytes = 3;

}  // namespace pagetemplate
