// The text of a page as the full-text index positions it: the page's text
// cell (first cell for an even printed page number, second for an odd one)
// with every tag removed, annotations included, each character one position.
// The peers of the benchmark search exactly this text, and the synthetic and
// replicated collections take their index positions from it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "writer/collectionwriter.h"

namespace pagetext {

// The raw text cell of a stored page (tags still in it).
std::string TextCellOf(std::string_view html, std::string_view recordName);

// cell without its tags. Line breaks, tabs and other control characters
// become spaces, so that a page fits one line and still takes as many positions.
std::string StripTags(std::string_view cell);

// The positions of the three scopes of a text cell, as the collection builder
// gives them: full text (0) every character outside tags; main text (2) only
// main-text characters, consecutively; annotations (1) only annotation
// characters, separate annotations more than 300 positions apart.
std::array<std::vector<CharOccurrence>, 3> ScopeOccurrences(std::string_view cell);

}  // namespace pagetext
