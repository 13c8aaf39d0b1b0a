// The literal texts of a stored and a rendered page as the tests and the
// benchmark's text generator write and expect them: the hit-page template, the
// annotation tag and the mark and anchor of a hit. Spelled out here, apart
// from the renderer's constants, so that a wrong constant there shows.
#pragma once

#include <string>

namespace pagetags {

inline const std::string kHead =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
inline const std::string kFirstCell =
    "</title></head><div align=\"center\"><center><BODY>\t\t<TABLE border=1 cellPadding=0 cellSpacing=1 "
    "class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">\t\t<tr>  <TD height=477 width=80 vAlign=top "
    "align=\"center\" background=\"../Back.gif\">";
inline const std::string kSecondCell = "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">";
inline const std::string kTail = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";
inline const std::string kNote = "<font size=-1 color=\"#993366\">";
inline const std::string kNoteEnd = "</font>";
inline const std::string kMarkOpen = "<b style='color:red;background:#D9D9D9;'>";
inline const std::string kMarkClose = "</b>";
inline const std::string kAnchorStart = "<a name=\"";

// The anchor of hit number, "%04d" wide.
inline std::string Anchor(int number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return kAnchorStart + digits + "\"></a>";
}

}  // namespace pagetags
